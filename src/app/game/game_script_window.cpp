// What the scripts change of the window: whether the player may switch the screen mode now, the
// full-screen keyboard grab, and the mark that a switch happened.
#include "app/game/game_app.h"
#include "platform/window/message_queue.h"

void CGameApp::AllowScreenModeChange(bool allowed) {
  SetMenuState(kMenuScreenModeToggle, allowed);
  if (allowed) {
    window_behaviour_ |= kBehaviourMaximizeBox;
  } else {
    window_behaviour_ &= static_cast<uint8_t>(~kBehaviourMaximizeBox);
  }
  // The maximize box, which asks for full screen, is worn only by a window that may go there.
  if (GetAppInfo().allowed_screen_modes != kWindowAndFullScreen || !GetMainWindow().IsWindow()) return;
  // The window belongs to its own thread: the game thread has the style set there.
  const auto restyle = [this] {
    plat::Window* window = GetMainWindow().GetPlatformWindow();
    if (window != nullptr && !IsFullScreen()) window->ApplyStyle(WindowModeStyle());
  };
  plat::MessageQueue& queue = plat::MessageQueue::Instance();
  if (queue.OnWindowThread()) {
    restyle();
  } else {
    queue.PostTask(restyle);
  }
}

void CGameApp::SetKeyboardHook(uint8_t bits, bool install) {
  window_behaviour_ = static_cast<uint8_t>((window_behaviour_ & ~kBehaviourSystemKeys) | (bits & kBehaviourSystemKeys));
  if (install) {
    InstallKeyboardHook();
  } else {
    RemoveKeyboardHook();
  }
}

bool CGameApp::TakeScreenModeSwitched() {
  const bool switched = (window_behaviour_ & kBehaviourSwitched) != 0;
  window_behaviour_ &= static_cast<uint8_t>(~kBehaviourSwitched);
  return switched;
}
