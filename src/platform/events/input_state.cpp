#include "platform/events/input_state.h"

#include "platform/events/key_codes.h"
#include "platform/events/window_messages.h"

namespace plat {

InputState& InputState::Instance() {
  static InputState state;
  return state;
}

void InputState::Take(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TakeKey(event.key);
      break;
    case SDL_MOUSEMOTION: {
      PlacePointer(event.motion.windowID, event.motion.x, event.motion.y);
      std::lock_guard guard(lock_);
      mouse_.dx += event.motion.xrel;
      mouse_.dy += event.motion.yrel;
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      PlacePointer(event.button.windowID, event.button.x, event.button.y);
      const bool down = event.button.state == SDL_PRESSED;
      std::lock_guard guard(lock_);
      if (event.button.button == SDL_BUTTON_LEFT) mouse_.left = down;
      if (event.button.button == SDL_BUTTON_RIGHT) mouse_.right = down;
      if (event.button.button == SDL_BUTTON_MIDDLE) mouse_.middle = down;
      break;
    }
    case SDL_MOUSEWHEEL: {
      const int32_t notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      std::lock_guard guard(lock_);
      mouse_.wheel += notches * WHEEL_DELTA;
      break;
    }
    case SDL_WINDOWEVENT:
      TakeWindowEvent(event.window);
      break;
    default:
      break;
  }
}

void InputState::TakeKey(const SDL_KeyboardEvent& key) {
  const auto scancode = static_cast<std::size_t>(key.keysym.scancode);
  if (scancode >= SDL_NUM_SCANCODES) return;
  const uint32_t virtual_key = VirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode);
  std::lock_guard guard(lock_);
  held_[scancode] = key.state == SDL_PRESSED;
  virtual_key_of_[scancode] = static_cast<uint8_t>(virtual_key);
  modifiers_ = key.keysym.mod;
  modifiers_known_ = true;
}

void InputState::TakeWindowEvent(const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: {
      std::lock_guard guard(lock_);
      held_.reset();
      mouse_.left = mouse_.right = mouse_.middle = false;
      break;
    }
    case SDL_WINDOWEVENT_ENTER: {
      std::lock_guard guard(lock_);
      pointer_.window = window.windowID;
      break;
    }
    case SDL_WINDOWEVENT_LEAVE: {
      std::lock_guard guard(lock_);
      if (pointer_.window == window.windowID) pointer_.seen = false;
      break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN: {
      std::lock_guard guard(lock_);
      if (pointer_.window == window.windowID) pointer_.minimized = window.event == SDL_WINDOWEVENT_MINIMIZED;
      break;
    }
    default:
      break;
  }
}

void InputState::PlacePointer(uint32_t window, int32_t x, int32_t y) {
  std::lock_guard guard(lock_);
  if (pointer_.window != window) pointer_.minimized = false;
  pointer_.window = window;
  pointer_.x = x;
  pointer_.y = y;
  pointer_.seen = true;
}

PointerReading InputState::ReadPointer() const {
  std::lock_guard guard(lock_);
  return pointer_;
}

void InputState::Reset() {
  std::lock_guard guard(lock_);
  held_.reset();
  mouse_ = MouseReading{};
  pointer_ = PointerReading{};
}

void InputState::ReadKeys(KeyStates& out) const {
  out.fill(0);
  std::lock_guard guard(lock_);
  for (std::size_t scancode = 0; scancode < held_.size(); ++scancode) {
    if (!held_[scancode]) continue;
    if (const uint8_t dik = DikFromSdl(static_cast<SDL_Scancode>(scancode)); dik != 0) out[dik] = 0x80;
  }
}

void InputState::ReadVirtualKeys(KeyStates& out) const {
  out.fill(0);
  std::lock_guard guard(lock_);
  for (std::size_t scancode = 0; scancode < held_.size(); ++scancode) {
    if (held_[scancode] && virtual_key_of_[scancode] != 0) out[virtual_key_of_[scancode]] = 0x80;
  }
  if (mouse_.left) out[VK_LBUTTON] = 0x80;
  if (mouse_.right) out[VK_RBUTTON] = 0x80;
  if (mouse_.middle) out[VK_MBUTTON] = 0x80;
}

LockKeys InputState::ReadLockKeys() const {
  uint16_t modifiers = KMOD_NONE;
  {
    std::lock_guard guard(lock_);
    modifiers = modifiers_;
    if (!modifiers_known_ && SDL_WasInit(SDL_INIT_VIDEO) != 0) modifiers = static_cast<uint16_t>(SDL_GetModState());
  }
  return LockKeys{(modifiers & KMOD_SCROLL) != 0, (modifiers & KMOD_CAPS) != 0, (modifiers & KMOD_NUM) != 0};
}

MouseReading InputState::TakeMouse() {
  std::lock_guard guard(lock_);
  MouseReading reading = mouse_;
  mouse_.dx = 0;
  mouse_.dy = 0;
  mouse_.wheel = 0;
  return reading;
}

}  // namespace plat
