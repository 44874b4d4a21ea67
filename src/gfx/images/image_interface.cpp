#include "gfx/images/image_interface.h"

#include <algorithm>

#include "base/threads/end_watch.h"

CImageInterface::~CImageInterface() { CEndWatch::Announce(this); }

plat::Rect* CImageInterface::GetBounds(plat::Rect* out) const {
  *out = plat::Rect{0, 0, width_, height_};
  return out;
}

plat::Rect* CImageInterface::GetClipRect(plat::Rect* out) const {
  *out = clip_;
  return out;
}

bool CImageInterface::SetClipWithinBounds(const plat::Rect* rect) {
  if (rect == nullptr) {
    GetBounds(&clip_);
    return true;
  }
  if (rect->top >= rect->bottom || rect->left >= rect->right) return false;
  clip_ = plat::Rect{std::max(rect->left, 0), std::max(rect->top, 0), std::min(rect->right, width_),
                     std::min(rect->bottom, height_)};
  return true;
}

bool CImageInterface::CutToClip(plat::Rect* rect) const {
  rect->left = std::max(rect->left, clip_.left);
  rect->right = std::min(rect->right, clip_.right);
  if (rect->left >= rect->right) return false;
  rect->top = std::max(rect->top, clip_.top);
  rect->bottom = std::min(rect->bottom, clip_.bottom);
  return rect->top < rect->bottom;
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
