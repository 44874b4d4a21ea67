// The AVX2 forms of the alpha, weighted and level blends (avx2_kernels.h). Each works as its
// SSE2 form in blend_kernels.cpp, on twice the lanes: the unpack and pack steps stay inside each
// 128-bit half, so the pixels come back in their order.
#include <algorithm>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/weighted_oct.h"

using kernel_walk::Keyed32;
using kernel_walk::VectorKernel;
using kernel_walk::VectorKernelWithEdges;

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

// The ends of a row and the rows too narrow for whole steps, by the blend's rule eight pixels a
// step through masked loads and stores: no pixel past the run is read or written.
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

// Rows of kWidth pixels (2, 4 or 8), as many as fill a register loaded together: rows 0 to
// kRows - 1 of a register's worth from `pixels` on, a stride apart, the lanes past `rows` rows 0.
template <int32_t kWidth>
struct NarrowRows {
  static constexpr int32_t kRows = 8 / kWidth;

  static __m128i Row(const uint32_t* pixels) {
    const auto* at = reinterpret_cast<const __m128i*>(pixels);
    return kWidth == 2 ? _mm_loadl_epi64(at) : _mm_loadu_si128(at);
  }
  static __m256i Load(const uint32_t* pixels, intptr_t stride, int32_t rows) {
    if constexpr (kWidth == 8) {
      return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
    } else {
      __m128i halves[2] = {_mm_setzero_si128(), _mm_setzero_si128()};
      for (int32_t row = 0; row < rows; ++row) {
        const __m128i pixels_of_row = Row(pixels + row * stride);
        __m128i& half = halves[row * kWidth / 4];
        half = kWidth == 2 && row % 2 == 1 ? _mm_unpacklo_epi64(half, pixels_of_row) : pixels_of_row;
      }
      return _mm256_inserti128_si256(_mm256_castsi128_si256(halves[0]), halves[1], 1);
    }
  }
  static void Store(uint32_t* pixels, intptr_t stride, int32_t rows, __m256i eight) {
    if constexpr (kWidth == 8) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), eight);
    } else {
      const __m128i halves[2] = {_mm256_castsi256_si128(eight), _mm256_extracti128_si256(eight, 1)};
      for (int32_t row = 0; row < rows; ++row) {
        const __m128i half = halves[row * kWidth / 4];
        auto* at = reinterpret_cast<__m128i*>(pixels + row * stride);
        if (kWidth == 4) {
          _mm_storeu_si128(at, half);
        } else {
          _mm_storel_epi64(at, row % 2 == 0 ? half : _mm_unpackhi_epi64(half, half));
        }
      }
    }
  }
};

// Blocks of 2 × 2 two to a register where the second shares no pixel with the first (a block over
// the one before blends over its result): pairs whose offsets could be those of blocks that
// share one go one by one.
void BlendBlockPairs(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                     std::span<const BlockPlace> blocks) {
  using Rows = NarrowRows<2>;
  const AlphaBlendOct oct;
  // Blocks that share a pixel lie a row or none apart and a column or none across.
  const auto touching = [dst_stride](const BlockPlace& a, const BlockPlace& b) {
    const intptr_t apart = b.to - a.to;
    for (const intptr_t rows : {-dst_stride, intptr_t{0}, dst_stride}) {
      if (apart - rows >= -1 && apart - rows <= 1) return true;
    }
    return false;
  };
  size_t k = 0;
  for (; k + 1 < blocks.size(); k += 2) {
    const BlockPlace& first = blocks[k];
    const BlockPlace& second = blocks[k + 1];
    if (touching(first, second)) {
      for (const BlockPlace* block : {&first, &second}) {
        const __m256i d = Rows::Load(dst + block->to, dst_stride, 2);
        Rows::Store(dst + block->to, dst_stride, 2, oct.Eight(d, Rows::Load(src + block->from, src_stride, 2)));
      }
      continue;
    }
    const auto two = [](__m256i a, __m256i b) {
      return _mm256_inserti128_si256(a, _mm256_castsi256_si128(b), 1);
    };
    const __m256i d = two(Rows::Load(dst + first.to, dst_stride, 2), Rows::Load(dst + second.to, dst_stride, 2));
    const __m256i s = two(Rows::Load(src + first.from, src_stride, 2), Rows::Load(src + second.from, src_stride, 2));
    const __m256i blended = oct.Eight(d, s);
    Rows::Store(dst + first.to, dst_stride, 2, blended);
    Rows::Store(dst + second.to, dst_stride, 2, _mm256_permute2x128_si256(blended, blended, 0x01));
  }
  if (k < blocks.size()) {
    const BlockPlace& last = blocks[k];
    const __m256i d = Rows::Load(dst + last.to, dst_stride, 2);
    Rows::Store(dst + last.to, dst_stride, 2, oct.Eight(d, Rows::Load(src + last.from, src_stride, 2)));
  }
}

// Each block's rows a register's worth at a time.
template <typename Rows>
void BlendBlockRows(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, int32_t height,
                    std::span<const BlockPlace> blocks) {
  const AlphaBlendOct oct;
  for (const BlockPlace& block : blocks) {
    uint32_t* to = dst + block.to;
    const uint32_t* from = src + block.from;
    for (int32_t row = 0; row < height; row += Rows::kRows) {
      const int32_t rows = std::min(Rows::kRows, height - row);
      const __m256i d = Rows::Load(to + row * dst_stride, dst_stride, rows);
      const __m256i s = Rows::Load(from + row * src_stride, src_stride, rows);
      Rows::Store(to + row * dst_stride, dst_stride, rows, oct.Eight(d, s));
    }
  }
}

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

// Forward, the ends of a row go through masked steps.
template <Walk kWalk>
void AlphaBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_rows, int32_t width,
                  int32_t height, const StretchStep* step) {
  if constexpr (kWalk == Walk::kForward) {
    VectorKernelWithEdges(dst, src, dst_skip, src_rows, width, height, AlphaBlendOct{}, MixedRun);
  } else {
    VectorKernel<kWalk>(dst, src, dst_skip, src_rows, width, height, step, AlphaBlendOct{});
  }
}

// Rows of four pixels two to a register, rows of two four to a register, rows of eight one to a
// register; other widths row by row through masked steps.
void AlphaBlendBlocks32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, int32_t width,
                        int32_t height, std::span<const BlockPlace> blocks) {
  switch (width) {
    case 2:
      if (height == 2) return BlendBlockPairs(dst, dst_stride, src, src_stride, blocks);
      return BlendBlockRows<NarrowRows<2>>(dst, dst_stride, src, src_stride, height, blocks);
    case 4:
      return BlendBlockRows<NarrowRows<4>>(dst, dst_stride, src, src_stride, height, blocks);
    case 8:
      return BlendBlockRows<NarrowRows<8>>(dst, dst_stride, src, src_stride, height, blocks);
    default:
      for (const BlockPlace& block : blocks) {
        uint32_t* to = dst + block.to;
        const uint32_t* from = src + block.from;
        for (int32_t row = 0; row < height; ++row, to += dst_stride, from += src_stride) MixedRun(to, from, width);
      }
  }
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
