// The memory that scripts address with 32-bit words. One reservation of 4 GiB (and a guard beyond
// it) is made when the memory is built and never moves, so a script address is an offset from
// its base. Pages become usable as allocations need them. Addresses below 0x10000 are never
// handed out: 0 stays the null address and small numbers are never valid addresses.
//
// Every access from engine code goes through the checked accessors below; an address outside the
// usable memory raises a ScriptFault. The allocator keeps its bookkeeping outside script memory,
// so no script write can damage it.
//
// Translated code must hear of writes into it: the translations name the span of script memory
// that holds their code and a listener, and every write of this class and of the machine's stores
// that reaches the span is told to the listener.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <utility>

#include "platform/system/virtual_memory.h"
#include "script/script_fault.h"

class ScriptMemory {
 public:
  static constexpr std::uint32_t kLowestAddress = 0x10000;
  // Allocations end below this address, so that address arithmetic near the top never wraps into
  // usable memory.
  static constexpr std::uint64_t kAllocationLimit = 0xFFFF0000u;
  static constexpr std::uint32_t kAlignment = 16;

  // Reserves the address space. When the system refuses, IsReserved() is false, every allocation
  // fails and every access faults.
  ScriptMemory();

  ScriptMemory(const ScriptMemory&) = delete;
  ScriptMemory& operator=(const ScriptMemory&) = delete;

  bool IsReserved() const { return reservation_.IsValid(); }

  // A new block of at least `size` bytes (16-byte aligned), its bytes zero when asked; 0 when the
  // memory is exhausted. A size of 0 gives a block of the smallest size.
  std::uint32_t Allocate(std::uint32_t size, bool zeroed = false);
  // Frees a block that Allocate or Resize returned; false (and nothing changed) for any other
  // address. Freeing 0 does nothing and succeeds.
  bool Free(std::uint32_t address);
  // Moves or grows the block to hold `size` bytes, keeping its contents; the new bytes are zero
  // when asked. 0 on failure, the old block then untouched. Resizing 0 allocates.
  std::uint32_t Resize(std::uint32_t address, std::uint32_t size, bool zeroed = false);
  // The usable size of a live block, nothing for any other address.
  std::optional<std::uint32_t> BlockSize(std::uint32_t address) const;

  // Expires when the memory goes: an engine object that keeps a block and may outlive the memory
  // checks it before it frees the block.
  std::weak_ptr<const char> Lifetime() const { return lifetime_; }

  // End of the usable memory: every address from kLowestAddress up to it can be read and written.
  std::uint64_t UsableEnd() const { return usable_end_; }

  bool Contains(std::uint32_t address, std::uint64_t size) const {
    return address >= kLowestAddress && address + size <= usable_end_;
  }

  // Words are read and written byte-wise: code blocks may start at any byte.
  std::uint32_t Word(std::uint32_t address) const {
    Check(address, 4);
    std::uint32_t value;
    std::memcpy(&value, base_ + address, sizeof value);
    return value;
  }
  void SetWord(std::uint32_t address, std::uint32_t value) {
    Check(address, 4);
    std::memcpy(base_ + address, &value, sizeof value);
    NoteWrite(address, 4);
  }
  std::uint8_t Byte(std::uint32_t address) const {
    Check(address, 1);
    return static_cast<std::uint8_t>(base_[address]);
  }
  void SetByte(std::uint32_t address, std::uint8_t value) {
    Check(address, 1);
    base_[address] = static_cast<std::byte>(value);
    NoteWrite(address, 1);
  }

  // The zero-terminated string at the address; faults when it runs off the usable memory.
  const char* String(std::uint32_t address) const;

  // A writable range counts as written: the translations look at it only after the caller wrote.
  std::span<std::byte> Range(std::uint32_t address, std::uint32_t size) {
    Check(address, size);
    NoteWrite(address, size);
    return {base_ + address, size};
  }
  std::span<const std::byte> Range(std::uint32_t address, std::uint32_t size) const {
    Check(address, size);
    return {base_ + address, size};
  }
  void Read(std::uint32_t address, void* destination, std::uint32_t size) const {
    if (size != 0) std::memcpy(destination, Range(address, size).data(), size);
  }
  void Write(std::uint32_t address, const void* source, std::uint32_t size) {
    if (size != 0) std::memcpy(Range(address, size).data(), source, size);
  }

  class WriteListener {
   public:
    // [address, address + size) was written (or is about to be, for a writable Range).
    virtual void Written(std::uint32_t address, std::uint64_t size) noexcept = 0;

   protected:
    ~WriteListener() = default;
  };
  // Writes into [low, end) go to the listener from now on; an empty span watches nothing.
  void Watch(WriteListener* listener, std::uint64_t low, std::uint64_t end);
  bool Watched() const { return watch_end_ > watch_low_; }
  void NoteWrite(std::uint32_t address, std::uint64_t size) {
    if (address < watch_end_ && address + size > watch_low_) listener_->Written(address, size);
  }
  // A word at address a reaches the watched span when a - WatchedWordFrom() < WatchedWordSpan():
  // the one unsigned compare of the machine's stores.
  std::uint32_t WatchedWordFrom() const { return static_cast<std::uint32_t>(watch_low_ - 3); }
  std::uint32_t WatchedWordSpan() const { return Watched() ? static_cast<std::uint32_t>(watch_end_ - watch_low_ + 3) : 0; }

  // Runs of the machine that do not tell their stores, having started while nothing was watched.
  // Code translated while one of them runs must be compared with script memory as a whole.
  int UnwatchedRuns() const { return unwatched_runs_; }
  class UnwatchedRun {
   public:
    explicit UnwatchedRun(ScriptMemory& memory) : memory_(memory) { ++memory_.unwatched_runs_; }
    ~UnwatchedRun() { --memory_.unwatched_runs_; }
    UnwatchedRun(const UnwatchedRun&) = delete;
    UnwatchedRun& operator=(const UnwatchedRun&) = delete;

   private:
    ScriptMemory& memory_;
  };

 private:
  // The interpreter loop reads and writes words straight through the base, with its own checks.
  friend struct SobInterpreter;
  friend struct SobTranslatedRun;

  void Check(std::uint32_t address, std::uint64_t size) const {
    if (!Contains(address, size)) RaiseBadAddress(address, static_cast<std::uint32_t>(size));
  }

  std::uint32_t TakeFreeBlock(std::uint32_t size);
  std::uint32_t TakeFromTop(std::uint32_t size);
  bool GrowInPlace(std::uint32_t address, std::uint32_t old_size, std::uint32_t size);
  void ReleaseSpan(std::uint32_t address, std::uint32_t size);
  void AddFreeBlock(std::uint32_t address, std::uint32_t size);
  void RemoveFreeBlock(std::map<std::uint32_t, std::uint32_t>::iterator block);
  bool MakeUsable(std::uint64_t end);

  plat::AddressReservation reservation_;
  std::byte* base_ = nullptr;
  std::uint64_t usable_end_ = kLowestAddress;
  // Every block lies below the top; space above it is free and taken from there last.
  std::uint64_t top_ = kLowestAddress;
  std::map<std::uint32_t, std::uint32_t> used_;                    // address -> size
  std::map<std::uint32_t, std::uint32_t> free_by_address_;         // address -> size
  std::set<std::pair<std::uint32_t, std::uint32_t>> free_by_size_;  // (size, address)
  WriteListener* listener_ = nullptr;
  std::uint64_t watch_low_ = 0;
  std::uint64_t watch_end_ = 0;
  int unwatched_runs_ = 0;
  std::shared_ptr<const char> lifetime_ = std::make_shared<const char>();
};
