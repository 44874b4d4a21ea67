// Statuses of the DPK decoder, archives and entry streams.
#pragma once

#include <cstdint>

inline constexpr std::int32_t kDpkBadMagic = 1;
inline constexpr std::int32_t kDpkEmptyEntry = 2;
// The archive file does not open, the entry is not found, or its number is out of range.
inline constexpr std::int32_t kDpkNotFound = 3;
// No path to open, or an assist command the decoder does not know.
inline constexpr std::int32_t kDpkBadArgument = 5;
inline constexpr std::int32_t kDpkSeekFailed = 6;
inline constexpr std::int32_t kDpkReadFailed = 7;
inline constexpr std::int32_t kDpkNoMemory = 8;
inline constexpr std::int32_t kDpkUnpackFailed = 12;
inline constexpr std::int32_t kDpkUnexpected = 14;

// An index or entry record that describes more than the index or the file holds reads as a
// failed read: the bytes it promises are not there.
inline constexpr std::int32_t kDpkDamaged = kDpkReadFailed;
