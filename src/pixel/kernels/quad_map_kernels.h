// Mapping a 32-bit source image onto any four-cornered area of a 32-bit destination. Each
// destination corner is tied to a source point; x, u and v are linear along the edges and
// across each scan line (nearest source pixel), walked in fixed point with 20 fraction bits in
// 64-bit accumulators, so corners anywhere in the 32-bit range map exactly.
//
// The corners come in the order top-left, top-right, bottom-left, bottom-right of the mapped
// image (edges 0-1, 1-3, 3-2 and 2-0). Rows run from the top corner's row to the row above the
// bottom corner's; a span covers floor(right x) - floor(left x) pixels from floor(left x), so the
// bottom corner's row and the right end of a span are never drawn. A corner order that crosses
// itself (the second-highest corner opposite the top one) draws nothing. Pixels outside the clip
// rectangle, and pixels whose source point lies outside the source's clip rectangle, are left
// unchanged.
//
// The step flag: 0 spreads a span's source distance over its width less one pixel (the last
// pixel samples the right edge's source point), non-zero over its full width.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/system/geometry.h"

struct QuadCorner {
  int32_t x = 0;
  int32_t y = 0;
};
using QuadCorners = std::array<QuadCorner, 4>;

// The destination: its pixels, pitch in bytes and size.
struct QuadMapTarget {
  uint32_t* pixels;
  int32_t pitch;
  int32_t width;
  int32_t height;

  // A clip rectangle cut to the destination.
  plat::Rect Visible(const plat::Rect& clip) const {
    return {std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, width), std::min(clip.bottom, height)};
  }
};

// What the kernels need of the source image: its table of row addresses (built on demand, and
// dropped by the image whenever its pixels move) and the rectangle it may be sampled in.
class QuadMapSource {
 public:
  // The row table, or null until BuildRowTable has succeeded.
  virtual uint8_t* const* GetRowTable() const = 0;
  // 0 when the table is built.
  virtual uint32_t BuildRowTable() = 0;
  virtual plat::Rect SampleRect() const = 0;

  // The row table, built first when there is none; null when it cannot be built.
  uint8_t* const* Rows() {
    if (GetRowTable() == nullptr && BuildRowTable() != 0) return nullptr;
    return GetRowTable();
  }

 protected:
  ~QuadMapSource() = default;
};

// Each returns 1 when the source's row table cannot be built, otherwise 0 (also when nothing is
// drawn). The clip rectangle is cut to the destination.
// d = s.
uint32_t MapQuad32(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                   const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag);
// d = s unless s equals the key (all 32 bits).
uint32_t MapQuad32Key(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                      const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag, uint32_t key);
// Each colour channel d + floor((s - d) * w(P[L][sA]) / 256) with the product-table row P[L]
// of the level; the alpha byte is kept. The "Mmx" member gives exactly the same result.
uint32_t MapQuadAlphaLevel32(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                             const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag,
                             const uint8_t* level_row);
uint32_t MapQuadAlphaLevel32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                                const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag,
                                const uint8_t* level_row);
