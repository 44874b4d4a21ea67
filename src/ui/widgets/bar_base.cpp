#include "ui/widgets/bar_base.h"

#include <algorithm>

#include "base/input/input_bindings.h"
#include "base/input/keyboard.h"
#include "base/input/mouse.h"
#include "base/time/millisecond_clock.h"
#include "ui/gui/gui_command_listener.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"
#include "ui/widgets/scroll_bar_arrow.h"

namespace {

constexpr uint32_t kLeftButton = 0;
constexpr uint32_t kWheelUp = 3;
constexpr uint32_t kWheelDown = 4;
constexpr uint32_t kKeyHome = 0xC7;
constexpr uint32_t kKeyEnd = 0xCF;
constexpr uint32_t kActionUp = 0;
constexpr uint32_t kActionDown = 1;
constexpr uint32_t kActionLeft = 2;
constexpr uint32_t kActionRight = 3;

bool Reached(uint32_t time) { return static_cast<int32_t>(ReadMillisecondClock() - time) >= 0; }

}  // namespace

CBarBase::CBarBase() = default;

CBarBase::~CBarBase() {
  ReleaseCapture();
  DetachFromWindow();
}

void CBarBase::Notify() const {
  if (listener_ != nullptr) listener_->OnClick(const_cast<CBarBase*>(this), value_);
}

int32_t CBarBase::SetValue(int32_t value) {
  if (range_ < 0 || maximum_ <= 0) return kNoRange;
  value = std::clamp(value, 0, maximum_);
  if (value == value_) return kUnchanged;
  thumb_offset_ = static_cast<int32_t>(static_cast<int64_t>(range_) * value / maximum_);
  PlaceThumb();
  value_ = value;
  Notify();
  UpdateArrows();
  return 0;
}

int32_t CBarBase::SetThumbOffset(int32_t offset) {
  if (range_ < 0 || maximum_ <= 0) return kNoRange;
  offset = std::clamp(offset, 0, range_);
  if (offset == thumb_offset_) return kUnchanged;
  thumb_offset_ = offset;
  PlaceThumb();
  // A thumb as long as its run has no room to move: it stands for the first value.
  value_ = range_ > 0 ? static_cast<int32_t>(static_cast<int64_t>(maximum_) * offset / range_) : 0;
  Notify();
  UpdateArrows();
  return 0;
}

int32_t CBarBase::Step(bool forward) {
  if (range_ < 0 || maximum_ <= 0) {
    if (forward && listener_ != nullptr) listener_->OnEndReached(this);
    return -1;
  }
  int32_t value = forward ? value_ + 1 : std::max(value_ - 1, 0);
  if (value > maximum_) {
    value = value_;
    if (listener_ != nullptr) listener_->OnEndReached(this);
  }
  const auto offset = static_cast<int32_t>(static_cast<int64_t>(range_) * value / maximum_);
  if (offset != thumb_offset_) {
    thumb_offset_ = offset;
    PlaceThumb();
  }
  if (value != value_) {
    value_ = value;
    Notify();
  }
  UpdateArrows();
  return 0;
}

void CBarBase::StepBy(bool forward) {
  if (step_ > 0) {
    SetValue(forward ? value_ + step_ : value_ - step_);
  } else if (step_ < 0) {
    SetThumbOffset(forward ? thumb_offset_ - step_ : thumb_offset_ + step_);
  } else {
    Step(forward);
  }
}

void CBarBase::UpdateArrows() {
  const bool at_start = thumb_offset_ < 1 && value_ < 1;
  if (back_arrow_ != nullptr) back_arrow_->SetEnabled(!at_start);
  if (forward_arrow_ != nullptr) forward_arrow_->SetEnabled(at_start || value_ < maximum_);
}

uint32_t CBarBase::DrawState(int32_t part, uint8_t state) {
  if (part == 0) {
    if (state != press_state_) {
      press_state_ = state;
      ShowBarState(state);
    }
    return 0;
  }
  CScrollBarArrow* arrow = part == 1 ? back_arrow_.get() : forward_arrow_.get();
  if (arrow == nullptr) return static_cast<uint32_t>(part);
  arrow->SetState(state);
  return 0;
}

bool CBarBase::SetEnabled(bool enabled) {
  if (back_arrow_ != nullptr) back_arrow_->SetEnabled(enabled);
  if (forward_arrow_ != nullptr) forward_arrow_->SetEnabled(enabled);
  if (!CGuiElement::SetEnabled(enabled)) return false;
  DrawState(0, enabled ? kNormal : kDisabled);
  return true;
}

int32_t CBarBase::ArrowLength(const CScrollBarArrow* arrow) const {
  if (arrow == nullptr) return 0;
  return vertical_ ? arrow->GetHeight() : arrow->GetWidth();
}

int32_t CBarBase::ArrowsLength() const { return ArrowLength(back_arrow_.get()) + ArrowLength(forward_arrow_.get()); }

void CBarBase::ReleaseArrows() {
  back_arrow_.reset();
  forward_arrow_.reset();
}

int32_t CBarBase::AttachToWindow(CGuiWindow* window, int32_t index) {
  if (window == nullptr) return 1;
  if (window_ != nullptr) return -1;
  window_ = window;
  const auto at = [index](int32_t step) { return index < 0 ? -1 : index + step; };
  if (back_arrow_ != nullptr) window->AddChild(back_arrow_.get(), at(0));
  const auto result = static_cast<int32_t>(window->AddChild(this, at(1)));
  if (forward_arrow_ != nullptr) window->AddChild(forward_arrow_.get(), at(2));
  return result;
}

bool CBarBase::DetachFromWindow() {
  if (window_ == nullptr) return false;
  if (back_arrow_ != nullptr) window_->RemoveChild(back_arrow_.get());
  window_->RemoveChild(this);
  if (forward_arrow_ != nullptr) window_->RemoveChild(forward_arrow_.get());
  window_ = nullptr;
  return true;
}

void CBarBase::TakeCapture() {
  if (GetOwner() == nullptr) return;
  GetOwner()->SetCapture(true);
  capturing_ = true;
}

void CBarBase::ReleaseCapture() {
  if (!capturing_) return;
  capturing_ = false;
  if (GetOwner() == nullptr) return;
  GetOwner()->SetCapture(false);
  GetOwner()->ForgetPointer();
}

void CBarBase::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  if (press_state_ != kNormal) return;
  DrawState(0, kHovered);
  sounds_.Play(GetOwner(), CWidgetSounds::kHover);
}

void CBarBase::OnMouseLeave() {
  ReleaseCapture();
  if (press_state_ != kHovered && press_state_ != kPressed) return;
  DrawState(0, kNormal);
  sounds_.Play(GetOwner(), CWidgetSounds::kLeave);
}

int8_t CBarBase::SideOfThumb(int32_t along) const {
  const int32_t start = (vertical_ ? thumb_origin_y_ : thumb_origin_x_) + thumb_offset_;
  if (along < start) return -1;
  return along < start + thumb_length_ ? 0 : 1;
}

bool CBarBase::PressInTrack(int32_t along, CMouse* mouse) {
  drag_anchor_ = along;
  direction_ = SideOfThumb(along);
  if (direction_ == 0 && click_mode_ == 0) TakeCapture();
  sounds_.Play(GetOwner(), CWidgetSounds::kDecide);
  if (click_mode_ == 0) {
    if (direction_ != 0) {
      if (SetThumbOffset(thumb_offset_ + direction_ * thumb_length_) != 0) return StepByWheel(mouse);
      repeat_time_ = ReadMillisecondClock() + kFirstRepeat;
    }
  } else {
    const int32_t start = vertical_ ? thumb_origin_y_ : thumb_origin_x_;
    const bool off_thumb = direction_ != 0;
    SetThumbOffset(along - start - (thumb_length_ >> 1));
    if (click_mode_ == 1 && off_thumb) {
      ShowThumbAtValue();
      return true;
    }
    direction_ = 0;
    TakeCapture();
  }
  DrawState(0, kPressed);
  return true;
}

void CBarBase::ShowThumbAtValue() {
  if (range_ < 0 || maximum_ <= 0) return;
  const auto offset = static_cast<int32_t>(static_cast<int64_t>(range_) * value_ / maximum_);
  if (offset == thumb_offset_) return;
  thumb_offset_ = offset;
  PlaceThumb();
}

void CBarBase::EndPress() {
  if (click_mode_ != 0) ShowThumbAtValue();
  CGuiWindow* owner = GetOwner();
  const plat::Point last = owner != nullptr ? owner->GetLastPointer() : plat::Point{-1, -1};
  DrawState(0, InBar(last.x, last.y) ? kHovered : kNormal);
}

bool CBarBase::StepByWheel(CMouse* mouse) {
  if (mouse->IsPressed(kWheelUp)) {
    StepBy(false);
    return true;
  }
  if (mouse->IsPressed(kWheelDown)) {
    StepBy(true);
    return true;
  }
  return false;
}

bool CBarBase::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (mouse == nullptr) return false;
  const int32_t along = vertical_ ? y : x;
  if (press_state_ == kHovered && mouse->IsPressed(kLeftButton)) return PressInTrack(along, mouse);
  if (press_state_ != kPressed) return StepByWheel(mouse);
  if (!mouse->IsDown(kLeftButton)) {
    EndPress();
    ReleaseCapture();
    return true;
  }
  if (direction_ == 0) {
    if (SetThumbOffset(thumb_offset_ - drag_anchor_ + along) == 0) drag_anchor_ = along;
    return true;
  }
  if (!Reached(repeat_time_)) return true;
  if (SetThumbOffset(thumb_offset_ + direction_ * thumb_length_) == 0 && SideOfThumb(along) == direction_) {
    sounds_.Play(GetOwner(), CWidgetSounds::kDecide);
    repeat_time_ = ReadMillisecondClock() + kRepeat;
  } else {
    EndPress();
  }
  return true;
}

void CBarBase::OnFocus(CGuiElement* /*previous*/, int /*forward*/) {
  const int32_t start_x = x_ + (vertical_ ? 0 : ArrowLength(back_arrow_.get()));
  const int32_t start_y = y_ + (vertical_ ? ArrowLength(back_arrow_.get()) : 0);
  TakeFocus(*this, {start_x + (bar_width_ >> 1), start_y + (bar_height_ >> 1)}, [this] {
    if (press_state_ != kNormal) return;
    DrawState(0, kHovered);
    sounds_.Play(GetOwner(), CWidgetSounds::kHover);
  });
}

void CBarBase::OnKillFocus(CGuiElement* /*next*/) {
  if (press_state_ == kHovered || press_state_ == kPressed) DrawState(0, kNormal);
}

bool CBarBase::StepByKeys(CInputBindings* bindings) {
  const uint32_t back = vertical_ ? kActionUp : kActionLeft;
  const uint32_t forward = vertical_ ? kActionDown : kActionRight;
  if (bindings->IsActionPressed(back)) {
    StepBy(false);
    return true;
  }
  if (bindings->IsActionPressed(forward)) {
    StepBy(true);
    return true;
  }
  if (page_back_action_ != 0 && bindings->IsActionPressed(page_back_action_)) {
    SetThumbOffset(thumb_offset_ - thumb_length_);
    return true;
  }
  if (page_forward_action_ != 0 && bindings->IsActionPressed(page_forward_action_)) {
    SetThumbOffset(thumb_offset_ + thumb_length_);
    return true;
  }
  return false;
}

bool CBarBase::ProcessInput(CInputBindings* bindings) {
  if (bindings != nullptr && StepByKeys(bindings)) return true;
  CKeyboard* keyboard = GetOwner() != nullptr ? GetOwner()->GetKeyboard() : nullptr;
  if (keyboard == nullptr) return false;
  if (keyboard->IsPressed(kKeyHome)) {
    SetThumbOffset(0);
    return true;
  }
  if (keyboard->IsPressed(kKeyEnd)) {
    SetThumbOffset(range_);
    return true;
  }
  return false;
}
