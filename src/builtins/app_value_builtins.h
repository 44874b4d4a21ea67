// The built-in functions over the application values 0 to 13: 0 the cursor-moving switch, 1
// frame skipping (with the frame pacer's running copy), 2 pause while inactive, 3 the
// full-screen menu delay (u16), 4 and 5 two game switches, 6 the glyph-cache limit (u16, also
// the program-wide limit), 7 to 11 the five menu groups' permissions, 12 the install information
// and 13 a carried game switch. Values 12 and 13 are read only.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] index 0-11, args[1] value: 0.
std::uint32_t NativeSetAppValue(const NativeArgs& args);
// args[0] index 0-13: the value; 0 for other indexes, and for the screen-mode group (11) of a
// game that runs in a window only.
std::uint32_t NativeGetAppValue(const NativeArgs& args);
// args[0] bit 0: frame skipping for this run only (the frame pacer's flag); 0.
std::uint32_t NativeSetRunningValue1(const NativeArgs& args);
