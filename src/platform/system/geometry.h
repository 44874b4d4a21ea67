// The point and the rectangle that every layer measures with.
#pragma once

#include <algorithm>
#include <cstdint>

namespace plat {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;  // exclusive
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// The area that two rectangles share; 0 where they do not overlap.
inline int64_t OverlapArea(const Rect& a, const Rect& b) {
  const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace plat
