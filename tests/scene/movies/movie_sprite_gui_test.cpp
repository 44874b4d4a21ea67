// A generated movie clip plays into a real window (run under Xvfb) as a sprite of the frame's
// draw list, its sound going to SDL's disk audio driver: the window read back while it plays
// shows the movie's picture at the sprite's place over the black frame.
#include <gtest/gtest.h>

#include <vector>

#include "scene/drawables/draw_list.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/movie_window_fixture.h"

namespace {

constexpr plat::Rect kMovieRect{40, 30, 104, 78};

using MovieSpriteGuiTest = test_support::MovieWindowTest;

TEST_F(MovieSpriteGuiTest, AMoviePlaysIntoTheWindow) {
  test_support::DiskSoundCapture sound(game_.HostPath() + "movie_sound.raw");
  ASSERT_TRUE(sound.Open(window_->Id()));
  CDShowSprite sprite;
  ASSERT_EQ(sprite.Open(kArchivedClip, kMovieRect.left, kMovieRect.top, nullptr), kMovieOpened);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&sprite, 0, 0), 0u);
  ASSERT_EQ(sprite.Control().Play(), 0);
  // Frames are presented as they come until the movie is half-way through.
  int64_t position = 0;
  ASSERT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    sprite.Control().GetPosition(&position);
    return position >= 2'000'000 && sprite.Control().GetCurrentBuffer() >= 0;
  }));
  ASSERT_EQ(screen_->UpdateScreen(), 0u);
  const std::vector<uint32_t> shown = ReadBack("movie_sprite.png");
  EXPECT_GT(LitPixels(shown, kMovieRect), 64 * 48 * 9 / 10) << "the movie's picture fills its place";
  EXPECT_EQ(ColourAt(shown, 5, 5), 0u) << "the frame around it stays black";
  EXPECT_EQ(ColourAt(shown, kMovieRect.right + 5, kMovieRect.bottom + 5), 0u);
  int32_t state = -1;
  ASSERT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    sprite.Control().GetState(&state);
    return state == KVX_MOVIE_STOPPED;
  })) << "the end, answered by a draw, stops the movie";
  // The disk driver takes the mix in real time and may start after a short clip has ended, so
  // the clip plays on in a loop until its tone has reached the capture file.
  sprite.Control().SetLoop(true);
  ASSERT_EQ(sprite.Control().Play(), 0);
  EXPECT_TRUE(WaitFor([&] {
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    return test_support::LoudSamples(game_.ReadFile("movie_sound.raw")) > 1000;
  })) << "the movie's tone reached the sound output";
}

}  // namespace
