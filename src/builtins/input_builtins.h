// The built-in functions that read and change the game's action bindings. Without the table
// (before the devices exist) every query answers 0, or -1 for a search.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] action: 1 when a binding of the action was newly pressed on the last due frame, else 0
// (also for an action the table does not have, or before the table exists).
std::uint32_t NativeIsActionPressed(const NativeArgs& args);
// args[0] action: 1 while a binding of the action is down, else 0.
std::uint32_t NativeIsActionDown(const NativeArgs& args);
// args[0] first action, args[1] count (0: to the last action): the first action of the range
// with a binding newly pressed (or down); -1 for none, and for a first action past the last.
std::uint32_t NativeFindPressedAction(const NativeArgs& args);
std::uint32_t NativeFindDownAction(const NativeArgs& args);
// args[0] action, args[1] device (0 keyboard, 1 mouse, n + 2 joystick n), args[2] code (byte):
// 0; 1 bad action; 2 no such device; removing also 3 when the action has no such binding.
std::uint32_t NativeAddBinding(const NativeArgs& args);
std::uint32_t NativeRemoveBinding(const NativeArgs& args);
// args[0] action, args[1] device, args[2] old code (negative: the device's first binding),
// args[3] new code (byte): 0; 1 bad action; 2 no such device; 3 no such binding.
std::uint32_t NativeChangeBinding(const NativeArgs& args);
// The fixed actions without arguments: 1 when newly pressed (or down), else 0.
std::uint32_t NativeIsDecidePressed(const NativeArgs& args);
std::uint32_t NativeIsAction5Pressed(const NativeArgs& args);
std::uint32_t NativeIsAction0Pressed(const NativeArgs& args);
std::uint32_t NativeIsAction1Pressed(const NativeArgs& args);
std::uint32_t NativeIsAction2Pressed(const NativeArgs& args);
std::uint32_t NativeIsAction3Pressed(const NativeArgs& args);
std::uint32_t NativeIsAction4Down(const NativeArgs& args);
std::uint32_t NativeIsAction5Down(const NativeArgs& args);
std::uint32_t NativeIsAction0Down(const NativeArgs& args);
std::uint32_t NativeIsAction1Down(const NativeArgs& args);
std::uint32_t NativeIsAction2Down(const NativeArgs& args);
std::uint32_t NativeIsAction3Down(const NativeArgs& args);
