// The body of a picture-decoder fuzz target: arbitrary bytes decoded in both load modes and into
// a bitmap. Targets are exactly as large as their rows, so any write outside them is caught.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "resource/pictures/image_decoder.h"

namespace fuzz_support {

inline std::vector<std::uint8_t>& Target() {
  static std::vector<std::uint8_t> target;
  return target;
}

inline std::uint8_t* CreateTarget(std::int32_t width, std::int32_t height, std::uint32_t bits_per_pixel,
                                  std::uint32_t, std::int32_t* pitch, std::uint8_t** palette, void*) {
  static std::uint8_t palette_block[1024];
  *pitch = width * static_cast<std::int32_t>(bits_per_pixel / 8);
  Target().assign(static_cast<std::size_t>(*pitch) * static_cast<std::size_t>(height), 0);
  if (palette != nullptr) *palette = palette_block;
  return Target().data();
}

inline void FuzzPictureDecoder(CImageDecoder& decoder, const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input(data, data + size);
  for (const std::uint32_t mode : {0u, 1u}) {
    decoder.Load(input.data(), input.size(), &CreateTarget, nullptr, mode, nullptr, nullptr);
  }
  DibInfoBlock info;
  DibBits bits;
  if (decoder.Decode(input.data(), input.size(), &info, &bits, nullptr, nullptr) == 0) {
    if (info == nullptr || bits.size() != info->image_size) std::abort();
  }
}

}  // namespace fuzz_support
