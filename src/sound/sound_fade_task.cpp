#include "sound/sound_fade_task.h"

uint32_t CSoundFadeTask::Elapsed(uint32_t now) {
  if (state_ == State::kCreated) {
    state_ = State::kRunning;
    start_time_ = now;
  }
  return now - start_time_;
}

uint32_t CSoundFadeTask::Update(uint32_t now) {
  const uint32_t elapsed = Elapsed(now);
  if (!IsSoundPlaying() || elapsed >= duration_) {
    FinishOnce();
    return 1;
  }
  Step(elapsed);
  return 0;
}

void CSoundFadeTask::FinishOnce() {
  if (state_ == State::kFinished) return;
  state_ = State::kFinished;
  Finish();
}
