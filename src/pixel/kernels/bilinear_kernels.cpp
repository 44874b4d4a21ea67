#include "pixel/kernels/bilinear_kernels.h"

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/bilinear_walk.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/weighted_pixel.h"

using bilinear_walk::WalkBilinearRows;
using bilinear_walk::XPosition;

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

// A pixel and its right neighbour in the low 64 bits.
__m128i PixelPair(uint32_t left, uint32_t right) {
  return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(left)), _mm_cvtsi32_si128(static_cast<int>(right)));
}

// Two destination pixels a and b from their neighbour pairs ([NW, NE] of the top row and [SW, SE]
// of the bottom row, each in the low 64 bits): across by each pixel's fx, then down by fy, in
// 16-bit lanes. The result's low 64 bits hold a and b.
__m128i BilerpTwo(__m128i top_a, __m128i top_b, __m128i bottom_a, __m128i bottom_b, uint32_t fx_a, uint32_t fx_b,
                  uint32_t fy) {
  const __m128i zero = _mm_setzero_si128();
  const auto a = static_cast<short>(fx_a);
  const auto b = static_cast<short>(fx_b);
  const __m128i fx = _mm_set_epi16(b, b, b, b, a, a, a, a);
  const __m128i tops = _mm_unpacklo_epi32(top_a, top_b);  // NWa, NWb, NEa, NEb
  const __m128i bottoms = _mm_unpacklo_epi32(bottom_a, bottom_b);
  const __m128i top = weighted_pixel::BlendPair(_mm_unpacklo_epi8(tops, zero), _mm_unpackhi_epi8(tops, zero), fx);
  const __m128i bottom =
      weighted_pixel::BlendPair(_mm_unpacklo_epi8(bottoms, zero), _mm_unpackhi_epi8(bottoms, zero), fx);
  return _mm_packus_epi16(weighted_pixel::BlendPair(top, bottom, _mm_set1_epi16(static_cast<short>(fy))), zero);
}

// The portable walk: sample(top, bottom, x, fx, fy) per destination pixel.
template <typename D, typename S, typename SampleFn>
void WalkBilinear(D* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                  const BilinearStep& step, SampleFn sample) {
  WalkBilinearRows(dst, src, dst_skip, src_pitch, width, height, step,
                   [&](D* row, const S* top, const S* bottom, uint32_t fy) {
                     XPosition x(step);
                     for (int32_t i = 0; i < width; ++i, x.at += x.step) {
                       row[i] = sample(top, bottom, x.Whole(), x.Weight(), fy);
                     }
                   });
}

// The vector walk, two destination pixels per step: pair(line, x) gives the pixels at x and
// x + 1 of a source row in the low 64 bits.
template <typename S, typename PairFn>
void WalkBilinearVector(uint32_t* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const BilinearStep& step, PairFn pair) {
  WalkBilinearRows(dst, src, dst_skip, src_pitch, width, height, step,
                   [&](uint32_t* row, const S* top, const S* bottom, uint32_t fy) {
                     XPosition x(step);
                     int32_t i = 0;
                     for (; i + 2 <= width; i += 2) {
                       const intptr_t xa = x.Whole();
                       const uint32_t fa = x.Weight();
                       x.at += x.step;
                       const intptr_t xb = x.Whole();
                       const uint32_t fb = x.Weight();
                       x.at += x.step;
                       _mm_storel_epi64(reinterpret_cast<__m128i*>(row + i),
                                        BilerpTwo(pair(top, xa), pair(top, xb), pair(bottom, xa), pair(bottom, xb),
                                                  fa, fb, fy));
                     }
                     if (i < width) {
                       const __m128i last = pair(top, x.Whole());
                       const __m128i last_bottom = pair(bottom, x.Whole());
                       row[i] = static_cast<uint32_t>(
                           _mm_cvtsi128_si32(BilerpTwo(last, last, last_bottom, last_bottom, x.Weight(), x.Weight(), fy)));
                     }
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
  if (g_CpuHasAvx2 != 0) return avx2_kernels::Bilinear32(dst, src, dst_skip, src_pitch, width, height, step);
  WalkBilinearVector(dst, src, dst_skip, src_pitch, width, height, step, [](const uint32_t* line, intptr_t x) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + x));
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
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Bilinear8To32(dst, src, dst_skip, src_pitch, palette, width, height, step);
  }
  WalkBilinearVector(dst, src, dst_skip, src_pitch, width, height, step, [palette](const uint8_t* line, intptr_t x) {
    return PixelPair(palette[line[x]], palette[line[x + 1]]);
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
