#include "pixel/formats/surface_writers.h"

#include <cstring>

#include "pixel/formats/pixel_format_codes.h"

namespace {

uint32_t ToRgb555(uint32_t c) { return ((c >> 9) & 0x7C00) + ((c >> 6) & 0x3E0) + ((c >> 3) & 0x1F); }
uint32_t ToRgb565(uint32_t c) { return ((c >> 8) & 0xF800) + ((c >> 5) & 0x7E0) + ((c >> 3) & 0x1F); }
uint32_t ToRgb444(uint32_t c) { return ((c >> 12) & 0xF00) + ((c >> 8) & 0xF0) + ((c >> 4) & 0xF); }

void Store(uint8_t* at, int bytes, uint32_t value) {
  if (bytes == 2) {
    const auto v16 = static_cast<uint16_t>(value);
    std::memcpy(at, &v16, 2);
  } else if (bytes == 3) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
  } else {
    std::memcpy(at, &value, 4);
  }
}

// Walks the rectangle row by row, converting each source pixel read by `read` with `convert`.
template <typename Read, typename Convert>
bool WriteRows(uint32_t format, uint8_t* dst_bits, int32_t dst_x, int32_t dst_y, int32_t dst_pitch,
               const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height, int src_bytes, Read read,
               Convert convert) {
  const int dst_bytes = static_cast<int>(PixelFormatBytes(format));
  if (dst_bytes == 0) return false;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = src + static_cast<std::ptrdiff_t>(y) * src_pitch;
    uint8_t* out = dst_bits + static_cast<std::ptrdiff_t>(dst_y + y) * dst_pitch +
                   static_cast<std::ptrdiff_t>(dst_x) * dst_bytes;
    for (int32_t x = 0; x < width; ++x, in += src_bytes, out += dst_bytes) Store(out, dst_bytes, convert(read(in)));
  }
  return true;
}

}  // namespace

bool WritePal8ToSurface(uint32_t format, uint8_t* dst_bits, int32_t dst_x, int32_t dst_y, int32_t dst_pitch,
                        const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height,
                        const uint32_t* palette) {
  const auto entry = [palette](const uint8_t* in) { return palette[*in]; };
  const auto convert = [format](uint32_t c) -> uint32_t {
    switch (format) {
      case kPixelFormatRgb555: return ToRgb555(c);
      case kPixelFormatRgb565: return ToRgb565(c);
      case kPixelFormatArgb1555: return ToRgb555(c) + 0x8000;
      case kPixelFormatArgb4444: return ToRgb444(c) + 0xF000;
      case kPixelFormatArgb8888: return c | 0xFF000000u;
      default: return c;  // RGB888 takes the three low bytes, XRGB8888 the entry unchanged
    }
  };
  return WriteRows(format, dst_bits, dst_x, dst_y, dst_pitch, src, src_pitch, width, height, 1, entry, convert);
}

bool WriteArgb32ToSurface(uint32_t format, uint8_t* dst_bits, int32_t dst_x, int32_t dst_y, int32_t dst_pitch,
                          const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height) {
  // The 32-bit layouts take whole rows through a mask, which the compiler turns into vector
  // moves; the others convert pixel by pixel.
  if (format == kPixelFormatXrgb8888 || format == kPixelFormatArgb8888) {
    const uint32_t kept = format == kPixelFormatXrgb8888 ? 0xFFFFFFu : 0xFFFFFFFFu;
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* in = src + static_cast<std::ptrdiff_t>(y) * src_pitch;
      uint8_t* out =
          dst_bits + static_cast<std::ptrdiff_t>(dst_y + y) * dst_pitch + static_cast<std::ptrdiff_t>(dst_x) * 4;
      for (int32_t x = 0; x < width; ++x) {
        uint32_t s = 0;
        std::memcpy(&s, in + static_cast<std::ptrdiff_t>(x) * 4, 4);
        s &= kept;
        std::memcpy(out + static_cast<std::ptrdiff_t>(x) * 4, &s, 4);
      }
    }
    return true;
  }
  const auto pixel = [](const uint8_t* in) {
    uint32_t s = 0;
    std::memcpy(&s, in, 4);
    return s;
  };
  const auto convert = [format](uint32_t s) -> uint32_t {
    switch (format) {
      case kPixelFormatRgb555: return ToRgb555(s);
      case kPixelFormatRgb565: return ToRgb565(s);
      case kPixelFormatArgb1555: return ToRgb555(s) + ((s >> 16) & 0x8000);
      case kPixelFormatArgb4444: return ((s >> 16) & 0xF000) + ToRgb444(s);
      default: return s;  // RGB888 takes the three low bytes
    }
  };
  return WriteRows(format, dst_bits, dst_x, dst_y, dst_pitch, src, src_pitch, width, height, 4, pixel, convert);
}
