// The blend levels of a rule transition: for every rule value (or source alpha), how much of
// the source shows at a progress through the rule and a soft edge of the given width.
#pragma once

#include <array>
#include <cstdint>

using RuleLevelTable = std::array<uint8_t, 256>;

// Progress 1..511 (above 256 the table runs inverted) and width 1..511, scaled by the level
// through the product table. Callers have refused the progress and width out of range and
// handled progress 0, 256 and 512.
RuleLevelTable BuildRuleLevelTable(uint32_t progress, uint32_t width, uint8_t level);
