#include "ui/gui/widget_input.h"

#include "base/input/input_bindings.h"
#include "base/time/millisecond_clock.h"

bool IsDecidePressed(const CInputBindings* bindings) {
  return bindings != nullptr && bindings->IsActionPressed(kDecideAction);
}

bool IsPast(uint32_t due) { return static_cast<int32_t>(ReadMillisecondClock() - due) > 0; }

void PassFocusOn(CGuiElement& element, bool& passing, int forward) {
  CGuiWindow* owner = element.GetOwner();
  if (owner == nullptr) return;
  if (passing) {
    owner->SetFocusTo(nullptr);
    return;
  }
  passing = true;
  const int32_t moved = forward != 0 ? owner->FocusNext() : owner->FocusPrevious();
  if (moved != 0) owner->SetFocusTo(nullptr);
  passing = false;
}
