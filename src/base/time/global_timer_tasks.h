// Tasks on the frame's timer manager (g_TimerManager), as their creators ask after them and end
// them.
#pragma once

#include <type_traits>
#include <utility>

#include "base/time/timed_task.h"

// Whether the frame's timer manager holds `task`; false without a manager.
bool IsTaskRunning(const CTimedTask* task);
// Ends `task` on the frame's timer manager, which deletes it: whether the manager held it.
bool EndFrameTask(CTimedTask* task);

// Ends the task held in `*task` after clearing the holder's pointer: false for a null holder,
// else whether the manager held the task.
template <class Task>
bool StopTask(Task** task) {
  static_assert(std::is_base_of_v<CTimedTask, Task>);
  if (task == nullptr) return false;
  return EndFrameTask(std::exchange(*task, nullptr));
}
