#include "scene/animations/dag_file.h"

#include "base/files/file.h"
#include "base/numbers/byte_cursor.h"

namespace {

constexpr uint32_t kHeaderBytes = 12;
constexpr uint32_t kFrameBytes = 16;
constexpr uint32_t kPictureRecordBytes = 12;

struct PictureRecord {
  uint32_t size;
  uint32_t offset;
  int16_t key_x;
  int16_t key_y;
};

// The key point's pixel becomes the colour key. A negative key x, or a point outside the
// picture, means no key; the alpha flag is then set for kAlphaKey alone.
void ApplyKey(CImage& picture, int16_t key_x, int16_t key_y) {
  const bool inside = key_x >= 0 && key_x < picture.GetWidth() && key_y >= 0 && key_y < picture.GetHeight();
  if (inside) {
    picture.SetColorKeyFromPixel(key_x, key_y);
    return;
  }
  picture.ClearColorKey();
  picture.SetAlphaFlag(key_x == CDagFile::kAlphaKey ? 1 : 0);
}

}  // namespace

bool ReadAnimFrames(ByteReader& reader, uint32_t count, std::vector<AnimFrame>& frames) {
  if (!reader.Has(uint64_t{count} * kFrameBytes)) return false;
  frames.clear();
  frames.reserve(size_t{count} + 1);
  for (uint32_t i = 0; i < count; ++i) {
    AnimFrame frame;
    for (uint32_t& word : frame.words) word = *reader.Word();
    frames.push_back(frame);
  }
  return true;
}

uint32_t CDagFile::Load(const char* path, bool keep_depth) {
  Free();
  CFile file;
  if (path == nullptr || file.Load(path) != 0 || file.GetData() == nullptr) return kOpenFailed;
  return LoadFromMemory({file.GetData(), file.GetSize()}, keep_depth);
}

uint32_t CDagFile::LoadFromMemory(std::span<const uint8_t> bytes, bool keep_depth) {
  Free();
  ByteReader reader(bytes);
  const auto magic = reader.Bytes(4);
  const auto header = reader.Bytes(kHeaderBytes);
  if (!magic || !header || (*magic)[0] != 'D' || (*magic)[1] != 'A' || (*magic)[2] != 'G' || (*magic)[3] != 0) {
    return kBadHeader;
  }
  const uint16_t entry_count = LoadLe16(header->data() + 6);
  if (entry_count == 0) return kBadHeader;

  const auto skipped = reader.Word();
  if (!skipped || !reader.Skip(*skipped)) return kShortRead;
  const auto frame_count = reader.Word();
  if (!frame_count || !ReadAnimFrames(reader, *frame_count, frames_)) return kShortRead;
  frames_.push_back(kClosingAnimFrame);

  if (const uint32_t status = ReadPictures(bytes, reader, keep_depth); status != 0) {
    Free();
    return status;
  }
  const bool complete = entries_.Build(static_cast<uint32_t>(frames_.size()), entry_count,
                                       [this](uint32_t frame) { return frames_[frame].ImageNumber() < 0; });
  if (!complete) {
    Free();
    return kNoEndMarker;
  }
  value_a_ = LoadLe16(header->data());
  value_b_ = LoadLe16(header->data() + 2);
  return 0;
}

uint32_t CDagFile::ReadPictures(std::span<const uint8_t> file, ByteReader& reader, bool keep_depth) {
  const auto count = reader.Word();
  if (!count || !reader.Has(uint64_t{*count} * kPictureRecordBytes)) return kShortRead;
  pictures_.reserve(*count);
  for (uint32_t i = 0; i < *count; ++i) {
    const PictureRecord record{*reader.Word(), *reader.Word(), static_cast<int16_t>(*reader.Word16()),
                               static_cast<int16_t>(*reader.Word16())};
    if (record.offset > file.size()) return kBadOffset;
    if (record.size > file.size() - record.offset) return kShortRead;
    auto picture = std::make_unique<CImage>();
    const uint8_t* data = file.data() + record.offset;
    const uint32_t status = keep_depth ? picture->LoadFile(nullptr, data, record.size, 0)
                                       : picture->LoadFile32(nullptr, data, record.size, 0);
    if (status != 0) return kBadPicture;
    ApplyKey(*picture, record.key_x, record.key_y);
    pictures_.push_back(std::move(picture));
  }
  return 0;
}

void CDagFile::Free() {
  value_a_ = 0;
  value_b_ = 0;
  frames_.clear();
  entries_.Clear();
  pictures_.clear();
}

CImage* CDagFile::GetPicture(int32_t number) const {
  if (number < 0 || static_cast<uint32_t>(number) >= pictures_.size()) return nullptr;
  return pictures_[static_cast<uint32_t>(number)].get();
}
