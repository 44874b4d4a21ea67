#include "script/sob_object.h"

#include <cstring>

#include "base/numbers/byte_cursor.h"

namespace {

// The pairs of one relocation list; nothing when they run past the block.
std::optional<std::vector<SobRelocationEntry>> ReadRelocationList(ByteReader& block) {
  const std::optional<std::uint32_t> stored_count = block.Word();
  if (!stored_count) return std::nullopt;
  const auto count = static_cast<std::int32_t>(*stored_count);
  std::vector<SobRelocationEntry> entries;
  if (count <= 0) return entries;
  if (!block.Has(std::uint64_t(count) * 8)) return std::nullopt;
  entries.resize(static_cast<std::size_t>(count));
  for (SobRelocationEntry& entry : entries) {
    entry.offset = *block.Word();
    entry.value = *block.Word();
  }
  return entries;
}

}  // namespace

bool HasMagic(std::span<const std::uint8_t> file, std::string_view magic) {
  return file.size() >= magic.size() && std::memcmp(file.data(), magic.data(), magic.size()) == 0;
}

std::optional<SobObject> ParseSobObject(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes);
  const std::optional<std::uint32_t> block_length = reader.Word();
  if (!block_length) return std::nullopt;
  const std::optional<std::span<const std::uint8_t>> block_bytes = reader.Bytes(*block_length);
  if (!block_bytes) return std::nullopt;

  SobObject object;
  ByteReader block(*block_bytes);
  for (std::vector<SobRelocationEntry>& list : object.relocations) {
    std::optional<std::vector<SobRelocationEntry>> entries = ReadRelocationList(block);
    if (!entries) return std::nullopt;
    list = std::move(*entries);
  }
  const std::optional<std::uint32_t> closing_word = block.Word();
  const std::optional<std::uint32_t> instruction_length = reader.Word();
  const std::optional<std::uint32_t> code_size = reader.Word();
  if (!closing_word || !instruction_length || !code_size) return std::nullopt;
  const std::optional<std::span<const std::uint8_t>> code = reader.Bytes(*code_size);
  if (!code) return std::nullopt;
  object.closing_word = *closing_word;
  object.instruction_length = *instruction_length;
  object.code = *code;
  return object;
}

unsigned ParseUserVarObject(std::span<const std::uint8_t> file, UserVarObject& object) {
  constexpr unsigned kBadMagic = 3;
  constexpr unsigned kDamaged = 4;
  if (!HasMagic(file, kSobUserVarMagic)) return kBadMagic;
  ByteReader reader(file.subspan(kSobMagicSize));

  const std::optional<std::uint32_t> image_size = reader.Word();
  if (!image_size) return kDamaged;
  const std::optional<std::span<const std::uint8_t>> image = reader.Bytes(*image_size);
  const std::optional<std::uint32_t> variable_count = image ? reader.Word() : std::nullopt;
  if (!variable_count || !reader.Has(std::uint64_t{*variable_count} * 10)) return kDamaged;
  const std::uint64_t image_end = *image_size;

  UserVarObject result;
  result.image = *image;
  result.variables.resize(*variable_count);
  for (UserVariableRecord& variable : result.variables) {
    variable.kind = *reader.Byte();
    variable.variable_class = *reader.Byte();
    variable.offset = *reader.Word();
    variable.size = *reader.Word();
    if (variable.kind > kMaxVariableKind) return kDamaged;
    if (std::uint64_t{variable.offset} + variable.size > image_end) return kDamaged;
  }

  const std::optional<std::uint32_t> fixup_count = reader.Word();
  if (!fixup_count || !reader.Has(std::uint64_t{*fixup_count} * 8)) return kDamaged;
  result.fixups.resize(*fixup_count);
  for (UserVariableFixup& fixup : result.fixups) {
    fixup.at = *reader.Word();
    fixup.target = *reader.Word();
    if (std::uint64_t{fixup.at} + 4 > image_end || fixup.target > image_end) return kDamaged;
  }
  const std::optional<std::uint32_t> closing_word = reader.Word();
  if (!closing_word || *closing_word != 0) return kDamaged;
  object = std::move(result);
  return 0;
}
