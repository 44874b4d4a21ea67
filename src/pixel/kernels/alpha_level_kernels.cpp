#include "pixel/kernels/alpha_level_kernels.h"

#include <optional>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/weighted_pixel.h"

using kernel_walk::ScalarKernel;
using kernel_walk::VectorKernel;
using kernel_walk::Walk;
using weighted_pixel::Alphas;
using weighted_pixel::Mix;
using weighted_pixel::Weight;

namespace {

template <Mix kMix>
struct ScaledOp {
  uint32_t weight;
  weighted_pixel::QuadWeights weights;

  explicit ScaledOp(uint8_t level) : weight(Weight(level)), weights(weighted_pixel::SpreadOne(weight)) {}

  uint32_t One(uint32_t d, uint32_t s) const { return weighted_pixel::MixOne<kMix>(d, s, weight); }
  __m128i Four(__m128i d, __m128i s) const { return weighted_pixel::MixFour<kMix>(d, s, weights); }
};

// The weight of each pixel is w(P[L][sA]).
template <Mix kMix>
struct AlphaLevelOp {
  const uint8_t* level_row;

  uint32_t One(uint32_t d, uint32_t s) const { return weighted_pixel::MixOne<kMix>(d, s, Weight(level_row[s >> 24])); }
  __m128i Four(__m128i d, __m128i s) const {
    const auto a = Alphas(s);
    return weighted_pixel::MixFour<kMix>(
        d, s, weighted_pixel::TableWeights({level_row[a[0]], level_row[a[1]], level_row[a[2]], level_row[a[3]]}));
  }
};

// The vector steps work the coverage P[L][sA] out in their lanes from the level L, so they run
// only for a level row of the product table; the plain member takes any other row.
struct OverOp {
  const uint8_t* level_row;
  __m128i level;

  explicit OverOp(const uint8_t* row) : level_row(row), level(_mm_set1_epi32(LevelOfProductRow(row).value_or(0))) {}
  uint32_t One(uint32_t d, uint32_t s) const { return weighted_pixel::Over(d, s, level_row[s >> 24]); }
  __m128i Four(__m128i d, __m128i s) const {
    return weighted_pixel::OverFour(d, s, weighted_pixel::ProductsOfAlphas(s, level));
  }
};

// The AVX2 forms of the alpha-weighted kernels work P[L][sA] out in their lanes from the level L,
// so they run only for a level row of the product table (the only rows the engine hands these
// kernels); any other row takes the SSE2 form.
std::optional<uint8_t> Avx2Level(const uint8_t* level_row) {
  if (g_CpuHasAvx2 == 0) return std::nullopt;
  return LevelOfProductRow(level_row);
}

template <typename Op>
void OneToOne(bool vector, uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
              int32_t height, Op op) {
  if (vector) {
    VectorKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, op);
  } else {
    ScalarKernel<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, op);
  }
}

template <typename Op>
void Stretched(bool vector, uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
               int32_t height, const StretchStep& step, Op op) {
  if (vector) {
    VectorKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, op);
  } else {
    ScalarKernel<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, op);
  }
}

// A blend weighted by w(k), k = coverage_of(mask byte, source pixel), from a mask beside the
// source.
template <typename CoverageOf>
void MaskedBlend(bool vector, uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                 int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height, CoverageOf coverage_of) {
  using kernel_walk::SkipPlane;
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t, uint32_t* d, const uint32_t* s, const uint8_t* m) {
        const auto one = [&](int32_t x) { d[x] = weighted_pixel::Blend(d[x], s[x], Weight(coverage_of(m[x], s[x]))); };
        if (!vector) {
          for (int32_t x = 0; x < width; ++x) one(x);
          return;
        }
        kernel_walk::SplitRow(width, one, [&](int32_t x) {
          const __m128i source = kernel_walk::LoadFour(s + x);
          const weighted_pixel::QuadWeights weights = weighted_pixel::TableWeights(
              {coverage_of(m[x], s[x]), coverage_of(m[x + 1], s[x + 1]), coverage_of(m[x + 2], s[x + 2]),
               coverage_of(m[x + 3], s[x + 3])});
          kernel_walk::StoreFour(d + x, weighted_pixel::BlendFour(kernel_walk::LoadFour(d + x), source, weights));
        });
      },
      SkipPlane(dst, dst_skip, width), SkipPlane(src, src_skip, width), SkipPlane(mask, mask_skip, width));
}

void MaskLevel(bool vector, uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
               int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row) {
  if (mask == nullptr) {
    OneToOne(vector, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kBlend>{level_row});
    return;
  }
  MaskedBlend(vector, dst, src, mask, dst_skip, src_skip, mask_skip, width, height,
              [level_row](uint8_t m, uint32_t) { return uint32_t{level_row[m]}; });
}

void MaskAlphaLevel(bool vector, uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                    int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row) {
  MaskedBlend(vector, dst, src, mask, dst_skip, src_skip, mask_skip, width, height,
              [level_row](uint8_t m, uint32_t s) { return uint32_t{g_PixelTables.product[level_row[m]][s >> 24]}; });
}

}  // namespace

void AddScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 uint8_t level) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, ScaledOp<Mix::kAdd>(level));
}

void AddScaled32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, uint8_t level) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixScaled32<avx2_kernels::Mix::kAdd, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                              height, nullptr, level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, ScaledOp<Mix::kAdd>(level));
}

void SubScaled32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 uint8_t level) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, ScaledOp<Mix::kSub>(level));
}

void SubScaled32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, uint8_t level) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixScaled32<avx2_kernels::Mix::kSub, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                              height, nullptr, level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, ScaledOp<Mix::kSub>(level));
}

void AddScaled32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, uint8_t level, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, ScaledOp<Mix::kAdd>(level));
}

void AddScaled32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, uint8_t level, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixScaled32<avx2_kernels::Mix::kAdd, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                              height, &step, level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, ScaledOp<Mix::kAdd>(level));
}

void SubScaled32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, uint8_t level, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, ScaledOp<Mix::kSub>(level));
}

void SubScaled32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, uint8_t level, const StretchStep& step) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixScaled32<avx2_kernels::Mix::kSub, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                              height, &step, level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, ScaledOp<Mix::kSub>(level));
}

void BlendAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                       int32_t height, const uint8_t* level_row) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kBlend>{level_row});
}

void BlendAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                              int32_t height, const uint8_t* level_row, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kBlend>{level_row});
}

void BlendAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                          int32_t height, const uint8_t* level_row) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kBlend, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                    height, nullptr, *level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kBlend>{level_row});
}

void BlendAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch,
                                 int32_t width, int32_t height, const uint8_t* level_row, const StretchStep& step) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kBlend, Walk::kStretch>(dst, src, dst_skip, src_pitch,
                                                                                    width, height, &step, *level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kBlend>{level_row});
}

void AddAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint8_t* level_row) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kAdd>{level_row});
}

void AddAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const uint8_t* level_row, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kAdd>{level_row});
}

void AddAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint8_t* level_row) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kAdd, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                  height, nullptr, *level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kAdd>{level_row});
}

void AddAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                               int32_t height, const uint8_t* level_row, const StretchStep& step) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kAdd, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                                  height, &step, *level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kAdd>{level_row});
}

void SubAlphaLevel32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                     int32_t height, const uint8_t* level_row) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kSub>{level_row});
}

void SubAlphaLevel32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                            int32_t height, const uint8_t* level_row, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kSub>{level_row});
}

void SubAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                        int32_t height, const uint8_t* level_row) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kSub, Walk::kForward>(dst, src, dst_skip, src_skip, width,
                                                                                  height, nullptr, *level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, AlphaLevelOp<Mix::kSub>{level_row});
}

void SubAlphaLevel32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                               int32_t height, const uint8_t* level_row, const StretchStep& step) {
  if (const std::optional<uint8_t> level = Avx2Level(level_row)) {
    return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kSub, Walk::kStretch>(dst, src, dst_skip, src_pitch, width,
                                                                                  height, &step, *level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, AlphaLevelOp<Mix::kSub>{level_row});
}

void BlendOver32(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width, int32_t height,
                 const uint8_t* level_row) {
  OneToOne(false, dst, src, dst_skip, src_skip, width, height, OverOp(level_row));
}

void BlendOver32Stretch(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                        int32_t height, const uint8_t* level_row, const StretchStep& step) {
  Stretched(false, dst, src, dst_skip, src_pitch, width, height, step, OverOp(level_row));
}

void BlendOver32Mmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip, int32_t width,
                    int32_t height, const uint8_t* level_row) {
  const std::optional<uint8_t> level = LevelOfProductRow(level_row);
  if (!level) return BlendOver32(dst, src, dst_skip, src_skip, width, height, level_row);
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Over32<Walk::kForward>(dst, src, dst_skip, src_skip, width, height, nullptr, *level);
  }
  OneToOne(true, dst, src, dst_skip, src_skip, width, height, OverOp(level_row));
}

void BlendOver32StretchMmx(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_pitch, int32_t width,
                           int32_t height, const uint8_t* level_row, const StretchStep& step) {
  const std::optional<uint8_t> level = LevelOfProductRow(level_row);
  if (!level) return BlendOver32Stretch(dst, src, dst_skip, src_pitch, width, height, level_row, step);
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::Over32<Walk::kStretch>(dst, src, dst_skip, src_pitch, width, height, &step, *level);
  }
  Stretched(true, dst, src, dst_skip, src_pitch, width, height, step, OverOp(level_row));
}

void BlendMaskLevel32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                      int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row) {
  MaskLevel(false, dst, src, mask, dst_skip, src_skip, mask_skip, width, height, level_row);
}

void BlendMaskLevel32Mmx(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip, int32_t src_skip,
                         int32_t mask_skip, int32_t width, int32_t height, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    const std::optional<uint8_t> level = Avx2Level(level_row);
    if (mask == nullptr && level) {
      return avx2_kernels::MixAlphaLevel32<avx2_kernels::Mix::kBlend, Walk::kForward>(
          dst, src, dst_skip, src_skip, width, height, nullptr, *level);
    }
    if (mask != nullptr) {
      return avx2_kernels::BlendSourceMasked32<false>(dst, src, mask, dst_skip, src_skip, mask_skip, width, height,
                                                      level_row);
    }
  }
  MaskLevel(true, dst, src, mask, dst_skip, src_skip, mask_skip, width, height, level_row);
}

void BlendMaskAlphaLevel32(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                           int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height,
                           const uint8_t* level_row) {
  MaskAlphaLevel(false, dst, src, mask, dst_skip, src_skip, mask_skip, width, height, level_row);
}

void BlendMaskAlphaLevel32Mmx(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_skip,
                              int32_t src_skip, int32_t mask_skip, int32_t width, int32_t height,
                              const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::BlendSourceMasked32<true>(dst, src, mask, dst_skip, src_skip, mask_skip, width, height,
                                                   level_row);
  }
  MaskAlphaLevel(true, dst, src, mask, dst_skip, src_skip, mask_skip, width, height, level_row);
}
