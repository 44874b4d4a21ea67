#include "scene/animations/anim_entry_table.h"

bool AnimEntryTable::Build(uint32_t frame_count, uint32_t entry_count,
                           const std::function<bool(uint32_t)>& is_marker) {
  Clear();
  if (entry_count == 0 || frame_count == 0) return false;
  std::vector<uint32_t> starts;
  starts.reserve(entry_count);
  starts.push_back(0);
  for (uint32_t frame = 0; frame < frame_count && starts.size() < entry_count; ++frame) {
    if (!is_marker(frame)) continue;
    if (frame + 1 >= frame_count) return false;
    starts.push_back(frame + 1);
  }
  if (starts.size() < entry_count) return false;
  starts_ = std::move(starts);
  frame_count_ = frame_count;
  return true;
}

int32_t AnimEntryTable::GetEntryStart(int32_t entry) const {
  if (entry < 0 || static_cast<uint32_t>(entry) >= starts_.size()) return -1;
  return static_cast<int32_t>(starts_[static_cast<uint32_t>(entry)]);
}

int32_t AnimEntryTable::GetEntryEnd(int32_t entry) const {
  if (entry < 0 || static_cast<uint32_t>(entry) >= starts_.size()) return -1;
  const auto next = static_cast<uint32_t>(entry) + 1;
  return static_cast<int32_t>((next < starts_.size() ? starts_[next] : frame_count_) - 1);
}

int32_t AnimEntryTable::GetEntryAtFrame(int32_t frame, int32_t* offset) const {
  if (frame < 0 || static_cast<uint32_t>(frame) >= frame_count_) return -1;
  int32_t entry = 0;
  for (uint32_t i = 0; i < starts_.size() && starts_[i] <= static_cast<uint32_t>(frame); ++i) entry = static_cast<int32_t>(i);
  if (offset != nullptr) *offset = frame - static_cast<int32_t>(starts_[static_cast<uint32_t>(entry)]);
  return entry;
}
