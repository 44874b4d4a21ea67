// The scroll bar of the widget toolkit (widget type 4), apart from its pictures: a thumb that
// runs along a track between two optional arrow buttons, a value from 0 to a maximum tied to the
// thumb's pixel offset, paging by presses in the track with auto-repeat, thumb dragging under the
// owner's pointer capture, wheel, key and action stepping, and a listener told of every change.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/gui/gui_element.h"
#include "ui/gui/widget_sounds.h"

class CGuiCommandListener;
class CScrollBarArrow;

class CBarBase : public CGuiElement {
 public:
  static constexpr int32_t kType = 4;
  // Answers of the value operations beside 0.
  static constexpr int32_t kUnchanged = -1;
  static constexpr int32_t kNoRange = 1;
  // Press (picture) states.
  static constexpr uint8_t kNormal = 0;
  static constexpr uint8_t kHovered = 1;
  static constexpr uint8_t kPressed = 2;
  static constexpr uint8_t kDisabled = 3;
  // Paging and arrow auto-repeat.
  static constexpr uint32_t kFirstRepeat = 500;
  static constexpr uint32_t kRepeat = 100;

  CBarBase();
  ~CBarBase() override;

  int32_t GetType() const override { return kType; }
  int32_t GetX() const override { return x_; }
  int32_t GetY() const override { return y_; }
  int32_t GetWidth() const override { return bar_width_; }
  int32_t GetHeight() const override { return bar_height_; }
  bool SetEnabled(bool enabled) override;
  bool HitTest(int32_t x, int32_t y) const override { return InBar(x, y); }
  void OnMouseMove(int32_t x, int32_t y) override;
  void OnMouseLeave() override;
  bool OnMouseButton(int32_t x, int32_t y, CMouse* mouse) override;
  void OnFocus(CGuiElement* previous, int forward) override;
  void OnKillFocus(CGuiElement* next) override;
  bool ProcessInput(CInputBindings* bindings) override;

  // 0; kUnchanged when the clamped value is the current one; kNoRange.
  int32_t SetValue(int32_t value);
  // 0; kUnchanged when the clamped offset is the current one; kNoRange.
  int32_t SetThumbOffset(int32_t offset);
  // One value back or forward: 0, or -1 while there is no range. A forward step at the maximum
  // (or without range) tells the listener's OnEndReached.
  int32_t Step(bool forward);
  // One step of the step setting (arrows, wheel, actions).
  void StepBy(bool forward);
  // Part 0 the bar, 1 and 2 the back and forward arrows: 0; 1 or 2 when that arrow is missing.
  uint32_t DrawState(int32_t part, uint8_t state);
  // Window coordinates.
  virtual bool InBar(int32_t x, int32_t y) const = 0;

  void SetListener(CGuiCommandListener* listener) { listener_ = listener; }
  void SetSounds(const char* decide, const char* hover, const char* leave, int32_t decide_number,
                 int32_t hover_number, int32_t leave_number) {
    sounds_.Set(decide, hover, leave, decide_number, hover_number, leave_number);
  }
  // Back arrow, bar and forward arrow join the window at index, index + 1, index + 2 (appended
  // for a negative index): the bar's AddChild result; 1 null window; -1 already attached.
  int32_t AttachToWindow(CGuiWindow* window, int32_t index);
  bool DetachFromWindow();

  // 0 pages with auto-repeat and drags the thumb; 1 centres the thumb on a press off it and drags
  // it when pressed on it; other values centre it and drag it.
  void SetClickMode(uint8_t mode) { click_mode_ = mode; }
  void SetPageActions(uint8_t back, uint8_t forward) {
    page_back_action_ = back;
    page_forward_action_ = forward;
  }
  // Above 0 a step changes the value by this much, below 0 moves the thumb by -step pixels, 0 one value.
  void SetStep(int32_t step) { step_ = step; }
  void SetRectHit(bool on) { rect_hit_ = on; }

  int32_t GetValue() const { return value_; }
  int32_t GetMaximum() const { return maximum_; }
  int32_t GetThumbOffset() const { return thumb_offset_; }
  int32_t GetRange() const { return range_; }
  int32_t GetThumbLength() const { return thumb_length_; }
  uint8_t GetPressState() const { return press_state_; }
  bool IsVertical() const { return vertical_; }
  CScrollBarArrow* GetBackArrow() const { return back_arrow_.get(); }
  CScrollBarArrow* GetForwardArrow() const { return forward_arrow_.get(); }

 protected:
  // The thumb shown at the bar position plus the thumb origin plus the offset along the axis.
  virtual void PlaceThumb() = 0;
  virtual void ShowBarState(uint8_t state) = 0;
  // The arrows' enabled states follow the value.
  void UpdateArrows();
  // The bar's length along its axis without the arrows.
  int32_t ArrowsLength() const;
  int32_t ArrowLength(const CScrollBarArrow* arrow) const;
  void ReleaseArrows();
  void ReleaseCapture();
  void ClearRange() { thumb_offset_ = range_ = value_ = -1; }

  CGuiCommandListener* listener_ = nullptr;
  std::unique_ptr<CScrollBarArrow> back_arrow_;
  std::unique_ptr<CScrollBarArrow> forward_arrow_;
  int32_t bar_width_ = 0;
  int32_t bar_height_ = 0;
  bool vertical_ = true;
  uint8_t press_state_ = kNormal;
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t thumb_offset_ = -1;
  int32_t range_ = -1;
  int32_t thumb_length_ = 0;
  int32_t start_inset_ = 0;
  int32_t thumb_origin_x_ = 0;
  int32_t thumb_origin_y_ = 0;
  int32_t maximum_ = 0;
  int32_t value_ = -1;
  bool rect_hit_ = true;

 private:
  void Notify() const;
  // Where a coordinate along the axis lies against the thumb: -1 before, 0 on, 1 after.
  int8_t SideOfThumb(int32_t along) const;
  void TakeCapture();
  bool PressInTrack(int32_t along, CMouse* mouse);
  bool StepByWheel(CMouse* mouse);
  // The thumb, left by a click or a drag between two values' places, goes to the place of the
  // value it gave (a bar of few values, a slider, would otherwise show one it does not hold).
  void ShowThumbAtValue();
  // The press ends (in the modes that jump to a click, with the thumb at its value's place) and
  // the bar shows whether it is hovered.
  void EndPress();
  bool StepByKeys(CInputBindings* bindings);

  uint8_t click_mode_ = 0;
  uint32_t repeat_time_ = 0;
  int8_t direction_ = 0;
  int32_t drag_anchor_ = 0;
  bool capturing_ = false;
  uint8_t page_back_action_ = 0;
  uint8_t page_forward_action_ = 0;
  int32_t step_ = 0;
  CWidgetSounds sounds_;
  CGuiWindow* window_ = nullptr;
};
