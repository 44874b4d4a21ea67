// Where each entry (one animation) of an animation file's frame table starts. Entries follow one
// another; a marker record ends each, and the closing record that the readers append ends the
// last one.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class AnimEntryTable {
 public:
  // Entry 0 starts at frame 0; each marker at frame f starts the next entry at f + 1. False when
  // the frames run out before `entry_count` starts are known, or a start would lie past the
  // last frame.
  bool Build(uint32_t frame_count, uint32_t entry_count, const std::function<bool(uint32_t)>& is_marker);
  void Clear() { starts_.clear(); frame_count_ = 0; }

  uint32_t GetEntryCount() const { return static_cast<uint32_t>(starts_.size()); }
  // The first frame of the entry; -1 outside.
  int32_t GetEntryStart(int32_t entry) const;
  // The frame before the next entry's start, or the last frame for the last entry; -1 outside.
  int32_t GetEntryEnd(int32_t entry) const;
  // The last entry that starts at or before the frame, and the frame's place in it; -1 for a
  // frame outside the table.
  int32_t GetEntryAtFrame(int32_t frame, int32_t* offset) const;

 private:
  std::vector<uint32_t> starts_;
  uint32_t frame_count_ = 0;
};
