// The built-in functions over the millisecond clock, the local date and the scripts' stopwatches
// (g_ElapsedTimers, indexed by the low 16 bits of args[0]).
#pragma once

#include <cstdint>

#include "script/native_args.h"

// The program's millisecond clock.
std::uint32_t NativeGetTime(const NativeArgs& args);
// args[0] to args[4] addresses (0: not written) of the year, month, day, hour and minute. 0.
std::uint32_t NativeGetLocalTime(const NativeArgs& args);
// args[0] count (16 bits): 0; 1 for 0 (no stopwatches then); 2 without memory.
std::uint32_t NativeAllocTimers(const NativeArgs& args);
// args[0] index: 1 when the stopwatch starts from now, 0 for a bad index.
std::uint32_t NativeRestartTimer(const NativeArgs& args);
// args[0] index: the milliseconds since its restart, less its pauses; 0 for a bad index.
std::uint32_t NativeGetTimerElapsed(const NativeArgs& args);
// args[0] index, args[1] milliseconds: the stopwatch reads that now. 0.
std::uint32_t NativeSetTimerValue(const NativeArgs& args);
// args[0] index: pauses or resumes it. 0.
std::uint32_t NativePauseTimer(const NativeArgs& args);
std::uint32_t NativeResumeTimer(const NativeArgs& args);
// Every stopwatch. 0.
std::uint32_t NativePauseAllTimers(const NativeArgs& args);
std::uint32_t NativeResumeAllTimers(const NativeArgs& args);
