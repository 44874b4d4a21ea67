// The data blocks of the script host's files: LZSS-packed when that makes them smaller, else
// stored as they are, with an unpacked-size field that is 0 for a block stored unpacked.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct PackedBlock {
  std::vector<std::uint8_t> stored;
  std::uint32_t unpacked_size = 0;  // 0: `stored` is the data itself
};

// The sum of the bytes modulo 256, the check the packed files carry.
std::uint8_t ByteSum(std::span<const std::uint8_t> bytes);

PackedBlock PackBlock(std::span<const std::uint8_t> data);

// The data of a stored block; nothing when it does not unpack to `unpacked_size` bytes. A size
// that the stored bytes could never unpack to is refused before anything is allocated.
std::optional<std::vector<std::uint8_t>> UnpackBlock(std::span<const std::uint8_t> stored, std::uint32_t unpacked_size);
