#include "ui/gui/gui_window.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "base/input/input_bindings.h"
#include "base/input/keyboard.h"
#include "ui/gui/gui_element.h"

namespace {

constexpr uint32_t kKeyTab = 0x0F;
constexpr uint32_t kKeyLeftShift = 0x2A;
constexpr uint32_t kKeyRightShift = 0x36;
constexpr uint32_t kActionUp = 0;
constexpr uint32_t kActionDown = 1;
constexpr uint32_t kActionLeft = 2;
constexpr uint32_t kActionRight = 3;

}  // namespace

CGuiWindow::~CGuiWindow() {
  while (PopModalLevel() == 0) {
  }
  RemoveAll();
}

bool CGuiWindow::IsFocusable(const CGuiElement* element) { return element->IsEnabled() && element->IsActive(); }

void CGuiWindow::SetFocus(CGuiElement* element, int forward) {
  if (element == focused_) return;
  CGuiElement* previous = focused_;
  focused_ = element;
  ClearHover();
  if (previous != nullptr) previous->OnKillFocus(element);
  if (element != nullptr) element->OnFocus(previous, forward);
}

int32_t CGuiWindow::SetFocusTo(CGuiElement* element) {
  if (children_.empty()) return kListEmpty;
  if (element == nullptr) {
    SetFocus(nullptr, 1);
    return 0;
  }
  if (std::find(children_.begin(), children_.end(), element) == children_.end()) return kNotInList;
  if (!IsFocusable(element)) return kNotFocusable;
  SetFocus(element, 1);
  return 0;
}

// The search from the child after the focused one (or the first) to the end, then from the
// first up to the focused one, over the list in the iterators' direction.
template <typename Iterator>
int32_t CGuiWindow::SearchFocus(Iterator begin, Iterator end, int forward) {
  if (begin == end) return kListEmpty;
  const Iterator focused = std::find(begin, end, focused_);
  const Iterator start = focused == end ? begin : std::next(focused);
  Iterator found = std::find_if(start, end, IsFocusable);
  if (found == end) {
    if (focused == end) return kNothingFocusable;
    found = std::find_if(begin, focused, IsFocusable);
    if (found == focused) return kFocusWrappedToSelf;
  }
  SetFocus(*found, forward);
  return 0;
}

int32_t CGuiWindow::FocusNext() { return SearchFocus(children_.begin(), children_.end(), 1); }

int32_t CGuiWindow::FocusPrevious() { return SearchFocus(children_.rbegin(), children_.rend(), 0); }

bool CGuiWindow::ClearHover() {
  if (hovered_ == nullptr) return false;
  CGuiElement* left = hovered_;
  hovered_ = nullptr;
  left->OnMouseLeave();
  HideTooltip();
  return true;
}

uint32_t CGuiWindow::HideTooltip() {
  if (!tooltip_shown_) return 0;
  const uint32_t result = HideTooltipImage();
  tooltip_shown_ = false;
  hover_start_ = 0;
  return result;
}

void CGuiWindow::SetTooltipMode(bool enabled, uint32_t delay, uint32_t duration) {
  tooltips_enabled_ = enabled;
  tooltip_delay_ = delay;
  tooltip_duration_ = duration;
  if (!enabled) HideTooltip();
}

void CGuiWindow::RemoveAll() {
  if (children_.empty()) return;
  SetFocus(nullptr, 1);
  ClearHover();
  last_x_ = -1;
  last_y_ = -1;
  for (CGuiElement* child : children_) child->owner_ = nullptr;
  children_.clear();
}

uint32_t CGuiWindow::AddChild(CGuiElement* element, int32_t index) {
  if (element == nullptr) return kNullElement;
  if (element->owner_ != nullptr) return kHasOwner;
  auto place = children_.end();
  if (index >= 0 && static_cast<size_t>(index) < children_.size()) place = std::next(children_.begin(), index);
  try {
    children_.insert(place, element);
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  }
  element->owner_ = this;
  return 0;
}

void CGuiWindow::RemoveChild(CGuiElement* element) {
  if (element == nullptr) return;
  if (IsHovered(element)) ClearHover();
  ChildList* holder = &children_;
  auto found = std::find(children_.begin(), children_.end(), element);
  for (auto level = saved_levels_.begin(); found == holder->end() && level != saved_levels_.end(); ++level) {
    holder = &*level;
    found = std::find(holder->begin(), holder->end(), element);
  }
  if (found == holder->end()) return;
  if (IsFocused(element)) {
    element->OnKillFocus(element);
    focused_ = nullptr;
  }
  holder->erase(found);
  element->owner_ = nullptr;
}

uint32_t CGuiWindow::PushModalLevel() {
  if (children_.empty()) return 1;
  Reset();
  saved_levels_.push_back(std::move(children_));
  children_.clear();
  return 0;
}

uint32_t CGuiWindow::PopModalLevel() {
  if (saved_levels_.empty()) return 1;
  RemoveAll();
  children_ = std::move(saved_levels_.back());
  saved_levels_.pop_back();
  // A screen usually deletes its widgets before it pops, which leaves RemoveAll nothing to do;
  // the pointer history is forgotten either way, so that the next input step finds the restored
  // child under a pointer that has not moved since the level was pushed.
  ForgetPointer();
  return 0;
}

void CGuiWindow::Reset() {
  SetFocus(nullptr, 1);
  ClearHover();
  hover_start_ = 0;
  last_x_ = -1;
  last_y_ = -1;
}

void CGuiWindow::SetActive(bool active) {
  Reset();
  active_ = active;
}

bool CGuiWindow::IsTabPressed() {
  const CKeyboard* keyboard = GetKeyboard();
  return keyboard != nullptr && keyboard->IsPressed(kKeyTab);
}

uint8_t CGuiWindow::ClassifyTabKey(CInputBindings* bindings) {
  const CKeyboard* keyboard = GetKeyboard();
  if (keyboard == nullptr || bindings == nullptr) return kTabNone;
  const bool tab = IsTabPressed();
  if (bindings->IsActionPressed(kActionUp) || bindings->IsActionPressed(kActionLeft)) return kTabBackward;
  if ((keyboard->IsDown(kKeyRightShift) || keyboard->IsDown(kKeyLeftShift)) && tab) return kTabBackward;
  if (bindings->IsActionPressed(kActionDown) || bindings->IsActionPressed(kActionRight)) return kTabForward;
  return tab ? kTabForward : kTabNone;
}

bool CGuiWindow::MoveFocus(CGuiElement* element, uint8_t direction) {
  int32_t result;
  if (direction == kTabBackward) {
    result = FocusPrevious();
  } else if (direction == kTabForward) {
    result = FocusNext();
  } else {
    return false;
  }
  if (result == 0) return true;
  if (result != kFocusWrappedToSelf || element == nullptr) return false;
  element->OnFocus(element, direction == kTabForward ? 1 : 0);
  return true;
}

CGuiElement* CGuiWindow::HitChild(int32_t x, int32_t y) const {
  const auto hit = std::find_if(children_.begin(), children_.end(), [x, y](const CGuiElement* child) {
    return child->IsEnabled() && child->IsActive() && child->HitTest(x, y);
  });
  return hit == children_.end() ? nullptr : *hit;
}

void CGuiWindow::TrackPointer(uint32_t time, int32_t x, int32_t y) {
  if (hover_start_ != 0) hover_start_ = time;  // the delay counts from the last movement
  last_x_ = x;
  last_y_ = y;
  if (!capture_) {
    CGuiElement* hit = HitChild(x, y);
    if (hit != hovered_) {
      if (hovered_ != nullptr) hovered_->OnMouseLeave();
      if (focused_ != nullptr && focused_ != hit) focused_->OnMouseLeave();
      hovered_ = hit;
      if (hit != nullptr) hit->OnMouseEnter();
      HideTooltip();
      hover_start_ = time;
    }
  }
  if (hovered_ != nullptr) hovered_->OnMouseMove(x - hovered_->GetX(), y - hovered_->GetY());
}

void CGuiWindow::TimeTooltip(uint32_t time, int32_t x, int32_t y) {
  const uint32_t elapsed = time - hover_start_;
  const char* text = hovered_->GetText();
  if (text != nullptr && !tooltip_shown_ && tooltips_enabled_ && hover_start_ != 0) {
    if (elapsed >= tooltip_delay_ && (tooltip_duration_ == 0 || elapsed <= tooltip_delay_ + tooltip_duration_)) {
      ShowTooltip(text, x, y);
      tooltip_shown_ = true;
    }
  } else if (tooltip_shown_ && tooltip_duration_ != 0 && elapsed > tooltip_delay_ + tooltip_duration_) {
    HideTooltip();
  }
}

bool CGuiWindow::MoveToNeighbour(CInputBindings* bindings) {
  for (uint32_t action = kActionUp; action <= kActionRight; ++action) {
    CGuiElement* neighbour = focused_->GetNeighbour(action);
    if (neighbour != nullptr && bindings->IsActionPressed(action) && SetFocusTo(neighbour) == 0) return true;
  }
  return false;
}

int32_t CGuiWindow::ProcessInput(uint32_t time) {
  if (!active_) return Finish(kInputRefused);
  int32_t x = 0;
  int32_t y = 0;
  GetMousePos(x, y);
  bool moved = x != last_x_ || y != last_y_;
  if (!BeginInput(time, moved, x, y)) return Finish(kInputRefused);
  if (moved) {
    TrackPointer(time, x, y);
  } else if (hovered_ != nullptr) {
    TimeTooltip(time, x, y);
  }
  if (hovered_ != nullptr && hovered_->OnMouseButton(x - hovered_->GetX(), y - hovered_->GetY(), GetMouse())) {
    HideTooltip();
    return Finish(kInputMouseButton);
  }
  if (DeliverTextInput(focused_)) return Finish(kInputText);
  CInputBindings* bindings = GetInputBindings();
  if (focused_ != nullptr) {
    if (focused_->ProcessInput(bindings)) return Finish(kInputFocusedChild);
    if (bindings != nullptr && focused_ != nullptr && MoveToNeighbour(bindings)) return Finish(kInputFocusMoved);
  }
  if (MoveFocus(focused_, ClassifyTabKey(bindings))) return Finish(kInputFocusMoved);
  return Finish(kInputNothing);
}
