// The deciphered index of a DPK archive: entry count, common prefix, optional name tree and
// the entry table. Parsing checks every count and length against the index; locating an entry
// checks its record against the file size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::uint32_t kDpkMagicSize = 4;
inline constexpr std::uint32_t kDpkHeaderSize = 8;
inline constexpr std::uint32_t kDpkUnitSize = 2048;

// The header word after deciphering.
struct DpkHeaderWord {
  static constexpr std::uint32_t kLengthMask = 0x00FFFFFF;
  static constexpr std::uint32_t kUnitsFlag = 1u << 24;
  static constexpr std::uint32_t kNamesFlag = 1u << 25;
  static constexpr std::uint32_t kScrambleFlag = 1u << 26;
  static constexpr std::uint32_t kLongRecordsFlag = 1u << 27;
  static constexpr std::uint32_t kFifthFlag = 1u << 28;

  std::uint32_t word = 0;

  bool Units() const { return (word & kUnitsFlag) != 0; }
  bool Names() const { return (word & kNamesFlag) != 0; }
  bool Scramble() const { return (word & kScrambleFlag) != 0; }
  bool LongRecords() const { return (word & kLongRecordsFlag) != 0; }
  bool FifthFlag() const { return (word & kFifthFlag) != 0; }
  // In units the length field counts whole 2048-byte units of header and index together
  // (computed in 32 bits, so a field of 0 gives a length no file holds).
  std::uint32_t IndexLength() const {
    const std::uint32_t field = word & kLengthMask;
    return Units() ? field * kDpkUnitSize - kDpkHeaderSize : field;
  }
};

// Where an entry lies and how it is stored.
struct DpkEntryLocation {
  std::uint64_t offset = 0;
  std::uint32_t stored_size = 0;
  // With the prefix: the unpacked size when the record gives a non-zero one, else the stored size.
  std::uint32_t size = 0;
  bool nibbles = false;
  bool has_unpacked_size = false;

  bool IsPacked() const { return stored_size != size; }
};

class DpkIndex {
 public:
  // Takes the deciphered index. 0, or kDpkDamaged when a part of it lies outside it (also a
  // damaged name tree or one naming an entry that does not exist).
  std::int32_t Parse(std::vector<std::uint8_t> bytes, DpkHeaderWord header);

  DpkHeaderWord Header() const { return header_; }
  std::uint32_t EntryCount() const { return entry_count_; }
  std::span<const std::uint8_t> Prefix() const { return Slice(prefix_at_, prefix_length_); }
  // Empty without the names flag.
  std::span<const std::uint8_t> NameTree() const { return Slice(tree_at_, tree_length_); }
  bool WideTree() const { return wide_tree_; }
  // The entry record of `number` (which must be below the count).
  DpkEntryLocation Locate(std::uint32_t number) const;

 private:
  std::span<const std::uint8_t> Slice(std::size_t at, std::size_t length) const {
    return std::span<const std::uint8_t>(bytes_).subspan(at, length);
  }

  std::vector<std::uint8_t> bytes_;
  DpkHeaderWord header_;
  std::uint32_t entry_count_ = 0;
  std::size_t prefix_at_ = 0;
  std::size_t prefix_length_ = 0;
  bool wide_tree_ = false;
  std::size_t tree_at_ = 0;
  std::size_t tree_length_ = 0;
  std::size_t table_at_ = 0;
  std::size_t record_size_ = 0;
};
