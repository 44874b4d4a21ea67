// The built-in functions over the mouse cursor: its shape, its visibility and its position in
// the game screen.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] shape (byte): 0-12 the system cursors, 13 and above the program's cursor 107 + shape
// (120 the pointing hand, 121 the small cross; any other leaves the cursor as it was, with a line
// in the program log). 0.
std::uint32_t NativeSetCursorShape(const NativeArgs& args);
// args[0] flag: shows (non-zero) or hides the cursor. 0.
std::uint32_t NativeShowCursor(const NativeArgs& args);
// args[0], args[1] addresses (0: not written) of the cursor's x and y in the game screen, -1 each
// outside it. 0.
std::uint32_t NativeGetCursorPos(const NativeArgs& args);
// args[0] x, args[1] y: the cursor goes to that point of the game screen. 0.
std::uint32_t NativeSetCursorPos(const NativeArgs& args);
// args[0] display object (0: back to the cursor's shape), args[1] frames side by side, args[2]
// frame time (ms), args[3] (byte) ping-pong, args[4], args[5] hot spot: the picture becomes the
// cursor. 0; 1 a DirectDraw picture without its surface, 2 a software image without pixels,
// 3 another kind of object, a stale handle or a picture the cursor cannot take (not 32 bits a
// pixel, or narrower than its frames).
std::uint32_t NativeSetCursorImage(const NativeArgs& args);
