// The AVX2 forms of the bilinear resampling of 32-bit and palette sources (avx2_kernels.h):
// four destination pixels per step, each from its two neighbour pairs, with the results of the
// SSE2 form.
#include <array>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/bilinear_walk.h"
#include "pixel/kernels/weighted_oct.h"

namespace {

// Two 128-bit values as the halves of one.
__m256i Halves(__m128i low, __m128i high) { return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1); }

// Four destination pixels at the source columns x from the top and bottom rows, weighted across
// by the fractions of their positions (four 32.32 positions, one 64-bit lane each) and down by
// fy: across first, then down, in 16-bit lanes. pair(line, x) gives the pixels at x and x + 1 of
// a row in the low 64 bits; each half of the vectors works on two samples as NWa, NWb, NEa, NEb.
template <typename S, typename PairFn>
__m128i BilerpFour(const S* top, const S* bottom, const intptr_t (&x)[4], __m256i positions, __m256i fy, PairFn pair) {
  const __m256i zero = _mm256_setzero_si256();
  const auto row_pairs = [&](const S* line) {
    return Halves(_mm_unpacklo_epi32(pair(line, x[0]), pair(line, x[1])),
                  _mm_unpacklo_epi32(pair(line, x[2]), pair(line, x[3])));
  };
  const __m256i tops = row_pairs(top);
  const __m256i bottoms = row_pairs(bottom);
  // Each sample's weight, the top byte of its position's fraction, in the four 16-bit lanes of
  // its pixel.
  constexpr char kZero = static_cast<char>(0x80);
  const __m256i weights = _mm256_shuffle_epi8(
      positions, _mm256_setr_epi8(3, kZero, 3, kZero, 3, kZero, 3, kZero, 11, kZero, 11, kZero, 11, kZero, 11, kZero, 3,
                                  kZero, 3, kZero, 3, kZero, 3, kZero, 11, kZero, 11, kZero, 11, kZero, 11, kZero));
  const __m256i upper =
      weighted_oct::BlendLanes(_mm256_unpacklo_epi8(tops, zero), _mm256_unpackhi_epi8(tops, zero), weights);
  const __m256i lower =
      weighted_oct::BlendLanes(_mm256_unpacklo_epi8(bottoms, zero), _mm256_unpackhi_epi8(bottoms, zero), weights);
  const __m256i down = weighted_oct::BlendLanes(upper, lower, fy);
  // Each half's two pixels sit in its low 64 bits: gather them into the low 128.
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(down, zero), 0x08));
}

template <typename S, typename PairFn>
void WalkBilinearFour(uint32_t* dst, const S* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                      const BilinearStep& step, PairFn pair) {
  bilinear_walk::WalkBilinearRows(
      dst, src, dst_skip, src_pitch, width, height, step,
      [&](uint32_t* row, const S* top, const S* bottom, uint32_t fy) {
        bilinear_walk::XPosition position(step);
        const __m256i down = _mm256_set1_epi16(static_cast<short>(fy));
        // The positions of the next four samples, stepped together in their lanes beside the
        // one that gives their columns.
        __m256i positions = _mm256_setr_epi64x(position.at, position.at + position.step,
                                               position.at + 2 * position.step, position.at + 3 * position.step);
        const __m256i four_steps = _mm256_set1_epi64x(4 * position.step);
        intptr_t x[4];
        int32_t i = 0;
        for (; i + 4 <= width; i += 4) {
          for (size_t k = 0; k < 4; ++k, position.at += position.step) x[k] = position.Whole();
          _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), BilerpFour(top, bottom, x, positions, down, pair));
          positions = _mm256_add_epi64(positions, four_steps);
        }
        if (i == width) return;
        // The last one to three samples, the last of them repeated to fill the step.
        const int32_t count = width - i;
        int64_t at[4];
        for (int32_t k = 0; k < 4; ++k) {
          x[k] = position.Whole();
          at[k] = position.at;
          if (k + 1 < count) position.at += position.step;
        }
        alignas(16) std::array<uint32_t, 4> rest;
        _mm_store_si128(reinterpret_cast<__m128i*>(rest.data()),
                        BilerpFour(top, bottom, x, _mm256_setr_epi64x(at[0], at[1], at[2], at[3]), down, pair));
        for (int32_t k = 0; k < count; ++k) row[i + k] = rest[static_cast<size_t>(k)];
      });
}

}  // namespace

namespace avx2_kernels {

void Bilinear32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width, int32_t height,
                const BilinearStep& step) {
  WalkBilinearFour(dst, src, dst_skip, src_pitch, width, height, step, [](const uint32_t* line, intptr_t x) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + x));
  });
}

void Bilinear8To32(uint32_t* dst, const uint8_t* src, int32_t dst_skip, int32_t src_pitch, const uint32_t* palette,
                   int32_t width, int32_t height, const BilinearStep& step) {
  WalkBilinearFour(dst, src, dst_skip, src_pitch, width, height, step, [palette](const uint8_t* line, intptr_t x) {
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(palette[line[x]])),
                              _mm_cvtsi32_si128(static_cast<int>(palette[line[x + 1]])));
  });
}

}  // namespace avx2_kernels
