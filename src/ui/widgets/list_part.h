// The selectable list of the widget toolkit (widget type 6): an ordered list of items, which item
// the pointer or the keys are on, press feedback, the decision reported to the owner window and
// marked in a choice record, the owner's interface sounds, and dragging by a drag area. How the
// items are laid out and drawn is the derived list's.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/gui/gui_element.h"
#include "ui/gui/widget_sounds.h"

class CBitArray;

// What an item carries beside its place in the list; plain items have none.
struct CListItem {
  std::string text;
  bool disabled = false;
  int32_t value = -1;  // reported for a decision instead of the index; -1 none
  std::string first_action;
  int32_t action_value = -1;
  std::string second_action;
  int32_t* chosen_flag = nullptr;  // set to 1 when the item is decided
  int32_t* hover_flag = nullptr;   // 1 while hovered
  int32_t* idle_flag = nullptr;    // 0 while hovered
  std::string tooltip;
};

class CListPart : public CGuiElement {
 public:
  static constexpr int32_t kType = 6;
  // Pressed look of a keyboard decision before the list decides.
  static constexpr uint32_t kPressedFlash = 100;
  // How far the pointer must move from where it rested when an item was added before a press counts.
  static constexpr int32_t kRestingSlack = 3;
  // Item states that DrawItem shows.
  static constexpr int32_t kItemNormal = 0;
  static constexpr int32_t kItemHovered = 1;
  static constexpr int32_t kItemPressed = 2;

  struct ItemSetup {
    const char* text = nullptr;
    bool disabled = false;
    int32_t value = -1;
    const char* first_action = nullptr;
    int32_t action_value = -1;
    const char* second_action = nullptr;
    const char* tooltip = nullptr;
    int32_t* chosen_flag = nullptr;
    int32_t* hover_flag = nullptr;
    int32_t* idle_flag = nullptr;
  };

  CListPart() = default;
  ~CListPart() override;

  int32_t GetType() const override { return kType; }
  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  bool HitTest(int32_t x, int32_t y) const override;
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;
  const char* GetText() const override { return tooltip_; }

  void ClearItems();
  // 0.
  // Hears the value of each item decided while a record is bound (the owner writes it where
  // its scripts read it).
  using DecisionSink = std::function<void(uint32_t value)>;
  uint32_t SetChoiceRecord(CBitArray* record, int32_t base, DecisionSink on_decided);
  CBitArray* choice_record() const { return choice_record_; }
  int32_t choice_base() const { return choice_base_; }
  // 1 when other is null, else 0.
  uint32_t CopyChoiceRecord(const CListPart* other);
  // A given name (non-empty) plays by name with number 0; otherwise the number (negative: the
  // owner's standard sound). 0.
  uint32_t SetSounds(const char* decide, const char* hover, const char* leave, int32_t decide_number,
                     int32_t hover_number, int32_t leave_number);
  void SetItemColors(uint32_t normal, uint32_t chosen, uint32_t hover, uint32_t disabled);
  void SetGradientColors(uint32_t normal_top, uint32_t normal_bottom, uint32_t chosen_top, uint32_t chosen_bottom,
                         uint32_t hover_top, uint32_t hover_bottom, uint32_t disabled_top, uint32_t disabled_bottom);
  void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void StopDrag() { dragging_ = false; }
  // 0: no drag area; else the least alpha of the frame pictures that counts as the drag area.
  void SetDragAlpha(uint8_t alpha) { drag_alpha_ = alpha; }
  // Whether items already chosen in the choice record take the chosen colours.
  void SetShowChosen(bool show) { show_chosen_ = show; }
  bool GetShowChosen() const { return show_chosen_; }
  void SetLocked(bool locked) { locked_ = locked; }
  // Whether the arrow keys keep the focus in the list, stopping at its first and last item,
  // where they would pass it on to the window's other elements; Tab passes it on either way.
  void SetArrowsKeepFocus(bool keep) { arrows_keep_focus_ = keep; }
  // Appends an item; until the pointer moves away from where it rests now, presses are ignored. 0.
  uint32_t AddItem(const ItemSetup& setup);
  // The decision on the item: choice record, result, the owner's command and sound, the item's
  // flag and action; the list locks. True.
  bool SelectItem(int32_t index);
  // Keyboard movement onto the item (or the pointer moved onto it). True.
  bool MoveHoverTo(int32_t index);
  // False when the derived list refuses the item.
  virtual bool EnterItem(int32_t index);
  virtual void LeaveItem(int32_t index);

  // Every item drawn again in its state (the hovered one hovered).
  void RedrawItems();
  // The item drawn in a state (kItemNormal, kItemHovered, kItemPressed): 0; 1 outside the items.
  uint32_t ShowItemState(int32_t index, int32_t state) { return DrawItem(index, state); }
  // A screen point inside the item; false for an index outside the items.
  bool GetItemPosition(int32_t index, int32_t& x, int32_t& y) const { return GetItemPoint(index, x, y); }
  int32_t GetItemCount() const { return static_cast<int32_t>(items_.size()); }
  // Null outside the items and for an item that needed no record (no text and nothing set).
  const CListItem* GetItem(int32_t index) const;
  // The item, or a blank record (no text, enabled, no value) where GetItem gives null.
  const CListItem& ItemOrBlank(int32_t index) const;
  int32_t GetHovered() const { return hovered_; }
  uint8_t GetPressState() const { return press_state_; }
  bool IsLocked() const { return locked_; }
  bool IsHoverSuppressed() const { return hover_suppressed_; }

  // What the derived list draws and lays out with.
  struct TextColours {
    uint32_t normal = 0xFFFFFF;
    uint32_t chosen = 0x8FDFDF;
    uint32_t hover = 0xFFF000;
    uint32_t disabled = 0x909090;
  };
  struct GradientPair {
    uint32_t top;
    uint32_t bottom;
  };
  struct Gradients {
    GradientPair normal{0xFFEB00, 0xFF4646};
    GradientPair chosen{0x00FFEB, 0x26DD26};
    GradientPair hover{0xFFFF46, 0xFF9292};
    GradientPair disabled{0xB0B0B0, 0x595959};
  };
  struct Margins {
    int32_t left = 8;
    int32_t top = 2;
    int32_t right = 8;
    int32_t bottom = 2;
  };

 protected:
  // state kItemNormal, kItemHovered or kItemPressed.
  virtual uint32_t DrawItem(int32_t index, int32_t state) = 0;
  // A screen point inside the item.
  virtual bool GetItemPoint(int32_t index, int32_t& x, int32_t& y) const = 0;
  virtual bool IsInDragArea(int32_t x, int32_t y) const = 0;
  // Coordinates relative to the element; -1 for none.
  virtual int32_t ItemAt(int32_t x, int32_t y) const = 0;

  // Whether a decision reporting this value (an item's value, else its index) is marked in the
  // choice record that the list shows.
  bool IsChosenValue(int32_t value) const;
  bool IsItemDisabled(int32_t index) const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t item_gap_ = 0;
  bool show_chosen_ = true;
  uint8_t drag_alpha_ = 0;  // 0: no drag area; else the least frame alpha of the drag area
  Margins margins_;
  TextColours text_colours_;
  Gradients gradients_;
  bool pressed_frame_ = false;  // a keyboard decision shows the pressed item first

 private:
  // Leaves the hovered item the way the pointer or a key moving elsewhere does.
  void LeaveHoveredForMove();
  // A click counts where it was pressed and released: the pointer leaving the pressed item in
  // the frame that also saw the button come up left it after the release, and the item is
  // chosen. True when it was.
  bool ClickReleasedOnItem();
  void DropHover();
  // The first item from `from` in steps of `step` that keys may move onto; -1 none.
  int32_t NextSelectable(int32_t from, int32_t step) const;
  // The first selectable item from the front (forward) or from the back; -1 none.
  int32_t EndSelectable(bool forward) const;
  bool MoveByTab(uint8_t direction);

  std::deque<std::unique_ptr<CListItem>> items_;
  CBitArray* choice_record_ = nullptr;
  int32_t choice_base_ = 0;
  DecisionSink on_decided_;
  const char* tooltip_ = nullptr;  // the hovered item's, borrowed
  bool dragging_ = false;
  bool locked_ = false;
  bool hover_suppressed_ = false;
  bool passing_focus_ = false;
  bool arrows_keep_focus_ = false;
  int32_t drag_x_ = 0;
  int32_t drag_y_ = 0;
  int32_t hovered_ = -1;
  uint8_t press_state_ = 0;  // 0 none hovered, 1 hovered, 2 pressed
  int32_t add_x_ = 0;
  int32_t add_y_ = 0;
  uint32_t press_due_ = 0;
  CWidgetSounds sounds_;
};
