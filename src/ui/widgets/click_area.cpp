#include "ui/widgets/click_area.h"

#include "base/input/mouse.h"
#include "base/numbers/script_bound.h"
#include "ui/gui/widget_input.h"

uint32_t CClickArea::Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t hot_x, int32_t hot_y,
                            bool hit_testable, bool clickable, int32_t group) {
  if (width < 1 || height < 1) return 1;
  x_ = x;
  y_ = y;
  width_ = width;
  height_ = height;
  hot_x_ = hot_x < 0 ? ClampedSum(x, width >> 1) : hot_x;
  hot_y_ = hot_y < 0 ? ClampedSum(y, height >> 1) : hot_y;
  hit_testable_ = hit_testable;
  clickable_ = clickable;
  group_ = group;
  return 0;
}

bool CClickArea::HitTest(int32_t x, int32_t y) const {
  return hit_testable_ && static_cast<uint32_t>(int64_t{x} - x_) < static_cast<uint32_t>(width_) &&
         static_cast<uint32_t>(int64_t{y} - y_) < static_cast<uint32_t>(height_);
}

void CClickArea::SetHovered(bool hovered, bool with_sound) {
  hovered_ = hovered;
  CWidgetAction::HoverWidget(action_.get(), GetOwner(), hovered, with_sound);
}

void CClickArea::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  if (!hovered_) SetHovered(true, true);
}

void CClickArea::OnMouseLeave() {
  if (hovered_) SetHovered(false, true);
}

bool CClickArea::OnMouseButton(int32_t /*x*/, int32_t /*y*/, CMouse* mouse) {
  return hovered_ && mouse != nullptr && mouse->IsPressed(0) && Fire();
}

void CClickArea::OnFocus(CGuiElement* /*previous*/, int /*forward*/) {
  TakeFocus(*this, {hot_x_, hot_y_}, [this] {
    if (!hovered_) SetHovered(true, true);
  });
}

void CClickArea::OnKillFocus(CGuiElement* /*next*/) {
  if (hovered_) SetHovered(false, false);
}

bool CClickArea::ProcessInput(CInputBindings* bindings) { return hovered_ && IsDecidePressed(bindings) && Fire(); }

bool CClickArea::Fire() {
  if (GetOwner() == nullptr || !clickable_) return false;
  CWidgetAction::FireWidget(action_.get(), *GetOwner(), GetId());
  return true;
}
