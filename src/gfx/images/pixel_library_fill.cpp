// The fill and colour routines of the engine's pixel-routine library: each is the engine's own
// in-place operation on the rectangle.
#include "gfx/images/pixel_library_routines.h"
#include "gfx/images/pixel_routine_run.h"

namespace {

// The status of a fill that reports success as true.
uint32_t Filled(bool filled) { return filled ? 0 : 1; }

constexpr uint8_t Channel(uint32_t colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

}  // namespace

PixelRoutineResult PixelLibFill32Routine(CImage& image, uint32_t colour, const plat::Rect* rect) {
  return RunAsRoutine(image, [&] { return Filled(image.FillRectArgb(colour, rect)); });
}

PixelRoutineResult PixelLibFill8Routine(CImage& image, uint8_t index, const plat::Rect* rect) {
  if (image.GetBitsPerPixel() != 8) return {};
  return RunAsRoutine(image, [&] { return Filled(image.FillRect(index, 0, 0, rect)); });
}

PixelRoutineResult PixelLibFillValueRoutine(CImage& image, uint8_t value, const plat::Rect* rect) {
  return PixelLibFill32Routine(image, value * 0x01010101u, rect);
}

PixelRoutineResult PixelLibBlendColourRoutine(CImage& image, const PixelColourArgs& args) {
  const uint32_t colour = args.colour;
  return RunAsRoutine(image, [&] {
    return image.FillColor(Channel(colour, 16), Channel(colour, 8), Channel(colour, 0), args.level, args.rect);
  });
}
