#include "ui/widgets/image_button_base.h"

#include "base/input/input_bindings.h"
#include "base/input/mouse.h"
#include "base/time/millisecond_clock.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"

namespace {

constexpr uint32_t kLeftButton = 0;

}  // namespace

uint32_t CImageButtonBase::SetState(uint8_t state) {
  if (state == state_) return 0;
  state_ = state;
  ShowState();
  return 0;
}

void CImageButtonBase::Enter() {
  SetState(kHot);
  CWidgetAction::HoverWidget(action_.get(), GetOwner(), true, true);
}

void CImageButtonBase::Leave(bool with_sound) {
  SetState(kNormal);
  CWidgetAction::HoverWidget(action_.get(), GetOwner(), false, with_sound);
}

void CImageButtonBase::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  if (state_ == kNormal) Enter();
}

void CImageButtonBase::OnMouseLeave() {
  if (state_ == kHot || state_ == kPressed) Leave(true);
}

bool CImageButtonBase::OnMouseButton(int32_t /*x*/, int32_t /*y*/, CMouse* mouse) {
  if (mouse == nullptr) return false;
  if (state_ == kHot && mouse->IsPressed(kLeftButton)) {
    SetState(kPressed);
    press_due_ = 0;
    return true;
  }
  if (state_ == kPressed && press_due_ == 0 && !mouse->IsDown(kLeftButton)) {
    SetState(kHot);
    Fire();
    return true;
  }
  return false;
}

void CImageButtonBase::OnFocus(CGuiElement* /*previous*/, int /*forward*/) {
  TakeFocus(*this, {GetX() + width_ / 2, GetY() + height_ / 2}, [this] {
    if (state_ == kNormal) Enter();
  });
}

void CImageButtonBase::OnKillFocus(CGuiElement* /*next*/) {
  if (state_ == kHot || state_ == kPressed) Leave(false);
}

bool CImageButtonBase::ProcessInput(CInputBindings* bindings) {
  if (state_ == kHot) {
    press_due_ = 0;
    if (!IsDecidePressed(bindings)) return false;
    if (pressed_flash_) {
      SetState(kPressed);
      press_due_ = ReadMillisecondClock() + kPressedFlash;
    } else {
      Fire();
    }
    return true;
  }
  if (state_ == kPressed) {
    if (press_due_ != 0 && IsPast(press_due_)) {
      SetState(kHot);
      Fire();
      press_due_ = 0;
    }
    return true;
  }
  press_due_ = 0;
  return false;
}

bool CImageButtonBase::Fire() {
  if (GetOwner() == nullptr) return false;
  CWidgetAction::FireWidget(action_.get(), *GetOwner(), GetId());
  return true;
}
