// A recursive lock that knows which thread holds it and how deeply. Owner and depth are
// written only by the holding thread but may be read by any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

class CCriticalSection {
 public:
  static constexpr uint32_t kNoOwner = 0xFFFFFFFF;

  CCriticalSection() = default;
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  virtual ~CCriticalSection() = default;

  // Enters the lock and returns the new depth.
  virtual int32_t Lock();
  // Leaves the lock once; the owner is cleared before the last hold is left. A thread that
  // does not hold the lock changes nothing.
  virtual void Unlock();
  virtual bool IsOwnedByCurrentThread() const;

  uint32_t GetOwner() const { return owner_.load(std::memory_order_acquire); }
  int32_t GetDepth() const { return depth_.load(std::memory_order_acquire); }

  // Leaves every hold of the calling thread and returns how many there were, so that a
  // blocking wait can let other threads in and `RelockAll` can restore the depth afterwards.
  int32_t UnlockAll();
  void RelockAll(int32_t depth);

 private:
  std::recursive_mutex mutex_;
  std::atomic<uint32_t> owner_{kNoOwner};
  std::atomic<int32_t> depth_{0};
};
