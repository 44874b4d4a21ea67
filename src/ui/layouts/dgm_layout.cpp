#include "ui/layouts/dgm_layout.h"

#include <algorithm>
#include <optional>

#include "base/files/file.h"
#include "base/files/path.h"
#include "base/numbers/byte_cursor.h"

namespace {

constexpr uint8_t kMagic[4] = {'D', 'G', 'M', 0};
constexpr uint8_t kPictureType = 0;
// The fields every record has: type, x, y, parameter, shown.
constexpr uint32_t kCommonRecordBytes = 7;
// The smallest part: an empty name and a short record.
constexpr uint32_t kSmallestPartBytes = 1 + kCommonRecordBytes;

// A name stored as its length byte and its bytes.
std::optional<std::string> ReadName(ByteReader& reader) {
  const auto length = reader.Byte();
  if (!length) return std::nullopt;
  const auto bytes = reader.Bytes(*length);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::optional<DgmPart> ReadPart(ByteReader& reader, DgmRecords records) {
  auto picture = ReadName(reader);
  const auto common = reader.Bytes(kCommonRecordBytes);
  if (!picture || !common) return std::nullopt;
  DgmPart part;
  part.picture = std::move(*picture);
  part.type = (*common)[0];
  part.x = static_cast<int16_t>(LoadLe16(common->data() + 1));
  part.y = static_cast<int16_t>(LoadLe16(common->data() + 3));
  part.parameter = (*common)[5];
  part.shown = (*common)[6];
  if (records == DgmRecords::kShortPictures && part.type == kPictureType) return part;
  const auto width = reader.Word16();
  const auto height = reader.Word16();
  const auto state = reader.Byte();
  if (!width || !height || !state) return std::nullopt;
  part.size = {*width, *height, *state};
  return part;
}

}  // namespace

uint32_t ParseDgmLayout(std::span<const uint8_t> bytes, DgmRecords records, DgmLayout& layout) {
  ByteReader reader(bytes);
  const auto magic = reader.Bytes(sizeof kMagic);
  if (!magic || !std::equal(magic->begin(), magic->end(), kMagic)) return kDgmBadMagic;
  auto background = ReadName(reader);
  const auto count = reader.Word16();
  if (!background || !count || !reader.Has(uint64_t{*count} * kSmallestPartBytes)) return kDgmTruncated;
  DgmLayout read;
  read.background = std::move(*background);
  read.parts.reserve(*count);
  for (uint32_t i = 0; i < *count; ++i) {
    auto part = ReadPart(reader, records);
    if (!part) return kDgmTruncated;
    read.parts.push_back(std::move(*part));
  }
  layout = std::move(read);
  return 0;
}

uint32_t LoadDgmLayout(const char* path, DgmRecords records, DgmLayout& layout) {
  CFile file;
  if (file.Load(path) != 0 || file.GetData() == nullptr) return kDgmReadFailed;
  DgmLayout read;
  if (const uint32_t status = ParseDgmLayout({file.GetData(), file.GetSize()}, records, read); status != 0) {
    return status;
  }
  char folder[kMaxPath];
  GetPathFolder(path, folder);
  if (!read.background.empty()) read.background.insert(0, folder);
  for (DgmPart& part : read.parts) part.picture.insert(0, folder);
  layout = std::move(read);
  return 0;
}
