// The built-in functions around the in-game message box: a resize motion for a sprite (54), the
// box and its inner object as handles (57) and the box's operations with a few services beside
// them (58).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] a drawable, args[1] mode (0 or 1), args[2] duration (ms), args[3] the scale as a
// decimal text, args[4] the ease as a decimal text or 0: the drawable's size goes to its size
// times the scale (mode 1, or mode 0 growing: the centre stays; mode 0 shrinking: the right and
// bottom edges stay). The motion's task handle; 0 for a missing drawable, a mode above 1, or a
// motion that cannot start (a duration of 0 sets the size at once).
std::uint32_t NativeStartResizeMotion(const NativeArgs& args);
// args[0] 0, args[1] 0: the handle of the message box; 1: of its inner object (its tooltip
// font). 0 for anything else.
std::uint32_t NativeGetMessageBox(const NativeArgs& args);
// args[0] the operation 0-11, its arguments from args[1]; 1 for an operation above 11.
std::uint32_t NativeDialogControl(const NativeArgs& args);
