// The point and the rectangle that every layer measures with.
#pragma once

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

}  // namespace plat
