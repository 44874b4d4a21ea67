// Tells the frame loop when the next frame is due, how many frames it may skip to catch up,
// how long it may sleep, and how many frames it drew in the last full second. It measures
// either with the high-resolution counter or with the millisecond clock, and in the
// externally paced mode (the frame loop paces itself) makes every Tick a frame.
#pragma once

#include <atomic>
#include <cstdint>

class CFramePacer {
 public:
  // Frames per second of 0 or less run free: every Tick is due.
  CFramePacer(int32_t frames_per_second, bool use_counter);

  // Restarts pacing: counts and sums restart and the next frame is due one interval later.
  // The counter is used only when asked for, present, and fine enough for the rate.
  void SetRate(int32_t frames_per_second, bool use_counter);
  // Makes the next Tick due at once, as if one interval had passed since the last due frame: the
  // first frame of a run has nothing to wait for.
  void MakeNextFrameDue();
  // True when a frame is due now; also sets frames to skip, the wait hint and the measured rate.
  bool Tick();

  void SetExternallyPaced(bool externally_paced) { externally_paced_ = externally_paced; }
  void SetSkipEnabled(bool skip_enabled) { skip_enabled_ = skip_enabled; }
  bool IsSkipEnabled() const { return skip_enabled_; }

  int32_t GetFramesPerSecond() const { return frames_per_second_; }
  bool UsesCounter() const { return use_counter_; }
  int32_t GetFramesToSkip() const { return frames_to_skip_; }
  // Safe on any thread: a window or a tool may show the rate while the game thread measures it.
  uint32_t GetMeasuredFramesPerSecond() const { return measured_frames_per_second_.load(std::memory_order_acquire); }
  // Milliseconds the frame loop may sleep without passing the next due frame.
  uint32_t GetWaitHint() const { return wait_hint_; }
  // With the counter, not externally paced: true while the next frame is not due yet (a Tick now
  // would say no).
  bool CounterBeforeDue() const;
  // With the counter: the reading at which the next frame is due.
  int64_t GetDueCounterReading() const { return last_due_count_ + counter_interval_; }

 private:
  bool TickCounter();
  bool TickMilliseconds();
  void TickCounterExternallyPaced();
  void TickMillisecondsExternallyPaced();

  int32_t frames_per_second_ = 0;
  bool use_counter_ = false;
  bool externally_paced_ = false;
  bool skip_enabled_ = false;
  int32_t frames_to_skip_ = 0;
  std::atomic<uint32_t> measured_frames_per_second_{0};
  uint32_t frame_count_ = 0;
  int64_t counter_frequency_ = 0;
  int64_t counter_interval_ = 0;
  int64_t last_due_count_ = 0;
  // Counts summed over the due frames of the current second; externally paced, the reading
  // of the previous frame (0 = none).
  int64_t counter_sum_ = 0;
  int64_t last_counter_reading_ = 0;
  int64_t half_counter_interval_ = 0;
  uint32_t interval_ = 0;
  uint32_t last_due_time_ = 0;
  // Milliseconds summed over the due frames of the current second; externally paced, the
  // time of the previous frame (0 = none).
  uint32_t time_sum_ = 0;
  uint32_t last_time_reading_ = 0;
  uint32_t wait_hint_ = 0;
};
