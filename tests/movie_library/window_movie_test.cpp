// The window movie library plays the generated clip through CDShowMovie, from a loose file and
// from an archive entry: the size and the display rectangle at open, play, position and stop
// through the movie object's table, the end event read exactly once, and the newest frame
// repainted into a device context. Without a library or a file the open statuses tell why.
#include <gtest/gtest.h>

#include "platform/window/gdi.h"
#include "scene/movies/dshow_library.h"
#include "scene/movies/dshow_movie.h"
#include "scene/movies/movie_open.h"
#include "support/fake_sound_system.h"
#include "support/movie_clip_fixture.h"
#include "support/sound_pump.h"

namespace {

class WindowMovieTest : public test_support::MovieClipTest, public ::testing::WithParamInterface<const char*> {
 protected:
  test_support::FakeSoundSystem sound_;
  // The movie keeps to its sound, which must play.
  test_support::SoundPump pump_{sound_.backend.last_device};
};

// How many pixels of the bitmap are not black.
int LitPixels(plat::DibSection& bitmap) {
  const plat::PixelView view = bitmap.View();
  int lit = 0;
  for (int32_t y = 0; y < view.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(view.Row(y));
    for (int32_t x = 0; x < view.width; ++x) lit += (row[x] & 0xFFFFFF) != 0 ? 1 : 0;
  }
  return lit;
}

TEST_P(WindowMovieTest, TheClipPlaysToItsEndWhoseEventIsReadOnce) {
  CDShowMovie movie;
  ASSERT_EQ(movie.Open(0, GetParam(), nullptr, nullptr), kMovieOpened);
  EXPECT_EQ(movie.GetMovieWidth(), 64);
  EXPECT_EQ(movie.GetMovieHeight(), 48);
  const plat::Rect& rect = movie.GetDisplayRect();
  EXPECT_TRUE(rect.left == 0 && rect.top == 0 && rect.right == 64 && rect.bottom == 48);
  EXPECT_FALSE(movie.IsPrimaryMode()) << "no screen, no primary surface";
  EXPECT_TRUE(movie.DrawsIntoWindow());
  EXPECT_EQ(movie.DrainEvents(), 0);
  int64_t duration = 0;
  ASSERT_EQ(movie.GetDuration(&duration), 0);
  EXPECT_EQ(duration, 4'000'000);

  ASSERT_EQ(movie.Play(), 0);
  int32_t state = -1;
  ASSERT_EQ(movie.GetState(&state), 0);
  EXPECT_EQ(state, KVX_MOVIE_RUNNING);
  ASSERT_TRUE(WaitFor([&] { return movie.IsEnded() != 0; })) << "the end is never reported";
  int64_t position = 0;
  ASSERT_EQ(movie.GetPosition(&position), 0);
  EXPECT_EQ(position, duration);
  ASSERT_TRUE(WaitFor([&] { return movie.DrainEvents() == 1; })) << "the end event is queued";
  EXPECT_EQ(movie.DrainEvents(), 0) << "each event is read once";
  EXPECT_EQ(movie.GetEndEvents(), 1);

  plat::BitmapInfo info;
  info.header = plat::BitmapInfoHeader{64, -48, 32, plat::BI_RGB};
  std::unique_ptr<plat::DibSection> bitmap = plat::DibSection::Create(info);
  ASSERT_NE(bitmap, nullptr);
  std::unique_ptr<plat::DeviceContext> dc = plat::DeviceContext::CreateMemory();
  dc->SelectObject(bitmap.get());
  ASSERT_EQ(movie.Repaint(dc.get()), 0);
  EXPECT_GT(LitPixels(*bitmap), 64 * 48 * 9 / 10) << "the last picture is repainted";

  ASSERT_EQ(movie.Stop(), 0);
  ASSERT_EQ(movie.GetState(&state), 0);
  EXPECT_EQ(state, KVX_MOVIE_STOPPED);
  ASSERT_EQ(movie.GetPosition(&position), 0);
  EXPECT_EQ(position, 0);
  ASSERT_EQ(movie.Seek(2'000'000), 0);
  ASSERT_EQ(movie.GetPosition(&position), 0);
  EXPECT_EQ(position, 2'000'000);
  EXPECT_EQ(movie.SetVolume(128), 0);
  EXPECT_EQ(movie.SetRate(2.0), 1) << "the movie keeps its own pace";
  EXPECT_EQ(movie.DrainEvents(), 0);
}

// The end event of a looping movie, read by the window, starts it over; once the flag is
// cleared, the next end stays.
TEST_P(WindowMovieTest, ALoopingClipPlaysAgainWhenItsEndIsRead) {
  CDShowMovie movie;
  ASSERT_EQ(movie.Open(0, GetParam(), nullptr, nullptr), kMovieOpened);
  movie.SetLoop(true);
  ASSERT_EQ(movie.Play(), 0);
  for (int end = 1; end <= 2; ++end) {
    SCOPED_TRACE(end);
    ASSERT_TRUE(WaitFor([&] { return movie.DrainEvents() == 1; })) << "the end event is queued";
    EXPECT_EQ(movie.GetEndEvents(), end);
    EXPECT_EQ(movie.IsEnded(), 0) << "started over";
    int32_t state = -1;
    ASSERT_EQ(movie.GetState(&state), 0);
    EXPECT_EQ(state, KVX_MOVIE_RUNNING);
  }
  movie.SetLoop(false);
  ASSERT_TRUE(WaitFor([&] { return movie.DrainEvents() == 1; }));
  EXPECT_NE(movie.IsEnded(), 0) << "the last end stays";
  EXPECT_EQ(movie.GetEndEvents(), 3);
}

INSTANTIATE_TEST_SUITE_P(LooseAndArchived, WindowMovieTest,
                         ::testing::Values(test_support::MovieClipTest::kLooseClip,
                                           test_support::MovieClipTest::kArchivedClip));

class WindowMovieOpenTest : public test_support::MovieClipTest {};

TEST_F(WindowMovieOpenTest, OpenStatusesNameWhatIsMissing) {
  CDShowMovie movie;
  EXPECT_EQ(movie.Open(0, nullptr, nullptr, nullptr), kMovieBadArguments);
  EXPECT_EQ(movie.Open(0, "NOWHERE.AVI", nullptr, nullptr), kMovieNotFound);
  g_DShowMovieLib = nullptr;
  EXPECT_EQ(movie.Open(0, kLooseClip, nullptr, nullptr), kMovieNoLibrary);
  EXPECT_FALSE(movie.IsOpen());
}

TEST(WindowMovieWithoutObjectTest, CommandsGiveMinusOneAndQueriesZero) {
  CDShowMovie movie;
  int64_t units = 5;
  int32_t state = 5;
  EXPECT_EQ(movie.Play(), -1);
  EXPECT_EQ(movie.Pause(), -1);
  EXPECT_EQ(movie.Restart(), -1);
  EXPECT_EQ(movie.Stop(), -1);
  EXPECT_EQ(movie.Seek(1), -1);
  EXPECT_EQ(movie.GetState(&state), -1);
  EXPECT_EQ(movie.SetVolume(0), -1);
  EXPECT_EQ(movie.GetVolume(), 0);
  EXPECT_EQ(movie.Repaint(nullptr), -1);
  EXPECT_EQ(movie.GetPosition(&units), 0);
  EXPECT_EQ(movie.GetDuration(&units), 0);
  EXPECT_FALSE(movie.DrawsIntoWindow());
  EXPECT_EQ(movie.DrainEvents(), 0);
}

}  // namespace
