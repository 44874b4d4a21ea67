// What a mapped source pixel s does to the destination pixel d under it, shared by the kernels
// that map a source onto a quadrilateral or a parallelogram, and the blend they do a row at a
// time.
#pragma once

#include <cstdint>

#include "pixel/kernels/weighted_pixel.h"

namespace mapped_pixel {

struct Copy {
  uint32_t operator()(uint32_t, uint32_t s) const { return s; }
};

struct KeyedCopy {
  uint32_t key;
  uint32_t operator()(uint32_t d, uint32_t s) const { return s == key ? d : s; }
};

// By the source alpha through the level's product-table row, alpha kept.
struct AlphaLevel {
  const uint8_t* level_row;
  uint32_t operator()(uint32_t d, uint32_t s) const {
    return weighted_pixel::Blend(d, s, weighted_pixel::Weight(level_row[s >> 24]));
  }
};

// The same for the vector members. Not a pixel rule: a covered run of a row is sampled first and
// blended in one call of the row kernel, which works on several pixels at once (one pixel at a
// time, a vector blend costs more than the plain one).
struct SampledRowBlend {
  using Kernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const uint8_t*);
  Kernel kernel;
  const uint8_t* level_row;
};

}  // namespace mapped_pixel
