#include "sound/voice_table.h"

#include "base/numbers/byte_cursor.h"

namespace {

// A field of a length byte and that many bytes.
std::optional<std::span<const std::uint8_t>> ReadField(ByteReader& reader) {
  const std::optional<std::uint8_t> length = reader.Byte();
  if (!length) return std::nullopt;
  return reader.Bytes(*length);
}

}  // namespace

std::optional<VoiceTable> ParseVoiceTable(std::span<const std::uint8_t> bytes) {
  ByteReader reader(bytes);
  VoiceTable table;
  const std::optional<std::span<const std::uint8_t>> extension = ReadField(reader);
  const std::optional<std::uint32_t> name_count = extension ? reader.Word() : std::nullopt;
  const std::optional<std::uint32_t> character_count = name_count ? reader.Word() : std::nullopt;
  if (!character_count) return std::nullopt;
  table.extension = TextOfField(*extension);
  if (table.extension.size() >= kVoiceExtensionSize) return std::nullopt;
  // Every character record takes at least six bytes, every voice name one.
  if (!reader.Has(std::uint64_t{*character_count} * 6) || !reader.Has(*name_count)) return std::nullopt;

  table.characters.resize(*character_count);
  for (std::uint32_t number = 0; number < *character_count; ++number) {
    VoiceCharacter& character = table.characters[number];
    const std::optional<std::span<const std::uint8_t>> name = ReadField(reader);
    const std::optional<std::span<const std::uint8_t>> second_name = name ? ReadField(reader) : std::nullopt;
    const std::optional<std::uint32_t> voice_count = second_name ? reader.Word() : std::nullopt;
    if (!voice_count || *voice_count > *name_count - table.names.size()) return std::nullopt;
    character.name = TextOfField(*name);
    character.second_name_flag = second_name->empty() ? 0 : 1;
    if (second_name->size() > 1) character.second_name = std::string(TextOfField(*second_name));
    for (std::uint32_t k = 0; k < *voice_count; ++k) {
      const std::optional<std::span<const std::uint8_t>> voice = ReadField(reader);
      if (!voice) return std::nullopt;
      table.names.push_back({std::string(TextOfField(*voice)), number});
    }
  }
  return table;
}
