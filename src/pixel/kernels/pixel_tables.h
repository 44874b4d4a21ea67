// The look-up tables that the blending kernels share. BuildPixelTables fills them once during
// start-up, before anything is drawn; afterwards they are only read, from any thread.
#pragma once

#include <cstdint>
#include <optional>

struct PixelTables {
  // [l][x] = floor((x * l + 127) / 255): x scaled by l / 255, rounded to the nearest.
  uint8_t product[256][256];
  // [i + kClampOrigin] = i clamped to 0..255, for i from -768 to 1023.
  uint8_t clamp[1792];
  // [k] = k + 1 in the blue, green and red lanes and 0 in the alpha lane; [0] all zero. A
  // weight scales by w / 256, so entry 255 is exactly one.
  uint16_t weight[256][4];
  // [r][c]: the share of a source of alpha c drawn over a destination of alpha r,
  // c / (c + r - c r) in 255ths; row 0 is all 255.
  uint8_t source_share[256][256];
  // [r][c] = 255 - floor((255 - r) * (255 - c) / 255): the alpha of c drawn over r.
  uint8_t composite_alpha[256][256];

  static constexpr int kClampOrigin = 768;
};

extern const PixelTables& g_PixelTables;

void BuildPixelTables();

// The level L whose product-table row P[L] starts at `row`; none for any other pointer.
std::optional<uint8_t> LevelOfProductRow(const uint8_t* row);
