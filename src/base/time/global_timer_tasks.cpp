#include "base/time/global_timer_tasks.h"

#include "base/time/timer_manager.h"

bool IsTaskRunning(const CTimedTask* task) { return g_TimerManager != nullptr && g_TimerManager->Contains(task); }

bool EndFrameTask(CTimedTask* task) { return g_TimerManager != nullptr && g_TimerManager->Remove(task); }
