// The end of the user's session writes the scripts' persistent file and read-text log before
// the program is ended from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/game/game_app.h"
#include "platform/window/system_message_box.h"
#include "support/game_host_fixture.h"
#include "support/log_capture.h"
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

// A settings file that cannot be written at the end of the session (a read-only folder, a full
// disk; here no folder for it at all) is told by the log: no box holds the end open. The exit
// that follows saves the settings again and tells the same failure no second time.
TEST_F(GameEndSessionTest, AFailedSettingsWriteAtTheEndOfTheSessionShowsNoBoxAndIsToldOnce) {
  int boxes = 0;
  const plat::ScopedMessageBoxAnswers answers([&boxes](const plat::MessageBoxRequest&) { return ++boxes, plat::IDOK; });
  LogCapture log;
  CGameApp game;
  game.GetAppInfo().save_folder_kind = 0;  // in the documents, which this game has not found
  MessageBlock block{nullptr, plat::WM_QUERYENDSESSION, 0, 0, nullptr, 0};
  EXPECT_EQ(game.OnQueryEndSession(block), 1);
  game.SaveSettings(0);
  EXPECT_EQ(boxes, 0);
  EXPECT_TRUE(game.HasQuit());
  const std::string box_logged = "環境設定ファイルの保存に失敗 [" + std::string(plat::kNotShownWhileEnding) + "]";
  const auto count = [&](const std::string& text) {
    return std::count_if(log.Lines().begin(), log.Lines().end(),
                         [&](const std::string& line) { return line.find(text) != std::string::npos; });
  };
  EXPECT_EQ(count(box_logged), 1) << log.Last();
  EXPECT_EQ(count("the settings file cannot be written"), 1) << log.Last();
}

}  // namespace
