// One widget that offers several choices through an index map (widget type 10): an 8-bit
// picture whose pixel values are item numbers, placed on the screen. The item under the
// pointer, or chosen with the keys, is the hot item; deciding fires the command id plus the item
// number and locks the button. It draws nothing itself: the scripts show the choices and follow
// the hot item through its flag variables, its action and its tooltip text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/images/image.h"
#include "ui/gui/gui_element.h"
#include "ui/gui/widget_action.h"

class CChoiceButton : public CGuiElement {
 public:
  static constexpr int32_t kType = 10;
  // States.
  static constexpr uint8_t kIdle = 0;
  static constexpr uint8_t kItemHot = 1;
  static constexpr uint8_t kItemPressed = 2;

  // Names and flags of an item's action, and its tooltip text.
  struct ItemAction {
    const char* name1 = nullptr;
    uint32_t value = 0;
    const char* name2 = nullptr;
    const char* text = nullptr;
    uint32_t* fired_flag = nullptr;
    uint32_t* hover_flag = nullptr;
    uint32_t* unhover_flag = nullptr;
  };

  ~CChoiceButton() override;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  int32_t GetWidth() const override { return map_.GetWidth(); }
  int32_t GetHeight() const override { return map_.GetHeight(); }
  void SetPosition(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }
  void SetActive(bool /*active*/) override {}
  bool IsActive() const override { return IsEnabled(); }
  void SetPriority(uint32_t, uint32_t, uint32_t) override {}
  uint32_t GetPriority() const override { return 0; }
  void SetOpacity(uint8_t) override {}
  uint8_t GetOpacity() const override { return 0; }
  // The hot item's text, so that the window's tooltip shows it.
  const char* GetText() const override { return current_text_.empty() ? nullptr : current_text_.c_str(); }
  // A map pixel whose value names an enabled item.
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // 0; 1 no items; 2 the map does not load.
  uint32_t Create(const char* map_file, uint8_t item_count, int32_t x, int32_t y, bool can_fire, int32_t group);
  // Both: 0; 1 without items; 2 an index past the items.
  uint32_t SetItemEnabled(int32_t index, bool enabled);
  uint32_t SetItemAction(int32_t index, const ItemAction& action);
  void ClearItemActions();
  // A named sound plays as sound 0 of that name; an id below 0 asks for the standard sound.
  void SetSounds(const char* decide, const char* enter, const char* leave, int32_t decide_id, int32_t enter_id,
                 int32_t leave_id);
  // A locked button ignores the pointer and the keys.
  void SetLocked(bool locked) { locked_ = locked; }
  bool IsLocked() const { return locked_; }
  // Takes the focus and makes the item hot. 0; 1 no owner or items, locked, or an index past
  // the items, or the focus cannot be had; 2 the item is disabled.
  uint32_t SetChoice(int32_t index);
  // Reports the command id plus the item (the id alone for an index below 0), runs the item's
  // action and locks the button. False when the button cannot fire or has no owner.
  bool Fire(int32_t index);

  int32_t GetHotItem() const { return hot_item_; }
  uint8_t GetState() const { return state_; }
  CImage& GetMap() { return map_; }

 private:
  struct Item {
    bool enabled = true;
    std::unique_ptr<CWidgetAction> action;
    std::string text;
  };

  bool SelectItem(int32_t index);
  void ItemEnter(int32_t index);
  void ItemLeave(int32_t index);
  // Leaves the hot item, first hiding a tooltip of its text.
  void LeaveHotItem();
  // The nearest enabled item from `from` on in steps of `step`; -1 none.
  int32_t FindEnabled(int32_t from, int32_t step) const;
  bool IsValid(int32_t index) const { return static_cast<uint32_t>(index) < items_.size(); }

  CImage map_;
  std::vector<Item> items_;
  int32_t x_ = 0;
  int32_t y_ = 0;
  bool can_fire_ = false;
  std::string current_text_;
  bool locked_ = false;
  // Set while the button hands a focus it cannot use on (see CCheckButton).
  bool passing_focus_ = false;
  mutable int32_t hit_item_ = -1;
  int32_t hot_item_ = -1;
  uint8_t state_ = kIdle;
  CWidgetAction sounds_{CWidgetAction::Setup{}};
};
