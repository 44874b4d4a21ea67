// The built-in functions over the application's frame-rate modes and the game thread's
// priority: each forwards to the application and returns its answer.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// The no-wait frame mode and the high-resolution timer's suspension, nested by counters: 1 when
// the mode changed, else 0 (also without an application).
std::uint32_t NativeBeginNoWait(const NativeArgs& args);
std::uint32_t NativeEndNoWait(const NativeArgs& args);
std::uint32_t NativeSuspendHighResTimer(const NativeArgs& args);
std::uint32_t NativeResumeHighResTimer(const NativeArgs& args);
// The nested priority hooks of heavy work, with the hooks' answers (-1 while they are off).
std::uint32_t NativeLowerThreadPriority(const NativeArgs& args);
std::uint32_t NativeRestoreThreadPriority(const NativeArgs& args);
// args[0] frames per second (negative: the configured rate): 0.
std::uint32_t NativeApplyFrameRate(const NativeArgs& args);
// The frames per second the game reached over the last second.
std::uint32_t NativeGetAppWord(const NativeArgs& args);
