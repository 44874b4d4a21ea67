// The largest picture the engine holds: each side at most 32767 pixels and its rows, each padded
// to 4 bytes, at most 2 GiB together with the room a heap block needs to align them. Images
// refuse anything larger, and decoders refuse such a picture before they allocate for it.
#pragma once

#include <cstdint>

inline constexpr std::int32_t kMaxImageSide = 32767;
inline constexpr std::uint64_t kMaxImageBytes = std::uint64_t{1} << 31;
// What a heap block needs beyond its rows to align them to 8 bytes.
inline constexpr std::uint64_t kImageAlignmentSlack = 7;

// Bytes from one row to the next: each row padded to 4 bytes.
inline std::int64_t ImagePitch(std::int32_t width, std::uint8_t bpp) {
  return ((bpp / 8) * std::int64_t{width} + 3) & ~std::int64_t{3};
}

// The heap block of an image of this size and depth, with its alignment room.
inline std::uint64_t ImageBlockSize(std::int32_t width, std::int32_t height, std::uint8_t bpp) {
  return static_cast<std::uint64_t>(ImagePitch(width, bpp)) * static_cast<std::uint64_t>(height) +
         kImageAlignmentSlack;
}

// Whether sides of at most this size and depth stay within the limits (sides below 1 are the
// caller's to refuse).
inline bool ImageWithinLimits(std::int32_t width, std::int32_t height, std::uint8_t bpp) {
  return width <= kMaxImageSide && height <= kMaxImageSide && ImageBlockSize(width, height, bpp) <= kMaxImageBytes;
}
