// "bg_rast", "bg_haze", "bg_loop" and "bg_cross": what each draws into the layer's background
// cache step by step, their fades, loops and ends, the guarded divisors, and their refusals.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "effects/background/bg_cross_effect.h"
#include "effects/background/bg_haze_effect.h"
#include "effects/background/bg_loop_effect.h"
#include "effects/background/bg_rast_effect.h"

#include "background_effect_fixture.h"

namespace bg_test {
namespace {

// A cycle so long that the phase stays 0 through a test.
constexpr std::uint32_t kStill = 1000000;

class BgCacheEffectsTest : public BackgroundEffectTest {
 protected:
  // Sets the effect up; the manager owns it when it runs.
  template <class Effect>
  std::int32_t Start(const PluginArgList& args) {
    clock_.SetMilliseconds(kStart);
    auto effect = std::make_unique<Effect>();
    const std::int32_t status = SetUp(*effect, args);
    if (status == CEffect::kRunning) last_ = effect.release();
    return status;
  }
  std::uint32_t CachePixel(std::int32_t x, std::int32_t y) { return PixelAt(Cache(), x, y); }
  bool HasCache() const { return layer_->GetBackgroundCache() != nullptr; }

  CEffect* last_ = nullptr;
};

TEST_F(BgCacheEffectsTest, ASecondCacheEffectOnALayerWhoseCacheIsInUseIsRefused) {
  ASSERT_EQ(Start<CBgRastEffect>({4, 60, 1000, 0, 0, 100, 0, 0}), CEffect::kRunning);
  EXPECT_EQ(Start<CBgRastEffect>({4, 60, 1000, 0, 0, 100, 0, 0}), CBgWaveEffect::kSetupCacheInUse);
  EXPECT_EQ(Start<CBgHazeEffect>({Text("(1,0,4)"), 8, 1000, 0, 0, 100, 0, 0}), CBgWaveEffect::kSetupCacheInUse);
  EXPECT_EQ(timers_.GetCount(), 1u);
}

TEST_F(BgCacheEffectsTest, TheWaveSetUpsRefuseWhatTheyCannotDraw) {
  UseBackground(60, 120);
  EXPECT_EQ(Start<CBgRastEffect>({4, 60, 1000, 0, 0, 100, 0, 0}), CBgWaveEffect::kSetupCacheTooLarge);
  EXPECT_FALSE(HasCache()) << "a refused set-up leaves no cache";
  UseBackground(160, 120);
  g_TrigTable = nullptr;
  EXPECT_EQ(Start<CBgRastEffect>({4, 60, 1000, 0, 0, 100, 0, 0}), CBgWaveEffect::kSetupNoTrigTables);
  g_TrigTable = &trig_;
  layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(Start<CBgRastEffect>({4, 60, 1000, 0, 0, 100, 0, 0}), CBgWaveEffect::kSetupNoBackground);
}

TEST_F(BgCacheEffectsTest, TheRasterStartsAtFullAmplitudeWithoutFadeInAndFillsTheGaps) {
  // 64 rows a wave: row 16 is shifted right by the whole amplitude, row 48 left by it.
  ASSERT_EQ(Start<CBgRastEffect>({8, 64, kStill, 0, 0, 100, 1, 0}), CEffect::kRunning);
  RunAt(0);
  EXPECT_EQ(CachePixel(8, 16), Placed(0, 16));
  EXPECT_EQ(CachePixel(7, 16), kColour);
  EXPECT_EQ(CachePixel(0, 48), Placed(8, 48));
  EXPECT_EQ(CachePixel(79, 48), kColour);
  EXPECT_EQ(CachePixel(5, 0), Placed(5, 0)) << "row 0 lies on the wave's node";
  EXPECT_EQ(last_->GetParam({}), CFadeEnvelope::kHolding);
}

TEST_F(BgCacheEffectsTest, AFadeOutAskedForDuringTheFadeInStartsFromTheAmplitudeReached) {
  ASSERT_EQ(Start<CBgRastEffect>({8, 64, kStill, 0, 1000, 400, 0, 0}), CEffect::kRunning);
  RunAt(0);
  RunAt(500);
  EXPECT_EQ(CachePixel(4, 16), Placed(0, 16));
  EXPECT_EQ(CachePixel(0, 16), Placed(0, 16)) << "without fill the gap keeps the unshifted picture";
  EXPECT_EQ(last_->SetParam({}), 0);
  EXPECT_EQ(last_->GetParam({}), CFadeEnvelope::kFadeOutRequested);
  EXPECT_EQ(last_->SetParam({}), 1);
  RunAt(600);
  EXPECT_EQ(CachePixel(4, 16), Placed(0, 16));
  RunAt(800);
  EXPECT_EQ(CachePixel(2, 16), Placed(0, 16));
  RunAt(1000);
  EXPECT_FALSE(HasCache());
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgCacheEffectsTest, ZeroCycleAndWavelengthAndShiftsWiderThanTheCacheAreSafe) {
  ASSERT_EQ(Start<CBgRastEffect>({8, 0, 0, 0, 0, 100, 1, 0}), CEffect::kRunning);
  RunAt(0);
  RunAt(17);
  // A full wave per row and no phase: every row on the node.
  for (std::int32_t y : {0, 16, 59}) EXPECT_EQ(CachePixel(3, y), Placed(3, y));
  last_->Stop();
  EXPECT_FALSE(HasCache());
  timers_.RemoveAll();

  ASSERT_EQ(Start<CBgRastEffect>({500, 64, kStill, 0, 0, 100, 1, 0}), CEffect::kRunning);
  RunAt(0);
  for (std::int32_t x : {0, 40, 79}) EXPECT_EQ(CachePixel(x, 16), kColour);
}

TEST_F(BgCacheEffectsTest, TheHazeTableAveragesItsCosineTerms) {
  std::vector<std::int32_t> table;
  ASSERT_EQ(CBgHazeEffect::BuildTable("(1, 0, 16)", 4, table), 0);
  EXPECT_EQ(table, (std::vector<std::int32_t>{16, 0, -16, 0}));
  ASSERT_EQ(CBgHazeEffect::BuildTable("(1,0,16)(2,0,32)", 4, table), 0);
  EXPECT_EQ(table, (std::vector<std::int32_t>{24, -16, 8, -16}));
  ASSERT_EQ(CBgHazeEffect::BuildTable("(2, 128, 32)", 4, table), 0);
  EXPECT_EQ(table, (std::vector<std::int32_t>{0, 0, 0, 0})) << "the phase b moves the wave onto its nodes";
  EXPECT_EQ(CBgHazeEffect::BuildTable(nullptr, 4, table), CBgHazeEffect::kTableNoText);
  EXPECT_EQ(CBgHazeEffect::BuildTable("", 4, table), CBgHazeEffect::kTableNoTerms);
  EXPECT_EQ(CBgHazeEffect::BuildTable("(1,0)", 4, table), CBgHazeEffect::kTableNoTerms);
  EXPECT_EQ(CBgHazeEffect::BuildTable("(1,0,10)", 0, table), CBgHazeEffect::kTableNoTerms);
  EXPECT_EQ(CBgHazeEffect::BuildTable("(1,0,10)", 0xFFFFFFFFu, table), CBgHazeEffect::kTableNoTerms);
  EXPECT_EQ(Start<CBgHazeEffect>({Text("(1,0,10)"), 0, 1000, 0, 0, 100, 0, 0}), CBgHazeEffect::kSetupBadTable);
  EXPECT_FALSE(HasCache());
}

TEST_F(BgCacheEffectsTest, TheHazeDisplacesRowsAndColumnsByTheTable) {
  // Offsets 16, 0, -16, 0 down the rows at full strength.
  ASSERT_EQ(Start<CBgHazeEffect>({Text("(1,0,16)"), 4, 0, 0, 0, 100, 1, 0}), CEffect::kRunning);
  RunAt(0);
  EXPECT_EQ(CachePixel(0, 0), Placed(16, 16));
  EXPECT_EQ(CachePixel(63, 0), Placed(79, 16));
  EXPECT_EQ(CachePixel(64, 0), kColour) << "beyond the cache's span";
  EXPECT_EQ(CachePixel(10, 1), Placed(10, 1));
  EXPECT_EQ(CachePixel(20, 2), kColour) << "row 2 reads row -14";
  EXPECT_EQ(CachePixel(20, 4), Placed(36, 20));
}

TEST_F(BgCacheEffectsTest, ALoopOfOnePeriodEndsAfterItAndTheStartFollowsTheEnd) {
  ASSERT_EQ(Start<CBgLoopEffect>({CBgLoopEffect::kHorizontal, 1000, 1, 0}), CEffect::kRunning);
  RunAt(0);
  EXPECT_EQ(CachePixel(0, 0), Placed(0, 0));
  RunAt(750);
  EXPECT_EQ(CachePixel(0, 5), Placed(120, 5));
  EXPECT_EQ(CachePixel(39, 5), Placed(159, 5));
  EXPECT_EQ(CachePixel(40, 5), Placed(0, 5));
  RunAt(999);
  EXPECT_TRUE(HasCache());
  RunAt(1000);
  EXPECT_FALSE(HasCache());
  EXPECT_EQ(timers_.GetCount(), 0u);

  // A step on a period's end starts the next period, which then runs whole.
  ASSERT_EQ(Start<CBgLoopEffect>({CBgLoopEffect::kHorizontal, 1000, 2, 0}), CEffect::kRunning);
  RunAt(0);
  RunAt(1000);
  RunAt(1016);
  RunAt(1999);
  EXPECT_EQ(timers_.GetCount(), 1u);
  RunAt(2000);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

TEST_F(BgCacheEffectsTest, AnEndlessLoopRunsUntilStoppedInEachDirection) {
  struct Case {
    std::uint8_t direction;
    std::uint32_t at;
    std::uint32_t top_left;
  };
  for (const Case& c : {Case{CBgLoopEffect::kHorizontal, 5250, Placed(40, 0)},
                        Case{CBgLoopEffect::kHorizontalReversed, 250, Placed(120, 0)},
                        Case{CBgLoopEffect::kVertical, 500, Placed(0, 60)}, Case{3, 250, Placed(0, 90)}}) {
    ASSERT_EQ(Start<CBgLoopEffect>({c.direction, 1000, 0, 0}), CEffect::kRunning);
    RunAt(0);
    RunAt(c.at);
    EXPECT_EQ(CachePixel(0, 0), c.top_left) << int{c.direction};
    EXPECT_EQ(timers_.GetCount(), 1u);
    last_->Stop();
    EXPECT_FALSE(HasCache());
    timers_.RemoveAll();
  }
  UseBackground(60, 120);
  EXPECT_EQ(Start<CBgLoopEffect>({CBgLoopEffect::kHorizontal, 1000, 0, 0}), CBgLoopEffect::kSetupNarrowBackground);
  EXPECT_FALSE(HasCache());
  UseBackground(160, 40);
  EXPECT_EQ(Start<CBgLoopEffect>({CBgLoopEffect::kVertical, 1000, 0, 0}), CBgLoopEffect::kSetupShortBackground);
}

TEST_F(BgCacheEffectsTest, APictureReplacedWhileTheEffectsRunIsNotDrawnFrom) {
  ASSERT_EQ(Start<CBgRastEffect>({8, 64, kStill, 0, 0, 100, 1, 0}), CEffect::kRunning);
  RunAt(0);
  {
    CImage replaced;
    ASSERT_EQ(replaced.Create(40, 30, 32, 0), 0u);
    ASSERT_TRUE(layer_->SetBackgroundImage(&replaced, 0, 0, false));
    background_.Release();
    RunAt(100);
    ASSERT_EQ(layer_->CreateBackgroundCache(false), 0u);
    RunAt(200);
    EXPECT_EQ(CachePixel(0, 0), 0u) << "a picture smaller than the cache is not drawn from";
    layer_->SetBackgroundImage(nullptr, 0, 0, false);
  }
  RunAt(300);
  EXPECT_EQ(timers_.GetCount(), 1u);
}

class BgCrossTest : public BgCacheEffectsTest {
 protected:
  static constexpr std::uint32_t kPartnerColour = 0xFF0000FF;

  void SetUp() override {
    BgCacheEffectsTest::SetUp();
    ASSERT_EQ(partner_.Create(kTargetWidth, kTargetHeight, 32, CImagePart::kLayer), 0u);
    partner_layer_ = dynamic_cast<CDrawLayer*>(partner_.GetLayer());
    ASSERT_EQ(partner_background_.Create(160, 120, 32, 0), 0u);
    ASSERT_TRUE(partner_background_.FillRectArgb(kPartnerColour, nullptr));
    ASSERT_TRUE(partner_layer_->SetBackgroundImage(&partner_background_, 0, 0, false));
    ASSERT_EQ(canvas_.SetPartner(&partner_), 0u);
  }
  void TearDown() override {
    timers_.RemoveAll();
    canvas_.SetPartner(nullptr);
    partner_.Release();
    BgCacheEffectsTest::TearDown();
  }

  CImage partner_background_;
  CImageCanvasEx partner_;
  CDrawLayer* partner_layer_ = nullptr;
};

TEST_F(BgCrossTest, BIsShownWhollyAtHalfPeriodAndAAgainAtItsEnd) {
  ASSERT_EQ(Start<CBgCrossEffect>({1000, 0, CBgCrossEffect::kLive, 0}), CEffect::kRunning);
  RunAt(0);
  EXPECT_EQ(CachePixel(10, 20), Placed(10, 20));
  RunAt(500);
  EXPECT_EQ(CachePixel(10, 20), kPartnerColour);
  RunAt(1000);
  EXPECT_EQ(CachePixel(10, 20), Placed(10, 20));
  EXPECT_EQ(last_->SetParam({}), 0);
  RunAt(1500);
  EXPECT_EQ(CachePixel(10, 20), kPartnerColour);
  RunAt(2000);
  EXPECT_FALSE(HasCache()) << "a stop asked for ends the effect at the period's end";
}

TEST_F(BgCrossTest, ThePartnersPictureCanBeTakenAtTheSetUp) {
  ASSERT_EQ(Start<CBgCrossEffect>({1000, 0, CBgCrossEffect::kPartnerTaken, 0}), CEffect::kRunning);
  ASSERT_TRUE(partner_background_.FillRectArgb(0xFF00FF00, nullptr));
  RunAt(0);
  RunAt(500);
  EXPECT_EQ(CachePixel(10, 20), kPartnerColour);
}

TEST_F(BgCrossTest, APartnerMissingOrOfAnotherSizeIsRefused) {
  CImage other;
  ASSERT_EQ(other.Create(100, 120, 32, 0), 0u);
  ASSERT_TRUE(partner_layer_->SetBackgroundImage(&other, 0, 0, false));
  EXPECT_EQ(Start<CBgCrossEffect>({1000, 0, 0, 0}), CBgCrossEffect::kSetupSizesDiffer);
  partner_layer_->SetBackgroundImage(nullptr, 0, 0, false);
  EXPECT_EQ(Start<CBgCrossEffect>({1000, 0, 0, 0}), CBgCrossEffect::kSetupNoPartner);
  canvas_.SetPartner(nullptr);
  EXPECT_EQ(Start<CBgCrossEffect>({1000, 0, 0, 0}), CBgCrossEffect::kSetupNoPartner);
  EXPECT_FALSE(HasCache());
}

}  // namespace
}  // namespace bg_test
