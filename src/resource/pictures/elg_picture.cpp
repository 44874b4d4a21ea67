#include "resource/pictures/elg_picture.h"

#include <array>

#include "resource/pictures/elg_unpack.h"

namespace {

constexpr std::size_t kPaletteBytes = 1024;

}  // namespace

bool UnpackElgPictureTo32(const ElgHeader& header, const std::uint8_t* data, std::size_t size, std::uint8_t* target,
                          std::ptrdiff_t pitch, bool with_alpha) {
  const std::uint8_t* stream = data + header.pixel_offset;
  const std::uint8_t* end = data + size;
  const std::size_t width = header.width;
  const std::size_t height = header.height;
  if (header.bit_depth == 8) {
    std::array<std::uint8_t, kPaletteBytes> palette{};
    stream = UnpackElg8(stream, end, palette.data(), palette.size());
    return stream != nullptr &&
           UnpackElgIndexedTo32Rows(stream, end, target, width, height, pitch, palette.data(), 0) != nullptr;
  }
  stream = UnpackElgRgbRows(stream, end, target, width, height, pitch);
  if (header.bit_depth == 24 || !with_alpha || stream == nullptr) return stream != nullptr;
  return UnpackElgAlphaRows(stream, end, target, width, height, pitch) != nullptr;
}

bool UnpackElgPictureTo8(const ElgHeader& header, const std::uint8_t* data, std::size_t size, std::uint8_t* target,
                         std::ptrdiff_t pitch, std::uint8_t* target_palette) {
  const std::uint8_t* stream = data + header.pixel_offset;
  const std::uint8_t* end = data + size;
  if (header.bit_depth != 8) {
    return UnpackElgRgbToGreyRows(stream, end, target, header.width, header.height, pitch) != nullptr;
  }
  std::array<std::uint8_t, kPaletteBytes> scratch{};
  stream = UnpackElg8(stream, end, target_palette != nullptr ? target_palette : scratch.data(), kPaletteBytes);
  return stream != nullptr && UnpackElg8ToRows(stream, end, target, header.width, header.height, pitch) != nullptr;
}

