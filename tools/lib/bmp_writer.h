// Writes BMP files for tests and fuzz corpora in every form the engine reads: 1-, 4- and 8-bit
// pictures with colour tables, 16-, 24- and 32-bit pictures, run-length data and bit fields.
// The pixel data is given as the file stores it, so that tests can also write damaged files.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kvxtools {

struct BmpFile {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows stored top-down
  std::uint16_t bit_count = 24;
  std::uint32_t compression = 0;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
  std::uint32_t colours_used = 0;
  std::vector<std::uint32_t> colour_table;      // written after the header
  std::array<std::uint32_t, 3> masks{};         // red, green, blue; written for bit fields
  std::vector<std::uint8_t> pixels;             // the pixel data as the file stores it
};

std::vector<std::uint8_t> WriteBmp(const BmpFile& file);

// Rows of `row_bytes` bytes each padded with zeros to a multiple of four, in the given order.
std::vector<std::uint8_t> PadBmpRows(const std::vector<std::uint8_t>& rows, std::size_t row_bytes);

}  // namespace kvxtools
