// The whole-image routines of the engine's pixel-routine library: the engine's inversions and
// level changes over the image's clip rectangle.
#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

namespace {

// CImage::Invert's modes.
constexpr uint8_t kInvertColour = 0;
constexpr uint8_t kInvertAlpha = 2;

PixelRoutineResult Invert(CImage& image, uint8_t mode) {
  if (image.GetBitsPerPixel() != 32) return {};
  return RunAsRoutine(image, [&] { return image.Invert(mode, nullptr); });
}

}  // namespace

PixelRoutineResult PixelLibInvertColourRoutine(CImage& image) { return Invert(image, kInvertColour); }

PixelRoutineResult PixelLibInvertAlphaRoutine(CImage& image) { return Invert(image, kInvertAlpha); }

PixelRoutineResult PixelLibBrightnessRoutine(CImage& image, uint32_t level) {
  if (image.GetBitsPerPixel() != 32) return {};
  return RunAsRoutine(image, [&] { return image.AdjustBrightness(level, nullptr) ? 0u : 1u; });
}

// AdjustAlpha marks nothing itself; the routine reports the area it changed.
PixelRoutineResult PixelLibAlphaLevelRoutine(CImage& image, uint32_t level) {
  plat::Rect area;
  if (image.GetBitsPerPixel() != 32 || !image.InPlaceRect(nullptr, area)) return {};
  if (!image.AdjustAlpha(level, nullptr)) return {};
  return {true, area};
}
