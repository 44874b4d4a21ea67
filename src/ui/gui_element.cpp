#include "ui/gui_element.h"

#include "ui/gui_window.h"

CGuiElement::~CGuiElement() {
  SetText(nullptr);
  if (owner_ != nullptr) owner_->RemoveChild(this);
}

bool CGuiElement::SetEnabled(bool enabled) {
  if (enabled == enabled_) return false;
  if (!enabled && owner_ != nullptr) {
    if (owner_->IsFocused(this)) owner_->SetFocusTo(nullptr);
    if (owner_->IsHovered(this)) owner_->ClearHover();
  }
  enabled_ = enabled;
  return true;
}

void CGuiElement::SetText(const char* text) {
  if (!text_.empty() && owner_ != nullptr && owner_->IsHovered(this)) owner_->HideTooltip();
  text_ = text != nullptr ? text : "";
}
