// "bg_blur": its path text, the steps it draws into the cache (zooming, turning, along a straight
// or spline path), the trail's first 16 ms, mirrors, direct drawing, the kept end view, the assist
// entry and the failures of its set-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "effects/background/bg_blur_effect.h"
#include "effects/background/blur_path.h"

#include "background_effect_fixture.h"

namespace bg_test {
namespace {

constexpr std::uint32_t kMarker = 0xFF123456;

// Whether `pixel` names a place within one pixel of (x, y).
::testing::AssertionResult IsNear(std::uint32_t pixel, std::int32_t x, std::int32_t y) {
  if (std::abs(XOf(pixel) - x) <= 1 && std::abs(YOf(pixel) - y) <= 1) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "shows (" << XOf(pixel) << ", " << YOf(pixel) << "), not (" << x << ", " << y
                                       << ")";
}

class BgBlurTest : public BackgroundEffectTest {
 protected:
  // The start-to-end form about (40, 30) over 1000 ms, then `rest` of the common arguments after
  // the level.
  static PluginArgList Zooming(const char* start_zoom, const char* start_angle, const char* end_zoom,
                               const char* end_angle, std::uint32_t level, std::uint32_t direct = 0,
                               std::uint32_t keep_end_view = 0, std::uint32_t mirror = 0) {
    return {0,     40, 30, Text(start_zoom), Text(start_angle), Text(end_zoom), Text(end_angle), 1000, level, 0, 0,
            mirror, 0, direct, 0, 0, keep_end_view};
  }
  static PluginArgList Path(const char* text, std::uint32_t spline, std::uint32_t duration) {
    return {Text(text), spline, duration, 255, 0, 0, 0, 0, 0, 0, 0, 0};
  }
  CBgBlurEffect* Start(const PluginArgList& args) {
    clock_.SetMilliseconds(kStart);
    auto effect = std::make_unique<CBgBlurEffect>();
    EXPECT_EQ(SetUp(*effect, args), CEffect::kRunning);
    return effect.release();
  }
  std::uint32_t CachePixel(std::int32_t x, std::int32_t y) { return PixelAt(Cache(), x, y); }
  void MarkCache() { ASSERT_TRUE(Cache().FillRectArgb(kMarker, nullptr)); }
};

TEST(BlurPathTest, PointsAreReadWithTheirZoomOrOne) {
  std::vector<BlurPoint> points;
  ASSERT_EQ(ParseBlurPath("(10,20)(30 40)", points), 2);
  EXPECT_EQ(points[0].x, 10.0);
  EXPECT_EQ(points[1].y, 40.0);
  EXPECT_EQ(points[0].zoom, 1.0);
  EXPECT_EQ(points[1].zoom, 1.0);
  ASSERT_EQ(ParseBlurPath("( 0x10, -0b11, 1.5 ) (-7,\t8,2)", points), 2);
  EXPECT_EQ(points[0].x, 16.0);
  EXPECT_EQ(points[0].y, -3.0);
  EXPECT_EQ(points[0].zoom, 1.5);
  EXPECT_EQ(points[1].zoom, 2.0);
  EXPECT_EQ(ParseBlurPath(nullptr, points), kBlurPathNoText);
  EXPECT_EQ(ParseBlurPath("", points), kBlurPathTooShort);
  EXPECT_EQ(ParseBlurPath("(1,2,3)", points), kBlurPathTooShort);
  EXPECT_EQ(ParseBlurPath("(1,2,3)(4,x)", points), kBlurPathTooShort);
  EXPECT_EQ(ParseBlurPath("(1,2,123456789012345678901234567890123)(4,5)", points), kBlurPathTooShort);
  EXPECT_EQ(points.size(), 2u) << "a refused text leaves the points";
  ASSERT_EQ(ParseBlurPath("(5,6,2)", points, 1), 1) << "a view at a path's end needs one point";
  EXPECT_EQ(points[0].zoom, 2.0);
  EXPECT_EQ(ParseBlurPath("", points, 1), kBlurPathTooShort);
  EXPECT_EQ(ParseBlurPath("", points, 0), kBlurPathTooShort) << "never less than one";
}

TEST_F(BgBlurTest, SetupRefusesWhatItCannotDraw) {
  CBgBlurEffect blur;
  EXPECT_EQ(blur.Setup(nullptr, Part(), Zooming("1", "0", "2", "0", 255).View()), CBgBlurEffect::kSetupNoLayer);
  EXPECT_EQ(SetUp(blur, Path("(1,2,3)", 0, 1000)), CBgBlurEffect::kSetupBadPath);
  PluginArgList with_file{0, 40, 30, 0, 0, 0, 0, 1000, 255, 0, Text("NOPE.ELG"), 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(SetUp(blur, with_file), CBgBlurEffect::kSetupNoPicture);
  layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(SetUp(blur, Zooming("1", "0", "2", "0", 255)), CBgBlurEffect::kSetupNoBackground);
  EXPECT_EQ(layer_->GetBackgroundCache(), nullptr);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgBlurTest, TheZoomingStepKeepsTheCentreInPlace) {
  // No table of cosines is needed without a turn.
  g_TrigTable = nullptr;
  Start(Zooming("1", nullptr, "3", nullptr, 255));
  EXPECT_EQ(CachePixel(0, 0), Placed(0, 0));
  RunAt(0);
  RunAt(500);
  EXPECT_TRUE(IsNear(CachePixel(40, 30), 40, 30));
  EXPECT_TRUE(IsNear(CachePixel(0, 0), 20, 15)) << "zoom 2 about (40, 30)";
  RunAt(1000);
  EXPECT_EQ(layer_->GetBackgroundCache(), nullptr) << "the end drops the cache";
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgBlurTest, TheTurningStepTurnsAboutTheCentre) {
  // A quarter turn at the end; half way an eighth.
  Start(Zooming("1", nullptr, "1", "0.25", 255));
  RunAt(0);
  RunAt(1000 - 1);
  EXPECT_TRUE(IsNear(CachePixel(40, 30), 40, 30));
  // A quarter turn the other way round: the pixel 10 right of the centre shows the one 10 above
  // or below it.
  const std::uint32_t right = CachePixel(50, 30);
  EXPECT_TRUE(IsNear(right, 40, 20) || IsNear(right, 40, 40));
}

TEST_F(BgBlurTest, BelowLevel255TheFirst16MsAreNotDrawn) {
  for (const std::uint32_t level : {255u, 128u}) {
    Start(Zooming("1", nullptr, "2", nullptr, level));
    MarkCache();
    RunAt(0);
    RunAt(8);
    EXPECT_EQ(CachePixel(0, 0) == kMarker, level != 255) << level;
    RunAt(20);
    EXPECT_NE(CachePixel(0, 0), kMarker) << level;
    timers_.RemoveAll();
    layer_->ReleaseBackgroundCache();
  }
}

TEST_F(BgBlurTest, ATrailThatStartsAwayFromTheBackgroundStartsFromItsFirstPictureDrawnWhole) {
  Start(Zooming("2", nullptr, "2", nullptr, 128));
  EXPECT_TRUE(IsNear(CachePixel(0, 0), 20, 15));
  EXPECT_TRUE(IsNear(CachePixel(79, 59), 60, 45));
}

TEST_F(BgBlurTest, AnUnchangedAngleAndZoomDrawNothing) {
  Start(Zooming("1.5", "0.125", "1.5", "0.125", 255));
  MarkCache();
  RunAt(0);
  RunAt(500);
  EXPECT_EQ(CachePixel(10, 10), kMarker);
}

TEST_F(BgBlurTest, TheSplinePassesThroughEveryPointOfThePath) {
  // Zoom 2 everywhere: each point of the path is the place the zoom keeps still.
  const std::int32_t xs[] = {10, 40, 20, 60};
  const std::int32_t ys[] = {10, 20, 50, 40};
  Start(Path("(10,10,2)(40,20,2)(20,50,2)(60,40,2)", 1, 3000));
  RunAt(0);
  EXPECT_TRUE(IsNear(CachePixel(xs[0], ys[0]), xs[0], ys[0]));
  for (int point = 1; point < 3; ++point) {
    RunAt(1000u * point);
    EXPECT_TRUE(IsNear(CachePixel(xs[point], ys[point]), xs[point], ys[point])) << point;
  }
  RunAt(2999);
  EXPECT_TRUE(IsNear(CachePixel(xs[3], ys[3]), xs[3], ys[3]));
}

TEST_F(BgBlurTest, AMirrorWorksOnACopyAndLeavesTheBackground) {
  Start(Zooming("1", nullptr, "2", nullptr, 255, 0, 0, 1));
  EXPECT_EQ(CachePixel(0, 0), Placed(159, 0));
  EXPECT_EQ(PixelAt(background_, 0, 0), Placed(0, 0));
}

TEST_F(BgBlurTest, DirectDrawingDrawsIntoTheBackgroundItself) {
  Start(Zooming("1", nullptr, "2", nullptr, 255, 1));
  EXPECT_EQ(layer_->GetBackgroundCache(), nullptr);
  RunAt(0);
  RunAt(500);
  EXPECT_TRUE(IsNear(PixelAt(background_, 0, 0), 13, 10)) << "zoom 1.5 about (40, 30)";
  RunAt(1000);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgBlurTest, TheKeptEndViewIsTheLayersOwnAreaAfterTheEnd) {
  Start(Zooming("1", nullptr, "2", nullptr, 255, 0, 1));
  RunAt(0);
  RunAt(1000);
  plat::Rect area;
  ASSERT_TRUE(layer_->GetBackgroundArea(&area));
  EXPECT_EQ(area.left, 20);
  EXPECT_EQ(area.top, 15);
  EXPECT_EQ(area.right, 20 + 80);
  EXPECT_EQ(area.bottom, 15 + 60);
}

TEST_F(BgBlurTest, TheAssistShowsTheViewAtOnce) {
  std::int32_t x = -1, y = -1, width = -1, height = -1;
  const auto args = [&](CImageInterface* object, double zoom, double angle) {
    return PluginArgList{reinterpret_cast<std::uintptr_t>(object),
                         40,
                         30,
                         DoubleWord(zoom),
                         DoubleWord(angle),
                         reinterpret_cast<std::uintptr_t>(&x),
                         reinterpret_cast<std::uintptr_t>(&y),
                         reinterpret_cast<std::uintptr_t>(&width),
                         reinterpret_cast<std::uintptr_t>(&height)};
  };
  const PluginArgList unturned = args(&canvas_, 2.0, 0.0);
  PluginArgs view = unturned.View();
  EXPECT_EQ(CBgBlurEffect::Assist(&view), 0);
  EXPECT_EQ(x, 20);
  EXPECT_EQ(width, 80);
  plat::Rect area;
  ASSERT_TRUE(layer_->GetBackgroundArea(&area));
  EXPECT_EQ(area.left, 20);

  const PluginArgList turned = args(&canvas_, 1.0, 0.25);
  view = turned.View();
  EXPECT_EQ(CBgBlurEffect::Assist(&view), 0);
  EXPECT_EQ(width, -128);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(layer_->GetRotoZoom().angle, -128);

  const PluginArgList tiny = args(&canvas_, 1000.0, 0.0);
  view = tiny.View();
  EXPECT_EQ(CBgBlurEffect::Assist(&view), 4) << "a view with no size";
  const PluginArgList no_canvas = args(&background_, 1.0, 0.0);
  view = no_canvas.View();
  EXPECT_EQ(CBgBlurEffect::Assist(&view), -1);
}

}  // namespace
}  // namespace bg_test
