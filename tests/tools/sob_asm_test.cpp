// The sob_asm command, run as built: it writes what the assembler makes, resolves the library's
// labels, and reports mistakes with the file and line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "sob_assembler.h"
#include "support/temp_game_folder.h"

namespace {

constexpr std::string_view kLibrary = ".kind library\n  Return\nentry:\n  Return\n";
constexpr std::string_view kMain = ".kind script\n  Call lib(entry)\n  Return\n";

class SobAsmTest : public ::testing::Test {
 protected:
  int Run(const std::string& arguments, std::string& output) {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    EXPECT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built tools";
    if (tools == nullptr) return -1;
    const std::string command = std::string(tools) + "/sob_asm " + arguments + " > '" + folder_.HostPath() + "asm.log' 2>&1";
    const int status = std::system(command.c_str());
    output = folder_.ReadFile("asm.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(std::string_view name) const { return "'" + folder_.HostPath() + std::string(name) + "'"; }

  test_support::TempGameFolder folder_;
};

TEST_F(SobAsmTest, AssemblesASourceAgainstItsLibrary) {
  folder_.WriteFile("lib.sasm", kLibrary);
  folder_.WriteFile("main.sasm", kMain);
  std::string output;
  ASSERT_EQ(Run("--lib " + Path("lib.sasm") + " " + Path("main.sasm") + " " + Path("MAIN.SOB"), output), 0) << output;
  EXPECT_NE(output.find("script"), std::string::npos) << output;

  kvxtools::SobAssembly library;
  kvxtools::SobAssembly main;
  std::string error;
  ASSERT_TRUE(kvxtools::AssembleSob(kLibrary, nullptr, library, error));
  ASSERT_TRUE(kvxtools::AssembleSob(kMain, &library.labels, main, error));
  EXPECT_EQ(folder_.ReadFile("MAIN.SOB"), std::string(main.bytes.begin(), main.bytes.end()));
}

TEST_F(SobAsmTest, ReportsMistakes) {
  folder_.WriteFile("main.sasm", kMain);
  std::string output;
  EXPECT_NE(Run(Path("main.sasm") + " " + Path("MAIN.SOB"), output), 0);
  EXPECT_NE(output.find("line 2: lib(entry) without a library"), std::string::npos) << output;
  EXPECT_FALSE(folder_.Exists("MAIN.SOB"));
  EXPECT_NE(Run(Path("missing.sasm") + " " + Path("MAIN.SOB"), output), 0);
  EXPECT_NE(output.find("cannot read"), std::string::npos) << output;
  EXPECT_EQ(Run("", output), 2);
}

}  // namespace
