// The key codes of SDL's keyboard events in the engine's terms: the virtual-key code of a key
// and its scan code of the PC keyboard (set 1, with the extended flag of the keys that send the
// 0xE0 prefix).
#pragma once

#include <SDL.h>

#include <cstdint>

namespace plat {

struct ScanCode {
  uint8_t code = 0;  // 0 for a key the PC keyboard has no code for
  bool extended = false;
};

// The virtual-key code of a key: letters and digits by the character the layout gives them,
// every other key by its place. 0 for a key without one.
uint32_t VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);

ScanCode ScanCodeFromSdl(SDL_Scancode scancode);

// The DirectInput key code of a key: its scan code, with bit 7 for the keys that send the 0xE0
// prefix; Pause, whose scan code is Num Lock's, is 0xC5. 0 for a key without one.
uint8_t DikFromSdl(SDL_Scancode scancode);

}  // namespace plat
