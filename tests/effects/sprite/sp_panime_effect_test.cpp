// The key-frame player through "sp_panime": its easings, swings, timing at any frame rate and
// across pauses, looping, the priority commands; the effect's set-up results, GetParam and its
// assist function; and "bg_panime" moving a layer's view.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "effects/background/bg_panime_effect.h"
#include "effects/sprite/sp_panime_effect.h"
#include "gfx/display/image_canvas.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/motions/motion_path_text.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"

namespace {

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

std::int32_t CallAssist(ObjectAssistFunc assist, const PluginArgList& list) {
  const PluginArgs args = list.View();
  return assist(&args);
}

std::uint32_t PixelAt(const CImage& image, std::int32_t x, std::int32_t y) {
  return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
}

// A 100 x 50 sprite at (0, 0) on an 800 x 600 page.
class SpPanimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(page_.Create(800, 600, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&page_, false), 0u);
    ASSERT_EQ(picture_.Create(100, 50, 32, 0), 0u);
    ASSERT_EQ(sprite_.SetImage(&picture_, nullptr, 0, 0), 0u);
    ASSERT_EQ(layer_.GetOwnList().Insert(&sprite_, 50, 0), 0u);
    g_TrigTable = &trig_;
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_TrigTable = nullptr;
  }

  // Starts "sp_panime" on the sprite at 1000 ms: its Setup result.
  std::int32_t Start(const char* path, std::uint32_t duration = 1000, bool loop = false, CSprite* sprite = nullptr) {
    const std::int32_t result = SetUpOnly(path, duration, loop, sprite);
    if (result == CEffect::kRunning) timers_.Dispatch(1000);
    return result;
  }
  std::int32_t SetUpOnly(const char* path, std::uint32_t duration = 1000, bool loop = false, CSprite* sprite = nullptr) {
    effect_ = new CSpPanimeEffect;
    effect_->SetOwnerReference(&effect_);
    const std::int32_t result =
        effect_->Setup(&timers_, nullptr, PluginArgList{Word(sprite != nullptr ? sprite : &sprite_), Word(path), duration, loop, 0}.View());
    if (result != CEffect::kRunning) delete effect_;
    return result;
  }
  int32_t XAt(std::uint32_t now) {
    timers_.Dispatch(now);
    return sprite_.GetX();
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CImage page_;
  CImage picture_;
  CDrawLayer layer_;
  CSprite sprite_;
  CTimerManager timers_;
  CSpPanimeEffect* effect_ = nullptr;
};

TEST_F(SpPanimeTest, TheEasingsFollowTheirPowersAndTheCosineTable) {
  CTrigTables table;
  const double cosine_ease = (table.cosine[192] + 65536) / 131072.0;
  ASSERT_NEAR(cosine_ease, 0.1464, 1e-4);
  struct Case {
    const char* path;
    double progress_at_quarter;
  };
  for (const Case& c : {Case{"1000 r", 0.25}, Case{"A 1000 r", cosine_ease}, Case{"A2 1000 r", 0.0625},
                        Case{"A-2 1000 r", 1 - 0.75 * 0.75}, Case{"A0.5 1000 r", 0.5}}) {
    sprite_.SetPosition(0, 0);
    ASSERT_EQ(Start(c.path), 0) << c.path;
    EXPECT_EQ(XAt(1250), static_cast<int32_t>(700 * c.progress_at_quarter)) << c.path;
    EXPECT_EQ(XAt(2000), 700) << c.path;
    EXPECT_EQ(effect_, nullptr) << c.path << ": ended at its last key frame";
  }
}

TEST_F(SpPanimeTest, ATimeUnderTwoMillisecondsJumpsAndOpacityFollowsTheKeyFrames) {
  ASSERT_EQ(Start("O0 1 r 500 O255 0 l"), 0);
  timers_.Dispatch(1500);
  EXPECT_EQ(sprite_.GetOpacity(), 127) << "half way from the start's 255 to 0";
  timers_.Dispatch(2000);
  EXPECT_EQ(sprite_.GetX(), 700) << "a time of 1 ms: at the next key frame at once";
  EXPECT_EQ(sprite_.GetOpacity(), 0);
  timers_.Dispatch(2251);
  EXPECT_EQ(sprite_.GetOpacity(), 127);
  EXPECT_EQ(sprite_.GetX(), 700);
  timers_.Dispatch(2501);
  EXPECT_EQ(sprite_.GetX(), 0) << "a time of 0 counts as 1";
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_NE(effect_, nullptr);
  timers_.Dispatch(2502);
  EXPECT_EQ(effect_, nullptr);
}

TEST_F(SpPanimeTest, TheSwingGoesOutAndBackAndAPhaseShiftsIt) {
  struct Case {
    std::int32_t swing;
    std::int32_t phase;
    double t;
    std::int32_t offset;
  };
  for (const Case& c : {Case{50, 0, 0.0, 0}, Case{50, 0, 0.25, 25}, Case{50, 0, 0.5, 50}, Case{50, 0, 0.75, 25},
                        Case{50, 0, 1.0, 0}, Case{50, 10, 0.0, 20}, Case{50, 10, 0.5, 50}, Case{50, 10, 1.0, 0},
                        Case{50, -30, 0.0, 0}, Case{50, -30, 0.5, -10}}) {
    EXPECT_EQ(CKeyFramePlayer::SwingOffset(c.swing, c.phase, c.t), c.offset)
        << c.swing << " phase " << c.phase << " at " << c.t;
  }
  ASSERT_EQ(Start("c c$"), 0);
  EXPECT_EQ(XAt(2000), 350);
  EXPECT_EQ(XAt(2500), 350 + 50) << "out by the L step at mid-movement";
  EXPECT_EQ(XAt(2750), 350 + 25);
  EXPECT_EQ(XAt(3000), 350) << "and back at its end";
}

TEST_F(SpPanimeTest, PositionsDoNotDriftWithTheFrameRate) {
  const char* path = "300 r d 170 l u";
  std::vector<std::vector<int32_t>> runs;
  for (std::uint32_t step : {7u, 40u}) {
    sprite_.SetPosition(0, 0);
    ASSERT_EQ(Start(path), 0);
    std::vector<int32_t> seen;
    for (std::uint32_t now = 1000; now <= 2000; now += step) {
      timers_.Dispatch(now);
      if ((now - 1000) % 280 == 0) seen.push_back(sprite_.GetX() * 1000 + sprite_.GetY());
    }
    runs.push_back(seen);
    timers_.RemoveAll();
    timers_.Dispatch(5000);
  }
  ASSERT_EQ(runs[0].size(), 4u);
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_EQ(runs[0][2], 700 * 1000 + static_cast<int32_t>(550 * (260.0 / 300))) << "at 560 ms: 260 ms down";
}

TEST_F(SpPanimeTest, APauseHalfWayResumesWhereItWasAndArrivesThatMuchLater) {
  ASSERT_EQ(Start("r"), 0);
  clock_.SetMilliseconds(1500);
  timers_.Dispatch(1500);
  const int32_t at_pause = sprite_.GetX();
  EXPECT_EQ(at_pause, 350);
  timers_.PauseAll(-1);
  clock_.SetMilliseconds(1800);
  timers_.Dispatch(1800);
  timers_.ResumeAll(-1);
  EXPECT_EQ(XAt(1800), at_pause);
  EXPECT_EQ(XAt(2050), 525) << "750 ms of the movement have passed";
  EXPECT_NE(effect_, nullptr) << "still under way where it would have arrived";
  EXPECT_EQ(XAt(2300), 700);
  EXPECT_EQ(effect_, nullptr);
}

TEST_F(SpPanimeTest, ALoopPlaysTheFirstKeyFrameOnceAndThenRunsFromTheLastToTheSecond) {
  ASSERT_EQ(Start("l 500 r", 1000, true), 0);
  sprite_.SetPosition(0, 0);
  EXPECT_EQ(XAt(1500), 0) << "from the start (0) to l (0)";
  EXPECT_EQ(XAt(2250), 350);
  EXPECT_EQ(XAt(2500), 700);
  EXPECT_EQ(XAt(3000), 0) << "from r back to l in 500 ms: l is the second key frame";
  EXPECT_EQ(XAt(3250), 350);
  EXPECT_EQ(XAt(3500), 700);
  ASSERT_NE(effect_, nullptr) << "a loop never ends by itself";
  timers_.Remove(effect_);
  timers_.Dispatch(3600);
  EXPECT_EQ(effect_, nullptr);
  EXPECT_EQ(sprite_.GetX(), 700) << "stopped at the last key frame";
}

TEST_F(SpPanimeTest, FrontAndBackUseThePublishedPrioritiesAndCentreMovesTheAnchor) {
  CSprite other;
  ASSERT_EQ(other.SetImage(&picture_, nullptr, 0, 0), 0u);
  ASSERT_EQ(layer_.GetOwnList().Insert(&other, 40, 0), 0u);
  ASSERT_EQ(CallAssist(&CSpPanimeEffect::Assist, PluginArgList{0, 30, 40}), 0);
  ASSERT_EQ(Start("F r B o5,6 l", 100), 0);
  timers_.Dispatch(1000);
  EXPECT_EQ(layer_.GetOwnList().Nodes().front().priority, 30u);
  EXPECT_EQ(layer_.GetOwnList().Nodes().front().drawable, &sprite_);
  timers_.Dispatch(1100);
  EXPECT_EQ(layer_.GetOwnList().Nodes().back().drawable, &sprite_) << "behind the other sprite of priority 40";
  EXPECT_EQ(std::pair(sprite_.GetAnchorX(), sprite_.GetAnchorY()), std::pair(5, 6));
}

TEST_F(SpPanimeTest, SetupRefusesWhatItCannotMoveAndDurationZeroShowsTheEndAtOnce) {
  CColorBox box;
  ASSERT_EQ(box.SetBox(10, 10, 0xFF00FF00, 0, 0), 0u);
  EXPECT_EQ(Start("r", 1000, false, reinterpret_cast<CSprite*>(static_cast<CDrawable*>(&box))),
            CSpPanimeEffect::kSetupBadArguments);
  CSprite loose;
  ASSERT_EQ(loose.SetImage(&picture_, nullptr, 0, 0), 0u);
  EXPECT_EQ(Start("r", 1000, false, &loose), CSpPanimeEffect::kSetupBadPath) << "no layer, no area";
  EXPECT_EQ(Start("r!", 1000), CSpPanimeEffect::kSetupBadPath);
  EXPECT_EQ(Start(nullptr, 1000), CSpPanimeEffect::kSetupBadPath);
  CSpPanimeEffect effect;
  EXPECT_EQ(effect.Setup(nullptr, nullptr, PluginArgList{Word(&sprite_), Word("r"), 1000, 0, 0}.View()),
            CSpPanimeEffect::kSetupBadArguments);

  EXPECT_EQ(Start("d O7 r", 0), CEffect::kFinishedAtOnce);
  EXPECT_EQ(std::pair(sprite_.GetX(), sprite_.GetY()), std::pair(700, 550));
  EXPECT_EQ(sprite_.GetOpacity(), 7);
  EXPECT_FALSE(timers_.Contains(effect_));
}

TEST_F(SpPanimeTest, GetParamReportsTheLastKeyFrameOrOnlyAnAlphaOfMinusOne) {
  std::int32_t x = 0, y = 0, alpha = 0, order = 0, centre_x = 0, centre_y = 0;
  float zoom = 0, angle = 0, transform = 0;
  const auto outs = [&] {
    return PluginArgList{Word(&x), Word(&y), Word(&alpha), Word(&order), Word(&zoom), Word(&angle), Word(&centre_x),
                         Word(&centre_y), Word(&transform)};
  };
  ASSERT_EQ(SetUpOnly("1000 A2 F"), 0);
  x = 99;
  EXPECT_EQ(effect_->GetParam(outs().View()), 0);
  EXPECT_EQ(alpha, -1);
  EXPECT_EQ(x, 99) << "nothing else is written";
  timers_.Dispatch(1000);
  EXPECT_EQ(effect_, nullptr) << "a path without key frames ends at its first step";

  ASSERT_EQ(SetUpOnly("rdO9Z2R0.5 o3,4 B"), 0);
  EXPECT_EQ(effect_->GetParam(outs().View()), 0);
  EXPECT_EQ(std::vector<int32_t>({x, y, alpha, order, centre_x, centre_y}), std::vector<int32_t>({700, 550, 9, 2, 3, 4}));
  EXPECT_EQ(zoom, 2.0f);
  EXPECT_EQ(angle, 0.5f);
  EXPECT_EQ(transform, 1.0f);
  EXPECT_EQ(CSpPanimeEffect().GetParam(outs().View()), 1) << "without a path";
}

TEST_F(SpPanimeTest, TheAssistPutsTheSpriteAtThePathsEnd) {
  std::int32_t x = 0, y = 0, alpha = 0;
  EXPECT_EQ(CallAssist(&CSpPanimeEffect::Assist, PluginArgList{1, 0, Word("r")}), 1);
  EXPECT_EQ(CallAssist(&CSpPanimeEffect::Assist, PluginArgList{1, Word(&sprite_), Word("!q")}),
            static_cast<std::int32_t>(kPathBadCommand));
  ASSERT_EQ(CallAssist(&CSpPanimeEffect::Assist, PluginArgList{1, Word(&sprite_), Word("r 500 dO20"), Word(&x), Word(&y), Word(&alpha)}),
            0);
  EXPECT_EQ(std::vector<int32_t>({x, y, alpha}), std::vector<int32_t>({700, 550, 20}));
  EXPECT_EQ(std::pair(sprite_.GetX(), sprite_.GetY()), std::pair(700, 550));
  EXPECT_EQ(sprite_.GetOpacity(), 20);
  EXPECT_FALSE(sprite_.IsTurned());
  ASSERT_EQ(CallAssist(&CSpPanimeEffect::Assist, PluginArgList{1, Word(&sprite_), Word("R0.25")}), 0);
  EXPECT_TRUE(sprite_.IsTurned());
  EXPECT_EQ(sprite_.GetAngle(), 128);
}

// "bg_panime" on a canvas part whose layer shows a 1600 x 600 background at (100, 0).
class BgPanimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(canvas_.Create(800, 600, 32, CImagePart::kLayerAndDrawList), 0u);
    layer_ = dynamic_cast<CDrawLayer*>(canvas_.GetLayer());
    ASSERT_NE(layer_, nullptr);
    ASSERT_EQ(background_.Create(1600, 600, 32, 0), 0u);
    ASSERT_TRUE(background_.FillRectArgb(0xFF102030, nullptr));
    ASSERT_TRUE(layer_->SetBackgroundImage(&background_, 100, 0, false));
  }
  void TearDown() override {
    timers_.RemoveAll();
    timers_.Dispatch(0);
    g_DrawLayerFactory = nullptr;
  }

  std::int32_t Start(const char* path, std::uint32_t duration, std::uint32_t cache, bool own) {
    effect_ = new CBgPanimeEffect;
    effect_->SetOwnerReference(&effect_);
    const std::int32_t result =
        effect_->Setup(&timers_, static_cast<CImagePart*>(&canvas_), PluginArgList{Word(path), duration, cache, own, 0, 0, 0}.View());
    if (result != CEffect::kRunning) delete effect_;
    return result;
  }
  int32_t OffsetX() const {
    int32_t x = 0;
    layer_->GetBackground(nullptr, &x, nullptr, nullptr, nullptr, nullptr);
    return x;
  }

  ScopedFakeClock clock_;
  CDrawLayerFactory factory_;
  CImageCanvasEx canvas_;
  CDrawLayer* layer_ = nullptr;
  CImage background_;
  CTimerManager timers_;
  CBgPanimeEffect* effect_ = nullptr;
};

TEST_F(BgPanimeTest, TheViewMovesRightByAnLStepAndThenToTheBackgroundsLeftEdge) {
  ASSERT_EQ(Start("> 1000 l", 500, 0, false), 0);
  timers_.Dispatch(1000);
  timers_.Dispatch(1250);
  EXPECT_EQ(OffsetX(), 125);
  timers_.Dispatch(1500);
  EXPECT_EQ(OffsetX(), 150);
  timers_.Dispatch(2000);
  EXPECT_EQ(OffsetX(), 75);
  timers_.Dispatch(2500);
  EXPECT_EQ(OffsetX(), 0);
  EXPECT_EQ(effect_, nullptr);
}

TEST_F(BgPanimeTest, DurationZeroShowsTheEndAndGetParamAndTheAssistGiveIt) {
  EXPECT_EQ(Start("r", 0, 0, false), CEffect::kFinishedAtOnce);
  EXPECT_EQ(OffsetX(), 800);
  EXPECT_EQ(Start("r", 100, 0, false), 0);
  std::int32_t x = 0, y = -1;
  EXPECT_EQ(effect_->GetParam(PluginArgList{Word(&x), Word(&y)}.View()), 0);
  EXPECT_EQ(std::pair(x, y), std::pair(800, 0));
  timers_.RemoveAll();
  timers_.Dispatch(0);
  EXPECT_EQ(Start("1000", 100, 0, false), 0);
  EXPECT_EQ(effect_->GetParam(PluginArgList{Word(&x), Word(&y)}.View()), 2) << "no key frame after the start";

  EXPECT_EQ(CallAssist(&CBgPanimeEffect::Assist, PluginArgList{Word(static_cast<CImageInterface*>(&background_)), Word("l")}), -1)
      << "a plain image is no canvas";
  ASSERT_EQ(CallAssist(&CBgPanimeEffect::Assist, PluginArgList{Word(static_cast<CImageInterface*>(&canvas_)), Word("c"), Word(&x), Word(&y)}),
            0);
  EXPECT_EQ(OffsetX(), 400);
  EXPECT_EQ(x, 400);
}

TEST_F(BgPanimeTest, TheOwnPictureAndTheCacheGoWhenTheMovementEnds) {
  ASSERT_EQ(Start("r", 100, 1, true), 0);
  EXPECT_EQ(effect_->GetMode(), CBgPanimeEffect::kModeCache | CBgPanimeEffect::kModeOwnPicture);
  ASSERT_NE(layer_->GetBackgroundCache(), nullptr);
  timers_.Dispatch(1000);
  timers_.Dispatch(1050);
  EXPECT_EQ(PixelAt(*layer_->GetBackgroundCache(), 0, 0), 0xFF102030u) << "the picture moved half way";
  timers_.Dispatch(1100);
  EXPECT_EQ(effect_, nullptr);
  EXPECT_EQ(layer_->GetBackgroundCache(), nullptr);
  EXPECT_EQ(OffsetX(), 800);

  ASSERT_EQ(Start("l", 100, 0, true), 0);
  CImage* shown = nullptr;
  layer_->GetBackground(&shown, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(shown, &background_) << "the own picture stands in for the background";
  EXPECT_EQ(OffsetX(), 0);
  timers_.Dispatch(2000);
  timers_.Dispatch(2050);
  EXPECT_EQ(OffsetX(), -400) << "half way from 800 to 0, seen from the view the picture holds";
  timers_.Dispatch(2100);
  layer_->GetBackground(&shown, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(shown, &background_);
  EXPECT_EQ(OffsetX(), 0);
  EXPECT_EQ(Start("l", 100, CBgPanimeEffect::kPlainOffset, true), 0);
  EXPECT_EQ(effect_->GetMode(), 0) << "0xFFFF: neither cache nor own picture";
}

}  // namespace
