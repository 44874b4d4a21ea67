// Chance for the transition patterns: fresh draws of the program-wide subtractive generator,
// and the 256-byte table built once from the generator seeded with 0, so that the patterns that
// read it look the same at a given level in every call and every run.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "base/numbers/subtractive_random.h"

using PatternRandomTable = std::array<uint8_t, CSubtractiveRandom::kWipeTableSize>;

// The table, held by the program-wide generator (which frees it when the program ends); null
// until built.
extern std::unique_ptr<PatternRandomTable>& g_PatternRandomTable;

// Builds the table when it is not built yet: seeds the program-wide state with 0, keeps the low
// bytes of its first 256 draws, and seeds it again from the clock. False when the table's memory
// cannot be had (the state is then left alone).
bool BuildPatternRandomTable();

// One draw of the program-wide state (0 to 999,999,999), and its low byte.
inline int32_t NextPatternRandom() { return DrawSubtractive(g_SubtractiveIndex, g_SubtractiveState); }
inline int32_t NextPatternRandomByte() { return NextPatternRandom() & 0xFF; }
