#include "random_elg_picture.h"

#include <random>

namespace kvxtools {

ElgPicture RandomElgPicture(std::uint8_t bit_depth, std::uint16_t width, std::uint16_t height, std::uint32_t seed) {
  std::mt19937 random(seed);
  const auto byte = [&random](unsigned high) {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<unsigned>(0, high)(random));
  };
  ElgPicture picture;
  picture.bit_depth = bit_depth;
  picture.width = width;
  picture.height = height;
  for (std::uint8_t& entry : picture.palette) entry = byte(3) * 85;
  const std::size_t bytes = static_cast<std::size_t>(width) * height * (bit_depth / 8);
  picture.pixels.resize(bytes);
  // Short runs of a repeated pixel now and then, long ones rarely, otherwise values from a handful.
  const std::size_t unit = bit_depth / 8;
  std::size_t long_run_left = 0;
  for (std::size_t i = 0; i < bytes; i += unit) {
    if (long_run_left == 0 && byte(255) == 0) long_run_left = 36 + byte(31);
    if (long_run_left > 0) --long_run_left;
    const bool repeat = i >= unit && (long_run_left > 0 || byte(3) == 0);
    for (std::size_t k = 0; k < unit; ++k) {
      picture.pixels[i + k] = repeat ? picture.pixels[i + k - unit] : static_cast<std::uint8_t>(byte(2) * 127);
    }
  }
  return picture;
}

std::vector<std::uint8_t> ElgPictureAs32(const ElgPicture& picture) {
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
  std::vector<std::uint8_t> out(count * 4, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* source = picture.bit_depth == 8 ? &picture.palette[4 * picture.pixels[i]]
                                                        : &picture.pixels[i * (picture.bit_depth / 8)];
    for (std::size_t k = 0; k < 3; ++k) out[4 * i + k] = source[k];
    if (picture.bit_depth == 32) out[4 * i + 3] = source[3];
  }
  return out;
}

std::vector<std::uint8_t> ElgPictureAs8(const ElgPicture& picture) {
  if (picture.bit_depth == 8) return picture.pixels;
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
  const std::size_t unit = picture.bit_depth / 8;
  std::vector<std::uint8_t> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* bgr = &picture.pixels[i * unit];
    out[i] = static_cast<std::uint8_t>((77 * bgr[2] + 150 * bgr[1] + 29 * bgr[0]) / 256);
  }
  return out;
}

}  // namespace kvxtools
