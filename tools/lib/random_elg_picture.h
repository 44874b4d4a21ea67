// Random ELG pictures for tests: few distinct values, so that every kind of repetition (runs,
// near and far copies, pixels from above) occurs, and the pixels a decoder must produce.
#pragma once

#include <cstdint>
#include <vector>

#include "elg_encoder.h"

namespace kvxtools {

ElgPicture RandomElgPicture(std::uint8_t bit_depth, std::uint16_t width, std::uint16_t height, std::uint32_t seed);

// The picture as top-down 32-bit pixels (blue, green, red, alpha) the way a 32-bit load gives
// it: 8 bits through the palette with alpha 0, 24 bits with alpha 0.
std::vector<std::uint8_t> ElgPictureAs32(const ElgPicture& picture);
// The picture as top-down bytes the way an 8-bit load gives it: indices, or grey.
std::vector<std::uint8_t> ElgPictureAs8(const ElgPicture& picture);

}  // namespace kvxtools
