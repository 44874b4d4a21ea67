// A numbered set of stopwatches that the scripts and the novel frame address by index.
// Indices are 16-bit; an index outside the set is refused.
#pragma once

#include <cstdint>
#include <vector>

#include "base/time/elapsed_timer.h"

class CElapsedTimerArray {
 public:
  virtual ~CElapsedTimerArray() = default;

  // Replaces the set by `count` stopwatches, each started now: 0, 1 for a count of 0 (the set
  // is then empty), 2 when there is no memory for them.
  uint32_t Allocate(uint16_t count);

  bool Restart(uint16_t index);
  // 0 for an index outside the set.
  uint32_t GetElapsed(uint16_t index) const;
  bool SetElapsed(uint16_t index, uint32_t milliseconds);
  bool Pause(uint16_t index);
  bool Resume(uint16_t index);
  // Pause or resume every stopwatch; these nest like single pauses. False without a set.
  bool PauseAll();
  bool ResumeAll();

  uint16_t GetCount() const { return static_cast<uint16_t>(timers_.size()); }
  bool IsPaused() const { return paused_; }

 private:
  std::vector<CElapsedTimer> timers_;
  bool paused_ = false;
};

// The scripts' stopwatches (a program-wide object, defined with the others in the order of their
// construction).
extern CElapsedTimerArray g_ElapsedTimers;
