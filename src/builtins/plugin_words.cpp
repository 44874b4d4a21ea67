#include "builtins/plugin_words.h"

#include <cstring>

#include "gfx/image_interface.h"
#include "scene/drawable.h"

namespace {

template <class Convert>
PluginWords WordsFrom(const NativeArgs& args, std::uint32_t first, Convert convert) {
  std::vector<std::uintptr_t> words;
  const std::uint64_t start = std::uint64_t{args.Address()} + std::uint64_t{first} * 4;
  for (std::uint32_t i = 0; i < kPluginWordLimit; ++i) {
    const std::uint64_t address = start + std::uint64_t{i} * 4;
    if (address > UINT32_MAX || !args.Memory().Contains(static_cast<std::uint32_t>(address), 4)) break;
    words.push_back(convert(args.Memory().Word(static_cast<std::uint32_t>(address))));
  }
  return PluginWords(std::move(words));
}

// The text at `address` when a zero ends it inside script memory; null otherwise.
const char* TextAt(const ScriptMemory& memory, std::uint32_t address) {
  if (!memory.Contains(address, 1)) return nullptr;
  const auto span = memory.Range(address, static_cast<std::uint32_t>(memory.UsableEnd() - address));
  const void* end = std::memchr(span.data(), 0, span.size());
  return end != nullptr ? reinterpret_cast<const char*>(span.data()) : nullptr;
}

}  // namespace

PluginWords NumberWordsFrom(const NativeArgs& args, std::uint32_t first) {
  return WordsFrom(args, first, [](std::uint32_t word) { return std::uintptr_t{word}; });
}

PluginWords ObjectWordsFrom(const NativeArgs& args, std::uint32_t first) {
  const HandleTable& handles = args.Handles();
  const ScriptMemory& memory = args.Memory();
  return WordsFrom(args, first, [&](std::uint32_t word) {
    if (CDrawable* drawable = handles.Get<CDrawable>(word); drawable != nullptr) {
      return reinterpret_cast<std::uintptr_t>(drawable);
    }
    if (CImageInterface* object = handles.Get<CImageInterface>(word); object != nullptr) {
      return reinterpret_cast<std::uintptr_t>(object);
    }
    if (const char* text = TextAt(memory, word); text != nullptr) return reinterpret_cast<std::uintptr_t>(text);
    return std::uintptr_t{word};
  });
}
