// Calls game built-ins by their numbers with argument words in a script memory of the test's
// own, and places texts and blocks there, as scripts do.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "base/lifetime/handle_table.h"
#include "builtins/builtin_table.h"
#include "script/native_args.h"
#include "script/script_memory.h"

namespace builtin_test {

// Mixed into a fixture: the script memory, the handle table and the calls.
class BuiltinCaller {
 public:
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    return Call(id, std::span<const std::uint32_t>(words.begin(), words.size()));
  }
  std::uint32_t Call(std::uint32_t id, std::span<const std::uint32_t> words) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(words.size() * 4 + 4), true);
    std::uint32_t at = address;
    for (const std::uint32_t word : words) {
      memory_.SetWord(at, word);
      at += 4;
    }
    return GameBuiltins()[id - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, address));
  }
  std::uint32_t Text(std::string_view text) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    memory_.Write(address, text.data(), static_cast<std::uint32_t>(text.size()));
    return address;
  }
  std::uint32_t Block(std::uint32_t size, std::uint8_t fill = 0xCC) {
    const std::uint32_t address = memory_.Allocate(size);
    for (std::uint32_t i = 0; i < size; ++i) memory_.SetByte(address + i, fill);
    return address;
  }
  // A script word holding the value (a handle word, as scripts keep them): its address.
  std::uint32_t WordHolding(std::uint32_t value) {
    const std::uint32_t address = memory_.Allocate(4);
    memory_.SetWord(address, value);
    return address;
  }
  std::string TextAt(std::uint32_t address) const { return memory_.String(address); }
  std::uint32_t WordAt(std::uint32_t address) const { return memory_.Word(address); }
  ScriptMemory& Memory() { return memory_; }
  HandleTable& Handles() { return handles_; }

  ScriptMemory memory_;
  HandleTable handles_;
};

class BuiltinCallTest : public ::testing::Test, public BuiltinCaller {};

}  // namespace builtin_test
