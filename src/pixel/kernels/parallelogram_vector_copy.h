// The vector ("Mmx") member of the plain parallelogram copy MapParallelogram32
// (parallelogram_kernels.h), with exactly its result, and the covered runs of destination rows it
// fills: where the source's rows are evenly spaced, as a picture's are, it reads a step of four
// (AVX2: eight) pixels at once, which the row table's address per pixel would not allow.
#pragma once

#include <cstdint>

#include "pixel/kernels/parallelogram_kernels.h"

uint32_t MapParallelogram32Mmx(const QuadMapTarget& dst, QuadMapSource& src, const Parallelogram& at,
                               const plat::Rect& clip, plat::Rect& drawn);

// Source rows `pitch` bytes apart (negative for rows stored bottom up), row `first` at `base`,
// none of the pixels read lying more than the 32-bit range of bytes from it.
struct EvenRows {
  const uint8_t* base;
  intptr_t pitch;
  int64_t first;

  // The byte offset from base of pixel (column, row).
  int64_t Offset(int64_t column, int64_t row) const { return (row - first) * pitch + column * 4; }
};

// `count` destination pixels from `to` on; pixel k takes the source pixel under the positions
// u + k·du across and v + k·dv down, 32.32 fixed point, whose whole parts every pixel of the run
// has inside the source.
struct MappedRun {
  uint32_t* to;
  int64_t count;
  int64_t u;
  int64_t v;
  int64_t du;
  int64_t dv;

  // The source pixel of destination pixel k, read one at a time.
  uint32_t Sample(const EvenRows& rows, int64_t k) const {
    const int64_t column = (u + k * du) >> 32;
    const int64_t row = (v + k * dv) >> 32;
    return *reinterpret_cast<const uint32_t*>(rows.base + rows.Offset(column, row));
  }
};
