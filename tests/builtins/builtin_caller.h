// Calls the game's built-in functions by their numbers with their argument words in a script
// memory of its own, as a running script does.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "builtins/builtin_table.h"
#include "script/handle_table.h"
#include "script/native_args.h"
#include "script/script_memory.h"

namespace builtins_test {

class BuiltinCaller {
 public:
  // Calls built-in `id` with `words` as args[0], args[1], ...
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    const std::uint32_t args = memory_.Allocate(static_cast<std::uint32_t>(words.size() * 4 + 4), true);
    std::uint32_t address = args;
    for (const std::uint32_t word : words) {
      memory_.SetWord(address, word);
      address += 4;
    }
    return GameBuiltins()[id - kFirstGameBuiltin].function(NativeArgs(memory_, handles_, args));
  }
  // The script address of a copy of `text` with its terminating zero.
  std::uint32_t Text(const std::string& text) {
    const std::uint32_t address = memory_.Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    memory_.Write(address, text.c_str(), static_cast<std::uint32_t>(text.size()));
    return address;
  }
  ScriptMemory& Memory() { return memory_; }
  HandleTable& Handles() { return handles_; }

 private:
  ScriptMemory memory_;
  HandleTable handles_;
};

}  // namespace builtins_test
