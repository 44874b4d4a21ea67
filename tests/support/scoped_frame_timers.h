// Installs a timer manager as the frame's (g_TimerManager) while the object lives.
#pragma once

#include <utility>

#include "base/time/timer_manager.h"

namespace test_support {

class ScopedFrameTimers {
 public:
  explicit ScopedFrameTimers(CTimerManager& timers) : saved_(std::exchange(g_TimerManager, &timers)) {}
  ~ScopedFrameTimers() { g_TimerManager = saved_; }
  ScopedFrameTimers(const ScopedFrameTimers&) = delete;
  ScopedFrameTimers& operator=(const ScopedFrameTimers&) = delete;

 private:
  CTimerManager* saved_;
};

}  // namespace test_support
