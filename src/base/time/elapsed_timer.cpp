#include "base/time/elapsed_timer.h"

#include "base/time/millisecond_clock.h"

uint32_t CElapsedTimer::Restart() {
  start_time_ = ReadMillisecondClock();
  pause_depth_ = 0;
  return start_time_;
}

uint32_t CElapsedTimer::GetElapsed() const {
  return (IsPaused() ? pause_time_ : ReadMillisecondClock()) - start_time_;
}

uint32_t CElapsedTimer::SetElapsed(uint32_t milliseconds) {
  start_time_ = (IsPaused() ? pause_time_ : ReadMillisecondClock()) - milliseconds;
  return start_time_;
}

uint32_t CElapsedTimer::Pause() {
  const int32_t depth_before = pause_depth_++;
  if (depth_before != 0) return static_cast<uint32_t>(depth_before);
  pause_time_ = ReadMillisecondClock();
  return pause_time_;
}

uint32_t CElapsedTimer::Resume() {
  if (pause_depth_ == 0) return 0;
  if (--pause_depth_ != 0) return static_cast<uint32_t>(pause_depth_);
  const uint32_t paused_span = ReadMillisecondClock() - pause_time_;
  start_time_ += paused_span;
  return paused_span;
}
