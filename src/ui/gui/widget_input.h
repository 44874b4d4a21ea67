// Input steps that the buttons and click areas share: the decide action, the end of the pressed
// flash, and what a widget does with the pointer when it gains the focus from the keys.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"
#include "ui/gui/gui_element.h"
#include "ui/gui/gui_window.h"

class CInputBindings;

// The bound action that decides (clicks) the focused widget.
inline constexpr uint32_t kDecideAction = 4;

// True when the decide action went down this frame.
bool IsDecidePressed(const CInputBindings* bindings);

// True when the millisecond clock has passed the due time.
bool IsPast(uint32_t due);

// A widget that cannot hold the focus hands it on to the next (or previous) element of its owner.
// `passing` guards against a round in which every element hands it on: the widget that is handed
// the focus again while it is passing it ends with no element focused.
void PassFocusOn(CGuiElement& element, bool& passing, int forward);

// By the owner's focus pointer mode: 1 moves the pointer to `point` and nothing else; otherwise
// the widget takes the hover look (`take_hover`), and mode 2 parks the pointer.
template <typename TakeHover>
void TakeFocus(CGuiElement& element, plat::Point point, TakeHover take_hover) {
  CGuiWindow* owner = element.GetOwner();
  const uint8_t mode = owner != nullptr ? owner->GetFocusPointerMode() : 0;
  if (mode == 1) {
    owner->SetMousePos(point.x, point.y);
    return;
  }
  take_hover();
  if (mode == 2) owner->ParkPointer();
}
