#include "scene/sprites/color_box.h"

#include "gfx/images/dirty_region.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_list.h"

void CColorBox::Reset() {
  opacity_ = 255;
  blend_mode_ = kFill;
  width_ = height_ = 0;
  override_width_ = override_height_ = 0;
}

uint32_t CColorBox::SetBox(int32_t width, int32_t height, uint32_t argb, int32_t x, int32_t y) {
  Reset();
  width_ = width;
  height_ = height;
  x_ = x;
  y_ = y;
  colour_ = argb & 0xFFFFFF;
  opacity_ = static_cast<uint8_t>(argb >> 24);
  UpdateBounds();
  SetDirty(true);
  return 0;
}

bool CColorBox::SetColor(uint32_t rgb) {
  if ((rgb & 0xFFFFFF) == colour_) return false;
  colour_ = rgb & 0xFFFFFF;
  SetDirty(true);
  return true;
}

bool CColorBox::SetColorArgb(uint32_t argb) {
  const uint8_t opacity = static_cast<uint8_t>(argb >> 24);
  if (opacity == opacity_ && (argb & 0xFFFFFF) == colour_) return false;
  opacity_ = opacity;
  colour_ = argb & 0xFFFFFF;
  SetDirty(true);
  return true;
}

bool CColorBox::Resize(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || (width == width_ && height == height_)) return false;
  width_ = width;
  height_ = height;
  // The bounds follow the shown size, which is now the natural one even where an override
  // made them differ from it.
  override_width_ = override_height_ = 0;
  UpdateBounds();
  SetDirty(true);
  return true;
}

bool CColorBox::ResizeAndPosition(int32_t width, int32_t height, int32_t x, int32_t y) {
  const bool moved = SetPosition(x, y);
  const bool resized = Resize(width, height);
  return moved || resized;
}

uint32_t CColorBox::SetBlendMode(uint8_t mode) {
  if (mode > kSubtract) return 1;
  if (mode != blend_mode_) {
    blend_mode_ = mode;
    SetDirty(true);
  }
  return 0;
}

bool CColorBox::SetPosition(int32_t x, int32_t y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  UpdateBounds();
  SetDirty(true);
  return true;
}

bool CColorBox::SetSize(int32_t width, int32_t height) {
  if (width == override_width_ && height == override_height_) return false;
  override_width_ = width;
  override_height_ = height;
  UpdateBounds();
  SetDirty(true);
  return true;
}

void CColorBox::UpdateBounds() {
  bounds_ = plat::Rect{x_, y_, Offset(x_, ShownWidth()), Offset(y_, ShownHeight())};
}

bool CColorBox::InvalidateLocalRect(plat::Rect* rect) {
  if (GetOwnerList() == nullptr) return false;
  const plat::Rect shown{0, 0, ShownWidth(), ShownHeight()};
  if (!IntersectRect(rect, rect, &shown)) return false;
  *rect = plat::Rect{Offset(rect->left, x_), Offset(rect->top, y_), Offset(rect->right, x_), Offset(rect->bottom, y_)};
  GetOwnerList()->Invalidate(rect);
  return true;
}

bool CColorBox::HitTest(int32_t x, int32_t y, bool) const {
  if (width_ == 0) return false;
  return x >= bounds_.left && x < bounds_.right && y >= bounds_.top && y < bounds_.bottom;
}

bool CColorBox::Overlaps(const CDrawable* other) const {
  if (width_ == 0 || other == nullptr) return false;
  plat::Rect theirs;
  other->GetBounds(&theirs);
  return IntersectRect(nullptr, &bounds_, &theirs);
}

uint32_t CColorBox::Paint(CImage& target, const plat::Rect& area) const {
  const uint8_t r = static_cast<uint8_t>(colour_ >> 16);
  const uint8_t g = static_cast<uint8_t>(colour_ >> 8);
  const uint8_t b = static_cast<uint8_t>(colour_);
  if (blend_mode_ == kFill) return target.FillColor(r, g, b, opacity_, &area);
  const auto& scale = g_PixelTables.product[opacity_];
  const uint32_t sr = opacity_ == 255 ? r : scale[r];
  const uint32_t sg = opacity_ == 255 ? g : scale[g];
  const uint32_t sb = opacity_ == 255 ? b : scale[b];
  if (blend_mode_ == kAdd) return target.AddColor(sr, sg, sb, &area);
  return target.SubtractColor(sr, sg, sb, &area);
}

uint32_t CColorBox::Draw(CImage* target, const plat::Rect* clip, plat::Rect* out) {
  if (out != nullptr) out->left = CDrawList::kNotPainted;
  if (!IsEnabled() || opacity_ == 0 || width_ == 0) return 0;
  if (target == nullptr) return kNoTarget;
  if (blend_mode_ != kFill && blend_mode_ != kAdd && blend_mode_ != kSubtract) return kUnpaintableMode;
  plat::Rect area = bounds_;
  if (clip != nullptr && !IntersectRect(&area, &bounds_, clip)) return 0;
  if (Paint(*target, area) != 0) return kColourFailed;
  if (out != nullptr) {
    *out = bounds_;
    if (!target->ClipRect(out)) out->left = CDrawList::kNotPainted;
  }
  return 0;
}

uint32_t CColorBox::DrawRect(CImage* target, const plat::Rect& rect) {
  if (blend_mode_ != kFill && blend_mode_ != kAdd && blend_mode_ != kSubtract) return 0;
  plat::Rect area;
  if (!IntersectRect(&area, &bounds_, &rect)) return 0;
  return Paint(*target, area);
}
