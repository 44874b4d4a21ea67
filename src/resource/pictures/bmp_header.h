// The headers of a BMP file: the 14-byte file header, the 40-byte information header and what
// follows it (the colour table, or the three channel masks of a bit-field file), checked
// against the file before anything is allocated for its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::uint32_t kBmpFileHeaderSize = 14;
inline constexpr std::uint32_t kBmpInfoHeaderSize = 40;
inline constexpr std::uint32_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

inline constexpr std::uint32_t kBmpRgb = 0;
inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitFields = 3;

struct BmpHeader {
  std::uint32_t pixel_offset = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: the rows are stored top-down
  std::uint16_t bit_count = 0;
  std::uint32_t compression = 0;
  std::uint32_t image_size = 0;
  std::int32_t x_pixels_per_metre = 0;
  std::int32_t y_pixels_per_metre = 0;
  std::uint32_t colours_important = 0;
  // The colour table of a picture below 16 bits: biClrUsed entries, or all 2^bits when it is 0.
  std::vector<std::uint32_t> colour_table;
  // Red, green and blue of a bit-field file.
  std::uint32_t masks[3] = {};

  std::uint32_t Rows() const;
  bool IsRunLength() const { return compression == kBmpRle8 || compression == kBmpRle4; }
  // Bytes of one row of the file's uncompressed pixels, padded to four.
  std::uint64_t FileRowSize() const;
  // Bytes of one row of the decoded picture, padded to four (bit fields decode to 24 bits).
  std::uint64_t PictureRowSize() const;
};

enum class BmpHeaderStatus {
  kUsable,
  kNotBmp,       // no "BM", or an information header other than 40 bytes
  kUnsupported,  // a bit count, compression or size that the file cannot hold together
};

bool HasBmpMagic(const std::uint8_t* data, std::size_t size);
// Reads the headers and checks the picture against the file: a known bit count and compression,
// a positive width, a non-zero height, the colour table or the masks inside the file, and the
// pixels (or, for run-length data, enough data for its rows) inside the file.
BmpHeaderStatus ParseBmpHeader(const std::uint8_t* data, std::size_t size, BmpHeader& header);
