// The byte layout of a save file, little-endian: magic "WK03", version 0, the thumbnail (75 rows
// of 100 blue-green-red pixels), the title and caption fields, the stored size, the unpacked size
// (0: stored unpacked), the byte sum of the stored bytes, then the stored state record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/packed_block.h"

namespace save_file {

inline constexpr std::int32_t kLastSlot = 9;
inline constexpr std::int32_t kThumbnailWidth = 100;
inline constexpr std::int32_t kThumbnailHeight = 75;
inline constexpr std::size_t kThumbnailSize = kThumbnailWidth * kThumbnailHeight * 3;
inline constexpr std::size_t kThumbnailOffset = 8;
inline constexpr std::size_t kTitleOffset = kThumbnailOffset + kThumbnailSize;  // 22508
inline constexpr std::size_t kTitleField = 44;
inline constexpr std::size_t kTitleLimit = 40;
inline constexpr std::size_t kCaptionOffset = kTitleOffset + kTitleField;  // 22552
inline constexpr std::size_t kCaptionField = 144;
inline constexpr std::size_t kCaptionLimit = 139;
inline constexpr std::size_t kSizesOffset = kCaptionOffset + kCaptionField;  // 22696
inline constexpr std::size_t kDataOffset = kSizesOffset + 9;                 // 22705
// A caption re-flowed for the save and load screens: lines of at most this many bytes.
inline constexpr std::size_t kCaptionLineBytes = 34;
inline constexpr std::size_t kCaptionLines = 4;

struct SaveHeader {
  std::span<const std::uint8_t> thumbnail;  // kThumbnailSize bytes
  std::string title;                        // at most kTitleLimit bytes
  std::string caption;                      // at most kCaptionLimit bytes
};

// The longest start of `text` (up to its first zero) of at most `limit` bytes that ends on a
// whole Shift-JIS character.
std::string FitText(std::string_view text, std::size_t limit);

bool HasSaveMagic(std::span<const std::uint8_t> file);

// The header fields of the first kSizesOffset bytes of a save file (the thumbnail a view into
// `header`, title and caption cut to their limits); nothing for a bad magic or a header cut short.
std::optional<SaveHeader> ReadSaveHeaderFields(std::span<const std::uint8_t> header);

// The caption in at most kCaptionLines lines of at most kCaptionLineBytes bytes, joined by line
// feeds: a line feed of the caption ends a line, a line too long for the next whole character
// ends before it, and the text stops where a further line would begin.
std::string WrapCaption(std::string_view caption);

std::vector<std::uint8_t> WriteSaveFile(const SaveHeader& header, const PackedBlock& state);

// The state record of a save file, or of the sizes and data stored at `offset` (a save inside
// another file); every size is checked against the file before anything is allocated. 0; 3 bad
// magic, sizes, byte sum or packed data; 5 a version other than 0.
std::uint32_t ReadSaveFile(std::span<const std::uint8_t> file, std::uint32_t offset, std::vector<std::uint8_t>& record);

}  // namespace save_file
