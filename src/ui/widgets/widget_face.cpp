#include "ui/widgets/widget_face.h"

#include "gfx/images/image.h"
#include "scene/drawables/draw_list.h"

namespace {

void LeaveList(CDrawable& drawable) {
  if (CDrawList* owner = drawable.GetOwnerList()) owner->Remove(&drawable);
}

}  // namespace

CDrawList* CWidgetFace::draw_list() const { return dynamic_cast<CDrawList*>(list_.get()); }

void CWidgetFace::Show(CImage* image, const plat::Rect& source, int32_t x, int32_t y, uint8_t blend_mode,
                       uint8_t opacity) {
  const bool kind_changes = (image == nullptr) != (image_ == nullptr);
  if (listed_ && kind_changes) LeaveList(drawable());
  image_ = image;
  source_ = source;
  x_ = x;
  y_ = y;
  blend_mode_ = blend_mode;
  opacity_ = opacity;
  ApplyLook();
  if (listed_ && kind_changes && draw_list() != nullptr) draw_list()->Insert(&drawable(), priority_, key_);
}

void CWidgetFace::ApplyLook() {
  if (image_ != nullptr) {
    if (sprite_.SetImage(image_, &source_, x_, y_) != 0) return;
    sprite_.SetBlendMode(blend_mode_);
    sprite_.SetOpacity(opacity_);
  } else {
    // The box's opacity is its colour's alpha.
    box_.SetBox(source_.Width(), source_.Height(), colour_, x_, y_);
    opacity_ = box_.GetOpacity();
  }
  drawable().SetEnabled(enabled_);
  drawable().SetId(key_);
}

void CWidgetFace::SetSourceOrigin(int32_t x, int32_t y) {
  source_ = {x, y, x + source_.Width(), y + source_.Height()};
  if (image_ != nullptr) sprite_.SetSourceOrigin(x, y);
}

void CWidgetFace::SetColour(uint32_t argb) {
  colour_ = argb;
  opacity_ = static_cast<uint8_t>(argb >> 24);
  box_.SetColorArgb(argb);
}

void CWidgetFace::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  drawable().SetPosition(x, y);
}

void CWidgetFace::SetEnabled(bool enabled) {
  enabled_ = enabled;
  drawable().SetEnabled(enabled);
}

void CWidgetFace::SetOpacity(uint8_t opacity) {
  opacity_ = opacity;
  drawable().SetOpacity(opacity);
}

void CWidgetFace::SetSize(int32_t width, int32_t height) {
  source_ = {source_.left, source_.top, source_.left + width, source_.top + height};
  if (image_ != nullptr) {
    sprite_.SetSourceRect(&source_);
  } else {
    box_.Resize(width, height);
  }
}

uint32_t CWidgetFace::SetPriority(uint32_t priority, uint32_t key) {
  CDrawList* list = draw_list();
  if (list == nullptr) return 1;
  if (!listed_) {
    listed_ = true;
    key_ = key;
    drawable().SetId(key);
    list->Insert(&drawable(), priority, key);
  } else {
    list->SetPriority(&drawable(), priority, false);
  }
  priority_ = priority;
  return 0;
}

uint32_t CWidgetFace::MoveToDrawList(IDrawList* list) {
  auto* target = dynamic_cast<CDrawList*>(list);
  if (!listed_ || target == nullptr) return 1;
  LeaveList(drawable());
  list_ = list;
  target->Insert(&drawable(), priority_, key_);
  return 0;
}

void CWidgetFace::Leave() {
  LeaveList(sprite_);
  LeaveList(box_);
  list_ = nullptr;
  listed_ = false;
}

void CWidgetFace::Reset() {
  image_ = nullptr;
  source_ = {};
  blend_mode_ = 0;
  opacity_ = 255;
  sprite_.Reset();
  box_.Reset();
}

bool CWidgetFace::HitTest(int32_t x, int32_t y, bool exact) const {
  if (image_ == nullptr || image_->GetPixels() == nullptr) return false;
  const int32_t dx = x - x_;
  const int32_t dy = y - y_;
  if (dx < 0 || dx >= source_.Width() || dy < 0 || dy >= source_.Height()) return false;
  if (!exact) return true;
  return ShowsPixelAt(*image_, source_.left + dx, source_.top + dy);
}
