// Every pair of destination alpha and source alpha (or mask byte) the alpha-over rule can meet,
// 65536 pixels laid out over rows of an odd width so that every row ends in a part step of the
// vector members. Colours are random, so each pair blends real channels.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace every_over_pair {

constexpr int32_t kWidth = 251;
constexpr int32_t kPairs = 256 * 256;
constexpr int32_t kHeight = (kPairs + kWidth - 1) / kWidth;
constexpr size_t kPixels = size_t{kWidth} * kHeight;

// The levels the pairs are drawn at: the coverage is the alpha or mask byte itself, or scaled.
constexpr std::array<uint8_t, 4> kOverLevels{255, 254, 128, 1};

struct Images {
  std::vector<uint32_t> destination;
  std::vector<uint32_t> source;
  std::vector<uint8_t> mask;
};

// Pixel i holds destination alpha i / 256 and source alpha and mask byte i % 256 (the pixels
// past the last pair repeat the first ones).
inline Images MakeImages() {
  std::mt19937 random(110);
  Images images{std::vector<uint32_t>(kPixels), std::vector<uint32_t>(kPixels), std::vector<uint8_t>(kPixels)};
  for (size_t i = 0; i < kPixels; ++i) {
    const auto pair = static_cast<uint32_t>(i % kPairs);
    images.destination[i] = ((pair >> 8) << 24) | (random() & 0xFFFFFF);
    images.source[i] = ((pair & 0xFF) << 24) | (random() & 0xFFFFFF);
    images.mask[i] = static_cast<uint8_t>(pair);
  }
  return images;
}

}  // namespace every_over_pair
