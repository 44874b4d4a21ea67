#include "resource/archives/dpk_index.h"

#include "base/numbers/byte_cursor.h"
#include "base/numbers/little_endian.h"
#include "resource/archives/dpk_name_trie.h"
#include "resource/archives/dpk_status.h"

std::int32_t DpkIndex::Parse(std::vector<std::uint8_t> bytes, DpkHeaderWord header) {
  bytes_ = std::move(bytes);
  header_ = header;
  ByteReader cursor(bytes_);
  const std::optional<std::uint32_t> count = cursor.Word();
  const std::optional<std::uint8_t> prefix_length = cursor.Byte();
  if (!count || !prefix_length) return kDpkDamaged;
  entry_count_ = *count;
  prefix_at_ = cursor.At();
  prefix_length_ = *prefix_length;
  if (!cursor.Skip(prefix_length_)) return kDpkDamaged;

  if (header_.Names()) {
    const std::optional<std::uint8_t> wide = cursor.Byte();
    const std::optional<std::uint32_t> tree_length = cursor.Word();
    if (!wide || !tree_length) return kDpkDamaged;
    wide_tree_ = *wide != 0;
    tree_at_ = cursor.At();
    tree_length_ = *tree_length;
    if (!cursor.Skip(tree_length_)) return kDpkDamaged;
  }

  table_at_ = cursor.At();
  record_size_ = header_.LongRecords() ? 13 : 9;
  if (!cursor.Has(std::uint64_t{entry_count_} * record_size_)) return kDpkDamaged;

  if (header_.Names()) {
    bool numbers_in_range = true;
    const bool whole = WalkNameTrie(NameTree(), wide_tree_, [&](std::string_view, std::uint32_t number) {
      numbers_in_range = numbers_in_range && number < entry_count_;
    });
    if (!whole || !numbers_in_range) return kDpkDamaged;
  }
  return 0;
}

DpkEntryLocation DpkIndex::Locate(std::uint32_t number) const {
  const std::uint8_t* record = bytes_.data() + table_at_ + std::size_t{number} * record_size_;
  DpkEntryLocation location;
  location.nibbles = record[0] != 0;
  location.offset = LoadLe32(record + 1);
  if (header_.Units()) location.offset *= kDpkUnitSize;
  location.stored_size = LoadLe32(record + 5);
  const std::uint32_t unpacked_size = header_.LongRecords() ? LoadLe32(record + 9) : 0;
  location.has_unpacked_size = unpacked_size != 0;
  location.size = location.has_unpacked_size ? unpacked_size : location.stored_size;
  return location;
}
