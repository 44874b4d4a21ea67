#include "ui/widgets/push_button.h"

void CPushButton::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  box_.SetEnabled(active);
}

void CPushButton::SetPriority(uint32_t priority, uint32_t key, uint32_t /*key3*/) {
  const bool joins = !box_.IsListed();
  if (box_.SetPriority(priority, key) == 0 && joins) group_ = static_cast<int32_t>(key);
}

bool CPushButton::SetEnabled(bool enabled) {
  if (!CGuiElement::SetEnabled(enabled)) return false;
  SetState(kNormal);
  return true;
}

bool CPushButton::HitTest(int32_t x, int32_t y) const {
  return static_cast<uint32_t>(x - GetX()) < static_cast<uint32_t>(width_) &&
         static_cast<uint32_t>(y - GetY()) < static_cast<uint32_t>(height_);
}

uint32_t CPushButton::Create(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t width, int32_t height,
                             uint32_t normal_colour, uint32_t hot_colour, uint32_t pressed_colour, int32_t group) {
  if (list == nullptr || width <= 0 || height <= 0) return 1;
  if (list != box_.GetList()) Release();
  box_.UseList(list);
  const uint32_t given[3] = {normal_colour, hot_colour, pressed_colour};
  for (size_t state = 0; state < 3; ++state) {
    if (given[state] != kKeepColour) colours_[state] = given[state];
  }
  box_.Show(nullptr, {0, 0, width, height}, x, y, 0, box_.GetOpacity());
  width_ = width;
  height_ = height;
  group_ = group;
  box_.SetPriority(priority, static_cast<uint32_t>(group));
  ShowState();
  return 0;
}

uint32_t CPushButton::Resize(int32_t width, int32_t height) {
  if (box_.GetList() == nullptr) return 1;
  if (width > 0) width_ = width;
  if (height > 0) height_ = height;
  box_.SetSize(width_, height_);
  return 0;
}

void CPushButton::Release() {
  box_.Leave();
  width_ = 0;
}

void CPushButton::ShowState() {
  colour_ = colours_[GetState()];
  box_.SetColour(colour_);
}
