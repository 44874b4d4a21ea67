// The zoom sources, "bg_zoom" with its assist entry and "bg_rot": the areas and views they give,
// the easing, the end at once, pauses, and the failures of their set-up.
#include <gtest/gtest.h>

#include <memory>

#include "effects/background/bg_rot_effect.h"
#include "effects/background/bg_zoom_effect.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/background_canvas.h"

#include "background_effect_fixture.h"

namespace bg_test {
namespace {

void ExpectRect(const ZoomRect& rect, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  EXPECT_EQ(rect.x, x);
  EXPECT_EQ(rect.y, y);
  EXPECT_EQ(rect.width, width);
  EXPECT_EQ(rect.height, height);
}

// The source rectangle the layer's cache shows.
ZoomRect ShownArea(const CDrawLayer& layer) {
  plat::Rect area;
  if (!layer.GetBackgroundArea(&area)) return {};
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

class BgZoomTest : public BackgroundEffectTest {
 protected:
  // A running "bg_zoom" to `zoom` about (80, 60) over 1000 ms, owned by the manager.
  CBgZoomEffect* StartZoom(const char* zoom, const char* acceleration) {
    auto effect = std::make_unique<CBgZoomEffect>();
    EXPECT_EQ(SetUp(*effect, {80, 60, Text(zoom), Text(acceleration), 1000}), CEffect::kRunning);
    return effect.release();
  }
};

TEST_F(BgZoomTest, TheZoomSourceIsCentredAndKeptWithinTheBackground) {
  struct Case {
    std::int32_t background_width, background_height, x, y;
    double zoom;
    ZoomRect expected;
  };
  for (const Case& c : {
           Case{160, 120, 80, 60, 2.0, {60, 45, 40, 30}},
           Case{160, 120, 5, 60, 2.0, {0, 45, 40, 30}},       // near the left edge
           Case{160, 120, 158, 118, 2.0, {120, 90, 40, 30}},  // near the bottom-right corner
           Case{100, 80, 50, 40, 0.5, {0, 0, 100, 80}},       // zoomed out on a small background
           Case{100, 80, 90, 70, 0.5, {0, 0, 100, 80}},
           Case{160, 120, 80, 60, 3.0, {67, 50, 26, 20}},     // sizes truncated
       }) {
    UseBackground(c.background_width, c.background_height);
    ZoomRect rect;
    ASSERT_EQ(ComputeZoomSource(layer_, c.x, c.y, c.zoom, rect), kZoomSourceOk);
    ExpectRect(rect, c.expected.x, c.expected.y, c.expected.width, c.expected.height);
  }
  ZoomRect rect;
  EXPECT_EQ(ComputeZoomSource(nullptr, 0, 0, 1.0, rect), kZoomSourceNoLayer);
  EXPECT_EQ(ComputeZoomSource(layer_, 0, 0, 0.0, rect), kZoomSourceNoLayer);
  layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(ComputeZoomSource(layer_, 0, 0, 1.0, rect), kZoomSourceNoImage);
}

TEST_F(BgZoomTest, TheZoomRotateSourceGivesTheAreaUnturnedAndTheViewTurned) {
  ZoomRect view;
  ASSERT_EQ(ComputeZoomRotateSource(layer_, 80, 60, 2.0, 0.0, view), kZoomSourceOk);
  ExpectRect(view, 40, 30, 80, 60);
  ASSERT_EQ(ComputeZoomRotateSource(layer_, 80, 60, 1.0, 0.25, view), kZoomSourceOk);
  EXPECT_EQ(view.width, -128);
  EXPECT_EQ(view.height, 0);
  // A quarter turn about the anchor (80, 60) from the anchor itself leaves x 0 and y -1.
  EXPECT_EQ(view.x, 0);
  EXPECT_EQ(view.y, -1);
  g_TrigTable = nullptr;
  EXPECT_EQ(ComputeZoomRotateSource(layer_, 80, 60, 1.0, 0.25, view), kZoomSourceNoTrigTables);
  EXPECT_EQ(ComputeZoomRotateSource(layer_, 80, 60, 1.0, 0.0, view), kZoomSourceOk) << "unturned needs no table";
}

TEST_F(BgZoomTest, SetupReadsTheZoomAndRefusesZeroAndMissingPieces) {
  CBgZoomEffect* zoom = StartZoom(nullptr, nullptr);
  std::int32_t x = -1, y = -1, width = -1, height = -1;
  ASSERT_EQ(zoom->GetParam(PluginArgList{reinterpret_cast<std::uintptr_t>(&x), reinterpret_cast<std::uintptr_t>(&y),
                                         reinterpret_cast<std::uintptr_t>(&width),
                                         reinterpret_cast<std::uintptr_t>(&height)}
                               .View()),
            0);
  EXPECT_EQ(x, 40);
  EXPECT_EQ(y, 30);
  EXPECT_EQ(width, 80);
  EXPECT_EQ(height, 60);
  EXPECT_EQ(zoom->GetTypeId(), kTimedTaskBackgroundEffect);

  CBgZoomEffect other;
  EXPECT_EQ(SetUp(other, {80, 60, Text("0"), 0, 1000}), CBgZoomEffect::kSetupBadArguments);
  EXPECT_EQ(other.Setup(nullptr, Part(), PluginArgList{80, 60, 0, 0, 1000}.View()), CBgZoomEffect::kSetupBadArguments);
  EXPECT_EQ(other.Setup(&timers_, nullptr, PluginArgList{80, 60, 0, 0, 1000}.View()), CBgZoomEffect::kSetupBadArguments);
  layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(SetUp(other, {80, 60, Text("2"), 0, 1000}), CBgZoomEffect::kSetupNoSource);
  EXPECT_EQ(timers_.GetCount(), 1u);
}

TEST_F(BgZoomTest, DurationZeroShowsTheEndAreaAtOnce) {
  CBgZoomEffect zoom;
  EXPECT_EQ(SetUp(zoom, {80, 60, Text("2"), 0, 0}), CEffect::kFinishedAtOnce);
  ExpectRect(ShownArea(*layer_), 60, 45, 40, 30);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgZoomTest, TheAccelerationEasesTheGlide) {
  // From (0, 0, 80, 60) to (60, 45, 40, 30); x at 500 ms of 1000 shows how far the glide is.
  struct Case {
    const char* acceleration;
    std::int32_t x_at_half;
  };
  for (const Case& c : {Case{nullptr, 30}, Case{"2", 15}, Case{"-2", 45}}) {
    UseBackground(160, 120);
    clock_.SetMilliseconds(kStart);
    StartZoom("2", c.acceleration);
    RunAt(0);
    ExpectRect(ShownArea(*layer_), 0, 0, 80, 60);
    RunAt(500);
    EXPECT_EQ(ShownArea(*layer_).x, c.x_at_half) << (c.acceleration ? c.acceleration : "linear");
    RunAt(1000);
    ExpectRect(ShownArea(*layer_), 60, 45, 40, 30);
    EXPECT_EQ(timers_.GetCount(), 0u);
  }
}

TEST_F(BgZoomTest, AGlideEasedRightUpToItsEndStaysThereInsteadOfJumpingBack) {
  // At 900 ms of 1000 the eased time is the whole duration; the glide shows its end, not its start.
  StartZoom("2", "-50");
  RunAt(0);
  RunAt(900);
  ExpectRect(ShownArea(*layer_), 60, 45, 40, 30);
}

TEST_F(BgZoomTest, APauseMovesTheWholeGlideOnBySoLong) {
  StartZoom("2", nullptr);
  RunAt(0);
  RunAt(500);
  clock_.SetMilliseconds(kStart + 500);
  timers_.PauseAll(kTimedTaskBackgroundEffect);
  RunAt(700);
  clock_.SetMilliseconds(kStart + 800);
  timers_.ResumeAll(kTimedTaskBackgroundEffect);
  RunAt(800);
  ExpectRect(ShownArea(*layer_), 30, 22, 60, 45);
  RunAt(1299);
  EXPECT_EQ(timers_.GetCount(), 1u);
  RunAt(1300);
  EXPECT_EQ(timers_.GetCount(), 0u);
  ExpectRect(ShownArea(*layer_), 60, 45, 40, 30);
}

TEST_F(BgZoomTest, TheGlideStartsFromTheAreaShownBefore) {
  const plat::Rect shown{20, 10, 100, 70};
  ASSERT_TRUE(layer_->SetBackgroundArea(0, 0, kTargetWidth, kTargetHeight, &shown));
  StartZoom("2", nullptr);
  RunAt(0);
  ExpectRect(ShownArea(*layer_), 20, 10, 80, 60);
  RunAt(500);
  ExpectRect(ShownArea(*layer_), 40, 27, 60, 45);
}

TEST_F(BgZoomTest, TheAssistShowsTheZoomedAreaAtOnceOnACanvasOnly) {
  std::int32_t x = -1, width = -1;
  PluginArgList args{reinterpret_cast<std::uintptr_t>(static_cast<CImageInterface*>(&canvas_)), 80, 60, Text("2"),
                     reinterpret_cast<std::uintptr_t>(&x), 0, reinterpret_cast<std::uintptr_t>(&width), 0};
  const PluginArgs view = args.View();
  EXPECT_EQ(CBgZoomEffect::Assist(&view), 0);
  EXPECT_EQ(x, 60);
  EXPECT_EQ(width, 40);
  ExpectRect(ShownArea(*layer_), 60, 45, 40, 30);

  PluginArgList not_canvas{reinterpret_cast<std::uintptr_t>(static_cast<CImageInterface*>(&background_)), 80, 60, 0};
  const PluginArgs refused = not_canvas.View();
  EXPECT_EQ(CBgZoomEffect::Assist(&refused), -1);
  EXPECT_EQ(CBgZoomEffect::Assist(nullptr), -1);
  EXPECT_EQ(GetCanvasOfPart(GetCanvasPart(&canvas_)), &canvas_);
  EXPECT_EQ(GetCanvasPart(&background_), nullptr);
}

TEST_F(BgZoomTest, TheRotationGlidesFromThePlainPictureToItsEndView) {
  auto rot = std::make_unique<CBgRotEffect>();
  ASSERT_EQ(SetUp(*rot, {20, 10, 128, Text("3"), 0, 1000}), CEffect::kRunning);
  rot.release();
  RunAt(0);
  EXPECT_EQ(layer_->GetRotoZoom().zoom, 0.0) << "the start is the plain picture";
  RunAt(500);
  const CDrawLayer::RotoZoom half = layer_->GetRotoZoom();
  EXPECT_EQ(half.x, 10);
  EXPECT_EQ(half.y, 5);
  EXPECT_EQ(half.angle, 64);
  EXPECT_DOUBLE_EQ(half.zoom, 2.0);
  RunAt(1000);
  EXPECT_EQ(layer_->GetRotoZoom().angle, 128);
  EXPECT_EQ(timers_.GetCount(), 0u);

  // From the view shown now, and at once with duration 0.
  CBgRotEffect at_once;
  EXPECT_EQ(SetUp(at_once, {0, 0, 64, Text("1.5"), 0, 0}), CEffect::kFinishedAtOnce);
  EXPECT_EQ(layer_->GetRotoZoom().angle, 64);
  EXPECT_DOUBLE_EQ(layer_->GetRotoZoom().zoom, 1.5);
  layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(SetUp(at_once, {0, 0, 64, 0, 0, 0}), CBgRotEffect::kSetupNoBackground);
}

}  // namespace
}  // namespace bg_test
