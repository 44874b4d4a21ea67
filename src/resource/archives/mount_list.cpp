#include "resource/archives/mount_list.h"

#include <algorithm>

namespace {

std::int32_t SharedLength(std::string_view a, std::string_view b) {
  const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return static_cast<std::int32_t>(mismatch.first - a.begin());
}

}  // namespace

std::size_t MountList::GroupEnd(std::size_t first) const {
  if (records_[first]->group_mark <= 0) return first;
  std::size_t last = first + 1;
  while (last + 1 < records_.size() && records_[last]->group_mark != -1) ++last;
  return std::min(last, records_.size() - 1);
}

std::size_t MountList::FindGroup(std::string_view path) const {
  for (std::size_t i = 0; i < records_.size(); i = GroupEnd(i) + 1) {
    if (SharedLength(path, records_[i]->mount_point) > 0) return i;
  }
  return records_.size();
}

void MountList::Insert(std::unique_ptr<MountRecord> record, bool at_end) {
  const std::size_t group = FindGroup(record->mount_point);
  if (group == records_.size()) {
    record->group_mark = 0;
    records_.insert(at_end ? records_.end() : records_.begin(), std::move(record));
    return;
  }
  MountRecord& first = *records_[group];
  const std::int32_t shared = SharedLength(record->mount_point, first.mount_point);
  if (first.group_mark <= 0) {  // a lone record: the pair becomes a group of two
    if (at_end) {
      first.group_mark = shared;
      record->group_mark = -1;
      records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(group) + 1, std::move(record));
    } else {
      first.group_mark = -1;
      record->group_mark = shared;
      records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(group), std::move(record));
    }
    return;
  }
  const std::int32_t mark = std::min(shared, first.group_mark);
  if (at_end) {
    const std::size_t last = GroupEnd(group);
    first.group_mark = mark;
    records_[last]->group_mark = 0;
    record->group_mark = -1;
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(last) + 1, std::move(record));
  } else {
    first.group_mark = 0;
    record->group_mark = mark;
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(group), std::move(record));
  }
}

std::unique_ptr<MountRecord> MountList::RemoveAt(std::size_t index) {
  const std::int32_t mark = records_[index]->group_mark;
  if (mark > 0 && index + 1 < records_.size()) {
    std::int32_t& next = records_[index + 1]->group_mark;
    next = next == 0 ? mark : 0;
  } else if (mark == -1 && index > 0) {
    std::int32_t& previous = records_[index - 1]->group_mark;
    previous = previous == 0 ? -1 : 0;
  }
  std::unique_ptr<MountRecord> record = std::move(records_[index]);
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  return record;
}
