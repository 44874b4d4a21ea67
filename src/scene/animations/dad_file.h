// An animation-data file ("DAD"): frame tables whose pictures come from elsewhere, a data block
// that the frames point into, and a list of named references. The resource list of animation
// data files owns the loaded files.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "base/lifetime/ref_counted.h"
#include "scene/animations/anim_entry_table.h"
#include "scene/animations/anim_frame.h"

class ByteReader;

class CDadFile : public CRefCounted, public ScriptVisible<CDadFile> {
 public:
  static constexpr uint32_t kOpenFailed = 1;
  static constexpr uint32_t kBadMagic = 2;
  static constexpr uint32_t kNoEntries = 3;
  static constexpr uint32_t kShortData = 4;
  static constexpr uint32_t kShortFrames = 5;
  static constexpr uint32_t kShortReferenceLength = 6;
  static constexpr uint32_t kShortReferenceName = 7;
  static constexpr uint32_t kShortFirstValue = 8;
  static constexpr uint32_t kShortSecondValue = 9;
  static constexpr uint32_t kNoEndMarker = 10;

  struct Reference {
    std::string name;
    uint16_t first = 0;
    uint16_t second = 0;
  };

  CDadFile() = default;
  ~CDadFile() override = default;

  // Loads the data file: 0, or a status above (nothing stays loaded).
  uint32_t Load(const char* path);
  uint32_t LoadFromMemory(std::span<const uint8_t> bytes);
  void Free();

  const std::array<uint8_t, 12>& GetHeader() const { return header_; }
  std::span<const uint8_t> GetDataBlock() const { return data_; }
  // The frames with the closing record that ends the last entry.
  std::span<const AnimFrame> GetFrames() const { return frames_; }
  // The bytes of the data block from the frame's fourth word on; empty outside the frames or
  // the block.
  std::span<const uint8_t> GetFrameData(int32_t frame) const;
  const std::vector<Reference>& GetReferences() const { return references_; }
  uint32_t GetEntryCount() const { return entries_.GetEntryCount(); }
  int32_t GetEntryStart(int32_t entry) const { return entries_.GetEntryStart(entry); }
  int32_t GetEntryEnd(int32_t entry) const { return entries_.GetEntryEnd(entry); }
  int32_t GetEntryAtFrame(int32_t frame, int32_t* offset) const { return entries_.GetEntryAtFrame(frame, offset); }
  // The longest entry in frames, its end marker included.
  uint32_t GetLongestEntry() const { return longest_entry_; }

 private:
  uint32_t ReadReferences(ByteReader& reader);
  bool BuildEntries(uint16_t entry_count);

  std::array<uint8_t, 12> header_{};
  std::vector<uint8_t> data_;
  std::vector<AnimFrame> frames_;
  std::vector<Reference> references_;
  AnimEntryTable entries_;
  uint32_t longest_entry_ = 0;
};
