// The base of the timed sound-control tasks (music and channel fades): the time counts from the
// first update, and the finish step, which leaves the sound at its end state, runs exactly once,
// whether the task ends by itself or is ended by its timer manager.
#pragma once

#include <cstdint>

#include "base/time/timed_task.h"

class CSoundChannelManager;

class CSoundFadeTask : public CTimedTask {
 public:
  explicit CSoundFadeTask(uint32_t duration) : duration_(duration) {}

  // Ends at the duration or when the sound stops playing, else takes the step for the elapsed
  // time.
  uint32_t Update(uint32_t now) override;
  void Stop() override { FinishOnce(); }

 protected:
  enum class State : uint8_t { kCreated, kRunning, kFinished };

  // The time since the first update (which starts the clock).
  uint32_t Elapsed(uint32_t now);
  void FinishOnce();
  // The level `elapsed` of `span` ms along the straight line from `from` to `to`.
  static int32_t Along(int32_t from, int32_t to, uint32_t elapsed, uint32_t span) {
    return from + static_cast<int32_t>((int64_t{to} - from) * elapsed / span);
  }
  virtual bool IsSoundPlaying() = 0;
  // Sets the volume for `elapsed` ms, which is below the duration.
  virtual void Step(uint32_t elapsed) = 0;
  virtual void Finish() = 0;

  uint32_t duration_;
  State state_ = State::kCreated;
  uint32_t start_time_ = 0;
  CSoundChannelManager* manager_ = nullptr;
};
