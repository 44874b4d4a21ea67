// The AVX2 forms of the scaled and alpha-level kernels (avx2_kernels.h), with the results of
// weighted_pixel's four-pixel rules.
#include <array>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/weighted_oct.h"

using avx2_kernels::Mix;
using kernel_walk::VectorKernel;
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

// As AlphaLevelOp, with P[L][sA] worked out in the lanes. Put skips runs of clear source pixels,
// which weigh P[L][0] = 0, and eight opaque source pixels (most of a picture) share one weight,
// w(P[L][255]) = w(L), spread once.
template <Mix kMix>
struct AlphaLevelOct {
  __m256i level;
  OctWeights opaque = SpreadWeights(weighted_oct::WeightsByRule(level));
  explicit AlphaLevelOct(uint8_t l) : level(_mm256_set1_epi32(l)) {}
  void Put(uint32_t* pixels, __m256i s) const {
    if (_mm256_testz_si256(s, _mm256_set1_epi32(static_cast<int>(0xFF000000))) != 0) return;
    auto* at = reinterpret_cast<__m256i*>(pixels);
    _mm256_storeu_si256(at, Eight(_mm256_loadu_si256(at), s));
  }
  __m256i Eight(__m256i d, __m256i s) const {
    const __m256i alpha_bits = _mm256_set1_epi32(static_cast<int>(0xFF000000));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, alpha_bits), alpha_bits)) == -1) {
      return MixEight<kMix>(d, s, opaque);
    }
    const __m256i coverage = weighted_oct::ProductsOfAlphas(s, level);
    return MixEight<kMix>(d, s, SpreadWeights(weighted_oct::WeightsByRule(coverage)));
  }
};

// As OverOp, with the coverage P[L][sA] worked out in the lanes.
struct OverOct {
  __m256i level;
  explicit OverOct(uint8_t l) : level(_mm256_set1_epi32(l)) {}
  __m256i Eight(__m256i d, __m256i s) const {
    return weighted_oct::OverEight(d, s, weighted_oct::ProductsOfAlphas(s, level));
  }
};

}  // namespace

namespace avx2_kernels {

template <bool kAlphaToo>
void BlendSourceMasked32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                         int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row) {
  const auto coverage_of = [level_row](uint8_t m, uint32_t s) -> uint32_t {
    if constexpr (kAlphaToo) return g_PixelTables.product[level_row[m]][s >> 24];
    return level_row[m];
  };
  // Eight pixels at d, s and m (which may be padded copies).
  const auto blend_eight = [&](uint32_t* d, const uint32_t* s, const uint8_t* m) {
    const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i coverage =
        _mm256_setr_epi32(coverage_of(m[0], s[0]), coverage_of(m[1], s[1]), coverage_of(m[2], s[2]),
                          coverage_of(m[3], s[3]), coverage_of(m[4], s[4]), coverage_of(m[5], s[5]),
                          coverage_of(m[6], s[6]), coverage_of(m[7], s[7]));
    const OctWeights weights = SpreadWeights(weighted_oct::WeightsByRule(coverage));
    auto* pixels = reinterpret_cast<__m256i*>(d);
    _mm256_storeu_si256(pixels, MixEight<Mix::kBlend>(_mm256_loadu_si256(pixels), source, weights));
  };
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t, uint32_t* d, const uint32_t* s, const uint8_t* m) {
        int32_t x = 0;
        for (; x <= width - 8; x += 8) blend_eight(d + x, s + x, m + x);
        if (x == width) return;
        std::array<uint32_t, 8> rest{};
        std::array<uint32_t, 8> rest_source{};
        std::array<uint8_t, 8> rest_mask{};
        const int32_t count = width - x;
        for (int32_t i = 0; i < count; ++i) {
          rest[static_cast<size_t>(i)] = d[x + i];
          rest_source[static_cast<size_t>(i)] = s[x + i];
          rest_mask[static_cast<size_t>(i)] = m[x + i];
        }
        blend_eight(rest.data(), rest_source.data(), rest_mask.data());
        for (int32_t i = 0; i < count; ++i) d[x + i] = rest[static_cast<size_t>(i)];
      },
      kernel_walk::SkipPlane(dst, dst_skip, width), kernel_walk::SkipPlane(src, src_skip, width),
      kernel_walk::SkipPlane(mask, mask_skip, width));
}

template void BlendSourceMasked32<false>(uint32_t*, const uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                         int32_t, const uint8_t*);
template void BlendSourceMasked32<true>(uint32_t*, const uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t,
                                        int32_t, const uint8_t*);

template <Mix kMix, Walk kWalk>
void MixScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                 int32_t height, const StretchStep* step, uint8_t level) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, ScaledOct<kMix>(level));
}

template <Mix kMix, Walk kWalk>
void MixAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint8_t level) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, AlphaLevelOct<kMix>(level));
}

template <Walk kWalk>
void Over32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width, int32_t height,
            const StretchStep* step, uint8_t level) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, OverOct(level));
}

template void Over32<Walk::kForward>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                     const StretchStep*, uint8_t);
template void Over32<Walk::kStretch>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                     const StretchStep*, uint8_t);

#define KESTRUNE_SCALED(mix, walk)                                                                      \
  template void MixScaled32<mix, walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                       const StretchStep*, uint8_t);
KESTRUNE_SCALED(Mix::kAdd, Walk::kForward)
KESTRUNE_SCALED(Mix::kAdd, Walk::kStretch)
KESTRUNE_SCALED(Mix::kSub, Walk::kForward)
KESTRUNE_SCALED(Mix::kSub, Walk::kStretch)
#undef KESTRUNE_SCALED
#define KESTRUNE_ALPHA_LEVEL(mix, walk)                                                                      \
  template void MixAlphaLevel32<mix, walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                           const StretchStep*, uint8_t);
KESTRUNE_ALPHA_LEVEL(Mix::kBlend, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kBlend, Walk::kStretch)
KESTRUNE_ALPHA_LEVEL(Mix::kAdd, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kAdd, Walk::kStretch)
KESTRUNE_ALPHA_LEVEL(Mix::kSub, Walk::kForward)
KESTRUNE_ALPHA_LEVEL(Mix::kSub, Walk::kStretch)
#undef KESTRUNE_ALPHA_LEVEL

}  // namespace avx2_kernels
