// Writes the engine's animation files for tests: DAG files with their pictures embedded, and DAD
// files with a data block and named references. Frames are written as given, so tests can leave
// out end markers or write any word they like.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kvxtools {

using AnimFrameWords = std::array<std::uint32_t, 4>;

// A frame as the pattern animations read it: image number, wait, offsets, a spare word.
AnimFrameWords PatternFrame(std::int32_t image, std::uint32_t wait, std::int16_t x = 0, std::int16_t y = 0);
// The record that ends an entry.
inline constexpr AnimFrameWords kEndOfEntry{0xFFFFFFFF, 0, 0, 0};

struct DagPictureSpec {
  std::vector<std::uint8_t> file;  // an image file the loaders read (ELG, BMP...)
  std::int16_t key_x = -1;
  std::int16_t key_y = -1;
};

struct DagFileSpec {
  std::uint16_t value_a = 0;
  std::uint16_t value_b = 0;
  std::uint16_t entry_count = 1;
  std::vector<std::uint8_t> skipped_block;
  std::vector<AnimFrameWords> frames;
  std::vector<DagPictureSpec> pictures;
};

struct DadReferenceSpec {
  std::string name;
  std::uint16_t first = 0;
  std::uint16_t second = 0;
};

struct DadFileSpec {
  std::array<std::uint8_t, 12> header{};  // the entry count goes into bytes 6 and 7
  std::uint16_t entry_count = 1;
  std::vector<std::uint8_t> data_block;
  std::vector<AnimFrameWords> frames;
  std::vector<DadReferenceSpec> references;
};

// The pictures follow the picture records, in order.
std::vector<std::uint8_t> WriteDag(const DagFileSpec& spec);
std::vector<std::uint8_t> WriteDad(const DadFileSpec& spec);

}  // namespace kvxtools
