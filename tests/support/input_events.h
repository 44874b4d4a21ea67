// SDL events for input tests, and their road into an input manager: the layer's input state
// takes each event, and the window messages it becomes go to the manager as the main window's
// handlers hand them over.
#pragma once

#include <SDL.h>

#include <vector>

#include "base/input/input_manager.h"
#include "base/input/mouse.h"
#include "platform/events/event_translation.h"
#include "platform/events/input_state.h"

namespace test_support {

inline SDL_Event KeyEvent(SDL_Scancode scancode, SDL_Keycode key, bool down, bool repeat = false) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = key;
  return event;
}

// A key pressed and let go over a window, into SDL's own queue, from any thread: the program
// reads it as it reads the user's keys.
inline void PushKeyPress(uint32_t window, SDL_Scancode scancode, SDL_Keycode key) {
  for (const bool down : {true, false}) {
    SDL_Event event = KeyEvent(scancode, key, down);
    event.key.windowID = window;
    SDL_PushEvent(&event);
  }
}

inline SDL_Event ButtonEvent(uint8_t button, bool down, int32_t x = 10, int32_t y = 10) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = button;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.x = x;
  event.button.y = y;
  return event;
}

inline SDL_Event MotionEvent(int32_t x, int32_t y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  return event;
}

inline SDL_Event WheelEvent(int32_t notches) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = notches;
  return event;
}

class InputFeed {
 public:
  // Starts from a layer state in which nothing is held.
  InputFeed() { plat::InputState::Instance().Reset(); }
  ~InputFeed() { plat::InputState::Instance().Reset(); }

  void Feed(CInputManager& manager, const SDL_Event& event) {
    plat::InputState::Instance().Take(event);
    std::vector<plat::Message> messages;
    translator_.Translate(event, plat::EventContext{}, messages);
    for (const plat::Message& message : messages) Deliver(manager, message);
  }

 private:
  static void Deliver(CInputManager& manager, const plat::Message& message) {
    const auto lparam = static_cast<uint32_t>(message.lparam);
    switch (message.message) {
      case plat::WM_KEYDOWN:
      case plat::WM_SYSKEYDOWN:
        manager.OnKeyDown(message.wparam, lparam);
        break;
      case plat::WM_KEYUP:
      case plat::WM_SYSKEYUP:
        manager.OnKeyUp(message.wparam);
        break;
      case plat::WM_MOUSEWHEEL:
        manager.OnWheel(message.wparam);
        break;
      case plat::WM_LBUTTONDOWN:
      case plat::WM_LBUTTONUP:
        manager.OnMouseButton(kMouseLeft, message.message == plat::WM_LBUTTONDOWN);
        break;
      case plat::WM_RBUTTONDOWN:
      case plat::WM_RBUTTONUP:
        manager.OnMouseButton(kMouseRight, message.message == plat::WM_RBUTTONDOWN);
        break;
      case plat::WM_MBUTTONDOWN:
      case plat::WM_MBUTTONUP:
        manager.OnMouseButton(kMouseMiddle, message.message == plat::WM_MBUTTONDOWN);
        break;
      default:
        break;
    }
  }

  plat::EventTranslator translator_;
};

}  // namespace test_support
