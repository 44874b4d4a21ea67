// An auto-reset event: Set releases one waiter (or the next wait), after which the event is
// unsignalled again. The set flag is separate: it reads 1 from Set to Reset, whether or not a
// wait has consumed the signal.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CEvent {
 public:
  static constexpr uint32_t kInfinite = 0xFFFFFFFF;
  static constexpr uint32_t kSignalled = 0;
  static constexpr uint32_t kTimedOut = 1;
  static constexpr uint32_t kWaitFailed = 2;

  CEvent() = default;
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;
  virtual ~CEvent() = default;

  virtual bool Set();
  virtual bool Reset();
  // Waits up to `timeout_ms` (kInfinite = for ever): kSignalled, kTimedOut or kWaitFailed.
  virtual uint32_t Wait(uint32_t timeout_ms);
  // The same for a timeout finer than a millisecond.
  uint32_t WaitFor(std::chrono::nanoseconds timeout);
  virtual bool IsSet() const { return set_flag_.load(std::memory_order_acquire); }

 private:
  std::mutex mutex_;
  std::condition_variable signal_;
  bool signalled_ = false;
  std::atomic<bool> set_flag_{false};
};
