#include "ui/widgets/choice_button.h"

#include "base/input/mouse.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"

namespace {

constexpr uint32_t kLeftButton = 0;

}  // namespace

CChoiceButton::~CChoiceButton() { ClearItemActions(); }

uint32_t CChoiceButton::Create(const char* map_file, uint8_t item_count, int32_t x, int32_t y, bool can_fire,
                               int32_t group) {
  if (item_count == 0) return 1;
  if (map_file == nullptr || map_.LoadFile(map_file, nullptr, 0, 0) != 0) return 2;
  ClearItemActions();
  items_.clear();
  items_.resize(item_count);
  hot_item_ = -1;
  hit_item_ = -1;
  state_ = kIdle;
  x_ = x;
  y_ = y;
  can_fire_ = can_fire;
  group_ = group;
  return 0;
}

uint32_t CChoiceButton::SetItemEnabled(int32_t index, bool enabled) {
  if (items_.empty()) return 1;
  if (!IsValid(index)) return 2;
  items_[static_cast<size_t>(index)].enabled = enabled;
  return 0;
}

uint32_t CChoiceButton::SetItemAction(int32_t index, const ItemAction& action) {
  if (items_.empty()) return 1;
  if (!IsValid(index)) return 2;
  Item& item = items_[static_cast<size_t>(index)];
  CWidgetAction::Setup setup;
  setup.name1 = action.name1;
  setup.value = action.value;
  setup.name2 = action.name2;
  setup.fired_flag = action.fired_flag;
  setup.hover_flag = action.hover_flag;
  setup.unhover_flag = action.unhover_flag;
  item.action = std::make_unique<CWidgetAction>(setup);
  item.text = action.text != nullptr ? action.text : "";
  return 0;
}

void CChoiceButton::ClearItemActions() {
  if (GetOwner() != nullptr && GetOwner()->IsHovered(this)) GetOwner()->HideTooltip();
  current_text_.clear();
  for (Item& item : items_) {
    item.action.reset();
    item.text.clear();
  }
}

void CChoiceButton::SetSounds(const char* decide, const char* enter, const char* leave, int32_t decide_id,
                              int32_t enter_id, int32_t leave_id) {
  CWidgetAction::Setup setup;
  setup.decide_sound = decide;
  setup.enter_sound = enter;
  setup.leave_sound = leave;
  setup.decide_id = decide_id;
  setup.enter_id = enter_id;
  setup.leave_id = leave_id;
  sounds_ = CWidgetAction(setup);
}

uint32_t CChoiceButton::SetChoice(int32_t index) {
  CGuiWindow* owner = GetOwner();
  if (owner == nullptr || items_.empty() || locked_ || !IsValid(index)) return 1;
  if (!items_[static_cast<size_t>(index)].enabled) return 2;
  if (!owner->IsFocused(this)) {
    owner->SetFocusTo(this);
    if (!owner->IsFocused(this)) return 1;
  }
  SelectItem(index);
  return 0;
}

bool CChoiceButton::Fire(int32_t index) {
  CGuiWindow* owner = GetOwner();
  if (!can_fire_ || owner == nullptr) return false;
  const CWidgetAction* action = nullptr;
  if (GetId() >= 0) {
    owner->OnCommand(index >= 0 ? GetId() + index : GetId());
    if (IsValid(index)) action = items_[static_cast<size_t>(index)].action.get();
  }
  SetLocked(true);
  CWidgetAction::PlayEventSound(&sounds_, *owner, CWidgetAction::Event::kDecide);
  if (action != nullptr) action->Fire(owner);
  return true;
}

void CChoiceButton::ItemEnter(int32_t index) {
  state_ = kItemHot;
  if (GetOwner() != nullptr) CWidgetAction::PlayEventSound(&sounds_, *GetOwner(), CWidgetAction::Event::kEnter);
  const Item& item = items_[static_cast<size_t>(index)];
  if (item.action == nullptr) return;
  item.action->SetHover(true);
  if (!item.text.empty()) current_text_ = item.text;
}

void CChoiceButton::ItemLeave(int32_t index) {
  state_ = kIdle;
  if (GetOwner() != nullptr) CWidgetAction::PlayEventSound(&sounds_, *GetOwner(), CWidgetAction::Event::kLeave);
  const Item& item = items_[static_cast<size_t>(index)];
  if (item.action != nullptr) item.action->SetHover(false);
  current_text_.clear();
}

void CChoiceButton::LeaveHotItem() {
  if (!current_text_.empty() && GetOwner() != nullptr) {
    GetOwner()->HideTooltip();
    GetOwner()->RestartHoverTimer();
  }
  ItemLeave(hot_item_);
}

bool CChoiceButton::SelectItem(int32_t index) {
  CGuiWindow* owner = GetOwner();
  const uint8_t mode = owner != nullptr ? owner->GetFocusPointerMode() : 0;
  if (owner != nullptr && owner->IsHovered(this)) owner->ClearHover();
  if (mode == 2 && hot_item_ >= 0) LeaveHotItem();
  ItemEnter(index);
  hot_item_ = index;
  if (mode == 2) owner->ParkPointer();
  return true;
}

bool CChoiceButton::HitTest(int32_t x, int32_t y) const {
  if (items_.empty()) return false;
  hit_item_ = -1;
  const int32_t dx = x - x_;
  const int32_t dy = y - y_;
  if (static_cast<uint32_t>(dx) >= static_cast<uint32_t>(map_.GetWidth()) ||
      static_cast<uint32_t>(dy) >= static_cast<uint32_t>(map_.GetHeight())) {
    return false;
  }
  const uint32_t value = map_.GetPixel(dx, dy);
  if (value >= items_.size() || !items_[value].enabled) return false;
  hit_item_ = static_cast<int32_t>(value);
  return true;
}

void CChoiceButton::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  if (locked_ || hit_item_ == hot_item_) return;
  if (hot_item_ >= 0) LeaveHotItem();
  if (hit_item_ >= 0) ItemEnter(hit_item_);
  hot_item_ = hit_item_;
}

void CChoiceButton::OnMouseLeave() {
  if (locked_ || hot_item_ < 0) return;
  ItemLeave(hot_item_);
  hot_item_ = -1;
}

bool CChoiceButton::OnMouseButton(int32_t /*x*/, int32_t /*y*/, CMouse* mouse) {
  if (mouse == nullptr) return false;
  if (state_ == kItemHot && mouse->IsPressed(kLeftButton) && !locked_ && hot_item_ >= 0) {
    state_ = kItemPressed;
    return true;
  }
  if (state_ == kItemPressed && !mouse->IsDown(kLeftButton)) {
    state_ = kItemHot;
    Fire(hot_item_);
    return true;
  }
  return false;
}

int32_t CChoiceButton::FindEnabled(int32_t from, int32_t step) const {
  for (int32_t index = from; IsValid(index); index += step) {
    if (items_[static_cast<size_t>(index)].enabled) return index;
  }
  return -1;
}

void CChoiceButton::OnFocus(CGuiElement* /*previous*/, int forward) {
  const auto last = static_cast<int32_t>(items_.size()) - 1;
  const int32_t item = locked_ ? -1 : forward != 0 ? FindEnabled(0, 1) : FindEnabled(last, -1);
  if (item >= 0) {
    SelectItem(item);
  } else {
    PassFocusOn(*this, passing_focus_, forward);
  }
}

void CChoiceButton::OnKillFocus(CGuiElement* /*next*/) {
  if (locked_ || hot_item_ < 0) return;
  ItemLeave(hot_item_);
  hot_item_ = -1;
}

bool CChoiceButton::ProcessInput(CInputBindings* bindings) {
  CGuiWindow* owner = GetOwner();
  if (locked_ || owner == nullptr) return false;
  const uint8_t direction = owner->ClassifyTabKey(bindings);
  if (direction == CGuiWindow::kTabBackward) {
    const int32_t item = hot_item_ > 0 ? FindEnabled(hot_item_ - 1, -1) : -1;
    if (item >= 0) {
      SelectItem(item);
    } else if (owner->FocusPrevious() != 0) {
      OnFocus(nullptr, 0);
    }
    return true;
  }
  if (direction == CGuiWindow::kTabForward) {
    const int32_t item = hot_item_ >= 0 ? FindEnabled(hot_item_ + 1, 1) : -1;
    if (item >= 0) {
      SelectItem(item);
    } else if (owner->FocusNext() != 0) {
      OnFocus(nullptr, 1);
    }
    return true;
  }
  if (hot_item_ >= 0 && state_ == kItemHot && IsDecidePressed(bindings)) {
    Fire(hot_item_);
    return true;
  }
  return false;
}
