#include <algorithm>
#include <climits>
#include <cstdint>

#include "gfx/images/image.h"

uint32_t CImage::CopyToDC(plat::DeviceContext* dc, int32_t x, int32_t y, const plat::Rect* rect) {
  if (GetPixels() == nullptr || GetDC() == nullptr || dc == nullptr) return 1;
  plat::Rect source;
  if (!InPlaceRect(rect, source)) return 0;
  return plat::BitBlt(*dc, x, y, source.Width(), source.Height(), *GetDC(), source.left, source.top, plat::SRCCOPY)
             ? 0
             : 2;
}

uint32_t CImage::CopyFromDC(plat::DeviceContext* dc, const ImageSize* size, int32_t x, int32_t y,
                            const plat::Rect* rect) {
  if (GetPixels() == nullptr || GetDC() == nullptr || dc == nullptr) return 1;
  const plat::Rect source = rect != nullptr ? *rect : plat::Rect{0, 0, GetWidth(), GetHeight()};
  const ImageSize drawn = size != nullptr ? *size : ImageSize{source.Width(), source.Height()};
  if (source.Width() <= 0 || source.Height() <= 0 || drawn.width <= 0 || drawn.height <= 0) return 0;
  const bool copied =
      drawn.width == source.Width() && drawn.height == source.Height()
          ? plat::BitBlt(*GetDC(), x, y, drawn.width, drawn.height, *dc, source.left, source.top, plat::SRCCOPY)
          : plat::StretchBlt(*GetDC(), x, y, drawn.width, drawn.height, *dc, source.left, source.top, source.Width(),
                             source.Height(), plat::SRCCOPY);
  if (!copied) return 2;
  const auto end = [](int32_t from, int32_t extent) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{from} + extent, INT32_MAX));
  };
  plat::Rect written{x, y, end(x, drawn.width), end(y, drawn.height)};
  if (ClipRect(&written)) MarkChanged(written);
  return 0;
}
