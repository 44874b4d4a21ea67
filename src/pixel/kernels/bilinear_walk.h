// How the bilinear kernels walk their rows: the top and bottom source rows of every destination
// row and the weight down between them, and the sampling position across a row. Shared by the
// portable, SSE2 and AVX2 forms; like kernel_walk.h, it takes names of its own in the files
// compiled for AVX2.
#pragma once

#include <cstdint>

#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/kernel_walk.h"

namespace bilinear_walk {
inline namespace KESTRUNE_VECTOR_TARGET {

// Calls row_fn(destination row, top source row, bottom source row, fy) for every destination
// row; y steps in 64-bit arithmetic, so no row offset wraps.
template <typename D, typename S, typename RowFn>
void WalkBilinearRows(D* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                      const BilinearStep& step, RowFn row_fn) {
  uint32_t y_frac = step.yFrac;
  intptr_t row_offset = 0;
  kernel_walk::ForEachRow(dst, dst_skip, width, height, [&](D* row) {
    const S* top = kernel_walk::OffsetBytes(src, row_offset);
    row_fn(row, top, kernel_walk::OffsetBytes(top, src_pitch), y_frac >> 24);
    const uint32_t before = y_frac;
    y_frac += step.yStepFrac;
    row_offset += (intptr_t{step.yStepInt} + (y_frac < before ? 1 : 0)) * intptr_t{src_pitch};
  });
}

// The x position of destination pixel i in 32.32 fixed point, stepped in 64 bits.
struct XPosition {
  int64_t at;
  int64_t step;

  explicit XPosition(const BilinearStep& s)
      : at(s.xFracStart),
        step(static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(s.xStepInt)) << 32) +
             int64_t{s.xStepFrac}) {}
  intptr_t Whole() const { return static_cast<intptr_t>(at >> 32); }
  uint32_t Weight() const { return static_cast<uint32_t>(at) >> 24; }
};

}  // namespace KESTRUNE_VECTOR_TARGET
}  // namespace bilinear_walk
