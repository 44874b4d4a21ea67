// The copies from a picture of any kind: software images and the images of the timed drawing
// objects through the compositing copies, pictures on display surfaces through GDI.
#include <algorithm>
#include <limits>

#include "gfx/display/surface_backed_image.h"
#include "gfx/image_operations/image_part.h"
#include "gfx/images/image.h"
#include "platform/window/gdi.h"

namespace {

// The software image that a picture of kind 4, 7 or 8 holds; null for the other kinds.
CImage* SoftwareImageOf(CImageInterface& src) {
  switch (src.GetKind()) {
    case ESurfaceKind::kImage:
      return dynamic_cast<CImage*>(&src);
    case ESurfaceKind::kSurfaceCanvas:
    case ESurfaceKind::kPictureCanvas: {
      auto* part = dynamic_cast<CImagePart*>(&src);
      return part != nullptr ? part->GetImage() : nullptr;
    }
    default:
      return nullptr;
  }
}

// The display surface of a picture of kinds 0 to 3; null for the other kinds or without one.
plat::Surface* SurfaceOf(CImageInterface& src) {
  switch (src.GetKind()) {
    case ESurfaceKind::kDDrawPicture:
    case ESurfaceKind::kDDrawSprite:
    case ESurfaceKind::kPictureObject:
    case ESurfaceKind::kTextObject: {
      const auto* backed = dynamic_cast<const CSurfaceBackedImage*>(&src);
      return backed != nullptr ? backed->GetSurface() : nullptr;
    }
    default:
      return nullptr;
  }
}

// The surface's device context for the length of one copy.
class SurfaceDc {
 public:
  explicit SurfaceDc(plat::Surface& surface) : surface_(surface) {
    if (plat::Failed(surface_.GetDC(dc_))) dc_ = nullptr;
  }
  ~SurfaceDc() {
    if (dc_ != nullptr) surface_.ReleaseDC(dc_);
  }
  SurfaceDc(const SurfaceDc&) = delete;
  SurfaceDc& operator=(const SurfaceDc&) = delete;
  plat::DeviceContext* Get() const { return dc_; }

 private:
  plat::Surface& surface_;
  plat::DeviceContext* dc_ = nullptr;
};

// A rectangle from 64-bit edges; false when it is empty or does not fit the coordinates.
bool FitRect(int64_t left, int64_t top, int64_t right, int64_t bottom, plat::Rect& out) {
  constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
  constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
  if (right <= left || bottom <= top || left < kLow || top < kLow || right > kHigh || bottom > kHigh ||
      right - left > kHigh || bottom - top > kHigh) {
    return false;
  }
  out = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
         static_cast<int32_t>(bottom)};
  return true;
}

}  // namespace

uint32_t CImage::CopyFromSurface(CImageInterface* src, int32_t x, int32_t y, const plat::Rect* src_rect) {
  return SurfaceCopyPass(src, std::nullopt, x, y, src_rect);
}

uint32_t CImage::StretchCopyFromSurface(CImageInterface* src, const ImageSize* size, int32_t x, int32_t y,
                                        const plat::Rect* src_rect) {
  return SurfaceCopyPass(src, SizeOr(size), x, y, src_rect);
}

uint32_t CImage::SurfaceCopyPass(CImageInterface* src, std::optional<ImageSize> size, int32_t x, int32_t y,
                                 const plat::Rect* src_rect) {
  if (src == nullptr) return 1;
  if (CImage* image = SoftwareImageOf(*src)) {
    return size ? StretchCopy(image, &*size, x, y, src_rect, false) : Copy(image, x, y, src_rect, false);
  }
  plat::Surface* surface = SurfaceOf(*src);
  if (surface == nullptr || !HasPixels()) return 1;
  if (GetBitsPerPixel() != 32 || GetDC() == nullptr) return 2;
  const plat::Rect bounds{0, 0, surface->Width(), surface->Height()};
  plat::Rect clip_rect;
  GetClipRect(&clip_rect);
  const plat::Rect source = src_rect != nullptr ? *src_rect : bounds;
  return size ? StretchBltFromSurface(*surface, *size, x, y, source, bounds, clip_rect)
              : BitBltFromSurface(*surface, {x, y, &source}, bounds, clip_rect);
}

// Clipped like the compositing copies, the surface's bounds standing for the source clip.
uint32_t CImage::BitBltFromSurface(plat::Surface& surface, const BlitPlacement& placement, const plat::Rect& bounds,
                                   const plat::Rect& clip_rect) {
  BlitClip clip;
  if (!ClipBlt(placement, bounds, clip_rect, clip)) return 0;
  SurfaceDc surface_dc(surface);
  if (surface_dc.Get() == nullptr) return 2;
  if (!plat::BitBlt(*GetDC(), clip.dest.left, clip.dest.top, clip.dest.Width(), clip.dest.Height(), *surface_dc.Get(),
                    clip.source.left, clip.source.top, plat::SRCCOPY)) {
    return 2;
  }
  source_rect_ = clip.source;
  dest_rect_ = clip.dest;
  MarkChanged(dest_rect_);
  return 0;
}

// GDI maps the whole source rectangle onto the whole destination rectangle through a context
// over this image's clip rectangle and passes over what falls outside the surface or the clip,
// so a clipped copy is the unclipped one cropped.
uint32_t CImage::StretchBltFromSurface(plat::Surface& surface, ImageSize size, int32_t x, int32_t y,
                                       const plat::Rect& source, const plat::Rect& bounds,
                                       const plat::Rect& clip_rect) {
  plat::Rect checked_source;
  plat::Rect target;  // relative to the clip rectangle
  const int64_t left = int64_t{x} - clip_rect.left;
  const int64_t top = int64_t{y} - clip_rect.top;
  if (!FitRect(source.left, source.top, source.right, source.bottom, checked_source) ||
      !FitRect(left, top, left + size.width, top + size.height, target)) {
    return 0;
  }
  plat::Rect read = checked_source;
  if (!plat::ClampRect(read, bounds)) return 0;
  plat::Rect written{std::max(target.left, 0), std::max(target.top, 0), std::min(target.right, clip_rect.Width()),
                     std::min(target.bottom, clip_rect.Height())};
  if (written.left >= written.right || written.top >= written.bottom) return 0;
  SurfaceDc surface_dc(surface);
  if (surface_dc.Get() == nullptr) return 2;
  plat::PixelView view = GetDC()->View();
  view.bits = view.At(clip_rect.left, clip_rect.top);
  view.width = clip_rect.Width();
  view.height = clip_rect.Height();
  plat::DeviceContext clipped(view, {}, nullptr);
  if (!plat::StretchBlt(clipped, target.left, target.top, target.Width(), target.Height(), *surface_dc.Get(),
                        checked_source.left, checked_source.top, checked_source.Width(), checked_source.Height(),
                        plat::SRCCOPY)) {
    return 2;
  }
  written = {written.left + clip_rect.left, written.top + clip_rect.top, written.right + clip_rect.left,
             written.bottom + clip_rect.top};
  source_rect_ = checked_source;
  dest_rect_ = written;
  MarkChanged(dest_rect_);
  return 0;
}
