#include "base/input/input_manager.h"

#include <algorithm>

#include "base/input/message_keyboard.h"
#include "platform/events/input_state.h"
#include "platform/events/window_messages.h"

CKeyboard* g_Keyboard = nullptr;
CMouse* g_Mouse = nullptr;
CJoystick* g_Joystick = nullptr;
CInputBindings* g_KeyBindings = nullptr;

CInputManager::~CInputManager() { ReleaseAll(); }

uint32_t CInputManager::InitDirectInput(bool use) {
  ReleaseAll();
  direct_input_ = use;
  return 0;
}

uint32_t CInputManager::Create(uint8_t keyboard_kind, uint8_t mouse_kind) {
  ReleaseAll();
  if (direct_input_) {
    keyboard_ = std::make_unique<CDIKeyboard>();
    mouse_ = std::make_unique<CDIMouse>();
    return 0;
  }
  switch (keyboard_kind) {
    case kInputMethodMessages: {
      auto keyboard = std::make_unique<CMessageKeyboard>();
      message_keyboard_ = keyboard.get();
      keyboard_ = std::move(keyboard);
      break;
    }
    case kInputMethodPolledShort:
      keyboard_ = std::make_unique<CAsyncKeyboardShort>();
      break;
    default:
      keyboard_ = std::make_unique<CAsyncKeyboard>();
      break;
  }
  // The short keyboard's method reads the mouse polled too: without a mouse the game's devices
  // could not be set up at all.
  if (mouse_kind == kInputMethodPolled || mouse_kind == kInputMethodPolledShort) {
    mouse_ = std::make_unique<CAsyncMouse>();
  } else {
    auto mouse = std::make_unique<CMessageMouse>();
    message_mouse_ = mouse.get();
    mouse_ = std::move(mouse);
  }
  return 0;
}

int32_t CInputManager::AddJoystick(int32_t number) {
  auto joystick = std::make_unique<CJoystick>();
  if (joystick->Open(number) != 0) return direct_input_ ? 1 : 2;
  const int32_t opened = joystick->GetDeviceNumber();
  joysticks_.push_back(std::move(joystick));
  return opened;
}

CInputBindings* CInputManager::CreateBindings(uint32_t count) {
  auto bindings = std::make_unique<CInputBindings>(*this);
  if (bindings->Allocate(count) != 0) return nullptr;
  bindings_.push_back(std::move(bindings));
  return bindings_.back().get();
}

bool CInputManager::Owns(const CInputBindings* bindings) const {
  return bindings != nullptr && std::any_of(bindings_.begin(), bindings_.end(),
                                            [bindings](const auto& owned) { return owned.get() == bindings; });
}

void CInputManager::Activate() {
  active_.store(true);
  if (keyboard_ != nullptr) {
    keyboard_->Acquire();
    keyboard_->RefreshLockKeys();
  }
  KeepKeysInStep();
  if (mouse_ != nullptr) mouse_->Acquire();
  for (const auto& joystick : joysticks_) joystick->Acquire();
}

void CInputManager::Deactivate() {
  active_.store(false);
  if (keyboard_ != nullptr) keyboard_->Unacquire();
  if (mouse_ != nullptr) mouse_->Unacquire();
  for (const auto& joystick : joysticks_) joystick->Unacquire();
}

void CInputManager::KeepKeysInStep() {
  if (message_keyboard_ == nullptr) return;
  plat::KeyStates held{};
  plat::InputState::Instance().ReadKeys(held);
  message_keyboard_->KeepInStepWith(held);
}

void CInputManager::Update() {
  // The cursor picture goes on turning while the program is inactive.
  if (!active_.load()) {
    if (mouse_ != nullptr) mouse_->DrawCursorImage();
    return;
  }
  if (keyboard_ != nullptr) keyboard_->Update();
  if (mouse_ != nullptr) {
    mouse_->Update();
    mouse_->DrawCursorImage();
  }
  // The switch may change on the window thread: the joysticks' states are left to this thread.
  const bool joysticks_enabled = joysticks_enabled_.load();
  for (const auto& joystick : joysticks_) {
    if (joysticks_enabled) {
      joystick->Update();
    } else {
      joystick->ResetState();
    }
  }
}

void CInputManager::SetJoysticksEnabled(bool enabled) { joysticks_enabled_.store(enabled); }

bool CInputManager::OnKeyDown(uint32_t virtual_key, uint32_t lparam) {
  if (keyboard_ != nullptr &&
      (virtual_key == plat::VK_CAPITAL || virtual_key == plat::VK_NUMLOCK || virtual_key == plat::VK_SCROLL)) {
    keyboard_->RefreshLockKeys();
  }
  if (message_keyboard_ == nullptr) return false;
  message_keyboard_->OnKeyDown(virtual_key, lparam);
  return true;
}

bool CInputManager::OnKeyUp(uint32_t virtual_key) {
  if (message_keyboard_ == nullptr) return false;
  message_keyboard_->OnKeyUp(virtual_key);
  return true;
}

bool CInputManager::OnWheel(uint32_t wparam) { return mouse_ != nullptr && mouse_->OnWheel(wparam); }

bool CInputManager::OnMouseButton(uint32_t button, bool down) {
  if (message_mouse_ == nullptr) return false;
  message_mouse_->OnButton(button, down);
  return true;
}

void CInputManager::ReleaseAll() {
  bindings_.clear();
  message_keyboard_ = nullptr;
  message_mouse_ = nullptr;
  keyboard_.reset();
  mouse_.reset();
  joysticks_.clear();
}
