// The argument words that built-in functions hand to plug-in entries and to the objects made by
// name, copied out of script memory so that the callee never reads it directly.
#pragma once

#include <cstdint>
#include <vector>

#include "resource/plugin_args.h"
#include "script/native_args.h"

// The most words a plug-in entry or an object made by name is handed.
inline constexpr std::uint32_t kPluginWordLimit = 16;

// An argument list that owns its words.
class PluginWords {
 public:
  explicit PluginWords(std::vector<std::uintptr_t> words) : words_(std::move(words)) {}
  PluginArgs View() const { return {words_.data(), static_cast<std::uint32_t>(words_.size())}; }
  const std::vector<std::uintptr_t>& Words() const { return words_; }

 private:
  std::vector<std::uintptr_t> words_;
};

// The words from args[first] on that lie in script memory (at most kPluginWordLimit), as plain
// numbers.
PluginWords NumberWordsFrom(const NativeArgs& args, std::uint32_t first);

// The same words resolved for the engine's own effects and draw objects, whose argument lists
// carry objects and texts as pointers: a handle of a live drawable or display object becomes
// that object, the address of a zero-terminated text in script memory becomes that text, and
// every other word stays a number. A number that happens to equal a live handle or a text's
// address is taken for the object or the text.
PluginWords ObjectWordsFrom(const NativeArgs& args, std::uint32_t first);

// Calls an assist entry (a function taking the address of an argument list) with the number
// words from args[first] on: its result.
template <class Entry>
std::int32_t CallWithNumberWords(Entry entry, const NativeArgs& args, std::uint32_t first) {
  const PluginWords words = NumberWordsFrom(args, first);
  const PluginArgs list = words.View();
  return entry(&list);
}
