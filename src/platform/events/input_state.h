// The keyboard and mouse as the polled input devices read them: which keys and buttons are held,
// the lock-key toggles, and the mouse's motion and wheel since the last reading. The state follows
// the SDL events that the message queue takes on the window thread, and is read on whichever
// thread runs the game, so every access goes through one lock.
#pragma once

#include <SDL.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <mutex>

namespace plat {

// 256 bytes indexed by a key code: 0x80 while the key is held.
using KeyStates = std::array<uint8_t, 256>;

struct LockKeys {
  bool scroll = false;
  bool caps = false;
  bool num = false;
};

struct MouseReading {
  int32_t dx = 0;
  int32_t dy = 0;
  int32_t wheel = 0;  // 120 per notch, positive away from the user
  bool left = false;
  bool right = false;
  bool middle = false;
};

// Where the pointer was last seen over a window, in the window's client coordinates.
struct PointerReading {
  uint32_t window = 0;
  int32_t x = 0;
  int32_t y = 0;
  bool seen = false;      // a motion or button event placed it, and it has not left the window since
  bool minimized = false;  // the window it was seen in is minimized
};

class InputState {
 public:
  static InputState& Instance();

  // Follows one event: keys, buttons, motion, wheel, the pointer entering and leaving windows,
  // and the loss of the keyboard focus (which releases every key and button, as SDL does it).
  void Take(const SDL_Event& event);
  // Forgets everything: held keys and buttons, the collected motion and the pointer.
  void Reset();

  // DirectInput key codes.
  void ReadKeys(KeyStates& out) const;
  // Virtual-key codes, with the mouse buttons at VK_LBUTTON, VK_RBUTTON and VK_MBUTTON.
  void ReadVirtualKeys(KeyStates& out) const;
  LockKeys ReadLockKeys() const;
  // The motion and the wheel collected since the previous call, with the buttons held now.
  MouseReading TakeMouse();
  PointerReading ReadPointer() const;

 private:
  void TakeKey(const SDL_KeyboardEvent& key);
  void TakeWindowEvent(const SDL_WindowEvent& window);
  void PlacePointer(uint32_t window, int32_t x, int32_t y);

  mutable std::mutex lock_;
  std::bitset<SDL_NUM_SCANCODES> held_;
  // The virtual key each held key had when it went down: the layout may change meanwhile.
  std::array<uint8_t, SDL_NUM_SCANCODES> virtual_key_of_{};
  uint16_t modifiers_ = KMOD_NONE;
  bool modifiers_known_ = false;
  MouseReading mouse_;
  PointerReading pointer_;
};

}  // namespace plat
