// The operations of the image that go through the pixel-routine library: the library path of the
// compositing passes and the library's own blends.
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

namespace {

bool Is32(const CImage& image) { return image.GetBitsPerPixel() == 32; }
bool ImageHasPixels(const CImage* image) { return image != nullptr && image->HasPixels(); }

}  // namespace

std::optional<uint32_t> CImage::LibraryPass(CImage& src, const BlitRequest& request) {
  const CPixelLibrary* library = ActivePixelLib();
  if (library == nullptr || !request.library.has_value()) return std::nullopt;
  const LibraryBlend& blend = *request.library;
  const bool engine_only = !Is32(*this) || !Is32(src) || request.placement.flip || request.placement.mirror ||
                           (blend.keyless_only && src.GetColorKey() != kNoColorKey);
  if (engine_only) return std::nullopt;
  const BlitPlacement& at = request.placement;
  PixelRoutineResult result;
  if (request.size.has_value()) {
    const PixelStretchArgs args{&*request.size, at.x, at.y, at.source_rect, blend.mode, 0, blend.level, 0};
    result = library->Routines().stretch_blend(*this, src, args);
  } else {
    result = library->Routines().blend(*this, src, {at.x, at.y, at.source_rect, blend.mode, blend.level, 0});
  }
  if (!result.ok) return 2;
  MarkRoutineChanges(result.changed);
  return 0;
}

template <typename Call>
uint32_t CImage::LibraryOnlyPass(CImage* src, Call&& call) {
  if (!HasPixelsFrom(src)) return 1;
  const CPixelLibrary* library = ActivePixelLib();
  if (!Is32(*this) || !Is32(*src) || library == nullptr) return 2;
  const PixelRoutineResult result = call(library->Routines());
  if (!result.ok) return 3;
  MarkRoutineChanges(result.changed);
  return 0;
}

uint32_t CImage::PixelLibBlend(CImage* src, uint32_t mode, uint8_t level, uint32_t flag, int32_t x, int32_t y,
                               const plat::Rect* src_rect) {
  return LibraryOnlyPass(src, [&](const PixelRoutines& routines) {
    return routines.blend(*this, *src, {x, y, src_rect, mode, level, flag});
  });
}

uint32_t CImage::PixelLibStretchBlend(CImage* src, uint32_t mode, uint32_t filter, uint8_t level, uint32_t flag,
                                      const ImageSize* size, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return LibraryOnlyPass(src, [&](const PixelRoutines& routines) {
    return routines.stretch_blend(*this, *src, {size, x, y, src_rect, mode, filter, level, flag});
  });
}

uint32_t CImage::PixelLibTransform(CImage* src, const PixelTransformArgs& args) {
  return LibraryOnlyPass(src, [&](const PixelRoutines& routines) { return routines.transform(*this, *src, args); });
}

uint32_t CImage::PixelLibAffineDraw(CImage* src, const PixelAffineArgs& args) {
  return LibraryOnlyPass(src, [&](const PixelRoutines& routines) { return routines.affine(*this, *src, args); });
}

uint32_t CImage::PixelLibAffineDraw2(CImage* src, const PixelAffineArgs& args) { return PixelLibAffineDraw(src, args); }

uint32_t CImage::PixelLibBlendTwo(CImage* a, CImage* b, const PixelCrossFadeArgs& args) {
  if (!ImageHasPixels(b)) return 1;
  if (HasPixelsFrom(a) && !Is32(*b)) return 2;
  return LibraryOnlyPass(a, [&](const PixelRoutines& routines) { return routines.cross_fade(*this, *a, *b, args); });
}

uint32_t CImage::PixelLibBlendThree(CImage* a, CImage* b, CImage* rule, const PixelRuleTransitionArgs& args) {
  if (!ImageHasPixels(b) || !ImageHasPixels(rule)) return 1;
  if (HasPixelsFrom(a) && (!Is32(*b) || rule->GetBitsPerPixel() != 8)) return 2;
  return LibraryOnlyPass(
      a, [&](const PixelRoutines& routines) { return routines.rule_transition(*this, *a, *b, *rule, args); });
}

namespace {

using MirrorRoutine = PixelRoutineResult (*)(CImage&, const plat::Rect*);

uint32_t Mirror(CImage& image, const plat::Rect* rect, MirrorRoutine PixelRoutines::*routine) {
  const CPixelLibrary* library = ActivePixelLib();
  if (!image.HasPixels() || library == nullptr) return 1;
  const PixelRoutineResult result = (library->Routines().*routine)(image, rect);
  if (!result.ok) return 2;
  image.MarkRoutineChanges(result.changed);
  return 0;
}

}  // namespace

uint32_t CImage::PixelLibMirrorHorizontal(const plat::Rect* rect) {
  return Mirror(*this, rect, &PixelRoutines::mirror_horizontal);
}

uint32_t CImage::PixelLibMirrorVertical(const plat::Rect* rect) {
  return Mirror(*this, rect, &PixelRoutines::mirror_vertical);
}
