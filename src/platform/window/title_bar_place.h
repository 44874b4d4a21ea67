// Where a window's client area may stand so that the title bar the window manager puts above it
// lies on a screen, where the player can take hold of it to move the window.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/system/geometry.h"

namespace plat {

// How far the window manager's frame reaches out from the client area on each side.
struct FrameExtents {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// A frame as most window managers draw one, for a window manager that does not tell of its own.
inline constexpr FrameExtents kLikelyFrame{4, 32, 4, 4};

// The client origin nearest to that of `client` at which the title bar (the frame above the
// client area) lies whole, top to bottom, on one of the work areas, and enough of its width
// to take hold of: the work area the window overlaps most, or the first. A window without a
// title bar, or without work areas to stand on, stays where it is.
Point TitleBarOnScreen(const Rect& client, const FrameExtents& frame, const std::vector<Rect>& work_areas);

}  // namespace plat
