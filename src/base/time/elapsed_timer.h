// Millisecond stopwatches on the program clock with nested pause and resume: the span
// between the outermost Pause and the last Resume does not count.
#pragma once

#include <cstdint>

class CElapsedTimerBase {
 public:
  virtual ~CElapsedTimerBase() = default;
  virtual uint32_t Restart() = 0;
  virtual uint32_t GetElapsed() const = 0;
  virtual uint32_t SetElapsed(uint32_t milliseconds) = 0;
  virtual uint32_t Pause() = 0;
  virtual uint32_t Resume() = 0;
};

class CElapsedTimer : public CElapsedTimerBase {
 public:
  CElapsedTimer() { CElapsedTimer::Restart(); }

  // Starts again from 0, running; returns the new start time.
  uint32_t Restart() override;
  // Frozen at the outermost pause while paused.
  uint32_t GetElapsed() const override;
  // Moves the start so that GetElapsed reads `milliseconds`; returns the new start time.
  uint32_t SetElapsed(uint32_t milliseconds) override;
  // The outermost pause returns the time it read; a nested one the depth before the call.
  uint32_t Pause() override;
  // The last resume returns the paused span, which is skipped; an inner one the depth left.
  // A resume without a pause is ignored and returns 0.
  uint32_t Resume() override;

  bool IsPaused() const { return pause_depth_ > 0; }

 private:
  uint32_t start_time_ = 0;
  uint32_t pause_time_ = 0;
  int32_t pause_depth_ = 0;
};
