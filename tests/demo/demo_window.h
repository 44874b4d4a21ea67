// What the demo's tests of its window share: the window events SDL sends, whether the game shows
// in full screen, the window settings that USER.CFG keeps for the next start, and what the
// window shows, read back whole at whatever size it has.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/game/game_app.h"
#include "base/numbers/little_endian.h"
#include "platform/window/screen_presenter.h"
#include "support/png_file.h"

namespace demo_test {

inline SDL_Event WindowEvent(SDL_WindowEventID kind) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = static_cast<std::uint8_t>(kind);
  return event;
}

inline bool IsFullScreen(CGameApp& game) {
  SDL_Window* window = SDL_GetWindowFromID(game.GetMainWindow().GetHandle());
  return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

// The window block of USER.CFG, the second of its length-prefixed parts (the screen mode, the
// colour depth, then the window's left and top); empty when the file has none.
inline std::vector<std::uint8_t> KeptWindowBlock(const std::string& folder) {
  std::ifstream file(folder + "USER.CFG", std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < 2) return {};
  const std::size_t window_block = 2 + (bytes[0] | bytes[1] << 8);
  if (bytes.size() < window_block + 2) return {};
  const std::size_t length = bytes[window_block] | bytes[window_block + 1] << 8;
  if (length == 0 || bytes.size() < window_block + 2 + length) return {};
  return {bytes.begin() + static_cast<std::ptrdiff_t>(window_block + 2),
          bytes.begin() + static_cast<std::ptrdiff_t>(window_block + 2 + length)};
}

// The screen mode that USER.CFG keeps (1 full screen, 2 window); -1 when the file has none.
inline int KeptScreenMode(const std::string& folder) {
  const std::vector<std::uint8_t> block = KeptWindowBlock(folder);
  return block.empty() ? -1 : block[0];
}

// The client area's top-left corner that USER.CFG keeps for the next start; (-2, -2) when the
// file has none.
inline plat::Point KeptWindowPlace(const std::string& folder) {
  const std::vector<std::uint8_t> block = KeptWindowBlock(folder);
  if (block.size() < 10) return plat::Point{-2, -2};
  return plat::Point{static_cast<std::int32_t>(LoadLe32(&block[2])), static_cast<std::int32_t>(LoadLe32(&block[6]))};
}

struct Shown {
  std::vector<std::uint32_t> pixels;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t At(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
           0xFFFFFF;
  }
};

inline Shown ReadShown(CGameApp& game) {
  Shown shown;
  plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(game.GetMainWindow().GetHandle());
  EXPECT_NE(presenter, nullptr);
  if (presenter != nullptr && !presenter->ReadBack(shown.pixels, shown.width, shown.height)) shown.pixels.clear();
  return shown;
}
// The same, written as a PNG too.
inline Shown ReadShown(CGameApp& game, const std::string& png_path) {
  Shown shown = ReadShown(game);
  if (!shown.pixels.empty()) {
    EXPECT_TRUE(WritePng(png_path, shown.pixels, shown.width, shown.height));
  }
  return shown;
}

}  // namespace demo_test
