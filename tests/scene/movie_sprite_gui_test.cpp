// A generated movie clip plays into a real window (run under Xvfb) as a sprite of the frame's
// draw list, its sound going to SDL's disk audio driver: the window read back while it plays
// shows the movie's picture at the sprite's place over the black frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "gfx/direct_draw_device.h"
#include "gfx/image_canvas.h"
#include "gfx/screen_manager.h"
#include "pixel/pixel_tables.h"
#include "scene/draw_layer.h"
#include "scene/draw_layer_factory.h"
#include "scene/dshow_sprite.h"
#include "scene/movie_open.h"
#include "sound/sound_output.h"
#include "support/movie_clip_fixture.h"
#include "support/png_file.h"
#include "support/scoped_environment.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr int32_t kMovieX = 40;
constexpr int32_t kMovieY = 30;

class MovieSpriteGuiTest : public test_support::MovieClipTest {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "x11", 1); }

  void SetUp() override {
    MovieClipTest::SetUp();
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    window_ = OpenTestWindow("movie test", 20, 20, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
    screen_ = std::make_unique<CScreenManager>();
    screen_->SetFrameImage(&frame_);
    ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  }
  void TearDown() override {
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
    g_DrawLayerFactory = nullptr;
    MovieClipTest::TearDown();
  }

  CDrawLayerFactory factory_;
  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  std::unique_ptr<CScreenManager> screen_;
};

TEST_F(MovieSpriteGuiTest, AMoviePlaysIntoTheWindow) {
  const std::string capture = game_.HostPath() + "movie_sound.raw";
  ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
  ScopedEnvironment file("SDL_DISKAUDIOFILE", capture.c_str());
  CSoundDevice* saved_device = g_SoundBufferDevice;
  CSoundOutput output;
  ASSERT_EQ(output.Create(window_->Id(), false, false, nullptr), CSoundDevice::kCreated);
  g_SoundBufferDevice = &output;
  {
    CDShowSprite sprite;
    ASSERT_EQ(sprite.Open(kArchivedClip, kMovieX, kMovieY, nullptr), kMovieOpened);
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
    const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
    EXPECT_TRUE(WritePng("movie_sprite.png", shown, kWidth, kHeight));
    int lit = 0;
    for (int32_t y = kMovieY; y < kMovieY + 48; ++y) {
      for (int32_t x = kMovieX; x < kMovieX + 64; ++x) {
        if ((shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF) != 0) ++lit;
      }
    }
    EXPECT_GT(lit, 64 * 48 * 9 / 10) << "the movie's picture fills its place";
    EXPECT_EQ(shown[static_cast<size_t>(5 * kWidth + 5)] & 0xFFFFFF, 0u) << "the frame around it stays black";
    EXPECT_EQ(shown[static_cast<size_t>((kMovieY + 48 + 5) * kWidth + kMovieX + 70)] & 0xFFFFFF, 0u);
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
  output.Release();
  g_SoundBufferDevice = saved_device;
}

}  // namespace
