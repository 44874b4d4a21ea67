// Drawing a rectangle of a 32-bit source onto a parallelogram of a 32-bit destination, as a
// picture is turned and scaled: the rectangle's top-left, top-right and bottom-left corners land
// on three points given in destination pixels (pixel edges: (0, 0) is the top-left corner of
// pixel 0), the fourth corner completing the parallelogram.
//
// A destination pixel is covered when the source point under its centre lies inside the
// rectangle, its left and top edges included, its right and bottom edges not; it then takes the
// source pixel that holds that point, when that pixel lies in the source's sample rectangle too.
// Every other pixel, and every pixel outside the clip rectangle, stays unchanged. No pixel
// outside the rectangle is ever read.
//
// The source points are walked in fixed point with 32 fraction bits, restarted exactly at every
// row, so a point within about 2^-20 pixels of a source pixel's edge may fall on either side of
// it. Corners that are not finite or lie on one line, and a map that crowds more than 2^24
// source pixels into one destination pixel along a row, draw nothing.
#pragma once

#include <array>
#include <cstdint>

#include "pixel/kernels/quad_map_kernels.h"
#include "platform/system/geometry.h"

struct ParallelogramPoint {
  double x = 0.0;
  double y = 0.0;
};

struct Parallelogram {
  // Where the source rectangle's top-left, top-right and bottom-left corners land.
  std::array<ParallelogramPoint, 3> corners{};
  plat::Rect source{};
};

// Each returns 1 when the source's row table cannot be built, otherwise 0, and sets `drawn` to
// the bounding rectangle of the covered pixels inside the clip rectangle (empty when none). The
// clip rectangle is cut to the destination.
// d = s.
uint32_t MapParallelogram32(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                            const plat::Rect& clip, plat::Rect& drawn);
// d = s unless s equals the key (all 32 bits).
uint32_t MapParallelogram32Key(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                               const plat::Rect& clip, plat::Rect& drawn, uint32_t key);
// Each colour channel d + floor((s - d) * w(P[L][sA]) / 256) with the product-table row P[L]
// of the level; the alpha byte is kept. The "Mmx" member gives exactly the same result.
uint32_t MapParallelogramAlphaLevel32(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                                      const plat::Rect& clip, plat::Rect& drawn, const uint8_t* level_row);
uint32_t MapParallelogramAlphaLevel32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                                         const plat::Rect& clip, plat::Rect& drawn, const uint8_t* level_row);
