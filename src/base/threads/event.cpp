#include "base/threads/event.h"

#include <chrono>
#include <system_error>

bool CEvent::Set() {
  // Notifying under the lock lets a waiter destroy the event as soon as its wait returns.
  std::lock_guard hold(mutex_);
  signalled_ = true;
  set_flag_.store(true, std::memory_order_release);
  signal_.notify_one();
  return true;
}

bool CEvent::Reset() {
  std::lock_guard hold(mutex_);
  signalled_ = false;
  set_flag_.store(false, std::memory_order_release);
  return true;
}

uint32_t CEvent::Wait(uint32_t timeout_ms) {
  if (timeout_ms != kInfinite) return WaitFor(std::chrono::milliseconds(timeout_ms));
  try {
    std::unique_lock hold(mutex_);
    signal_.wait(hold, [this] { return signalled_; });
    signalled_ = false;
    return kSignalled;
  } catch (const std::system_error&) {
    return kWaitFailed;
  }
}

uint32_t CEvent::WaitFor(std::chrono::nanoseconds timeout) {
  try {
    std::unique_lock hold(mutex_);
    if (!signal_.wait_for(hold, timeout, [this] { return signalled_; })) return kTimedOut;
    signalled_ = false;
    return kSignalled;
  } catch (const std::system_error&) {
    return kWaitFailed;
  }
}
