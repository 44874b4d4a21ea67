// One-pixel columns, each stretched down its own height: the copies that the stretched column
// patterns lay down by the hundred. Each column walks down the source from its own place, a
// step of whole rows per destination row and one row more on each carry of its accumulator, as
// the stretched copies step (stretch_step.h).
#pragma once

#include <cstdint>
#include <span>

#include "pixel/kernels/stretch_step.h"

// A column's walk: destination column x, rows top to bottom - 1; `from` is the offset in pixels
// of the source pixel its next row reads, acc its accumulator there. Offsets rather than
// pointers, so that the step past a column's last row makes no pointer outside the source.
struct ColumnWalk {
  int32_t x;
  int32_t top;
  int32_t bottom;
  intptr_t from;
  uint32_t acc;
  StretchStep step;
};

// The walks (strides in pixels), each from its top to its bottom; where two walks share a
// column, the later one's pixels are the ones left. The portable member goes a few rows across
// all of them at a time, so that their reads of the source keep to a few lines that stay at hand,
// and so do the rows' lines of the destination. The "Mmx" member gives exactly its results; in
// its AVX2 form it walks eight neighbouring columns a row at a time, other columns one by one.
void WalkColumns32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                   std::span<ColumnWalk> walks);
void WalkColumns32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                      std::span<ColumnWalk> walks);

// A one-to-one blend kernel (blend_kernels.h): destination, source, skips, width, height.
using RowBlend32 = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t);

// The walks' pixels blended over the destination by `blend` where WalkColumns32 copies them:
// each pixel as the kernel would blend it alone, and where walks share a pixel each blends over
// the one before, in their order. A few rows at a time, the walks' pixels are read into rows side
// by side and each row blended in one call, so that a vector kernel takes whole steps of pixels
// rather than one pixel at a time down each column.
void BlendColumns32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                    std::span<ColumnWalk> walks, RowBlend32 blend);
// The same pixels, the walks' pixels read eight neighbouring columns at a time by the AVX2 form
// of the column walks where the processor has it.
void BlendColumns32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                       std::span<ColumnWalk> walks, RowBlend32 blend);

namespace avx2_kernels {

// Eight walks of neighbouring columns, left to right, through the rows of first_row to
// end_row - 1 that lie between each one's top and bottom, written from `row` on (the first
// walk's pixel of first_row) a stride apart; the caller has checked that every offset they reach
// fits in 32 bits.
void WalkEightColumns32(uint32_t* row, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                        std::span<ColumnWalk, 8> walks, int32_t first_row, int32_t end_row);

}  // namespace avx2_kernels
