// A generated movie clip plays into a real window (run under Xvfb) through the window movie
// library, its sound going to SDL's disk audio driver: the window read back while it plays shows
// the movie's picture in its display rectangle, the rest of the window stays black, and the
// end reaches the window as the movie notification.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "gfx/direct_draw_device.h"
#include "gfx/image_canvas.h"
#include "gfx/screen_manager.h"
#include "pixel/pixel_tables.h"
#include "platform/message_queue.h"
#include "scene/draw_layer_factory.h"
#include "scene/dshow_movie.h"
#include "scene/movie_display.h"
#include "scene/movie_open.h"
#include "sound/sound_output.h"
#include "support/movie_clip_fixture.h"
#include "support/png_file.h"
#include "support/scoped_environment.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr plat::Rect kMovieRect{40, 30, 104, 78};

class MovieWindowGuiTest : public test_support::MovieClipTest {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "x11", 1); }

  void SetUp() override {
    MovieClipTest::SetUp();
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    window_ = OpenTestWindow("window movie test", 20, 20, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
    screen_ = std::make_unique<CScreenManager>();
    screen_->SetFrameImage(&frame_);
    ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
    ASSERT_EQ(screen_->UpdateScreen(), 0u);
  }
  void TearDown() override {
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
    g_DrawLayerFactory = nullptr;
    MovieClipTest::TearDown();
  }

  // Runs the window thread's messages; true when the movie notification was among them.
  bool PumpMessages() {
    bool notified = false;
    plat::Message message;
    while (plat::PeekMessage(message, true)) {
      if (message.message == kMovieNotifyMessage) notified = true;
      plat::DispatchMessage(message);
    }
    return notified;
  }

  CDrawLayerFactory factory_;
  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  std::unique_ptr<CScreenManager> screen_;
};

TEST_F(MovieWindowGuiTest, AMoviePlaysIntoTheWindowAndItsEndNotifiesTheWindow) {
  const std::string capture = game_.HostPath() + "window_movie_sound.raw";
  ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
  ScopedEnvironment file("SDL_DISKAUDIOFILE", capture.c_str());
  CSoundDevice* saved_device = g_SoundBufferDevice;
  CSoundOutput output;
  ASSERT_EQ(output.Create(window_->Id(), false, false, nullptr), CSoundDevice::kCreated);
  g_SoundBufferDevice = &output;
  {
    CDShowMovie movie;
    ASSERT_EQ(movie.Open(window_->Id(), kArchivedClip, nullptr, screen_.get()), kMovieOpened);
    EXPECT_EQ(movie.IsPrimaryMode(), screen_->GetPrimary() != nullptr) << "the primary is lent when there is one";
    ASSERT_EQ(movie.SetDisplayRect(kMovieRect), 0);
    ASSERT_EQ(movie.Play(), 0);
    int64_t position = 0;
    ASSERT_TRUE(WaitFor([&] {
      PumpMessages();
      movie.GetPosition(&position);
      return position >= 2'000'000;
    }));
    PumpMessages();
    const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
    EXPECT_TRUE(WritePng("movie_window.png", shown, kWidth, kHeight));
    int lit = 0;
    for (int32_t y = kMovieRect.top; y < kMovieRect.bottom; ++y) {
      for (int32_t x = kMovieRect.left; x < kMovieRect.right; ++x) {
        if ((shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF) != 0) ++lit;
      }
    }
    EXPECT_GT(lit, 64 * 48 * 9 / 10) << "the movie's picture fills its display rectangle";
    EXPECT_EQ(shown[static_cast<size_t>(5 * kWidth + 5)] & 0xFFFFFF, 0u) << "the window around it stays black";
    EXPECT_EQ(shown[static_cast<size_t>((kMovieRect.bottom + 5) * kWidth + kMovieRect.right + 5)] & 0xFFFFFF, 0u);
    ASSERT_TRUE(WaitFor([&] { return PumpMessages(); })) << "the end is posted to the window";
    EXPECT_EQ(movie.DrainEvents(), 1);
    EXPECT_EQ(movie.GetEndEvents(), 1);
    // The disk driver takes the mix in real time and may start after a short clip has ended, so
    // the clip is played again at each end until its tone has reached the capture file.
    EXPECT_TRUE(WaitFor([&] {
      PumpMessages();
      if (movie.IsEnded() != 0) EXPECT_EQ(movie.Play(), 0);
      return test_support::LoudSamples(game_.ReadFile("window_movie_sound.raw")) > 1000;
    })) << "the movie's tone reached the sound output";
  }
  output.Release();
  g_SoundBufferDevice = saved_device;
}

}  // namespace
