// The in-place operations of the image: fills, colour arithmetic and tone changes in a
// rectangle, through the palette where an 8-bit image changes its colours as a whole.
#include <algorithm>
#include <cstring>

#include "gfx/image_operations/color_ramp.h"
#include "gfx/images/image.h"
#include "pixel/kernels/colour_transform_kernels.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel/kernels/smooth_mosaic_kernels.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF); }

// The rectangle of an in-place operation laid out for a kernel.
struct Area {
  uint8_t* first;
  int32_t pitch;
  int32_t skip;
  int32_t width;
  int32_t height;

  uint32_t* Pixels32() const { return reinterpret_cast<uint32_t*>(first); }
};

Area AreaOf(const CImage& image, const plat::Rect& rect) {
  const int32_t bytes = image.GetBitsPerPixel() / 8;
  const int32_t pitch = image.GetPitch();
  return {image.GetRowPointer(rect.top) + static_cast<ptrdiff_t>(rect.left) * bytes, pitch,
          pitch - rect.Width() * bytes, rect.Width(), rect.Height()};
}

// Every pixel of a 32-bit area the value, by the chosen member.
void FillPixels32(const Area& area, uint32_t value) {
  (g_CpuHasMmx != 0 ? Fill32Mmx : Fill32)(area.Pixels32(), area.skip, area.width, area.height, value);
}

// Calls fn(byte) for the byte at the given offset of every pixel of the area (offset 3 of a
// 32-bit pixel is its alpha byte; an 8-bit pixel is its only byte).
template <typename Fn>
void ForEachByte(const Area& area, int32_t bytes_per_pixel, int32_t offset, Fn&& fn) {
  for (int32_t y = 0; y < area.height; ++y) {
    uint8_t* row = area.first + static_cast<ptrdiff_t>(y) * area.pitch;
    for (int32_t x = 0; x < area.width; ++x) {
      uint8_t& byte = row[static_cast<ptrdiff_t>(x) * bytes_per_pixel + offset];
      byte = fn(byte);
    }
  }
}

// Calls fn(channel) for blue, green and red of every palette entry; the fourth byte stays.
template <typename Fn>
void ForEachPaletteChannel(plat::Palette& palette, const plat::Palette& from, Fn&& fn) {
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t entry = from[i] & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) entry |= uint32_t{fn(static_cast<uint8_t>(from[i] >> shift))} << shift;
    palette[i] = entry;
  }
}

uint8_t Clamp(int32_t value) {
  return g_PixelTables.clamp[std::clamp(value, -PixelTables::kClampOrigin, 1023) + PixelTables::kClampOrigin];
}

// White mixed in at t: P[255 - t][c] + t.
uint8_t Lighten(uint32_t t, uint8_t c) { return static_cast<uint8_t>(g_PixelTables.product[255 - t][c] + t); }

uint8_t Grey(uint32_t colour) {
  return static_cast<uint8_t>((77 * ((colour >> 16) & 0xFF) + 150 * ((colour >> 8) & 0xFF) + 29 * (colour & 0xFF)) >> 8);
}

}  // namespace

bool CImage::InPlaceRect(const plat::Rect* rect, plat::Rect& out) const {
  if (!HasPixels()) return false;
  if (rect == nullptr) {
    GetClipRect(&out);
    return out.left < out.right && out.top < out.bottom;
  }
  out = *rect;
  return ClipRect(&out);
}

void CImage::PaletteChanged() {
  UpdateColourTable();
  base_palette_.reset();
  ClearColorKey();
  MarkAllChanged();
}

bool CImage::FillRect(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect, plat::Rect* changed) {
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return false;
  const uint8_t bpp = GetBitsPerPixel();
  if (bpp != 8 && bpp != 32) return false;
  if (const auto filled = LibraryFill(bpp == 8 ? r & 0xFF : Rgb(r, g, b), area_rect, changed)) return *filled;
  const Area area = AreaOf(*this, area_rect);
  if (bpp == 8) {
    for (int32_t y = 0; y < area.height; ++y) {
      std::memset(area.first + static_cast<ptrdiff_t>(y) * area.pitch, static_cast<uint8_t>(r), area.width);
    }
  } else {
    FillPixels32(area, Rgb(r, g, b));
  }
  MarkChanged(area_rect);
  if (changed != nullptr) *changed = area_rect;
  return true;
}

bool CImage::FillRectXYWH(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t r, uint32_t g, uint32_t b) {
  const plat::Rect rect{x, y, x + width, y + height};
  return FillRect(r, g, b, &rect);
}

bool CImage::FillRectArgb(uint32_t colour, const plat::Rect* rect, plat::Rect* changed) {
  plat::Rect area_rect;
  if (GetBitsPerPixel() != 32 || !InPlaceRect(rect, area_rect)) return false;
  if (const auto filled = LibraryFill(colour, area_rect, changed)) return *filled;
  const Area area = AreaOf(*this, area_rect);
  FillPixels32(area, colour);
  MarkChanged(area_rect);
  if (changed != nullptr) *changed = area_rect;
  return true;
}

bool CImage::FillRectArgbXYWH(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
  const plat::Rect rect{x, y, x + width, y + height};
  return FillRectArgb(colour, &rect);
}

bool CImage::SetRgbKeepAlpha(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect) {
  plat::Rect area_rect;
  if (GetBitsPerPixel() != 32 || !InPlaceRect(rect, area_rect)) return false;
  // The library's colour routine at 255 sets the colour bits too, but leaves key pixels alone.
  if (GetColorKey() == kNoColorKey) {
    if (const auto set = LibraryColour(Rgb(r, g, b), 255, area_rect)) return *set;
  }
  const Area area = AreaOf(*this, area_rect);
  (g_CpuHasMmx != 0 ? SetRgb32Mmx : SetRgb32)(area.Pixels32(), area.skip, area.width, area.height, Rgb(r, g, b));
  MarkChanged(area_rect);
  return true;
}

uint32_t CImage::FillColor(uint32_t r, uint32_t g, uint32_t b, uint8_t level, const plat::Rect* rect) {
  if (GetBitsPerPixel() != 32) return 1;
  plat::Rect area_rect;
  if (level == 0 || !InPlaceRect(rect, area_rect)) return 0;
  if (const auto blended = LibraryColour(Rgb(r, g, b), level, area_rect)) return *blended ? 0 : 2;
  const Area area = AreaOf(*this, area_rect);
  const uint32_t key = GetColorKey();
  const bool mmx = g_CpuHasMmx != 0;
  if (key != kNoColorKey) {
    (mmx ? FillColorLevel32KeyMmx : FillColorLevel32Key)(area.Pixels32(), area.pitch, area.width, area.height, level,
                                                         static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                                         static_cast<uint8_t>(b), key);
  } else {
    (mmx ? FillColorLevel32Mmx : FillColorLevel32)(area.Pixels32(), area.pitch, area.width, area.height, level,
                                                   static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                                   static_cast<uint8_t>(b));
  }
  MarkChanged(area_rect);
  return 0;
}

bool CImage::AdjustBrightness(uint32_t level, const plat::Rect* rect) {
  if (!HasPixels() || level >= 511) return false;
  if (GetBitsPerPixel() == 8) return rect == nullptr && AdjustPaletteBrightness(level);
  if (GetBitsPerPixel() != 32) return false;
  if (level == 255) return true;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return false;
  const Area area = AreaOf(*this, area_rect);
  if (level < 255) {
    ScaleRgb32(area.Pixels32(), area.pitch, area.width, area.height, static_cast<uint8_t>(level));
  } else {
    (g_CpuHasMmx != 0 ? FillColorLevel32Mmx : FillColorLevel32)(area.Pixels32(), area.pitch, area.width, area.height,
                                                                static_cast<uint8_t>(level - 255), 255, 255, 255);
  }
  MarkChanged(area_rect);
  return true;
}

bool CImage::AdjustPaletteBrightness(uint32_t level) {
  plat::Palette* palette = MutablePalette();
  if (palette == nullptr || !SaveBasePalette()) return false;
  if (level < 256) {
    ForEachPaletteChannel(*palette, *base_palette_, [&](uint8_t c) { return g_PixelTables.product[level][c]; });
  } else {
    ForEachPaletteChannel(*palette, *base_palette_, [&](uint8_t c) { return Lighten(level - 255, c); });
  }
  UpdateColourTable();
  MarkAllChanged();
  return true;
}

uint32_t CImage::AddColor(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect) {
  return ColourArithmetic({AddColor32, AddColor32Mmx, AddColor32Key, AddColor32KeyMmx}, Rgb(r, g, b), rect);
}

uint32_t CImage::SubtractColor(uint32_t r, uint32_t g, uint32_t b, const plat::Rect* rect) {
  return ColourArithmetic({SubColor32, SubColor32Mmx, SubColor32Key, SubColor32KeyMmx}, Rgb(r, g, b), rect);
}

uint32_t CImage::ColourArithmetic(const ColourKernels& kernels, uint32_t colour, const plat::Rect* rect) {
  if (GetBitsPerPixel() != 32) return 1;
  plat::Rect area_rect;
  if (colour == 0 || !InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  const uint32_t key = GetColorKey();
  const bool mmx = g_CpuHasMmx != 0;
  if (key != kNoColorKey) {
    (mmx ? kernels.keyed_mmx : kernels.keyed)(area.Pixels32(), area.skip, area.width, area.height, colour, key);
  } else {
    (mmx ? kernels.plain_mmx : kernels.plain)(area.Pixels32(), area.skip, area.width, area.height, colour);
  }
  MarkChanged(area_rect);
  return 0;
}

uint32_t CImage::Grayscale(const plat::Rect* rect) {
  if (!HasPixels()) return 1;
  if (GetBitsPerPixel() == 8) {
    if (rect != nullptr) return 3;
    plat::Palette* palette = MutablePalette();
    if (palette == nullptr) return 0;
    plat::Rect whole{0, 0, GetWidth(), GetHeight()};
    ForEachByte(AreaOf(*this, whole), 1, 0, [&](uint8_t index) { return Grey((*palette)[index]); });
    for (uint32_t i = 0; i < 256; ++i) (*palette)[i] = ((*palette)[i] & 0xFF000000u) | i * 0x010101u;
    PaletteChanged();
    return 0;
  }
  if (GetBitsPerPixel() != 32) return 1;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  const uint32_t key = GetColorKey();
  if (key != kNoColorKey) {
    Grayscale32Key(area.Pixels32(), area.skip, area.width, area.height, key);
  } else {
    (g_CpuHasMmx != 0 ? Grayscale32Mmx : Grayscale32)(area.Pixels32(), area.skip, area.width, area.height);
  }
  MarkChanged(area_rect);
  return 0;
}

uint32_t CImage::AdjustRgb(uint32_t r_scale, uint32_t g_scale, uint32_t b_scale, int32_t r_offset, int32_t g_offset,
                           int32_t b_offset, const plat::Rect* rect) {
  const auto offset_ok = [](int32_t offset) { return offset >= -255 && offset <= 255; };
  if (r_scale > 256 || g_scale > 256 || b_scale > 256 || !offset_ok(r_offset) || !offset_ok(g_offset) ||
      !offset_ok(b_offset)) {
    return 3;
  }
  if (!HasPixels()) return 1;
  if (GetBitsPerPixel() == 8) {
    plat::Palette* palette = MutablePalette();
    if (palette == nullptr) return 1;
    const uint32_t scales[3] = {b_scale, g_scale, r_scale};
    const int32_t offsets[3] = {b_offset, g_offset, r_offset};
    for (uint32_t& entry : *palette) {
      uint32_t adjusted = entry & 0xFF000000u;
      for (int channel = 0; channel < 3; ++channel) {
        const int32_t c = static_cast<int32_t>((entry >> (8 * channel)) & 0xFF);
        adjusted |= uint32_t{Clamp(static_cast<int32_t>((c * scales[channel]) >> 7) + offsets[channel])} << (8 * channel);
      }
      entry = adjusted;
    }
    PaletteChanged();
    return 0;
  }
  if (GetBitsPerPixel() != 32) return 1;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  const RgbAdjustment adjustment{static_cast<uint16_t>(r_scale), static_cast<uint16_t>(g_scale),
                                 static_cast<uint16_t>(b_scale), static_cast<int16_t>(r_offset),
                                 static_cast<int16_t>(g_offset), static_cast<int16_t>(b_offset)};
  const uint32_t key = GetColorKey();
  if (key != kNoColorKey) {
    AdjustRgb32Key(area.Pixels32(), area.skip, area.width, area.height, adjustment, key);
  } else {
    (g_CpuHasMmx != 0 ? AdjustRgb32Mmx : AdjustRgb32)(area.Pixels32(), area.skip, area.width, area.height, adjustment);
  }
  MarkChanged(area_rect);
  return 0;
}

uint32_t CImage::Invert(uint8_t mode, const plat::Rect* rect) {
  if (!HasPixels()) return 1;
  if (GetBitsPerPixel() == 8 && mode == 0) {
    if (rect != nullptr) return 2;
    plat::Palette* palette = MutablePalette();
    if (palette == nullptr) return 1;
    for (uint32_t& entry : *palette) entry ^= 0x00FFFFFFu;
    PaletteChanged();
    return 0;
  }
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  if (GetBitsPerPixel() == 8) {
    ForEachByte(area, 1, 0, [](uint8_t value) { return static_cast<uint8_t>(~value); });
  } else if (GetBitsPerPixel() == 32) {
    const uint32_t key = GetColorKey();
    if (key != kNoColorKey) {
      Invert32Key(area.Pixels32(), area.skip, area.width, area.height, mode, key);
    } else {
      (g_CpuHasMmx != 0 ? Invert32Mmx : Invert32)(area.Pixels32(), area.skip, area.width, area.height, mode);
    }
  } else {
    return 1;
  }
  MarkChanged(area_rect);
  return 0;
}

bool CImage::AdjustAlpha(uint32_t level, const plat::Rect* rect) {
  if (level >= 512) return false;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return false;
  const int32_t bytes = GetBitsPerPixel() / 8;
  if (bytes != 1 && bytes != 4) return false;
  const Area area = AreaOf(*this, area_rect);
  if (level < 256) {
    ForEachByte(area, bytes, bytes - 1, [&](uint8_t a) { return g_PixelTables.product[level][a]; });
  } else {
    ForEachByte(area, bytes, bytes - 1, [&](uint8_t a) { return Lighten(level - 256, a); });
  }
  return true;
}

bool CImage::ScaleAlpha(uint32_t scale, int32_t offset, const plat::Rect* rect) {
  if (scale > 256 || offset < -255 || offset > 255) return false;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return false;
  const int32_t bytes = GetBitsPerPixel() / 8;
  if (bytes != 1 && bytes != 4) return false;
  ForEachByte(AreaOf(*this, area_rect), bytes, bytes - 1,
              [&](uint8_t a) { return Clamp(static_cast<int32_t>((a * scale) >> 7) + offset); });
  return true;
}

uint32_t CImage::Smooth(uint8_t mode, const plat::Rect* rect) {
  if (!HasPixels()) return 1;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  uint32_t status = 1;
  if (GetBitsPerPixel() == 32) {
    status = Smooth32(area.Pixels32(), area.skip, area.pitch, area.width, area.height, mode);
  } else if (GetBitsPerPixel() == 8) {
    status = Smooth8(area.first, area.skip, area.pitch, area.width, area.height);
  }
  if (status != 0) return status + 1;
  ClearColorKey();
  MarkChanged(area_rect);
  return 0;
}

uint32_t CImage::Mosaic(uint32_t block, uint8_t mode, const plat::Rect* rect) {
  if (!HasPixels()) return 1;
  plat::Rect area_rect;
  if (block < 2 || !InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  const auto size = static_cast<int32_t>(std::min<uint32_t>(block, INT32_MAX));
  if (GetBitsPerPixel() == 32) {
    Mosaic32(area.Pixels32(), area.skip, area.pitch, area.width, area.height, size, mode);
  } else if (GetBitsPerPixel() == 8) {
    Mosaic8(area.first, area.skip, area.pitch, area.width, area.height, size, mode);
  } else {
    return 1;
  }
  ClearColorKey();
  MarkChanged(area_rect);
  return 0;
}

uint32_t CImage::GradientFill(uint32_t direction, uint32_t colour_a, uint32_t colour_b, const plat::Rect* rect) {
  const int32_t bytes = GetBitsPerPixel() / 8;
  if (!HasPixels() || (bytes != 1 && bytes != 4)) return 1;
  if (direction > 1) return 3;
  plat::Rect area_rect;
  if (!InPlaceRect(rect, area_rect)) return 0;
  const Area area = AreaOf(*this, area_rect);
  CColorRamp ramp;
  const uint32_t count = static_cast<uint32_t>(direction == 0 ? area.width : area.height);
  if (ramp.Build(count, colour_a, colour_b, GetBitsPerPixel()) != 0) return 2;
  for (int32_t y = 0; y < area.height; ++y) {
    uint8_t* row = area.first + static_cast<ptrdiff_t>(y) * area.pitch;
    for (int32_t x = 0; x < area.width; ++x) {
      const uint32_t entry = ramp.GetEntry(static_cast<uint32_t>(direction == 0 ? x : y));
      if (bytes == 1) {
        row[x] = static_cast<uint8_t>(entry);
      } else {
        reinterpret_cast<uint32_t*>(row)[x] = entry;
      }
    }
  }
  ClearColorKey();
  MarkChanged(area_rect);
  return 0;
}
