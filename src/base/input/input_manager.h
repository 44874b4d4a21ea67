// The input manager owns the keyboard, the mouse, the joysticks and the binding tables, and
// updates the devices once per due frame while the application is active. The window's input
// messages are forwarded to it on the window thread; the devices are updated and read on the
// thread that runs the game.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/input/input_bindings.h"
#include "base/input/joystick.h"
#include "base/input/keyboard.h"
#include "base/input/mouse.h"

class CMessageKeyboard;
class CMessageMouse;

// The input methods of the environment settings (and the kinds Create takes).
inline constexpr uint8_t kInputMethodDirect = 0;
inline constexpr uint8_t kInputMethodPolled = 1;
inline constexpr uint8_t kInputMethodMessages = 2;
inline constexpr uint8_t kInputMethodPolledShort = 3;

class CInputManager {
 public:
  CInputManager() = default;
  CInputManager(const CInputManager&) = delete;
  CInputManager& operator=(const CInputManager&) = delete;
  ~CInputManager();

  // Releases every device; with `use` the DirectInput devices are made from then on: 0. SDL
  // reads every device the same way, so there is nothing that could fail to start.
  uint32_t InitDirectInput(bool use);
  bool UsesDirectInput() const { return direct_input_; }
  // Releases every device and makes the keyboard and the mouse: the DirectInput pair when
  // DirectInput is in use, otherwise by kind (keyboard: 1 polled, 2 messages, 3 polled short,
  // others 1; mouse: 1 polled, 2 messages, 3 polled as well, others 2). 0.
  uint32_t Create(uint8_t keyboard_kind, uint8_t mouse_kind);
  // Opens a joystick on device `number` (-1: the first free one) and appends it: the device
  // number it opened, or 1 (DirectInput) or 2 when none could be opened. The two can be equal,
  // as callers know.
  int32_t AddJoystick(int32_t number);
  // A table of `count` actions that the manager keeps until ReleaseAll; null when count is 0.
  CInputBindings* CreateBindings(uint32_t count);
  bool Owns(const CInputBindings* bindings) const;

  CKeyboard* GetKeyboard() const { return keyboard_.get(); }
  CMouse* GetMouse() const { return mouse_.get(); }
  CJoystick* GetJoystick(uint32_t index) const {
    return index < joysticks_.size() ? joysticks_[index].get() : nullptr;
  }
  uint32_t GetJoystickCount() const { return static_cast<uint32_t>(joysticks_.size()); }

  // Activation also brings the held keys in step with the keyboard (KeepKeysInStep).
  void Activate();
  void Deactivate();
  // The message keyboard lets go of the keys the keyboard no longer holds, whose key-up a modal
  // loop or another window took (window thread).
  void KeepKeysInStep();
  bool IsActive() const { return active_.load(); }
  // The frame's update: every device while active; disabled joysticks read nothing.
  void Update();
  void SetJoysticksEnabled(bool enabled);
  bool AreJoysticksEnabled() const { return joysticks_enabled_.load(); }

  // The window's input messages; each answers whether a device took it.
  bool OnKeyDown(uint32_t virtual_key, uint32_t lparam);
  bool OnKeyUp(uint32_t virtual_key);
  bool OnWheel(uint32_t wparam);
  bool OnMouseButton(uint32_t button, bool down);

  void ReleaseAll();

 private:
  std::atomic<bool> active_{false};
  std::atomic<bool> joysticks_enabled_{true};
  bool direct_input_ = false;
  std::unique_ptr<CKeyboard> keyboard_;
  std::unique_ptr<CMouse> mouse_;
  // The message-fed devices among the two above, or null.
  CMessageKeyboard* message_keyboard_ = nullptr;
  CMessageMouse* message_mouse_ = nullptr;
  std::vector<std::unique_ptr<CJoystick>> joysticks_;
  std::vector<std::unique_ptr<CInputBindings>> bindings_;
};

// The devices and the game's binding table, published by the game's device set-up.
extern CKeyboard* g_Keyboard;
extern CMouse* g_Mouse;
extern CJoystick* g_Joystick;
extern CInputBindings* g_KeyBindings;
