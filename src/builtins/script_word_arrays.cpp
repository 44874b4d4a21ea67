#include "builtins/script_word_arrays.h"

#include <cstring>

#include "script/script_fault.h"

std::vector<std::int32_t> ReadScriptWordsAt(const ScriptMemory& memory, std::uint32_t address, std::uint64_t count) {
  if (count == 0) return {};
  // No script memory is that large: refused before anything is allocated.
  if (count > UINT32_MAX / 4) RaiseBadAddress(address, UINT32_MAX);
  const auto bytes = memory.Range(address, static_cast<std::uint32_t>(count * 4));
  std::vector<std::int32_t> words(static_cast<size_t>(count));
  std::memcpy(words.data(), bytes.data(), bytes.size());
  return words;
}

std::vector<std::int32_t> ReadScriptWords(const NativeArgs& args, std::uint32_t first, std::uint64_t count) {
  const std::uint64_t address = args.Address() + std::uint64_t{first} * 4;
  if (address > UINT32_MAX) RaiseBadAddress(args.Address(), 4);
  return ReadScriptWordsAt(args.Memory(), static_cast<std::uint32_t>(address), count);
}
