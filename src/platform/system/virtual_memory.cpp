#include "platform/system/virtual_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <utility>

namespace plat {

namespace {

std::size_t RoundDown(std::size_t value, std::size_t step) { return value / step * step; }
std::size_t RoundUp(std::size_t value, std::size_t step) { return RoundDown(value + step - 1, step); }

}  // namespace

AddressReservation::AddressReservation(std::size_t bytes) {
  if (bytes == 0) return;
  const std::size_t size = RoundUp(bytes, PageSize());
  void* base = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (base == MAP_FAILED) return;
  base_ = static_cast<std::byte*>(base);
  size_ = size;
}

AddressReservation::~AddressReservation() { Release(); }

AddressReservation::AddressReservation(AddressReservation&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), size_(std::exchange(other.size_, 0)) {}

AddressReservation& AddressReservation::operator=(AddressReservation&& other) noexcept {
  if (this != &other) {
    Release();
    base_ = std::exchange(other.base_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void AddressReservation::Release() {
  if (base_ != nullptr) munmap(base_, size_);
  base_ = nullptr;
  size_ = 0;
}

bool AddressReservation::Commit(std::size_t offset, std::size_t bytes) {
  if (base_ == nullptr || offset > size_ || bytes > size_ - offset) return false;
  const std::size_t first = RoundDown(offset, PageSize());
  const std::size_t end = RoundUp(offset + bytes, PageSize());
  return mprotect(base_ + first, end - first, PROT_READ | PROT_WRITE) == 0;
}

void AddressReservation::Discard(std::size_t offset, std::size_t bytes) {
  if (base_ == nullptr || offset > size_ || bytes > size_ - offset) return;
  const std::size_t first = RoundUp(offset, PageSize());
  const std::size_t end = RoundDown(offset + bytes, PageSize());
  if (end > first) madvise(base_ + first, end - first, MADV_DONTNEED);
}

std::size_t AddressReservation::PageSize() {
  static const std::size_t page_size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return page_size;
}

}  // namespace plat
