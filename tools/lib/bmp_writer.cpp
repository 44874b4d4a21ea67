#include "bmp_writer.h"

#include "base/numbers/byte_cursor.h"

namespace kvxtools {

std::vector<std::uint8_t> WriteBmp(const BmpFile& file) {
  const bool bit_fields = file.compression == 3;
  const auto table_bytes = static_cast<std::uint32_t>(4 * file.colour_table.size() + (bit_fields ? 12 : 0));
  const std::uint32_t pixel_offset = 54 + table_bytes;
  ByteWriter writer;
  writer.Byte('B');
  writer.Byte('M');
  writer.Word(pixel_offset + static_cast<std::uint32_t>(file.pixels.size()));
  writer.Word(0);
  writer.Word(pixel_offset);
  writer.Word(40);
  writer.Word(static_cast<std::uint32_t>(file.width));
  writer.Word(static_cast<std::uint32_t>(file.height));
  writer.Word16(1);
  writer.Word16(file.bit_count);
  writer.Word(file.compression);
  writer.Word(static_cast<std::uint32_t>(file.pixels.size()));
  writer.Word(2835);
  writer.Word(2835);
  writer.Word(file.colours_used);
  writer.Word(0);
  for (const std::uint32_t entry : file.colour_table) writer.Word(entry);
  if (bit_fields) {
    for (const std::uint32_t mask : file.masks) writer.Word(mask);
  }
  for (const std::uint8_t byte : file.pixels) writer.Byte(byte);
  return writer.Take();
}

std::vector<std::uint8_t> PadBmpRows(const std::vector<std::uint8_t>& rows, std::size_t row_bytes) {
  std::vector<std::uint8_t> padded;
  const std::size_t padding = (4 - row_bytes % 4) % 4;
  for (std::size_t at = 0; at + row_bytes <= rows.size(); at += row_bytes) {
    padded.insert(padded.end(), rows.begin() + static_cast<std::ptrdiff_t>(at),
                  rows.begin() + static_cast<std::ptrdiff_t>(at + row_bytes));
    padded.insert(padded.end(), padding, 0);
  }
  return padded;
}

}  // namespace kvxtools
