#include <cstring>

#include "gfx/images/image.h"

namespace {

constexpr uint32_t kAlphaMask = 0xFF000000u;

uint8_t GreyOf(uint32_t pixel) {
  const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return static_cast<uint8_t>((77 * r + 150 * g + 29 * b) >> 8);
}

}  // namespace

uint32_t CImage::SetPixel(int32_t x, int32_t y, uint32_t value) {
  uint8_t* row = GetRowPointer(y);
  if (row == nullptr || x < 0 || x >= GetWidth()) return 0;
  if (GetBitsPerPixel() == 8) {
    row[x] = static_cast<uint8_t>(value);
  } else if (GetBitsPerPixel() == 32) {
    std::memcpy(row + static_cast<size_t>(x) * 4, &value, 4);
  } else {
    return 0;
  }
  MarkChanged(plat::Rect{x, y, x + 1, y + 1});
  return 1;
}

uint32_t CImage::SetAlphaAll(uint8_t alpha) {
  if (GetPixels() == nullptr || GetBitsPerPixel() != 32) return 2;
  const uint32_t alpha_bits = uint32_t{alpha} << 24;
  for (int32_t y = 0; y < GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(GetRowPointer(y));
    for (int32_t x = 0; x < GetWidth(); ++x) row[x] = alpha_bits | (row[x] & ~kAlphaMask);
  }
  MarkAllChanged();
  return 0;
}

uint32_t CImage::ConvertDepth(uint8_t bpp) {
  if (GetPixels() == nullptr) return 1;
  if ((bpp != 8 && bpp != 32) || bpp == GetBitsPerPixel()) return 2;
  // Every pixel converts, not only those inside the clip rectangle.
  plat::Rect clip;
  GetClipRect(&clip);
  SetClipRect(nullptr);
  // Nor do pixels of the key colour stay behind; the key goes with the old depth.
  const uint32_t key = GetColorKey();
  SetColorKeyValue(kNoColorKey);
  const uint32_t status = ConvertWholeImage(bpp);
  SetClipRect(&clip);
  if (status != 0) SetColorKeyValue(key);
  return status;
}

uint32_t CImage::ConvertWholeImage(uint8_t bpp) {
  CImage converted;
  const uint32_t storage = (GetDC() != nullptr ? kUseDib : 0) | (GetOwnedDirtyRegion() != nullptr ? kOwnDirtyRegion : 0);
  if (converted.Create(GetWidth(), GetHeight(), bpp, storage) != 0) return 3;
  if (bpp == 32) {
    if (converted.Copy(this, 0, 0, nullptr, false) != 0) return 3;
  } else {
    if (converted.SetPalette(nullptr, 0, 0) != 0) return 3;
    for (int32_t y = 0; y < GetHeight(); ++y) {
      const auto* from = reinterpret_cast<const uint32_t*>(GetRowPointer(y));
      uint8_t* to = converted.GetRowPointer(y);
      for (int32_t x = 0; x < GetWidth(); ++x) to[x] = GreyOf(from[x]);
    }
  }
  const uint32_t word2 = GetUserWord2();
  converted.SetUserWord0(GetUserWord0());
  converted.SetUserWord1(GetUserWord1());
  converted.alpha_flag_ = alpha_flag_;
  if (Duplicate(&converted, kOwnDirtyRegion) != 0) return 3;
  SetUserWord2(word2);
  base_palette_.reset();
  MarkAllChanged();
  return 0;
}
