#include "gfx/image_interface.h"

plat::Rect* CImageInterface::GetBounds(plat::Rect* out) const {
  *out = plat::Rect{0, 0, width_, height_};
  return out;
}

plat::Rect* CImageInterface::GetClipRect(plat::Rect* out) const {
  *out = clip_;
  return out;
}
