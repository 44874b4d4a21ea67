#include "script/read_text_table.h"

#include <new>

#include "base/files/packed_block.h"
#include "script/sob_object.h"

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

// A record of SOB_INIT.DAT as listed, before its bit arrays are made.
struct ListedRecord {
  std::string_view name;
  std::uint8_t name_length = 0;
  std::uint32_t line_bits = 0;
  std::uint32_t choice_bits = 0;
};

std::optional<std::uint32_t> ReadField(ByteReader& reader, std::uint8_t size) {
  if (size == 4) return reader.Word();
  const std::optional<std::uint16_t> value = reader.Word16();
  return value ? std::optional<std::uint32_t>(*value) : std::nullopt;
}

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

ReadTextTableStatus ParseReadTextTable(std::span<const std::uint8_t> bytes, std::vector<ReadTextRecord>& table,
                                       ReadTextTableLayout layout) {
  // A name length byte and the two bit counts, with an empty name.
  const std::uint64_t smallest_record = 1 + 2 * layout.bit_count_size;
  ByteReader reader(bytes);
  const std::optional<std::uint32_t> count = ReadField(reader, layout.count_size);
  if (!count || !reader.Has(std::uint64_t{*count} * smallest_record)) return ReadTextTableStatus::kDamaged;

  // Every record is read and the bits they ask for are added up before anything is sized.
  std::vector<ListedRecord> listed;
  listed.reserve(*count);
  std::uint64_t bit_bytes = 0;
  for (std::uint32_t n = 0; n < *count; ++n) {
    const std::optional<std::uint8_t> name_length = reader.Byte();
    const std::optional<std::span<const std::uint8_t>> name = name_length ? reader.Bytes(*name_length) : std::nullopt;
    const std::optional<std::uint32_t> line_bits = name ? ReadField(reader, layout.bit_count_size) : std::nullopt;
    const std::optional<std::uint32_t> choice_bits = line_bits ? ReadField(reader, layout.bit_count_size) : std::nullopt;
    if (!choice_bits) return ReadTextTableStatus::kDamaged;
    listed.push_back({TextOfField(*name), *name_length, *line_bits, *choice_bits});
    bit_bytes += (std::uint64_t{*line_bits} + 7) / 8 + (std::uint64_t{*choice_bits} + 7) / 8;
  }
  if (bit_bytes > kMostReadTextBitBytes) return ReadTextTableStatus::kNoMemory;

  std::vector<ReadTextRecord> records;
  try {
    records.resize(listed.size());
  } catch (const std::bad_alloc&) {
    return ReadTextTableStatus::kNoMemory;
  }
  for (std::size_t n = 0; n < listed.size(); ++n) {
    ReadTextRecord& record = records[n];
    record.name = listed[n].name;
    record.name_length = listed[n].name_length;
    if (record.read_lines.Resize(listed[n].line_bits) == CBitArray::kNoMemory ||
        record.choices.Resize(listed[n].choice_bits) == CBitArray::kNoMemory) {
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

std::vector<std::uint8_t> BuildTextLogFile(std::string_view magic, const std::vector<ReadTextRecord>& table) {
  ByteWriter records;
  WriteTextLogRecords(table, records);
  const PackedBlock block = PackBlock(records.Data());
  ByteWriter file;
  file.Text(magic);
  file.Word(static_cast<std::uint32_t>(block.stored.size()));
  file.Word(block.unpacked_size);
  file.Word(static_cast<std::uint32_t>(table.size()));
  file.Bytes(block.stored);
  return file.Take();
}

bool ReadTextLogFile(std::span<const std::uint8_t> file, std::string_view magic, std::vector<ReadTextRecord>& table) {
  if (!HasMagic(file, magic)) return false;
  ByteReader reader(file.subspan(magic.size()));
  const std::optional<std::uint32_t> stored_size = reader.Word();
  const std::optional<std::uint32_t> unpacked_size = reader.Word();
  const std::optional<std::uint32_t> count = reader.Word();
  if (!count) return false;
  const std::optional<std::span<const std::uint8_t>> stored = reader.Bytes(*stored_size);
  if (!stored) return false;
  const std::optional<std::vector<std::uint8_t>> records = UnpackBlock(*stored, *unpacked_size);
  return records && ReadTextLogRecords(*records, *count, table);
}
