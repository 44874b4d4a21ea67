#include <gtest/gtest.h>

#include <string>

#include "app/game/game_app.h"
#include "platform/encoding/text_encoding.h"
#include "platform/window/system_message_box.h"
#include "support/log_capture.h"

namespace {

constexpr uint32_t kBackToTitle = 40002;

MessageBlock Command(uint32_t id) { return MessageBlock{nullptr, plat::WM_COMMAND, id, 0, nullptr, 0}; }

TEST(GameMenuCommandsTest, BackToTitleAsksOnlyWhilePermittedAndRestartsOnYes) {
  LogCapture log;
  int asked = 0;
  int answer = plat::IDNO;
  plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest& request) {
    EXPECT_EQ(request.text, plat::Utf8ToSjis("タイトルに戻ります。\nよろしいですか？"));
    ++asked;
    return answer;
  }};
  CGameApp game;
  MessageBlock command = Command(kBackToTitle);
  // Withdrawn by default: nothing is asked and nothing restarts.
  game.OnMenuCommand(command);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(game.GetRestart(), 0);

  ASSERT_EQ(game.SetMenuState(CGameApp::kMenuBackToTitle, true), 0);
  game.OnMenuCommand(command);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(game.GetRestart(), 0);
  answer = plat::IDYES;
  game.OnMenuCommand(command);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(game.GetRestart(), 1);
  EXPECT_EQ(game.GetModalState(), 0);
}

TEST(GameMenuCommandsTest, APermissionWithdrawnWhileAskingRefusesTheReturn) {
  LogCapture log;
  CGameApp game;
  std::string shown;
  plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest& request) {
    shown += request.text;
    EXPECT_EQ(game.GetModalState(), CGameApp::kAskingBackToTitle);
    game.SetMenuState(CGameApp::kMenuBackToTitle, false);
    return plat::IDYES;
  }};
  game.SetMenuState(CGameApp::kMenuBackToTitle, true);
  MessageBlock command = Command(kBackToTitle);
  game.OnMenuCommand(command);
  EXPECT_EQ(game.GetRestart(), 0);
  EXPECT_NE(shown.find(plat::Utf8ToSjis("現在の状態でタイトルに戻ることは出来ません。")), std::string::npos);
}

TEST(GameMenuCommandsTest, OnlyTheFiveMenuGroupsExist) {
  CGameApp game;
  EXPECT_TRUE(game.IsMenuPermitted(CGameApp::kMenuSettings));
  EXPECT_FALSE(game.IsMenuPermitted(CGameApp::kMenuSave));
  EXPECT_EQ(game.SetMenuState(CGameApp::kMenuSave, true), 0);
  EXPECT_TRUE(game.IsMenuPermitted(CGameApp::kMenuSave));
  EXPECT_EQ(game.SetMenuState(5, true), -1);
  EXPECT_EQ(game.SetMenuState(-1, true), -1);
}

}  // namespace
