// The built-in functions over the screen settings: the screen manager's wait for the vertical
// blank and its background colour, and the application's two switches of the frame procedures
// (the zero-length sleep while waiting for the vertical blank, and the refresh of the back
// buffer's format each frame).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] bit 0: the back-buffer format is refreshed each frame; 0.
std::uint32_t NativeSetWindowFlag(const NativeArgs& args);
// args[0] level (byte): 0 no wait, 1 wait for the vertical blank and copy, 2 or more flip; 0.
std::uint32_t NativeSetScreenByte(const NativeArgs& args);
// The wait for the vertical blank; 0 without a screen.
std::uint32_t NativeGetScreenByte(const NativeArgs& args);
// args[0] red, args[1] green, args[2] blue (bytes): the colour around the game's picture; 0.
std::uint32_t NativeSetScreenColor(const NativeArgs& args);
// args[0] bit 0: the frame procedures' waits for the vertical blank sleep 0 ms instead of 3; 0.
std::uint32_t NativeSetAppSwitch(const NativeArgs& args);
