#include "gfx/images/rule_level_table.h"

#include <algorithm>

#include "pixel/kernels/pixel_tables.h"

RuleLevelTable BuildRuleLevelTable(uint32_t progress, uint32_t width, uint8_t level) {
  const bool inverted = progress > 256;
  if (inverted) progress -= 256;
  const uint32_t start = progress - 1;
  const uint8_t* row = g_PixelTables.product[level];
  const auto shade = [&](uint32_t value) { return row[inverted ? 255 - value : value]; };
  RuleLevelTable table;
  const uint32_t ramp_end = std::min(start + width, 256u);
  for (uint32_t i = 0; i < 256; ++i) {
    if (i < start) {
      table[i] = shade(255);
    } else if (i < ramp_end) {
      table[i] = shade(255 - ((i - start) * 255) / width);
    } else {
      table[i] = shade(0);
    }
  }
  return table;
}
