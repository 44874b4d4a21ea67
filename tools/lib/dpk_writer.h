// Writes DPK archives for tests and demo data, in every form the engine's reader accepts: with
// or without a name tree (narrow or wide), index and offsets in bytes or in 2048-byte units,
// short or long entry records, a common prefix stored once, scrambled heads, nibble-scrambled
// and LZSS-packed entries. Keys come from the options, so tests use keys of their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resource/archives/dpk_keys.h"

namespace kvxtools {

struct DpkWriterOptions {
  bool names = true;           // a name tree; without it entries have numbers only
  bool wide_tree = false;      // 4-byte numbers and distances in the tree, else 2-byte ones
  bool units = false;          // index length and entry offsets in 2048-byte units
  bool long_records = false;   // records carry the unpacked size (packed entries need it)
  bool scramble = false;       // the first words of every entry are XOR-scrambled
  bool fifth_flag = false;     // kept by the reader, read by nothing
  bool common_prefix = false;  // the longest prefix that every entry shares (at most 255 bytes)
  bool pack = false;           // LZSS-pack every entry that gets smaller (needs long_records)
  DpkKeyWords keys = kDefaultDpkKeyWords;
};

struct DpkWriterEntry {
  std::string name;  // Shift-JIS, folders separated by '\'; stored lower-cased
  std::vector<std::uint8_t> data;
  bool nibbles = false;  // nibble-scramble the entry's bytes
};

// How one entry went into the archive.
struct DpkStoredEntry {
  std::uint64_t offset = 0;  // in bytes from the start of the file
  std::uint32_t stored_size = 0;
  std::uint32_t size = 0;
  bool packed = false;
};

// An archive before its header word and index are enciphered. Tests change it to make damaged
// archives and seal it with SealDpk.
struct DpkLayout {
  std::uint32_t header_word = 0;        // flags and the index length field
  std::vector<std::uint8_t> index;      // deciphered
  std::vector<std::uint8_t> body;       // the file from the end of the index on
  std::size_t prefix_offset = 0;        // of the prefix length byte, within the index
  std::size_t tree_offset = 0;          // of the name tree's first node, within the index
  std::size_t table_offset = 0;         // of the entry table, within the index
  std::vector<DpkStoredEntry> entries;  // in entry-number order
};

class DpkWriter {
 public:
  explicit DpkWriter(DpkWriterOptions options = {}) : options_(options) {}

  // Entries are numbered in the order they are added.
  void Add(DpkWriterEntry entry) { entries_.push_back(std::move(entry)); }
  void Add(std::string name, std::string_view data, bool nibbles = false);
  std::size_t Count() const { return entries_.size(); }

  // Lays out the archive that will be called `archive_path` (an engine path or a file name:
  // its base name keys the cipher). False with a message in `error` when the options and the
  // entries do not fit together.
  bool LayOut(std::string_view archive_path, DpkLayout& layout, std::string& error) const;
  // The archive file's bytes.
  bool Build(std::string_view archive_path, std::vector<std::uint8_t>& bytes, std::string& error) const;
  // Writes the archive to a file of this machine; `layout` (optional) receives how it was laid out.
  bool WriteFile(const std::string& host_path, std::string& error, DpkLayout* layout = nullptr) const;

 private:
  DpkWriterOptions options_;
  std::vector<DpkWriterEntry> entries_;
};

// The archive file of a layout: magic, enciphered header word and index, body.
std::vector<std::uint8_t> SealDpk(const DpkLayout& layout, std::string_view archive_path, DpkKeyWords keys);

}  // namespace kvxtools
