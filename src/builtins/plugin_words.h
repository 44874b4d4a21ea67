// The argument words that built-in functions hand to plug-in entries, effects and filters,
// copied out of script memory so that the callee never reads it directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effects/framework/effect_word_kinds.h"
#include "resource/plugins/plugin_args.h"
#include "script/native_args.h"

// The most words a plug-in entry, an effect or a filter is handed.
inline constexpr std::uint32_t kPluginWordLimit = 16;

// An argument list that owns its words.
class PluginWords {
 public:
  explicit PluginWords(std::vector<std::uintptr_t> words) : words_(std::move(words)) {}
  PluginArgs View() const { return {words_.data(), static_cast<std::uint32_t>(words_.size())}; }

 private:
  std::vector<std::uintptr_t> words_;
};

// The words from args[first] on that lie in script memory (at most kPluginWordLimit), as plain
// numbers.
PluginWords NumberWordsFrom(const NativeArgs& args, std::uint32_t first);

// Calls an assist entry (a function taking the address of an argument list) with the number
// words from args[first] on: its result.
template <class Entry>
std::int32_t CallWithNumberWords(Entry entry, const NativeArgs& args, std::uint32_t first) {
  const PluginWords words = NumberWordsFrom(args, first);
  const PluginArgs list = words.View();
  return entry(&list);
}

// The words from args[first] on for an entry of the effect or filter `name`, each resolved by
// the kind the entry declares for it: a text is copied out of script memory, an object is the
// live object its handle names, an out word is a host word that WriteBack stores at its script
// address, and a number stays the number. A word that does not hold what its kind asks for
// refuses the whole list, with one line in the program log. An object of a plug-in library
// takes numbers only.
class ScriptEffectWords {
 public:
  ScriptEffectWords(const NativeArgs& args, std::uint32_t first, const char* name, EffectEntry entry);
  ScriptEffectWords(const ScriptEffectWords&) = delete;
  ScriptEffectWords& operator=(const ScriptEffectWords&) = delete;

  bool Refused() const { return refused_; }
  PluginArgs View() const { return {words_.data(), static_cast<std::uint32_t>(words_.size())}; }
  // Stores what the callee left in the out words at their script addresses.
  void WriteBack() const;

 private:
  bool Resolve(const NativeArgs& args, std::uint32_t index, EffectWord kind, std::uint32_t word);
  std::uintptr_t Text(const ScriptMemory& memory, std::uint32_t address);
  std::uintptr_t Out(const ScriptMemory& memory, std::uint32_t address);

  ScriptMemory* memory_;
  std::vector<std::uintptr_t> words_;
  // The callee's pointers lead here: both keep their elements in place (reserved up front).
  std::vector<std::string> texts_;
  std::vector<std::uint32_t> out_values_;
  std::vector<std::uint32_t> out_addresses_;
  bool refused_ = false;
};

// Calls `call` with the view of the resolved words and writes its out words back: its result,
// or `refused` without calling it when a word is refused.
template <class Call>
std::uint32_t CallWithEffectWords(const NativeArgs& args, std::uint32_t first, const char* name, EffectEntry entry,
                                  std::uint32_t refused, Call call) {
  const ScriptEffectWords words(args, first, name, entry);
  if (words.Refused()) return refused;
  const std::uint32_t result = static_cast<std::uint32_t>(call(words.View()));
  words.WriteBack();
  return result;
}
