// The path text of "bg_blur": points "(x, y, zoom)" one after another, x and y integers (decimal,
// 0x or 0b, an optional '-'), the zoom a decimal word of at most 32 bytes (1.0 when it is left
// out); blanks, tabs, commas and parentheses separate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct BlurPoint {
  double x = 0.0;
  double y = 0.0;
  double zoom = 1.0;
};

// Results of ParseBlurPath besides the point count.
inline constexpr std::int32_t kBlurPathNoText = -1;
inline constexpr std::int32_t kBlurPathTooShort = -2;  // also: a point that cannot be read

// The points of the text in `points` and their count; on failure `points` is left alone. The
// effect moves between at least two points; a view put at a path's end needs only one.
std::int32_t ParseBlurPath(const char* text, std::vector<BlurPoint>& points, std::size_t least_points = 2);
