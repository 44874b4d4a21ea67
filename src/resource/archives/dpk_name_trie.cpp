#include "resource/archives/dpk_name_trie.h"

#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "base/text/sjis_case.h"

namespace {

std::size_t RecordSize(bool wide) { return wide ? 5 : 3; }

// A node's records, when the node lies wholly inside the tree.
std::optional<std::span<const std::uint8_t>> NodeRecords(std::span<const std::uint8_t> tree, std::uint64_t node,
                                                         bool wide) {
  if (node >= tree.size()) return std::nullopt;
  const std::uint64_t length = std::uint64_t{tree[node]} * RecordSize(wide);
  if (length > tree.size() - node - 1) return std::nullopt;
  return tree.subspan(node + 1, length);
}

std::uint32_t RecordValue(const std::uint8_t* record, bool wide) {
  return wide ? LoadLe32(record + 1) : LoadLe16(record + 1);
}

}  // namespace

std::optional<std::uint32_t> LookupNameTrie(std::span<const std::uint8_t> tree, bool wide, const char* name,
                                            int case_mode) {
  if (name == nullptr) return std::nullopt;
  std::string key = name;
  if (case_mode == 1) {
    UpperSjis(key);
  } else if (case_mode != 0) {
    LowerSjis(key);
  }
  const std::size_t record_size = RecordSize(wide);
  std::uint64_t node = 0;
  // The terminating zero is the last character looked up.
  for (std::size_t at = 0; at <= key.size(); ++at) {
    const auto records = NodeRecords(tree, node, wide);
    if (!records) return std::nullopt;
    const auto character = static_cast<std::uint8_t>(key.c_str()[at]);
    const std::uint8_t* match = nullptr;
    for (std::size_t offset = 0; offset < records->size(); offset += record_size) {
      if ((*records)[offset] == character) {
        match = records->data() + offset;
        break;
      }
    }
    if (match == nullptr) return std::nullopt;
    const std::uint32_t value = RecordValue(match, wide);
    if (character == 0) return value;
    node = static_cast<std::uint64_t>(match + record_size - tree.data()) + value;
  }
  return std::nullopt;
}

bool WalkNameTrie(std::span<const std::uint8_t> tree, bool wide,
                  const std::function<void(std::string_view name, std::uint32_t number)>& visit) {
  struct Frame {
    std::span<const std::uint8_t> records;
    std::size_t next = 0;
  };
  const std::size_t record_size = RecordSize(wide);
  // A tree holds every record once; more visits mean that links share nodes.
  std::size_t visits_left = tree.size() / record_size;
  std::string name;
  std::vector<Frame> path;
  if (tree.empty()) return true;  // a tree without names
  const auto root = NodeRecords(tree, 0, wide);
  if (!root) return false;
  path.push_back({*root});
  while (!path.empty()) {
    Frame& frame = path.back();
    if (frame.next >= frame.records.size()) {
      path.pop_back();
      if (!name.empty()) name.pop_back();
      continue;
    }
    if (visits_left-- == 0) return false;
    const std::uint8_t* record = frame.records.data() + frame.next;
    frame.next += record_size;
    const std::uint32_t value = RecordValue(record, wide);
    if (record[0] == 0) {
      visit(name, value);
      continue;
    }
    if (name.size() >= kDpkMaxNameLength) return false;
    const auto child = NodeRecords(tree, static_cast<std::uint64_t>(record + record_size - tree.data()) + value, wide);
    if (!child) return false;
    name.push_back(static_cast<char>(record[0]));
    path.push_back({*child});
  }
  return true;
}
