// The point and the rectangle that every layer measures with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

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

// A coordinate worked out wide, held to the range of a coordinate: a sum or a difference of
// coordinates near the ends of the range stays at that end instead of wrapping to the other.
inline int32_t ClampedCoordinate(int64_t value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The point moved by `by`, held to the range.
inline Point Offset(Point point, Point by) {
  return Point{ClampedCoordinate(int64_t{point.x} + by.x), ClampedCoordinate(int64_t{point.y} + by.y)};
}

// The rectangle of `width` x `height` whose top left corner is `origin`, its far sides held to
// the range.
inline Rect RectAt(Point origin, int32_t width, int32_t height) {
  const Point far = Offset(origin, Point{width, height});
  return Rect{origin.x, origin.y, far.x, far.y};
}

// The area that two rectangles share; 0 where they do not overlap.
inline int64_t OverlapArea(const Rect& a, const Rect& b) {
  const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace plat
