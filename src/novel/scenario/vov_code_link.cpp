#include "novel/scenario/vov_code_link.h"

#include <array>
#include <vector>

#include "base/numbers/little_endian.h"

namespace {

struct LinkPair {
  std::uint32_t offset = 0;
  std::uint32_t value = 0;
};

constexpr std::size_t kSectionCount = 5;
using LinkSections = std::array<std::vector<LinkPair>, kSectionCount>;

std::optional<std::uint32_t> ReadWidth(ByteReader& reader, std::uint8_t width) {
  if (width == 4) return reader.Word();
  if (width == 2) {
    const std::optional<std::uint16_t> value = reader.Word16();
    return value ? std::optional<std::uint32_t>(*value) : std::nullopt;
  }
  const std::optional<std::uint8_t> value = reader.Byte();
  return value ? std::optional<std::uint32_t>(*value) : std::nullopt;
}

std::uint8_t LengthWidth(VovCodeForm form) { return form == VovCodeForm::kExpression ? 2 : 4; }
std::uint8_t CountWidth(VovCodeForm form) { return form == VovCodeForm::kExpression ? 1 : 4; }

std::optional<LinkSections> ReadSections(std::span<const std::uint8_t> block, VovCodeForm form) {
  ByteReader reader(block);
  LinkSections sections;
  for (std::vector<LinkPair>& section : sections) {
    const std::optional<std::uint32_t> count = ReadWidth(reader, CountWidth(form));
    if (!count || !reader.Has(std::uint64_t{*count} * 8)) return std::nullopt;
    section.reserve(*count);
    for (std::uint32_t n = 0; n < *count; ++n) section.push_back({*reader.Word(), *reader.Word()});
  }
  return sections;
}

// The word each pair of a section receives, nothing for a pair past its table.
std::optional<std::uint32_t> LinkedWord(const CScriptVm& vm, std::size_t section, std::uint32_t value,
                                        std::uint32_t code_address, std::uint32_t code_size) {
  switch (section) {
    case 0:
      if (value >= vm.Variables().Count()) return std::nullopt;
      return vm.Variables().Table()[value].address;
    case 1:
      if (value >= vm.Natives().Count()) return std::nullopt;
      return ScriptNativeTable::Token(value);
    case 2:
      if (value >= vm.HostVariableCount()) return std::nullopt;
      return vm.HostVariableAddress(value);
    case 3: {
      // Code addresses may be one past the end of their code: a label behind the last word.
      if (vm.LibraryCodeBase() == 0 || value > vm.Modules().front().code_size) return std::nullopt;
      return vm.LibraryCodeBase() + value;
    }
    default:
      if (value > code_size) return std::nullopt;
      return code_address + value;
  }
}

}  // namespace

std::optional<VovCode> ReadVovCode(ByteReader& reader, VovCodeForm form) {
  VovCode code;
  code.form = form;
  const std::optional<std::uint32_t> code_size = ReadWidth(reader, LengthWidth(form));
  if (!code_size) return std::nullopt;
  code.code = static_cast<std::uint32_t>(reader.At());
  code.code_size = *code_size;
  if (!reader.Skip(*code_size)) return std::nullopt;
  code.linked_flag = static_cast<std::uint32_t>(reader.At());
  const std::optional<std::uint8_t> flag = reader.Byte();
  const std::optional<std::uint32_t> link_size = flag ? ReadWidth(reader, LengthWidth(form)) : std::nullopt;
  // The size counts its own field.
  if (!link_size || *link_size < LengthWidth(form)) return std::nullopt;
  code.link_sections = static_cast<std::uint32_t>(reader.At());
  code.link_sections_size = *link_size - LengthWidth(form);
  if (!reader.Skip(code.link_sections_size)) return std::nullopt;
  code.end = static_cast<std::uint32_t>(reader.At());
  return code;
}

bool LinkVovCode(const CScriptVm& vm, std::span<std::uint8_t> body, std::uint32_t body_address, const VovCode& code) {
  if (body[code.linked_flag] != 0) return true;
  const std::optional<LinkSections> sections =
      ReadSections(body.subspan(code.link_sections, code.link_sections_size), code.form);
  if (!sections) return false;

  const std::uint32_t code_address = body_address + code.code;
  std::vector<LinkPair> writes;
  for (std::size_t section = 0; section < kSectionCount; ++section) {
    for (const LinkPair& pair : (*sections)[section]) {
      const std::optional<std::uint32_t> word = LinkedWord(vm, section, pair.value, code_address, code.code_size);
      if (!word || std::uint64_t{pair.offset} + 4 > code.code_size) return false;
      writes.push_back({pair.offset, *word});
    }
  }
  for (const LinkPair& write : writes) StoreLe32(body.data() + code.code + write.offset, write.value);
  body[code.linked_flag] = 1;
  return true;
}
