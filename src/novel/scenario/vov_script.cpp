#include "novel/scenario/vov_script.h"

#include <cstring>
#include <limits>

std::unique_ptr<VovScript> VovScript::Create(ScriptMemory& memory, std::span<const std::uint8_t> file,
                                             TobLayout layout, std::string name, std::int32_t read_text_index) {
  if (file.size() >= ScriptMemory::kAllocationLimit) return nullptr;
  const auto size = static_cast<std::uint32_t>(file.size());
  const std::uint32_t image = memory.Allocate(size);
  if (image == 0) return nullptr;
  memory.Write(image, file.data(), size);
  const std::span<std::byte> bytes = memory.Range(image + layout.body_offset, size - layout.body_offset);
  const std::span<std::uint8_t> body(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
  return std::unique_ptr<VovScript>(
      new VovScript(memory, image, body, std::move(layout), std::move(name), read_text_index));
}

VovScript::VovScript(ScriptMemory& memory, std::uint32_t image, std::span<std::uint8_t> body, TobLayout layout,
                     std::string name, std::int32_t read_text_index)
    : memory_(memory),
      image_(image),
      body_(body),
      layout_(std::move(layout)),
      name_(std::move(name)),
      read_text_index_(read_text_index) {}

VovScript::~VovScript() { memory_.Free(image_); }

std::int64_t VovScript::FindLabel(std::string_view label) const {
  for (const TobLabel& candidate : layout_.labels) {
    if (candidate.name == label) return candidate.offset;
  }
  return -1;
}

std::int64_t VovScript::LineOffset(std::uint32_t line) const {
  return line < layout_.lines.size() ? std::int64_t{layout_.lines[line]} : -1;
}
