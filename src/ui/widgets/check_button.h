// The check button (widget type 1): a two-valued button drawn from a strip of frames, a check
// box or a radio button, with or without a visible pressed step. Radio buttons form groups: the
// leader and its members, exactly one of them selected; the leader moves, shows, hides, enables
// and locks the whole group. A script variable follows the button's value.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/gui/gui_element.h"
#include "ui/gui/widget_action.h"
#include "ui/widgets/button_strip.h"

class CImage;
class IDrawList;

class CCheckButton : public CGuiElement {
 public:
  static constexpr int32_t kType = 1;
  // States: unchecked, unchecked hot, unchecked pressed, checked, checked hot, checked pressed,
  // unchecked disabled, checked disabled.
  static constexpr uint8_t kUnchecked = 0;
  static constexpr uint8_t kUncheckedHot = 1;
  static constexpr uint8_t kUncheckedPressed = 2;
  static constexpr uint8_t kChecked = 3;
  static constexpr uint8_t kCheckedHot = 4;
  static constexpr uint8_t kCheckedPressed = 5;
  static constexpr uint8_t kUncheckedDisabled = 6;
  static constexpr uint8_t kCheckedDisabled = 7;
  // Kinds: bit 0 set = no pressed step; 2 and up = radio button.
  static constexpr uint8_t kCheckBox = 0;
  static constexpr uint8_t kCheckBoxNoPress = 1;
  static constexpr uint8_t kRadio = 2;
  static constexpr uint8_t kRadioNoPress = 3;
  static constexpr uint32_t kPressedFlash = 100;

  CCheckButton() = default;
  // Leaves the group: a leader's members become leaderless.
  ~CCheckButton() override;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return strip_.face().GetX(); }
  int32_t GetY() const override { return strip_.face().GetY(); }
  int32_t GetWidth() const override { return strip_.frame_width(); }
  int32_t GetHeight() const override { return strip_.frame_height(); }
  // The leader's group-wide operations pass on to every member.
  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  bool IsActive() const override { return strip_.face().IsEnabled(); }
  void SetPriority(uint32_t priority, uint32_t key, uint32_t key3) override;
  uint32_t GetPriority() const override { return strip_.face().GetPriority(); }
  void SetOpacity(uint8_t opacity) override;
  uint8_t GetOpacity() const override { return strip_.face().GetOpacity(); }
  // False while locked or unchanged.
  bool SetEnabled(bool enabled) override;
  // False while locked and for the selected radio button of a group.
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // Both: 0; 1 null list, file name or image, an image without pixels, a kind above 3 or a
  // leader that leads no group; 2 the file does not load. Without a leader a radio button leads
  // a new group and starts selected.
  uint32_t CreateFromFile(IDrawList* list, uint32_t priority, uint32_t* value_variable, const char* file_name,
                          uint8_t kind, bool has_disabled_frames, CCheckButton* leader, int32_t x, int32_t y,
                          uint8_t blend_mode, uint8_t opacity, int32_t key, int32_t key_y, int32_t group);
  uint32_t CreateFromImage(IDrawList* list, uint32_t priority, uint32_t* value_variable, CImage* image, uint8_t kind,
                           bool has_disabled_frames, CCheckButton* leader, int32_t x, int32_t y, uint8_t blend_mode,
                           uint8_t opacity, int32_t group);
  void Release();
  // 0; stores the state, writes the value variable (0 unchecked, 1 checked, 2 disabled) and
  // shows the state's frame.
  uint32_t SetState(uint8_t state);
  uint8_t GetState() const { return state_; }
  bool IsChecked() const;
  // False when unchanged. Unchecking a radio button selects the next one of its group.
  bool SetChecked(bool checked);
  // 0 (also when already selected); 1 not in a group; 2 an index outside 0..member count.
  uint32_t SelectIndex(int32_t index);
  // The group's selected index (0 the leader, n the n-th member); -1 outside a group.
  int32_t GetSelectedIndex() const;
  // Locks the group and writes a radio group's selected index into every value variable.
  uint32_t Commit();
  void SetLocked(bool locked);
  bool IsLocked() const { return locked_; }
  // 0; 1 null; 2 already a member.
  uint32_t AddGroupMember(CCheckButton* button);
  // 0; 1 null; 2 not a member. A removed selected member hands the selection to the leader.
  uint32_t RemoveMember(CCheckButton* button);
  bool IsSelected(const CCheckButton* button) const;
  // 0; 1 without members or for null. The old selection is unchecked; the caller shows the new.
  uint32_t SelectMember(CCheckButton* button);
  void LeaveGroup();
  void ClearLeader() { leader_ = nullptr; }
  void SetAction(const CWidgetAction::Setup& setup) { action_ = std::make_unique<CWidgetAction>(setup); }
  void ReleaseAction() { action_.reset(); }
  // False without an owner.
  bool Fire();
  bool HitTestImage(int32_t x, int32_t y) const { return strip_.face().HitTest(x, y, true); }
  void SetRectHit(bool on) { strip_.rect_hit = on; }

  CCheckButton* GetLeader() const { return leader_; }
  const std::vector<CCheckButton*>& GetMembers() const { return members_; }
  int32_t GetShownFrame() const { return strip_.GetShownFrame(); }
  const CWidgetFace& GetFace() const { return strip_.face(); }
  CWidgetFace& GetFace() { return strip_.face(); }
  const CImage* GetImage() const { return strip_.shown_image(); }
  CImage* GetImage() { return strip_.shown_image(); }

 private:
  bool IsRadio() const { return kind_ >= kRadio; }
  bool IsLeader() const { return is_leader_; }
  CCheckButton* Leader() { return leader_ != nullptr ? leader_ : this; }
  // This button's place in its group: 0 the leader, n the n-th member.
  int32_t GroupIndex();
  CCheckButton* ButtonAt(int32_t index) const;
  uint32_t Finish(uint32_t status);
  uint32_t JoinGroup(IDrawList* list, uint32_t priority, uint32_t* value_variable, uint8_t kind,
                     bool has_disabled_frames, CCheckButton* leader, int32_t x, int32_t y, uint8_t blend_mode,
                     uint8_t opacity, int32_t group);
  void ShowStateFrame();
  void Click(bool from_mouse);
  void Enter();
  void Leave(bool with_sound);
  bool IsSelectedInGroup() const;
  void LockOne(bool locked, bool enabled);

  uint8_t kind_ = kCheckBox;
  bool has_disabled_frames_ = false;
  uint8_t state_ = kUnchecked;
  int32_t selected_ = 0;
  uint32_t* value_variable_ = nullptr;
  std::unique_ptr<CWidgetAction> action_;
  bool locked_ = false;
  // Set while the button hands a focus it cannot take to the next child, so that a ring of
  // such buttons ends with no focus instead of passing it round for ever.
  bool passing_focus_ = false;
  uint32_t press_due_ = 0;
  bool is_leader_ = false;
  std::vector<CCheckButton*> members_;
  CCheckButton* leader_ = nullptr;
  CButtonStrip strip_;
};
