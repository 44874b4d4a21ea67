// The in-place operations of the image that go through the pixel-routine library: the library
// path of the fills and the library's own fills, colour blend, softening and whole-image
// routines.
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

namespace {

bool TakeResult(CImage& image, const PixelRoutineResult& result, plat::Rect* changed) {
  if (!result.ok) return false;
  image.MarkRoutineChanges(result.changed);
  if (changed != nullptr) *changed = result.changed;
  return true;
}

}  // namespace

std::optional<bool> CImage::LibraryFill(uint32_t value, const plat::Rect& area, plat::Rect* changed) {
  const CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr) return std::nullopt;
  const PixelRoutines& routines = library->Routines();
  const PixelRoutineResult result = GetBitsPerPixel() == 8
                                        ? routines.fill8(*this, static_cast<uint8_t>(value), &area)
                                        : routines.fill32(*this, value, &area);
  return TakeResult(*this, result, changed);
}

std::optional<bool> CImage::LibraryColour(uint32_t rgb, uint8_t level, const plat::Rect& area) {
  const CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr) return std::nullopt;
  return TakeResult(*this, library->Routines().blend_colour(*this, {rgb, level, &area, 0}), nullptr);
}

template <typename Call>
uint32_t CImage::LibraryOnlyInPlace(uint32_t wrong_depth, Call&& call) {
  if (!HasPixels()) return 1;
  if (GetBitsPerPixel() != 32) return wrong_depth;
  const CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr) return 2;
  const PixelRoutineResult result = call(library->Routines());
  if (!result.ok) return 3;
  MarkRoutineChanges(result.changed);
  return 0;
}

uint32_t CImage::PixelLibFillValue(uint8_t value, const plat::Rect* rect) {
  return LibraryOnlyInPlace(1, [&](const PixelRoutines& routines) { return routines.fill_value(*this, value, rect); });
}

uint32_t CImage::PixelLibBlendColor(uint32_t colour, uint8_t level, const plat::Rect* rect, uint32_t flag) {
  if (level == 0) return 0;
  return LibraryOnlyInPlace(
      1, [&](const PixelRoutines& routines) { return routines.blend_colour(*this, {colour, level, rect, flag}); });
}

uint32_t CImage::PixelLibSoften(uint32_t horizontal, uint32_t vertical, const plat::Rect* rect, uint32_t flag) {
  return LibraryOnlyInPlace(
      2, [&](const PixelRoutines& routines) { return routines.soften(*this, {horizontal, vertical, rect, flag}); });
}

bool CImage::PixelLibSwitchOp(bool flag) {
  return LibraryOnlyInPlace(2, [&](const PixelRoutines& routines) {
           return flag ? routines.invert_alpha(*this) : routines.invert_colour(*this);
         }) == 0;
}

bool CImage::PixelLibValueOpA(uint32_t value) {
  return LibraryOnlyInPlace(2, [&](const PixelRoutines& routines) { return routines.brightness(*this, value); }) ==
         0;
}

bool CImage::PixelLibValueOpB(uint32_t value) {
  return LibraryOnlyInPlace(2, [&](const PixelRoutines& routines) { return routines.alpha_level(*this, value); }) ==
         0;
}
