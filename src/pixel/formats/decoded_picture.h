// The picture every image decoder delivers: a bottom-up device-independent bitmap in two
// blocks, an information block (the header with its colour table) and the bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct DibInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: the rows are stored bottom-up
  std::uint16_t bit_count = 0;
  std::uint32_t compression = 0;  // 0: uncompressed
  std::uint32_t image_size = 0;
  std::uint32_t colours_used = 0;
  // Entries as 32-bit words: bytes blue, green, red and a fourth byte, low to high.
  std::vector<std::uint32_t> colour_table;
};

// The colour-table entries a picture lists: its count, or when that is 0 every colour its bit
// count can index (1, 4 and 8 bits), as for any device-independent bitmap.
inline std::size_t ListedColourCount(const DibInfo& info) {
  if (info.colours_used != 0) return info.colours_used;
  return info.bit_count >= 1 && info.bit_count <= 8 ? std::size_t{1} << info.bit_count : 0;
}

using DibInfoBlock = std::unique_ptr<DibInfo>;

// The size of the header without its colour table.
inline constexpr std::uint32_t kDibHeaderSize = 40;

// Bytes of one bitmap row, padded up to a multiple of four.
inline std::uint32_t DibRowPitch(std::uint32_t width, std::uint32_t bit_count) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(width) * bit_count + 31) / 32 * 4);
}

// Progress of a decode: (done, total, argument); a non-zero answer cancels.
using DecodeProgressFunc = std::int32_t (*)(std::int32_t done, std::int32_t total, void* argument);
// Creates the caller's target: (width, height, bits per pixel, alpha flag, out pitch, out palette
// or null, context) -> the target's pixels, or null. A palette handed out holds 1024 bytes.
using CreateTargetFunc = std::uint8_t* (*)(std::int32_t width, std::int32_t height, std::uint32_t bits_per_pixel,
                                           std::uint32_t alpha, std::int32_t* pitch, std::uint8_t** palette,
                                           void* context);
using FreeTargetFunc = void (*)(void* context);
