#include "pixel/kernels/masked_colour_kernels.h"

#include <algorithm>

#include "pixel/kernels/avx2_kernels.h"
#include "pixel/kernels/kernel_walk.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/weighted_pixel.h"

using kernel_walk::Plane;
using weighted_pixel::Mix;

namespace {

struct OneColour {
  uint32_t colour;
  __m128i wide = kernel_walk::Wide(colour);
  void StartRow(int32_t) {}
  uint32_t At(int32_t) const { return colour; }
  __m128i FourAt(int32_t) const { return wide; }
};

struct RowColours {
  const uint32_t* list;
  uint32_t colour = 0;
  __m128i wide = _mm_setzero_si128();
  void StartRow(int32_t y) {
    colour = list[y];
    wide = kernel_walk::Wide(colour);
  }
  uint32_t At(int32_t) const { return colour; }
  __m128i FourAt(int32_t) const { return wide; }
};

struct PlaneColours {
  const uint32_t* plane;
  int32_t width;
  const uint32_t* row = nullptr;
  void StartRow(int32_t y) { row = plane + static_cast<intptr_t>(y) * width; }
  uint32_t At(int32_t x) const { return row[x]; }
  __m128i FourAt(int32_t x) const { return kernel_walk::LoadFour(row + x); }
};

// Blend, add or subtract weighted by w(P[L][m]), or (kOver) the alpha-over rule with the
// coverage P[L][m].
template <Mix kMix, bool kOver>
struct CoverageRule {
  const uint8_t* level_row;

  uint32_t One(uint32_t d, uint32_t colour, uint8_t m) const {
    const uint32_t coverage = level_row[m];
    if constexpr (kOver) return weighted_pixel::Over(d, colour, coverage);
    return weighted_pixel::MixOne<kMix>(d, colour, weighted_pixel::Weight(coverage));
  }

  __m128i Four(__m128i d, __m128i colours, const uint8_t* m) const {
    if constexpr (kOver) {
      return weighted_pixel::OverFour(
          d, colours, weighted_pixel::CoverageLanes(level_row[m[0]], level_row[m[1]], level_row[m[2]], level_row[m[3]]));
    }
    return weighted_pixel::MixFour<kMix>(
        d, colours, weighted_pixel::TableWeights({level_row[m[0]], level_row[m[1]], level_row[m[2]], level_row[m[3]]}));
  }
};

template <typename Rule, typename Colours>
void PaintThroughMask(bool vector, Plane<uint32_t> dst, Plane<const uint8_t> mask, int32_t width, int32_t height,
                      Colours colours, Rule rule) {
  kernel_walk::ForEachRowOfPlanes(
      width, height,
      [&](int32_t y, uint32_t* d, const uint8_t* m) {
        colours.StartRow(y);
        const auto one = [&](int32_t x) { d[x] = rule.One(d[x], colours.At(x), m[x]); };
        if (!vector) {
          for (int32_t x = 0; x < width; ++x) one(x);
          return;
        }
        kernel_walk::SplitRow(width, one, [&](int32_t x) {
          kernel_walk::StoreFour(d + x, rule.Four(kernel_walk::LoadFour(d + x), colours.FourAt(x), m + x));
        });
      },
      dst, mask);
}

template <Mix kMix, bool kOver, typename Colours>
void SkipKernel(bool vector, uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                int32_t height, Colours colours, const uint8_t* level_row) {
  PaintThroughMask(vector, kernel_walk::SkipPlane(dst, dst_skip, width), kernel_walk::SkipPlane(mask, mask_skip, width),
                   width, height, colours, CoverageRule<kMix, kOver>{level_row});
}

template <bool kOver, typename Colours>
void PitchKernel(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                 int32_t height, Colours colours, const uint8_t* level_row) {
  PaintThroughMask(false, kernel_walk::PitchPlane(dst, dst_pitch), kernel_walk::PitchPlane(mask, mask_pitch), width,
                   height, colours, CoverageRule<Mix::kBlend, kOver>{level_row});
}

// The part of a mask placed at (x, y) that lies on the destination.
struct VisibleMask {
  uint32_t* dst;
  const uint8_t* mask;
  int32_t width;
  int32_t height;
};

bool ClipMask(int32_t x, int32_t y, uint32_t* dst, int32_t dst_width, int32_t dst_height, int32_t dst_pitch,
              const uint8_t* mask, int32_t mask_width, int32_t mask_height, int32_t mask_pitch, VisibleMask& visible) {
  const int64_t right = int64_t{x} + mask_width;
  const int64_t bottom = int64_t{y} + mask_height;
  if (right < 1 || x >= dst_width || bottom < 1 || y >= dst_height) return false;
  const int32_t skip_columns = std::max(0, -x);
  const int32_t skip_rows = std::max(0, -y);
  const int32_t left = std::max(0, x);
  const int32_t top = std::max(0, y);
  visible.width = static_cast<int32_t>(std::min<int64_t>(right, dst_width) - left);
  visible.height = static_cast<int32_t>(std::min<int64_t>(bottom, dst_height) - top);
  if (visible.width < 1 || visible.height < 1) return false;
  visible.dst = kernel_walk::OffsetBytes(dst, intptr_t{top} * dst_pitch) + left;
  visible.mask = mask + intptr_t{skip_rows} * mask_pitch + skip_columns;
  return true;
}

uint32_t Colour(uint8_t red, uint8_t green, uint8_t blue) {
  return (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

// P[colour][m] + P[d][255 - m] per colour channel.
uint32_t SmoothCoverage(uint32_t d, uint32_t colour, uint8_t m) {
  uint32_t result = d & weighted_pixel::kAlphaBits;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t sum = g_PixelTables.product[(colour >> shift) & 0xFF][m] +
                         g_PixelTables.product[(d >> shift) & 0xFF][255 - m];
    result |= sum << shift;
  }
  return result;
}

template <typename PixelFn>
bool DrawMask(int32_t x, int32_t y, uint32_t* dst, int32_t dst_width, int32_t dst_height, int32_t dst_pitch,
              const uint8_t* mask, int32_t mask_width, int32_t mask_height, int32_t mask_pitch, PixelFn pixel) {
  VisibleMask visible{};
  if (!ClipMask(x, y, dst, dst_width, dst_height, dst_pitch, mask, mask_width, mask_height, mask_pitch, visible)) {
    return false;
  }
  kernel_walk::ForEachRowOfPlanes(
      visible.width, visible.height,
      [&](int32_t, uint32_t* d, const uint8_t* m) {
        for (int32_t column = 0; column < visible.width; ++column) {
          if (m[column] != 0) d[column] = pixel(d[column], m[column]);
        }
      },
      kernel_walk::PitchPlane(visible.dst, dst_pitch), kernel_walk::PitchPlane(visible.mask, mask_pitch));
  return true;
}

}  // namespace

void BlendColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                        int32_t height, uint32_t colour, const uint8_t* level_row) {
  SkipKernel<Mix::kBlend, false>(false, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void BlendColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                           int32_t height, uint32_t colour, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixColourMasked32<avx2_kernels::Mix::kBlend, avx2_kernels::MaskColours::kOne>(
        dst, mask, dst_skip, mask_skip, width, height, &colour, level_row);
  }
  SkipKernel<Mix::kBlend, false>(true, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void AddColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                      int32_t height, uint32_t colour, const uint8_t* level_row) {
  SkipKernel<Mix::kAdd, false>(false, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void AddColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                         int32_t height, uint32_t colour, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixColourMasked32<avx2_kernels::Mix::kAdd, avx2_kernels::MaskColours::kOne>(
        dst, mask, dst_skip, mask_skip, width, height, &colour, level_row);
  }
  SkipKernel<Mix::kAdd, false>(true, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void SubColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                      int32_t height, uint32_t colour, const uint8_t* level_row) {
  SkipKernel<Mix::kSub, false>(false, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void SubColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                         int32_t height, uint32_t colour, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixColourMasked32<avx2_kernels::Mix::kSub, avx2_kernels::MaskColours::kOne>(
        dst, mask, dst_skip, mask_skip, width, height, &colour, level_row);
  }
  SkipKernel<Mix::kSub, false>(true, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void OverColorMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                       int32_t height, uint32_t colour, const uint8_t* level_row) {
  SkipKernel<Mix::kBlend, true>(false, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void OverColorMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                          int32_t height, uint32_t colour, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::OverColourMasked32<avx2_kernels::MaskColours::kOne>(dst, mask, dst_skip, mask_skip, width,
                                                                             height, &colour, level_row);
  }
  SkipKernel<Mix::kBlend, true>(true, dst, mask, dst_skip, mask_skip, width, height, OneColour{colour}, level_row);
}

void BlendColorPlaneMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                             int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  PitchKernel<false>(dst, mask, dst_pitch, mask_pitch, width, height, PlaneColours{colours, width}, level_row);
}

void BlendColorPlaneMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip,
                                int32_t width, int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixColourMasked32<avx2_kernels::Mix::kBlend, avx2_kernels::MaskColours::kPlane>(
        dst, mask, dst_skip, mask_skip, width, height, colours, level_row);
  }
  SkipKernel<Mix::kBlend, false>(true, dst, mask, dst_skip, mask_skip, width, height, PlaneColours{colours, width},
                                 level_row);
}

void BlendColorRowsMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                            int32_t height, const uint32_t* row_colours, const uint8_t* level_row) {
  PitchKernel<false>(dst, mask, dst_pitch, mask_pitch, width, height, RowColours{row_colours}, level_row);
}

void BlendColorRowsMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                               int32_t height, const uint32_t* row_colours, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::MixColourMasked32<avx2_kernels::Mix::kBlend, avx2_kernels::MaskColours::kRows>(
        dst, mask, dst_skip, mask_skip, width, height, row_colours, level_row);
  }
  SkipKernel<Mix::kBlend, false>(true, dst, mask, dst_skip, mask_skip, width, height, RowColours{row_colours},
                                 level_row);
}

void OverColorPlaneMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                            int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  PitchKernel<true>(dst, mask, dst_pitch, mask_pitch, width, height, PlaneColours{colours, width}, level_row);
}

void OverColorPlaneMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                               int32_t height, const uint32_t* colours, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::OverColourMasked32<avx2_kernels::MaskColours::kPlane>(dst, mask, dst_skip, mask_skip, width,
                                                                               height, colours, level_row);
  }
  SkipKernel<Mix::kBlend, true>(true, dst, mask, dst_skip, mask_skip, width, height, PlaneColours{colours, width},
                                level_row);
}

void OverColorRowsMasked32(uint32_t* dst, const uint8_t* mask, int32_t dst_pitch, int32_t mask_pitch, int32_t width,
                           int32_t height, const uint32_t* row_colours, const uint8_t* level_row) {
  PitchKernel<true>(dst, mask, dst_pitch, mask_pitch, width, height, RowColours{row_colours}, level_row);
}

void OverColorRowsMasked32Mmx(uint32_t* dst, const uint8_t* mask, int32_t dst_skip, int32_t mask_skip, int32_t width,
                              int32_t height, const uint32_t* row_colours, const uint8_t* level_row) {
  if (g_CpuHasAvx2 != 0) {
    return avx2_kernels::OverColourMasked32<avx2_kernels::MaskColours::kRows>(dst, mask, dst_skip, mask_skip, width,
                                                                              height, row_colours, level_row);
  }
  SkipKernel<Mix::kBlend, true>(true, dst, mask, dst_skip, mask_skip, width, height, RowColours{row_colours},
                                level_row);
}

bool DrawMaskSolid32(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint32_t* dst,
                     int32_t dst_width, int32_t dst_height, int32_t dst_pitch, const uint8_t* mask, int32_t mask_width,
                     int32_t mask_height, int32_t mask_pitch) {
  const uint32_t colour = Colour(red, green, blue);
  return DrawMask(x, y, dst, dst_width, dst_height, dst_pitch, mask, mask_width, mask_height, mask_pitch,
                  [colour](uint32_t d, uint8_t) { return (d & weighted_pixel::kAlphaBits) | colour; });
}

bool DrawMaskSmooth32(int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue, uint32_t* dst,
                      int32_t dst_width, int32_t dst_height, int32_t dst_pitch, const uint8_t* mask,
                      int32_t mask_width, int32_t mask_height, int32_t mask_pitch) {
  const uint32_t colour = Colour(red, green, blue);
  if (g_CpuHasMmx == 0) {
    return DrawMask(x, y, dst, dst_width, dst_height, dst_pitch, mask, mask_width, mask_height, mask_pitch,
                    [colour](uint32_t d, uint8_t m) { return SmoothCoverage(d, colour, m); });
  }
  VisibleMask visible{};
  if (!ClipMask(x, y, dst, dst_width, dst_height, dst_pitch, mask, mask_width, mask_height, mask_pitch, visible)) {
    return false;
  }
  BlendColorMasked32Mmx(visible.dst, visible.mask, dst_pitch - visible.width * 4, mask_pitch - visible.width,
                        visible.width, visible.height, colour, g_PixelTables.product[255]);
  return true;
}
