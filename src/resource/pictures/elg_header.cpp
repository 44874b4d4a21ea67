#include "resource/pictures/elg_header.h"

#include <cstring>

#include "base/numbers/little_endian.h"

namespace {

constexpr std::size_t kPlainHeaderSize = 8;
constexpr std::size_t kOriginHeaderSize = 13;
constexpr std::size_t kRecordChainStart = 13;

std::int32_t LoadSigned16(const std::uint8_t* bytes) { return static_cast<std::int16_t>(LoadLe16(bytes)); }

// Walks the record chain; false when a record is cut off or its length is below 4.
bool ReadRecordChain(const std::uint8_t* data, std::size_t size, ElgHeader& header) {
  std::size_t position = kRecordChainStart;
  for (;;) {
    if (position >= size) return false;
    if (data[position] == 0) break;
    if (size - position < 5) return false;
    const std::uint32_t length = LoadLe32(data + position + 1);
    if (length < 4 || size - position - 1 < length) return false;
    position += 1 + static_cast<std::size_t>(length);
  }
  header.extra_offset = kRecordChainStart;
  header.extra_size = position - kRecordChainStart;
  header.pixel_offset = position + 1;
  return true;
}

}  // namespace

bool HasElgMagic(const std::uint8_t* data, std::size_t size) {
  return data != nullptr && size >= 4 && std::memcmp(data, "ELG", 3) == 0;
}

bool ParseElgHeader(const std::uint8_t* data, std::size_t size, ElgHeader& header) {
  header = {};
  if (!HasElgMagic(data, size)) return false;
  switch (data[3]) {
    case kElgFormOrigin:
      if (size < kOriginHeaderSize) return false;
      header.bit_depth = data[4];
      header.user_value0 = LoadSigned16(data + 5);
      header.user_value1 = LoadSigned16(data + 7);
      header.width = LoadLe16(data + 9);
      header.height = LoadLe16(data + 11);
      header.pixel_offset = kOriginHeaderSize;
      return true;
    case kElgFormRecords:
      if (size < kRecordChainStart) return false;
      header.bit_depth = data[4];
      header.width = LoadLe16(data + 5);
      header.height = LoadLe16(data + 7);
      header.user_value0 = LoadSigned16(data + 9);
      header.user_value1 = LoadSigned16(data + 11);
      return ReadRecordChain(data, size, header);
    default:
      if (size < kPlainHeaderSize) return false;
      header.bit_depth = data[3];
      header.width = LoadLe16(data + 4);
      header.height = LoadLe16(data + 6);
      header.pixel_offset = kPlainHeaderSize;
      return true;
  }
}
