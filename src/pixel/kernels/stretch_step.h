// The stepping record of the stretched pixel kernels: whole source pixels per destination pixel
// and an error accumulator whose carry adds one more, horizontally and vertically.
#pragma once

#include <cstdint>

struct StretchStep {
  int32_t xAcc = 0;   // starting value of the horizontal accumulator (negative)
  int32_t xRem = 0;   // source width modulo destination width
  int32_t xDen = 0;   // destination width (the full, unclipped one)
  int32_t xStep = 0;  // source width divided by destination width
  int32_t yAcc = 0;
  int32_t yRem = 0;
  int32_t yDen = 0;
  int32_t yStep = 0;
};

// The record of an unclipped stretch of a source of src_width × src_height onto a destination of
// dst_width × dst_height (all at least 1). Destination pixel i reads source pixel
// i × src_width / dst_width when the source width is a whole multiple of the destination width,
// else pixel 0 for i = 0 and ceil(i × src_width / dst_width) − 1 after it; rows likewise.
StretchStep UnclippedStretchStep(int32_t src_width, int32_t src_height, int32_t dst_width, int32_t dst_height);

// Adds rem to the accumulator and reports the carry out of the unsigned 32-bit addition; on a
// carry the denominator is taken off again.
inline bool StepAccumulator(uint32_t& acc, int32_t rem, int32_t den) {
  const uint32_t before = acc;
  acc += static_cast<uint32_t>(rem);
  if (acc >= before) return false;
  acc -= static_cast<uint32_t>(den);
  return true;
}
