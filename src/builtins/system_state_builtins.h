// The built-in functions that read the state of the program: the screen, the input devices and
// the processor by index, the application's texts, and what the game is asking the player.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] index 0-22: 0 the back buffer lies in video memory, 1 the display state (1 full
// screen, 2 window), 2 drawing through a device, 3 full screen drawn by texture, 4 the
// application is active, 5 the allowed screen modes, 6 a joystick exists, 7 and 8 the processor's
// MMX and SSE flags, 9 the screen mode minus 1, 10 the colour depth, 11 to 13 the game settings'
// enlarged drawing, drawing when not enlarged and resolution method, 14 the display depth, 15 the
// back buffer's format, 16 the free video memory, 17 the screen is scaled, 18 and 19 the output
// size, 20 the primary surface's capabilities, 21 the pixel library (always there), 22 the wait
// for the vertical blank. Other indexes, and the screen's entries without a screen: 0.
std::uint32_t NativeGetSystemState(const NativeArgs& args);
// args[0] which text (0 the engine's identifier, 1 the install source, never present here, 2 the
// save folder, 3 none), args[1] buffer, args[2] its size: with size 0 the size the text needs (0
// for none); else the text cut to the buffer with its zero, and 0. -1 for a text above 3.
std::uint32_t NativeGetAppText(const NativeArgs& args);
// What the game is asking the player: 0 nothing, 4 whether to end, 7 whether to go back to the
// title (other values: the dialog that is open).
std::uint32_t NativeGetAppByte(const NativeArgs& args);
