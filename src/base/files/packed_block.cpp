#include "base/files/packed_block.h"

#include <memory>

#include "base/files/lzss_coder.h"

std::uint8_t ByteSum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (const std::uint8_t byte : bytes) sum += byte;
  return static_cast<std::uint8_t>(sum);
}

PackedBlock PackBlock(std::span<const std::uint8_t> data) {
  PackedBlock block;
  // The coder's work area is large; each thread that packs keeps one.
  thread_local const auto coder = std::make_unique<CLzssCoder>();
  if (coder->Encode(data, block.stored) == CLzssCoder::kEncodePacked) {
    block.unpacked_size = static_cast<std::uint32_t>(data.size());
  } else {
    block.stored.assign(data.begin(), data.end());
  }
  return block;
}

std::optional<std::vector<std::uint8_t>> UnpackBlock(std::span<const std::uint8_t> stored, std::uint32_t unpacked_size) {
  if (unpacked_size == 0) return std::vector<std::uint8_t>(stored.begin(), stored.end());
  // Every packed item takes at least two bytes and gives at most the longest match.
  const std::uint64_t most = (std::uint64_t{stored.size()} / 2 + 1) * CLzssCoder::kLongestMatch;
  if (unpacked_size > most) return std::nullopt;
  std::vector<std::uint8_t> data;
  if (CLzssCoder::Decode(stored, unpacked_size, data) != CLzssCoder::kDecodeDone) return std::nullopt;
  return data;
}
