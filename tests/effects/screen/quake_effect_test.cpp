// "quake" on two pages: half-waves that move the background offsets out and back, the decay,
// random shaking, the end and the pause, and the shifted background drawn into the caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "effects/screen/quake_effect.h"
#include "screen_effect_fixture.h"

namespace {

using screen_test::PixelAt;
using screen_test::Placed;
using screen_test::Text;

using Offset = std::pair<std::int32_t, std::int32_t>;

class QuakeEffectTest : public screen_test::ScreenEffectTest {
 protected:
  void SetUp() override {
    ScreenEffectTest::SetUp();
    First().SetBackgroundOffset(3, 4);
    Second().SetBackgroundOffset(-2, 1);
  }
  // A quake set up on the front page; the manager owns it.
  CQuakeEffect& Start(const PluginArgList& args) {
    quake_ = new CQuakeEffect;
    quake_->SetOwnerReference(&quake_);
    EXPECT_EQ(SetUpOnFront(*quake_, args), CEffect::kRunning);
    return *quake_;
  }
  // The first layer's offset from where it stood at the set-up.
  Offset Moved() const {
    const auto [x, y] = OffsetOf(const_cast<QuakeEffectTest*>(this)->First());
    return {x - 3, y - 4};
  }

  CQuakeEffect* quake_ = nullptr;
};

TEST_F(QuakeEffectTest, OneHalfWaveMovesTheLayersOutAndBackAndTheEndPutsThemBackExactly) {
  Start({1, 10, 10, 1000, Text("1.0"), 0, 1, 1, 0});
  EXPECT_EQ(quake_->GetTypeId(), kTimedTaskScreenEffect);
  const std::pair<std::uint32_t, Offset> steps[] = {
      {0, {0, 0}}, {250, {-7, -7}}, {500, {-10, -10}}, {750, {-7, -7}}, {999, {0, 0}}};
  for (const auto& [at, moved] : steps) {
    RunAt(at);
    EXPECT_EQ(Moved(), moved) << at;
    EXPECT_EQ(OffsetOf(Second()), (Offset{-2 + moved.first, 1 + moved.second})) << at;
  }
  RunAt(500 + 250);
  RunAt(1000);
  EXPECT_EQ(quake_, nullptr) << "ended and deleted";
  EXPECT_EQ(OffsetOf(First()), (Offset{3, 4}));
  EXPECT_EQ(OffsetOf(Second()), (Offset{-2, 1}));
}

TEST_F(QuakeEffectTest, TheDecayIsTheAmplitudeLeftAtTheEndOfTheDuration) {
  // A whole wave: its crest at a quarter of the duration, its trough at three quarters.
  struct Case {
    std::uintptr_t decay;
    std::int32_t at_quarter;
    std::int32_t at_three_quarters;
  };
  const Case cases[] = {
      {Text("1.0"), -10, 10},
      {Text("0.0"), -7, 2},  // 7.5 and 2.5 truncated
      {0, -7, 2},            // a null text is 0.0
      {Text("0.5"), -8, 6},  // 8.75 and 6.25
  };
  for (const Case& c : cases) {
    clock_.SetMilliseconds(kStart);
    Start({2, 10, 0, 1000, c.decay, 0, 1, 0, 0});
    RunAt(0);
    RunAt(250);
    EXPECT_EQ(Moved().first, c.at_quarter);
    RunAt(750);
    EXPECT_EQ(Moved().first, c.at_three_quarters);
    EXPECT_EQ(OffsetOf(Second()), (Offset{-2, 1})) << "the second layer is not shaken";
    timers_.RemoveAll();
    EXPECT_EQ(Moved(), (Offset{0, 0})) << "Stop puts it back";
  }
}

TEST_F(QuakeEffectTest, WithoutDurationAndPeriodItShakesRandomlyAtFullSizeUntilStopped) {
  Start({0, 20, 20, 0, Text("0.0"), 0, 1, 1, 0});
  std::int32_t lowest = 0;
  std::int32_t highest = 0;
  for (std::uint32_t step = 0; step < 200; ++step) {
    RunAt(step * 500);
    const Offset moved = Moved();
    for (std::int32_t value : {moved.first, moved.second}) {
      EXPECT_GE(value, -10) << "equal amplitudes jitter about the centre";
      EXPECT_LE(value, 10);
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
    }
  }
  EXPECT_LE(lowest, -9) << "the decay text does not count without a duration";
  EXPECT_GE(highest, 9);
  ASSERT_NE(quake_, nullptr) << "still running after 100 s";
  timers_.Remove(quake_);
  EXPECT_EQ(OffsetOf(First()), (Offset{3, 4}));
  EXPECT_EQ(OffsetOf(Second()), (Offset{-2, 1}));
}

TEST_F(QuakeEffectTest, WithDifferentAmplitudesTheLargerAxisAlternatesSidesStepByStep) {
  Start({0, 40, 6, 0, 0, 0, 1, 0, 0});
  for (std::uint32_t step = 0; step < 40; ++step) {
    RunAt(step * 20);
    const Offset moved = Moved();
    // The layer moves against the shift: the first step's shift is on the negative side.
    if (step % 2 == 0) {
      EXPECT_GE(moved.first, 0) << step;
    } else {
      EXPECT_LE(moved.first, 0) << step;
    }
    EXPECT_LE(std::abs(moved.first), 40);
    EXPECT_LE(std::abs(moved.second), 3) << step;
  }
}

TEST_F(QuakeEffectTest, APauseHoldsThePhaseAndMovesTheEndByThePausedSpan) {
  Start({1, 10, 10, 1000, Text("1.0"), 0, 1, 1, 0});
  RunAt(0);
  RunAt(250);
  EXPECT_EQ(Moved(), (Offset{-7, -7}));
  timers_.PauseTask(quake_);
  RunAt(500);
  EXPECT_EQ(Moved(), (Offset{-7, -7})) << "held while paused";
  clock_.SetMilliseconds(kStart + 650);
  timers_.ResumeTask(quake_);
  RunAt(650);
  EXPECT_EQ(Moved(), (Offset{-7, -7})) << "the same phase right after resuming";
  RunAt(900);
  EXPECT_EQ(Moved(), (Offset{-10, -10}));
  RunAt(1399);
  ASSERT_NE(quake_, nullptr);
  RunAt(1400);
  EXPECT_EQ(quake_, nullptr) << "1400 ms after it began";
  EXPECT_EQ(Moved(), (Offset{0, 0}));
}

TEST_F(QuakeEffectTest, InCacheModeTheShiftedBackgroundIsDrawnIntoTheCacheOverTheColour) {
  First().SetBackgroundOffset(0, 0);
  Start({1, 10, 0, 1000, Text("1.0"), 1, 1, 0, 0});
  ASSERT_NE(First().GetBackgroundCache(), nullptr);
  EXPECT_EQ(Second().GetBackgroundCache(), nullptr) << "only the shaken layer gets a cache";
  RunAt(0);
  RunAt(500);
  const CImage& cache = *First().GetBackgroundCache();
  EXPECT_EQ(OffsetOf(First()), (Offset{0, 0})) << "the offset stays";
  EXPECT_EQ(PixelAt(cache, 9, 5), kColour) << "the strip that the shift uncovers";
  EXPECT_EQ(PixelAt(cache, 10, 5), Placed(0, 5));
  EXPECT_EQ(PixelAt(cache, 79, 59), Placed(69, 59));
  RunAt(1000);
  EXPECT_EQ(quake_, nullptr);
  EXPECT_EQ(First().GetBackgroundCache(), nullptr) << "the end drops the cache";
  EXPECT_EQ(OffsetOf(First()), (Offset{0, 0}));
}

TEST_F(QuakeEffectTest, ACacheThatThePictureDoesNotFillShowsTheColourOnEverySide) {
  UseBackground(50, 40);
  Start({1, 10, 10, 1000, Text("1.0"), 1, 1, 0, 0});
  RunAt(0);
  RunAt(500);
  const CImage& cache = *First().GetBackgroundCache();
  // The picture's (0, 0) lands at (10, 10); it covers up to (60, 50).
  EXPECT_EQ(PixelAt(cache, 10, 10), Placed(0, 0));
  EXPECT_EQ(PixelAt(cache, 59, 49), Placed(49, 39));
  for (const auto& [x, y] : {Offset{5, 20}, Offset{60, 20}, Offset{79, 59}, Offset{30, 5}, Offset{30, 50}}) {
    EXPECT_EQ(PixelAt(cache, x, y), kColour) << x << ", " << y;
  }
  timers_.RemoveAll();
  // A shift beyond the cache: all of it in the colour.
  Start({1, 100, 0, 1000, Text("1.0"), 1, 1, 0, 0});
  RunAt(1000);
  RunAt(1500);
  const CImage& far = *First().GetBackgroundCache();
  EXPECT_EQ(PixelAt(far, 0, 0), kColour);
  EXPECT_EQ(PixelAt(far, 79, 59), kColour);
}

TEST_F(QuakeEffectTest, AMissingGeneratorPageOrManagerIsRefused) {
  CQuakeEffect quake;
  const PluginArgList args{1, 10, 10, 1000, 0, 0, 1, 1, 0};
  EXPECT_EQ(quake.Setup(nullptr, static_cast<CImagePart*>(&front_), args.View()), CQuakeEffect::kSetupBadTarget);
  EXPECT_EQ(quake.Setup(&timers_, static_cast<CImagePart*>(&back_), args.View()), CQuakeEffect::kSetupBadTarget)
      << "no partner";
  EXPECT_EQ(quake.Setup(&timers_, nullptr, args.View()), CQuakeEffect::kSetupBadTarget);
  g_BuiltinEffectServices.random_state = nullptr;
  EXPECT_EQ(quake.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()), CQuakeEffect::kSetupRefused);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

}  // namespace
