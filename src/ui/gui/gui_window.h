// The container of the widget toolkit: an ordered child list with hover and keyboard focus,
// a stack of set-aside child lists for modal screens, delayed tooltips, and the per-frame input
// step that turns pointer moves, mouse buttons, bound actions, Tab and typed text into calls on
// the children. It reaches the pointer, clock, screen, devices and sounds only through its
// environment operations, which the root window binds to the application. The window never
// owns its children.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>

#include "platform/system/geometry.h"

class CGuiElement;
class CInputBindings;
class CKeyboard;
class CMouse;

class CGuiWindow {
 public:
  // AddChild.
  static constexpr uint32_t kNullElement = 1;
  static constexpr uint32_t kHasOwner = 2;
  static constexpr uint32_t kNoMemory = 3;
  // SetFocusTo, FocusNext, FocusPrevious, PushModalLevel, PopModalLevel.
  static constexpr int32_t kFocusWrappedToSelf = -1;
  static constexpr int32_t kListEmpty = 1;
  static constexpr int32_t kNotInList = 2;
  static constexpr int32_t kNothingFocusable = 2;
  static constexpr int32_t kNotFocusable = 3;
  // ClassifyTabKey and MoveFocus directions.
  static constexpr uint8_t kTabNone = 0;
  static constexpr uint8_t kTabBackward = 1;
  static constexpr uint8_t kTabForward = 2;
  // ProcessInput.
  static constexpr int32_t kInputRefused = -1;
  static constexpr int32_t kInputNothing = 0;
  static constexpr int32_t kInputMouseButton = 1;
  static constexpr int32_t kInputFocusedChild = 2;
  static constexpr int32_t kInputText = 3;
  static constexpr int32_t kInputFocusMoved = 4;
  // GUI sound requests for the standard sounds.
  static constexpr int32_t kSoundDecide = -4;
  static constexpr int32_t kSoundEnter = -3;
  static constexpr int32_t kSoundLeave = -2;

  CGuiWindow() = default;
  CGuiWindow(const CGuiWindow&) = delete;
  CGuiWindow& operator=(const CGuiWindow&) = delete;
  // Drops every saved level and the children (who become ownerless).
  virtual ~CGuiWindow();

  // 0; 1 empty list (also for null); 2 not in the current list; 3 not enabled or not active.
  // Null removes the focus.
  virtual int32_t SetFocusTo(CGuiElement* element);
  // 0 moved; 1 empty list; 2 nothing focused and nothing focusable; -1 back at the focused one.
  virtual int32_t FocusNext();
  virtual int32_t FocusPrevious();
  virtual void RemoveAll();
  // 0 the current list was set aside; 1 it is empty.
  virtual uint32_t PushModalLevel();
  // 0 the newest level is back (the current children become ownerless, and the next input step
  // looks for the child under the pointer again); 1 none saved.
  virtual uint32_t PopModalLevel();
  // 0; 1 null; 2 already in a window; 3 no memory. index < 0 or past the end appends.
  virtual uint32_t AddChild(CGuiElement* element, int32_t index);
  // Also finds the element in the saved levels.
  virtual void RemoveChild(CGuiElement* element);
  virtual void SetMousePos(int32_t /*x*/, int32_t /*y*/) {}
  virtual void GetMousePos(int32_t& x, int32_t& y) = 0;
  virtual bool SetCursorMode(int32_t /*mode*/) { return false; }
  virtual int32_t GetCursorMode() const { return 0; }
  virtual void ShowCursor(bool /*show*/) {}
  virtual uint32_t RestartHoverTimer() { return hover_start_; }
  virtual int32_t GetScreenWidth() const { return 0; }
  virtual int32_t GetScreenHeight() const { return 0; }
  // What a widget that gains the focus without the pointer does with it: 0 nothing, 1 move the
  // pointer onto the widget, 2 park it.
  virtual uint8_t GetFocusPointerMode() const { return 0; }
  virtual void ParkPointer() { SetMousePos(GetScreenWidth() + 1, GetScreenHeight()); }
  // id >= 0 names a sound; kSoundDecide, kSoundEnter, kSoundLeave the standard ones.
  virtual int32_t PlaySound(const char* /*name*/, int32_t /*id*/, int32_t /*a3*/, int32_t /*a4*/) { return 0; }
  virtual void OnAction(const char* /*name2*/, const char* /*name1*/, uint32_t /*value*/) {}
  virtual void OnCommand(int32_t /*id*/) {}
  virtual void NotifyTextInput(uint32_t /*flag*/) {}
  virtual CInputBindings* GetInputBindings() = 0;
  virtual CKeyboard* GetKeyboard() = 0;
  virtual CMouse* GetMouse() = 0;
  // Focus and hover dropped, tooltip timing and pointer history forgotten.
  virtual void Reset();
  virtual void SetActive(bool active);
  virtual uint8_t ClassifyTabKey(CInputBindings* bindings);
  // Whether Tab was pressed in this input step (a move that ClassifyTabKey did not owe to an
  // arrow key).
  bool IsTabPressed();
  virtual int32_t ProcessInput(uint32_t time);
  virtual void ShowTooltip(const char* /*text*/, int32_t /*x*/, int32_t /*y*/) {}
  virtual uint32_t HideTooltipImage() { return 0; }
  // The first step of each input step; false ends the step.
  virtual bool BeginInput(uint32_t /*time*/, bool& /*moved*/, int32_t /*x*/, int32_t /*y*/) { return true; }
  virtual bool DeliverTextInput(CGuiElement* /*focused*/) { return false; }
  // kTabBackward or kTabForward; true when the focus moved or wrapped back to `element`.
  virtual bool MoveFocus(CGuiElement* element, uint8_t direction);

  // True when a child was hovered.
  bool ClearHover();
  bool IsHovered(const CGuiElement* element) const { return element != nullptr && element == hovered_; }
  bool IsFocused(const CGuiElement* element) const { return element != nullptr && element == focused_; }
  CGuiElement* GetHovered() const { return hovered_; }
  CGuiElement* GetFocused() const { return focused_; }
  void SetTooltipMode(bool enabled, uint32_t delay, uint32_t duration);
  bool AreTooltipsEnabled() const { return tooltips_enabled_; }
  uint32_t GetTooltipDelay() const { return tooltip_delay_; }
  uint32_t GetTooltipDuration() const { return tooltip_duration_; }
  uint32_t HideTooltip();
  void SetCapture(bool capture) { capture_ = capture; }
  // Where the pointer was at the last input step; (-1, -1) after ForgetPointer, so that the next
  // step counts as a move.
  plat::Point GetLastPointer() const { return {last_x_, last_y_}; }
  void ForgetPointer() {
    last_x_ = -1;
    last_y_ = -1;
  }
  bool HasCapture() const { return capture_; }
  bool IsActive() const { return active_; }
  bool IsTooltipShown() const { return tooltip_shown_; }
  int32_t GetLastResult() const { return last_result_; }
  const std::list<CGuiElement*>& GetChildren() const { return children_; }
  std::size_t GetSavedLevelCount() const { return saved_levels_.size(); }

 protected:
  uint32_t hover_start_ = 0;

 private:
  using ChildList = std::list<CGuiElement*>;

  void SetFocus(CGuiElement* element, int forward);
  template <typename Iterator>
  int32_t SearchFocus(Iterator begin, Iterator end, int forward);
  static bool IsFocusable(const CGuiElement* element);
  CGuiElement* HitChild(int32_t x, int32_t y) const;
  void TrackPointer(uint32_t time, int32_t x, int32_t y);
  void TimeTooltip(uint32_t time, int32_t x, int32_t y);
  int32_t Finish(int32_t result) { return last_result_ = result; }
  bool MoveToNeighbour(CInputBindings* bindings);

  ChildList children_;
  int32_t last_x_ = -1;
  int32_t last_y_ = -1;
  bool capture_ = false;
  bool active_ = true;
  int32_t last_result_ = 0;
  bool tooltips_enabled_ = false;
  bool tooltip_shown_ = false;
  uint32_t tooltip_delay_ = 0;
  uint32_t tooltip_duration_ = 0;
  CGuiElement* hovered_ = nullptr;
  CGuiElement* focused_ = nullptr;
  std::deque<ChildList> saved_levels_;
};
