// Unpacks arbitrary packed bytes: the first two bytes (little-endian) give the output size,
// the rest is the packed data. Also packs the whole input and checks that it unpacks again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/files/lzss_coder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto coder = std::make_unique<CLzssCoder>();
  const std::span<const std::uint8_t> input(data, size);
  if (size >= 2) {
    const std::size_t output_size = input[0] | static_cast<std::size_t>(input[1]) << 8;
    std::vector<std::uint8_t> output;
    const unsigned status = coder->Decode(input.subspan(2), output_size, output);
    const bool consistent = status == CLzssCoder::kDecodeDone ? output.size() == output_size : output.empty();
    if (!consistent) std::abort();
  }

  std::vector<std::uint8_t> packed;
  if (coder->Encode(input, packed) == CLzssCoder::kEncodePacked) {
    std::vector<std::uint8_t> unpacked;
    if (coder->Decode(packed, size, unpacked) != CLzssCoder::kDecodeDone) std::abort();
    if (unpacked != std::vector<std::uint8_t>(input.begin(), input.end())) std::abort();
  }
  return 0;
}
