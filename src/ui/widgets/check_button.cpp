#include "ui/widgets/check_button.h"

#include <algorithm>
#include <string>

#include "base/input/mouse.h"
#include "base/time/millisecond_clock.h"
#include "ui/gui/gui_window.h"
#include "ui/gui/widget_input.h"

namespace {

constexpr uint32_t kLeftButton = 0;
constexpr uint8_t kKindCount = 4;
constexpr uint8_t kStateCount = 8;

// The frame that each kind of button shows in each state, with disabled frames in the strip.
constexpr int32_t kFrames[kKindCount][kStateCount] = {
    {0, 1, 2, 3, 4, 5, 6, 7},
    {0, 1, 1, 2, 3, 3, 4, 5},
    {0, 1, 2, 3, 3, 3, 4, 5},
    {0, 1, 1, 2, 2, 2, 3, 4},
};

// The value a script variable sees: 0 unchecked, 1 checked, 2 disabled.
uint32_t ValueOf(uint8_t state) { return state < 3 ? 0 : state < 6 ? 1 : 2; }

}  // namespace

CCheckButton::~CCheckButton() {
  ReleaseAction();
  Release();
}

uint32_t CCheckButton::Finish(uint32_t status) {
  if (status != 0) Release();
  return status;
}

uint32_t CCheckButton::CreateFromFile(IDrawList* list, uint32_t priority, uint32_t* value_variable,
                                      const char* file_name, uint8_t kind, bool has_disabled_frames,
                                      CCheckButton* leader, int32_t x, int32_t y, uint8_t blend_mode, uint8_t opacity,
                                      int32_t key, int32_t key_y, int32_t group) {
  if (list == nullptr || file_name == nullptr || kind >= kKindCount) return Finish(1);
  const std::string name = file_name;
  if (list != strip_.face().GetList()) Release();
  if (strip_.LoadFile(name.c_str(), blend_mode, key, key_y) != 0) return Finish(2);
  return Finish(JoinGroup(list, priority, value_variable, kind, has_disabled_frames, leader, x, y, blend_mode, opacity,
                          group));
}

uint32_t CCheckButton::CreateFromImage(IDrawList* list, uint32_t priority, uint32_t* value_variable, CImage* image,
                                       uint8_t kind, bool has_disabled_frames, CCheckButton* leader, int32_t x,
                                       int32_t y, uint8_t blend_mode, uint8_t opacity, int32_t group) {
  if (list == nullptr || image == nullptr || image->GetPixels() == nullptr || kind >= kKindCount) return Finish(1);
  if (list != strip_.face().GetList()) Release();
  strip_.TakeImage(image, blend_mode);
  return Finish(JoinGroup(list, priority, value_variable, kind, has_disabled_frames, leader, x, y, blend_mode, opacity,
                          group));
}

uint32_t CCheckButton::JoinGroup(IDrawList* list, uint32_t priority, uint32_t* value_variable, uint8_t kind,
                                 bool has_disabled_frames, CCheckButton* leader, int32_t x, int32_t y,
                                 uint8_t blend_mode, uint8_t opacity, int32_t group) {
  const bool radio = kind >= kRadio;
  if (radio && leader != nullptr && (leader == this || !leader->IsLeader())) return 1;
  // A button made again starts its group membership afresh.
  LeaveGroup();
  kind_ = kind;
  has_disabled_frames_ = has_disabled_frames;
  const int32_t frame_count = kFrames[kind][kUncheckedDisabled] + (has_disabled_frames ? 2 : 0);
  strip_.ShowFirstFrame(frame_count, x, y, blend_mode, opacity);
  strip_.face().UseList(list);
  group_ = group;
  strip_.face().SetPriority(priority, static_cast<uint32_t>(group));
  ShowStateFrame();
  value_variable_ = value_variable;
  if (!radio) {
    if (value_variable_ != nullptr) *value_variable_ = 0;
  } else if (leader != nullptr) {
    leader->AddGroupMember(this);
    leader_ = leader;
    if (value_variable_ != nullptr) *value_variable_ = 0;
  } else {
    // A new group starts with its leader selected.
    is_leader_ = true;
    selected_ = 0;
    SetState(kChecked);
    if (value_variable_ != nullptr) *value_variable_ = 1;
  }
  return 0;
}

void CCheckButton::Release() {
  LeaveGroup();
  strip_.Release();
}

uint32_t CCheckButton::SetState(uint8_t state) {
  if (state == state_ || state >= kStateCount) return 0;
  state_ = state;
  if (value_variable_ != nullptr) *value_variable_ = ValueOf(state);
  ShowStateFrame();
  return 0;
}

void CCheckButton::ShowStateFrame() {
  uint8_t shown = state_;
  // Without disabled frames a disabled button looks unchecked or checked.
  if (!has_disabled_frames_ && shown == kUncheckedDisabled) shown = kUnchecked;
  if (!has_disabled_frames_ && shown == kCheckedDisabled) shown = kChecked;
  strip_.ShowFrame(kFrames[kind_][shown]);
}

bool CCheckButton::IsChecked() const {
  return state_ == kChecked || state_ == kCheckedHot || state_ == kCheckedPressed || state_ == kCheckedDisabled;
}

int32_t CCheckButton::GroupIndex() {
  if (leader_ == nullptr) return 0;
  const auto& members = leader_->members_;
  return static_cast<int32_t>(std::find(members.begin(), members.end(), this) - members.begin()) + 1;
}

CCheckButton* CCheckButton::ButtonAt(int32_t index) const {
  return index == 0 ? const_cast<CCheckButton*>(this) : members_[static_cast<size_t>(index - 1)];
}

bool CCheckButton::SetChecked(bool checked) {
  if (checked == IsChecked()) return false;
  if (leader_ == nullptr && !is_leader_) {
    const bool enabled = IsEnabled();
    SetState(checked ? (enabled ? kChecked : kCheckedDisabled) : (enabled ? kUnchecked : kUncheckedDisabled));
    return true;
  }
  CCheckButton* leader = Leader();
  const int32_t index = GroupIndex();
  const auto count = static_cast<int32_t>(leader->members_.size());
  leader->SelectIndex(checked ? index : (index >= count ? 0 : index + 1));
  return true;
}

uint32_t CCheckButton::SelectIndex(int32_t index) {
  if (leader_ != nullptr) return leader_->SelectIndex(index);
  if (!is_leader_) return 1;
  if (index == selected_) return 0;
  if (index < 0 || index > static_cast<int32_t>(members_.size())) return 2;
  const bool disabled = state_ >= kUncheckedDisabled;
  ButtonAt(selected_)->SetState(disabled ? kUncheckedDisabled : kUnchecked);
  ButtonAt(index)->SetState(disabled ? kCheckedDisabled : kChecked);
  selected_ = index;
  return 0;
}

int32_t CCheckButton::GetSelectedIndex() const {
  if (leader_ != nullptr) return leader_->selected_;
  return is_leader_ ? selected_ : -1;
}

uint32_t CCheckButton::Commit() {
  if (leader_ != nullptr) return leader_->Commit();
  SetLocked(true);
  if (!is_leader_) return 0;
  const auto selected = static_cast<uint32_t>(selected_);
  if (value_variable_ != nullptr) *value_variable_ = selected;
  for (CCheckButton* member : members_) {
    if (member->value_variable_ != nullptr) *member->value_variable_ = selected;
  }
  return 0;
}

void CCheckButton::LockOne(bool locked, bool enabled) {
  locked_ = locked;
  // The enabled flag alone, without the disabled look.
  CGuiElement::SetEnabled(enabled);
}

void CCheckButton::SetLocked(bool locked) {
  if (leader_ != nullptr) return leader_->SetLocked(locked);
  if (locked == locked_) return;
  const bool enabled = !locked && state_ < kUncheckedDisabled;
  for (CCheckButton* member : members_) member->LockOne(locked, enabled);
  LockOne(locked, enabled);
}

uint32_t CCheckButton::AddGroupMember(CCheckButton* button) {
  if (button == nullptr) return 1;
  if (std::find(members_.begin(), members_.end(), button) != members_.end()) return 2;
  members_.push_back(button);
  return 0;
}

uint32_t CCheckButton::RemoveMember(CCheckButton* button) {
  if (button == nullptr) return 1;
  const auto place = std::find(members_.begin(), members_.end(), button);
  if (place == members_.end()) return 2;
  const auto index = static_cast<int32_t>(place - members_.begin()) + 1;
  if (index == selected_) {
    selected_ = 0;
    SetState(kChecked);
  } else if (index < selected_) {
    // The later members move up one place, the selected one among them.
    --selected_;
  }
  members_.erase(place);
  return 0;
}

bool CCheckButton::IsSelected(const CCheckButton* button) const { return is_leader_ && ButtonAt(selected_) == button; }

bool CCheckButton::IsSelectedInGroup() const {
  const CCheckButton* leader = leader_ != nullptr ? leader_ : this;
  return leader->IsSelected(this);
}

uint32_t CCheckButton::SelectMember(CCheckButton* button) {
  if (!is_leader_ || button == nullptr) return 1;
  ButtonAt(selected_)->SetState(kUnchecked);
  const auto place = std::find(members_.begin(), members_.end(), button);
  selected_ = place == members_.end() ? 0 : static_cast<int32_t>(place - members_.begin()) + 1;
  return 0;
}

void CCheckButton::LeaveGroup() {
  if (is_leader_) {
    for (CCheckButton* member : members_) member->ClearLeader();
    members_.clear();
    is_leader_ = false;
  } else if (leader_ != nullptr) {
    leader_->RemoveMember(this);
    leader_ = nullptr;
  }
}

bool CCheckButton::Fire() {
  if (GetOwner() == nullptr) return false;
  CWidgetAction::FireWidget(action_.get(), *GetOwner(), GetId());
  return true;
}

void CCheckButton::SetPosition(int32_t x, int32_t y) {
  const int32_t dx = x - GetX();
  const int32_t dy = y - GetY();
  strip_.face().SetPosition(x, y);
  for (CCheckButton* member : members_) member->SetPosition(member->GetX() + dx, member->GetY() + dy);
}

void CCheckButton::SetActive(bool active) {
  for (CCheckButton* member : members_) member->SetActive(active);
  if (!active) LeaveOwnerFocusAndHover();
  strip_.face().SetEnabled(active);
}

void CCheckButton::SetPriority(uint32_t priority, uint32_t key, uint32_t /*key3*/) {
  const bool joins = !strip_.face().IsListed();
  if (strip_.face().SetPriority(priority, key) == 0 && joins) group_ = static_cast<int32_t>(key);
  for (CCheckButton* member : members_) member->SetPriority(priority, 0, 0);
}

void CCheckButton::SetOpacity(uint8_t opacity) {
  for (CCheckButton* member : members_) member->SetOpacity(opacity);
  strip_.face().SetOpacity(opacity);
}

bool CCheckButton::SetEnabled(bool enabled) {
  if (locked_) return false;
  for (CCheckButton* member : members_) member->SetEnabled(enabled);
  if (!CGuiElement::SetEnabled(enabled)) return false;
  if (enabled) {
    SetState(state_ == kCheckedDisabled ? kChecked : kUnchecked);
  } else {
    SetState(state_ < kChecked ? kUncheckedDisabled : kCheckedDisabled);
  }
  return true;
}

bool CCheckButton::HitTest(int32_t x, int32_t y) const {
  if (locked_ || !strip_.HitTest(x, y)) return false;
  // The pointer never hovers the selected radio button of a group.
  return !(IsRadio() && IsSelectedInGroup());
}

void CCheckButton::Enter() {
  SetState(state_ == kUnchecked ? kUncheckedHot : kCheckedHot);
  CWidgetAction::HoverWidget(action_.get(), GetOwner(), true, true);
}

void CCheckButton::Leave(bool with_sound) {
  SetState(state_ < kChecked ? kUnchecked : kChecked);
  CWidgetAction::HoverWidget(action_.get(), GetOwner(), false, with_sound);
}

void CCheckButton::OnMouseMove(int32_t /*x*/, int32_t /*y*/) {
  if (state_ == kUnchecked || state_ == kChecked) Enter();
}

void CCheckButton::OnMouseLeave() {
  if (state_ == kUncheckedHot || state_ == kUncheckedPressed || state_ == kCheckedHot || state_ == kCheckedPressed) {
    Leave(true);
  }
}

bool CCheckButton::OnMouseButton(int32_t /*x*/, int32_t /*y*/, CMouse* mouse) {
  if (mouse == nullptr) return false;
  if ((state_ == kUncheckedHot || state_ == kCheckedHot) && mouse->IsPressed(kLeftButton)) {
    SetState(state_ + 1);
    press_due_ = 0;
    return true;
  }
  if ((state_ == kUncheckedPressed || state_ == kCheckedPressed) && press_due_ == 0 && !mouse->IsDown(kLeftButton)) {
    Click(true);
    return true;
  }
  return false;
}

void CCheckButton::OnFocus(CGuiElement* /*previous*/, int forward) {
  if (GetOwner() != nullptr && (locked_ || (IsRadio() && IsSelectedInGroup()))) {
    PassFocusOn(*this, passing_focus_, forward);
    return;
  }
  TakeFocus(*this, {GetX() + GetWidth() / 2, GetY() + GetHeight() / 2}, [this] {
    if (state_ == kUnchecked || state_ == kChecked) Enter();
  });
}

void CCheckButton::OnKillFocus(CGuiElement* /*next*/) {
  if (state_ == kUncheckedHot || state_ == kUncheckedPressed || state_ == kCheckedHot || state_ == kCheckedPressed) {
    Leave(false);
  }
}

bool CCheckButton::ProcessInput(CInputBindings* bindings) {
  if (state_ == kUncheckedHot || state_ == kCheckedHot) {
    press_due_ = 0;
    if (!IsDecidePressed(bindings)) return false;
    if ((kind_ & kCheckBoxNoPress) != 0) {
      Click(false);
    } else {
      SetState(state_ + 1);
      press_due_ = ReadMillisecondClock() + kPressedFlash;
    }
    return true;
  }
  if (state_ == kUncheckedPressed || state_ == kCheckedPressed) {
    if (press_due_ != 0 && IsPast(press_due_)) {
      Click(false);
      press_due_ = 0;
    }
    return true;
  }
  press_due_ = 0;
  return false;
}

void CCheckButton::Click(bool from_mouse) {
  const bool was_unchecked = state_ < kChecked;
  if (!IsRadio()) {
    SetState(was_unchecked ? kCheckedHot : kUncheckedHot);
  } else {
    SetState(was_unchecked ? kChecked : kUnchecked);
    Leader()->SelectMember(this);
    if (from_mouse && GetOwner() != nullptr) GetOwner()->ClearHover();
  }
  Fire();
}
