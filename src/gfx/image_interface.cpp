#include "gfx/image_interface.h"

plat::Rect* CImageInterface::GetBounds(plat::Rect* out) const {
  *out = plat::Rect{0, 0, width_, height_};
  return out;
}

plat::Rect* CImageInterface::GetClipRect(plat::Rect* out) const {
  *out = clip_;
  return out;
}

void SetImageAlpha(CImageInterface* image, uint8_t alpha) {
  uint8_t* pixels = image->GetPixels();
  const int32_t width = image->GetWidth();
  const int32_t pitch = image->GetPitch();
  if (pixels == nullptr || width < 1 || int64_t{pitch} < int64_t{width} * 4) return;
  const uint32_t alpha_bits = uint32_t{alpha} << 24;
  for (int32_t y = 0; y < image->GetHeight(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image->GetRowPointer(y));
    for (int32_t x = 0; x < width; ++x) row[x] = alpha_bits | (row[x] & 0x00FFFFFFu);
  }
}
