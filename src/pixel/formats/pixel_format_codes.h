// The codes by which the engine classifies the pixel format of a display surface, and the size
// of a pixel in each: what the surface writers convert into and the surface services report.
#pragma once

#include <cstdint>

// Pixel-format codes of display surfaces, one bit each.
enum EPixelFormat : uint32_t {
  kPixelFormatUnrecognised = 1,
  kPixelFormatPal8 = 2,
  kPixelFormatRgb555 = 4,
  kPixelFormatRgb565 = 8,
  kPixelFormatRgb888 = 16,
  kPixelFormatXrgb8888 = 32,
  kPixelFormatArgb1555 = 64,
  kPixelFormatArgb4444 = 128,
  kPixelFormatArgb8888 = 256,
};

// Bytes per pixel of a surface format: 2, 3 or 4, and 0 for codes that are not surface formats.
uint32_t PixelFormatBytes(uint32_t format);
