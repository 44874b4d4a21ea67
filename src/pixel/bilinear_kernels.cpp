#include "pixel/bilinear_kernels.h"

#include "pixel/kernel_walk.h"
#include "pixel/weighted_pixel.h"

using kernel_walk::OffsetBytes;

namespace {

// a + floor((b - a) * f / 256) in the two byte lanes 0 and 16 of a word (each 0 to 255): the
// borrow of a negative low difference is repaid by the carry of the addition.
uint32_t LerpLanes(uint32_t a, uint32_t b, uint32_t f) { return ((((b - a) * f) >> 8) + a) & 0xFF00FF; }

uint32_t Lerp32(uint32_t a, uint32_t b, uint32_t f) {
  return LerpLanes(a & 0xFF00FF, b & 0xFF00FF, f) | (LerpLanes((a >> 8) & 0xFF00FF, (b >> 8) & 0xFF00FF, f) << 8);
}

uint32_t Bilerp32(uint32_t nw, uint32_t ne, uint32_t sw, uint32_t se, uint32_t fx, uint32_t fy) {
  return Lerp32(Lerp32(nw, ne, fx), Lerp32(sw, se, fx), fy);
}

// The same for four pixels in two 16-bit pairs: [NW, SW] and [NE, SE] across, then down.
uint32_t BilerpVector(__m128i north, __m128i south, uint32_t fx, uint32_t fy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i top = _mm_unpacklo_epi8(north, zero);
  const __m128i bottom = _mm_unpacklo_epi8(south, zero);
  const __m128i across = weighted_pixel::BlendPair(_mm_unpacklo_epi64(top, bottom), _mm_unpackhi_epi64(top, bottom),
                                                   _mm_set1_epi16(static_cast<short>(fx)));
  const __m128i down =
      weighted_pixel::BlendPair(across, _mm_srli_si128(across, 8), _mm_set1_epi16(static_cast<short>(fy)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(down, zero)));
}

__m128i PixelPair(uint32_t left, uint32_t right) {
  return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(left)), _mm_cvtsi32_si128(static_cast<int>(right)));
}

// Calls sample(top row, bottom row, x, fx, fy) for every destination pixel; x and y step in
// 64-bit arithmetic, so no intermediate position or offset wraps.
template <typename D, typename S, typename SampleFn>
void WalkBilinear(D* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                  const BilinearStep& step, SampleFn sample) {
  const int64_t x_step = static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(step.xStepInt)) << 32) +
                         int64_t{step.xStepFrac};
  uint32_t y_frac = step.yFrac;
  intptr_t row_offset = 0;
  kernel_walk::ForEachRow(dst, dst_skip, width, height, [&](D* row) {
    const S* top = OffsetBytes(src, row_offset);
    const S* bottom = OffsetBytes(top, src_pitch);
    const uint32_t fy = y_frac >> 24;
    int64_t x = step.xFracStart;
    for (int32_t i = 0; i < width; ++i) {
      row[i] = sample(top, bottom, static_cast<intptr_t>(x >> 32), static_cast<uint32_t>(x) >> 24, fy);
      x += x_step;
    }
    const uint32_t before = y_frac;
    y_frac += step.yStepFrac;
    row_offset += (intptr_t{step.yStepInt} + (y_frac < before ? 1 : 0)) * intptr_t{src_pitch};
  });
}

}  // namespace

void Bilinear32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                int32_t height, const BilinearStep& step) {
  WalkBilinear(dst, src, dst_skip, src_pitch, width, height, step,
               [](const uint32_t* top, const uint32_t* bottom, intptr_t x, uint32_t fx, uint32_t fy) {
                 return Bilerp32(top[x], top[x + 1], bottom[x], bottom[x + 1], fx, fy);
               });
}

void Bilinear32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                   int32_t height, const BilinearStep& step) {
  WalkBilinear(dst, src, dst_skip, src_pitch, width, height, step,
               [](const uint32_t* top, const uint32_t* bottom, intptr_t x, uint32_t fx, uint32_t fy) {
                 return BilerpVector(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + x)),
                                     _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + x)), fx, fy);
               });
}

void Bilinear8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                   int32_t width, int32_t height, const BilinearStep& step) {
  WalkBilinear(dst, src, dst_skip, src_pitch, width, height, step,
               [palette](const uint8_t* top, const uint8_t* bottom, intptr_t x, uint32_t fx, uint32_t fy) {
                 return Bilerp32(palette[top[x]], palette[top[x + 1]], palette[bottom[x]], palette[bottom[x + 1]], fx,
                                 fy);
               });
}

void Bilinear8To32Mmx(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                      int32_t width, int32_t height, const BilinearStep& step) {
  WalkBilinear(dst, src, dst_skip, src_pitch, width, height, step,
               [palette](const uint8_t* top, const uint8_t* bottom, intptr_t x, uint32_t fx, uint32_t fy) {
                 return BilerpVector(PixelPair(palette[top[x]], palette[top[x + 1]]),
                                     PixelPair(palette[bottom[x]], palette[bottom[x + 1]]), fx, fy);
               });
}

void Bilinear8(uint8_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
               const BilinearStep& step) {
  const auto lerp = [](int a, int b, uint32_t f) { return a + (((b - a) * static_cast<int>(f)) >> 8); };
  WalkBilinear(dst, src, dst_skip, src_pitch, width, height, step,
               [lerp](const uint8_t* top, const uint8_t* bottom, intptr_t x, uint32_t fx, uint32_t fy) {
                 return static_cast<uint8_t>(
                     lerp(lerp(top[x], top[x + 1], fx), lerp(bottom[x], bottom[x + 1], fx), fy));
               });
}
