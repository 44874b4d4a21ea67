// The movie libraries play a generated clip (64 × 48, ten pictures and a tone) through the
// wrappers, from a loose file and from an archive entry: the pictures reach both frame buffers
// on the decoding thread, the position runs, the end is reported, and the wrappers' end handling
// stops the movie or plays it again from the start.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "gfx/display/movie_surface.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "scene/movies/dshow_prim.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/fake_sound_system.h"
#include "support/movie_clip_fixture.h"
#include "support/sound_pump.h"
#include "support/sprite_device_screen.h"

namespace {

class MoviePlaybackTest : public test_support::MovieClipTest, public ::testing::WithParamInterface<const char*> {
 protected:
  test_support::FakeSoundSystem sound_;
  // The movie keeps to its sound, which must play.
  test_support::SoundPump pump_{sound_.backend.last_device};
};

// Plays until the end is reported, noting which buffers held the newest frame and the positions.
void PlayToTheEnd(CMovieControl& control, std::set<int32_t>& buffers, int64_t& first, int64_t& last) {
  ASSERT_EQ(control.Play(), 0);
  first = -1;
  ASSERT_TRUE(test_support::MovieClipTest::WaitFor([&] {
    int64_t position = 0;
    EXPECT_EQ(control.GetPosition(&position), 0);
    if (first < 0) first = position;
    last = position;
    buffers.insert(control.GetCurrentBuffer());
    return control.IsEnded();
  })) << "the end is never reported";
  int64_t position = 0;
  control.GetPosition(&position);
  last = position;
}

TEST_P(MoviePlaybackTest, TheClipPlaysThroughBothBuffersToItsEndAndTheEndStopsOrLoopsIt) {
  CDShowSprite sprite;
  ASSERT_EQ(sprite.Open(GetParam(), 10, 20, nullptr), kMovieOpened);
  EXPECT_EQ(sprite.GetMovieWidth(), 64);
  EXPECT_EQ(sprite.GetMovieHeight(), 48);
  EXPECT_EQ(sprite.GetWidth(), 64);
  EXPECT_EQ(sprite.GetHeight(), 48);
  EXPECT_EQ(sprite.GetX(), 10);
  int64_t duration = 0;
  ASSERT_EQ(sprite.Control().GetDuration(&duration), 0);
  EXPECT_EQ(duration, 4'000'000) << "ten pictures at 25 a second, in 100-ns units";

  std::set<int32_t> buffers;
  int64_t first = 0;
  int64_t last = 0;
  PlayToTheEnd(sprite.Control(), buffers, first, last);
  EXPECT_TRUE(buffers.count(0) == 1 && buffers.count(1) == 1) << "frames go to both buffers in turn";
  EXPECT_GT(last, first);
  EXPECT_EQ(last, duration) << "the position stays at the end";

  CImage target;
  ASSERT_EQ(target.Create(100, 80, 32, 0), 0u);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  const uint32_t pixel = target.GetPixel(10 + 32, 20 + 24) & 0xFFFFFF;
  EXPECT_NE(pixel, 0u) << "the last picture is drawn at the sprite's place";
  EXPECT_EQ(target.GetPixel(5, 5) & 0xFFFFFF, 0u) << "nothing is drawn outside it";
  int32_t state = -1;
  ASSERT_EQ(sprite.Control().GetState(&state), 0);
  EXPECT_EQ(state, KVX_MOVIE_STOPPED) << "without the loop flag the end stops the movie";
  EXPECT_FALSE(sprite.Control().IsEnded());
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u) << "a draw before the end clears the end mark";

  sprite.Control().SetLoop(true);
  PlayToTheEnd(sprite.Control(), buffers, first, last);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  ASSERT_EQ(sprite.Control().GetState(&state), 0);
  EXPECT_EQ(state, KVX_MOVIE_RUNNING) << "with the loop flag the end plays it again";
  int64_t position = -1;
  ASSERT_EQ(sprite.Control().GetPosition(&position), 0);
  EXPECT_LT(position, duration) << "from the start";
  EXPECT_FALSE(sprite.Control().IsEnded());
}

INSTANTIATE_TEST_SUITE_P(LooseAndArchived, MoviePlaybackTest,
                         ::testing::Values(test_support::MovieClipTest::kLooseClip,
                                           test_support::MovieClipTest::kArchivedClip));

using MovieSeekTest = MoviePlaybackTest;

TEST_F(MovieSeekTest, ASeekMovesThePositionAndOneOutsideTheMovieIsRefused) {
  CDShowSprite sprite;
  ASSERT_EQ(sprite.Open(kArchivedClip, 0, 0, nullptr), kMovieOpened);
  CMovieControl& control = sprite.Control();
  EXPECT_EQ(control.Seek(2'000'000), 0);
  int64_t position = 0;
  ASSERT_EQ(control.GetPosition(&position), 0);
  EXPECT_EQ(position, 2'000'000);
  EXPECT_EQ(control.Seek(-1), 1);
  EXPECT_EQ(control.Seek(40'000'000), 1);
  int32_t state = -1;
  ASSERT_EQ(control.GetState(&state), 0);
  EXPECT_EQ(state, KVX_MOVIE_PAUSED);
  EXPECT_EQ(control.SetRate(1.0), 0);
  EXPECT_NE(control.SetRate2(2.0), 0) << "the movie keeps its own pace";
  ASSERT_EQ(control.Play(), 0);
  ASSERT_TRUE(WaitFor([&] { return control.IsEnded(); }));
}

TEST_F(MovieSeekTest, APrimitiveDecodesIntoTheScreensMovieSurfaces) {
  SpriteDeviceScreen device;
  CDShowPrim prim;
  ASSERT_EQ(prim.Open(&device.Screen(), kArchivedClip, 4, 6, nullptr), kMovieOpened);
  EXPECT_EQ(prim.GetMovieWidth(), 64);
  EXPECT_EQ(prim.GetMovieHeight(), 48);
  plat::Rect bounds{};
  ASSERT_TRUE(prim.GetBounds(&bounds));
  EXPECT_TRUE(bounds.left == 4 && bounds.top == 6 && bounds.right == 68 && bounds.bottom == 54);
  std::set<int32_t> buffers;
  int64_t first = 0;
  int64_t last = 0;
  PlayToTheEnd(prim.Control(), buffers, first, last);
  EXPECT_TRUE(buffers.count(0) == 1 && buffers.count(1) == 1);
  EXPECT_EQ(prim.Render(nullptr, nullptr, &device.Screen()), 1u);
  prim.Reset();
  EXPECT_FALSE(prim.Control().IsOpen());
}

}  // namespace

namespace {

enum class SurfacesEnd { kDeletedById, kAllDeleted, kScreenEnded };

// Whatever deletes the screen's objects while a primitive plays lets the movie go first: the
// decoding stops before its surfaces' memory goes, and the primitive draws nothing afterwards.
TEST_F(MovieSeekTest, DeletingTheScreensObjectsWhileAPrimitivePlaysStopsItFirst) {
  for (const SurfacesEnd end : {SurfacesEnd::kDeletedById, SurfacesEnd::kAllDeleted, SurfacesEnd::kScreenEnded}) {
    SCOPED_TRACE(static_cast<int>(end));
    auto device = std::make_unique<SpriteDeviceScreen>();
    CDShowPrim prim;
    ASSERT_EQ(prim.Open(&device->Screen(), kLooseClip, 0, 0, nullptr), kMovieOpened);
    prim.Control().SetLoop(true);
    ASSERT_EQ(prim.Control().Play(), 0);
    ASSERT_TRUE(WaitFor([&] { return prim.Control().GetCurrentBuffer() >= 0; }));
    switch (end) {
      case SurfacesEnd::kDeletedById:
        device->Screen().DeleteObjectsById(0, CScreenManager::kDeleteSurfaceObjectsToo);
        break;
      case SurfacesEnd::kAllDeleted:
        device->Screen().DestroyObjects();
        break;
      case SurfacesEnd::kScreenEnded:
        device.reset();
        break;
    }
    EXPECT_FALSE(prim.Control().IsOpen());
    plat::Rect bounds{};
    EXPECT_FALSE(prim.GetBounds(&bounds)) << "nothing is left to draw";
    prim.Reset();
  }
}

}  // namespace
