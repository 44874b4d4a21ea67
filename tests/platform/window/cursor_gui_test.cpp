// A cursor made of a picture on a real X display (run under Xvfb): it becomes SDL's cursor, a hot
// spot outside the picture is kept at its edge instead of refusing the picture, and a system
// shape set afterwards replaces it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/window/cursor.h"
#include "platform/window/native_window.h"
#include "support/test_window.h"

namespace {

class CursorGuiTest : public WindowTestBase {};

TEST_F(CursorGuiTest, APictureBecomesTheCursorWhateverItsHotSpotAndAShapeReplacesIt) {
  const std::unique_ptr<plat::Window> window = OpenTestWindow("cursor test", 40, 30, 64, 48);
  ASSERT_NE(window, nullptr);
  const std::vector<uint32_t> pixels(4 * 3, 0xFFFF0000);
  for (const plat::Point hot_spot : {plat::Point{1, 2}, plat::Point{-5, 40}}) {
    SDL_Cursor* before = SDL_GetCursor();
    ASSERT_TRUE(plat::SetImageCursor(pixels.data(), 4, 3, hot_spot)) << hot_spot.x << "," << hot_spot.y;
    EXPECT_NE(SDL_GetCursor(), before);
  }
  EXPECT_FALSE(plat::SetImageCursor(pixels.data(), 0, 3, {0, 0}));
  SDL_Cursor* image = SDL_GetCursor();
  ASSERT_TRUE(plat::SetSystemCursor(3));
  EXPECT_NE(SDL_GetCursor(), image);
}

}  // namespace
