#include "scene/animations/dad_file.h"

#include <algorithm>

#include "base/files/file.h"
#include "base/numbers/byte_cursor.h"
#include "scene/animations/dag_file.h"

namespace {

// The smallest stored reference: its length and its two values.
constexpr uint32_t kLeastReferenceBytes = 6;

// A record with a negative first word ends an entry only when its second word is not positive.
bool IsEndMarker(const AnimFrame& frame) { return frame.Word(0) < 0 && frame.Word(1) <= 0; }

}  // namespace

uint32_t CDadFile::Load(const char* path) {
  Free();
  CFile file;
  if (path == nullptr || file.Load(path) != 0 || file.GetData() == nullptr) return kOpenFailed;
  return LoadFromMemory({file.GetData(), file.GetSize()});
}

uint32_t CDadFile::LoadFromMemory(std::span<const uint8_t> bytes) {
  Free();
  ByteReader reader(bytes);
  const auto magic = reader.Bytes(4);
  if (!magic || (*magic)[0] != 'D' || (*magic)[1] != 'A' || (*magic)[2] != 'D' || (*magic)[3] != 0) return kBadMagic;
  const auto header = reader.Bytes(header_.size());
  if (!header) return kBadMagic;
  const uint16_t entry_count = LoadLe16(header->data() + 6);
  if (entry_count == 0) return kNoEntries;

  const auto data_length = reader.Word();
  const auto data = data_length ? reader.Bytes(*data_length) : std::nullopt;
  if (!data) return kShortData;
  const auto frame_count = reader.Word();
  if (!frame_count || !ReadAnimFrames(reader, *frame_count, frames_)) {
    Free();
    return kShortFrames;
  }
  frames_.push_back(kClosingAnimFrame);
  if (const uint32_t status = ReadReferences(reader); status != 0) {
    Free();
    return status;
  }
  if (!BuildEntries(entry_count)) {
    Free();
    return kNoEndMarker;
  }
  std::copy(header->begin(), header->end(), header_.begin());
  data_.assign(data->begin(), data->end());
  return 0;
}

uint32_t CDadFile::ReadReferences(ByteReader& reader) {
  const auto count = reader.Word();
  if (!count) return kShortReferenceLength;
  // A count larger than the bytes left could hold reserves no more than they could.
  references_.reserve(std::min<size_t>(*count, reader.Left() / kLeastReferenceBytes));
  for (uint32_t i = 0; i < *count; ++i) {
    const auto length = reader.Word16();
    if (!length) return kShortReferenceLength;
    const auto name = reader.Bytes(*length);
    if (!name) return kShortReferenceName;
    const auto first = reader.Word16();
    if (!first) return kShortFirstValue;
    const auto second = reader.Word16();
    if (!second) return kShortSecondValue;
    references_.push_back({std::string(name->begin(), name->end()), *first, *second});
  }
  return 0;
}

bool CDadFile::BuildEntries(uint16_t entry_count) {
  const auto frame_count = static_cast<uint32_t>(frames_.size());
  if (!entries_.Build(frame_count, entry_count, [this](uint32_t frame) { return IsEndMarker(frames_[frame]); })) {
    return false;
  }
  for (uint32_t entry = 0; entry < entry_count; ++entry) {
    auto end = static_cast<uint32_t>(entries_.GetEntryStart(static_cast<int32_t>(entry)));
    while (!IsEndMarker(frames_[end])) ++end;
    longest_entry_ = std::max(longest_entry_, end - static_cast<uint32_t>(entries_.GetEntryStart(static_cast<int32_t>(entry))) + 1);
  }
  return true;
}

std::span<const uint8_t> CDadFile::GetFrameData(int32_t frame) const {
  if (frame < 0 || static_cast<size_t>(frame) >= frames_.size()) return {};
  const uint32_t offset = frames_[static_cast<size_t>(frame)].words[3];
  if (offset >= data_.size()) return {};
  return std::span<const uint8_t>(data_).subspan(offset);
}

void CDadFile::Free() {
  header_ = {};
  data_.clear();
  frames_.clear();
  references_.clear();
  entries_.Clear();
  longest_entry_ = 0;
}
