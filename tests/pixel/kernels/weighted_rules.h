// The weighted per-pixel formulas the blend, mask, blur and quadrilateral kernels are held to,
// written channel by channel in plain integers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace weighted_rules {

inline uint32_t Byte(uint32_t pixel, int index) { return (pixel >> (8 * index)) & 0xFF; }

// P[l][x]: x * l / 255 rounded.
inline uint32_t Product(uint32_t level, uint32_t x) { return (x * level + 127) / 255; }

// w(k) of the weight table.
inline uint32_t W(uint32_t k) { return k == 0 ? 0 : k + 1; }

inline uint32_t SourceShare(uint32_t r, uint32_t c) {
  return r == 0 ? 255 : 65025 * c / (255 * (c + r) - c * r);
}

inline uint32_t CompositeAlpha(uint32_t r, uint32_t c) { return 255 - (255 - r) * (255 - c) / 255; }

// d + floor((s - d) * w / 256) per colour channel, alpha kept.
inline uint32_t Blend(uint32_t d, uint32_t s, uint32_t w) {
  uint32_t result = d & 0xFF000000;
  for (int i = 0; i < 3; ++i) {
    const int dc = static_cast<int>(Byte(d, i));
    const int difference = static_cast<int>(Byte(s, i)) - dc;
    const int step = static_cast<int>(std::floor(difference * static_cast<double>(w) / 256.0));
    result |= static_cast<uint32_t>(dc + step) << (8 * i);
  }
  return result;
}

inline uint32_t Add(uint32_t d, uint32_t s, uint32_t w) {
  uint32_t result = d & 0xFF000000;
  for (int i = 0; i < 3; ++i) result |= std::min(255u, Byte(d, i) + (Byte(s, i) * w >> 8)) << (8 * i);
  return result;
}

inline uint32_t Sub(uint32_t d, uint32_t s, uint32_t w) {
  uint32_t result = d & 0xFF000000;
  for (int i = 0; i < 3; ++i) {
    const int value = static_cast<int>(Byte(d, i)) - static_cast<int>(Byte(s, i) * w >> 8);
    result |= static_cast<uint32_t>(std::max(0, value)) << (8 * i);
  }
  return result;
}

// Colour s with coverage c over d.
inline uint32_t Over(uint32_t d, uint32_t s, uint32_t c) {
  const uint32_t r = d >> 24;
  return (Blend(d, s, W(SourceShare(r, c))) & 0x00FFFFFF) | (CompositeAlpha(r, c) << 24);
}

}  // namespace weighted_rules
