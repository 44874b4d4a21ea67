// The scenario assembler and its command tob_asm: every directive and operand form gives the
// bytes the builder gives, texts become Shift-JIS, and mistakes name their line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/temp_game_folder.h"
#include "tob_assembler.h"
#include "tob_builder.h"

namespace {

using kvxtools::AssembleTobCode;
using kvxtools::TobBuilder;
using kvxtools::TobCondition;
using kvxtools::TobOperand;

std::string Error(std::string_view source) {
  kvxtools::TobAssembly assembly;
  std::string error;
  EXPECT_FALSE(kvxtools::AssembleTob(source, nullptr, assembly, error));
  return error;
}

TEST(TobAssemblerTest, EveryFormGivesTheBuildersBytes) {
  constexpr std::string_view kSource = R"(.kind scenario
    .expr VALUE          ; leaves variable 1 in retVovExp
      Copy var(1), host(0)
      Return
    .end
    .label START
    .line
    .text "あ, \"b\""
    .cmd 40 if var(2)[1] -, =7, 5, "", "テキスト, with a comma", var(3)[0], expr(VALUE)
    .cmd 7 if expr(VALUE) @START, "SUB"
    .cmd 9 if 0 @12
    .code
      Return
    .end
  )";
  kvxtools::TobAssembly assembly;
  std::string error;
  ASSERT_TRUE(kvxtools::AssembleTob(kSource, nullptr, assembly, error)) << error;
  EXPECT_EQ(assembly.kind, "scenario");

  const kvxtools::TobCode value = AssembleTobCode("Copy var(1), host(0)\nReturn");
  TobBuilder builder;
  builder.Label("START");
  builder.Line();
  builder.Text("\x82\xa0, \"b\"");
  builder.Command(40,
                  {TobOperand::Absent(), TobOperand::Immediate(7), TobOperand::Value(5), TobOperand::String(""),
                   TobOperand::String("\x83\x65\x83\x4c\x83\x58\x83\x67, with a comma"), TobOperand::Variable(3, 0),
                   TobOperand::Expression(value)},
                  TobCondition::Variable(2, 1));
  builder.Command(7, {TobOperand::LabelOffset("START"), TobOperand::String("SUB")}, TobCondition::Expression(value));
  builder.Command(9, {TobOperand::BodyOffset(12)}, TobCondition::Value(0));
  builder.CodeBlock(AssembleTobCode("Return"));
  EXPECT_EQ(assembly.bytes, builder.Build());
}

TEST(TobAssemblerTest, TheScriptTable) {
  kvxtools::TobAssembly assembly;
  std::string error;
  ASSERT_TRUE(kvxtools::AssembleTob(".kind init\n.record MAIN 70000 3\n.record SUB 1 0\n", nullptr, assembly, error))
      << error;
  EXPECT_EQ(assembly.kind, "init");
  EXPECT_EQ(assembly.bytes, kvxtools::BuildVovInit({{"MAIN", 70000, 3}, {"SUB", 1, 0}}));
}

TEST(TobAssemblerTest, MistakesNameTheirLine) {
  EXPECT_EQ(Error(".label A\n"), "line 1: the source must begin with .kind");
  EXPECT_EQ(Error(".kind novel\n"), "line 1: unknown kind: novel");
  EXPECT_EQ(Error(".kind scenario\n.cmd 40 expr(NONE)\n"), "line 2: no expression expr(NONE)");
  EXPECT_EQ(Error(".kind scenario\n.cmd 7 @NOWHERE\n"), "line 3: no label NOWHERE");
  EXPECT_EQ(Error(".kind scenario\n.code\nReturn\n"), "line 4: a block without .end");
  EXPECT_NE(Error(".kind scenario\n.code\nNoSuchOp\n.end\n").find("line 4: embedded code: line 2: unknown instruction"),
            std::string::npos);
  EXPECT_EQ(Error(".kind scenario\n.label A\n.label A\n"), "line 3: repeated label: A");
  EXPECT_EQ(Error(".kind init\n.record A 1\n"), "line 2: expected .record NAME lines choices");
}

TEST(TobAsmCommandTest, WritesTheFileAndReportsMistakes) {
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
  test_support::TempGameFolder folder;
  const auto run = [&](const std::string& arguments, std::string& output) {
    const std::string command = std::string(tools) + "/tob_asm " + arguments + " > '" + folder.HostPath() + "asm.log' 2>&1";
    const int status = std::system(command.c_str());
    output = folder.ReadFile("asm.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const auto path = [&](std::string_view name) { return "'" + folder.HostPath() + std::string(name) + "'"; };
  folder.WriteFile("lib.sasm", ".kind library\n  Return\nentry:\n  Return\n");
  folder.WriteFile("main.tasm", ".kind scenario\n.code\n  Call lib(entry)\n  Return\n.end\n.text \"x\"\n");
  std::string output;
  ASSERT_EQ(run("--lib " + path("lib.sasm") + " " + path("main.tasm") + " " + path("MAIN.TOB"), output), 0) << output;
  EXPECT_NE(output.find("scenario"), std::string::npos) << output;
  EXPECT_EQ(folder.ReadFile("MAIN.TOB").substr(0, 4), "TOB1");

  EXPECT_EQ(run(path("main.tasm") + " " + path("X.TOB"), output), 1);
  EXPECT_NE(output.find("main.tasm: line 5: embedded code: line 2: lib(entry) without a library"), std::string::npos)
      << output;
  EXPECT_EQ(run("", output), 2);
}

}  // namespace
