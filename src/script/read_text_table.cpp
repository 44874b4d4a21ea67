#include "script/read_text_table.h"

#include <new>

namespace {

struct StoredBits {
  std::uint32_t bit_count = 0;
  std::span<const std::uint8_t> bytes;
};

struct StoredRecord {
  std::string_view name;
  StoredBits read_lines;
  StoredBits choices;
};

std::optional<StoredBits> ReadBits(ByteReader& reader) {
  const std::optional<std::uint32_t> bit_count = reader.Word();
  const std::optional<std::uint32_t> byte_count = bit_count ? reader.Word() : std::nullopt;
  if (!byte_count) return std::nullopt;
  const std::optional<std::span<const std::uint8_t>> bytes = reader.Bytes(*byte_count);
  if (!bytes) return std::nullopt;
  return StoredBits{*bit_count, *bytes};
}

void WriteBits(const CBitArray& bits, ByteWriter& out) {
  out.Word(bits.BitCount());
  out.Word(bits.ByteCount());
  out.Bytes(bits.Bytes());
}

void LoadBits(const StoredBits& stored, CBitArray& bits) {
  if (stored.bit_count == bits.BitCount() && stored.bytes.size() == bits.ByteCount()) bits.LoadBytes(stored.bytes);
}

}  // namespace

ReadTextTableStatus ParseReadTextTable(std::span<const std::uint8_t> bytes, std::vector<ReadTextRecord>& table) {
  ByteReader reader(bytes);
  const std::optional<std::uint16_t> count = reader.Word16();
  if (!count) return ReadTextTableStatus::kDamaged;
  std::vector<ReadTextRecord> records;
  try {
    records.resize(*count);
  } catch (const std::bad_alloc&) {
    return ReadTextTableStatus::kNoMemory;
  }
  for (ReadTextRecord& record : records) {
    const std::optional<std::uint8_t> name_length = reader.Byte();
    const std::optional<std::span<const std::uint8_t>> name = name_length ? reader.Bytes(*name_length) : std::nullopt;
    const std::optional<std::uint16_t> line_bits = name ? reader.Word16() : std::nullopt;
    const std::optional<std::uint16_t> choice_bits = line_bits ? reader.Word16() : std::nullopt;
    if (!choice_bits) return ReadTextTableStatus::kDamaged;
    record.name = TextOfField(*name);
    record.name_length = *name_length;
    if (record.read_lines.Resize(*line_bits) == CBitArray::kNoMemory ||
        record.choices.Resize(*choice_bits) == CBitArray::kNoMemory) {
      return ReadTextTableStatus::kNoMemory;
    }
  }
  table = std::move(records);
  return ReadTextTableStatus::kOk;
}

void WriteTextLogRecords(const std::vector<ReadTextRecord>& table, ByteWriter& out) {
  for (const ReadTextRecord& record : table) {
    out.Byte(record.name_length);
    out.Text(record.name);
    for (std::size_t pad = record.name.size(); pad < record.name_length; ++pad) out.Byte(0);
    WriteBits(record.read_lines, out);
    WriteBits(record.choices, out);
  }
}

bool ReadTextLogRecords(std::span<const std::uint8_t> data, std::uint32_t count, std::vector<ReadTextRecord>& table) {
  ByteReader reader(data);
  std::vector<StoredRecord> stored;
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::optional<std::uint8_t> name_length = reader.Byte();
    const std::optional<std::span<const std::uint8_t>> name = name_length ? reader.Bytes(*name_length) : std::nullopt;
    if (!name) return false;
    const std::optional<StoredBits> read_lines = ReadBits(reader);
    const std::optional<StoredBits> choices = read_lines ? ReadBits(reader) : std::nullopt;
    if (!choices) return false;
    stored.push_back({TextOfField(*name), *read_lines, *choices});
  }

  for (ReadTextRecord& record : table) record.matched = false;
  for (const StoredRecord& record : stored) {
    for (ReadTextRecord& candidate : table) {
      if (candidate.matched || candidate.name != record.name) continue;
      LoadBits(record.read_lines, candidate.read_lines);
      LoadBits(record.choices, candidate.choices);
      candidate.matched = true;
      break;
    }
  }
  return true;
}
