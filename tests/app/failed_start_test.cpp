// The program started without a game to run: it says in the log what is missing and ends with a
// status that tells whoever started it that the start failed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_game_folder.h"

namespace {

struct Case {
  const char* name;
  std::string argument;  // the command line, empty for none
  std::string said;      // what the log says is missing
};

TEST(FailedStartTest, WithoutAGameFolderTheProgramSaysWhatIsMissingAndEndsWithAFailure) {
  const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
  ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the folder of the built program";
  const test_support::TempGameFolder folder;
  folder.MakeFolder("empty");
  folder.WriteFile("half/SCRIPT/DL_APP.SYS", "x");  // shorter than its length field
  const Case cases[] = {
      {"no folder given", "", "no game folder was given (start the program with /L<game folder>)"},
      {"a missing folder", "'/L" + folder.HostPath() + "missing'",
       "the game folder " + folder.HostPath() + "missing/ does not exist"},
      {"an empty folder", "'/L" + folder.HostPath() + "empty'",
       "the game folder " + folder.HostPath() + "empty/ holds no SCRIPT/DL_APP.SYS"},
      {"a damaged definition", "'/L" + folder.HostPath() + "half'",
       "SCRIPT/DL_APP.SYS in the game folder " + folder.HostPath() + "half/ cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string log = folder.HostPath() + "start.log";
    // No display to show a box on: the message goes to the log.
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 '" +
                                std::string(tools) + "/kestrune' " + c.argument + " 2> '" + log + "'";
    const int status = std::system(command.c_str());
    std::ifstream stream(log);
    std::stringstream printed;
    printed << stream.rdbuf();
    ASSERT_TRUE(WIFEXITED(status)) << printed.str();
    EXPECT_EQ(WEXITSTATUS(status), 1) << printed.str();
    EXPECT_NE(printed.str().find("kestrune: the game cannot start: " + c.said), std::string::npos) << printed.str();
    EXPECT_NE(printed.str().find("アプリケーション設定ファイルの読み込みに失敗"), std::string::npos) << printed.str();
  }
}

}  // namespace
