#include "base/settings/game_settings.h"

#include <cstring>

#include "base/numbers/little_endian.h"

GameSettingsBlock* g_UserConfig = nullptr;

namespace {

constexpr char kDefaultFontFace[] = "SimSun";
constexpr std::size_t kFontFaceOffset = 36;
// The key assignments: seventeen key codes of the keyboard's scan-code set.
constexpr uint8_t kDefaultKeys[] = {0x41, 0x2C, 0x2D, 0x1E, 0x41, 0x42, 0x43, 0x44, 0x39,
                                    0x32, 0x2E, 0xD2, 0x1F, 0x0E, 0x14, 0xC9, 0xD1};
constexpr std::size_t kKeysOffset = 113;

}  // namespace

GameSettingsBlock DefaultGameSettings() {
  GameSettingsBlock block{};
  for (const std::size_t on : {0, 4, 5, 7, 8, 9, 13, 15, 16, 26, 30, 68, 73, 81, 82, 83, 84, 85, 108, 130, 149, 153, 155,
                               159, 162, 163, 164, 165, 166, 172, 173, 179, 181, 182, 190}) {
    block[on] = 1;
  }
  block[25] = 30;
  block[27] = 30;
  block[29] = 100;
  block[70] = 2;
  block[74] = 140;
  block[174] = 2;
  block[178] = 5;
  StoreLe32(&block[20], 750);
  StoreLe32(&block[32], 1000);
  StoreLe32(&block[88], 256);
  StoreLe32(&block[92], 150);
  StoreLe32(&block[96], 256);
  StoreLe32(&block[100], 200);
  StoreLe32(&block[104], 256);
  StoreLe32(&block[168], 256);
  std::memcpy(&block[kFontFaceOffset], kDefaultFontFace, sizeof kDefaultFontFace);
  std::memcpy(&block[kKeysOffset], kDefaultKeys, sizeof kDefaultKeys);
  return block;
}

const GameSettingsBlock& CurrentGameSettings() {
  static const GameSettingsBlock defaults = DefaultGameSettings();
  return g_UserConfig != nullptr ? *g_UserConfig : defaults;
}
