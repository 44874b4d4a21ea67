// A text that built-in functions hand to scripts by address: a copy in script memory that
// belongs to one engine object (its owner, which holds the area as a member) and stays readable
// at the same address for as long as the owner lives. A new text of the owner takes the place of
// the old one; only a longer text than the area holds moves it. The area is freed with its
// owner, and an owner that outlives the script memory leaves it alone.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "script/script_memory.h"

class ScriptTextExport {
 public:
  // Most texts (names, paths) fit in the first area, so their address never changes.
  static constexpr std::uint32_t kFirstCapacity = 260;

  explicit ScriptTextExport(ScriptMemory& memory) : memory_(&memory), lifetime_(memory.Lifetime()) {}
  ~ScriptTextExport();
  ScriptTextExport(const ScriptTextExport&) = delete;
  ScriptTextExport& operator=(const ScriptTextExport&) = delete;

  // Copies the text and a terminating zero into the area: its address, or 0 when script memory
  // is exhausted (the area then keeps its last text) or gone.
  std::uint32_t Export(std::string_view text);
  // The area's address, 0 before the first text.
  std::uint32_t Address() const { return address_; }

 private:
  ScriptMemory* memory_;
  std::weak_ptr<const char> lifetime_;
  std::uint32_t address_ = 0;
  std::uint32_t capacity_ = 0;
};
