// A generated clip opened by the scripts' built-ins in a game that composes in a display canvas
// (run under Xvfb, its sound to SDL's disk driver): id 632 makes it a sprite of the frame's draw
// list, id 639 places it, id 635 shows and plays it; the window read back shows its picture, the
// play position grows and the state reports the stop at its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "builtin_call.h"
#include "scene/movies/movie_players.h"
#include "support/fake_app_services.h"
#include "support/movie_window_fixture.h"

namespace {

constexpr plat::Rect kMovieRect{40, 30, 104, 78};

class MovieBuiltinsGuiTest : public test_support::MovieWindowTest, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    MovieWindowTest::SetUp();
    g_ScreenManager = screen_.get();
    app_.movie_sprite = true;
  }
  void TearDown() override {
    DeleteMoviePlayers();
    g_ScreenManager = nullptr;
    MovieWindowTest::TearDown();
  }

  test_support::FakeAppServices app_;
};

TEST_F(MovieBuiltinsGuiTest, AnEmbeddedMoviePlaysInTheFrameUntilItsEnd) {
  test_support::DiskSoundCapture sound(game_.HostPath() + "movie_sound.raw");
  ASSERT_TRUE(sound.Open(window_->Id()));
  ASSERT_EQ(Call(632, {Text(kArchivedClip), 0, 0}), 0u);
  ASSERT_NE(g_MovieSprite, nullptr);
  EXPECT_FALSE(g_MovieSprite->IsEnabled()) << "hidden until played";
  EXPECT_EQ(Call(641, {}), 64u);
  EXPECT_EQ(Call(642, {}), 48u);
  EXPECT_EQ(Call(639, {kMovieRect.left, kMovieRect.top, kMovieRect.right, kMovieRect.bottom}), 0u);
  ASSERT_EQ(Call(635, {}), 0u);
  std::uint32_t first_time = 0;
  ASSERT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    first_time = Call(640, {});
    return first_time > 0 && g_MovieSprite->Control().GetCurrentBuffer() >= 0;
  }));
  ASSERT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    return Call(640, {}) > first_time;
  })) << "the play position grows";
  ASSERT_EQ(screen_->UpdateScreen(), 0u);
  const std::vector<uint32_t> shown = ReadBack("movie_builtins.png");
  EXPECT_GT(LitPixels(shown, kMovieRect), 64 * 48 * 9 / 10) << "the movie's picture fills its place";
  EXPECT_EQ(ColourAt(shown, 5, 5), 0u) << "the frame around it stays black";
  EXPECT_GT(Call(644, {}), 0u) << "the length";
  EXPECT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    return Call(645, {}) == KVX_MOVIE_STOPPED;
  })) << "the end, answered by a draw, stops the movie";
  EXPECT_EQ(Call(633, {}), 0u);
  EXPECT_EQ(g_MovieSprite, nullptr);
}

}  // namespace
