#include "pixel/kernels/blend_kernels.h"

#include "pixel/kernels/alpha_blend_pixel.h"
#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/weighted_pixel.h"

using kernel_walk::Keyed32;
using kernel_walk::ScalarKernel;
using kernel_walk::VectorKernel;
using kernel_walk::VectorKernelWithEdges;
using kernel_walk::Walk;

namespace {

constexpr uint32_t kColourBits = 0x00FFFFFF;
constexpr uint32_t kAlphaBits = 0xFF000000;

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

struct AlphaBlendPixel {
  uint32_t One(uint32_t d, uint32_t s) const {
    return alpha_blend_pixel::Blend<alpha_blend_pixel::Rule::kPortable>(d, s);
  }
};

// Two pixels with each channel in the high byte of a 16-bit lane, so that one high-half product
// gives channel * weight >> 8. Each pixel's alpha is spread over its four lanes to make the
// source weight (256 for an opaque source) and the destination weight 256 minus that.
__m128i AlphaBlendPair(__m128i d_high, __m128i s_high) {
  const __m128i alpha =
      _mm_srli_epi16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(s_high, 0xFF), 0xFF), 8);
  const __m128i src_weight = _mm_sub_epi16(alpha, _mm_cmpeq_epi16(alpha, _mm_set1_epi16(255)));
  const __m128i dst_weight = _mm_sub_epi16(_mm_set1_epi16(256), src_weight);
  return _mm_add_epi16(_mm_mulhi_epu16(s_high, src_weight), _mm_mulhi_epu16(d_high, dst_weight));
}

// Runs of clear and opaque pixels take the destination's or the source's colour without the
// multiplies, exactly as the blend would. (Leaving a destination of alpha 0 alone under a clear
// source, as the AVX2 form does, measured slower here: the four-pixel steps' extra branch costs
// more than the stores it saves.)
struct AlphaBlendQuad {
  __m128i Four(__m128i d, __m128i s) const {
    const __m128i colour_bits = _mm_set1_epi32(kColourBits);
    switch (Kind(s)) {
      case SourceKind::kClear: return _mm_and_si128(d, colour_bits);
      case SourceKind::kOpaque: return _mm_and_si128(s, colour_bits);
      case SourceKind::kMixed: break;
    }
    return Blend(d, s);
  }

  enum class SourceKind { kClear, kOpaque, kMixed };

  static bool AllAlphasAre(__m128i pixels, uint32_t alpha) {
    const __m128i alpha_bits = _mm_set1_epi32(static_cast<int>(kAlphaBits));
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(alpha << 24));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, alpha_bits), wanted)) == 0xFFFF;
  }

  // The alphas' top bits first: on mixed alpha one test turns the runs' checks away.
  static SourceKind Kind(__m128i s) {
    const int top_bits = _mm_movemask_ps(_mm_castsi128_ps(s));
    if (top_bits == 0 && AllAlphasAre(s, 0)) return SourceKind::kClear;
    if (top_bits == 0xF && AllAlphasAre(s, 0xFF)) return SourceKind::kOpaque;
    return SourceKind::kMixed;
  }

  static __m128i Blend(__m128i d, __m128i s) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = AlphaBlendPair(_mm_unpacklo_epi8(zero, d), _mm_unpacklo_epi8(zero, s));
    const __m128i high = AlphaBlendPair(_mm_unpackhi_epi8(zero, d), _mm_unpackhi_epi8(zero, s));
    return _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(kColourBits));
  }
};

struct WeightedPixel {
  const uint8_t* dst_blue;
  const uint8_t* dst_green;
  const uint8_t* dst_red;
  const uint8_t* src_blue;
  const uint8_t* src_green;
  const uint8_t* src_red;

  WeightedPixel(uint32_t dst_weights, uint32_t src_weights)
      : dst_blue(g_PixelTables.product[Channel(dst_weights, 0)]),
        dst_green(g_PixelTables.product[Channel(dst_weights, 8)]),
        dst_red(g_PixelTables.product[Channel(dst_weights, 16)]),
        src_blue(g_PixelTables.product[Channel(src_weights, 0)]),
        src_green(g_PixelTables.product[Channel(src_weights, 8)]),
        src_red(g_PixelTables.product[Channel(src_weights, 16)]) {}

  uint32_t One(uint32_t d, uint32_t s) const {
    const uint32_t blue = (dst_blue[d & 0xFF] + src_blue[s & 0xFF]) & 0xFF;
    const uint32_t green = (dst_green[(d >> 8) & 0xFF] + src_green[(s >> 8) & 0xFF]) & 0xFF;
    const uint32_t red = (dst_red[(d >> 16) & 0xFF] + src_red[(s >> 16) & 0xFF]) & 0xFF;
    return (d & kAlphaBits) | (red << 16) | (green << 8) | blue;
  }
};

struct WeightedQuad {
  __m128i dst_weights;
  __m128i src_weights;

  WeightedQuad(uint32_t dst_bytes, uint32_t src_bytes)
      : dst_weights(
            _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(dst_bytes)), _mm_setzero_si128())),
        src_weights(
            _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(src_bytes)), _mm_setzero_si128())) {}

  __m128i Pair(__m128i d, __m128i s) const {
    const __m128i sum =
        _mm_adds_epu16(_mm_mullo_epi16(s, src_weights), _mm_mullo_epi16(d, dst_weights));
    return _mm_srli_epi16(sum, 8);
  }

  __m128i Four(__m128i d, __m128i s) const {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(Pair(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero)),
                            Pair(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero)));
  }
};

struct LevelQuad {
  weighted_pixel::QuadWeights weights;

  explicit LevelQuad(uint8_t level) : weights(weighted_pixel::SpreadOne(weighted_pixel::Weight(level))) {}

  __m128i Four(__m128i d, __m128i s) const { return weighted_pixel::BlendFour(d, s, weights); }
};

struct ClearAwarePixel {
  const uint8_t* dst_row;
  const uint8_t* src_row;

  explicit ClearAwarePixel(uint8_t level)
      : dst_row(g_PixelTables.product[255 - level]), src_row(g_PixelTables.product[level]) {}

  uint32_t Mix(uint32_t d, uint32_t s, int shift) const {
    return ((dst_row[Channel(d, shift)] + src_row[Channel(s, shift)]) & 0xFF) << shift;
  }

  uint32_t One(uint32_t d, uint32_t s) const {
    const uint32_t alpha = Mix(d, s, 24);
    if ((s & kAlphaBits) == 0) return alpha | (d & kColourBits);
    if ((d & kAlphaBits) == 0) return alpha | (s & kColourBits);
    return alpha | Mix(d, s, 0) | Mix(d, s, 8) | Mix(d, s, 16);
  }
};

}  // namespace

void AlphaBlend32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                  int32_t width, int32_t height) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               AlphaBlendPixel{});
}

void AlphaBlend32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                         int32_t width, int32_t height, const StretchStep& step) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               AlphaBlendPixel{});
}

void AlphaBlend32Mirror(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height) {
  ScalarKernel<Walk::kMirror>(dst, src, dst_skip, src_skip, width, height, nullptr, AlphaBlendPixel{});
}

void AlphaBlend32MirrorStretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step) {
  ScalarKernel<Walk::kMirrorStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                                     AlphaBlendPixel{});
}

void AlphaBlend32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::AlphaBlend32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr);
  }
  VectorKernelWithEdges(dst, src, dst_skip, src_skip, width, height, AlphaBlendQuad{},
                        [](uint32_t* d, const uint32_t* s, int32_t count) {
                          for (int32_t x = 0; x < count; ++x) {
                            d[x] = alpha_blend_pixel::Blend<alpha_blend_pixel::Rule::kVector>(d[x], s[x]);
                          }
                        });
}

void AlphaBlendBlocks32(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride, int32_t width,
                        int32_t height, std::span<const BlockPlace> blocks) {
  const auto skip = [width](intptr_t stride) { return static_cast<int32_t>((stride - width) * 4); };
  for (const BlockPlace& block : blocks) {
    AlphaBlend32(dst + block.to, src + block.from, skip(dst_stride), skip(src_stride), width, height);
  }
}

void AlphaBlendBlocks32Mmx(uint32_t* dst, intptr_t dst_stride, const uint32_t* src, intptr_t src_stride,
                           int32_t width, int32_t height, std::span<const BlockPlace> blocks) {
  if (g_CpuHasAvx2 != 0) return avx2_kernels::AlphaBlendBlocks32(dst, dst_stride, src, src_stride, width, height, blocks);
  // Each row in whole steps of four, then a step of its last two or one pixels.
  const AlphaBlendQuad quad;
  for (const BlockPlace& block : blocks) {
    uint32_t* to = dst + block.to;
    const uint32_t* from = src + block.from;
    for (int32_t row = 0; row < height; ++row, to += dst_stride, from += src_stride) {
      int32_t x = 0;
      for (; x + 4 <= width; x += 4) {
        auto* at = reinterpret_cast<__m128i*>(to + x);
        _mm_storeu_si128(at, quad.Four(_mm_loadu_si128(at), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x))));
      }
      if (x + 2 <= width) {
        auto* at = reinterpret_cast<__m128i*>(to + x);
        _mm_storel_epi64(at, quad.Four(_mm_loadl_epi64(at), _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + x))));
        x += 2;
      }
      if (x < width) {
        to[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(quad.Four(_mm_cvtsi32_si128(static_cast<int>(to[x])),
                                                                  _mm_cvtsi32_si128(static_cast<int>(from[x])))));
      }
    }
  }
}

void AlphaBlend32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::AlphaBlend32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               AlphaBlendQuad{});
}

void AlphaBlend32MirrorMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                           int32_t width, int32_t height) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::AlphaBlend32<Walk::kMirror>(dst, src, dst_skip, src_skip, width, height, nullptr);
  }
  VectorKernel<Walk::kMirror>(dst, src, dst_skip, src_skip, width, height, nullptr, AlphaBlendQuad{});
}

void AlphaBlend32MirrorStretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                  int32_t src_pitch, int32_t width, int32_t height,
                                  const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::AlphaBlend32<Walk::kMirrorStretch>(dst, src, dst_skip, src_pitch, width, height, &step);
  }
  VectorKernel<Walk::kMirrorStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                                     AlphaBlendQuad{});
}

void BlendWeighted32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint32_t dst_weights, uint32_t src_weights) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               WeightedPixel(dst_weights, src_weights));
}

void BlendWeighted32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step,
                            uint32_t dst_weights, uint32_t src_weights) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               WeightedPixel(dst_weights, src_weights));
}

void BlendWeighted32Key(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint32_t key, uint32_t dst_weights,
                        uint32_t src_weights) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(WeightedPixel(dst_weights, src_weights), key));
}

void BlendWeighted32StretchKey(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint32_t key, uint32_t dst_weights,
                               uint32_t src_weights) {
  ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(WeightedPixel(dst_weights, src_weights), key));
}

void BlendWeighted32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint32_t dst_weights, uint32_t src_weights) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendWeighted32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                                                         dst_weights, src_weights);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               WeightedQuad(dst_weights, src_weights));
}

void BlendWeighted32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint32_t dst_weights,
                               uint32_t src_weights) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendWeighted32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                                                         dst_weights, src_weights);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               WeightedQuad(dst_weights, src_weights));
}

void BlendWeighted32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                           int32_t width, int32_t height, uint32_t key, uint32_t dst_weights,
                           uint32_t src_weights) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendWeighted32Key<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, key,
                                                            dst_weights, src_weights);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(WeightedQuad(dst_weights, src_weights), key));
}

void BlendWeighted32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                  int32_t src_pitch, int32_t width, int32_t height,
                                  const StretchStep& step, uint32_t key, uint32_t dst_weights,
                                  uint32_t src_weights) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendWeighted32Key<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, key,
                                                            dst_weights, src_weights);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(WeightedQuad(dst_weights, src_weights), key));
}

void BlendLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                     int32_t width, int32_t height, uint8_t level) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendLevel32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, level);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               LevelQuad(level));
}

void BlendLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                            int32_t width, int32_t height, const StretchStep& step, uint8_t level) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendLevel32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, level);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               LevelQuad(level));
}

void BlendLevel32KeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                        int32_t width, int32_t height, uint8_t level, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendLevel32Key<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, level,
                                                         key);
  }
  VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               Keyed32(LevelQuad(level), key));
}

void BlendLevel32StretchKeyMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                               int32_t src_pitch, int32_t width, int32_t height,
                               const StretchStep& step, uint8_t level, uint32_t key) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendLevel32Key<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, level,
                                                         key);
  }
  VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step,
                               Keyed32(LevelQuad(level), key));
}

void BlendLevelClearAware32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                            int32_t width, int32_t height, uint8_t level) {
  ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr,
                               ClearAwarePixel(level));
}
