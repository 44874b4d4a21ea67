#include "resource/pictures/bmp_header.h"

#include <cstdlib>
#include <span>

#include "base/numbers/byte_cursor.h"

namespace {

// The largest decoded picture accepted: a bits block beyond this is refused as damaged data.
constexpr std::uint64_t kMostPictureBytes = std::uint64_t{1} << 31;

bool KnownForm(std::uint16_t bit_count, std::uint32_t compression) {
  switch (compression) {
    case kBmpRgb:
      return bit_count == 1 || bit_count == 4 || bit_count == 8 || bit_count == 16 || bit_count == 24 ||
             bit_count == 32;
    case kBmpRle8:
      return bit_count == 8;
    case kBmpRle4:
      return bit_count == 4;
    case kBmpBitFields:
      return bit_count == 16 || bit_count == 24 || bit_count == 32;
    default:
      return false;
  }
}

// Run-length data ends each row but the last with a two-byte escape and yields at most 255
// pixels for every two bytes, so a picture wider or taller than its data could reach is not
// one the data describes.
bool RunLengthDataCovers(const BmpHeader& header, std::uint64_t data_bytes) {
  return header.Rows() <= data_bytes / 2 + 1 && static_cast<std::uint64_t>(header.width) <= data_bytes * 128;
}

bool ReadTable(ByteReader& reader, BmpHeader& header, std::uint32_t colours_used) {
  if (header.bit_count >= 16) {
    if (header.compression != kBmpBitFields) return true;
    for (std::uint32_t& mask : header.masks) {
      const auto word = reader.Word();
      if (!word) return false;
      mask = *word;
    }
    return true;
  }
  const std::uint64_t count = colours_used != 0 ? colours_used : std::uint64_t{1} << header.bit_count;
  if (!reader.Has(count * 4)) return false;
  header.colour_table.resize(static_cast<std::size_t>(count));
  for (std::uint32_t& entry : header.colour_table) entry = *reader.Word();
  return true;
}

}  // namespace

std::uint32_t BmpHeader::Rows() const { return static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(height))); }

std::uint64_t BmpHeader::FileRowSize() const {
  const std::uint64_t bits = static_cast<std::uint64_t>(width) * bit_count;
  return (bits + 31) / 32 * 4;
}

std::uint64_t BmpHeader::PictureRowSize() const {
  const std::uint64_t bytes = compression == kBmpBitFields ? static_cast<std::uint64_t>(width) * 3
                              : bit_count < 16             ? (static_cast<std::uint64_t>(width) * bit_count + 7) / 8
                                                           : static_cast<std::uint64_t>(width) * bit_count / 8;
  return (bytes + 3) / 4 * 4;
}

bool HasBmpMagic(const std::uint8_t* data, std::size_t size) {
  return data != nullptr && size >= 2 && data[0] == 'B' && data[1] == 'M';
}

BmpHeaderStatus ParseBmpHeader(const std::uint8_t* data, std::size_t size, BmpHeader& header) {
  if (!HasBmpMagic(data, size)) return BmpHeaderStatus::kNotBmp;
  ByteReader reader(std::span<const std::uint8_t>(data, size));
  if (!reader.Skip(10)) return BmpHeaderStatus::kNotBmp;
  const auto pixel_offset = reader.Word();
  const auto header_size = reader.Word();
  if (!header_size || *header_size != kBmpInfoHeaderSize) return BmpHeaderStatus::kNotBmp;
  if (!reader.Has(kBmpInfoHeaderSize - 4)) return BmpHeaderStatus::kUnsupported;
  header = BmpHeader{};
  header.pixel_offset = *pixel_offset;
  header.width = static_cast<std::int32_t>(*reader.Word());
  header.height = static_cast<std::int32_t>(*reader.Word());
  reader.Skip(2);  // planes
  header.bit_count = *reader.Word16();
  header.compression = *reader.Word();
  header.image_size = *reader.Word();
  header.x_pixels_per_metre = static_cast<std::int32_t>(*reader.Word());
  header.y_pixels_per_metre = static_cast<std::int32_t>(*reader.Word());
  const std::uint32_t colours_used = *reader.Word();
  header.colours_important = *reader.Word();

  if (!KnownForm(header.bit_count, header.compression) || header.width <= 0 || header.height == 0) {
    return BmpHeaderStatus::kUnsupported;
  }
  if (header.IsRunLength() && header.height < 0) return BmpHeaderStatus::kUnsupported;
  if (!ReadTable(reader, header, colours_used)) return BmpHeaderStatus::kUnsupported;
  if (header.pixel_offset > size) return BmpHeaderStatus::kUnsupported;
  const std::uint64_t data_bytes = size - header.pixel_offset;
  if (header.PictureRowSize() * header.Rows() > kMostPictureBytes) return BmpHeaderStatus::kUnsupported;
  const bool covered = header.IsRunLength() ? RunLengthDataCovers(header, data_bytes)
                                            : header.FileRowSize() * header.Rows() <= data_bytes;
  return covered ? BmpHeaderStatus::kUsable : BmpHeaderStatus::kUnsupported;
}
