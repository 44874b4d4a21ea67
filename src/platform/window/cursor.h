// The mouse cursor on the desktop: where it is, moving it, and its shape.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"

namespace plat {

// The cursor's position on the desktop now; (0, 0) without a display.
Point GetCursorPos();
// Moves the cursor to a point of the desktop; nothing without a display.
void SetCursorPos(Point point);

// The system cursor shapes in the order the engine numbers them: arrow, cross, help, I-beam, no,
// size all, size NE-SW, size N-S, size NW-SE, size W-E, up arrow, arrow with hourglass, wait.
inline constexpr int kSystemCursorCount = 13;
// Sets the shape of the cursor over the windows: false for an index outside the list or without
// a display.
bool SetSystemCursor(int index);
// The program's own cursors by resource id: a pointing hand and a small cross.
inline constexpr int kProgramCursorHand = 120;
inline constexpr int kProgramCursorSmall = 121;
bool IsProgramCursor(int resource_id);
// Sets one of the program's own cursors: false for another id or without a display.
bool SetProgramCursor(int resource_id);
// Sets a cursor made of 32-bit pixels (0xAARRGGBB, rows top-down without padding) whose point is
// the hot spot, kept inside the picture: false for a side below 1 or without a display.
bool SetImageCursor(const uint32_t* pixels, int width, int height, Point hot_spot);

}  // namespace plat
