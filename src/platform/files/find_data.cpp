#include "platform/files/find_data.h"

#include <cstring>

namespace plat {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;

void PutWord(unsigned char* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

FileTime FileTime::FromUnix(const timespec& time) {
  const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + static_cast<std::int64_t>(kSecondsFrom1601To1970);
  if (seconds < 0) return {};
  const std::uint64_t ticks = static_cast<std::uint64_t>(seconds) * kTicksPerSecond + static_cast<std::uint64_t>(time.tv_nsec) / 100;
  return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

std::int64_t FileTime::ToUnixSeconds() const {
  return static_cast<std::int64_t>(Ticks() / kTicksPerSecond) - static_cast<std::int64_t>(kSecondsFrom1601To1970);
}

std::array<unsigned char, kFindDataSize> ToBytes(const FindData& data) {
  std::array<unsigned char, kFindDataSize> bytes{};
  const std::uint32_t words[] = {data.attributes,
                                 data.creation_time.low, data.creation_time.high,
                                 data.last_access_time.low, data.last_access_time.high,
                                 data.last_write_time.low, data.last_write_time.high,
                                 data.size_high, data.size_low, data.reserved0, data.reserved1};
  for (std::size_t i = 0; i < std::size(words); ++i) PutWord(&bytes[4 * i], words[i]);
  std::memcpy(&bytes[offsetof(FindData, file_name)], data.file_name, sizeof data.file_name);
  std::memcpy(&bytes[offsetof(FindData, alternate_file_name)], data.alternate_file_name, sizeof data.alternate_file_name);
  return bytes;
}

}  // namespace plat
