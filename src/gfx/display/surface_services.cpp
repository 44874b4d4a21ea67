#include "gfx/display/surface_services.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "pixel/kernels/colour_transform_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"

using plat::Rect;

namespace {

uint8_t MaskBits(uint32_t mask) { return static_cast<uint8_t>(std::popcount(mask)); }
uint8_t MaskShift(uint32_t mask) { return mask == 0 ? 32 : static_cast<uint8_t>(std::countr_zero(mask)); }

// A channel value moved into its place; a channel without a mask contributes nothing.
uint32_t Place(uint32_t value, uint8_t shift) { return shift >= 32 ? 0 : value << shift; }

// A channel value cut to the width of its mask.
uint32_t Cut(uint8_t value, uint8_t bits) { return bits == 0 ? 0 : bits >= 8 ? value : value >> (8 - bits); }

bool IsEmpty(const Rect& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

bool IsSurfaceFormat(uint32_t format) {
  return format >= kPixelFormatRgb555 && format <= kPixelFormatArgb8888 && std::has_single_bit(format);
}

bool HasAlpha(uint32_t format) {
  return format == kPixelFormatArgb1555 || format == kPixelFormatArgb4444 || format == kPixelFormatArgb8888;
}

// The rect clamped to the bounds, or the bounds themselves; false when nothing is left.
bool AreaOf(const Rect& bounds, const Rect* rect, Rect& area) {
  area = bounds;
  if (rect != nullptr) {
    area = *rect;
    if (!ClipRectToRect(&area, bounds)) return false;
  }
  return !IsEmpty(area);
}

uint8_t* PixelAt(uint8_t* bits, int32_t pitch, uint32_t bytes, int32_t x, int32_t y) {
  return bits + static_cast<intptr_t>(y) * pitch + static_cast<intptr_t>(x) * bytes;
}

uint16_t Invert16Mask(uint32_t format, uint8_t mode) {
  switch (format) {
    case kPixelFormatRgb555:
      return 0x7FFF;
    case kPixelFormatArgb1555:
      return mode == 0 ? 0x7FFF : mode == 1 ? 0xFFFF : 0x8000;
    case kPixelFormatArgb4444:
      return mode == 0 ? 0x0FFF : mode == 1 ? 0xFFFF : 0xF000;
    default:
      return 0xFFFF;
  }
}

int32_t FirstBlock(int32_t extent, int32_t block, bool from_far_edge, bool centred) {
  int32_t first = block;
  if (from_far_edge) first = extent % block;
  if (centred) first = block < extent ? ((extent - block) / 2) % block : block;
  return first == 0 ? block : first;
}

}  // namespace

EPixelFormat ClassifyPixelFormat(const plat::PixelFormat& format) {
  const uint32_t r = format.red_mask;
  const uint32_t g = format.green_mask;
  const uint32_t b = format.blue_mask;
  const uint32_t a = format.alpha_mask;
  const bool masks555 = r == 0x7C00 && g == 0x3E0 && b == 0x1F;
  const bool masks888 = r == 0xFF0000 && g == 0xFF00 && b == 0xFF;
  switch (format.bit_count) {
    case 8:
      return kPixelFormatPal8;
    case 16:
      if (a == 0x8000) return masks555 ? kPixelFormatArgb1555 : kPixelFormatUnrecognised;
      if (a == 0xF000) return r == 0xF00 && g == 0xF0 && b == 0xF ? kPixelFormatArgb4444 : kPixelFormatUnrecognised;
      if (masks555) return kPixelFormatRgb555;
      if (r == 0xF800 && g == 0x7E0 && b == 0x1F) return kPixelFormatRgb565;
      return kPixelFormatUnrecognised;
    case 24:
      return masks888 ? kPixelFormatRgb888 : kPixelFormatUnrecognised;
    case 32:
      if (!masks888) return kPixelFormatUnrecognised;
      if (a == 0) return kPixelFormatXrgb8888;
      if (a == 0xFF000000) return kPixelFormatArgb8888;
      return kPixelFormatUnrecognised;
    default:
      return kPixelFormatUnrecognised;
  }
}

uint32_t GetSurfacePixelFormat(plat::Surface* surface, PixelFormatInfo* info, const plat::PixelFormat* format) {
  plat::PixelFormat read;
  if (format == nullptr) {
    if (surface == nullptr || plat::Failed(surface->GetPixelFormat(read))) return 0;
    format = &read;
  }
  if (info != nullptr) {
    info->bits_per_pixel = static_cast<uint8_t>(format->bit_count);
    info->red_mask = format->red_mask;
    info->green_mask = format->green_mask;
    info->blue_mask = format->blue_mask;
    info->alpha_mask = format->alpha_mask;
    info->red_bits = MaskBits(format->red_mask);
    info->green_bits = MaskBits(format->green_mask);
    info->blue_bits = MaskBits(format->blue_mask);
    info->alpha_bits = MaskBits(format->alpha_mask);
    info->red_shift = MaskShift(format->red_mask);
    info->green_shift = MaskShift(format->green_mask);
    info->blue_shift = MaskShift(format->blue_mask);
    info->alpha_shift = MaskShift(format->alpha_mask);
  }
  return ClassifyPixelFormat(*format);
}

uint32_t SurfaceColourValue(const PixelFormatInfo& info, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  if (info.bits_per_pixel <= 8) return red;
  return Place(Cut(red, info.red_bits), info.red_shift) | Place(Cut(green, info.green_bits), info.green_shift) |
         Place(Cut(blue, info.blue_bits), info.blue_shift) | Place(Cut(alpha, info.alpha_bits), info.alpha_shift);
}

unsigned FillSurface(plat::Surface* surface, const PixelFormatInfo* info, uint8_t red, uint8_t green, uint8_t blue,
                     const Rect* rect, uint8_t alpha) {
  if (surface == nullptr) return 1;
  PixelFormatInfo read;
  if (info == nullptr) {
    if (GetSurfacePixelFormat(surface, &read, nullptr) == 0) return 1;
    info = &read;
  }
  const uint32_t colour = SurfaceColourValue(*info, red, green, blue, alpha);

  plat::BltFx fx;
  fx.fill_color = colour;
  if (plat::Succeeded(surface->Blt(rect, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx))) return 0;

  plat::LockedSurface locked;
  if (plat::Failed(surface->Lock(nullptr, locked))) return 2;
  Rect area;
  if (AreaOf(Rect{0, 0, locked.width, locked.height}, rect, area)) {
    const uint32_t bytes = std::max<uint32_t>(1, info->bits_per_pixel / 8u);
    for (int32_t y = area.top; y < area.bottom; ++y) {
      for (int32_t x = area.left; x < area.right; ++x) {
        plat::WriteRawPixel(PixelAt(locked.bits, locked.pitch, bytes, x, y), bytes, colour);
      }
    }
  }
  surface->Unlock();
  return 0;
}

int ClipBltRects(int32_t x, int32_t y, Rect* src, Rect* dst, const Rect* bounds, const StretchSize* size) {
  if (bounds == nullptr) return 1;
  const int64_t source_width = src->Width();
  const int64_t source_height = src->Height();
  if (size != nullptr) {
    if (size->width <= 0 || size->height <= 0) return -1;
    *dst = Rect{x, y, x + size->width, y + size->height};
  } else {
    *dst = Rect{x, y, x + src->Width(), y + src->Height()};
  }
  const int64_t target_width = dst->Width();
  const int64_t target_height = dst->Height();
  // A side cut off the destination moves the source side by the same share of the source.
  auto source_step = [size](int64_t cut, int64_t source_extent, int64_t target_extent) {
    return static_cast<int32_t>(size != nullptr ? cut * source_extent / target_extent : cut);
  };
  if (dst->left < bounds->left) {
    src->left += source_step(bounds->left - dst->left, source_width, target_width);
    dst->left = bounds->left;
  }
  if (dst->top < bounds->top) {
    src->top += source_step(bounds->top - dst->top, source_height, target_height);
    dst->top = bounds->top;
  }
  if (dst->right > bounds->right) {
    src->right -= source_step(dst->right - bounds->right, source_width, target_width);
    dst->right = bounds->right;
  }
  if (dst->bottom > bounds->bottom) {
    src->bottom -= source_step(dst->bottom - bounds->bottom, source_height, target_height);
    dst->bottom = bounds->bottom;
  }
  if (IsEmpty(*src)) return -1;
  if (size != nullptr && IsEmpty(*dst)) return -1;
  return 0;
}

bool ClipRectToRect(Rect* rect, const Rect& bounds) {
  rect->left = std::max(rect->left, bounds.left);
  rect->right = std::min(rect->right, bounds.right);
  if (rect->left >= rect->right) return false;
  rect->top = std::max(rect->top, bounds.top);
  rect->bottom = std::min(rect->bottom, bounds.bottom);
  return rect->top < rect->bottom;
}

unsigned BltFastClipped(plat::Surface* dst, plat::Surface* src, int32_t x, int32_t y, const Rect* src_rect,
                        const Rect* bounds, uint32_t key) {
  if (dst == nullptr || src == nullptr || src_rect == nullptr || bounds == nullptr) return 1;
  Rect source = *src_rect;
  Rect target;
  if (ClipBltRects(x, y, &source, &target, bounds, nullptr) != 0) return 0;
  const uint32_t flags = plat::DDBLTFAST_WAIT | (key == kNoColorKey ? 0 : plat::DDBLTFAST_SRCCOLORKEY);
  return plat::Failed(dst->BltFast(target.left, target.top, src, &source, flags)) ? 2 : 0;
}

unsigned BltClipped(plat::Surface* dst, plat::Surface* src, const StretchSize* size, int32_t x, int32_t y,
                    const Rect* src_rect, const Rect* bounds, uint32_t key) {
  if (dst == nullptr || src == nullptr || src_rect == nullptr || bounds == nullptr) return 1;
  Rect source = *src_rect;
  Rect target;
  if (ClipBltRects(x, y, &source, &target, bounds, size) != 0) return 0;
  const uint32_t flags = plat::DDBLT_WAIT | (key == kNoColorKey ? 0 : plat::DDBLT_KEYSRC);
  return plat::Failed(dst->Blt(&target, src, &source, flags, nullptr)) ? 2 : 0;
}

int InvertSurfaceRect(uint8_t mode, uint32_t format, uint8_t* bits, int32_t pitch, const Rect* bounds,
                      const Rect* rect) {
  if (bits == nullptr || bounds == nullptr) return 1;
  if (!IsSurfaceFormat(format)) return 2;
  if (mode != 0 && !HasAlpha(format)) return 1;
  Rect area;
  if (!AreaOf(*bounds, rect, area)) return -1;
  const uint32_t bytes = PixelFormatBytes(format);
  const int32_t width = area.Width();
  if (bytes == 4) {
    auto* first = reinterpret_cast<uint32_t*>(PixelAt(bits, pitch, 4, area.left, area.top));
    const int32_t skip = pitch - width * 4;
    if (g_CpuHasMmx != 0) {
      Invert32Mmx(first, skip, width, area.Height(), mode);
    } else {
      Invert32(first, skip, width, area.Height(), mode);
    }
    return 0;
  }
  const uint16_t mask16 = Invert16Mask(format, mode);
  for (int32_t y = area.top; y < area.bottom; ++y) {
    uint8_t* pixel = PixelAt(bits, pitch, bytes, area.left, y);
    for (int32_t x = 0; x < width; ++x, pixel += bytes) {
      if (bytes == 3) {
        pixel[0] ^= 0xFF;
        pixel[1] ^= 0xFF;
        pixel[2] ^= 0xFF;
      } else {
        uint16_t value;
        std::memcpy(&value, pixel, 2);
        value ^= mask16;
        std::memcpy(pixel, &value, 2);
      }
    }
  }
  return 0;
}

int MosaicSurfaceRect(uint32_t format, uint8_t* bits, int32_t pitch, const Rect* bounds, const Rect* rect, int32_t block,
                      int32_t anchor) {
  if (bits == nullptr || bounds == nullptr) return 1;
  if (!IsSurfaceFormat(format)) return 2;
  Rect area;
  if (!AreaOf(*bounds, rect, area)) return -1;
  const int32_t width = area.Width();
  const int32_t height = area.Height();
  if (width < 3 || height < 3 || block < 2) return 0;
  const bool centred = anchor < 1 || anchor > 4;
  const int32_t first_width = FirstBlock(width, block, anchor == 2 || anchor == 4, centred);
  const int32_t first_height = FirstBlock(height, block, anchor == 3 || anchor == 4, centred);
  const uint32_t bytes = PixelFormatBytes(format);
  for (int32_t top = area.top, rows = first_height; top < area.bottom; top += rows, rows = block) {
    const int32_t bottom = std::min(top + rows, area.bottom);
    for (int32_t left = area.left, columns = first_width; left < area.right; left += columns, columns = block) {
      const int32_t right = std::min(left + columns, area.right);
      uint8_t value[4];
      std::memcpy(value, PixelAt(bits, pitch, bytes, left, top), bytes);
      for (int32_t y = top; y < bottom; ++y) {
        uint8_t* pixel = PixelAt(bits, pitch, bytes, left, y);
        for (int32_t x = left; x < right; ++x, pixel += bytes) std::memcpy(pixel, value, bytes);
      }
    }
  }
  return 0;
}
