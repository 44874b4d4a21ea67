// The script that keeps the demo's game folder in step with the build: a rebuild clears what
// the build shipped before and nothing the player's game wrote, and the settings templates
// never overwrite the player's own settings.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/temp_game_folder.h"

namespace {

class GameFolderScriptTest : public ::testing::Test {
 protected:
  int RunScript(const std::string& definitions) const {
    const std::string command = "cmake " + definitions + " -P '" KESTRUNE_SOURCE_DIR "/demo/game_folder.cmake' > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  test_support::TempGameFolder game_;
};

TEST_F(GameFolderScriptTest, ClearingRemovesWhatTheBuildShippedAndKeepsTheSavesAndSettings) {
  for (const char* shipped : {"SCRIPT.DPK", "SYS.DPK", "SCRIPT/MAIN.SOB", "ICON.ELG"}) game_.WriteFile(shipped, "old");
  for (const char* players : {"USER.CFG", "SAVEDATA/APP_CFG.DAT", "SAVEDATA/DATA11_0.SAV", "SAVEDATA/READ.DAT"}) {
    game_.WriteFile(players, "mine");
  }
  ASSERT_EQ(RunScript("-DACTION=clear '-DGAME_DIR=" + game_.HostPath() + "' '-DFOLDERS=SCRIPT;SYS' -DFILES=ICON.ELG"), 0);
  for (const char* shipped : {"SCRIPT.DPK", "SYS.DPK", "SCRIPT", "ICON.ELG"}) {
    EXPECT_FALSE(game_.Exists(shipped)) << shipped;
  }
  for (const char* players : {"USER.CFG", "SAVEDATA/APP_CFG.DAT", "SAVEDATA/DATA11_0.SAV", "SAVEDATA/READ.DAT"}) {
    EXPECT_EQ(game_.ReadFile(players), "mine") << players;
  }
}

TEST_F(GameFolderScriptTest, ATemplateSeedsOnlyAFolderWithoutThePlayersFile) {
  game_.WriteFile("template/USER.CFG", "template");
  game_.WriteFile("game/USER.CFG", "mine");
  const std::string from = "'-DFROM=" + game_.HostPath() + "template/USER.CFG'";
  ASSERT_EQ(RunScript("-DACTION=seed " + from + " '-DTO=" + game_.HostPath() + "game/USER.CFG'"), 0);
  EXPECT_EQ(game_.ReadFile("game/USER.CFG"), "mine");
  ASSERT_EQ(RunScript("-DACTION=seed " + from + " '-DTO=" + game_.HostPath() + "fresh/USER.CFG'"), 0);
  EXPECT_EQ(game_.ReadFile("fresh/USER.CFG"), "template");
}

TEST_F(GameFolderScriptTest, AnUnknownActionFails) { EXPECT_NE(RunScript("-DACTION=wipe"), 0); }

}  // namespace
