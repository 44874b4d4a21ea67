// The mirror routines of the engine's pixel-routine library: the rectangle is copied aside and
// copied back mirrored by the engine's mirrored copy.
#include <cstring>

#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

namespace {

// CopyMirrored's modes: 0 left to right, 1 top to bottom.
PixelRoutineResult Mirror(CImage& image, const plat::Rect* rect, uint8_t mode) {
  plat::Rect area;
  if (!image.InPlaceRect(rect, area)) return {};
  // The copy aside takes every pixel as it is, whatever the image's colour key.
  const uint8_t bpp = image.GetBitsPerPixel();
  CImage copy;
  if (copy.Create(area.right - area.left, area.bottom - area.top, bpp, 0) != 0) return {};
  const size_t row_bytes = static_cast<size_t>(copy.GetWidth()) * (bpp / 8);
  for (int32_t y = 0; y < copy.GetHeight(); ++y) {
    std::memcpy(copy.GetRowPointer(y), image.GetRowPointer(area.top + y) + area.left * (bpp / 8), row_bytes);
  }
  return RunAsRoutine(image, [&] { return image.CopyMirrored(&copy, mode, area.left, area.top, nullptr); });
}

}  // namespace

PixelRoutineResult PixelLibMirrorHorizontalRoutine(CImage& image, const plat::Rect* rect) {
  return Mirror(image, rect, 0);
}

PixelRoutineResult PixelLibMirrorVerticalRoutine(CImage& image, const plat::Rect* rect) {
  return Mirror(image, rect, 1);
}
