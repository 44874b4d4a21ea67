// The built-in functions over the timed tasks of the pausable timer manager (ids 211 to 217).
// A task handle names the task until the manager deletes it; after that it names none.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// args[0] task: 1 while the manager holds it, else 0.
std::uint32_t NativeIsTaskRegistered(const NativeArgs& args);
// args[0] address of a task word: the word cleared, then the task ended: 1 when the manager held
// it, else 0.
std::uint32_t NativeRemoveTask(const NativeArgs& args);
// args[0] kind: every task of that kind ended. 0.
std::uint32_t NativeRemoveTasksByKind(const NativeArgs& args);
// args[0] task: paused (resumed) now: 1 when the manager holds it, else 0.
std::uint32_t NativePauseTask(const NativeArgs& args);
std::uint32_t NativeResumeTask(const NativeArgs& args);
// args[0] kind, or -1 for every task: paused (resumed) now. 0.
std::uint32_t NativePauseAllTasks(const NativeArgs& args);
std::uint32_t NativeResumeAllTasks(const NativeArgs& args);
