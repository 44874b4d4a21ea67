#include "builtins/device_builtins.h"

#include "base/input/input_manager.h"
#include "base/input/player_input.h"
#include "base/system/app_services.h"

namespace {

// `test` of a device that may not exist: 1 or 0.
template <class Device, class Test>
std::uint32_t Ask(const Device* device, Test test) {
  return device != nullptr && test(*device) ? 1 : 0;
}

std::uint32_t KeyboardAsks(bool (*test)(const CKeyboard&)) { return Ask(g_Keyboard, test); }

std::uint32_t MousePressed(std::uint32_t button) {
  return Ask(g_Mouse, [button](const CMouse& mouse) { return mouse.IsPressed(button); });
}

std::uint32_t MouseDown(std::uint32_t button) {
  return Ask(g_Mouse, [button](const CMouse& mouse) { return mouse.IsDown(button); });
}

// Writes the wheel's delta to args[0] and answers whether the wheel code is down.
std::uint32_t Wheel(const NativeArgs& args, std::uint32_t code) {
  args.Out(0).Set(g_Mouse != nullptr ? static_cast<std::uint32_t>(g_Mouse->GetWheel()) : 0);
  return MouseDown(code);
}

}  // namespace

std::uint32_t NativeIsSkipKeyPressed(const NativeArgs& /*args*/) { return IsSkipKeyPressed() ? 1 : 0; }

std::uint32_t NativeIsSkipKeyDown(const NativeArgs& /*args*/) { return IsSkipKeyDown() ? 1 : 0; }

std::uint32_t NativeIsKeyPressed(const NativeArgs& args) {
  const std::uint32_t code = args.U8(0);
  return Ask(g_Keyboard, [code](const CKeyboard& keyboard) { return keyboard.IsPressed(code); });
}

std::uint32_t NativeIsKeyDown(const NativeArgs& args) {
  const std::uint32_t code = args.U8(0);
  return Ask(g_Keyboard, [code](const CKeyboard& keyboard) { return keyboard.IsDown(code); });
}

std::uint32_t NativeGetKeyboardByteA(const NativeArgs& /*args*/) {
  return KeyboardAsks([](const CKeyboard& keyboard) { return keyboard.IsScrollLockOn(); });
}

std::uint32_t NativeGetKeyboardByteB(const NativeArgs& /*args*/) {
  return KeyboardAsks([](const CKeyboard& keyboard) { return keyboard.IsCapsLockOn(); });
}

std::uint32_t NativeGetKeyboardByteC(const NativeArgs& /*args*/) {
  return KeyboardAsks([](const CKeyboard& keyboard) { return keyboard.IsNumLockOn(); });
}

std::uint32_t NativeSetKeyboardByte(const NativeArgs& args) {
  if (g_Keyboard != nullptr) g_Keyboard->SetReportRepeats(args.U8(0) != 0);
  return 0;
}

std::uint32_t NativeKeyboardQuery(const NativeArgs& args) {
  const std::uint32_t code = args.U8(0);
  return Ask(g_Keyboard, [code](const CKeyboard& keyboard) { return keyboard.IsRepeated(code); });
}

std::uint32_t NativeIsCursorInside(const NativeArgs& /*args*/) {
  if (g_AppServices == nullptr) return 0;
  const plat::Point at = g_AppServices->CursorInGame();
  return at.x >= 0 && at.y >= 0 ? 1 : 0;
}

std::uint32_t NativeIsMouseLeftPressed(const NativeArgs& /*args*/) { return MousePressed(kMouseLeft); }
std::uint32_t NativeIsMouseRightPressed(const NativeArgs& /*args*/) { return MousePressed(kMouseRight); }
std::uint32_t NativeIsMouseMiddlePressed(const NativeArgs& /*args*/) { return MousePressed(kMouseMiddle); }
std::uint32_t NativeIsMouseLeftDown(const NativeArgs& /*args*/) { return MouseDown(kMouseLeft); }
std::uint32_t NativeIsMouseRightDown(const NativeArgs& /*args*/) { return MouseDown(kMouseRight); }
std::uint32_t NativeIsMouseMiddleDown(const NativeArgs& /*args*/) { return MouseDown(kMouseMiddle); }

std::uint32_t NativeIsWheelUp(const NativeArgs& args) { return Wheel(args, kMouseWheelAway); }

std::uint32_t NativeIsWheelDown(const NativeArgs& args) { return Wheel(args, kMouseWheelTowards); }

std::uint32_t NativeGetJoystickWord(const NativeArgs& /*args*/) {
  return g_Joystick != nullptr ? static_cast<std::uint32_t>(g_Joystick->GetDeviceNumber()) : 0;
}

std::uint32_t NativeIsJoyButtonPressed(const NativeArgs& args) {
  const std::uint32_t code = args.U8(0);
  return Ask(g_Joystick, [code](const CJoystick& joystick) { return joystick.IsPressed(code); });
}

std::uint32_t NativeIsJoyButtonDown(const NativeArgs& args) {
  const std::uint32_t code = args.U8(0);
  return Ask(g_Joystick, [code](const CJoystick& joystick) { return joystick.IsDown(code); });
}
