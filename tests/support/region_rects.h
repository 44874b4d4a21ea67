// The rectangles of a dirty region as comparable {left, top, right, bottom} arrays, in list order.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/images/dirty_region.h"

using RectArray = std::array<int32_t, 4>;

inline std::vector<RectArray> RegionRects(const CDirtyRegion& region) {
  std::vector<RectArray> rects;
  region.ForEachRect([&](const plat::Rect& r) { rects.push_back({r.left, r.top, r.right, r.bottom}); });
  return rects;
}
