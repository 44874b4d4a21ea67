#include "base/time/frame_pacer.h"

#include "base/time/millisecond_clock.h"
#include "platform/system/clock.h"

namespace {

constexpr uint32_t kMillisecondsPerSecond = 1000;

}  // namespace

CFramePacer::CFramePacer(int32_t frames_per_second, bool use_counter) {
  SetRate(frames_per_second, use_counter);
  externally_paced_ = false;
  skip_enabled_ = false;
}

void CFramePacer::SetRate(int32_t frames_per_second, bool use_counter) {
  frames_per_second_ = frames_per_second;
  measured_frames_per_second_.store(0, std::memory_order_release);
  frame_count_ = 0;
  if (frames_per_second <= 0) {
    use_counter_ = false;
    interval_ = 0;
  } else {
    if (counter_frequency_ == 0 && use_counter) counter_frequency_ = plat::CounterFrequency();
    interval_ = static_cast<uint32_t>(static_cast<int32_t>(kMillisecondsPerSecond) / frames_per_second);
    counter_interval_ = counter_frequency_ / frames_per_second;
    use_counter_ = use_counter && counter_frequency_ != 0 && counter_interval_ != 0;
  }
  if (use_counter_) {
    last_due_count_ = plat::CounterReading();
    counter_sum_ = 0;
    last_counter_reading_ = last_due_count_;
    half_counter_interval_ = counter_interval_ >> 1;
    return;
  }
  const uint32_t now = ReadMillisecondClock();
  time_sum_ = 0;
  last_due_time_ = now;
  last_time_reading_ = now;
}

void CFramePacer::MakeNextFrameDue() {
  if (use_counter_) {
    last_due_count_ = plat::CounterReading() - counter_interval_;
  } else {
    last_due_time_ = ReadMillisecondClock() - interval_;
  }
}

bool CFramePacer::CounterBeforeDue() const {
  return use_counter_ && !externally_paced_ && plat::CounterReading() - last_due_count_ < counter_interval_;
}

bool CFramePacer::Tick() {
  frames_to_skip_ = 0;
  if (!externally_paced_) return use_counter_ ? TickCounter() : TickMilliseconds();
  if (use_counter_) {
    TickCounterExternallyPaced();
  } else {
    TickMillisecondsExternallyPaced();
  }
  return true;
}

bool CFramePacer::TickCounter() {
  const int64_t reading = plat::CounterReading();
  const int64_t elapsed = reading - last_due_count_;
  bool due = false;
  if (elapsed >= counter_interval_) {
    due = true;
    if (skip_enabled_) {
      frames_to_skip_ = static_cast<int32_t>(elapsed / counter_interval_ - 1);
      if (frames_to_skip_ != 0) wait_hint_ = interval_ >> 1;
    }
    last_due_count_ = reading;
    ++frame_count_;
    counter_sum_ += elapsed;
  } else if (half_counter_interval_ > elapsed) {
    // The time already waited: sleeping that long cannot pass the due point.
    wait_hint_ = static_cast<uint32_t>(static_cast<int64_t>(interval_) * elapsed / counter_interval_);
  } else {
    wait_hint_ = 0;
  }
  if (counter_sum_ >= counter_frequency_) {
    measured_frames_per_second_.store(frame_count_, std::memory_order_release);
    counter_sum_ = 0;
    frame_count_ = 0;
  }
  return due;
}

bool CFramePacer::TickMilliseconds() {
  const uint32_t now = ReadMillisecondClock();
  const uint32_t elapsed = now - last_due_time_;
  bool due = false;
  if (elapsed >= interval_) {
    due = true;
    if (skip_enabled_ && interval_ != 0) {
      frames_to_skip_ = static_cast<int32_t>(elapsed / interval_ - 1);
      if (frames_to_skip_ != 0) wait_hint_ = interval_ >> 1;
    }
    ++frame_count_;
    time_sum_ += elapsed;
    last_due_time_ = now;
  } else {
    wait_hint_ = interval_ - elapsed;
  }
  if (time_sum_ >= kMillisecondsPerSecond) {
    measured_frames_per_second_.store(frame_count_, std::memory_order_release);
    frame_count_ = 0;
    time_sum_ = 0;
  }
  return due;
}

void CFramePacer::TickCounterExternallyPaced() {
  const int64_t reading = plat::CounterReading();
  last_counter_reading_ = reading;
  ++frame_count_;
  if (skip_enabled_) {
    if (counter_sum_ != 0) {
      const int64_t skip = (reading - counter_sum_) / counter_interval_ - 1;
      frames_to_skip_ = skip < 0 ? 0 : static_cast<int32_t>(skip);
      wait_hint_ = 0;
    }
    counter_sum_ = reading;
  }
  if (reading - last_due_count_ >= counter_frequency_) {
    last_due_count_ = reading;
    measured_frames_per_second_.store(frame_count_, std::memory_order_release);
    frame_count_ = 0;
  }
}

void CFramePacer::TickMillisecondsExternallyPaced() {
  const uint32_t now = ReadMillisecondClock();
  last_time_reading_ = now;
  ++frame_count_;
  if (skip_enabled_ && interval_ != 0) {
    if (time_sum_ != 0) {
      const int32_t skip = static_cast<int32_t>((now - time_sum_) / interval_) - 1;
      frames_to_skip_ = skip < 0 ? 0 : skip;
      wait_hint_ = 0;
    }
    time_sum_ = now;
  }
  if (now - last_due_time_ >= kMillisecondsPerSecond) {
    measured_frames_per_second_.store(frame_count_, std::memory_order_release);
    frame_count_ = 0;
    last_due_time_ = now;
  }
}
