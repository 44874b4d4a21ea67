#include "effects/patterns/pattern_random.h"

#include <new>

#include "platform/system/clock.h"

std::unique_ptr<PatternRandomTable>& g_PatternRandomTable = g_SubtractiveRandom.m_WipeTable;

bool BuildPatternRandomTable() {
  if (g_PatternRandomTable) return true;
  g_PatternRandomTable.reset(new (std::nothrow) PatternRandomTable());
  if (!g_PatternRandomTable) return false;
  SeedSubtractive(g_SubtractiveIndex, g_SubtractiveState, 0);
  for (uint8_t& value : *g_PatternRandomTable) value = static_cast<uint8_t>(NextPatternRandomByte());
  SeedSubtractive(g_SubtractiveIndex, g_SubtractiveState, plat::PreciseMilliseconds());
  return true;
}
