// Services that every user of display surfaces shares: the classification of a pixel format,
// colour fills, the clipping of blits against a destination and the clipped blits, and the
// inversion and mosaic of locked surface memory that the screen transitions use.
#pragma once

#include <cstdint>

#include "gfx/images/color_key.h"
#include "pixel/formats/pixel_format_codes.h"
#include "platform/system/geometry.h"
#include "platform/window/pixel_format.h"
#include "platform/window/surface.h"

struct PixelFormatInfo {
  uint8_t bits_per_pixel = 0;
  uint32_t red_mask = 0;
  uint32_t green_mask = 0;
  uint32_t blue_mask = 0;
  uint32_t alpha_mask = 0;
  uint8_t red_bits = 0;
  uint8_t green_bits = 0;
  uint8_t blue_bits = 0;
  uint8_t alpha_bits = 0;
  // Zero bits below each mask's lowest set bit; 32 for a zero mask.
  uint8_t red_shift = 0;
  uint8_t green_shift = 0;
  uint8_t blue_shift = 0;
  uint8_t alpha_shift = 0;
};


struct StretchSize {
  int32_t width = 0;
  int32_t height = 0;
};

EPixelFormat ClassifyPixelFormat(const plat::PixelFormat& format);
// The format's code, or 0 when neither a surface nor a format is given or the surface's format
// cannot be read. A given format is used as it is; the record is filled when asked for.
uint32_t GetSurfacePixelFormat(plat::Surface* surface, PixelFormatInfo* info, const plat::PixelFormat* format);
// The raw pixel of a colour in the format: each channel cut to the width of its mask and moved
// to the mask's place; at 8 bits or fewer the red value itself (a palette index).
uint32_t SurfaceColourValue(const PixelFormatInfo& info, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
// 0, 1 no surface or an unreadable format, 2 the surface cannot be locked.
unsigned FillSurface(plat::Surface* surface, const PixelFormatInfo* info, uint8_t red, uint8_t green, uint8_t blue,
                     const plat::Rect* rect, uint8_t alpha);
// 0 something to draw, -1 nothing, 1 no bounds.
int ClipBltRects(int32_t x, int32_t y, plat::Rect* src, plat::Rect* dst, const plat::Rect* bounds,
                 const StretchSize* size);
bool ClipRectToRect(plat::Rect* rect, const plat::Rect& bounds);
// 0 drawn or nothing to draw, 1 a missing argument, 2 the blit failed.
unsigned BltFastClipped(plat::Surface* dst, plat::Surface* src, int32_t x, int32_t y, const plat::Rect* src_rect,
                        const plat::Rect* bounds, uint32_t key);
unsigned BltClipped(plat::Surface* dst, plat::Surface* src, const StretchSize* size, int32_t x, int32_t y,
                    const plat::Rect* src_rect, const plat::Rect* bounds, uint32_t key);
// Mode 0 colour, 1 colour and alpha, 2 alpha only. 0, 1 missing memory or bounds or a mode
// other than 0 for a format without alpha, 2 a format outside RGB555 .. ARGB8888, -1 empty rect.
int InvertSurfaceRect(uint8_t mode, uint32_t format, uint8_t* bits, int32_t pitch, const plat::Rect* bounds,
                      const plat::Rect* rect);
// Anchor 1 left and top, 2 right, 3 bottom, 4 right and bottom, other centred. 0 (also when
// the area is under 3 x 3 or the block under 2), 1 missing memory or bounds, 2 a format outside
// RGB555 .. ARGB8888, -1 empty rect.
int MosaicSurfaceRect(uint32_t format, uint8_t* bits, int32_t pitch, const plat::Rect* bounds, const plat::Rect* rect,
                      int32_t block, int32_t anchor);
