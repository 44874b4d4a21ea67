// The built-in functions that read the keyboard, the mouse and the first joystick directly, as
// the frame procedure refreshed them on the last due frame. Without a device every query
// answers 0.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// Either skip key (both Ctrl keys, or both Shift keys when the settings choose Shift) newly
// pressed, or down.
std::uint32_t NativeIsSkipKeyPressed(const NativeArgs& args);
std::uint32_t NativeIsSkipKeyDown(const NativeArgs& args);
// args[0] key code (byte): newly pressed, or down.
std::uint32_t NativeIsKeyPressed(const NativeArgs& args);
std::uint32_t NativeIsKeyDown(const NativeArgs& args);
// The keyboard's Scroll Lock, Caps Lock and Num Lock toggles (1 or 0).
std::uint32_t NativeGetKeyboardByteA(const NativeArgs& args);
std::uint32_t NativeGetKeyboardByteB(const NativeArgs& args);
std::uint32_t NativeGetKeyboardByteC(const NativeArgs& args);
// args[0] byte: whether the keyboard fed by window messages reports auto-repeat. 0.
std::uint32_t NativeSetKeyboardByte(const NativeArgs& args);
// args[0] key code (byte): the key repeated on the last frame (only the keyboard fed by window
// messages knows repeats).
std::uint32_t NativeKeyboardQuery(const NativeArgs& args);
// 1 while the cursor lies over the game screen.
std::uint32_t NativeIsCursorInside(const NativeArgs& args);
// The mouse buttons newly pressed, or down.
std::uint32_t NativeIsMouseLeftPressed(const NativeArgs& args);
std::uint32_t NativeIsMouseRightPressed(const NativeArgs& args);
std::uint32_t NativeIsMouseMiddlePressed(const NativeArgs& args);
std::uint32_t NativeIsMouseLeftDown(const NativeArgs& args);
std::uint32_t NativeIsMouseRightDown(const NativeArgs& args);
std::uint32_t NativeIsMouseMiddleDown(const NativeArgs& args);
// args[0] address (0: not written) for the wheel's delta: the wheel turned away from the user
// (up), or towards the user (down), on the last frame.
std::uint32_t NativeIsWheelUp(const NativeArgs& args);
std::uint32_t NativeIsWheelDown(const NativeArgs& args);
// The first joystick's device number; 0 without a joystick.
std::uint32_t NativeGetJoystickWord(const NativeArgs& args);
// args[0] joystick code (byte: 0-3 the stick's directions, 4 + n button n): newly pressed, or down.
std::uint32_t NativeIsJoyButtonPressed(const NativeArgs& args);
std::uint32_t NativeIsJoyButtonDown(const NativeArgs& args);
