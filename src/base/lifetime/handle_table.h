// Engine objects that scripts hold are 32-bit handles, never addresses. A handle carries the
// generation of its table entry in the high byte and the entry's index + 0x10000 below it, so it
// is never 0, never below 0x10000 and never 0xFFFFFFFF. Every use names the kind it expects; a
// stale handle or one of another kind resolves to null, like a missing object.
//
// An object becomes visible to scripts by deriving from ScriptVisible<Kind>, where Kind is the
// class that scripts see it as (the class itself or a base that derives from ScriptVisible). Its
// handle is issued on first request and revoked when the object dies.
#pragma once

#include <cstdint>
#include <vector>

class HandleTable;

// The handle an object holds; revokes it on destruction.
class HandleSlot {
 public:
  HandleSlot() = default;
  ~HandleSlot() { Revoke(); }
  HandleSlot(const HandleSlot&) = delete;
  HandleSlot& operator=(const HandleSlot&) = delete;

  std::uint32_t Value() const { return value_; }
  void Revoke();

 private:
  friend class HandleTable;
  HandleTable* table_ = nullptr;
  std::uint32_t value_ = 0;
};

class HandleTable {
 public:
  static constexpr std::uint32_t kIndexBias = 0x10000;
  static constexpr std::uint32_t kIndexMask = 0x00FFFFFF;
  // The largest index + bias is 0xFFFFFE, so even generation 0xFF never makes 0xFFFFFFFF.
  static constexpr std::uint32_t kMaxEntries = kIndexMask - kIndexBias;
  static_assert((kMaxEntries - 1 + kIndexBias) < kIndexMask);

  HandleTable() = default;
  // Objects that outlive the table forget their handles.
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // The object of kind T behind the handle, or null when the handle is 0, stale, or of another kind.
  template <class T>
  T* Get(std::uint32_t handle) const {
    const Entry* entry = Find(handle);
    if (entry == nullptr || entry->kind != KindOf<T>()) return nullptr;
    return static_cast<T*>(entry->object);
  }

  // The handle of an object of kind Kind held in `slot`, issued when it has none yet. 0 when the
  // table is full or the slot belongs to another table.
  template <class Kind>
  std::uint32_t HandleOf(Kind& object, HandleSlot& slot) {
    if (slot.table_ == this) return slot.value_;
    if (slot.table_ != nullptr) return 0;
    return Issue(static_cast<void*>(&object), KindOf<Kind>(), slot);
  }

  std::size_t LiveCount() const { return entries_.size() - free_count_; }

 private:
  friend class HandleSlot;
  using KindId = const void*;

  template <class T>
  static constexpr char kKindTag = 0;
  template <class T>
  static KindId KindOf() {
    return &kKindTag<T>;
  }

  static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

  struct Entry {
    void* object = nullptr;
    KindId kind = nullptr;
    HandleSlot* slot = nullptr;
    std::uint8_t generation = 0;
    // While the entry is free: the entry freed after it, or kNoEntry.
    std::uint32_t next_free = kNoEntry;
  };

  const Entry* Find(std::uint32_t handle) const;
  std::uint32_t Issue(void* object, KindId kind, HandleSlot& slot);
  void Revoke(HandleSlot& slot);

  std::vector<Entry> entries_;
  // Freed entries are reused oldest first, so a generation comes round again as late as possible.
  // They wait in a queue threaded through the entries themselves: revoking allocates nothing, so
  // deleting many objects at once frees their memory with no allocation in between.
  std::uint32_t oldest_free_ = kNoEntry;
  std::uint32_t newest_free_ = kNoEntry;
  std::size_t free_count_ = 0;
};

template <class Kind>
class ScriptVisible {
 public:
  ScriptVisible(const ScriptVisible&) = delete;
  ScriptVisible& operator=(const ScriptVisible&) = delete;

  // The object's handle in `table`, issued on the first request.
  std::uint32_t ScriptHandle(HandleTable& table) { return table.HandleOf(static_cast<Kind&>(*this), slot_); }
  // Revokes the handle before the object dies, for objects that stop being usable earlier.
  void RevokeScriptHandle() { slot_.Revoke(); }

 protected:
  ScriptVisible() = default;
  ~ScriptVisible() = default;

 private:
  HandleSlot slot_;
};
