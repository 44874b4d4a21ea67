// Key and mouse events synthesised into SDL's queue reach a running game's script through the
// frame procedure: the script polls an action through a built-in function until it answers.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/game/game_app.h"
#include "base/input/game_key_bindings.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/window/system_message_box.h"
#include "sob_assembler.h"
#include "support/action_polling_main.h"
#include "support/game_settings_files.h"
#include "support/input_events.h"
#include "support/log_capture.h"
#include "support/message_box_answers.h"
#include "support/temp_game_folder.h"
#include "support/test_window.h"

namespace {

class PollingGame : public CGameApp {
 public:
  PollingGame(bool threaded, uint8_t input_method) : threaded_(threaded), input_method_(input_method) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    environment_[kEnvThreadedMode] = threaded_ ? 1 : 0;
    environment_[kEnvInputMethod] = input_method_;
    return result;
  }
  // Both run modes start the scripts here, after the window and the devices exist.
  int OnThreadStart() override {
    const int result = CGameApp::OnThreadStart();
    started_ = result == 0;
    return result;
  }
  void RunOwnLoop() override {
    if (OnThreadStart() != 0) return;
    int result = 0;
    while (RunScriptPass(result)) {
    }
  }
  bool started() const { return started_.load(); }

 private:
  bool threaded_;
  uint8_t input_method_;
  std::atomic<bool> started_{false};
};

SDL_Event WindowEvent(uint32_t window, uint8_t kind) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = kind;
  event.window.windowID = window;
  return event;
}

SDL_Event KeyDown(uint32_t window, SDL_Scancode scancode, SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = window;
  event.key.state = SDL_PRESSED;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = key;
  return event;
}

SDL_Event MouseAt(uint32_t window, int32_t x, int32_t y) {
  SDL_Event event = test_support::MotionEvent(x, y);
  event.motion.windowID = window;
  return event;
}

SDL_Event RightButtonDown(uint32_t window, int32_t x, int32_t y) {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.windowID = window;
  event.button.button = SDL_BUTTON_RIGHT;
  event.button.state = SDL_PRESSED;
  event.button.x = x;
  event.button.y = y;
  return event;
}

class InputGuiTest : public WindowTestBase {
 protected:
  void WriteMain(uint32_t action) {
    kvxtools::SobAssembly main;
    std::string error;
    ASSERT_TRUE(kvxtools::AssembleSob(test_support::ActionPollingMain(action), nullptr, main, error)) << error;
    game_.WriteFile("SCRIPT/MAIN.SOB",
                    std::string_view(reinterpret_cast<const char*>(main.bytes.data()), main.bytes.size()));
    test_support::WriteGameSettingsFiles(game_);
  }

  test_support::TempGameFolder game_;
};

TEST_F(InputGuiTest, APressedKeyOrButtonReachesTheScriptPollingItsAction) {
  struct Case {
    const char* name;
    bool threaded;
    uint8_t input_method;
    bool key;  // else the right mouse button, bound to the system menu by default
  };
  for (const Case& c : {Case{"window messages, key", false, kInputMethodMessages, true},
                        Case{"window messages, button", false, kInputMethodMessages, false},
                        Case{"direct input, key, game thread", true, kInputMethodDirect, true},
                        Case{"direct input, button, game thread", true, kInputMethodDirect, false},
                        Case{"polled, key, game thread", true, kInputMethodPolled, true}}) {
    SCOPED_TRACE(c.name);
    WriteMain(c.key ? kActionDecide : kActionSystemMenu);
    LogCapture log;
    std::string shown;
    plat::ScopedMessageBoxAnswers answers{[&shown](const plat::MessageBoxRequest& request) {
      if (!test_support::IsQuestion(request)) shown += request.text;
      return test_support::AgreeingAnswer(request);
    }};
    PollingGame game(c.threaded, c.input_method);
    std::atomic<bool> run_returned{false};
    std::atomic<bool> closed_by_test{false};
    std::thread user([&] {
      while (!game.started() && !run_returned) std::this_thread::yield();
      const uint32_t window = game.GetMainWindow().GetHandle();
      std::vector<SDL_Event> events = {WindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED), MouseAt(window, 40, 30)};
      events.push_back(c.key ? KeyDown(window, SDL_SCANCODE_RETURN, SDLK_RETURN) : RightButtonDown(window, 40, 30));
      for (SDL_Event& event : events) SDL_PushEvent(&event);
      // A game that never sees the input is closed, and the test fails below.
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!run_returned && std::chrono::steady_clock::now() < give_up) std::this_thread::yield();
      if (!run_returned) {
        closed_by_test = true;
        SDL_Event close = WindowEvent(window, SDL_WINDOWEVENT_CLOSE);
        SDL_PushEvent(&close);
      }
    });
    EXPECT_EQ(game.Run("/L" + plat::ToEnginePath(game_.HostPath()), 1), 0);
    run_returned = true;
    user.join();
    EXPECT_TRUE(game.started());
    EXPECT_TRUE(shown.empty()) << plat::SjisToUtf8(shown);
    // The script ended by itself: it saw the action.
    EXPECT_FALSE(closed_by_test.load());
    EXPECT_EQ(game.GetWorkerThread().Stop(), 0u);
  }
}

}  // namespace
