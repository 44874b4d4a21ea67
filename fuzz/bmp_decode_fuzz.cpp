// Decodes arbitrary bytes as a BMP picture in both load modes and into a bitmap.
#include "driver/picture_decoder_fuzz.h"
#include "resource/pictures/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CBmpDecoder decoder;
  fuzz_support::FuzzPictureDecoder(decoder, data, size);
  return 0;
}
