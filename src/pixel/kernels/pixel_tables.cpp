#include "pixel/kernels/pixel_tables.h"

#include <cstddef>

namespace {

PixelTables g_tables;

uint8_t SourceShare(uint32_t r, uint32_t c) {
  if (r == 0) return 255;
  // Exact integer form; it never exceeds 255 and gives 255 for an opaque source.
  return static_cast<uint8_t>(65025 * c / (255 * (c + r) - c * r));
}

}  // namespace

const PixelTables& g_PixelTables = g_tables;

void BuildPixelTables() {
  for (uint32_t row = 0; row < 256; ++row) {
    for (uint32_t column = 0; column < 256; ++column) {
      g_tables.product[row][column] = static_cast<uint8_t>((column * row + 127) / 255);
      g_tables.source_share[row][column] = SourceShare(row, column);
      g_tables.composite_alpha[row][column] =
          static_cast<uint8_t>(255 - (255 - row) * (255 - column) / 255);
    }
  }
  for (int index = -PixelTables::kClampOrigin; index < 1024; ++index) {
    const int clamped = index < 0 ? 0 : (index > 255 ? 255 : index);
    g_tables.clamp[index + PixelTables::kClampOrigin] = static_cast<uint8_t>(clamped);
  }
  for (uint16_t k = 0; k < 256; ++k) {
    const uint16_t weight = k == 0 ? 0 : static_cast<uint16_t>(k + 1);
    g_tables.weight[k][0] = weight;
    g_tables.weight[k][1] = weight;
    g_tables.weight[k][2] = weight;
    g_tables.weight[k][3] = 0;
  }
}

std::optional<uint8_t> LevelOfProductRow(const uint8_t* row) {
  // Compared as numbers: a pointer that does not point into the table cannot be subtracted.
  const uintptr_t offset = reinterpret_cast<uintptr_t>(row) - reinterpret_cast<uintptr_t>(&g_tables.product[0][0]);
  constexpr size_t kRowBytes = sizeof g_tables.product[0];
  if (offset >= sizeof g_tables.product || offset % kRowBytes != 0) return std::nullopt;
  return static_cast<uint8_t>(offset / kRowBytes);
}
