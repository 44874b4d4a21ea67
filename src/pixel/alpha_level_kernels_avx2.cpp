// The AVX2 forms of the scaled and alpha-level kernels (avx2_kernels.h), with the results of
// weighted_pixel's four-pixel rules.
#include <array>

#include "pixel/avx2_kernels.h"
#include "pixel/pixel_tables.h"
#include "pixel/weighted_oct.h"

using avx2_kernels::Mix;
using kernel_walk::VectorKernel;
using weighted_oct::LevelWeights;
using weighted_oct::MixEight;
using weighted_oct::OctWeights;
using weighted_oct::SpreadWeights;

namespace {

template <Mix kMix>
struct ScaledOct {
  OctWeights weights;
  explicit ScaledOct(uint8_t level)
      : weights(SpreadWeights(_mm256_set1_epi32(static_cast<int>(g_PixelTables.weight[level][0])))) {}
  __m256i Eight(__m256i d, __m256i s) const { return MixEight<kMix>(d, s, weights); }
};

template <Mix kMix>
struct AlphaLevelOct {
  const LevelWeights* weights;
  const uint8_t* level_row;
  __m256i Eight(__m256i d, __m256i s) const {
    alignas(32) std::array<uint32_t, 8> alphas;
    _mm256_store_si256(reinterpret_cast<__m256i*>(alphas.data()), _mm256_srli_epi32(s, 24));
    if constexpr (kMix == Mix::kOver) {
      std::array<uint8_t, 8> coverage;
      for (size_t i = 0; i < 8; ++i) coverage[i] = level_row[alphas[i]];
      return weighted_oct::OverEight(d, s, coverage.data());
    } else {
      return MixEight<kMix>(d, s, weighted_oct::LookUpWeights(*weights, alphas.data()));
    }
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
  const LevelWeights weights = weighted_oct::WeightsOfLevelRow(level_row);
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, AlphaLevelOct<kMix>{&weights, level_row});
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
KESTRUNE_ALPHA_LEVEL(Mix::kOver, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kOver, Walk::kStretch)
#undef KESTRUNE_ALPHA_LEVEL

}  // namespace avx2_kernels
