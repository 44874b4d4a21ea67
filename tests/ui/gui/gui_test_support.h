// Widgets and a window for the toolkit's tests: rectangles that log what the window tells
// them, and a window whose pointer the test sets and whose devices are message-fed ones.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/input/input_manager.h"
#include "base/input/message_keyboard.h"
#include "base/input/mouse.h"
#include "gfx/images/image.h"
#include "platform/events/window_messages.h"
#include "scene/drawables/draw_list.h"
#include "ui/gui/gui_element.h"
#include "ui/gui/gui_root_window.h"
#include "ui/gui/gui_window.h"

namespace gui_test {

// The application as the root window sees it, installed while it lives: a pointer the test
// places, and nothing else.
class FakeGuiApplication : public IGuiApplication {
 public:
  FakeGuiApplication() { g_GuiApplication = this; }
  ~FakeGuiApplication() override { g_GuiApplication = nullptr; }
  FakeGuiApplication(const FakeGuiApplication&) = delete;
  FakeGuiApplication& operator=(const FakeGuiApplication&) = delete;
  plat::Point GetPointerPos() const override { return pointer; }
  void SetPointerPos(int32_t x, int32_t y) override { pointer = {x, y}; }
  void ShowCursor(bool) override {}
  bool SendImeMessage(uint32_t) override { return false; }
  bool DeliverTextInput(CGuiElement*) override { return false; }

  plat::Point pointer{-1, -1};
};

class LoggingElement : public CGuiElement {
 public:
  LoggingElement(std::string name, std::vector<std::string>& log, plat::Rect box = {})
      : name_(std::move(name)), log_(log), box_(box) {}

  int32_t GetType() const override { return type; }
  int32_t GetX() const override { return box_.left; }
  int32_t GetY() const override { return box_.top; }
  int32_t GetWidth() const override { return box_.Width(); }
  int32_t GetHeight() const override { return box_.bottom - box_.top; }
  void SetPosition(int32_t, int32_t) override {}
  void SetActive(bool active) override {
    if (!active) LeaveOwnerFocusAndHover();
    active_ = active;
  }
  bool IsActive() const override { return active_; }
  void SetPriority(uint32_t, uint32_t, uint32_t) override {}
  uint32_t GetPriority() const override { return 0; }
  void SetOpacity(uint8_t) override {}
  uint8_t GetOpacity() const override { return 255; }
  bool HitTest(int32_t x, int32_t y) const override {
    return x >= box_.left && x < box_.right && y >= box_.top && y < box_.bottom;
  }
  void OnMouseMove(int32_t x, int32_t y) override { Log("move " + std::to_string(x) + "," + std::to_string(y)); }
  void OnMouseEnter() override { Log("enter"); }
  void OnMouseLeave() override { Log("leave"); }
  void OnFocus(CGuiElement* previous, int forward) override {
    Log("focus from " + NameOf(previous) + " " + std::to_string(forward));
  }
  void OnKillFocus(CGuiElement* next) override { Log("kill focus to " + NameOf(next)); }
  void Tick(uint32_t) override {
    Log("tick");
    if (leave_on_tick && GetOwner() != nullptr) GetOwner()->RemoveChild(this);
  }

  int32_t type = 7;
  bool leave_on_tick = false;

 private:
  static std::string NameOf(CGuiElement* element) {
    return element == nullptr ? "none" : static_cast<LoggingElement*>(element)->name_;
  }
  void Log(const std::string& what) { log_.push_back(name_ + ": " + what); }

  std::string name_;
  std::vector<std::string>& log_;
  plat::Rect box_;
  bool active_ = true;
};

// Actions 0 to 3 on the cursor keys and the decide action 4 on Return, as the game binds them.
inline CInputBindings* CursorKeyBindings(CInputManager& input) {
  CInputBindings* bindings = input.CreateBindings(5);
  constexpr uint8_t kKeys[5] = {0xC8, 0xD0, 0xCB, 0xCD, 0x1C};
  for (uint32_t action = 0; action < 5; ++action) bindings->AddBinding(action, kSelectKeyboard, kKeys[action]);
  return bindings;
}

// The draw list the widgets join (their sprites and colour boxes are listed in it).
using TestDrawList = CDrawList;

// A button strip of `frames` opaque frames of width × height, each frame's pixels holding its
// number in the blue byte.
inline void MakeStrip(CImage& strip, int32_t frames, int32_t width, int32_t height) {
  strip.Create(frames * width, height, 32, 0);
  for (int32_t frame = 0; frame < frames; ++frame) {
    strip.FillRectArgbXYWH(frame * width, 0, width, height, 0xFF000000u | static_cast<uint32_t>(frame));
  }
}

class TestWindow : public CGuiWindow {
 public:
  TestWindow() {
    input_.Create(kInputMethodMessages, kInputMethodMessages);
    input_.Activate();
    bindings_ = CursorKeyBindings(input_);
  }

  void GetMousePos(int32_t& x, int32_t& y) override {
    x = pointer.x;
    y = pointer.y;
  }
  CInputBindings* GetInputBindings() override { return bindings_; }
  CKeyboard* GetKeyboard() override { return input_.GetKeyboard(); }
  CMouse* GetMouse() override { return input_.GetMouse(); }
  void ShowTooltip(const char* text, int32_t, int32_t) override { tooltips.emplace_back(text); }
  int32_t PlaySound(const char* name, int32_t id, int32_t, int32_t) override {
    sounds.push_back(std::string(name != nullptr ? name : "-") + " " + std::to_string(id));
    return 0;
  }
  void OnAction(const char* name2, const char* name1, uint32_t value) override {
    actions.push_back(std::string(name2 != nullptr ? name2 : "-") + " " + (name1 != nullptr ? name1 : "-") + " " +
                      std::to_string(value));
  }

  // The keys held before go up and these go down together; the devices read the new frame.
  void PressKeys(std::initializer_list<uint32_t> virtual_keys) {
    auto* keyboard = static_cast<CMessageKeyboard*>(input_.GetKeyboard());
    for (const uint32_t key : held_) keyboard->OnKeyUp(key);
    held_.assign(virtual_keys.begin(), virtual_keys.end());
    for (const uint32_t key : held_) keyboard->OnKeyDown(key, 0);
    input_.Update();
  }

  // The left mouse button goes down or up; the devices read the new frame.
  void SetLeftButton(bool down) {
    static_cast<CMessageMouse*>(input_.GetMouse())->OnButton(0, down);
    input_.Update();
  }
  // The next frame's reading of the devices, the buttons as they are.
  void NextFrame() { input_.Update(); }
  void OnCommand(int32_t id) override { commands.push_back(id); }
  uint8_t GetFocusPointerMode() const override { return focus_pointer_mode; }
  void SetMousePos(int32_t x, int32_t y) override { pointer = {x, y}; }
  void ParkPointer() override { pointer = {-5, -5}; }
  bool SetCursorMode(int32_t mode) override {
    cursor_mode = mode;
    return true;
  }
  int32_t GetCursorMode() const override { return cursor_mode; }

  plat::Point pointer{-1, -1};
  int32_t cursor_mode = 0;
  std::vector<int32_t> commands;
  uint8_t focus_pointer_mode = 0;
  std::vector<std::string> tooltips;
  std::vector<std::string> sounds;
  std::vector<std::string> actions;

 private:
  CInputManager input_;
  CInputBindings* bindings_ = nullptr;
  std::vector<uint32_t> held_;
};

}  // namespace gui_test
