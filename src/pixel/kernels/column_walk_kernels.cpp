#include "pixel/kernels/column_walk_kernels.h"

#include <algorithm>

#include "pixel/kernels/pixel_kernel_choice.h"

namespace {

// Walks of eight neighbouring columns, left to right, none reaching past 32-bit offsets.
bool WalksEightNeighbours(std::span<const ColumnWalk> walks, intptr_t src_stride) {
  for (size_t k = 0; k < walks.size(); ++k) {
    const ColumnWalk& walk = walks[k];
    if (walk.x != walks[0].x + static_cast<int32_t>(k)) return false;
    const int64_t rows = std::max(walk.bottom - walk.top, 0) + int64_t{1};
    const int64_t farthest = walk.from + rows * (int64_t{walk.step.yStep} + 1) * src_stride;
    if (walk.from < 0 || walk.step.yStep < 0 || farthest > INT32_MAX) return false;
  }
  return true;
}

// The rows rows_top to rows_bottom - 1 of one walk, taken on from where it stands.
void WalkRows(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, ColumnWalk& walk,
              int32_t rows_top, int32_t rows_bottom) {
  const int32_t from_row = std::max(rows_top, walk.top);
  const int32_t to_row = std::min(rows_bottom, walk.bottom);
  uint32_t* to = dst + intptr_t{from_row} * dst_stride + walk.x;
  uint32_t acc = walk.acc;
  intptr_t from = walk.from;
  const auto remainder = static_cast<uint32_t>(walk.step.yRem);
  const auto denominator = static_cast<uint32_t>(walk.step.yDen);
  const intptr_t step = intptr_t{walk.step.yStep} * src_stride;
  for (int32_t y = from_row; y < to_row; ++y, to += dst_stride) {
    *to = src[from];
    // The carry comes as it will, unforeseeable for a branch: taken as a mask instead.
    const uint32_t before = acc;
    acc += remainder;
    const uint32_t carry = acc < before ? ~0u : 0u;
    acc -= denominator & carry;
    from += step + (src_stride & static_cast<intptr_t>(static_cast<int32_t>(carry)));
  }
  walk.acc = acc;
  walk.from = from;
}

}  // namespace

// A column walks down the rows from locals that no pixel store can reach.
void WalkColumns32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                   std::span<ColumnWalk> walks) {
  if (walks.empty()) return;
  constexpr int32_t kRowsTogether = 8;
  const int32_t top = std::ranges::min(walks, {}, &ColumnWalk::top).top;
  const int32_t bottom = std::ranges::max(walks, {}, &ColumnWalk::bottom).bottom;
  for (int32_t rows_top = top; rows_top < bottom; rows_top += kRowsTogether) {
    const int32_t rows_bottom = std::min(rows_top + kRowsTogether, bottom);
    for (ColumnWalk& walk : walks) WalkRows(dst, dst_stride, src, src_stride, walk, rows_top, rows_bottom);
  }
}

// Eights of walks in order, each of neighbouring columns or walked by the portable member: a
// column is written by one eight only, so the eights stay in order.
void WalkColumns32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                      std::span<ColumnWalk> walks) {
  if (g_CpuHasAvx2 == 0) return WalkColumns32(dst, dst_stride, src, src_stride, walks);
  size_t first = 0;
  for (; first + 8 <= walks.size(); first += 8) {
    const std::span<ColumnWalk, 8> eight(walks.data() + first, 8);
    if (WalksEightNeighbours(eight, src_stride)) {
      avx2_kernels::WalkEightColumns32(dst, dst_stride, src, src_stride, eight);
    } else {
      WalkColumns32(dst, dst_stride, src, src_stride, eight);
    }
  }
  WalkColumns32(dst, dst_stride, src, src_stride, walks.subspan(first));
}
