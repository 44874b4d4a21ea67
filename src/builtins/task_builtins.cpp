#include "builtins/task_builtins.h"

#include "base/time/timer_manager.h"
#include "builtins/script_task.h"

namespace {

// Runs `operation` on the task of args[0] and the pausable manager: 1 when it answers true. A
// task that has finished (ended, or its target ended) waits only for the manager to delete it at
// its next step: it runs no more, and these answer as for a task that is gone.
template <class Operation>
std::uint32_t OnTask(const NativeArgs& args, Operation operation) {
  CTimedTask* task = TaskArg(args, 0);
  if (task == nullptr || task->IsFinished() || g_PausableTimerManager == nullptr) return 0;
  return operation(*g_PausableTimerManager, task) ? 1 : 0;
}

template <class Operation>
std::uint32_t OnManager(Operation operation) {
  if (g_PausableTimerManager != nullptr) operation(*g_PausableTimerManager);
  return 0;
}

}  // namespace

std::uint32_t NativeIsTaskRegistered(const NativeArgs& args) {
  return OnTask(args, [](CTimerManager& timers, CTimedTask* task) { return timers.Contains(task); });
}

std::uint32_t NativeRemoveTask(const NativeArgs& args) {
  const std::uint32_t cell = args.U32(0);
  if (cell == 0) return 0;
  const std::uint32_t handle = args.Memory().Word(cell);
  args.Memory().SetWord(cell, 0);
  CTimedTask* task = TaskOfHandle(args.Handles(), handle);
  if (task == nullptr || g_PausableTimerManager == nullptr) return 0;
  return g_PausableTimerManager->Remove(task) ? 1 : 0;
}

std::uint32_t NativeRemoveTasksByKind(const NativeArgs& args) {
  return OnManager([&](CTimerManager& timers) { timers.RemoveByKind(args.I32(0)); });
}

std::uint32_t NativePauseTask(const NativeArgs& args) {
  return OnTask(args, [](CTimerManager& timers, CTimedTask* task) { return timers.PauseTask(task); });
}

std::uint32_t NativePauseAllTasks(const NativeArgs& args) {
  return OnManager([&](CTimerManager& timers) { timers.PauseAll(args.I32(0)); });
}

std::uint32_t NativeResumeTask(const NativeArgs& args) {
  return OnTask(args, [](CTimerManager& timers, CTimedTask* task) { return timers.ResumeTask(task); });
}

std::uint32_t NativeResumeAllTasks(const NativeArgs& args) {
  return OnManager([&](CTimerManager& timers) { timers.ResumeAll(args.I32(0)); });
}
