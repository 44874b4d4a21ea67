#include "pixel/formats/pixel_format_codes.h"

uint32_t PixelFormatBytes(uint32_t format) {
  switch (format) {
    case kPixelFormatRgb555:
    case kPixelFormatRgb565:
    case kPixelFormatArgb1555:
    case kPixelFormatArgb4444:
      return 2;
    case kPixelFormatRgb888:
      return 3;
    case kPixelFormatXrgb8888:
    case kPixelFormatArgb8888:
      return 4;
    default:
      return 0;
  }
}
