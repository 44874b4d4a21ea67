#include "pixel/colour_transform_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint32_t InvertMask(uint8_t mode) {
  if (mode == 0) return 0x00FFFFFF;
  if (mode == 1) return 0xFFFFFFFF;
  return 0xFF000000;
}

uint32_t* NextRow(uint32_t* row_end, int32_t skip) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(row_end) + skip);
}

}  // namespace

void Invert32(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode) {
  const uint32_t mask = InvertMask(mode);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) *pixels++ ^= mask;
    pixels = NextRow(pixels, skip);
  }
}

void Invert32Mmx(uint32_t* pixels, int32_t skip, int32_t width, int32_t height, uint8_t mode) {
  const uint32_t mask = InvertMask(mode);
#if defined(__SSE2__)
  const __m128i wide_mask = _mm_set1_epi32(static_cast<int>(mask));
#endif
  for (int32_t y = 0; y < height; ++y) {
    int32_t x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= width; x += 4, pixels += 4) {
      __m128i* lane = reinterpret_cast<__m128i*>(pixels);
      _mm_storeu_si128(lane, _mm_xor_si128(_mm_loadu_si128(lane), wide_mask));
    }
#endif
    for (; x < width; ++x) *pixels++ ^= mask;
    pixels = NextRow(pixels, skip);
  }
}
