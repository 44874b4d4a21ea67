// The built-in functions over the screen mode: whether the player may switch it, the
// full-screen keyboard grab, the scripts' own switch, and the mark that a switch happened.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] option, args[1] value: option 0 lets the player switch the screen mode (value non-zero)
// or stops it, in a game that may switch at all; option 1 sets the two keyboard-hook bits from
// the value's low bits and grabs the keyboard in full screen for a non-zero value. 0.
std::uint32_t NativeSetWindowOption(const NativeArgs& args);
// args[0] mode: 0, 1, 2 full screen at 16, 24, 32 bits, negative full screen at the current
// depth, 3 or more the window. 0 done, 1 refused (no switching now, or the window in a game
// that runs full screen only), 2 the display offers no such mode (after a message), 3 the switch
// failed.
std::uint32_t NativeChangeScreenMode(const NativeArgs& args);
// 1 once after a screen-mode switch, else 0.
std::uint32_t NativeTakeFlagBit3(const NativeArgs& args);
