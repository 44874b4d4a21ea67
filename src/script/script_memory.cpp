#include "script/script_memory.h"

#include <algorithm>

namespace {

// The 4 GiB that 32-bit addresses reach, and a guard behind them.
constexpr std::size_t kReservationSize = (std::size_t{1} << 32) + 0x10000;
// Pages are made usable in steps of this size.
constexpr std::uint64_t kUsableStep = 0x10000;
// Freed spans at least this large give their pages back to the system.
constexpr std::uint32_t kDiscardThreshold = 0x10000;

constexpr std::uint64_t RoundUp(std::uint64_t value, std::uint64_t step) { return (value + step - 1) / step * step; }

}  // namespace

ScriptMemory::ScriptMemory() : reservation_(kReservationSize), base_(reservation_.Base()) {
  usable_end_ = IsReserved() ? kLowestAddress : 0;
}

std::uint32_t ScriptMemory::Allocate(std::uint32_t size, bool zeroed) {
  if (!IsReserved()) return 0;
  const std::uint64_t rounded = RoundUp(std::max<std::uint64_t>(size, 1), kAlignment);
  if (rounded > kAllocationLimit) return 0;
  const auto block_size = static_cast<std::uint32_t>(rounded);
  std::uint32_t address = TakeFreeBlock(block_size);
  if (address == 0) address = TakeFromTop(block_size);
  if (address == 0) return 0;
  used_.emplace(address, block_size);
  if (zeroed) {
    std::memset(base_ + address, 0, block_size);
    NoteWrite(address, block_size);
  }
  return address;
}

bool ScriptMemory::Free(std::uint32_t address) {
  if (address == 0) return true;
  const auto block = used_.find(address);
  if (block == used_.end()) return false;
  const std::uint32_t size = block->second;
  used_.erase(block);
  ReleaseSpan(address, size);
  return true;
}

std::uint32_t ScriptMemory::Resize(std::uint32_t address, std::uint32_t size, bool zeroed) {
  if (address == 0) return Allocate(size, zeroed);
  const auto block = used_.find(address);
  if (block == used_.end()) return 0;
  const std::uint32_t old_size = block->second;
  const std::uint64_t rounded = RoundUp(std::max<std::uint64_t>(size, 1), kAlignment);
  if (rounded > kAllocationLimit) return 0;
  const auto new_size = static_cast<std::uint32_t>(rounded);

  if (new_size <= old_size) {
    block->second = new_size;
    if (old_size > new_size) ReleaseSpan(address + new_size, old_size - new_size);
    return address;
  }
  std::uint32_t result = address;
  if (GrowInPlace(address, old_size, new_size)) {
    block->second = new_size;
  } else {
    result = Allocate(new_size);
    if (result == 0) return 0;
    std::memcpy(base_ + result, base_ + address, old_size);
    NoteWrite(result, old_size);
    Free(address);
  }
  if (zeroed) {
    std::memset(base_ + result + old_size, 0, new_size - old_size);
    NoteWrite(result + old_size, new_size - old_size);
  }
  return result;
}

void ScriptMemory::Watch(WriteListener* listener, std::uint64_t low, std::uint64_t end) {
  listener_ = listener;
  const bool empty = listener == nullptr || end <= low;
  watch_low_ = empty ? 0 : low;
  watch_end_ = empty ? 0 : end;
}

std::optional<std::uint32_t> ScriptMemory::BlockSize(std::uint32_t address) const {
  const auto block = used_.find(address);
  if (block == used_.end()) return std::nullopt;
  return block->second;
}

const char* ScriptMemory::String(std::uint32_t address) const {
  Check(address, 1);
  const char* text = reinterpret_cast<const char*>(base_ + address);
  if (std::memchr(text, 0, static_cast<std::size_t>(usable_end_ - address)) == nullptr) {
    RaiseBadAddress(address, static_cast<std::uint32_t>(usable_end_ - address));
  }
  return text;
}

std::uint32_t ScriptMemory::TakeFreeBlock(std::uint32_t size) {
  const auto fit = free_by_size_.lower_bound({size, 0});
  if (fit == free_by_size_.end()) return 0;
  const auto [block_size, address] = *fit;
  RemoveFreeBlock(free_by_address_.find(address));
  if (block_size > size) AddFreeBlock(address + size, block_size - size);
  return address;
}

std::uint32_t ScriptMemory::TakeFromTop(std::uint32_t size) {
  std::uint64_t start = top_;
  auto last_free = free_by_address_.empty() ? free_by_address_.end() : std::prev(free_by_address_.end());
  const bool absorbs_last_free = last_free != free_by_address_.end() && last_free->first + std::uint64_t{last_free->second} == top_;
  if (absorbs_last_free) start = last_free->first;
  const std::uint64_t end = start + size;
  if (end > kAllocationLimit || !MakeUsable(end)) return 0;
  if (absorbs_last_free) RemoveFreeBlock(last_free);
  top_ = end;
  return static_cast<std::uint32_t>(start);
}

bool ScriptMemory::GrowInPlace(std::uint32_t address, std::uint32_t old_size, std::uint32_t size) {
  const std::uint64_t old_end = std::uint64_t{address} + old_size;
  const std::uint64_t new_end = std::uint64_t{address} + size;
  if (old_end == top_) {
    if (new_end > kAllocationLimit || !MakeUsable(new_end)) return false;
    top_ = new_end;
    return true;
  }
  const auto next = free_by_address_.find(static_cast<std::uint32_t>(old_end));
  if (next == free_by_address_.end()) return false;
  const std::uint64_t next_end = old_end + next->second;
  if (next_end == top_) {
    if (new_end > kAllocationLimit || !MakeUsable(new_end)) return false;
    RemoveFreeBlock(next);
    top_ = std::max(new_end, next_end);
    if (next_end > new_end) AddFreeBlock(static_cast<std::uint32_t>(new_end), static_cast<std::uint32_t>(next_end - new_end));
    return true;
  }
  if (next_end < new_end) return false;
  RemoveFreeBlock(next);
  if (next_end > new_end) AddFreeBlock(static_cast<std::uint32_t>(new_end), static_cast<std::uint32_t>(next_end - new_end));
  return true;
}

void ScriptMemory::ReleaseSpan(std::uint32_t address, std::uint32_t size) {
  std::uint64_t start = address;
  std::uint64_t end = start + size;
  const auto next = free_by_address_.find(static_cast<std::uint32_t>(end));
  if (next != free_by_address_.end()) {
    end += next->second;
    RemoveFreeBlock(next);
  }
  auto previous = free_by_address_.lower_bound(address);
  if (previous != free_by_address_.begin()) {
    --previous;
    if (previous->first + std::uint64_t{previous->second} == start) {
      start = previous->first;
      RemoveFreeBlock(previous);
    }
  }
  if (end - start >= kDiscardThreshold) {
    // Discarded pages read as zero from now on.
    reservation_.Discard(start, end - start);
    NoteWrite(static_cast<std::uint32_t>(start), end - start);
  }
  if (end == top_) {
    top_ = start;
  } else {
    AddFreeBlock(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start));
  }
}

void ScriptMemory::AddFreeBlock(std::uint32_t address, std::uint32_t size) {
  free_by_address_.emplace(address, size);
  free_by_size_.emplace(size, address);
}

void ScriptMemory::RemoveFreeBlock(std::map<std::uint32_t, std::uint32_t>::iterator block) {
  free_by_size_.erase({block->second, block->first});
  free_by_address_.erase(block);
}

bool ScriptMemory::MakeUsable(std::uint64_t end) {
  if (end <= usable_end_) return true;
  const std::uint64_t new_end = std::min<std::uint64_t>(RoundUp(end, kUsableStep), kAllocationLimit);
  if (!reservation_.Commit(usable_end_, new_end - usable_end_)) return false;
  usable_end_ = new_end;
  return true;
}
