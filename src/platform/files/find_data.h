// The record that a FindFirstFile-style listing gives for each file: attributes, times, size
// and the Shift-JIS name. The struct is the record's byte layout (320 bytes, little-endian
// words at 4-byte alignment), because scripts read it byte by byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace plat {

inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
// A symbolic link (to a file or a folder), as the system reports its links and junctions.
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

// 100-nanosecond intervals since 1601-01-01 UTC, split in two words.
struct FileTime {
  std::uint32_t low = 0;
  std::uint32_t high = 0;

  std::uint64_t Ticks() const { return static_cast<std::uint64_t>(high) << 32 | low; }
  static FileTime FromUnix(const timespec& time);
  // Seconds since 1970, the fraction dropped.
  std::int64_t ToUnixSeconds() const;
};

struct FindData {
  std::uint32_t attributes = 0;
  FileTime creation_time;
  FileTime last_access_time;
  FileTime last_write_time;
  std::uint32_t size_high = 0;
  std::uint32_t size_low = 0;
  std::uint32_t reserved0 = 0;
  std::uint32_t reserved1 = 0;
  char file_name[260] = {};
  char alternate_file_name[14] = {};

  std::uint64_t Size() const { return static_cast<std::uint64_t>(size_high) << 32 | size_low; }
  bool IsFolder() const { return (attributes & kFileAttributeDirectory) != 0; }
};

inline constexpr std::size_t kFindDataSize = 320;
static_assert(sizeof(FindData) == kFindDataSize);
static_assert(offsetof(FindData, last_write_time) == 20);
static_assert(offsetof(FindData, size_high) == 28);
static_assert(offsetof(FindData, file_name) == 44);
static_assert(offsetof(FindData, alternate_file_name) == 304);

// The record's bytes as a Windows program would see them in memory.
std::array<unsigned char, kFindDataSize> ToBytes(const FindData& data);

}  // namespace plat
