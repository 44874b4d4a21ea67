// Built-in functions 0 to 2: a script asks for a Call, a Jump or the end of the game. A Call is
// followed by a Yield, a Jump by a return from the script's top level; the run loop serves them.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0]: the name of the script object to call. Result 0.
std::uint32_t NativeScriptCall(const NativeArgs& args);
// args[0]: the name of the script object to jump to. Result 0.
std::uint32_t NativeScriptJump(const NativeArgs& args);
// No arguments. Result 0.
std::uint32_t NativeScriptEnd(const NativeArgs& args);
