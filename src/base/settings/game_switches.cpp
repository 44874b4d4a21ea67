#include "base/settings/game_switches.h"

GameSwitches DefaultGameSwitches() {
  GameSwitches switches{};
  for (const std::size_t on : {1, 2, 4, 6, 7, 8, 9, 13, 14, 16}) switches[on] = 1;
  switches[12] = 2;  // 512 glyph-cache entries in bytes 11-12
  return switches;
}
