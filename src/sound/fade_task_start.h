// Starting a fade task of the sound channels on the frame's timer manager.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "base/time/timer_manager.h"

// The task belongs to the timer manager once started; a failed start leaves it to be deleted
// here. The start's result.
template <class Task, class... Args>
int32_t StartFadeTask(std::unique_ptr<Task> task, Args&&... args) {
  const int32_t status = task->Start(g_TimerManager, std::forward<Args>(args)...);
  if (status == 0) static_cast<void>(task.release());
  return status;
}
