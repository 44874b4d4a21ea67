// The program started without a game to run, or without a display to run it on: it says in the
// log what is missing and ends with a status that tells whoever started it that the start failed.
// Asked for help, it says how to call it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/program_run.h"
#include "support/script_only_game.h"
#include "support/temp_game_folder.h"

namespace {

struct Case {
  const char* name;
  std::string argument;  // the command line, empty for none
  std::string said;      // what the log says is missing
};

class FailedStartTest : public ::testing::Test {
 protected:
  // Runs `env <environment> <launcher> kestrune <arguments>` and keeps what the program printed
  // (both streams); its exit status, -1 when it did not end by itself.
  int Run(const std::string& environment, const std::string& arguments, const std::string& launcher = "") {
    return test_support::RunProgram(environment, arguments, folder_.HostPath() + "printed.log", printed_, launcher);
  }

  void ExpectEachLineOnce() const {
    std::istringstream lines(printed_);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) EXPECT_TRUE(seen.insert(line).second) << "twice: " << line;
  }

  test_support::TempGameFolder folder_;
  std::string printed_;
};

TEST_F(FailedStartTest, WithoutAGameFolderTheProgramSaysWhatIsMissingAndEndsWithAFailure) {
  folder_.MakeFolder("empty");
  folder_.WriteFile("half/SCRIPT/DL_APP.SYS", "x");  // shorter than its length field
  const Case cases[] = {
      {"no folder given", "", "no game folder was given (start the program with /L<game folder>)"},
      {"a missing folder", "'/L" + folder_.HostPath() + "missing'",
       "the game folder " + folder_.HostPath() + "missing/ does not exist"},
      {"an empty folder", "'/L" + folder_.HostPath() + "empty'",
       "the game folder " + folder_.HostPath() + "empty/ holds no SCRIPT/DL_APP.SYS"},
      {"a damaged definition", "'/L" + folder_.HostPath() + "half'",
       "SCRIPT/DL_APP.SYS in the game folder " + folder_.HostPath() + "half/ cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // No display to show a box on: the message goes to the log.
    EXPECT_EQ(Run("-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy", c.argument), 1) << printed_;
    EXPECT_NE(printed_.find("kestrune: the game cannot start: " + c.said), std::string::npos) << printed_;
    EXPECT_NE(printed_.find("アプリケーション設定ファイルの読み込みに失敗"), std::string::npos) << printed_;
  }
}

TEST_F(FailedStartTest, AskedForHelpTheProgramPrintsItsUsage) {
  EXPECT_EQ(Run("", "--help"), 0) << printed_;
  EXPECT_EQ(printed_.rfind("usage: kestrune /L<game folder>", 0), 0u) << printed_;
}

// Without a display SDL would fall back to a driver that shows nothing, and the game would run
// unseen until killed: the start fails instead, as a window that cannot be made.
TEST_F(FailedStartTest, WithoutADisplayTheStartFailsAsTheWindowCannotBeMade) {
  test_support::TempGameFolder game;
  std::string error;
  ASSERT_TRUE(test_support::WriteScriptOnlyGame(game, ".kind script\n  Return\n", error)) << error;
  const std::string environment = "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy 'XDG_DATA_HOME=" +
                                  folder_.HostPath() + "data'";
  EXPECT_EQ(Run(environment, "'/L" + game.HostPath() + "'", "timeout 60"), 1) << printed_;
  EXPECT_NE(printed_.find("ウィンドウの作成に失敗"), std::string::npos) << printed_;
  ExpectEachLineOnce();
}

// A driver that shows nothing, chosen on purpose: the game runs, and the log says once that it
// is unseen.
TEST_F(FailedStartTest, AChosenDriverThatShowsNothingIsSaidOnce) {
  test_support::TempGameFolder game;
  std::string error;
  ASSERT_TRUE(test_support::WriteScriptOnlyGame(game, ".kind script\n  Return\n", error)) << error;
  const std::string environment = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy 'XDG_DATA_HOME=" + folder_.HostPath() + "data'";
  EXPECT_EQ(Run(environment, "'/L" + game.HostPath() + "'", "timeout 60"), 0) << printed_;
  EXPECT_NE(printed_.find("kestrune: video: the \"dummy\" driver that SDL_VIDEODRIVER chose shows nothing: the game runs "
                          "unseen\n"),
            std::string::npos)
      << printed_;
  ExpectEachLineOnce();
}

}  // namespace
