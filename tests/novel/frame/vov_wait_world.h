// What the frame's waits run in: a fake clock that the test's frame procedure moves by one frame
// per pass, both timer managers advanced with it, message-fed keyboard and mouse that a player
// plays by frame number, a pointer the player places, the root window that takes the widgets'
// commands, the user's settings and the application.
#pragma once

#include <cstdint>
#include <functional>

#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/input/message_keyboard.h"
#include "base/input/mouse.h"
#include "base/settings/game_settings.h"
#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "platform/events/window_messages.h"
#include "support/fake_app_services.h"
#include "support/fake_clock.h"
#include "ui/gui/gui_root_window.h"

namespace vov_test {

// The application as the root window sees it: a pointer the player places.
class PlacedPointer : public IGuiApplication {
 public:
  PlacedPointer() { g_GuiApplication = this; }
  ~PlacedPointer() override { g_GuiApplication = nullptr; }
  PlacedPointer(const PlacedPointer&) = delete;
  PlacedPointer& operator=(const PlacedPointer&) = delete;
  plat::Point GetPointerPos() const override { return at; }
  void SetPointerPos(int32_t x, int32_t y) override { at = {x, y}; }
  void ShowCursor(bool) override {}
  bool SendImeMessage(uint32_t) override { return false; }
  bool DeliverTextInput(CGuiElement*) override { return false; }

  plat::Point at{-1, -1};
};

class WaitWorld {
 public:
  static constexpr std::uint32_t kFrameTime = 20;
  static constexpr std::uint32_t kDecideKey = 0x1C;  // Return

  WaitWorld() {
    g_UserConfig = &settings;
    app.game_screen = {800, 600};
    app.menu_groups = {true, true, true, true, true};
    input.Create(kInputMethodMessages, kInputMethodMessages);
    input.Activate();
    CInputBindings* bindings = input.CreateBindings(20);
    bindings->AddBinding(4, kSelectKeyboard, kDecideKey);
    g_Keyboard = input.GetKeyboard();
    g_Mouse = input.GetMouse();
    g_KeyBindings = bindings;
    g_TimerManager = &timers;
    g_PausableTimerManager = &pausable;
    running_ = this;
    g_FrameProcedureHook = &Frame;
  }
  ~WaitWorld() {
    timers.RemoveAll();
    pausable.RemoveAll();
    g_FrameProcedureHook = nullptr;
    g_TimerManager = nullptr;
    g_PausableTimerManager = nullptr;
    g_Keyboard = nullptr;
    g_Mouse = nullptr;
    g_KeyBindings = nullptr;
    g_UserConfig = nullptr;
    running_ = nullptr;
  }
  WaitWorld(const WaitWorld&) = delete;
  WaitWorld& operator=(const WaitWorld&) = delete;

  // One frame: the clock moves, the timers run, the player plays this frame's part and the
  // devices take it. 0 (the application is ending) from frame `give_up` on.
  static int Frame() { return running_->Step(); }
  int Step() {
    clock.Advance(kFrameTime);
    timers.Advance(clock.PreciseMilliseconds());
    pausable.Advance(clock.PreciseMilliseconds());
    ++frames;
    if (player) player(frames);
    input.Update();
    return frames >= give_up ? 0 : 1;
  }

  void Mouse(bool down) { static_cast<CMessageMouse*>(input.GetMouse())->OnButton(kMouseLeft, down); }
  void Key(std::uint32_t virtual_key, bool down) {
    auto* keyboard = static_cast<CMessageKeyboard*>(input.GetKeyboard());
    if (down) {
      keyboard->OnKeyDown(virtual_key, 0);
    } else {
      keyboard->OnKeyUp(virtual_key);
    }
  }
  // A click of the left button at frame `at`, let go at the next.
  void ClickAt(int frame, int at) {
    if (frame == at) Mouse(true);
    if (frame == at + 1) Mouse(false);
  }

  ScopedFakeClock clock;
  GameSettingsBlock settings = DefaultGameSettings();
  test_support::FakeAppServices app;
  CTimerManager timers;
  CTimerManager pausable;
  CInputManager input;
  PlacedPointer pointer;
  CGuiRootWindow root;
  int frames = 0;
  int give_up = 400;
  std::function<void(int)> player;

 private:
  static inline WaitWorld* running_ = nullptr;
};

}  // namespace vov_test
