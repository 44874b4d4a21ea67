// Zero-filled byte blocks that cost no memory until they are written. The block comes from
// calloc, which hands large blocks out as fresh pages without touching them, and elements made
// without a value are left as calloc gave them, zero. A picture whose header claims a size its
// data never fills then costs only the rows that were really decoded.
//
// Size such a vector once: one that shrinks and grows again gets its old bytes back, not zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace plat {

template <class T>
struct ZeroedPageAllocator {
  using value_type = T;

  ZeroedPageAllocator() = default;
  template <class U>
  ZeroedPageAllocator(const ZeroedPageAllocator<U>& /*other*/) noexcept {}

  T* allocate(std::size_t count) {
    void* block = std::calloc(count, sizeof(T));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t /*count*/) noexcept { std::free(block); }

  template <class U>
  void construct(U* element) noexcept {
    ::new (static_cast<void*>(element)) U;
  }
  template <class U, class... Args>
  void construct(U* element, Args&&... args) {
    ::new (static_cast<void*>(element)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const ZeroedPageAllocator& /*a*/, const ZeroedPageAllocator& /*b*/) { return true; }
};

using ZeroedBytes = std::vector<std::uint8_t, ZeroedPageAllocator<std::uint8_t>>;

}  // namespace plat
