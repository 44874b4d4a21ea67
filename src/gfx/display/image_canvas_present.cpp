// The present operation of an image canvas that serves as the frame image: its changed
// rectangles, or a running transition's strips, go to a device context or a surface.
#include <algorithm>

#include "base/time/millisecond_clock.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/image_to_surface.h"
#include "gfx/display/output_dc.h"
#include "gfx/image_operations/screen_transition.h"
#include "pixel/formats/surface_writers.h"
#include "platform/window/pixel_format.h"

// The frame's draw lists painted over each strip that a transition rendered.
struct StripOverlay {
  IDrawLayer* layer = nullptr;
  bool own = false;
  bool attached = false;
};

namespace {

void CopyRect(plat::DeviceContext& out, plat::DeviceContext& part, const plat::Rect& rect) {
  plat::BitBlt(out, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, part, rect.left, rect.top,
               plat::SRCCOPY);
}

// Walks the frame in strips (the whole frame when the transition or the switch says so),
// never past the transition's target image; the transition renders each strip, the overlay's
// lists are painted over it, then `out` copies it.
template <typename Out>
void ForEachStrip(CScreenTransition& transition, const StripOverlay& overlay, int32_t frame_width, int32_t width,
                  int32_t height, Out out) {
  const bool strips = (transition.GetFlags() & CScreenTransition::kAllowsStrips) != 0 && g_StripRepaint != 0;
  const int32_t strip_height = strips ? TransitionStripHeight(frame_width) : height;
  for (int32_t top = 0; top < height; top += strip_height) {
    const plat::Rect strip{0, top, width, std::min(top + strip_height, height)};
    transition.RenderStrip(strip);
    if (overlay.layer != nullptr) {
      overlay.layer->DrawListsOver(*transition.GetTargetImage(), strip, overlay.own, overlay.attached);
    }
    out(strip);
  }
}

void PresentStripsToDc(CScreenTransition& transition, const StripOverlay& overlay, int32_t frame_width,
                       int32_t frame_height, plat::DeviceContext& out) {
  CImage* target = transition.GetTargetImage();
  if (target == nullptr || target->GetDC() == nullptr) return;
  ForEachStrip(transition, overlay, frame_width, std::min(frame_width, target->GetWidth()),
               std::min(frame_height, target->GetHeight()),
               [&](const plat::Rect& strip) { CopyRect(out, *target->GetDC(), strip); });
}

void PresentStripsToSurface(CScreenTransition& transition, const StripOverlay& overlay, int32_t frame_width,
                            int32_t frame_height, plat::Surface& surface, uint32_t format) {
  CImage* target = transition.GetTargetImage();
  if (target == nullptr || !target->HasPixels()) return;
  const uint32_t* palette = target->GetBitsPerPixel() == 32 ? nullptr : EnsureImagePalette(*target);
  if (target->GetBitsPerPixel() != 32 && palette == nullptr) return;
  plat::LockedSurface locked;
  if (plat::Failed(surface.Lock(nullptr, locked))) return;
  const int32_t width = std::min({frame_width, target->GetWidth(), locked.width});
  const int32_t height = std::min({frame_height, target->GetHeight(), locked.height});
  ForEachStrip(transition, overlay, frame_width, width, height, [&](const plat::Rect& strip) {
    const uint8_t* rows = target->GetRowPointer(strip.top);
    const int32_t rows_count = strip.bottom - strip.top;
    if (palette != nullptr) {
      WritePal8ToSurface(format, locked.bits, 0, strip.top, locked.pitch, rows, target->GetPitch(), width, rows_count,
                         palette);
    } else {
      WriteArgb32ToSurface(format, locked.bits, 0, strip.top, locked.pitch, rows, target->GetPitch(), width,
                           rows_count);
    }
  });
  surface.Unlock();
}

}  // namespace

int CImageCanvasBase::PresentDirty(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface,
                                   uint32_t format, bool incremental) {
  if (HasAttached()) {
    PresentTransition(window, dc, surface, format);
    // A transition that has ended has handed its page over: that page goes out whole at once, so
    // the end shows the finished picture rather than the last strips drawn before it.
    if (!HasAttached()) PresentDirty(window, dc, surface, format, false);
    return 0;
  }
  if (IDrawLayer* layer = GetLayer(); layer != nullptr && IsTrackingSuspended()) {
    if (!incremental) layer->InvalidateAll();
    return layer->RepaintTo(window, dc, surface, format, 0, 0);
  }
  CImage* image = GetImage();
  const plat::Rect whole{0, 0, GetWidth(), GetHeight()};
  if (!incremental) {
    if (surface != nullptr) {
      CopyImageToSurface(surface, format, whole, image, 0, 0, nullptr, nullptr);
      return 0;
    }
    const OutputDc out(window, dc);
    if (out.Get() == nullptr || image->GetDC() == nullptr) return 1;
    CopyRect(*out.Get(), *image->GetDC(), whole);
    return 0;
  }
  CDirtyRegion* region = image->GetDirtyRegion();
  if (!image->IsModified() || region == nullptr || region->Count() == 0) return -1;
  if (surface != nullptr) {
    plat::LockedSurface locked;
    if (plat::Failed(surface->Lock(nullptr, locked))) return 2;
    region->Coalesce();
    plat::Rect written;
    region->ForEachRect([&](const plat::Rect& rect) {
      CopyImageToSurface(surface, format, whole, image, rect.left, rect.top, &rect, &locked);
      written = plat::RectUnion(written, rect);
    });
    surface->Unlock(written);
  } else {
    const OutputDc out(window, dc);
    if (out.Get() == nullptr || image->GetDC() == nullptr) return 1;
    region->Coalesce();
    region->ForEachRect([&](const plat::Rect& rect) { CopyRect(*out.Get(), *image->GetDC(), rect); });
  }
  region->Clear();
  image->ClearModified();
  return 0;
}

int32_t CImageCanvasBase::UpdateSurface(plat::Surface& surface, uint32_t format, bool changed_only) {
  const bool through_layer = !HasAttached() && GetLayer() != nullptr && IsTrackingSuspended();
  const int32_t status = PresentDirty(0, nullptr, &surface, format, changed_only);
  if (!through_layer) return status;
  return status > 0 ? status + 1 : 0;
}

void CImageCanvasBase::PresentTransition(plat::WindowId window, plat::DeviceContext* dc, plat::Surface* surface,
                                         uint32_t format) {
  CScreenTransition& transition = *GetAttached();
  if (!transition.Advance(ReadMillisecondClock())) {
    const StripOverlay overlay = PrepareOverlay(transition);
    if (surface != nullptr) {
      PresentStripsToSurface(transition, overlay, GetWidth(), GetHeight(), *surface, format);
    } else {
      const OutputDc out(window, dc);
      if (out.Get() != nullptr) PresentStripsToDc(transition, overlay, GetWidth(), GetHeight(), *out.Get());
    }
  }
  if (transition.IsFinished()) Detach(GetAttachByte() != 0);
}

StripOverlay CImageCanvasBase::PrepareOverlay(CScreenTransition& transition) {
  IDrawLayer* layer = GetLayer();
  if (layer == nullptr || !IsTrackingSuspended()) return {};
  if (GetAttachMode() == kModeSwapLayers) {
    layer->RepaintWithoutAttached();
    const bool two_pictures = transition.GetTransitionType() < CScreenTransition::kTypeWithoutPartnerLayer;
    if (two_pictures && GetPartner() != nullptr && GetPartner()->GetLayer() != nullptr) {
      GetPartner()->GetLayer()->RepaintWithoutAttached();
    }
  }
  return StripOverlay{layer, GetAttachMode() == kModeSwapBackgrounds, true};
}
