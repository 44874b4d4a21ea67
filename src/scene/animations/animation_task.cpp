#include "scene/animations/animation_task.h"

#include "base/time/millisecond_clock.h"

uint32_t CAnimationTask::PauseNow() {
  const uint32_t now = ReadMillisecondClock();
  Pause(now);
  return now;
}

uint32_t CAnimationTask::ResumeNow() {
  const uint32_t now = ReadMillisecondClock();
  const uint32_t result = Resume(now);
  return IsPaused() ? now : result;
}

uint32_t CAnimationTask::Resume(uint32_t now) {
  const bool was_paused = IsPaused();
  const uint32_t result = CTimedTask::Resume(now);
  if (was_paused && !IsPaused()) OnResumed(result);
  return result;
}
