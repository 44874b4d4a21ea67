#include "scene/sprites/sprite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/numbers/script_bound.h"
#include "gfx/image_operations/rotated_quad.h"
#include "gfx/images/color_key.h"
#include "gfx/images/dirty_region.h"
#include "gfx/images/pixel_library.h"
#include "scene/drawables/draw_list.h"

namespace {

constexpr int32_t kFullTurn = 512;
// The turn whose bounding box ReserveTurnImage sizes the work image for: an eighth.
constexpr int32_t kWidestTurn = 64;

// Worked out wide, each edge held within the 32-bit range: positions and origins come from scripts.
plat::Rect Moved(const plat::Rect& rect, int64_t dx, int64_t dy) {
  return {ClampedSum(rect.left, dx), ClampedSum(rect.top, dy), ClampedSum(rect.right, dx),
          ClampedSum(rect.bottom, dy)};
}

// As much of `wanted` as moves the edges `low` and `high` without carrying either out of the
// 32-bit range, so that a rectangle scrolled to any origin keeps its size.
int64_t ShiftWithinRange(int32_t low, int32_t high, int64_t wanted) {
  return std::clamp(wanted, int64_t{INT32_MIN} - std::min(low, high), int64_t{INT32_MAX} - std::max(low, high));
}

}  // namespace

bool ShowsPixelAt(const CImage& image, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight()) return false;
  const uint32_t pixel = image.GetPixel(x, y);
  const uint32_t key = image.GetColorKey();
  if (image.GetBitsPerPixel() == 8) return key == kNoColorKey || pixel != (key & 0xFF);
  if (key != kNoColorKey) return pixel != key;
  return (pixel >> 24) != 0;
}

void CSprite::Reset() {
  blend_mode_ = 0;
  opacity_ = 255;
  source_ = nullptr;
  source_rect_ = {};
  origin_x_ = origin_y_ = 0;
  display_width_ = display_height_ = 0;
  angle_ = 0;
  zoom_ = 1.0;
  anchor_x_ = anchor_y_ = 0;
  turned_x_ = turned_y_ = turned_width_ = turned_height_ = 0;
  work_.reset();
  UpdateBounds();
}

void CSprite::CentreAnchor() {
  anchor_x_ = GetWidth() / 2;
  anchor_y_ = GetHeight() / 2;
}

uint32_t CSprite::SetImage(CImage* image, const plat::Rect* source, int32_t x, int32_t y) {
  if (image == nullptr || !image->HasPixels()) return 1;
  if (g_PixelLib == nullptr) return 2;
  Reset();
  plat::Rect shown{};
  image->GetClipRect(&shown);
  if (source != nullptr) shown = *source;
  if (!image->ClipRect(&shown)) {
    Reset();
    return 3;
  }
  source_ = image;
  source_rect_ = shown;
  if (image->GetAlphaFlag() != 0) blend_mode_ = 2;
  x_ = x;
  y_ = y;
  CentreAnchor();
  MarkChanged();
  return 0;
}

uint32_t CSprite::SetSourceImage(CImage* image) {
  if (image == nullptr || !image->HasPixels() || source_ == nullptr) return 1;
  if (image->GetBitsPerPixel() != source_->GetBitsPerPixel()) work_.reset();
  source_ = image;
  SetDirty(true);
  return 0;
}

uint32_t CSprite::SetSourceRect(const plat::Rect* rect) {
  if (source_ == nullptr) return 1;
  plat::Rect shown{};
  source_->GetClipRect(&shown);
  if (rect != nullptr) shown = *rect;
  if (!source_->ClipRect(&shown)) return 2;
  if (shown == source_rect_) return 0;
  source_rect_ = shown;
  origin_x_ = origin_y_ = 0;
  CentreAnchor();
  const bool rendered = RenderAgain();
  MarkChanged();
  return rendered ? 0 : 3;
}

uint32_t CSprite::SetSourceOrigin(int32_t x, int32_t y) {
  if (source_ == nullptr) return 1;
  if (x == origin_x_ && y == origin_y_) return 0;
  const int64_t dx = ShiftWithinRange(source_rect_.left, source_rect_.right, int64_t{x} - origin_x_);
  const int64_t dy = ShiftWithinRange(source_rect_.top, source_rect_.bottom, int64_t{y} - origin_y_);
  source_rect_ = Moved(source_rect_, dx, dy);
  // Between the old origin and the new one, so within range; short of the new one only where the
  // rectangle stopped at the range's end.
  origin_x_ = static_cast<int32_t>(origin_x_ + dx);
  origin_y_ = static_cast<int32_t>(origin_y_ + dy);
  RenderAgain();
  MarkChanged();
  return 0;
}

bool CSprite::SetDrawMode(uint8_t mode) {
  if (mode == draw_mode_ || (mode & 0xF) > 3 || (mode >> 4) > 1) return false;
  draw_mode_ = mode;
  RenderAgain();
  SetDirty(true);
  return true;
}

uint32_t CSprite::EnsureWorkImage(int32_t width, int32_t height, uint8_t depth) {
  if (work_ != nullptr && work_->GetBitsPerPixel() == depth) {
    if (work_->GetWidth() == width && work_->GetHeight() == height) return 0;
    return work_->Resize(width, height) == 0 ? 0 : 3;
  }
  auto work = std::make_unique<CImage>();
  if (work->Create(width, height, depth, 0) != 0) return 2;
  work_ = std::move(work);
  return 0;
}

bool CSprite::DropWorkImage() {
  if (work_ == nullptr) return false;
  work_.reset();
  BecomePlain();
  return true;
}

void CSprite::BecomePlain() {
  display_width_ = display_height_ = 0;
  turned_width_ = turned_height_ = 0;
  angle_ = 0;
  zoom_ = 1.0;
  MarkChanged();
}

uint32_t CSprite::CreateWorkImage(int32_t width, int32_t height) {
  if (source_ == nullptr) return 1;
  const uint32_t status =
      EnsureWorkImage(width < 1 ? GetWidth() : width, height < 1 ? GetHeight() : height, source_->GetBitsPerPixel());
  if (status != 0) return status;
  BecomePlain();
  return 0;
}

uint32_t CSprite::ReserveTurnImage(double zoom) {
  if (source_ == nullptr) return 1;
  RotatedQuad quad;
  const RotationRequest request{0, 0, kWidestTurn, zoom, GetWidth(), GetHeight(), anchor_x_, anchor_y_};
  if (!ComputeRotatedQuad(request, quad)) return 2;
  const uint32_t status = EnsureWorkImage(quad.width, quad.height, source_->GetBitsPerPixel());
  if (status != 0) return status + 1;
  BecomePlain();
  return 0;
}

bool CSprite::RenderStretched(int32_t width, int32_t height) {
  const uint8_t depth = source_->GetBitsPerPixel();
  if (EnsureWorkImage(width, height, depth) != 0) return false;
  if (depth == 8 && !work_->CopyPaletteFrom(source_)) return false;
  const uint32_t key = source_->GetColorKey();
  work_->SetColorKeyValue(key);
  const ImageSize size{width, height};
  if (depth == 32) {
    return work_->PixelLibStretchBlend(source_, kPixelBlendLevel, draw_mode_, 255, 0, &size, 0, 0, &source_rect_) ==
           0;
  }
  if ((draw_mode_ & 0xF) != 0) return work_->SmoothStretchCopy(source_, &size, 0, 0, &source_rect_) == 0;
  // Every pixel is stretched, key pixels too: the work image keeps the key and leaves them out.
  source_->SetColorKeyValue(kNoColorKey);
  const uint32_t status = work_->StretchCopy(source_, &size, 0, 0, &source_rect_, false);
  source_->SetColorKeyValue(key);
  return status == 0;
}

bool CSprite::SetSize(int32_t width, int32_t height) {
  if (source_ == nullptr || (width == display_width_ && height == display_height_)) return false;
  if (width != 0 || height != 0) {
    width = width < 1 ? GetWidth() : width;
    height = height < 1 ? GetHeight() : height;
    if (!RenderStretched(width, height)) return false;
  }
  display_width_ = width;
  display_height_ = height;
  turned_width_ = turned_height_ = 0;
  angle_ = 0;
  zoom_ = 1.0;
  MarkChanged();
  return true;
}

bool CSprite::RenderTransformed(int32_t angle, double zoom) {
  if (source_ == nullptr || source_->GetBitsPerPixel() != 32) return false;
  if (angle == angle_ && zoom == zoom_) return false;
  if (angle % kFullTurn == 0 && zoom == 1.0) {
    turned_width_ = turned_height_ = 0;
  } else {
    RotatedQuad quad;
    const RotationRequest request{0, 0, angle, zoom, GetWidth(), GetHeight(), anchor_x_, anchor_y_};
    if (!ComputeRotatedQuad(request, quad)) return false;
    // A box that rounds to nothing still holds the pixel under the turn.
    const ImageSize size{std::max(quad.width, 1), std::max(quad.height, 1)};
    if (EnsureWorkImage(size.width, size.height, 32) != 0) return false;
    const uint32_t key = source_->GetColorKey();
    work_->SetColorKeyValue(key);
    PixelTransformArgs args;
    const RotatedPoint* corners[3] = {&quad.corners[0], &quad.corners[1], &quad.corners[3]};
    for (int i = 0; i < 3; ++i) args.points[i] = {corners[i]->x, corners[i]->y};
    args.src_rect = &source_rect_;
    args.fill = key == kNoColorKey ? 0 : key;
    args.area = &size;
    if (work_->PixelLibTransform(source_, args) != 0) {
      // What the work image holds now is no turn of the picture: the sprite shows it plainly.
      turned_width_ = turned_height_ = 0;
      display_width_ = display_height_ = 0;
      MarkChanged();
      return false;
    }
    // The box is placed about the scaled anchor; shifted so that the anchor keeps its place.
    turned_x_ = quad.x + static_cast<int32_t>(std::lround(anchor_x_ * (1.0 - zoom)));
    turned_y_ = quad.y + static_cast<int32_t>(std::lround(anchor_y_ * (1.0 - zoom)));
    turned_width_ = size.width;
    turned_height_ = size.height;
  }
  angle_ = angle;
  zoom_ = zoom;
  display_width_ = display_height_ = 0;
  MarkChanged();
  return true;
}

bool CSprite::RenderTurnAgain() {
  const int32_t angle = angle_;
  // Moved by a whole turn, so that the same angle is not taken for a repetition.
  angle_ = angle + kFullTurn;
  if (RenderTransformed(angle, zoom_)) return true;
  angle_ = angle;
  return false;
}

bool CSprite::RenderAgain() {
  if (IsTurned()) return RenderTurnAgain();
  if (IsStretched()) return RenderStretched(display_width_, display_height_);
  return true;
}

bool CSprite::SetAnchor(int32_t mode, int32_t x, int32_t y) {
  if (source_ == nullptr) return false;
  const int32_t w = GetWidth();
  const int32_t h = GetHeight();
  switch (mode) {
    case 0: x = 0, y = 0; break;
    case 1: x = w, y = 0; break;
    case 2: x = 0, y = h; break;
    case 3: x = w, y = h; break;
    case 4: x = w / 2, y = h / 2; break;
    default: break;
  }
  if (x == anchor_x_ && y == anchor_y_) return false;
  anchor_x_ = x;
  anchor_y_ = y;
  if (IsTurned()) RenderTurnAgain();
  return true;
}

uint32_t CSprite::SetBlendMode(uint8_t mode) {
  if (mode > kLastBlendMode) return 1;
  if (mode != blend_mode_) {
    blend_mode_ = mode;
    SetDirty(true);
  }
  return 0;
}

bool CSprite::SetPosition(int32_t x, int32_t y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  MarkChanged();
  return true;
}

void CSprite::UpdateBounds() {
  int32_t left = x_;
  int32_t top = y_;
  int32_t width = GetWidth();
  int32_t height = GetHeight();
  if (IsTurned()) {
    left = Offset(x_, turned_x_);
    top = Offset(y_, turned_y_);
    width = turned_width_;
    height = turned_height_;
  } else if (IsStretched()) {
    width = display_width_;
    height = display_height_;
  }
  bounds_ = plat::Rect{left, top, Offset(left, width), Offset(top, height)};
}

bool CSprite::InvalidateLocalRect(plat::Rect* rect) {
  if (source_ == nullptr) return false;
  // The rectangle is in the source image's coordinates: only what the sprite shows of it counts.
  plat::Rect shown{};
  if (!IntersectRect(&shown, rect, &source_rect_)) return false;
  if (IsTurned() || IsStretched()) {
    *rect = bounds_;
    RenderAgain();
    SetDirty(true);
    return true;
  }
  if (GetOwnerList() == nullptr) return false;
  *rect = Moved(shown, int64_t{bounds_.left} - source_rect_.left, int64_t{bounds_.top} - source_rect_.top);
  GetOwnerList()->Invalidate(rect);
  return true;
}

bool CSprite::RefreshFromSource(bool clear) {
  if (source_ == nullptr || GetOwnerList() == nullptr) return false;
  CDirtyRegion* region = source_->GetOwnedDirtyRegion();
  if (region == nullptr) return false;
  if (IsTurned() || IsStretched()) {
    RenderAgain();
    SetDirty(true);
  } else {
    region->ForEachRect([&](const plat::Rect& changed) {
      plat::Rect shown{};
      if (!IntersectRect(&shown, &changed, &source_rect_)) return;
      plat::Rect target =
          Moved(shown, int64_t{bounds_.left} - source_rect_.left, int64_t{bounds_.top} - source_rect_.top);
      GetOwnerList()->Invalidate(&target);
    });
  }
  if (clear) {
    region->Clear();
    source_->ClearModified();
  }
  return true;
}

bool CSprite::HitTest(int32_t x, int32_t y, bool exact) const {
  if (source_ == nullptr || !source_->HasPixels()) return false;
  const int64_t dx = int64_t{x} - bounds_.left;
  const int64_t dy = int64_t{y} - bounds_.top;
  if (dx < 0 || dy < 0 || dx >= int64_t{bounds_.right} - bounds_.left || dy >= int64_t{bounds_.bottom} - bounds_.top) {
    return false;
  }
  if (!exact) return true;
  if (IsTurned() || IsStretched()) {
    return work_ != nullptr && ShowsPixelAt(*work_, static_cast<int32_t>(dx), static_cast<int32_t>(dy));
  }
  return ShowsPixelAt(*source_, static_cast<int32_t>(source_rect_.left + dx), static_cast<int32_t>(source_rect_.top + dy));
}

bool CSprite::Overlaps(const CDrawable* other) const {
  if (source_ == nullptr || other == nullptr) return false;
  plat::Rect theirs;
  other->GetBounds(&theirs);
  return IntersectRect(nullptr, &bounds_, &theirs);
}

plat::Rect CSprite::PaintingRect() const {
  if (IsTurned() || IsStretched()) return {0, 0, work_->GetWidth(), work_->GetHeight()};
  return source_rect_;
}

bool CSprite::CanPaint() const {
  const CImage* image = PaintingImage();
  if (image == nullptr) return false;
  if (image->GetBitsPerPixel() != 32 || image->GetColorKey() == kNoColorKey) return true;
  return blend_mode_ == 0 || blend_mode_ == 2 || blend_mode_ == 4 || blend_mode_ == 5;
}

uint32_t CSprite::Paint(CImage& target, const plat::Rect* cut) const {
  CImage* image = PaintingImage();
  plat::Rect from = PaintingRect();
  int32_t x = bounds_.left;
  int32_t y = bounds_.top;
  if (cut != nullptr) {
    plat::Rect area{};
    if (!IntersectRect(&area, &bounds_, cut)) return 0;
    from.left += area.left - bounds_.left;
    from.top += area.top - bounds_.top;
    from.right = from.left + area.Width();
    from.bottom = from.top + area.Height();
    x = area.left;
    y = area.top;
  }
  if (image->GetBitsPerPixel() == 8) return target.Copy(image, x, y, &from, false);
  if (image->GetColorKey() == kNoColorKey) return target.PixelLibBlend(image, blend_mode_, opacity_, 0, x, y, &from);
  const bool opaque = opacity_ == 255;
  switch (blend_mode_) {
    case 0: return opaque ? target.Copy(image, x, y, &from, false) : target.BlendLevel(image, opacity_, x, y, &from);
    case 2:
      return opaque ? target.AlphaBlend(image, x, y, &from, false)
                    : target.BlendModeLevel(0, image, opacity_, x, y, &from);
    case 4: return opaque ? target.BlendByMode(1, image, x, y, &from) : target.AddScaled(image, opacity_, x, y, &from);
    case 5:
      return opaque ? target.BlendByMode(2, image, x, y, &from) : target.SubtractScaled(image, opacity_, x, y, &from);
    default: return kUnpaintable;
  }
}

uint32_t CSprite::Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) {
  if (out != nullptr) out->left = CDrawList::kNotPainted;
  if (!IsEnabled() || opacity_ == 0) return 0;
  if (target == nullptr || source_ == nullptr) return kNothingToDraw;
  if (!CanPaint()) return kUnpaintable;
  if (Paint(*target, clip) != 0) return kPaintFailed;
  if (out != nullptr) {
    *out = bounds_;
    if (!target->ClipRect(out)) out->left = CDrawList::kNotPainted;
  }
  return 0;
}

uint32_t CSprite::DrawRect(CImage* target, const plat::Rect& rect) {
  if (target == nullptr || PaintingImage() == nullptr) return 0;
  if (!CanPaint()) return kUnpaintable;
  return Paint(*target, &rect);
}

uint32_t CSprite::CopyFrom(const CSprite* other) {
  if (other == nullptr || other->source_ == nullptr) return 1;
  if (other == this) return 0;
  if (GetOwnerList() != nullptr) GetOwnerList()->Remove(this);
  id_ = other->id_;
  enabled_ = other->enabled_;
  x_ = other->x_;
  y_ = other->y_;
  blend_mode_ = other->blend_mode_;
  opacity_ = other->opacity_;
  source_ = other->source_;
  source_rect_ = other->source_rect_;
  bounds_ = other->bounds_;
  origin_x_ = other->origin_x_;
  origin_y_ = other->origin_y_;
  display_width_ = other->display_width_;
  display_height_ = other->display_height_;
  angle_ = other->angle_;
  zoom_ = other->zoom_;
  anchor_x_ = other->anchor_x_;
  anchor_y_ = other->anchor_y_;
  turned_x_ = other->turned_x_;
  turned_y_ = other->turned_y_;
  turned_width_ = other->turned_width_;
  turned_height_ = other->turned_height_;
  draw_mode_ = other->draw_mode_;
  work_.reset();
  uint32_t status = 0;
  if ((other->IsTurned() || other->IsStretched()) && other->work_ != nullptr) {
    auto work = std::make_unique<CImage>();
    // Without its copy the sprite cannot paint what the other shows: it reports so.
    if (work->Duplicate(other->work_.get(), CImage::kOwnDirtyRegion) == 0) {
      work_ = std::move(work);
    } else {
      status = 2;
    }
  }
  if (display_width_ == GetWidth() && display_height_ == GetHeight() && !IsTurned()) {
    display_width_ = display_height_ = 0;
  }
  SetDirty(false);
  return status;
}
