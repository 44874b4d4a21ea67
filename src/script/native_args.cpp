#include "script/native_args.h"

void ScriptOut::Set(std::uint32_t value) const {
  if (address_ != 0) memory_->SetWord(address_, value);
}

void ScriptOut::SetWords(std::initializer_list<std::uint32_t> values) const {
  SetBytes(values.begin(), static_cast<std::uint32_t>(values.size() * sizeof(std::uint32_t)));
}

void ScriptOut::SetBytes(const void* data, std::uint32_t size) const {
  if (address_ != 0) memory_->Write(address_, data, size);
}

const char* NativeArgs::Str(std::uint32_t i) const {
  const std::uint32_t address = U32(i);
  return address == 0 ? nullptr : memory_->String(address);
}

std::optional<ScriptRect> NativeArgs::Rect(std::uint32_t i) const {
  if (U32(i) == kAbsentArgumentGroup) return std::nullopt;
  return ScriptRect{I32(i), I32(i + 1), I32(i + 2), I32(i + 3)};
}

std::optional<ScriptSize> NativeArgs::Size(std::uint32_t i) const {
  if (U32(i) == kAbsentArgumentGroup) return std::nullopt;
  return ScriptSize{I32(i), I32(i + 1)};
}
