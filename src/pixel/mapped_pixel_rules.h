// What a mapped source pixel s does to the destination pixel d under it, shared by the kernels
// that map a source onto a quadrilateral or a parallelogram.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "pixel/weighted_pixel.h"

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

// The same in the lanes of an SSE2 register, with the same result.
struct AlphaLevelVector {
  const uint8_t* level_row;
  uint32_t operator()(uint32_t d, uint32_t s) const {
    const __m128i blended =
        weighted_pixel::BlendFour(_mm_cvtsi32_si128(static_cast<int>(d)), _mm_cvtsi32_si128(static_cast<int>(s)),
                                  weighted_pixel::SpreadOne(weighted_pixel::Weight(level_row[s >> 24])));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(blended));
  }
};

}  // namespace mapped_pixel
