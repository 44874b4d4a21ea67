#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "builtins/menu_command.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/control_key.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/system_message_box.h"
#include "support/game_main_window.h"
#include "support/log_capture.h"

namespace {

class WindowedGame : public CGameApp {
 public:
  WindowedGame() { SetThreaded(false); }
  int OnMenuCommand(MessageBlock& block) override {
    commands.push_back(block.wparam);
    drawing_during_command.push_back(IsDrawingAllowed());
    return 0;
  }
  void OnEnterModal() override { hooks += "enter "; }
  void OnLeaveModal() override { hooks += "leave "; }
  void SetActive(bool active) { active_ = active ? 1 : 0; }

  std::vector<uint32_t> commands;
  std::vector<bool> drawing_during_command;
  std::string hooks;
};

class GameWindowHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override { StartAnew(); }
  void TearDown() override { EndTheGame(); }
  // A game of its own with its window open: a game whose window was destroyed has ended.
  void StartAnew() {
    EndTheGame();
    game_ = std::make_unique<WindowedGame>();
    ASSERT_EQ(test_support::OpenGameMainWindow(*game_, "handlers", true), CWindow::kCreated);
  }
  void EndTheGame() {
    if (game_ == nullptr) return;
    game_->GetMainWindow().Destroy();
    plat::Message left;
    while (plat::PeekMessage(left, true)) {
    }
    game_.reset();
  }

  LogCapture log_;
  std::unique_ptr<WindowedGame> game_;
};

TEST_F(GameWindowHandlersTest, TheCloseQuestionClosesTheWindowOnlyOnYes) {
  struct Case {
    const char* name;
    int answer;
    bool closes;
  };
  for (const Case c : {Case{"no", plat::IDNO, false}, Case{"closed", plat::IDCANCEL, false},
                       Case{"yes", plat::IDYES, true}, Case{"not shown", plat::kMessageBoxNotShown, false}}) {
    SCOPED_TRACE(c.name);
    if (!game_->GetMainWindow().IsWindow()) StartAnew();
    std::vector<plat::MessageBoxRequest> asked;
    plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest& request) {
      asked.push_back(request);
      EXPECT_EQ(game_->GetModalState(), CGameApp::kAskingToClose);
      EXPECT_TRUE(game_->IsModal());
      return c.answer;
    }};
    EXPECT_EQ(game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0), 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, plat::Utf8ToSjis("『KVX DX Application』\nを終了しますか？"));
    EXPECT_EQ(asked[0].style & plat::kMessageBoxButtonsMask, plat::MB_YESNO);
    EXPECT_EQ(game_->GetModalState(), 0);
    EXPECT_FALSE(game_->IsModal());
    EXPECT_EQ(game_->GetMainWindow().IsWindow(), !c.closes);
  }
}

TEST_F(GameWindowHandlersTest, ACloseTheGameHasConfirmedClosesWithoutAsking) {
  int asked = 0;
  plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest&) {
    ++asked;
    return plat::IDNO;
  }};
  EXPECT_EQ(game_->GetMainWindow().SendMessage(plat::WM_CLOSE, IAppServices::kCloseConfirmed, 0), 0);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(game_->GetMainWindow().IsWindow());
}

TEST_F(GameWindowHandlersTest, ACloseWhileTheQuestionIsOpenAsksNothingMore) {
  for (const int answer : {plat::IDNO, plat::IDYES}) {
    SCOPED_TRACE(answer);
    int asked = 0;
    plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest&) {
      // The close box pressed again, twice, while the question waits for its answer.
      if (++asked == 1) {
        EXPECT_EQ(game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0), 0);
        EXPECT_EQ(game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0), 0);
        EXPECT_TRUE(game_->GetMainWindow().IsWindow());
        EXPECT_EQ(game_->GetModalState(), CGameApp::kAskingToClose);
      }
      return answer;
    }};
    game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(game_->GetModalState(), 0);
    EXPECT_EQ(game_->GetMainWindow().IsWindow(), answer == plat::IDNO);
  }
  // Once the question is answered, the close box asks again.
  StartAnew();
  int asked_again = 0;
  plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest&) {
    ++asked_again;
    return plat::IDNO;
  }};
  game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0);
  game_->GetMainWindow().SendMessage(plat::WM_CLOSE, 0, 0);
  EXPECT_EQ(asked_again, 2);
}

TEST_F(GameWindowHandlersTest, DestroyingTheWindowKeepsItsPositionAndEndsTheMessageLoop) {
  game_->GetMainWindow().GetPlatformWindow()->Move(120, 70);
  const plat::Point origin = game_->GetMainWindow().GetPlatformWindow()->ClientOrigin();
  game_->GetMainWindow().DestroyWindow();
  EXPECT_EQ(ReadBlockInt32(game_->GetWindowSettings(), kWinLeft), origin.x);
  EXPECT_EQ(ReadBlockInt32(game_->GetWindowSettings(), kWinTop), origin.y);
  plat::Message message;
  bool quit = false;
  while (plat::PeekMessage(message, true)) quit = quit || message.message == plat::WM_QUIT;
  EXPECT_TRUE(quit);
  // The game is ending from then on: a box it asks for is told by the log.
  EXPECT_TRUE(game_->HasQuit());
  game_->ShowMessageBox("box", kBoxStop);
  EXPECT_NE(log_.Last().find(plat::kNotShownWhileEnding), std::string::npos) << log_.Last();
}

TEST_F(GameWindowHandlersTest, MaximizingAndRestoringAnActiveWindowAskForTheScreenModeToggle) {
  struct Case {
    uint32_t command;
    bool active;
    bool toggles;
  };
  for (const Case c : {Case{plat::SC_MAXIMIZE, false, true}, Case{plat::SC_MAXIMIZE | 2, true, true},
                       Case{plat::SC_RESTORE, false, false}, Case{plat::SC_RESTORE, true, true},
                       Case{plat::SC_MINIMIZE, true, false}}) {
    SCOPED_TRACE(c.command);
    game_->SetActive(c.active);
    game_->commands.clear();
    game_->GetMainWindow().SendMessage(plat::WM_SYSCOMMAND, c.command, 0);
    EXPECT_EQ(game_->commands, c.toggles ? std::vector<uint32_t>{kCmdScreenModeToggle} : std::vector<uint32_t>{});
  }
}

TEST_F(GameWindowHandlersTest, ARequestedDialogShowsItsKindAndStoresTheAnswerOfAQuestion) {
  struct Case {
    uint32_t kind;
    int answer;
    uint32_t buttons;
    uint8_t result;
  };
  for (const Case c : {Case{kDialogOk, plat::IDOK, plat::MB_OK, 1}, Case{kDialogYesNo, plat::IDNO, plat::MB_YESNO, 0},
                       Case{kDialogYesNoWithSwitchOff, plat::IDYES, plat::MB_YESNO, 1},
                       Case{kDialogYesNo, plat::kMessageBoxNotShown, plat::MB_YESNO, 0}}) {
    SCOPED_TRACE(c.kind);
    std::vector<plat::MessageBoxRequest> asked;
    plat::ScopedMessageBoxAnswers answers{[&](const plat::MessageBoxRequest& request) {
      asked.push_back(request);
      return c.answer;
    }};
    uint8_t switch_off = 1;
    MessageDialogRequestBlock request;
    request.kind = c.kind;
    request.text = "text";
    request.title = "title";
    request.switch_off = &switch_off;
    request.result = 7;
    game_->GetMainWindow().SendMessage(kMsgDialogRequest, 0, 0, &request);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "title");
    EXPECT_EQ(asked[0].style & plat::kMessageBoxButtonsMask, c.buttons);
    // Only questions answer through the block; the check box starts cleared.
    EXPECT_EQ(request.result, c.kind == kDialogOk ? 7 : c.result);
    EXPECT_EQ(switch_off, c.kind == kDialogYesNoWithSwitchOff ? 0 : 1);
  }
}

TEST(GamePrepareWindowTest, CtrlHeldStartsInAWindowAndADisplayThatCannotBeSelectedAllowsOnlyTheWindow) {
  LogCapture log;
  for (const bool ctrl : {false, true}) {
    SCOPED_TRACE(ctrl);
    plat::ScopedControlKeyState key(ctrl);
    WindowedGame game;
    game.GetWindowSettings()[kWinScreenMode] = kScreenModeFullScreen;
    game.SetWindowBehaviour(0);
    ASSERT_EQ(game.PrepareWindow(), 0);
    EXPECT_EQ(game.GetWindowSettings()[kWinScreenMode], ctrl ? kScreenModeWindow : kScreenModeFullScreen);
    EXPECT_EQ(game.GetAppInfo().allowed_screen_modes, 2);
  }
  // Without a display list no display can be selected for full screen.
  WindowedGame game;
  game.GetWindowSettings()[kWinScreenMode] = kScreenModeFullScreen;
  game.SetWindowBehaviour(kBehaviourMaximizeBox | 1);
  EXPECT_NE(game.GetMonitorForWindow(nullptr, 0), 0u);
  ASSERT_EQ(game.PrepareWindow(), 0);
  EXPECT_EQ(game.GetAppInfo().allowed_screen_modes, kWindowModeOnly);
  EXPECT_EQ(game.GetWindowSettings()[kWinScreenMode], kScreenModeWindow);
  EXPECT_EQ(game.GetWindowBehaviour(), 1);
}

TEST_F(GameWindowHandlersTest, AMenuCommandByIndexIsPostedOrSentWithTheDrawingHeld) {
  ASSERT_EQ(PostMenuCommand(5, false), 1u);
  EXPECT_TRUE(game_->commands.empty()) << "posted: served by the message loop";
  game_->PumpMessages(true);
  EXPECT_EQ(game_->commands, std::vector<uint32_t>{40004});
  EXPECT_EQ(game_->hooks, "");

  game_->commands.clear();
  game_->drawing_during_command.clear();
  ASSERT_EQ(PostMenuCommand(5, true), 1u);
  EXPECT_EQ(game_->commands, std::vector<uint32_t>{40004});
  EXPECT_EQ(game_->drawing_during_command, std::vector<bool>{false});
  EXPECT_EQ(game_->hooks, "enter leave ");
  EXPECT_TRUE(game_->IsDrawingAllowed());

  // Saving waits for the scripts' permission.
  EXPECT_EQ(PostMenuCommand(1, true), 0u);
  game_->SetMenuState(CGameApp::kMenuSave, true);
  EXPECT_EQ(PostMenuCommand(1, true), 1u);
  EXPECT_EQ(game_->commands, (std::vector<uint32_t>{40004, 40007}));
}

}  // namespace
