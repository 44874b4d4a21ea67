// The base of every widget, as the window that holds it sees it: enabled state, owner window,
// command id, group number, tooltip text and the four neighbours that the direction actions
// move the focus to (a neighbour that is deleted is forgotten); and the optional action record that buttons and click areas fire. Scripts
// hold a widget by one handle of the kind CGuiElement, whatever the widget's class.
#pragma once

#include <cstdint>
#include <string>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/watched_ptr.h"

class CGuiWindow;
class CInputBindings;
class CMouse;

class CGuiElement : public ScriptVisible<CGuiElement> {
 public:
  CGuiElement() = default;
  CGuiElement(const CGuiElement&) = delete;
  CGuiElement& operator=(const CGuiElement&) = delete;
  // Leaves the owner window, which then forgets focus and hover on it.
  virtual ~CGuiElement();

  virtual int32_t GetType() const = 0;
  virtual int32_t GetX() const = 0;
  virtual int32_t GetY() const = 0;
  virtual int32_t GetWidth() const = 0;
  virtual int32_t GetHeight() const = 0;
  virtual void SetPosition(int32_t x, int32_t y) = 0;
  // Shows or hides the widget; hiding it also drops the owner's focus and hover on it.
  virtual void SetActive(bool active) = 0;
  virtual bool IsActive() const = 0;
  virtual void SetPriority(uint32_t priority, uint32_t key2, uint32_t key3) = 0;
  virtual uint32_t GetPriority() const = 0;
  virtual void SetOpacity(uint8_t opacity) = 0;
  virtual uint8_t GetOpacity() const = 0;
  // False when unchanged. Disabling drops the owner's focus and hover on the element.
  virtual bool SetEnabled(bool enabled);
  // Null or "" clears the tooltip text; a shown tooltip of the hovered element goes first.
  virtual void SetText(const char* text);
  // Window coordinates.
  virtual bool HitTest(int32_t x, int32_t y) const = 0;
  // Positions relative to the element.
  virtual void OnMouseMove(int32_t /*x*/, int32_t /*y*/) {}
  virtual void OnMouseEnter() {}
  virtual void OnMouseLeave() {}
  // The element asks the device for presses itself; true when it used the input.
  virtual bool OnMouseButton(int32_t /*x*/, int32_t /*y*/, CMouse* /*mouse*/) { return false; }
  // `forward`: 1 when the focus came moving forward or directly, 0 moving backward.
  virtual void OnFocus(CGuiElement* /*previous*/, int /*forward*/) {}
  virtual void OnKillFocus(CGuiElement* /*next*/) {}
  // Once per frame for the focused element; true when it used the input.
  virtual bool ProcessInput(CInputBindings* /*bindings*/) { return false; }
  // A key press (virtual-key code) that the application holds for the focused widget.
  virtual bool OnKeyDown(uint32_t /*virtual_key*/) { return false; }
  // Typed or newly composed text (Shift-JIS bytes).
  virtual bool OnChar(const char* /*text*/, int32_t /*length*/) { return false; }
  // Once per frame for every enabled and active child.
  virtual void Tick(uint32_t /*time*/) {}
  virtual bool IsEnabled() const { return enabled_; }
  virtual const char* GetText() const { return text_.empty() ? nullptr : text_.c_str(); }
  virtual int32_t GetGroup() const { return group_; }
  virtual void SetId(int32_t id) { id_ = id; }
  virtual int32_t GetId() const { return id_; }

  void SetNeighbours(CGuiElement* left, CGuiElement* right, CGuiElement* up, CGuiElement* down) {
    neighbours_[kUp] = up;
    neighbours_[kDown] = down;
    neighbours_[kLeft] = left;
    neighbours_[kRight] = right;
  }
  // The neighbour for input action 0 (up), 1 (down), 2 (left) or 3 (right).
  CGuiElement* GetNeighbour(uint32_t action) const { return action < 4 ? neighbours_[action].get() : nullptr; }
  CGuiWindow* GetOwner() const { return owner_; }

 protected:
  // What switching the widget off or disabling it does to its owner: focus and hover on it end.
  void LeaveOwnerFocusAndHover();

  int32_t group_ = 0;

 private:
  friend class CGuiWindow;
  static constexpr uint32_t kUp = 0;
  static constexpr uint32_t kDown = 1;
  static constexpr uint32_t kLeft = 2;
  static constexpr uint32_t kRight = 3;

  bool enabled_ = true;
  std::string text_;
  CGuiWindow* owner_ = nullptr;
  WatchedPtr<CGuiElement> neighbours_[4];
  int32_t id_ = -1;
};
