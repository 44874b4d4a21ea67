// The clocks the engine reads: two millisecond clocks (unsigned 32-bit, wrapping), a
// high-resolution counter, the timer resolution and sleeping. Every read goes through one
// installed clock source, so that tests can put a fake clock in place of the monotonic clock
// for the whole program, sleeping included.
#pragma once

#include <cstdint>
#include <optional>

namespace plat {

class ClockSource {
 public:
  virtual ~ClockSource() = default;

  // Milliseconds at the clock's full resolution.
  virtual uint32_t PreciseMilliseconds() = 0;
  // Milliseconds as a coarse, cheaper clock ticks them.
  virtual uint32_t CoarseMilliseconds() = 0;
  // The finest period in milliseconds that the precise clock resolves; empty when unknown.
  virtual std::optional<uint32_t> TimerMinimumPeriod() = 0;
  // Counter ticks per second; 0 when there is no high-resolution counter.
  virtual int64_t CounterFrequency() = 0;
  virtual int64_t CounterReading() = 0;
  // Sleeps; 0 gives the rest of the time slice to any other thread that is ready to run.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Sleeps until the counter reads at least `reading`; at once when it already does.
  virtual void SleepUntilCounter(int64_t reading) = 0;
};

// Makes `source` the clock of the whole program (null = the monotonic clock) and returns the
// one it replaces, so that the caller can put it back. The source must outlive its use.
ClockSource* InstallClockSource(ClockSource* source);

uint32_t PreciseMilliseconds();
uint32_t CoarseMilliseconds();
std::optional<uint32_t> TimerMinimumPeriod();
int64_t CounterFrequency();
int64_t CounterReading();
void SleepMilliseconds(uint32_t milliseconds);
void SleepUntilCounter(int64_t reading);

}  // namespace plat
