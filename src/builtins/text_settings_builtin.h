// The built-in function that brings the scripts' text widgets in line with the game settings.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] only when changed (byte), args[1] clear the mark (byte), args[2] text box, args[3] list
// menu, args[4] font (handles; 0, stale or -1: none), args[5] font flag (byte), args[6] printer
// flag (byte). The text box word tells a novel frame that a text box was given whenever it is not
// 0. The settings-changed mark as it was; 0 without a game.
std::uint32_t NativeApplyTextSettings(const NativeArgs& args);
