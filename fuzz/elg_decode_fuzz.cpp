// Decodes arbitrary bytes as an ELG picture in both load modes and into a bitmap. Targets are
// exactly as large as their rows, so any write outside them is caught.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "resource/elg_decoder.h"

namespace {

std::vector<std::uint8_t> g_target;

std::uint8_t* CreateTarget(std::int32_t width, std::int32_t height, std::uint32_t bits_per_pixel, std::uint32_t,
                           std::int32_t* pitch, std::uint8_t** palette, void*) {
  static std::uint8_t palette_block[1024];
  *pitch = width * static_cast<std::int32_t>(bits_per_pixel / 8);
  g_target.assign(static_cast<std::size_t>(*pitch) * static_cast<std::size_t>(height), 0);
  if (palette != nullptr) *palette = palette_block;
  return g_target.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input(data, data + size);
  CElgDecoder decoder;
  for (const std::uint32_t mode : {0u, 1u}) {
    decoder.Load(input.data(), input.size(), &CreateTarget, nullptr, mode, nullptr, nullptr);
  }
  DibInfoBlock info;
  DibBits bits;
  if (decoder.Decode(input.data(), input.size(), &info, &bits, nullptr, nullptr) == CElgDecoder::kDone) {
    if (info == nullptr || bits.size() != info->image_size) std::abort();
  }
  return 0;
}
