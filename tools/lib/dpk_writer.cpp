#include "dpk_writer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "base/files/lzss_coder.h"
#include "base/numbers/little_endian.h"
#include "base/text/sjis_case.h"
#include "platform/files/host_path.h"
#include "resource/archives/dpk_cipher.h"
#include "resource/archives/dpk_index.h"
#include "resource/archives/dpk_name_trie.h"

namespace kvxtools {
namespace {

constexpr std::uint32_t kMaxLengthField = DpkHeaderWord::kLengthMask;
constexpr std::size_t kMaxPrefix = 255;
constexpr std::size_t kMaxNodeRecords = 255;

void AppendByte(std::vector<std::uint8_t>& out, std::uint8_t value) { out.push_back(value); }

void AppendWord(std::vector<std::uint8_t>& out, std::uint32_t value) {
  const std::size_t at = out.size();
  out.resize(at + 4);
  StoreLe32(out.data() + at, value);
}

// The name tree, built as a trie of nodes and then packed: each node is followed by its
// children's subtrees in record order, so every distance points forward.
class NameTrieBuilder {
 public:
  explicit NameTrieBuilder(bool wide) : wide_(wide) {}

  void Insert(std::string_view name, std::uint32_t number) {
    Node* node = &root_;
    for (const char character : name) {
      auto& child = node->children[static_cast<std::uint8_t>(character)];
      if (!child) child = std::make_unique<Node>();
      node = child.get();
    }
    node->number = number;
  }

  bool Pack(std::vector<std::uint8_t>& out, std::string& error) {
    if (!Measure(root_, error)) return false;
    Write(root_, out);
    return true;
  }

 private:
  struct Node {
    std::map<std::uint8_t, std::unique_ptr<Node>> children;
    std::optional<std::uint32_t> number;
    std::size_t records = 0;
    std::uint64_t packed_size = 0;
  };

  std::size_t RecordSize() const { return wide_ ? 5 : 3; }
  std::uint64_t MaxValue() const { return wide_ ? std::numeric_limits<std::uint32_t>::max() : 0xFFFF; }

  // Counts every node's records and the size of its packed subtree.
  bool Measure(Node& node, std::string& error) const {
    node.records = node.children.size() + (node.number ? 1 : 0);
    if (node.records > kMaxNodeRecords) {
      error = "a node of the name tree would need more than 255 records";
      return false;
    }
    if (node.number && *node.number > MaxValue()) {
      error = "entry numbers above 65535 need the wide name tree";
      return false;
    }
    node.packed_size = 1 + node.records * RecordSize();
    for (const auto& [character, child] : node.children) {
      if (!Measure(*child, error)) return false;
      node.packed_size += child->packed_size;
    }
    // Each link's distance: the records after it and the subtrees of the children before it.
    std::uint64_t children_before = 0;
    std::size_t records_after = node.children.size();
    for (const auto& [character, child] : node.children) {
      --records_after;
      if (records_after * RecordSize() + children_before > MaxValue()) {
        error = "a name tree this large needs the wide name tree";
        return false;
      }
      children_before += child->packed_size;
    }
    return true;
  }

  void WriteRecord(std::vector<std::uint8_t>& out, std::uint8_t character, std::uint32_t value) const {
    AppendByte(out, character);
    if (wide_) {
      AppendWord(out, value);
    } else {
      const std::size_t at = out.size();
      out.resize(at + 2);
      StoreLe16(out.data() + at, static_cast<std::uint16_t>(value));
    }
  }

  void Write(const Node& node, std::vector<std::uint8_t>& out) const {
    AppendByte(out, static_cast<std::uint8_t>(node.records));
    std::size_t records_left = node.records;
    if (node.number) {
      WriteRecord(out, 0, *node.number);
      --records_left;
    }
    std::uint64_t children_before = 0;
    for (const auto& [character, child] : node.children) {
      --records_left;
      WriteRecord(out, character, static_cast<std::uint32_t>(records_left * RecordSize() + children_before));
      children_before += child->packed_size;
    }
    for (const auto& [character, child] : node.children) Write(*child, out);
  }

  bool wide_;
  Node root_;
};

std::size_t CommonPrefixLength(const std::vector<DpkWriterEntry>& entries) {
  if (entries.empty()) return 0;
  std::size_t length = std::min(entries.front().data.size(), kMaxPrefix);
  for (const DpkWriterEntry& entry : entries) {
    const auto [mismatch, unused] =
        std::mismatch(entries.front().data.begin(), entries.front().data.begin() + static_cast<std::ptrdiff_t>(length),
                      entry.data.begin(), entry.data.end());
    length = static_cast<std::size_t>(mismatch - entries.front().data.begin());
  }
  return length;
}

struct PreparedEntry {
  std::vector<std::uint8_t> stored;
  DpkStoredEntry placement;
};

}  // namespace

void DpkWriter::Add(std::string name, std::string_view data, bool nibbles) {
  entries_.push_back({std::move(name), std::vector<std::uint8_t>(data.begin(), data.end()), nibbles});
}

bool DpkWriter::LayOut(std::string_view archive_path, DpkLayout& layout, std::string& error) const {
  layout = DpkLayout{};
  if (options_.pack && !options_.long_records) {
    error = "LZSS-packed entries need long entry records";
    return false;
  }
  const DpkArchiveKeys keys = MakeDpkArchiveKeys(archive_path, options_.keys);
  const std::size_t prefix_length = options_.common_prefix ? CommonPrefixLength(entries_) : 0;

  // The entries' bytes as the file stores them: without the prefix, scrambled, perhaps packed.
  std::vector<PreparedEntry> prepared;
  const auto coder = std::make_unique<CLzssCoder>();
  for (const DpkWriterEntry& entry : entries_) {
    if (entry.data.size() > std::numeric_limits<std::uint32_t>::max()) {
      error = "entry \"" + entry.name + "\" is larger than 4 GiB";
      return false;
    }
    PreparedEntry item;
    item.stored.assign(entry.data.begin() + static_cast<std::ptrdiff_t>(prefix_length), entry.data.end());
    const auto data_length = static_cast<std::uint32_t>(item.stored.size());
    if (options_.scramble)
      XorDpkRunningKey(std::span(item.stored).first(DpkScrambledLength(data_length)), keys.content);
    if (entry.nibbles) ScrambleDpkNibbles(item.stored);
    item.placement.size = static_cast<std::uint32_t>(entry.data.size());
    std::vector<std::uint8_t> packed;
    if (options_.pack && coder->Encode(item.stored, packed) == CLzssCoder::kEncodePacked) {
      item.stored = std::move(packed);
      item.placement.packed = true;
    }
    item.placement.stored_size =
        item.placement.packed ? static_cast<std::uint32_t>(item.stored.size()) : item.placement.size;
    prepared.push_back(std::move(item));
  }

  std::vector<std::uint8_t>& index = layout.index;
  AppendWord(index, static_cast<std::uint32_t>(entries_.size()));
  layout.prefix_offset = index.size();
  AppendByte(index, static_cast<std::uint8_t>(prefix_length));
  if (!entries_.empty())
    index.insert(index.end(), entries_.front().data.begin(),
                 entries_.front().data.begin() + static_cast<std::ptrdiff_t>(prefix_length));

  if (options_.names) {
    NameTrieBuilder trie(options_.wide_tree);
    std::set<std::string> seen;
    for (std::uint32_t number = 0; number < entries_.size(); ++number) {
      std::string name = entries_[number].name;
      LowerSjis(name);
      if (name.empty() || name.size() > kDpkMaxNameLength || name.find('\0') != std::string::npos) {
        error = "entry name \"" + name + "\" is empty, too long or holds a zero byte";
        return false;
      }
      if (!seen.insert(name).second) {
        error = "entry name \"" + name + "\" is given twice (names are stored lower-cased)";
        return false;
      }
      trie.Insert(name, number);
    }
    std::vector<std::uint8_t> tree;
    if (!trie.Pack(tree, error)) return false;
    AppendByte(index, options_.wide_tree ? 1 : 0);
    AppendWord(index, static_cast<std::uint32_t>(tree.size()));
    layout.tree_offset = index.size();
    index.insert(index.end(), tree.begin(), tree.end());
  }

  layout.table_offset = index.size();
  const std::size_t record_size = options_.long_records ? 13 : 9;
  index.resize(index.size() + entries_.size() * record_size);

  std::uint32_t length_field = 0;
  if (options_.units) {
    const std::uint64_t units = (kDpkHeaderSize + index.size() + kDpkUnitSize - 1) / kDpkUnitSize;
    if (units > kMaxLengthField) {
      error = "the index is too large";
      return false;
    }
    length_field = static_cast<std::uint32_t>(units);
    index.resize(units * kDpkUnitSize - kDpkHeaderSize);
  } else {
    if (index.size() > kMaxLengthField) {
      error = "the index is too large; try --units";
      return false;
    }
    length_field = static_cast<std::uint32_t>(index.size());
  }
  layout.header_word = length_field | (options_.units ? DpkHeaderWord::kUnitsFlag : 0) |
                       (options_.names ? DpkHeaderWord::kNamesFlag : 0) |
                       (options_.scramble ? DpkHeaderWord::kScrambleFlag : 0) |
                       (options_.long_records ? DpkHeaderWord::kLongRecordsFlag : 0) |
                       (options_.fifth_flag ? DpkHeaderWord::kFifthFlag : 0);

  const std::uint64_t body_start = kDpkHeaderSize + index.size();
  for (std::size_t number = 0; number < prepared.size(); ++number) {
    PreparedEntry& item = prepared[number];
    if (options_.units)
      layout.body.resize((body_start + layout.body.size() + kDpkUnitSize - 1) / kDpkUnitSize * kDpkUnitSize -
                         body_start);
    item.placement.offset = body_start + layout.body.size();
    const std::uint64_t offset_field = options_.units ? item.placement.offset / kDpkUnitSize : item.placement.offset;
    if (offset_field > std::numeric_limits<std::uint32_t>::max()) {
      error = "the archive is too large for its entry offsets; try --units";
      return false;
    }
    std::uint8_t* record = index.data() + layout.table_offset + number * record_size;
    record[0] = entries_[number].nibbles ? 1 : 0;
    StoreLe32(record + 1, static_cast<std::uint32_t>(offset_field));
    StoreLe32(record + 5, item.placement.stored_size);
    if (options_.long_records) StoreLe32(record + 9, item.placement.packed ? item.placement.size : 0);
    layout.body.insert(layout.body.end(), item.stored.begin(), item.stored.end());
    layout.entries.push_back(item.placement);
  }
  return true;
}

std::vector<std::uint8_t> SealDpk(const DpkLayout& layout, std::string_view archive_path, DpkKeyWords keys) {
  const DpkArchiveKeys archive_keys = MakeDpkArchiveKeys(archive_path, keys);
  std::vector<std::uint8_t> bytes = {'D', 'P', 'K', '1'};
  AppendWord(bytes, layout.header_word ^ archive_keys.header);
  const std::size_t index_at = bytes.size();
  bytes.insert(bytes.end(), layout.index.begin(), layout.index.end());
  XorDpkRunningKey(std::span(bytes).subspan(index_at), archive_keys.header);
  bytes.insert(bytes.end(), layout.body.begin(), layout.body.end());
  return bytes;
}

bool DpkWriter::Build(std::string_view archive_path, std::vector<std::uint8_t>& bytes, std::string& error) const {
  DpkLayout layout;
  if (!LayOut(archive_path, layout, error)) return false;
  bytes = SealDpk(layout, archive_path, options_.keys);
  return true;
}

bool DpkWriter::WriteFile(const std::string& host_path, std::string& error, DpkLayout* layout) const {
  std::error_code absolute_error;
  const std::filesystem::path absolute = std::filesystem::absolute(host_path, absolute_error);
  if (absolute_error) {
    error = "cannot resolve \"" + host_path + "\"";
    return false;
  }
  const std::string archive_path = plat::ToEnginePath(absolute.string());
  DpkLayout laid_out;
  if (!LayOut(archive_path, laid_out, error)) return false;
  const std::vector<std::uint8_t> bytes = SealDpk(laid_out, archive_path, options_.keys);
  std::ofstream file(absolute, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    error = "cannot write \"" + host_path + "\"";
    return false;
  }
  if (layout != nullptr) *layout = std::move(laid_out);
  return true;
}

}  // namespace kvxtools
