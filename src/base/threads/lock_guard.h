// The scoped guard through which a CCriticalSection is entered: it enters on construction and
// leaves as often as it holds on destruction. Unlock and Lock let a holder step out of the
// lock around a blocking wait.
#pragma once

#include <cstdint>

#include "base/threads/critical_section.h"

class CLockGuard {
 public:
  explicit CLockGuard(CCriticalSection& lock) : lock_(lock) { Lock(); }
  ~CLockGuard();
  CLockGuard(const CLockGuard&) = delete;
  CLockGuard& operator=(const CLockGuard&) = delete;

  void Lock();
  // Leaves the lock once when this guard holds it; otherwise does nothing.
  void Unlock();
  int32_t GetCount() const { return count_; }

 private:
  CCriticalSection& lock_;
  int32_t count_ = 0;
};
