#include "pixel/kernels/quad_map_kernels.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/mapped_pixel_rules.h"

namespace {

using mapped_pixel::SampledRowBlend;

constexpr int kFractionBits = 20;

int64_t Fixed(int64_t whole) { return whole * (int64_t{1} << kFractionBits); }

int64_t Whole(int64_t fixed) { return fixed >> kFractionBits; }

// x, u and v of an edge at a row, or their steps per row.
struct EdgeValues {
  int64_t x = 0;
  int64_t u = 0;
  int64_t v = 0;

  void Advance(const EdgeValues& step, int64_t count) {
    x += step.x * count;
    u += step.u * count;
    v += step.v * count;
  }
};

// One side of the walk: the corners it passes (the top corner, its neighbour on this side, the
// opposite corner, the other neighbour) and the edge it is on.
struct Side {
  std::array<size_t, 4> chain;
  size_t edge = 0;
  EdgeValues at;
  EdgeValues step;

  size_t Target() const { return chain[edge + 1]; }

  // Takes the steps of the current edge and restarts u and v at its first corner's source point;
  // x stays as it is.
  void StartEdge(const QuadCorners& dst_quad, const QuadCorners& src_quad) {
    const size_t from = chain[edge];
    const size_t to = Target();
    const int64_t height = int64_t{dst_quad[to].y} - dst_quad[from].y;
    const auto per_row = [height](int64_t difference) { return height == 0 ? 0 : Fixed(difference) / height; };
    at.u = Fixed(src_quad[from].x);
    at.v = Fixed(src_quad[from].y);
    step.x = per_row(int64_t{dst_quad[to].x} - dst_quad[from].x);
    step.u = per_row(int64_t{src_quad[to].x} - src_quad[from].x);
    step.v = per_row(int64_t{src_quad[to].y} - src_quad[from].y);
  }
};

template <typename PixelFn>
class QuadWalk {
 public:
  QuadWalk(const QuadMapTarget& dst, uint8_t* const* src_rows, const plat::Rect& sample, const plat::Rect& clip,
           uint32_t flag, PixelFn pixel)
      : dst_(dst), src_rows_(src_rows), sample_(sample), clip_(clip), flag_(flag), pixel_(pixel) {}

  void Run(const QuadCorners& dst_quad, const QuadCorners& src_quad) {
    std::array<size_t, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return std::pair(dst_quad[a].y, dst_quad[a].x) < std::pair(dst_quad[b].y, dst_quad[b].x);
    });
    constexpr size_t kNeighbours[4][2] = {{1, 2}, {0, 3}, {0, 3}, {1, 2}};
    const size_t top = order[0];
    const size_t first = kNeighbours[top][0];
    const size_t second = kNeighbours[top][1];
    if (order[1] != first && order[1] != second) return;
    const size_t opposite = 3 - top;
    const auto along = [&](size_t corner) {
      return std::pair(int64_t{dst_quad[corner].x} - dst_quad[top].x, int64_t{dst_quad[corner].y} - dst_quad[top].y);
    };
    const auto [first_dx, first_dy] = along(first);
    const auto [second_dx, second_dy] = along(second);
    // Sides span up to 2^32, so their cross product needs more than 64 bits.
    __extension__ using Wide = __int128;
    const bool first_is_right = Wide{first_dx} * second_dy > Wide{first_dy} * second_dx;
    const size_t left = first_is_right ? second : first;
    const size_t right = first_is_right ? first : second;

    Side sides[2] = {Side{{top, left, opposite, right}, 0, {}, {}}, Side{{top, right, opposite, left}, 0, {}, {}}};
    for (Side& side : sides) {
      side.at.x = Fixed(dst_quad[top].x);
      side.StartEdge(dst_quad, src_quad);
    }
    int64_t y = dst_quad[top].y;
    for (size_t stage = 0; stage < 3; ++stage) {
      if (stage > 0) {
        const size_t reached = order[stage];
        Side& side = sides[0].Target() == reached ? sides[0] : sides[1];
        ++side.edge;
        // Top corners sharing a row: the side has walked nothing yet and starts at its corner.
        if (stage == 1 && dst_quad[reached].y == dst_quad[top].y) side.at.x = Fixed(dst_quad[reached].x);
        side.StartEdge(dst_quad, src_quad);
      }
      const int64_t rows = int64_t{dst_quad[order[stage + 1]].y} - dst_quad[order[stage]].y;
      WalkRows(y, rows, sides[0], sides[1]);
      y += rows;
    }
  }

 private:
  // Each row first advances both sides by one step; rows outside the clip are stepped over in
  // one go.
  void WalkRows(int64_t y, int64_t rows, Side& left, Side& right) {
    const int64_t first = std::clamp<int64_t>(clip_.top - y, 0, rows);
    const int64_t end = std::clamp<int64_t>(clip_.bottom - y, first, rows);
    left.at.Advance(left.step, first);
    right.at.Advance(right.step, first);
    for (int64_t k = first; k < end; ++k) {
      left.at.Advance(left.step, 1);
      right.at.Advance(right.step, 1);
      DrawSpan(y + k, left.at, right.at);
    }
    left.at.Advance(left.step, rows - end);
    right.at.Advance(right.step, rows - end);
  }

  void DrawSpan(int64_t y, const EdgeValues& left, const EdgeValues& right) {
    const int64_t start = Whole(left.x);
    const int64_t width = Whole(right.x) - start;
    if (width <= 0) return;
    // (difference << 20) / (pixels << 20) in 20-bit fixed point is difference / pixels.
    const int64_t pixels = flag_ == 0 ? width - 1 : width;
    const int64_t du = pixels == 0 ? 0 : (right.u - left.u) / pixels;
    const int64_t dv = pixels == 0 ? 0 : (right.v - left.v) / pixels;
    const int64_t from = std::max<int64_t>(start, clip_.left);
    const int64_t to = std::min<int64_t>(start + width, clip_.right);
    if (from >= to) return;
    int64_t u = left.u + du * (from - start);
    int64_t v = left.v + dv * (from - start);
    uint32_t* row = kernel_walk::OffsetBytes(dst_.pixels, static_cast<intptr_t>(y) * dst_.pitch);
    if constexpr (std::is_same_v<PixelFn, SampledRowBlend>) {
      // u and v move linearly along the span, so the covered pixels are one run.
      samples_.resize(static_cast<size_t>(to - from));
      int64_t first = from;
      size_t count = 0;
      for (int64_t x = from; x < to; ++x, u += du, v += dv) {
        const int64_t su = Whole(u);
        const int64_t sv = Whole(v);
        if (!Covers(su, sv)) {
          if (count != 0) break;
          first = x + 1;
          continue;
        }
        samples_[count++] = reinterpret_cast<const uint32_t*>(src_rows_[sv])[su];
      }
      if (count == 0) return;
      pixel_.kernel(row + first, samples_.data(), 0, 0, static_cast<int32_t>(count), 1, pixel_.level_row);
    } else {
      for (int64_t x = from; x < to; ++x, u += du, v += dv) {
        const int64_t su = Whole(u);
        const int64_t sv = Whole(v);
        if (!Covers(su, sv)) continue;
        const auto* source_row = reinterpret_cast<const uint32_t*>(src_rows_[sv]);
        row[x] = pixel_(row[x], source_row[su]);
      }
    }
  }

  bool Covers(int64_t su, int64_t sv) const {
    return su >= sample_.left && su < sample_.right && sv >= sample_.top && sv < sample_.bottom;
  }

  const QuadMapTarget& dst_;
  uint8_t* const* src_rows_;
  plat::Rect sample_;
  plat::Rect clip_;
  uint32_t flag_;
  PixelFn pixel_;
  std::vector<uint32_t> samples_;
};

template <typename PixelFn>
uint32_t MapQuad(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                 const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag, PixelFn pixel) {
  uint8_t* const* rows = src.Rows();
  if (rows == nullptr) return 1;
  const plat::Rect visible = dst.Visible(clip);
  if (visible.left >= visible.right || visible.top >= visible.bottom) return 0;
  QuadWalk<PixelFn>(dst, rows, src.SampleRect(), visible, flag, pixel).Run(dst_quad, src_quad);
  return 0;
}

}  // namespace

uint32_t MapQuad32(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                   const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag) {
  return MapQuad(dst, src, dst_quad, src_quad, clip, flag, mapped_pixel::Copy{});
}

uint32_t MapQuad32Key(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                      const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag, uint32_t key) {
  return MapQuad(dst, src, dst_quad, src_quad, clip, flag, mapped_pixel::KeyedCopy{key});
}

uint32_t MapQuadAlphaLevel32(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                             const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag,
                             const uint8_t* level_row) {
  return MapQuad(dst, src, dst_quad, src_quad, clip, flag, mapped_pixel::AlphaLevel{level_row});
}

uint32_t MapQuadAlphaLevel32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const QuadCorners& dst_quad,
                                const QuadCorners& src_quad, const plat::Rect& clip, uint32_t flag,
                                const uint8_t* level_row) {
  return MapQuad(dst, src, dst_quad, src_quad, clip, flag, SampledRowBlend{BlendAlphaLevel32Mmx, level_row});
}
