#include "platform/window/pixel_format.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace plat {
namespace {

struct Channel {
  uint32_t mask = 0;
  uint32_t shift = 0;
  uint32_t bits = 0;
};

Channel ChannelOf(uint32_t mask) {
  if (mask == 0) return Channel{};
  return Channel{mask, static_cast<uint32_t>(std::countr_zero(mask)), static_cast<uint32_t>(std::popcount(mask))};
}

// A channel value of `bits` bits widened to eight by repeating its bits, so that full scale
// stays full scale.
uint32_t Widen(uint32_t value, uint32_t bits) {
  if (bits == 0) return 0;
  if (bits >= 8) return (value >> (bits - 8)) & 0xFF;
  const uint32_t top = value << (8 - bits);
  uint32_t widened = top;
  for (uint32_t step = bits; step < 8; step += bits) widened |= top >> step;
  return widened & 0xFF;
}

uint32_t Narrow(uint32_t value8, const Channel& channel) {
  if (channel.bits == 0) return 0;
  const uint32_t value = channel.bits >= 8 ? value8 << (channel.bits - 8) : value8 >> (8 - channel.bits);
  return (value << channel.shift) & channel.mask;
}

struct Layout {
  explicit Layout(const PixelView& view)
      : bytes(BytesPerPixel(view.format)),
        indexed(view.format.bit_count == 8),
        has_alpha(view.format.alpha_mask != 0),
        red(ChannelOf(view.format.red_mask)),
        green(ChannelOf(view.format.green_mask)),
        blue(ChannelOf(view.format.blue_mask)),
        alpha(ChannelOf(view.format.alpha_mask)),
        palette(view.palette) {}

  uint32_t bytes;
  bool indexed;
  bool has_alpha;
  Channel red, green, blue, alpha;
  const Palette* palette;
};

bool SamePalettes(const Palette* a, const Palette* b) {
  if (a == b) return true;
  if (a == nullptr || b == nullptr) return false;
  return *a == *b;
}

uint32_t Distance(uint32_t a, uint32_t b) {
  uint32_t total = 0;
  for (uint32_t shift = 0; shift < 24; shift += 8) {
    const int32_t d = static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF);
    total += static_cast<uint32_t>(d * d);
  }
  return total;
}

// Turns raw source pixels into raw destination pixels.
class Converter {
 public:
  Converter(const PixelView& dst, const PixelView& src, const ConvertOptions& options)
      : dst_(dst), src_(src), options_(options) {}

  uint32_t operator()(uint32_t raw) {
    uint32_t argb = 0;
    bool source_alpha = src_.has_alpha;
    if (src_.indexed) {
      argb = src_.palette != nullptr ? ((*src_.palette)[raw & 0xFF] & 0x00FFFFFF) : 0;
      source_alpha = false;
    } else {
      argb = Widen((raw & src_.red.mask) >> src_.red.shift, src_.red.bits) << 16 |
             Widen((raw & src_.green.mask) >> src_.green.shift, src_.green.bits) << 8 |
             Widen((raw & src_.blue.mask) >> src_.blue.shift, src_.blue.bits);
      if (source_alpha) argb |= Widen((raw & src_.alpha.mask) >> src_.alpha.shift, src_.alpha.bits) << 24;
    }
    if (dst_.indexed) return NearestIndex(argb);
    const uint32_t alpha = source_alpha ? argb >> 24 : options_.missing_alpha;
    return Narrow((argb >> 16) & 0xFF, dst_.red) | Narrow((argb >> 8) & 0xFF, dst_.green) |
           Narrow(argb & 0xFF, dst_.blue) | Narrow(alpha, dst_.alpha);
  }

 private:
  uint32_t NearestIndex(uint32_t argb) {
    const uint32_t colour = argb & 0x00FFFFFF;
    if (dst_.palette == nullptr) return 0;
    if (cached_ && colour == cached_colour_) return cached_index_;
    uint32_t best = 0;
    uint32_t best_distance = UINT32_MAX;
    for (uint32_t index = 0; index < 256 && best_distance != 0; ++index) {
      const uint32_t distance = Distance((*dst_.palette)[index], colour);
      if (distance < best_distance) {
        best = index;
        best_distance = distance;
      }
    }
    cached_ = true;
    cached_colour_ = colour;
    cached_index_ = best;
    return best;
  }

  Layout dst_;
  Layout src_;
  const ConvertOptions& options_;
  bool cached_ = false;
  uint32_t cached_colour_ = 0;
  uint32_t cached_index_ = 0;
};

bool Overlaps(const PixelView& a, const Rect& ra, const PixelView& b, const Rect& rb) {
  if (a.bits != b.bits) return false;
  return ra.left < rb.right && rb.left < ra.right && ra.top < rb.bottom && rb.top < ra.bottom;
}

void CopyRowsRaw(const PixelView& dst, const Rect& dst_rect, const PixelView& src, const Rect& src_rect) {
  const size_t row_bytes = static_cast<size_t>(src_rect.Width()) * BytesPerPixel(src.format);
  for (int32_t y = 0; y < src_rect.Height(); ++y) {
    std::memcpy(dst.At(dst_rect.left, dst_rect.top + y), src.At(src_rect.left, src_rect.top + y), row_bytes);
  }
}

bool IsKey(uint32_t raw, const ConvertOptions& options) {
  return options.use_key && raw >= options.key_low && raw <= options.key_high;
}

}  // namespace

PixelFormat MakePixelFormat(SurfaceFormat format) {
  switch (format) {
    case SurfaceFormat::kPal8:
      return PixelFormat{DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0};
    case SurfaceFormat::kRgb555:
      return PixelFormat{DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F, 0};
    case SurfaceFormat::kRgb565:
      return PixelFormat{DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0};
    case SurfaceFormat::kRgb888:
      return PixelFormat{DDPF_RGB, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
    case SurfaceFormat::kXrgb8888:
      return PixelFormat{DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0};
    case SurfaceFormat::kArgb1555:
      return PixelFormat{DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x7C00, 0x03E0, 0x001F, 0x8000};
    case SurfaceFormat::kArgb4444:
      return PixelFormat{DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000};
    case SurfaceFormat::kArgb8888:
      return PixelFormat{DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
  }
  return PixelFormat{};
}

bool FindSurfaceFormat(const PixelFormat& format, SurfaceFormat& out) {
  static constexpr SurfaceFormat kAll[] = {SurfaceFormat::kPal8,     SurfaceFormat::kRgb555,   SurfaceFormat::kRgb565,
                                           SurfaceFormat::kRgb888,   SurfaceFormat::kXrgb8888, SurfaceFormat::kArgb1555,
                                           SurfaceFormat::kArgb4444, SurfaceFormat::kArgb8888};
  for (const SurfaceFormat candidate : kAll) {
    const PixelFormat known = MakePixelFormat(candidate);
    const bool same = format.bit_count == 8 ? known.bit_count == 8
                                            : known.bit_count == format.bit_count && known.red_mask == format.red_mask &&
                                                  known.green_mask == format.green_mask &&
                                                  known.blue_mask == format.blue_mask &&
                                                  known.alpha_mask == format.alpha_mask;
    if (same) {
      out = candidate;
      return true;
    }
  }
  return false;
}

uint32_t ReadRawPixel(const uint8_t* pixel, uint32_t bytes) {
  switch (bytes) {
    case 1:
      return pixel[0];
    case 2:
      return static_cast<uint32_t>(pixel[0] | pixel[1] << 8);
    case 3:
      return static_cast<uint32_t>(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
    default:
      return static_cast<uint32_t>(pixel[0] | pixel[1] << 8 | pixel[2] << 16) | static_cast<uint32_t>(pixel[3]) << 24;
  }
}

void WriteRawPixel(uint8_t* pixel, uint32_t bytes, uint32_t value) {
  for (uint32_t i = 0; i < bytes; ++i) pixel[i] = static_cast<uint8_t>(value >> (8 * i));
}

void CopyPixels(const PixelView& dst, const Rect& dst_rect, const PixelView& src, const Rect& src_rect,
                const ConvertOptions& options) {
  if (RectIsEmpty(dst_rect) || RectIsEmpty(src_rect) || dst.Empty() || src.Empty()) return;
  if (Overlaps(dst, dst_rect, src, src_rect)) {
    // A copy within one surface reads from a snapshot, so that no pixel is read after it was written.
    const uint32_t bytes = BytesPerPixel(src.format);
    std::vector<uint8_t> snapshot(static_cast<size_t>(src.width) * bytes * static_cast<size_t>(src.height));
    PixelView copy = src;
    copy.bits = snapshot.data();
    copy.pitch = static_cast<int32_t>(static_cast<uint32_t>(src.width) * bytes);
    CopyRowsRaw(copy, copy.Bounds(), src, src.Bounds());
    CopyPixels(dst, dst_rect, copy, src_rect, options);
    return;
  }
  const bool raw = dst.format == src.format && !options.use_key &&
                   (src.format.bit_count != 8 || !options.map_indices_through_colours ||
                    SamePalettes(dst.palette, src.palette));
  const bool stretched = dst_rect.Width() != src_rect.Width() || dst_rect.Height() != src_rect.Height();
  const bool inside = RectContains(dst.Bounds(), dst_rect) && RectContains(src.Bounds(), src_rect);
  if (raw && !stretched && inside) {
    CopyRowsRaw(dst, dst_rect, src, src_rect);
    return;
  }
  // Each destination pixel takes the nearest source pixel of the full rectangles; what lies
  // outside either view is passed over.
  Rect visible = dst_rect;
  if (!ClampRect(visible, dst.Bounds())) return;
  const uint32_t src_bytes = BytesPerPixel(src.format);
  const uint32_t dst_bytes = BytesPerPixel(dst.format);
  Converter convert(dst, src, options);
  const int64_t dw = dst_rect.Width();
  const int64_t dh = dst_rect.Height();
  for (int32_t y = visible.top; y < visible.bottom; ++y) {
    const int32_t sy = src_rect.top + static_cast<int32_t>((y - dst_rect.top) * int64_t{src_rect.Height()} / dh);
    if (sy < 0 || sy >= src.height) continue;
    const uint8_t* source_row = src.Row(sy);
    uint8_t* target = dst.At(visible.left, y);
    for (int32_t x = visible.left; x < visible.right; ++x, target += dst_bytes) {
      const int32_t sx = src_rect.left + static_cast<int32_t>((x - dst_rect.left) * int64_t{src_rect.Width()} / dw);
      if (sx < 0 || sx >= src.width) continue;
      const uint32_t pixel = ReadRawPixel(source_row + static_cast<size_t>(sx) * src_bytes, src_bytes);
      if (IsKey(pixel, options)) continue;
      WriteRawPixel(target, dst_bytes, raw ? pixel : convert(pixel));
    }
  }
}

uint32_t RawColour(const PixelView& view, uint32_t rgb) {
  PixelView source;
  source.format = MakePixelFormat(SurfaceFormat::kXrgb8888);
  ConvertOptions options;
  options.missing_alpha = 0;
  Converter convert(view, source, options);
  return convert(rgb & 0x00FFFFFF);
}

void FillPixels(const PixelView& dst, const Rect& rect, uint32_t raw_value) {
  const uint32_t bytes = BytesPerPixel(dst.format);
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* target = dst.At(rect.left, y);
    for (int32_t x = rect.left; x < rect.right; ++x, target += bytes) WriteRawPixel(target, bytes, raw_value);
  }
}

bool RectIsEmpty(const Rect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

Rect RectUnion(const Rect& a, const Rect& b) {
  if (RectIsEmpty(a)) return b;
  if (RectIsEmpty(b)) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

bool ClampRect(Rect& rect, const Rect& bounds) {
  rect.left = std::max(rect.left, bounds.left);
  rect.top = std::max(rect.top, bounds.top);
  rect.right = std::min(rect.right, bounds.right);
  rect.bottom = std::min(rect.bottom, bounds.bottom);
  return !RectIsEmpty(rect);
}

bool RectContains(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace plat
