// The application's window on a real X display (run under Xvfb).
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/game/game_app.h"
#include "platform/window/message_queue.h"
#include "platform/window/system_message_box.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

constexpr uint32_t kProbe = 0x0400;

// What the main thread sees of its window when the probe message reaches it.
struct WindowFacts {
  int width = 0;
  int height = 0;
  std::string title;
  bool shown = false;
};

class GuiGame : public CGameApp {
 public:
  explicit GuiGame(bool threaded) : threaded_(threaded) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    environment_[kEnvThreadedMode] = threaded_ ? 1 : 0;
    return result;
  }
  int PrepareWindow() override {
    GetMainWindow().AddHandler(kProbe, std::make_unique<CMessageHandler>(this, &GuiGame::OnProbe));
    return 0;
  }
  // The game thread idles without a game until the window closes.
  int OnThreadStart() override { return 0; }
  int OnThreadStep() override { return IdleSleep(); }
  // The single-thread game: leaves messages for Exit to drain and returns at once.
  void RunOwnLoop() override {
    window_id = GetMainWindow().GetHandle();
    facts = Facts();
    GetMainWindow().PostMessage(kProbe, 0, 0);
    GetMainWindow().PostMessage(kProbe, 0, 0);
  }
  int OnProbe(MessageBlock& /*block*/) {
    facts = Facts();
    ++probes;
    return 0;
  }

  WindowFacts facts;
  std::atomic<int> probes{0};
  plat::WindowId window_id = 0;

 private:
  WindowFacts Facts() {
    WindowFacts seen;
    SDL_Window* window = SDL_GetWindowFromID(GetMainWindow().GetHandle());
    if (window == nullptr) return seen;
    SDL_GetWindowSize(window, &seen.width, &seen.height);
    seen.title = SDL_GetWindowTitle(window);
    seen.shown = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
    return seen;
  }

  bool threaded_;
};

class AppWindowGuiTest : public WindowTestBase {
 protected:
  AppWindowGuiTest() { test_support::WriteGameSettingsFiles(game_); }
  std::string CommandLine() const { return "/L" + game_.EnginePath(); }

  test_support::TempGameFolder game_;
  LogCapture log_;
  plat::ScopedMessageBoxAnswers answers_{&test_support::AgreeingAnswer};
};

TEST_F(AppWindowGuiTest, ThreadedModeOpensTheWindowAndACloseRequestEndsTheRun) {
  GuiGame game(true);
  std::atomic<plat::WindowId> closed_window{0};
  std::atomic<bool> run_returned{false};
  std::thread user([&] {
    // Wait for the game thread, ask the main thread about its window, then close it as a user would.
    while (!game.GetWorkerThread().IsRunning() || game.GetMainWindow().GetHandle() == 0) {
      if (run_returned) return;
      std::this_thread::yield();
    }
    const plat::WindowId window = game.GetMainWindow().GetHandle();
    game.GetMainWindow().SendMessage(kProbe, 0, 0);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = window;
    SDL_PushEvent(&close);
    closed_window = window;
  });
  const int result = game.Run(CommandLine(), 1);
  run_returned = true;
  user.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(game.IsThreaded());
  EXPECT_EQ(game.probes.load(), 1);
  EXPECT_EQ(game.facts.width, 640);
  EXPECT_EQ(game.facts.height, 480);
  EXPECT_EQ(game.facts.title, "KVX DX Application");
  EXPECT_TRUE(game.facts.shown);
  EXPECT_FALSE(game.GetMainWindow().IsWindow());
  EXPECT_EQ(SDL_GetWindowFromID(closed_window.load()), nullptr);
  // The game thread's last act was the request that closed the window; it may still be returning
  // from it, and then ends.
  EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
  EXPECT_FALSE(game.GetWorkerThread().IsRunning());
}

TEST_F(AppWindowGuiTest, SingleThreadExitDestroysTheWindowAndDrainsTheQueue) {
  GuiGame game(false);
  EXPECT_EQ(game.Run(CommandLine(), 1), 0);
  EXPECT_FALSE(game.IsThreaded());
  EXPECT_EQ(game.facts.width, 640);
  EXPECT_EQ(game.facts.title, "KVX DX Application");
  EXPECT_FALSE(game.GetMainWindow().IsWindow());
  EXPECT_EQ(SDL_GetWindowFromID(game.window_id), nullptr);
  EXPECT_EQ(game.probes.load(), 0);  // queued for a window that no longer exists: drained unseen
  plat::Message left;
  EXPECT_FALSE(plat::PeekMessage(left, false));
}

TEST_F(AppWindowGuiTest, TheWindowTakesTheSizeAndTitleOfTheGamesSettingsFiles) {
  kvxtools::AppDefinitionFile definition = test_support::ReadOnlySettingsDefinition();
  definition.width = 800;
  definition.height = 600;
  kvxtools::AppInformationFile information;
  information.name = "Title of the run";
  test_support::WriteGameSettingsFiles(game_, definition, information);
  GuiGame game(false);
  EXPECT_EQ(game.Run(CommandLine(), 1), 0);
  EXPECT_EQ(game.facts.width, 800);
  EXPECT_EQ(game.facts.height, 600);
  EXPECT_EQ(game.facts.title, "Title of the run");
}

}  // namespace
