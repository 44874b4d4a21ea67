// Weighted per-pixel rules of weighted_pixel.h for eight pixels in an AVX2 register, with the
// same results as its four-pixel rules. Only the files compiled for AVX2 include this.
#pragma once

#if !defined(__AVX2__)
#error "weighted_oct.h is for the files compiled for AVX2"
#endif

#include <immintrin.h>

#include <array>
#include <cstdint>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/pixel_tables.h"

namespace weighted_oct {

using avx2_kernels::Mix;

// The weights of eight pixels (one 32-bit lane each, at most 256) spread over the 16-bit colour
// lanes of the pixels that the low and the high byte unpacking widen; the alpha lanes get 0.
struct OctWeights {
  __m256i low;
  __m256i high;
};

inline OctWeights SpreadWeights(__m256i weights) {
  constexpr char kZero = static_cast<char>(0x80);
  const __m256i low = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, kZero, kZero, 4, 5, 4, 5, 4, 5, kZero, kZero, 0, 1, 0, 1, 0,
                                       1, kZero, kZero, 4, 5, 4, 5, 4, 5, kZero, kZero);
  const __m256i high = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, kZero, kZero, 12, 13, 12, 13, 12, 13, kZero, kZero, 8, 9,
                                        8, 9, 8, 9, kZero, kZero, 12, 13, 12, 13, 12, 13, kZero, kZero);
  return {_mm256_shuffle_epi8(weights, low), _mm256_shuffle_epi8(weights, high)};
}

// The weight-table entry w(k) of each 32-bit lane's k (0 to 255), worked out in the lanes by
// the table's rule w(0) = 0, w(k) = k + 1, rather than fetched pixel by pixel.
inline __m256i WeightsByRule(__m256i k) { return _mm256_sub_epi32(k, _mm256_cmpgt_epi32(k, _mm256_setzero_si256())); }

// d + floor((s - d) * w / 256) in every 16-bit lane (bytes widened to lanes); see
// weighted_pixel::BlendPair.
inline __m256i BlendLanes(__m256i d, __m256i s, __m256i w) {
  const __m256i step = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(s, d), w), 8);
  return _mm256_and_si256(_mm256_add_epi16(d, step), _mm256_set1_epi16(0xFF));
}

// Blend, add or subtract eight pixels with their weights.
template <Mix kMix>
__m256i MixEight(__m256i d, __m256i s, const OctWeights& w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i d_low = _mm256_unpacklo_epi8(d, zero);
  const __m256i d_high = _mm256_unpackhi_epi8(d, zero);
  const __m256i s_low = _mm256_unpacklo_epi8(s, zero);
  const __m256i s_high = _mm256_unpackhi_epi8(s, zero);
  if constexpr (kMix == Mix::kBlend) {
    return _mm256_packus_epi16(BlendLanes(d_low, s_low, w.low), BlendLanes(d_high, s_high, w.high));
  } else {
    const __m256i scaled = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(s_low, w.low), 8),
                                               _mm256_srli_epi16(_mm256_mullo_epi16(s_high, w.high), 8));
    if constexpr (kMix == Mix::kAdd) return _mm256_adds_epu8(d, scaled);
    return _mm256_subs_epu8(d, scaled);
  }
}

// level_row[index] of eight indices (0 to 255), one 32-bit lane each. Forced inline: left to the
// compiler, the blends that look their coverage up measured up to a third slower.
template <typename Index>
[[gnu::always_inline]] inline __m256i LevelsAt(const uint8_t* level_row, const Index* indices) {
  return _mm256_setr_epi32(level_row[indices[0]], level_row[indices[1]], level_row[indices[2]],
                           level_row[indices[3]], level_row[indices[4]], level_row[indices[5]],
                           level_row[indices[6]], level_row[indices[7]]);
}

// P[L][sA] of the eight pixels of s (the product table's floor((sA L + 127) / 255)), worked out
// in their lanes from the level L in every lane rather than looked up pixel by pixel: t = sA L +
// 127 stays below 65280 in the low half of its lane, where (t * 0x8081) >> 23 is floor(t / 255).
inline __m256i ProductsOfAlphas(__m256i s, __m256i level) {
  const __m256i t = _mm256_add_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(s, 24), level), _mm256_set1_epi32(127));
  return _mm256_srli_epi32(_mm256_mulhi_epu16(t, _mm256_set1_epi32(0x8081)), 7);
}

// The alpha-over rule (weighted_pixel::OverFour) for eight pixels with their coverages, one
// 32-bit lane each; share and composite alpha as weighted_pixel::SharesInLanes and
// CompositeAlphasInLanes work them out.
inline __m256i OverEight(__m256i d, __m256i s, __m256i coverage) {
  const __m256i full = _mm256_set1_epi32(255);
  const __m256i r = _mm256_srli_epi32(d, 24);
  const __m256i sum = _mm256_add_epi32(r, coverage);
  const __m256i divisor =
      _mm256_sub_epi32(_mm256_sub_epi32(_mm256_slli_epi32(sum, 8), sum), _mm256_mullo_epi16(r, coverage));
  const __m256 numerator = _mm256_mul_ps(_mm256_cvtepi32_ps(coverage), _mm256_set1_ps(65025.0F));
  const __m256i quotient = _mm256_cvttps_epi32(_mm256_div_ps(numerator, _mm256_cvtepi32_ps(divisor)));
  const __m256i share = _mm256_blendv_epi8(quotient, full, _mm256_cmpeq_epi32(r, _mm256_setzero_si256()));
  const __m256i colour =
      _mm256_and_si256(MixEight<Mix::kBlend>(d, s, SpreadWeights(WeightsByRule(share))), _mm256_set1_epi32(0x00FFFFFF));
  const __m256i product = _mm256_mullo_epi16(_mm256_sub_epi32(full, r), _mm256_sub_epi32(full, coverage));
  const __m256i covered = _mm256_srli_epi32(
      _mm256_add_epi32(_mm256_add_epi32(product, _mm256_set1_epi32(1)), _mm256_srli_epi32(product, 8)), 8);
  return _mm256_or_si256(colour, _mm256_slli_epi32(_mm256_sub_epi32(full, covered), 24));
}

// The weight-table entry w(level_row[i]) for every byte i, to be looked up by pixel.
using LevelWeights = std::array<int32_t, 256>;

inline LevelWeights WeightsOfLevelRow(const uint8_t* level_row) {
  LevelWeights weights{};
  for (size_t i = 0; i < weights.size(); ++i) weights[i] = g_PixelTables.weight[level_row[i]][0];
  return weights;
}

// The weights of eight pixels looked up one by one by eight indices (0 to 255): eight loads
// beat a gather on processors whose gather is slow, and lose little on the others.
template <typename Index>
OctWeights LookUpWeights(const LevelWeights& weights, const Index* indices) {
  return SpreadWeights(_mm256_setr_epi32(weights[indices[0]], weights[indices[1]], weights[indices[2]],
                                         weights[indices[3]], weights[indices[4]], weights[indices[5]],
                                         weights[indices[6]], weights[indices[7]]));
}

}  // namespace weighted_oct
