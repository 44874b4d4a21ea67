// The AVX2 forms of the alpha, weighted and level blends (avx2_kernels.h). Each works as its
// SSE2 form in blend_kernels.cpp, on twice the lanes: the unpack and pack steps stay inside each
// 128-bit half, so the pixels come back in their order.
#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/weighted_oct.h"

using kernel_walk::Keyed32;
using kernel_walk::VectorKernel;

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;

// Game pictures are mostly runs of clear and opaque pixels: eight of either kind take the
// destination's or the source's colour without the multiplies, exactly as the blend would. Put
// leaves the destination alone where the source is clear and the destination's alpha is 0
// already (it stays as it is: a background loaded without alpha, or one blended onto before),
// and stores an opaque source without reading the destination.
struct AlphaBlendOct {
  __m256i Eight(__m256i d, __m256i s) const {
    const __m256i colour_bits = _mm256_set1_epi32(kColourBits);
    if (_mm256_testz_si256(s, AlphaBits()) != 0) return _mm256_and_si256(d, colour_bits);
    if (_mm256_testc_si256(s, AlphaBits()) != 0) return _mm256_and_si256(s, colour_bits);
    return Blend(d, s);
  }

  void Put(uint32_t* pixels, __m256i s) const {
    auto* at = reinterpret_cast<__m256i*>(pixels);
    const __m256i colour_bits = _mm256_set1_epi32(kColourBits);
    if (_mm256_testz_si256(s, AlphaBits()) != 0) {
      const __m256i d = _mm256_loadu_si256(at);
      if (_mm256_testz_si256(d, AlphaBits()) == 0) _mm256_storeu_si256(at, _mm256_and_si256(d, colour_bits));
      return;
    }
    if (_mm256_testc_si256(s, AlphaBits()) != 0) return _mm256_storeu_si256(at, _mm256_and_si256(s, colour_bits));
    _mm256_storeu_si256(at, Blend(_mm256_loadu_si256(at), s));
  }

  static __m256i AlphaBits() { return _mm256_set1_epi32(static_cast<int>(0xFF000000)); }

  // As AlphaBlendPair, with each channel in the high byte of a 16-bit lane: the weights are
  // made once per pixel and spread over the colour lanes, and the alpha lanes' weights of 0
  // leave the alpha byte 0.
  static __m256i Blend(__m256i d, __m256i s) {
    const __m256i alpha = _mm256_srli_epi32(s, 24);
    const __m256i src_weight = _mm256_sub_epi32(alpha, _mm256_cmpeq_epi32(alpha, _mm256_set1_epi32(255)));
    const weighted_oct::OctWeights src = weighted_oct::SpreadWeights(src_weight);
    const weighted_oct::OctWeights dst =
        weighted_oct::SpreadWeights(_mm256_sub_epi32(_mm256_set1_epi32(256), src_weight));
    const __m256i zero = _mm256_setzero_si256();
    const auto blend = [](__m256i d_high, __m256i s_high, __m256i d_weights, __m256i s_weights) {
      return _mm256_add_epi16(_mm256_mulhi_epu16(s_high, s_weights), _mm256_mulhi_epu16(d_high, d_weights));
    };
    return _mm256_packus_epi16(
        blend(_mm256_unpacklo_epi8(zero, d), _mm256_unpacklo_epi8(zero, s), dst.low, src.low),
        blend(_mm256_unpackhi_epi8(zero, d), _mm256_unpackhi_epi8(zero, s), dst.high, src.high));
  }
};

// quad(d, s) on the pixels' bytes widened to 16-bit lanes, four pixels at a time, packed back.
template <typename QuadFn>
__m256i OnWideLanes(__m256i d, __m256i s, QuadFn quad) {
  const __m256i zero = _mm256_setzero_si256();
  return _mm256_packus_epi16(quad(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero)),
                             quad(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero)));
}

// The four weight bytes of a word in the four 16-bit lanes of every pixel.
__m256i SpreadWeights(uint32_t bytes) {
  return _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(bytes)), _mm256_setzero_si256());
}

struct WeightedOct {
  __m256i dst_weights;
  __m256i src_weights;

  WeightedOct(uint32_t dst_bytes, uint32_t src_bytes)
      : dst_weights(SpreadWeights(dst_bytes)), src_weights(SpreadWeights(src_bytes)) {}

  __m256i Quad(__m256i d, __m256i s) const {
    const __m256i sum = _mm256_adds_epu16(_mm256_mullo_epi16(s, src_weights), _mm256_mullo_epi16(d, dst_weights));
    return _mm256_srli_epi16(sum, 8);
  }

  __m256i Eight(__m256i d, __m256i s) const {
    return OnWideLanes(d, s, [this](__m256i dw, __m256i sw) { return Quad(dw, sw); });
  }
};

// d + floor((s - d) * w / 256) per colour channel, alpha kept (weight 0 in its lanes); see
// weighted_pixel::BlendPair.
struct LevelOct {
  __m256i weights;

  explicit LevelOct(uint8_t level) {
    const auto w = static_cast<short>(g_PixelTables.weight[level][0]);
    weights = _mm256_setr_epi16(w, w, w, 0, w, w, w, 0, w, w, w, 0, w, w, w, 0);
  }

  __m256i Quad(__m256i d, __m256i s) const { return weighted_oct::BlendLanes(d, s, weights); }

  __m256i Eight(__m256i d, __m256i s) const {
    return OnWideLanes(d, s, [this](__m256i dw, __m256i sw) { return Quad(dw, sw); });
  }
};

}  // namespace

namespace avx2_kernels {

void MixedRun(uint32_t* d, const uint32_t* s, int32_t count) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int32_t x = 0; x < count; x += 8) {
    const __m256i inside = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - x), lanes);
    auto* at = reinterpret_cast<int*>(d + x);
    const __m256i eight_d = _mm256_maskload_epi32(at, inside);
    const __m256i eight_s = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + x), inside);
    _mm256_maskstore_epi32(at, inside, AlphaBlendOct::Blend(eight_d, eight_s));
  }
}

template <Walk kWalk>
void AlphaBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, AlphaBlendOct{});
}

template <Walk kWalk>
void BlendWeighted32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint32_t dst_weights, uint32_t src_weights) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, WeightedOct(dst_weights, src_weights));
}

template <Walk kWalk>
void BlendWeighted32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                        int32_t height, const StretchStep* step, uint32_t key, uint32_t dst_weights,
                        uint32_t src_weights) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step,
                      Keyed32(WeightedOct(dst_weights, src_weights), key));
}

template <Walk kWalk>
void BlendLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step, uint8_t level) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, LevelOct(level));
}

template <Walk kWalk>
void BlendLevel32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                     int32_t height, const StretchStep* step, uint8_t level, uint32_t key) {
  VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, Keyed32(LevelOct(level), key));
}

#define KESTRUNE_ALPHA_BLEND_WALK(walk)                                                                    \
  template void AlphaBlend32<walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, \
                                   const StretchStep*);
KESTRUNE_ALPHA_BLEND_WALK(Walk::kForward)
KESTRUNE_ALPHA_BLEND_WALK(Walk::kMirror)
KESTRUNE_ALPHA_BLEND_WALK(Walk::kStretch)
KESTRUNE_ALPHA_BLEND_WALK(Walk::kMirrorStretch)
#undef KESTRUNE_ALPHA_BLEND_WALK

#define KESTRUNE_WEIGHTED_AND_LEVEL_WALK(walk)                                                                    \
  template void BlendWeighted32<walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,             \
                                      const StretchStep*, uint32_t, uint32_t);                                    \
  template void BlendWeighted32Key<walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,          \
                                         const StretchStep*, uint32_t, uint32_t, uint32_t);                       \
  template void BlendLevel32<walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,                \
                                   const StretchStep*, uint8_t);                                                  \
  template void BlendLevel32Key<walk>(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,             \
                                      const StretchStep*, uint8_t, uint32_t);
KESTRUNE_WEIGHTED_AND_LEVEL_WALK(Walk::kForward)
KESTRUNE_WEIGHTED_AND_LEVEL_WALK(Walk::kStretch)
#undef KESTRUNE_WEIGHTED_AND_LEVEL_WALK

}  // namespace avx2_kernels
