// The layer's present: each repainted rectangle or strip goes straight out to a device context
// or into a locked surface.
#include "gfx/display/image_to_surface.h"
#include "gfx/display/output_dc.h"
#include "platform/window/pixel_format.h"
#include "scene/drawables/draw_layer.h"

int32_t CDrawLayer::RepaintTo(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface,
                              uint32_t format, int32_t x, int32_t y) {
  if (target_ == nullptr) return 1;
  CollectDirty();
  if (region_.Count() == 0) return kNothingDirty;
  if (surface != nullptr) {
    if (target_->GetBitsPerPixel() != 32 && EnsureImagePalette(*target_) == nullptr) return 2;
    plat::LockedSurface locked;
    if (plat::Failed(surface->Lock(nullptr, locked))) return 1;
    const plat::Rect whole{0, 0, locked.width, locked.height};
    // Only what was repainted counts as changed, so that a small change reaches the window alone.
    plat::Rect written;
    RepaintRegion([&](const plat::Rect& strip) {
      CopyImageToSurface(surface, format, whole, target_, strip.left + x, strip.top + y, &strip, &locked);
      written = plat::RectUnion(written, {strip.left + x, strip.top + y, strip.right + x, strip.bottom + y});
    });
    surface->Unlock(written);
    return 0;
  }
  const OutputDc out(window, dc);
  plat::DeviceContext* source = target_->GetDC();
  if (out.Get() == nullptr || source == nullptr) return 1;
  RepaintRegion([&](const plat::Rect& strip) {
    plat::BitBlt(*out.Get(), strip.left + x, strip.top + y, strip.Width(), strip.Height(), *source, strip.left,
                 strip.top, plat::SRCCOPY);
  });
  return 0;
}
