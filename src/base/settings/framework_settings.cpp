#include "base/settings/framework_settings.h"

#include <algorithm>

EnvironmentBlock DefaultEnvironmentBlock() {
  EnvironmentBlock block{};
  for (const std::size_t on : {1, 2, 3, 4, 5, 9, 10, 13, 17, 18, 20, 22, 23}) block[on] = 1;
  block[kEnvInputMethod] = kInputWindowMessages;
  block[21] = 2;
  return block;
}

WindowBlock DefaultWindowBlock() {
  WindowBlock block{};
  block[kWinColourDepth] = 3;
  WriteBlockInt32(block, kWinLeft, -1);
  WriteBlockInt32(block, kWinTop, -1);
  block[10] = 1;
  return block;
}

int32_t ReadBlockInt32(const WindowBlock& block, std::size_t offset) {
  const uint32_t value = uint32_t{block[offset]} | uint32_t{block[offset + 1]} << 8 | uint32_t{block[offset + 2]} << 16 |
                         uint32_t{block[offset + 3]} << 24;
  return static_cast<int32_t>(value);
}

void WriteBlockInt32(WindowBlock& block, std::size_t offset, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

void HoldWindowPlaceTo(WindowBlock& block, const plat::Rect& desktop) {
  const auto hold = [&block](std::size_t offset, int32_t lowest, int32_t highest) {
    const int32_t side = ReadBlockInt32(block, offset);
    if (side != kNoWindowPlace) WriteBlockInt32(block, offset, std::clamp(side, lowest, std::max(lowest, highest)));
  };
  hold(kWinLeft, desktop.left, desktop.right - 1);
  hold(kWinTop, desktop.top, desktop.bottom - 1);
}
