// One record of an animation file's frame table: four little-endian words whose meaning beyond
// the entry markers belongs to the players. The pattern animations read the first three as an
// image number (negative ends the entry), a wait in ms, and the x and y offsets as two signed
// 16-bit halves.
#pragma once

#include <array>
#include <cstdint>

struct AnimFrame {
  std::array<uint32_t, 4> words{};

  int32_t Word(int index) const { return static_cast<int32_t>(words[static_cast<size_t>(index)]); }
  int32_t ImageNumber() const { return Word(0); }
  uint32_t Wait() const { return words[1]; }
  int16_t OffsetX() const { return static_cast<int16_t>(words[2] & 0xFFFF); }
  int16_t OffsetY() const { return static_cast<int16_t>(words[2] >> 16); }
};
