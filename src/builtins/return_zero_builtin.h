// The built-in function that several numbers share: it ignores its arguments and returns 0.
#pragma once

#include <cstdint>

#include "script/native_args.h"

std::uint32_t NativeReturnZero(const NativeArgs& args);
