// A generated movie clip plays into a real window (run under Xvfb) through the window movie
// library, its sound going to SDL's disk audio driver: the window read back while it plays shows
// the movie's picture in its display rectangle, the rest of the window stays black, and the
// end reaches the window as the movie notification; a display change shows a paused movie's
// frame again.
#include <gtest/gtest.h>

#include <vector>

#include "platform/system/clock.h"
#include "platform/window/gdi.h"
#include "platform/window/message_queue.h"
#include "platform/window/text_out.h"
#include "scene/movies/dshow_movie.h"
#include "scene/movies/movie_display.h"
#include "scene/movies/movie_open.h"
#include "support/movie_window_fixture.h"

namespace {

constexpr plat::Rect kMovieRect{40, 30, 104, 78};

class MovieWindowGuiTest : public test_support::MovieWindowTest {
 protected:
  // Runs the window thread's messages; true when the movie notification was among them.
  static bool PumpMessages() {
    bool notified = false;
    plat::Message message;
    while (plat::PeekMessage(message, true)) {
      if (message.message == kMovieNotifyMessage) notified = true;
      plat::DispatchMessage(message);
    }
    return notified;
  }
  // Shows the opened movie in its rectangle and plays it until it has reached `position`.
  static bool PlayedUntil(CDShowMovie& movie, int64_t position) {
    if (movie.SetDisplayRect(kMovieRect) != 0 || movie.Play() != 0) return false;
    int64_t reached = 0;
    return WaitFor([&] {
      PumpMessages();
      movie.GetPosition(&reached);
      return reached >= position;
    });
  }
};

TEST_F(MovieWindowGuiTest, AMoviePlaysIntoTheWindowAndItsEndNotifiesTheWindow) {
  test_support::DiskSoundCapture sound(game_.HostPath() + "window_movie_sound.raw");
  ASSERT_TRUE(sound.Open(window_->Id()));
  CDShowMovie movie;
  ASSERT_EQ(movie.Open(window_->Id(), kArchivedClip, nullptr, screen_.get()), kMovieOpened);
  EXPECT_EQ(movie.IsPrimaryMode(), screen_->GetPrimary() != nullptr) << "the primary is lent when there is one";
  ASSERT_TRUE(PlayedUntil(movie, 2'000'000));
  PumpMessages();
  const std::vector<uint32_t> shown = ReadBack("movie_window.png");
  EXPECT_GT(LitPixels(shown, kMovieRect), 64 * 48 * 9 / 10) << "the movie's picture fills its display rectangle";
  EXPECT_EQ(ColourAt(shown, 5, 5), 0u) << "the window around it stays black";
  EXPECT_EQ(ColourAt(shown, kMovieRect.right + 5, kMovieRect.bottom + 5), 0u);
  ASSERT_TRUE(WaitFor([&] { return PumpMessages(); })) << "the end is posted to the window";
  EXPECT_EQ(movie.DrainEvents(), 1);
  EXPECT_EQ(movie.GetEndEvents(), 1);
  // The disk driver takes the mix in real time and may start after a short clip has ended, so
  // the clip is played again at each end until its tone has reached the capture file.
  EXPECT_TRUE(WaitFor([&] {
    PumpMessages();
    if (movie.IsEnded() != 0) {
      EXPECT_EQ(movie.Play(), 0);
    }
    return test_support::LoudSamples(game_.ReadFile("window_movie_sound.raw")) > 1000;
  })) << "the movie's tone reached the sound output";
}

TEST_F(MovieWindowGuiTest, ADisplayChangeShowsAPausedMoviesFrameAgain) {
  test_support::DiskSoundCapture sound(game_.HostPath() + "display_change_sound.raw");
  ASSERT_TRUE(sound.Open(window_->Id()));
  CDShowMovie movie;
  ASSERT_EQ(movie.Open(window_->Id(), kArchivedClip, nullptr, screen_.get()), kMovieOpened);
  ASSERT_TRUE(PlayedUntil(movie, 1'000'000));
  ASSERT_EQ(movie.Pause(), 0);
  // A frame decoded before the pause may still be drawn: the window settles first.
  plat::SleepMilliseconds(200);
  PumpMessages();
  // What the window showed is gone, as a new display mode may leave it.
  plat::DeviceContext* dc = plat::GetDC(window_->Id());
  ASSERT_NE(dc, nullptr);
  plat::FillRect(*dc, kMovieRect, 0);
  plat::ReleaseDC(window_->Id(), dc);
  ASSERT_EQ(LitPixels(ReadBack("movie_window_blank.png"), kMovieRect), 0);
  EXPECT_EQ(movie.NotifyDisplayChange(), 0);
  EXPECT_GT(LitPixels(ReadBack("movie_window_display_change.png"), kMovieRect), 64 * 48 * 9 / 10);
}

}  // namespace
