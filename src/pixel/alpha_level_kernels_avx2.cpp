// The AVX2 forms of the scaled and alpha-level kernels (avx2_kernels.h), with the results of
// weighted_pixel's four-pixel rules.
#include <array>

#include "pixel/avx2_kernels.h"
#include "pixel/pixel_tables.h"

using avx2_kernels::Mix;
using kernel_walk::VectorKernel;

namespace {

// The weights of eight pixels (one 32-bit lane each, at most 256) spread over the 16-bit colour
// lanes of the pixels that the low and the high byte unpacking widen; the alpha lanes get 0.
struct OctWeights {
  __m256i low;
  __m256i high;
};

OctWeights SpreadWeights(__m256i weights) {
  constexpr char kZero = static_cast<char>(0x80);
  const __m256i low = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, kZero, kZero, 4, 5, 4, 5, 4, 5, kZero, kZero, 0, 1, 0, 1, 0,
                                       1, kZero, kZero, 4, 5, 4, 5, 4, 5, kZero, kZero);
  const __m256i high = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, kZero, kZero, 12, 13, 12, 13, 12, 13, kZero, kZero, 8, 9,
                                        8, 9, 8, 9, kZero, kZero, 12, 13, 12, 13, 12, 13, kZero, kZero);
  return {_mm256_shuffle_epi8(weights, low), _mm256_shuffle_epi8(weights, high)};
}

template <Mix kMix>
__m256i MixEight(__m256i d, __m256i s, const OctWeights& w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i d_low = _mm256_unpacklo_epi8(d, zero);
  const __m256i d_high = _mm256_unpackhi_epi8(d, zero);
  const __m256i s_low = _mm256_unpacklo_epi8(s, zero);
  const __m256i s_high = _mm256_unpackhi_epi8(s, zero);
  if constexpr (kMix == Mix::kBlend) {
    const auto blend = [](__m256i dw, __m256i sw, __m256i weight) {
      const __m256i step = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(sw, dw), weight), 8);
      return _mm256_and_si256(_mm256_add_epi16(dw, step), _mm256_set1_epi16(0xFF));
    };
    return _mm256_packus_epi16(blend(d_low, s_low, w.low), blend(d_high, s_high, w.high));
  } else {
    const __m256i scaled = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(s_low, w.low), 8),
                                               _mm256_srli_epi16(_mm256_mullo_epi16(s_high, w.high), 8));
    if constexpr (kMix == Mix::kAdd) return _mm256_adds_epu8(d, scaled);
    return _mm256_subs_epu8(d, scaled);
  }
}

template <Mix kMix>
struct ScaledOct {
  OctWeights weights;
  explicit ScaledOct(uint8_t level)
      : weights(SpreadWeights(_mm256_set1_epi32(static_cast<int>(g_PixelTables.weight[level][0])))) {}
  __m256i Eight(__m256i d, __m256i s) const { return MixEight<kMix>(d, s, weights); }
};

// The weight-table entry w(level_row[a]) for every alpha a, gathered by the source alphas.
using AlphaWeights = std::array<int32_t, 256>;

AlphaWeights WeightsOfLevelRow(const uint8_t* level_row) {
  AlphaWeights weights{};
  for (size_t a = 0; a < weights.size(); ++a) weights[a] = g_PixelTables.weight[level_row[a]][0];
  return weights;
}

template <Mix kMix>
struct AlphaLevelOct {
  const AlphaWeights* weights;
  __m256i Eight(__m256i d, __m256i s) const {
    const __m256i alpha = _mm256_srli_epi32(s, 24);
    return MixEight<kMix>(d, s, SpreadWeights(_mm256_i32gather_epi32(weights->data(), alpha, 4)));
  }
};

}  // namespace

namespace avx2_kernels {

template <Mix kMix, Walk kWalk>
void MixScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                 int32_t height, const StretchStep* step, uint8_t level) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, ScaledOct<kMix>(level));
}

template <Mix kMix, Walk kWalk>
void MixAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, const uint8_t* level_row) {
  const AlphaWeights weights = WeightsOfLevelRow(level_row);
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, AlphaLevelOct<kMix>{&weights});
}

template void MixScaled32<Mix::kAdd, Walk::kForward>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                                     const StretchStep*, uint8_t);
template void MixScaled32<Mix::kSub, Walk::kForward>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                                     const StretchStep*, uint8_t);
#define KESTRUNE_ALPHA_LEVEL(mix, walk)                                                                      \
  template void MixAlphaLevel32<mix, walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                           const StretchStep*, const uint8_t*);
KESTRUNE_ALPHA_LEVEL(Mix::kBlend, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kBlend, Walk::kStretch)
KESTRUNE_ALPHA_LEVEL(Mix::kAdd, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kAdd, Walk::kStretch)
KESTRUNE_ALPHA_LEVEL(Mix::kSub, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kSub, Walk::kStretch)
#undef KESTRUNE_ALPHA_LEVEL

}  // namespace avx2_kernels
