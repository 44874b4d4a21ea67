// The argument-word list of the plug-in entries and decoder assist operations: where an entry
// takes a variable number of 32-bit words (or the address of such words), it takes this list.
// Every word is pointer-sized, so a word may carry an address; a 32-bit value sits in the low
// half. It is a plain C layout, because plug-in libraries receive it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

struct PluginArgs {
  const std::uintptr_t* words;
  std::uint32_t count;

  // Words past the end of the list read as 0, so that a short list never reads beyond it.
  std::uintptr_t Word(std::uint32_t index) const { return index < count ? words[index] : 0; }
  std::uint32_t U32(std::uint32_t index) const { return static_cast<std::uint32_t>(Word(index)); }
  std::int32_t I32(std::uint32_t index) const { return static_cast<std::int32_t>(U32(index)); }
  template <class T>
  T* Pointer(std::uint32_t index) const {
    return reinterpret_cast<T*>(Word(index));
  }
  // The words from `first` on.
  PluginArgs From(std::uint32_t first) const {
    return first < count ? PluginArgs{words + first, count - first} : PluginArgs{nullptr, 0};
  }
};

// An owned list of argument words, for callers that build one.
class PluginArgList {
 public:
  PluginArgList(std::initializer_list<std::uintptr_t> words) : words_(words) {}
  // `command` followed by the words of `rest`: how an assist entry's arguments reach its twin
  // that takes the command as its first word.
  static PluginArgList WithCommand(std::uint32_t command, const PluginArgs& rest) {
    PluginArgList list{command};
    list.words_.insert(list.words_.end(), rest.words, rest.words + rest.count);
    return list;
  }

  PluginArgs View() const { return {words_.data(), static_cast<std::uint32_t>(words_.size())}; }

 private:
  std::vector<std::uintptr_t> words_;
};

extern "C" {
// The assist entries and the configuration entry of every decoder plug-in family.
using PluginAssistFunc = std::int32_t (*)(std::uint32_t command, const PluginArgs* args);
using PluginAssistFunc2 = std::int32_t (*)(const PluginArgs* args);
using PluginConfigFunc = std::int32_t (*)(const PluginArgs* args);
}
