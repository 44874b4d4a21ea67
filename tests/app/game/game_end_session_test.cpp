// The end of the user's session writes the scripts' persistent file and read-text log before
// the program is ended from outside.
#include <gtest/gtest.h>

#include "app/game/game_app.h"
#include "support/game_host_fixture.h"
#include "support/script_folders.h"

namespace {

using GameEndSessionTest = game_test::GameStateRecordTest;

TEST_F(GameEndSessionTest, TheEndOfTheSessionWritesThePersistentFile) {
  game_.MakeFolder("SAVE");
  host_.SetSaveFolder(game_.EnginePath("SAVE\\").c_str());
  const test_support::ScopedScriptFolders folders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  ASSERT_TRUE(host_.SetVariableFileName("KEEP.DAT"));
  SetWord(2, 4321);  // the persistent class-2 value
  CGameApp game;
  MessageBlock block{nullptr, plat::WM_QUERYENDSESSION, 0, 0, nullptr, 0};
  EXPECT_EQ(game.OnQueryEndSession(block), 1);
  ASSERT_TRUE(game_.Exists("SAVE/KEEP.DAT"));
  SetWord(2, 1);
  ASSERT_EQ(host_.LoadPersistentFile(nullptr), 0u);
  EXPECT_EQ(Word(2), 4321u);
}

}  // namespace
