#include "scene/render/render_image.h"

#include <algorithm>

#include "gfx/display/ddraw_surface_image.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/display/surface_services.h"
#include "scene/render/render_geometry.h"

void CRenderImage::Reset() {
  source_ = nullptr;
  source_rect_ = plat::Rect{};
  origin_x_ = origin_y_ = 0;
  x_ = y_ = 0;
  shown_width_ = shown_height_ = 0;
}

bool CRenderImage::Accepts(const CImageInterface& source) const { return DisplaySurfaceOf(&source) != nullptr; }

plat::Surface* CRenderImage::SourceSurface() const { return DisplaySurfaceOf(source_); }

plat::Rect CRenderImage::CutToSource(const plat::Rect& rect) const {
  return plat::Rect{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, source_->GetWidth()),
                    std::min(rect.bottom, source_->GetHeight())};
}

uint32_t CRenderImage::Create(CImageInterface* source, const plat::Rect* rect, int32_t x, int32_t y) {
  if (source == nullptr || !Accepts(*source)) return 1;
  Reset();
  source_ = source;
  source_rect_ = CutToSource(rect != nullptr ? *rect : plat::Rect{0, 0, source->GetWidth(), source->GetHeight()});
  SetPosition(x, y);
  return 0;
}

uint32_t CRenderImage::SetSource(CImageInterface* source) {
  if (source == nullptr || !Accepts(*source)) return 1;
  source_ = source;
  return 0;
}

bool CRenderImage::SetSourceRect(int32_t origin_x, int32_t origin_y, const plat::Rect* rect) {
  if (source_ == nullptr || SourceSurface() == nullptr) return false;
  if (rect != nullptr) source_rect_ = CutToSource(*rect);
  origin_x_ = origin_x;
  origin_y_ = origin_y;
  return true;
}

bool CRenderImage::GetBounds(plat::Rect* out) const {
  if (source_ == nullptr) return false;
  *out = plat::Rect{x_, y_, OffsetCoordinate(x_, ShownWidth()), OffsetCoordinate(y_, ShownHeight())};
  return true;
}

bool CRenderImage::HitTest(int32_t x, int32_t y, bool use_key) const {
  plat::Rect bounds;
  if (!GetBounds(&bounds) || x < bounds.left || y < bounds.top || x >= bounds.right || y >= bounds.bottom) {
    return false;
  }
  if (!use_key || source_->GetKind() != ESurfaceKind::kDDrawPicture) return true;
  const auto* picture = dynamic_cast<const CDDrawSurfaceImage*>(source_.get());
  const uint32_t key = source_->GetColorKey();
  if (picture == nullptr || key == kNoColorKey) return true;
  int32_t sx = x - bounds.left;
  int32_t sy = y - bounds.top;
  if (shown_width_ != 0) sx = static_cast<int32_t>(sx * (static_cast<double>(source_rect_.Width()) / shown_width_));
  if (shown_height_ != 0) {
    sy = static_cast<int32_t>(sy * (static_cast<double>(source_rect_.Height()) / shown_height_));
  }
  return picture->GetPixel(sx + origin_x_, sy + origin_y_) != key;
}

uint32_t CRenderImage::Render(plat::Surface* target, const plat::Rect* clip, CScreenManager*) {
  if (IsEnabled() == 0) return 0;
  plat::Surface* surface = source_ != nullptr ? SourceSurface() : nullptr;
  if (target == nullptr || clip == nullptr || surface == nullptr) return 1;
  plat::Rect source = source_rect_;
  if (origin_x_ != 0 || origin_y_ != 0) {
    source = CutToSource(plat::Rect{source.left + origin_x_, source.top + origin_y_, source.right + origin_x_,
                                    source.bottom + origin_y_});
  }
  BeforeBlit();
  const uint32_t key = source_->GetColorKey();
  if (shown_width_ == 0 && shown_height_ == 0) {
    return BltFastClipped(target, surface, x_, y_, &source, clip, key) == 0 ? 0 : 3;
  }
  const StretchSize size{shown_width_ != 0 ? shown_width_ : source.Width(),
                         shown_height_ != 0 ? shown_height_ : source.Height()};
  return BltClipped(target, surface, &size, x_, y_, &source, clip, key) == 0 ? 0 : 2;
}

CSurfaceCanvas* CCanvasImage::Canvas() const { return dynamic_cast<CSurfaceCanvas*>(GetSource()); }

bool CCanvasImage::Accepts(const CImageInterface& source) const {
  const auto* canvas = dynamic_cast<const CSurfaceCanvas*>(&source);
  return canvas != nullptr && canvas->GetSurface() != nullptr;
}

plat::Surface* CCanvasImage::SourceSurface() const {
  CSurfaceCanvas* canvas = Canvas();
  return canvas != nullptr ? canvas->GetSurface() : nullptr;
}

void CCanvasImage::BeforeBlit() { Canvas()->Update(true); }
