#include "base/lifetime/handle_table.h"

void HandleSlot::Revoke() {
  if (table_ != nullptr) table_->Revoke(*this);
}

HandleTable::~HandleTable() {
  for (Entry& entry : entries_) {
    if (entry.slot == nullptr) continue;
    entry.slot->table_ = nullptr;
    entry.slot->value_ = 0;
  }
}

const HandleTable::Entry* HandleTable::Find(std::uint32_t handle) const {
  const std::uint32_t biased_index = handle & kIndexMask;
  if (biased_index < kIndexBias) return nullptr;
  const std::uint32_t index = biased_index - kIndexBias;
  if (index >= entries_.size()) return nullptr;
  const Entry& entry = entries_[index];
  if (entry.object == nullptr || entry.generation != handle >> 24) return nullptr;
  return &entry;
}

std::uint32_t HandleTable::Issue(void* object, KindId kind, HandleSlot& slot) {
  std::uint32_t index;
  if (oldest_free_ != kNoEntry) {
    index = oldest_free_;
    oldest_free_ = entries_[index].next_free;
    if (oldest_free_ == kNoEntry) newest_free_ = kNoEntry;
    --free_count_;
  } else {
    if (entries_.size() >= kMaxEntries) return 0;
    index = static_cast<std::uint32_t>(entries_.size());
    entries_.emplace_back();
  }
  Entry& entry = entries_[index];
  entry.object = object;
  entry.kind = kind;
  entry.slot = &slot;
  slot.table_ = this;
  slot.value_ = std::uint32_t{entry.generation} << 24 | (index + kIndexBias);
  return slot.value_;
}

void HandleTable::Revoke(HandleSlot& slot) {
  const std::uint32_t index = (slot.value_ & kIndexMask) - kIndexBias;
  Entry& entry = entries_[index];
  entry = Entry{.generation = static_cast<std::uint8_t>(entry.generation + 1)};
  if (newest_free_ == kNoEntry) {
    oldest_free_ = index;
  } else {
    entries_[newest_free_].next_free = index;
  }
  newest_free_ = index;
  ++free_count_;
  slot.table_ = nullptr;
  slot.value_ = 0;
}
