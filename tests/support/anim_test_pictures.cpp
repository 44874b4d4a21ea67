#include "support/anim_test_pictures.h"

#include "elg_encoder.h"

namespace {

void PushPixel(kvxtools::ElgPicture& picture, uint32_t rgb) {
  picture.pixels.push_back(static_cast<uint8_t>(rgb));
  picture.pixels.push_back(static_cast<uint8_t>(rgb >> 8));
  picture.pixels.push_back(static_cast<uint8_t>(rgb >> 16));
  picture.pixels.push_back(0xFF);
}

kvxtools::ElgPicture Picture(int32_t width, int32_t height) {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 32;
  picture.width = static_cast<uint16_t>(width);
  picture.height = static_cast<uint16_t>(height);
  return picture;
}

}  // namespace

std::vector<uint8_t> SolidElg(int32_t width, int32_t height, uint32_t rgb, uint32_t corner) {
  kvxtools::ElgPicture picture = Picture(width, height);
  for (int32_t i = 0; i < width * height; ++i) PushPixel(picture, i == 0 && corner != 0xFFFFFFFF ? corner : rgb);
  return kvxtools::EncodeElg(picture);
}

std::vector<uint8_t> CellStripElg(int32_t cells, int32_t cell_width, int32_t height) {
  kvxtools::ElgPicture picture = Picture(cells * cell_width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < cells * cell_width; ++x) PushPixel(picture, CellColour(x / cell_width));
  }
  return kvxtools::EncodeElg(picture);
}
