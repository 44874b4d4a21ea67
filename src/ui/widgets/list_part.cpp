#include "ui/widgets/list_part.h"

#include "base/input/mouse.h"
#include "base/numbers/bit_array.h"
#include "base/time/millisecond_clock.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"

namespace {

constexpr uint32_t kLeftButton = 0;
constexpr int32_t kCursorNormal = 0;
constexpr int32_t kCursorItem = 1;
constexpr int32_t kCursorDrag = 3;

std::string TextOrEmpty(const char* text) { return text != nullptr ? std::string(text) : std::string(); }
const char* NullIfEmpty(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

bool NeedsRecord(const CListPart::ItemSetup& s) {
  const auto given = [](const char* text) { return text != nullptr && *text != '\0'; };
  return s.disabled || s.value >= 0 || s.action_value != -1 || given(s.text) || given(s.first_action) ||
         given(s.second_action) || given(s.tooltip) || s.chosen_flag != nullptr || s.hover_flag != nullptr ||
         s.idle_flag != nullptr;
}

void SetFlag(int32_t* flag, int32_t value) {
  if (flag != nullptr) *flag = value;
}

}  // namespace

CListPart::~CListPart() { ClearItems(); }

const CListItem* CListPart::GetItem(int32_t index) const {
  return index >= 0 && index < GetItemCount() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

const CListItem& CListPart::ItemOrBlank(int32_t index) const {
  static const CListItem kBlank;
  const CListItem* item = GetItem(index);
  return item != nullptr ? *item : kBlank;
}

bool CListPart::IsItemDisabled(int32_t index) const {
  const CListItem* item = GetItem(index);
  return item != nullptr && item->disabled;
}

bool CListPart::IsChosenValue(int32_t value) const {
  return show_chosen_ && choice_record_ != nullptr && choice_record_->TestBit(static_cast<uint32_t>(choice_base_ + value));
}

void CListPart::ClearItems() {
  CGuiWindow* owner = GetOwner();
  if (owner != nullptr && owner->IsHovered(this)) owner->HideTooltip();
  tooltip_ = nullptr;
  items_.clear();
  hovered_ = -1;
  press_state_ = 0;
}

uint32_t CListPart::SetChoiceRecord(CBitArray* record, int32_t base, DecisionSink on_decided) {
  choice_record_ = record;
  choice_base_ = base;
  on_decided_ = std::move(on_decided);
  return 0;
}

uint32_t CListPart::CopyChoiceRecord(const CListPart* other) {
  if (other == nullptr) return 1;
  choice_record_ = other->choice_record_;
  choice_base_ = other->choice_base_;
  on_decided_ = other->on_decided_;
  show_chosen_ = other->show_chosen_;
  return 0;
}

uint32_t CListPart::SetSounds(const char* decide, const char* hover, const char* leave, int32_t decide_number,
                              int32_t hover_number, int32_t leave_number) {
  sounds_.Set(decide, hover, leave, decide_number, hover_number, leave_number);
  return 0;
}

void CListPart::SetItemColors(uint32_t normal, uint32_t chosen, uint32_t hover, uint32_t disabled) {
  text_colours_ = {normal, chosen, hover, disabled};
}

void CListPart::SetGradientColors(uint32_t normal_top, uint32_t normal_bottom, uint32_t chosen_top,
                                  uint32_t chosen_bottom, uint32_t hover_top, uint32_t hover_bottom,
                                  uint32_t disabled_top, uint32_t disabled_bottom) {
  gradients_ = {{normal_top, normal_bottom},
                {chosen_top, chosen_bottom},
                {hover_top, hover_bottom},
                {disabled_top, disabled_bottom}};
}

void CListPart::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  margins_ = {left, top, right, bottom};
}

uint32_t CListPart::AddItem(const ItemSetup& setup) {
  std::unique_ptr<CListItem> item;
  if (NeedsRecord(setup)) {
    item = std::make_unique<CListItem>();
    item->text = TextOrEmpty(setup.text);
    item->disabled = setup.disabled;
    item->value = setup.value;
    item->first_action = TextOrEmpty(setup.first_action);
    item->action_value = setup.action_value;
    item->second_action = TextOrEmpty(setup.second_action);
    item->chosen_flag = setup.chosen_flag;
    item->hover_flag = setup.hover_flag;
    item->idle_flag = setup.idle_flag;
    item->tooltip = TextOrEmpty(setup.tooltip);
  }
  items_.push_back(std::move(item));
  if (GetOwner() != nullptr) GetOwner()->GetMousePos(add_x_, add_y_);
  hover_suppressed_ = true;
  SetLocked(false);
  return 0;
}

bool CListPart::SelectItem(int32_t index) {
  CListItem* item = index >= 0 && index < GetItemCount() ? items_[static_cast<size_t>(index)].get() : nullptr;
  if (index >= 0 && index < GetItemCount()) {
    const int32_t value = item != nullptr && item->value >= 0 ? item->value : index;
    if (choice_record_ != nullptr) choice_record_->SetBit(static_cast<uint32_t>(choice_base_ + value), true);
    if (on_decided_) on_decided_(static_cast<uint32_t>(value));
  }
  CGuiWindow* owner = GetOwner();
  if (owner != nullptr && GetId() >= 0) owner->OnCommand(index >= 0 ? GetId() + index : GetId());
  SetLocked(true);
  sounds_.Play(owner, CWidgetSounds::kDecide);
  if (item != nullptr) {
    SetFlag(item->chosen_flag, 1);
    if (owner != nullptr && (!item->second_action.empty() || !item->first_action.empty() || item->action_value != 0)) {
      owner->OnAction(NullIfEmpty(item->second_action), NullIfEmpty(item->first_action),
                      static_cast<uint32_t>(item->action_value));
    }
  }
  return true;
}

void CListPart::LeaveHoveredForMove() {
  if (hovered_ < 0) return;
  CGuiWindow* owner = GetOwner();
  if (tooltip_ != nullptr && owner != nullptr) {
    owner->HideTooltip();
    owner->RestartHoverTimer();
  }
  LeaveItem(hovered_);
}

bool CListPart::MoveHoverTo(int32_t index) {
  CGuiWindow* owner = GetOwner();
  const uint8_t mode = owner != nullptr ? owner->GetFocusPointerMode() : 0;
  if (mode == 1) {
    int32_t x = 0;
    int32_t y = 0;
    if (GetItemPoint(index, x, y)) owner->SetMousePos(x, y);
    return true;
  }
  if (owner != nullptr && owner->IsHovered(this)) owner->ClearHover();
  LeaveHoveredForMove();
  hovered_ = EnterItem(index) ? index : -1;
  if (mode == 2) owner->ParkPointer();
  return true;
}

bool CListPart::EnterItem(int32_t index) {
  DrawItem(index, kItemHovered);
  press_state_ = 1;
  sounds_.Play(GetOwner(), CWidgetSounds::kHover);
  const CListItem* item = GetItem(index);
  if (item != nullptr) {
    SetFlag(item->hover_flag, 1);
    SetFlag(item->idle_flag, 0);
    if (!item->tooltip.empty()) tooltip_ = item->tooltip.c_str();
  }
  return true;
}

void CListPart::LeaveItem(int32_t index) {
  DrawItem(index, kItemNormal);
  press_state_ = 0;
  sounds_.Play(GetOwner(), CWidgetSounds::kLeave);
  const CListItem* item = GetItem(index);
  if (item != nullptr) {
    SetFlag(item->hover_flag, 0);
    SetFlag(item->idle_flag, 1);
  }
  tooltip_ = nullptr;
}

void CListPart::DropHover() {
  if (!locked_ && hovered_ >= 0) {
    LeaveItem(hovered_);
    hovered_ = -1;
  }
}

bool CListPart::HitTest(int32_t x, int32_t y) const {
  // The window asks every frame the pointer moves; the list follows a drag and the resting
  // pointer through these questions, so the answer updates its state.
  auto& self = const_cast<CListPart&>(*this);
  CGuiWindow* owner = GetOwner();
  if (dragging_) {
    CMouse* mouse = owner != nullptr ? owner->GetMouse() : nullptr;
    if (mouse != nullptr && mouse->IsDown(kLeftButton)) {
      self.SetPosition(x - drag_x_, y - drag_y_);
      return true;
    }
    self.dragging_ = false;
  }
  const int32_t rx = x - GetX();
  const int32_t ry = y - GetY();
  if (drag_alpha_ != 0 && IsInDragArea(rx, ry)) {
    self.DropHover();
    if (owner != nullptr) owner->SetCursorMode(kCursorDrag);
    return true;
  }
  if (locked_) return false;
  if (hover_suppressed_ && (x < add_x_ - kRestingSlack || x > add_x_ + kRestingSlack ||
                            y < add_y_ - kRestingSlack || y > add_y_ + kRestingSlack)) {
    self.hover_suppressed_ = false;
  }
  if (ItemAt(rx, ry) < 0) return false;
  if (owner != nullptr) owner->SetCursorMode(kCursorItem);
  return true;
}

void CListPart::OnMouseMove(int32_t x, int32_t y) {
  CGuiWindow* owner = GetOwner();
  if (locked_) {
    if (owner != nullptr && owner->GetCursorMode() == kCursorItem) owner->SetCursorMode(kCursorNormal);
    return;
  }
  if (drag_alpha_ != 0 && IsInDragArea(x, y)) return;
  const int32_t index = ItemAt(x, y);
  if (index == hovered_ || ClickReleasedOnItem()) return;
  LeaveHoveredForMove();
  hovered_ = index >= 0 && EnterItem(index) ? index : -1;
}

bool CListPart::OnMouseButton(int32_t x, int32_t y, CMouse* mouse) {
  if (drag_alpha_ != 0 && IsInDragArea(x, y)) {
    drag_x_ = x;
    drag_y_ = y;
    dragging_ = true;
    return true;
  }
  if (mouse == nullptr) return false;
  if (press_state_ == 1) {
    if (!mouse->IsPressed(kLeftButton) || locked_ || hover_suppressed_ || hovered_ < 0) return false;
    DrawItem(hovered_, kItemPressed);
    press_state_ = 2;
    press_due_ = 0;
    return true;
  }
  if (press_state_ == 2 && press_due_ == 0 && !mouse->IsDown(kLeftButton)) {
    press_state_ = 1;
    SelectItem(hovered_);
    return true;
  }
  return false;
}

bool CListPart::ClickReleasedOnItem() {
  if (press_state_ != 2 || press_due_ != 0 || hovered_ < 0 || locked_) return false;
  CGuiWindow* owner = GetOwner();
  CMouse* mouse = owner != nullptr ? owner->GetMouse() : nullptr;
  if (mouse == nullptr || mouse->IsDown(kLeftButton)) return false;
  press_state_ = 1;
  SelectItem(hovered_);
  return true;
}

void CListPart::OnMouseLeave() {
  dragging_ = false;
  if (ClickReleasedOnItem()) return;
  DropHover();
  if (GetOwner() != nullptr) GetOwner()->SetCursorMode(kCursorNormal);
}

void CListPart::OnKillFocus(CGuiElement* /*next*/) {
  dragging_ = false;
  DropHover();
  CGuiWindow* owner = GetOwner();
  if (owner != nullptr && owner->GetCursorMode() != kCursorNormal) owner->SetCursorMode(kCursorNormal);
}

int32_t CListPart::NextSelectable(int32_t from, int32_t step) const {
  for (int32_t i = from; i >= 0 && i < GetItemCount(); i += step) {
    if (!IsItemDisabled(i)) return i;
  }
  return -1;
}

int32_t CListPart::EndSelectable(bool forward) const {
  return forward ? NextSelectable(0, 1) : NextSelectable(GetItemCount() - 1, -1);
}

void CListPart::OnFocus(CGuiElement* /*previous*/, int forward) {
  const int32_t first = EndSelectable(forward != 0);
  if (!locked_ && first >= 0) {
    MoveHoverTo(first);
    return;
  }
  PassFocusOn(*this, passing_focus_, forward);
}

bool CListPart::MoveByTab(uint8_t direction) {
  hover_suppressed_ = false;
  const bool forward = direction == CGuiWindow::kTabForward;
  const int32_t next = hovered_ < 0 ? -1 : NextSelectable(hovered_ + (forward ? 1 : -1), forward ? 1 : -1);
  if (next >= 0 && MoveHoverTo(next)) return true;
  CGuiWindow* owner = GetOwner();
  if (arrows_keep_focus_ && !owner->IsTabPressed()) {
    // Past the first or last item the hover stays; with none hovered, a forward move comes to
    // the first item and a backward one to the last.
    if (const int32_t end = EndSelectable(forward); hovered_ < 0 && end >= 0) MoveHoverTo(end);
    return true;
  }
  const int32_t moved = forward ? owner->FocusNext() : owner->FocusPrevious();
  if (moved != 0) OnFocus(nullptr, forward ? 1 : 0);
  return true;
}

bool CListPart::ProcessInput(CInputBindings* bindings) {
  CGuiWindow* owner = GetOwner();
  if (locked_ || owner == nullptr) return false;
  const uint8_t tab = owner->ClassifyTabKey(bindings);
  if (tab == CGuiWindow::kTabBackward || tab == CGuiWindow::kTabForward) return MoveByTab(tab);
  if (hovered_ < 0) return false;
  if (press_state_ == 1) {
    press_due_ = 0;
    if (!IsDecidePressed(bindings)) return false;
    if (pressed_frame_) {
      DrawItem(hovered_, kItemPressed);
      press_state_ = 2;
      press_due_ = ReadMillisecondClock() + kPressedFlash;
    } else {
      SelectItem(hovered_);
    }
    return true;
  }
  if (press_state_ == 2 && press_due_ != 0) {
    if (IsPast(press_due_)) {
      press_state_ = 1;
      SelectItem(hovered_);
      press_due_ = 0;
    }
    return true;
  }
  press_due_ = 0;
  return false;
}

void CListPart::RedrawItems() {
  for (int32_t index = 0; index < GetItemCount(); ++index) DrawItem(index, index == hovered_ ? kItemHovered : kItemNormal);
}
