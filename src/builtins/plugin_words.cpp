#include "builtins/plugin_words.h"

#include <cstring>
#include <string_view>

#include "builtins/listed_resource.h"
#include "gfx/images/image.h"
#include "gfx/images/image_interface.h"
#include "platform/system/diagnostic_log.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/resource_list.h"
#include "scene/drawables/drawable.h"

namespace {

// The script's words from args[first] on that lie in script memory, at most kPluginWordLimit.
std::vector<std::uint32_t> ScriptWordsFrom(const NativeArgs& args, std::uint32_t first) {
  std::vector<std::uint32_t> words;
  const std::uint64_t start = std::uint64_t{args.Address()} + std::uint64_t{first} * 4;
  for (std::uint32_t i = 0; i < kPluginWordLimit; ++i) {
    const std::uint64_t address = start + std::uint64_t{i} * 4;
    if (address > UINT32_MAX || !args.Memory().Contains(static_cast<std::uint32_t>(address), 4)) break;
    words.push_back(args.Memory().Word(static_cast<std::uint32_t>(address)));
  }
  return words;
}

std::string_view KindName(EffectWord kind) {
  switch (kind) {
    case EffectWord::kText:
      return "a text";
    case EffectWord::kSprite:
      return "a sprite";
    case EffectWord::kSurface:
      return "a display object";
    case EffectWord::kImage:
      return "a picture";
    case EffectWord::kAnimData:
      return "an animation-data file";
    case EffectWord::kOut:
      return "a word to write";
    default:
      return "a number";
  }
}

CDrawable* PlainSprite(const HandleTable& handles, std::uint32_t word) {
  CDrawable* drawable = handles.Get<CDrawable>(word);
  return drawable != nullptr && drawable->GetDrawableType() == CDrawable::kTypeSprite ? drawable : nullptr;
}

CImage* PlainPicture(const HandleTable& handles, std::uint32_t word) {
  CImageInterface* object = handles.Get<CImageInterface>(word);
  return object != nullptr && object->GetKind() == ESurfaceKind::kImage ? dynamic_cast<CImage*>(object) : nullptr;
}

}  // namespace

PluginWords NumberWordsFrom(const NativeArgs& args, std::uint32_t first) {
  const std::vector<std::uint32_t> script_words = ScriptWordsFrom(args, first);
  return PluginWords(std::vector<std::uintptr_t>(script_words.begin(), script_words.end()));
}

ScriptEffectWords::ScriptEffectWords(const NativeArgs& args, std::uint32_t first, const char* name,
                                     EffectEntry entry)
    : memory_(&args.Memory()) {
  const std::vector<std::uint32_t> script_words = ScriptWordsFrom(args, first);
  const EffectWordKinds kinds = EffectWordKindsOf(name, entry, script_words).value_or(EffectWordKinds());
  words_.reserve(script_words.size());
  texts_.reserve(script_words.size());
  out_values_.reserve(script_words.size());
  out_addresses_.reserve(script_words.size());
  for (std::uint32_t i = 0; i < script_words.size(); ++i) {
    const EffectWord kind = i < kinds.size() ? kinds[i] : EffectWord::kNumber;
    if (Resolve(args, first + i, kind, script_words[i])) continue;
    plat::LogDiagnostic(std::string(name != nullptr ? name : "") + ": argument word " + std::to_string(i) + " (" +
                        std::to_string(script_words[i]) + ") is not " + std::string(KindName(kind)) +
                        "; the call is refused");
    refused_ = true;
    return;
  }
}

bool ScriptEffectWords::Resolve(const NativeArgs& args, std::uint32_t index, EffectWord kind, std::uint32_t word) {
  if (kind == EffectWord::kNumber || word == 0) {
    words_.push_back(word);
    return true;
  }
  const HandleTable& handles = args.Handles();
  std::uintptr_t resolved = 0;
  switch (kind) {
    case EffectWord::kText:
      resolved = Text(args.Memory(), word);
      break;
    case EffectWord::kSprite:
      resolved = reinterpret_cast<std::uintptr_t>(PlainSprite(handles, word));
      break;
    case EffectWord::kSurface:
      resolved = reinterpret_cast<std::uintptr_t>(handles.Get<CImageInterface>(word));
      break;
    case EffectWord::kImage:
      resolved = reinterpret_cast<std::uintptr_t>(PlainPicture(handles, word));
      break;
    case EffectWord::kAnimData:
      resolved = reinterpret_cast<std::uintptr_t>(ListedResource<CDadFile>(args, index, g_AnimDataFiles));
      break;
    default:
      resolved = Out(args.Memory(), word);
      break;
  }
  words_.push_back(resolved);
  return resolved != 0;
}

std::uintptr_t ScriptEffectWords::Text(const ScriptMemory& memory, std::uint32_t address) {
  if (!memory.Contains(address, 1)) return 0;
  const auto span = memory.Range(address, static_cast<std::uint32_t>(memory.UsableEnd() - address));
  const void* end = std::memchr(span.data(), 0, span.size());
  if (end == nullptr) return 0;
  texts_.emplace_back(reinterpret_cast<const char*>(span.data()),
                      static_cast<const std::byte*>(end) - span.data());
  return reinterpret_cast<std::uintptr_t>(texts_.back().c_str());
}

std::uintptr_t ScriptEffectWords::Out(const ScriptMemory& memory, std::uint32_t address) {
  if (!memory.Contains(address, 4)) return 0;
  out_addresses_.push_back(address);
  out_values_.push_back(memory.Word(address));
  return reinterpret_cast<std::uintptr_t>(&out_values_.back());
}

void ScriptEffectWords::WriteBack() const {
  for (std::size_t i = 0; i < out_addresses_.size(); ++i) memory_->SetWord(out_addresses_[i], out_values_[i]);
}
