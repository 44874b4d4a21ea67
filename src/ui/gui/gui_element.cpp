#include "ui/gui/gui_element.h"

#include "base/threads/end_watch.h"
#include "ui/gui/gui_window.h"

CGuiElement::~CGuiElement() {
  CEndWatch::Announce(this);
  SetText(nullptr);
  if (owner_ != nullptr) owner_->RemoveChild(this);
}

bool CGuiElement::SetEnabled(bool enabled) {
  if (enabled == enabled_) return false;
  if (!enabled) LeaveOwnerFocusAndHover();
  enabled_ = enabled;
  return true;
}

void CGuiElement::LeaveOwnerFocusAndHover() {
  if (owner_ == nullptr) return;
  if (owner_->IsFocused(this)) owner_->SetFocusTo(nullptr);
  if (owner_->IsHovered(this)) owner_->ClearHover();
}

void CGuiElement::SetText(const char* text) {
  if (!text_.empty() && owner_ != nullptr && owner_->IsHovered(this)) owner_->HideTooltip();
  text_ = text != nullptr ? text : "";
}
