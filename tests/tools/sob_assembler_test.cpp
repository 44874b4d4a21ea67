// The SOB text assembler makes what the builders make, and names the line of every mistake.
#include "sob_assembler.h"

#include <gtest/gtest.h>

#include "base/numbers/little_endian.h"
#include "script/sob_object.h"
#include "sob_builder.h"
#include "sound/voice_table.h"

namespace {

using kvxtools::SobOperand;
using Op = ESobOpcode;

kvxtools::SobAssembly Assemble(std::string_view source, const std::map<std::string, std::uint32_t>* labels = nullptr) {
  kvxtools::SobAssembly assembly;
  std::string error;
  EXPECT_TRUE(kvxtools::AssembleSob(source, labels, assembly, error)) << error;
  return assembly;
}

std::string Error(std::string_view source) {
  kvxtools::SobAssembly assembly;
  std::string error;
  EXPECT_FALSE(kvxtools::AssembleSob(source, nullptr, assembly, error));
  return error;
}

TEST(SobAssembler, OperandsBecomeTheirRelocations) {
  const std::map<std::string, std::uint32_t> library = {{"helper", 12}};
  const kvxtools::SobAssembly assembly = Assemble(R"(.kind script   ; a comment
start:
  PushImm -1
  callnative native(3), args, var(2)    ; names in any case
  Call lib(helper+4)
  Switch 1, start, done
  .instructions_end
done: Copy host(1), args+4
args: .word 0x10, 5
  .string "a;b\x41"
)",
                                                  &library);
  EXPECT_EQ(assembly.labels.at("args"), 4u * 16);
  const std::optional<SobObject> object = ParseSobObject(std::span<const std::uint8_t>(assembly.bytes).subspan(4));
  ASSERT_TRUE(object);
  EXPECT_EQ(object->instruction_length, 4u * 13);
  ASSERT_EQ(object->code.size(), 4u * 20);
  EXPECT_EQ(LoadLe32(object->code.data() + 4), 0xFFFFFFFFu);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(object->code.data()) + 4 * 18), "a;bA");
  ASSERT_EQ(object->relocations[0].size(), 1u);
  EXPECT_EQ(object->relocations[0][0].offset, 20u);
  EXPECT_EQ(object->relocations[0][0].value, 2u);
  EXPECT_EQ(object->relocations[1][0].value, 3u);
  EXPECT_EQ(object->relocations[2][0].value, 1u);
  EXPECT_EQ(object->relocations[3][0].value, 16u);
  ASSERT_EQ(object->relocations[4].size(), 4u);  // args, start, done, args+4
  EXPECT_EQ(object->relocations[4][0].value, 4u * 16);
  EXPECT_EQ(object->relocations[4][1].value, 0u);
  EXPECT_EQ(object->relocations[4][2].value, 4u * 13);
  EXPECT_EQ(object->relocations[4][3].value, 4u * 16 + 4);
}

TEST(SobAssembler, ItsOutputEqualsTheBuildersWordForWord) {
  const kvxtools::SobAssembly assembly = Assemble(R"(.kind library
entry:
  JumpIfZero 0, entry
  ReturnValue 7
text:
  .string "abcd"
)");
  kvxtools::SobObjectBuilder builder;
  const auto entry = builder.NewLabel();
  builder.Bind(entry);
  builder.Emit(Op::JumpIfZero, {0, SobOperand(entry)});
  builder.Emit(Op::ReturnValue, {7});
  builder.EmitString("abcd");
  EXPECT_EQ(assembly.bytes, builder.Build(kvxtools::SobObjectKind::kLibrary));
  EXPECT_EQ(assembly.kind, "library");
}

TEST(SobAssembler, DataFilesAssembleAsTheirBuildersMakeThem) {
  const kvxtools::SobAssembly user_var = Assemble(R"(.kind uservar
.var first 0 1 8 7 9
.var name 1 2 4
.fixup first+4 name
)");
  kvxtools::UserVarBuilder variables;
  variables.AddVariable(0, 1, 8, {7, 0, 0, 0, 9, 0, 0, 0});
  variables.AddVariable(1, 2, 4);
  variables.AddFixup(4, 8);
  EXPECT_EQ(user_var.bytes, variables.Build());

  EXPECT_EQ(Assemble(".kind init\n.record MAIN 10 2\n.record SUB 0 0\n").bytes,
            kvxtools::BuildSobInit({{"MAIN", 10, 2}, {"SUB", 0, 0}}));

  const kvxtools::SobAssembly voices = Assemble(R"(.kind voice
.extension ogg
.character HERO -
.voice H1
.voice H2
.character AIDE ?
.character RIVAL KAGE
)");
  const std::optional<VoiceTable> table = ParseVoiceTable(voices.bytes);
  ASSERT_TRUE(table);
  ASSERT_EQ(table->characters.size(), 3u);
  EXPECT_EQ(table->names.size(), 2u);
  EXPECT_EQ(table->characters[1].second_name_flag, 1);
  EXPECT_EQ(table->characters[2].second_name, "KAGE");
}

TEST(SobAssembler, MistakesAreReportedWithTheirLine) {
  EXPECT_EQ(Error("Return\n"), "line 1: the source must begin with .kind");
  EXPECT_EQ(Error(""), "line 1: the source must begin with .kind");
  EXPECT_EQ(Error(".kind novel\n"), "line 1: unknown kind: novel");
  EXPECT_EQ(Error(".kind script\n\n  Jump\n"), "line 3: Jump takes 1 operands");
  EXPECT_EQ(Error(".kind script\n  Fly 1\n"), "line 2: unknown instruction: Fly");
  EXPECT_EQ(Error(".kind script\n  Jump nowhere\n"), "line 3: label never defined: nowhere");
  EXPECT_EQ(Error(".kind script\na:\na:\n"), "line 3: bad or repeated label: a");
  EXPECT_EQ(Error(".kind script\n  Call lib(x)\n"), "line 2: lib(x) without a library");
  EXPECT_EQ(Error(".kind script\n  PushImm 0x100000000\n"), "line 2: not a number: 0x100000000");
  EXPECT_EQ(Error(".kind script\n.word 1,\n"), "line 2: empty operand");
  EXPECT_EQ(Error(".kind uservar\n.var a 0 0 4 1 2\n"), "line 2: more initial words than the variable holds");
  EXPECT_EQ(Error(".kind uservar\n.fixup a b\n"), "line 2: no variable a");
  EXPECT_EQ(Error(".kind voice\n.voice X\n"), "line 2: .voice before any .character");
  EXPECT_EQ(Error(".kind init\n.record A 70000 0\n"), "line 2: bit counts are 16-bit");
  EXPECT_EQ(Error(".kind script\n  .string \"open\n"), "line 2: expected a quoted string");
}

}  // namespace
