#include "ui/fonts/glyph_blenders.h"

#include <algorithm>

#include "pixel/kernels/masked_colour_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

// The part of a glyph that lands on the image: its rectangle there and the first mask column
// and row drawn.
struct Placement {
  plat::Rect rect;
  int32_t mask_x = 0;
  int32_t mask_y = 0;
  int32_t Width() const { return rect.Width(); }
  int32_t Height() const { return rect.Height(); }
};

bool Place(const CImage& image, uint8_t bpp, int32_t x, int32_t y, int32_t width, int32_t height,
           Placement& place, plat::Rect* drawn) {
  if (image.GetPixels() == nullptr || image.GetBitsPerPixel() != bpp || width <= 0 || height <= 0) return false;
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + width, image.GetWidth());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + height, image.GetHeight());
  if (left >= right || top >= bottom) return false;
  place.rect = plat::Rect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                          static_cast<int32_t>(bottom)};
  place.mask_x = static_cast<int32_t>(left - x);
  place.mask_y = static_cast<int32_t>(top - y);
  if (drawn != nullptr) *drawn = place.rect;
  return true;
}

bool Place(const CImage& image, uint8_t bpp, const GlyphMask& mask, int32_t x, int32_t y, Placement& place,
           plat::Rect* drawn) {
  return mask.bits != nullptr && Place(image, bpp, x, y, mask.width, mask.height, place, drawn);
}

// The ramp cuts the glyph to as many rows or columns as it has entries.
bool PlaceRamp(const CImage& image, const GlyphMask& mask, const GlyphRamp& ramp, int32_t x, int32_t y,
               Placement& place, plat::Rect* drawn) {
  if (mask.bits == nullptr || ramp.entries == nullptr) return false;
  const auto extent = static_cast<int32_t>(std::min<uint32_t>(ramp.extent, INT32_MAX));
  const int32_t width = ramp.columns ? std::min(mask.width, extent) : mask.width;
  const int32_t height = ramp.columns ? mask.height : std::min(mask.height, extent);
  return Place(image, 32, x, y, width, height, place, drawn);
}

const uint8_t* MaskAt(const GlyphMask& mask, const Placement& place) {
  return mask.bits + static_cast<intptr_t>(place.mask_y) * mask.pitch + place.mask_x;
}

template <typename Pixel>
Pixel* PixelsAt(const CImage& image, const Placement& place) {
  return reinterpret_cast<Pixel*>(image.GetRowPointer(place.rect.top)) + place.rect.left;
}

// Calls f(pixel, coverage, glyph column, glyph row) for every placed pixel.
template <typename Pixel, typename F>
void ForEachPixel(const CImage& image, const GlyphMask& mask, const Placement& place, F&& f) {
  for (int32_t j = 0; j < place.Height(); ++j) {
    auto* row = reinterpret_cast<Pixel*>(image.GetRowPointer(place.rect.top + j)) + place.rect.left;
    const uint8_t* coverage = MaskAt(mask, place) + static_cast<intptr_t>(j) * mask.pitch;
    for (int32_t i = 0; i < place.Width(); ++i) f(row[i], coverage[i], place.mask_x + i, place.mask_y + j);
  }
}

uint32_t RampAt(const GlyphRamp& ramp, int32_t column, int32_t row) {
  return ramp.entries[ramp.columns ? column : row];
}

using MaskedKernel = void (*)(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, uint32_t,
                              const uint8_t*);
using RowsKernel = void (*)(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, const uint32_t*,
                            const uint8_t*);

void RunMasked(const CImage& image, const GlyphMask& mask, const Placement& place, MaskedKernel portable,
               MaskedKernel vector, uint32_t colour, uint8_t opacity) {
  const MaskedKernel kernel = g_CpuHasMmx != 0 ? vector : portable;
  kernel(PixelsAt<uint32_t>(image, place), MaskAt(mask, place), image.GetPitch() - place.Width() * 4,
         mask.pitch - place.Width(), place.Width(), place.Height(), colour, g_PixelTables.product[opacity]);
}

struct RampKernels {
  RowsKernel rows_portable;
  RowsKernel rows_vector;
  MaskedKernel portable;
  MaskedKernel vector;
};

// Rows take the row kernels; columns one masked call per column, each in its own colour.
bool RunRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp,
             const RampKernels& kernels, uint8_t opacity, plat::Rect* drawn) {
  Placement place;
  if (!PlaceRamp(image, mask, ramp, x, y, place, drawn)) return false;
  const uint8_t* level_row = g_PixelTables.product[opacity];
  if (!ramp.columns) {
    const uint32_t* colours = ramp.entries + place.mask_y;
    if (g_CpuHasMmx != 0) {
      kernels.rows_vector(PixelsAt<uint32_t>(image, place), MaskAt(mask, place), image.GetPitch() - place.Width() * 4,
                          mask.pitch - place.Width(), place.Width(), place.Height(), colours, level_row);
    } else {
      kernels.rows_portable(PixelsAt<uint32_t>(image, place), MaskAt(mask, place), image.GetPitch(), mask.pitch,
                            place.Width(), place.Height(), colours, level_row);
    }
    return true;
  }
  const MaskedKernel kernel = g_CpuHasMmx != 0 ? kernels.vector : kernels.portable;
  for (int32_t i = 0; i < place.Width(); ++i) {
    kernel(PixelsAt<uint32_t>(image, place) + i, MaskAt(mask, place) + i, image.GetPitch() - 4, mask.pitch - 1, 1,
           place.Height(), ramp.entries[place.mask_x + i], level_row);
  }
  return true;
}

}  // namespace

bool ThresholdColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour,
                     plat::Rect* drawn) {
  Placement place;
  if (Place(image, 8, mask, x, y, place, drawn)) {
    const auto red = static_cast<uint8_t>(colour >> 16);
    ForEachPixel<uint8_t>(image, mask, place, [red](uint8_t& d, uint8_t m, int32_t, int32_t) {
      if (m >= 128) d = red;
    });
    return true;
  }
  if (!Place(image, 32, mask, x, y, place, drawn)) return false;
  ForEachPixel<uint32_t>(image, mask, place, [colour](uint32_t& d, uint8_t m, int32_t, int32_t) {
    if (m >= 128) d = colour & 0xFFFFFF;
  });
  return true;
}

bool BlendColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour, uint8_t opacity,
                 plat::Rect* drawn) {
  Placement place;
  if (Place(image, 8, mask, x, y, place, drawn)) {
    const auto red = static_cast<uint8_t>(colour >> 16);
    const auto& product = g_PixelTables.product;
    ForEachPixel<uint8_t>(image, mask, place, [&](uint8_t& d, uint8_t m, int32_t, int32_t) {
      const uint8_t a = product[opacity][m];
      d = static_cast<uint8_t>(product[255 - a][d] + product[a][red]);
    });
    return true;
  }
  if (!Place(image, 32, mask, x, y, place, drawn)) return false;
  RunMasked(image, mask, place, BlendColorMasked32, BlendColorMasked32Mmx, colour, opacity);
  return true;
}

bool ComposeColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour, uint8_t opacity,
                   plat::Rect* drawn) {
  Placement place;
  if (!Place(image, 32, mask, x, y, place, drawn)) return false;
  RunMasked(image, mask, place, OverColorMasked32, OverColorMasked32Mmx, colour, opacity);
  return true;
}

bool ThresholdRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp,
                   plat::Rect* drawn) {
  Placement place;
  if (!PlaceRamp(image, mask, ramp, x, y, place, drawn)) return false;
  ForEachPixel<uint32_t>(image, mask, place, [&ramp](uint32_t& d, uint8_t m, int32_t column, int32_t row) {
    if (m >= 128) d = RampAt(ramp, column, row);
  });
  return true;
}

bool BlendRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, uint8_t opacity,
               plat::Rect* drawn) {
  static constexpr RampKernels kBlend{BlendColorRowsMasked32, BlendColorRowsMasked32Mmx, BlendColorMasked32,
                                     BlendColorMasked32Mmx};
  return RunRamp(image, mask, x, y, ramp, kBlend, opacity, drawn);
}

bool ComposeRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, uint8_t opacity,
                 plat::Rect* drawn) {
  static constexpr RampKernels kCompose{OverColorRowsMasked32, OverColorRowsMasked32Mmx, OverColorMasked32,
                                        OverColorMasked32Mmx};
  return RunRamp(image, mask, x, y, ramp, kCompose, opacity, drawn);
}

bool FillRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, plat::Rect* drawn) {
  Placement place;
  if (!PlaceRamp(image, mask, ramp, x, y, place, drawn)) return false;
  ForEachPixel<uint32_t>(image, mask, place, [&ramp](uint32_t& d, uint8_t, int32_t column, int32_t row) {
    d = RampAt(ramp, column, row);
  });
  return true;
}

bool CoverageToAlpha(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, AlphaMode mode, plat::Rect* drawn) {
  Placement place;
  if (!Place(image, 32, mask, x, y, place, drawn)) return false;
  const auto& composite = g_PixelTables.composite_alpha;
  ForEachPixel<uint32_t>(image, mask, place, [&](uint32_t& d, uint8_t m, int32_t, int32_t) {
    const uint32_t alpha = mode == AlphaMode::kCopy ? m : composite[d >> 24][m];
    d = (d & 0xFFFFFF) | alpha << 24;
  });
  return true;
}

bool ColourUnderCoverage(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour,
                         plat::Rect* drawn) {
  Placement place;
  if (!Place(image, 32, mask, x, y, place, drawn)) return false;
  ForEachPixel<uint32_t>(image, mask, place, [colour](uint32_t& d, uint8_t m, int32_t, int32_t) {
    if (m != 0) d = (d & 0xFF000000) | (colour & 0xFFFFFF);
  });
  return true;
}
