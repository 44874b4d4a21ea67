// The built-in functions that read the game's action bindings.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] action: 1 when a binding of the action was newly pressed on the last due frame, else 0
// (also for an action the table does not have, or before the table exists).
std::uint32_t NativeIsActionPressed(const NativeArgs& args);
// args[0] action: 1 while a binding of the action is down, else 0.
std::uint32_t NativeIsActionDown(const NativeArgs& args);
