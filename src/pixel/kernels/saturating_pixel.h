// Saturating add and subtract of 32-bit pixels: the portable rules work on whole words with a
// carry mask (three colour channels at once, the alpha byte wrapping), the four-pixel rules with
// saturating byte arithmetic on all four bytes. A second operand whose alpha byte is 0 leaves
// the alpha byte as it was under both.
#pragma once

#include <cstdint>

#include <emmintrin.h>

namespace saturating_pixel {

// 0xFF in each colour byte of a + b that carries out of its byte, found without adding across
// bytes.
inline uint32_t ColourCarryMask(uint32_t a, uint32_t b) {
  const uint32_t carries = ((a & b) * 2 + ((a & 0xFEFEFE) ^ (b & 0xFEFEFE))) & 0x1010100;
  return ((carries >> 8) + 0x7F7F7F) ^ 0x7F7F7F;
}

struct AddSatPixel {
  uint32_t One(uint32_t d, uint32_t s) const {
    const uint32_t overflow = ColourCarryMask(s, d);
    return (s + d - overflow) | overflow;
  }
};

// A byte of the mask is 0xFF where the source byte is greater than the destination byte.
struct SubSatPixel {
  uint32_t One(uint32_t d, uint32_t s) const {
    const uint32_t underflow = ColourCarryMask(s, ~d);
    return (d | underflow) - (s | underflow);
  }
};

struct AddSatQuad {
  __m128i Four(__m128i d, __m128i s) const { return _mm_adds_epu8(d, s); }
};

struct SubSatQuad {
  __m128i Four(__m128i d, __m128i s) const { return _mm_subs_epu8(d, s); }
};

}  // namespace saturating_pixel
