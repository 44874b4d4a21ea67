// Objects that count their extra holders: a count of 0 means one owner; each further holder
// adds one, and releasing with a count of 0 deletes the object.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

class CRefCounted {
 public:
  CRefCounted(const CRefCounted&) = delete;
  CRefCounted& operator=(const CRefCounted&) = delete;

  void AddRef() { extra_holders_.fetch_add(1, std::memory_order_relaxed); }

  // Drops one holder; the last one deletes the object.
  void Release() {
    std::uint32_t count = extra_holders_.load(std::memory_order_acquire);
    while (count != 0) {
      if (extra_holders_.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel)) return;
    }
    delete this;
  }

  std::uint32_t GetRefCount() const { return extra_holders_.load(std::memory_order_acquire); }

 protected:
  CRefCounted() = default;
  virtual ~CRefCounted() = default;

 private:
  std::atomic<std::uint32_t> extra_holders_{0};
};

// One holder's reference: releases (rather than deletes) when it ends.
struct RefReleaser {
  void operator()(CRefCounted* object) const { object->Release(); }
};
template <class T>
using RefPtr = std::unique_ptr<T, RefReleaser>;

// A new object held by one reference; null when there is no memory for it.
template <class T, class... Args>
RefPtr<T> MakeRef(Args&&... args) {
  return RefPtr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}
