// The blenders that put one glyph's coverage bytes (0 none .. 255 full) into an 8- or 32-bit
// image. Each clips the glyph's rectangle to the image, reports the clipped rectangle in `drawn`
// and returns false, changing nothing, when nothing is left or the depth is not its own.
// Colours are 0x00RRGGBB. Opacity scales the coverage (a = coverage × opacity / 255). The
// blenders read the pixel tables (BuildPixelTables first).
#pragma once

#include <cstdint>

#include "gfx/images/image.h"

struct GlyphMask {
  const uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
};

// The ramp entries that colour a glyph: entry i belongs to its row i (`columns` false) or its
// column i; rows or columns from `extent` on are not drawn.
struct GlyphRamp {
  const uint32_t* entries = nullptr;
  uint32_t extent = 0;
  bool columns = false;
};

// Where coverage reaches 128: 8 bits the red byte, 32 bits the colour with alpha 0.
bool ThresholdColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour,
                     plat::Rect* drawn);
// Moves each pixel toward the colour by a; the alpha byte stays.
bool BlendColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour, uint8_t opacity,
                 plat::Rect* drawn);
// 32 bits: the colour composed over the pixel by a and the pixel's own alpha; the alpha becomes
// the combined alpha.
bool ComposeColour(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour, uint8_t opacity,
                   plat::Rect* drawn);
// 32 bits only: the ramp forms of the three above, and the whole rectangle filled with it.
bool ThresholdRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp,
                   plat::Rect* drawn);
bool BlendRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, uint8_t opacity,
               plat::Rect* drawn);
bool ComposeRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, uint8_t opacity,
                 plat::Rect* drawn);
bool FillRamp(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, const GlyphRamp& ramp, plat::Rect* drawn);

enum class AlphaMode : uint8_t { kCopy, kCombine };
// 32 bits, the whole rectangle: alpha = coverage, or the combined alpha of pixel and coverage.
bool CoverageToAlpha(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, AlphaMode mode, plat::Rect* drawn);
// 32 bits: the colour's RGB wherever the coverage is not 0; the alpha byte stays.
bool ColourUnderCoverage(CImage& image, const GlyphMask& mask, int32_t x, int32_t y, uint32_t colour,
                         plat::Rect* drawn);
