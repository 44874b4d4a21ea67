#include "ui/widgets/sprite_widget.h"

#include "ui/gui/widget_input.h"

void CSpriteWidget::SetActive(bool active) {
  if (!active) LeaveOwnerFocusAndHover();
  face_.SetEnabled(active);
}

void CSpriteWidget::SetPriority(uint32_t priority, uint32_t group, uint32_t /*keep_if_same*/) {
  if (list_ == nullptr) return;
  const bool joins = !face_.IsListed();
  face_.UseList(list_);
  if (face_.SetPriority(priority, group) == 0 && joins) group_ = static_cast<int32_t>(group);
  priority_ = priority;
}

void CSpriteWidget::OnFocus(CGuiElement* /*previous*/, int /*forward*/) {
  TakeFocus(*this, {GetX() + GetWidth() / 2, GetY() + GetHeight() / 2}, [] {});
}
