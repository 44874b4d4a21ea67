// Decodes arbitrary bytes as an ELG picture in both load modes and into a bitmap.
#include "driver/picture_decoder_fuzz.h"
#include "resource/pictures/elg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CElgDecoder decoder;
  fuzz_support::FuzzPictureDecoder(decoder, data, size);
  return 0;
}
