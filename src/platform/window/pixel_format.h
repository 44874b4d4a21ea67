// Pixel formats of surfaces and device-independent bitmaps: the record the engine reads
// (flags, bit count, channel masks), the formats this layer makes surfaces in, and the
// per-pixel conversions between them that blits and GDI share.
#pragma once

#include <array>
#include <cstdint>

#include "platform/system/geometry.h"

namespace plat {

inline constexpr uint32_t DDPF_ALPHAPIXELS = 0x00000001;
inline constexpr uint32_t DDPF_PALETTEINDEXED8 = 0x00000020;
inline constexpr uint32_t DDPF_RGB = 0x00000040;

struct PixelFormat {
  uint32_t flags = 0;
  uint32_t bit_count = 0;
  uint32_t red_mask = 0;
  uint32_t green_mask = 0;
  uint32_t blue_mask = 0;
  uint32_t alpha_mask = 0;
  bool operator==(const PixelFormat&) const = default;
};

// The formats surfaces are made in. RGB888 lies in memory as blue, green, red bytes.
enum class SurfaceFormat { kPal8, kRgb555, kRgb565, kRgb888, kXrgb8888, kArgb1555, kArgb4444, kArgb8888 };

PixelFormat MakePixelFormat(SurfaceFormat format);
// The surface format the record describes, or false when this layer has none like it.
bool FindSurfaceFormat(const PixelFormat& format, SurfaceFormat& out);
inline uint32_t BytesPerPixel(const PixelFormat& format) { return (format.bit_count + 7) / 8; }

// 256 palette entries 0x00RRGGBB (bytes blue, green, red, unused in memory).
using Palette = std::array<uint32_t, 256>;

// A rectangle of pixels in memory. A negative pitch walks the rows upwards in memory, as the
// rows of a bottom-up bitmap lie.
struct PixelView {
  uint8_t* bits = nullptr;  // the first pixel of row 0
  int32_t pitch = 0;
  int32_t width = 0;
  int32_t height = 0;
  PixelFormat format;
  const Palette* palette = nullptr;  // for 8-bit formats

  bool Empty() const { return bits == nullptr || width < 1 || height < 1; }
  uint8_t* Row(int32_t y) const { return bits + static_cast<intptr_t>(y) * pitch; }
  uint8_t* At(int32_t x, int32_t y) const { return Row(y) + static_cast<intptr_t>(x) * BytesPerPixel(format); }
  Rect Bounds() const { return Rect{0, 0, width, height}; }
};

uint32_t ReadRawPixel(const uint8_t* pixel, uint32_t bytes);
void WriteRawPixel(uint8_t* pixel, uint32_t bytes, uint32_t value);

// How a copy treats what the formats do not say.
struct ConvertOptions {
  // Alpha written to a destination with an alpha channel when the source has none.
  uint8_t missing_alpha = 0xFF;
  // 8-bit to 8-bit: map the indices through the colours (GDI) instead of copying them.
  bool map_indices_through_colours = false;
  // Source pixels from key_low to key_high (raw values) are not copied.
  bool use_key = false;
  uint32_t key_low = 0;
  uint32_t key_high = 0;
};

// Copies src_rect of src onto dst_rect of dst, converting the format and stretching to the
// nearest pixel when the sizes differ. Pixels that fall outside either view are passed over.
void CopyPixels(const PixelView& dst, const Rect& dst_rect, const PixelView& src, const Rect& src_rect,
                const ConvertOptions& options);
// The raw pixel of a 0x00RRGGBB colour in the view's format, as GDI writes it: the nearest
// palette entry at 8 bits, alpha 0 where the format has alpha.
uint32_t RawColour(const PixelView& view, uint32_t rgb);
// Writes the raw value into every pixel of the rectangle (which must lie inside the view).
void FillPixels(const PixelView& dst, const Rect& rect, uint32_t raw_value);

// Clamps a rectangle to the bounds; false when nothing is left.
bool ClampRect(Rect& rect, const Rect& bounds);
bool RectIsEmpty(const Rect& rect);
// The smallest rectangle holding both; an empty one adds nothing.
Rect RectUnion(const Rect& a, const Rect& b);
bool RectContains(const Rect& outer, const Rect& inner);

}  // namespace plat
