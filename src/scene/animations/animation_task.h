// The common part of the frame-by-frame animations (pattern animations, picture parts, lip
// sync): pausing and resuming at the clock's own reading, and one hook that the last resume
// calls with the paused span, so that each animation moves its own times on by it.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"

class CAnimationTask : public CTimedTask {
 public:
  // Pause at the clock's reading, which it returns.
  uint32_t PauseNow();
  // Resume at the clock's reading: the reading while pauses remain, the paused span when the
  // last one ends.
  uint32_t ResumeNow();
  uint32_t Resume(uint32_t now) final;

 protected:
  virtual void OnResumed(uint32_t paused_span) = 0;
};
