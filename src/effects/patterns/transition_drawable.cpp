#include "effects/patterns/transition_drawable.h"

#include "effects/patterns/transition_patterns.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_backed_image.h"
#include "gfx/display/surface_services.h"
#include "scene/render/render_geometry.h"
#include "scene/render/render_object_factories.h"

namespace {

bool KnownPattern(uint32_t pattern) { return pattern < static_cast<uint32_t>(kTransitionPatternCount); }

bool HasSurface(const CImageInterface* picture) { return DisplaySurfaceOf(picture) != nullptr; }

// A DirectDraw picture made of a plain colour shows that colour where the pattern draws nothing.
void FillWithPlainColour(CImageInterface& target) {
  if (target.GetKind() != ESurfaceKind::kDDrawPicture) return;
  auto* picture = dynamic_cast<CDDrawPicture*>(&target);
  if (picture == nullptr || picture->GetFillColor() == kNoColorKey) return;
  const uint32_t colour = picture->GetFillColor();
  picture->FillColor(static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                     static_cast<uint8_t>(colour));
}

}  // namespace

void CTransitionDrawable::Clear() {
  target_ = nullptr;
  source_ = nullptr;
  shown_rect_ = plat::Rect{};
  offset_x_ = offset_y_ = 0;
  width_ = height_ = 0;
}

uint32_t CTransitionDrawable::Create(CImageInterface* target, CImageInterface* source, uint32_t pattern, int32_t x,
                                     int32_t y, uint32_t level, int32_t pattern_x, int32_t pattern_y) {
  Clear();
  if (!HasSurface(source)) return 1;
  if (target != nullptr && !HasSurface(target)) return 2;
  // A pattern that can never draw is refused here rather than shown as an empty transition.
  if (!KnownPattern(pattern)) return 3;
  source_ = source;
  pattern_ = pattern;
  x_ = x;
  y_ = y;
  level_ = level;
  if (target == nullptr) return 0;
  shown_rect_ = plat::Rect{0, 0, target->GetWidth(), target->GetHeight()};
  pattern_x_ = pattern_x;
  pattern_y_ = pattern_y;
  target_ = target;
  if (SetLevel(level) == 0) return 0;
  Clear();
  return 3;
}

uint32_t CTransitionDrawable::SetLevel(uint32_t level) {
  if (source_ == nullptr) return kNoSource;
  // The dispatcher's -1 for an unknown pattern would otherwise read as success (-1 + 1).
  if (!KnownPattern(pattern_)) return kUnknownPattern;
  if (target_ == nullptr) {
    level_ = level;
    return 0;
  }
  FillWithPlainColour(*target_);
  const int32_t status =
      DrawTransitionPattern(static_cast<int32_t>(pattern_), target_, source_, static_cast<int32_t>(level), pattern_x_,
                            pattern_y_, kTransitionCopy, nullptr);
  if (status != 0) return static_cast<uint32_t>(status) + 1;
  level_ = level;
  return 0;
}

uint32_t CTransitionDrawable::SetTarget(CImageInterface* target) {
  if (source_ == nullptr) return 1;
  if (target != nullptr && !HasSurface(target)) return 1;
  target_ = target;
  return 0;
}

uint32_t CTransitionDrawable::SetSource(CImageInterface* source) {
  if (source_ == nullptr || !HasSurface(source)) return 1;
  source_ = source;
  return 0;
}

bool CTransitionDrawable::SetShownArea(int32_t offset_x, int32_t offset_y, const plat::Rect* rect) {
  if (!HasSurface(target_)) return false;
  if (rect != nullptr) {
    shown_rect_ = *rect;
    plat::Rect clip;
    target_->GetClipRect(&clip);
    ClipRectToRect(&shown_rect_, clip);
  }
  offset_x_ = offset_x;
  offset_y_ = offset_y;
  return true;
}

bool CTransitionDrawable::GetBounds(plat::Rect* out) const {
  if (!HasSurface(source_)) return false;
  if (target_ == nullptr) {
    *out = plat::Rect{x_, y_, OffsetCoordinate(x_, source_->GetWidth()), OffsetCoordinate(y_, source_->GetHeight())};
    return true;
  }
  if (!HasSurface(target_)) return false;
  *out = plat::Rect{x_, y_, OffsetCoordinate(x_, DrawnWidth()), OffsetCoordinate(y_, DrawnHeight())};
  return true;
}

bool CTransitionDrawable::HitTest(int32_t x, int32_t y, bool use_pixels) const {
  plat::Rect bounds;
  if (!GetBounds(&bounds)) return false;
  const auto dx = static_cast<uint32_t>(int64_t{x} - bounds.left);
  const auto dy = static_cast<uint32_t>(int64_t{y} - bounds.top);
  if (dx >= static_cast<uint32_t>(bounds.Width()) || dy >= static_cast<uint32_t>(bounds.Height())) return false;
  if (target_ == nullptr || !use_pixels || target_->GetKind() != ESurfaceKind::kDDrawPicture) return true;
  const auto* picture = dynamic_cast<const CDDrawSurfaceImage*>(target_.get());
  const uint32_t key = target_->GetColorKey();
  if (picture == nullptr || key == kNoColorKey) return true;
  auto tx = static_cast<int32_t>(dx);
  auto ty = static_cast<int32_t>(dy);
  if (width_ != 0) tx = static_cast<int32_t>(static_cast<int64_t>(tx) * shown_rect_.Width() / width_);
  if (height_ != 0) ty = static_cast<int32_t>(static_cast<int64_t>(ty) * shown_rect_.Height() / height_);
  // The pixel under the point is where the blit took it from: the shown part moved by the offsets.
  const plat::Rect shown = ShownSource();
  return picture->GetPixel(shown.left + tx, shown.top + ty) != key;
}

plat::Rect CTransitionDrawable::ShownSource() const {
  if (offset_x_ == 0 && offset_y_ == 0) return shown_rect_;
  plat::Rect moved{OffsetCoordinate(shown_rect_.left, offset_x_), OffsetCoordinate(shown_rect_.top, offset_y_),
                   OffsetCoordinate(shown_rect_.right, offset_x_), OffsetCoordinate(shown_rect_.bottom, offset_y_)};
  plat::Rect clip;
  target_->GetClipRect(&clip);
  ClipRectToRect(&moved, clip);
  return moved;
}

uint32_t CTransitionDrawable::Render(plat::Surface* surface, const plat::Rect* clip, CScreenManager*) {
  if (IsEnabled() == 0) return 0;
  if (surface == nullptr || clip == nullptr || !HasSurface(source_)) return 1;
  if (target_ == nullptr) {
    if (!KnownPattern(pattern_)) return 0;
    const int32_t status = DrawTransitionPattern(static_cast<int32_t>(pattern_), nullptr, source_,
                                                 static_cast<int32_t>(level_), x_, y_, kTransitionCopy, g_SpriteDevice);
    return status == 0 ? 0 : static_cast<uint32_t>(status + 1);
  }
  return RenderTarget(surface, clip);
}

uint32_t CTransitionDrawable::RenderTarget(plat::Surface* surface, const plat::Rect* clip) const {
  plat::Surface* target = DisplaySurfaceOf(target_);
  if (target == nullptr) return 2;
  const plat::Rect source = ShownSource();
  if (source.Width() <= 0 || source.Height() <= 0) return 0;
  const uint32_t key = target_->GetColorKey();
  if (width_ == 0 && height_ == 0) return BltFastClipped(surface, target, x_, y_, &source, clip, key) == 0 ? 0 : 3;
  const StretchSize size{DrawnWidth(), DrawnHeight()};
  return BltClipped(surface, target, &size, x_, y_, &source, clip, key) == 0 ? 0 : 2;
}

uint32_t CTransitionDrawable::Restore() {
  if (!HasSurface(target_)) return 0;
  return SetLevel(level_) == 0 ? 0 : 1;
}

uint32_t CreateTransitionDrawable(CScreenManager& screen, CTransitionDrawable** out, CImageInterface* target,
                                  CImageInterface* source, uint32_t pattern, int32_t x, int32_t y, uint32_t level) {
  return MakeRenderObject(screen, out, 2, [&](CTransitionDrawable& drawable) {
    return drawable.Create(target, source, pattern, x, y, level, 0, 0);
  });
}
