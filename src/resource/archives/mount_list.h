// The mounted archives of the data-file layer, in search order and in groups: records whose
// mount points begin with the same byte stand next to each other. Each record's group mark
// says where it stands: 0 lone (or inner), the shared prefix length (at least 1) for the first
// of a group, -1 for the last. A lookup asks only the first group whose first record shares a
// first byte with the path.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "resource/archives/archive.h"

struct MountRecord {
  RefPtr<CArchive> archive;
  std::string mount_point;  // absolute, lower-cased, ending with a backslash
  std::int32_t id = 0;
  std::int32_t group_mark = 0;
  // Whole-entry reads of an archive share its file position; they take turns.
  std::mutex read_lock;
};

class MountList {
 public:
  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  MountRecord& operator[](std::size_t index) const { return *records_[index]; }

  // Inserts into the record's group (after its records with `at_end`, before them without),
  // or as a lone record at the end or the front.
  void Insert(std::unique_ptr<MountRecord> record, bool at_end);
  // Repairs the neighbours' marks and takes the record out.
  std::unique_ptr<MountRecord> RemoveAt(std::size_t index);
  void Clear() { records_.clear(); }

  // Offers `lower_path` to each record that may hold it, in search order, as
  // try_record(record, entry name) until one returns true. True when one did.
  template <class TryRecord>
  bool Search(std::string_view lower_path, TryRecord&& try_record) const {
    const std::size_t group = FindGroup(lower_path);
    if (group == records_.size()) return false;
    for (std::size_t i = group; i <= GroupEnd(group); ++i) {
      MountRecord& record = *records_[i];
      if (!lower_path.starts_with(record.mount_point)) continue;
      if (try_record(record, std::string(lower_path.substr(record.mount_point.size())))) return true;
    }
    return false;
  }

 private:
  // The index of the first record of the first group that shares a first byte with `path`;
  // size() when none does.
  std::size_t FindGroup(std::string_view path) const;
  // The index of the last record of the group that starts at `first`.
  std::size_t GroupEnd(std::size_t first) const;

  std::vector<std::unique_ptr<MountRecord>> records_;
};
