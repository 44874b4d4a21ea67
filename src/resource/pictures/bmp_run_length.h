// Expansion of the run-length encoded pixels of BMP files (8-bit and 4-bit forms).
#pragma once

#include <cstddef>
#include <cstdint>

enum class RunLengthStatus {
  kDone,
  kDelta,   // a delta escape, which this expansion does not support
  kBroken,  // the data ends inside a pair or a run, or a run leaves the picture
};

// Expands `data` (the run-length pixels after the file's pixel offset) into `rows` rows of
// `width` pixels of `bits_per_pixel` (8 or 4) at `pitch` bytes, bottom row first, as the file
// stores them. Pixels the data does not reach keep their value.
RunLengthStatus ExpandBmpRunLength(const std::uint8_t* data, std::size_t size, std::uint32_t bits_per_pixel,
                                   std::uint32_t width, std::uint32_t rows, std::uint8_t* pixels, std::size_t pitch);
