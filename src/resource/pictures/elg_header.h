// The header of an ELG picture: magic "ELG", a form byte and the fields of its form, checked
// against the data it comes with.
#pragma once

#include <cstddef>
#include <cstdint>

struct ElgHeader {
  std::uint8_t bit_depth = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::int32_t user_value0 = 0;
  std::int32_t user_value1 = 0;
  std::size_t extra_offset = 0;  // the record chain, from its first tag to its last record's end
  std::size_t extra_size = 0;
  std::size_t pixel_offset = 0;
};

// Header forms: the fourth byte is the bit depth itself, or one of these.
inline constexpr std::uint8_t kElgFormOrigin = 1;
inline constexpr std::uint8_t kElgFormRecords = 2;

bool HasElgMagic(const std::uint8_t* data, std::size_t size);
// False when the header or its record chain runs past the data, or a record's length is below 4.
bool ParseElgHeader(const std::uint8_t* data, std::size_t size, ElgHeader& header);
