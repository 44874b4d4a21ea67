#include "novel/scenario/tob_file.h"

#include <optional>

#include "base/numbers/byte_cursor.h"
#include "script/sob_object.h"

namespace {

constexpr std::uint32_t kMagicSize = 4;
// The length field of a block and the count behind it.
constexpr std::uint32_t kBlockHeadSize = 8;
// A label's zero byte and body offset.
constexpr std::uint32_t kLabelTailSize = 5;

std::optional<TobLabel> ReadLabel(ByteReader& block) {
  const std::optional<std::uint8_t> length = block.Byte();
  const std::optional<std::span<const std::uint8_t>> record = length ? block.Bytes(*length) : std::nullopt;
  if (!record || record->size() < kLabelTailSize) return std::nullopt;
  const std::span<const std::uint8_t> name_field = record->first(record->size() - 4);
  const std::string_view name = TextOfField(name_field);
  if (name.size() == name_field.size()) return std::nullopt;  // no zero byte before the offset
  ByteReader offset(record->last(4));
  return TobLabel{std::string(name), *offset.Word()};
}

bool ReadLabels(std::span<const std::uint8_t> first_block, std::vector<TobLabel>& labels) {
  ByteReader block(first_block);
  const std::optional<std::uint32_t> count = block.Word();
  // Each record takes at least its length byte and its tail.
  if (!count || !block.Has(std::uint64_t{*count} * (1 + kLabelTailSize))) return false;
  labels.reserve(*count);
  for (std::uint32_t n = 0; n < *count; ++n) {
    std::optional<TobLabel> label = ReadLabel(block);
    if (!label) return false;
    labels.push_back(std::move(*label));
  }
  return true;
}

bool ReadLines(std::span<const std::uint8_t> second_block, std::vector<std::uint32_t>& lines) {
  ByteReader head(second_block);
  const std::optional<std::uint32_t> count = head.Word();
  if (!count || !head.Has(std::uint64_t{*count} * 4)) return false;
  // The table ends where the body begins, whatever lies between it and its count.
  ByteReader table(second_block.last(std::size_t{*count} * 4));
  lines.reserve(*count);
  for (std::uint32_t n = 0; n < *count; ++n) lines.push_back(*table.Word());
  return true;
}

bool InsideBody(std::uint32_t offset, std::uint64_t body_size) { return offset <= body_size; }

}  // namespace

TobStatus ParseTob(std::span<const std::uint8_t> file, TobLayout& layout) {
  const bool tob1 = HasMagic(file, kTob1Magic);
  if (!tob1 && !HasMagic(file, kTob0Magic)) return TobStatus::kBadMagic;

  ByteReader reader(file.subspan(kMagicSize));
  const std::optional<std::uint32_t> first_length = reader.Word();
  if (!first_length || *first_length < kBlockHeadSize) return TobStatus::kMalformed;
  const std::optional<std::span<const std::uint8_t>> first_block = reader.Bytes(*first_length - 4);
  const std::optional<std::uint32_t> second_length = first_block ? reader.Word() : std::nullopt;
  if (!second_length || *second_length < kBlockHeadSize) return TobStatus::kMalformed;
  const std::optional<std::span<const std::uint8_t>> second_block = reader.Bytes(*second_length - 4);
  if (!second_block) return TobStatus::kMalformed;

  TobLayout parsed;
  parsed.has_line_table = tob1;
  parsed.body_offset = static_cast<std::uint32_t>(file.size() - reader.Left());
  const std::uint64_t body_size = reader.Left();
  if (!ReadLabels(*first_block, parsed.labels) || !ReadLines(*second_block, parsed.lines)) return TobStatus::kMalformed;
  for (const TobLabel& label : parsed.labels) {
    if (!InsideBody(label.offset, body_size)) return TobStatus::kMalformed;
  }
  for (const std::uint32_t line : parsed.lines) {
    if (!InsideBody(line, body_size)) return TobStatus::kMalformed;
  }
  layout = std::move(parsed);
  return TobStatus::kOk;
}
