// The scripts' formatter on arbitrary format strings and argument words: the output never passes
// its limit, and a value that names no script text ends in a script fault, never a stray read.
// The input's first 32 bytes are eight argument words (each word below 8 is replaced by the
// address of a script text, so that "%s" also reads real texts); the rest is the format.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/lifetime/handle_table.h"
#include "builtins/script_format.h"
#include "script/script_fault.h"
#include "script/script_memory.h"

namespace {

constexpr std::uint32_t kWords = 8;
constexpr std::size_t kLimit = 1023;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScriptMemory memory;
  static HandleTable handles;
  static const std::uint32_t text = [] {
    const std::uint32_t address = memory.Allocate(64, true);
    memory.Write(address, "fuzz text", 9);
    return address;
  }();
  if (size < kWords * 4) return 0;
  const std::uint32_t words = memory.Allocate(kWords * 4);
  for (std::uint32_t i = 0; i < kWords; ++i) {
    std::uint32_t word;
    std::memcpy(&word, data + i * 4, 4);
    memory.SetWord(words + i * 4, word < kWords ? text + word : word);
  }
  const std::string format(reinterpret_cast<const char*>(data) + kWords * 4, size - kWords * 4);
  try {
    // Words past the eight lie in the allocator's spare bytes or beyond; either is a fair read.
    const std::string out = FormatScriptText(format.c_str(), NativeArgs(memory, handles, words), kLimit);
    if (out.size() > kLimit) std::abort();
  } catch (const ScriptFault&) {
  }
  memory.Free(words);
  return 0;
}
