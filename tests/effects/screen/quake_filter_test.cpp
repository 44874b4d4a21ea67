// "quake": the shake rule's waves and random jumps, the shifted picture with its black border
// strips, and the end of a quake with a duration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "effects/filters/transition_fixture.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/screen/quake_filter.h"
#include "effects/screen/quake_shake.h"

namespace {

std::uintptr_t Text(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }

class QuakeFilterTest : public TransitionFixture {
 protected:
  void SetUp() override {
    TransitionFixture::SetUp();
    SeedSubtractive(random_index_, random_state_, 12345);
    g_BuiltinEffectServices.random_index = &random_index_;
    g_BuiltinEffectServices.random_state = &random_state_;
  }
  void TearDown() override {
    g_BuiltinEffectServices.random_index = nullptr;
    g_BuiltinEffectServices.random_state = nullptr;
    TransitionFixture::TearDown();
  }
  // The shifted picture: each pixel the old picture's from (dx, dy) back, or 0 where that lies
  // outside it.
  static void ExpectShifted(const CImage& work, std::int32_t dx, std::int32_t dy) {
    int mismatches = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        const std::int32_t sx = x - dx;
        const std::int32_t sy = y - dy;
        const bool inside = sx >= 0 && sy >= 0 && sx < kWidth && sy < kHeight;
        mismatches += Pixel(work, x, y) != (inside ? Coded(kOld, sx, sy) : 0u) ? 1 : 0;
      }
    }
    EXPECT_EQ(mismatches, 0) << "shift " << dx << ", " << dy;
  }

  std::int16_t random_index_ = 0;
  SubtractiveTable random_state_{};
};

TEST(QuakeShakeTest, AHalfWaveOutAndBackOverTheDurationShrinkingToTheDecay) {
  CTrigTables trig;
  g_TrigTable = &trig;
  const CQuakeShake::RandomDraw no_draw = [] { return 0; };
  struct Case {
    double decay;
    std::uint32_t at;
    std::optional<std::int32_t> shift;
  };
  const Case cases[] = {
      {1.0, 0, 0},  {1.0, 250, 7}, {1.0, 500, 10}, {1.0, 750, 7}, {1.0, 999, 0},
      {1.0, 1000, std::nullopt},   {0.0, 500, 5},  {0.0, 250, 5}, {0.5, 500, 7},
  };
  for (const Case& c : cases) {
    CQuakeShake shake;
    shake.Configure(1, 10, 10, 1000, c.decay);
    ASSERT_TRUE(shake.Step(5000, no_draw).has_value());
    const std::optional<QuakeShift> shift = shake.Step(5000 + c.at, no_draw);
    ASSERT_EQ(shift.has_value(), c.shift.has_value()) << c.decay << " at " << c.at;
    if (shift) {
      EXPECT_EQ(*shift, (QuakeShift{*c.shift, *c.shift})) << c.decay << " at " << c.at;
    }
  }
  g_TrigTable = nullptr;
}

TEST(QuakeShakeTest, AnEndlessWaveRepeatsItsPeriodAndRandomShakingKeepsTheLargerAxisAlternating) {
  CTrigTables trig;
  g_TrigTable = &trig;
  CQuakeShake wave;
  wave.Configure(-200, 8, 0, 0, 0.0);
  const CQuakeShake::RandomDraw no_draw = [] { return 0; };
  EXPECT_EQ(wave.Step(0, no_draw), (QuakeShift{0, 0}));
  EXPECT_EQ(wave.Step(50, no_draw)->dx, 7) << "a quarter of the period: phase 127 of 511";
  EXPECT_EQ(wave.Step(100, no_draw)->dx, 0);
  EXPECT_EQ(wave.Step(150, no_draw)->dx, -8);
  EXPECT_EQ(wave.Step(199, no_draw)->dx, -1) << "the shift floors";
  EXPECT_EQ(wave.Step(230, no_draw)->dx, -1) << "past the period: its last phase, and a new start";
  EXPECT_EQ(wave.Step(280, no_draw)->dx, 7) << "a quarter period after the restart";

  // Random: x swings to alternate sides at up to its amplitude; y jitters about the centre.
  CSubtractiveGenerator generator(99);
  const CQuakeShake::RandomDraw draw = [&] { return generator.Next(); };
  CQuakeShake random;
  random.Configure(0, 40, 6, 0, 0.0);
  for (std::uint32_t step = 0; step < 40; ++step) {
    const QuakeShift shift = *random.Step(step * 20, draw);
    if (step % 2 == 0) {
      EXPECT_LE(shift.dx, 0) << step;
    } else {
      EXPECT_GE(shift.dx, 0) << step;
    }
    EXPECT_GT(shift.dx, -40);
    EXPECT_LT(shift.dx, 40);
    EXPECT_GE(shift.dy, -3) << step;
    EXPECT_LE(shift.dy, 3) << step;
  }
  g_TrigTable = nullptr;
}

TEST_F(QuakeFilterTest, TheUncoveredStripsAreBlackAndTheShiftedPictureKeepsItsSize) {
  auto& quake = dynamic_cast<CQuakeFilter&>(Start("quake", {1, 10, 10, 1000, Text("1.0"), 1}));
  EXPECT_EQ(quake.GetType(), 2);
  ExpectShifted(Frame(quake, 3000), 0, 0);
  ExpectShifted(Frame(quake, 3250), 7, 7);
  ExpectShifted(Frame(quake, 3500), 10, 10);
  EXPECT_EQ(quake.GetState(), CTransCallback::kStateRunning);
  ExpectShifted(Frame(quake, 4000), 0, 0);
  EXPECT_EQ(quake.GetState(), CTransCallback::kStateFinished);
  EXPECT_EQ(quake.Shift(), (QuakeShift{0, 0}));
}

TEST_F(QuakeFilterTest, AShiftTheOtherWayUncoversTheFarStripsAndOneBeyondTheAreaLeavesItBlack) {
  // Three half-waves: half time is the trough of the second.
  auto& back = dynamic_cast<CQuakeFilter&>(Start("quake", {3, 10, 4, 1000, Text("1.0"), 1}));
  Frame(back, 0);
  ExpectShifted(Frame(back, 500), -10, -4);
  auto& far = dynamic_cast<CQuakeFilter&>(Start("quake", {1, 100, 0, 1000, Text("1.0"), 1}));
  Frame(far, 0);
  ExpectShifted(Frame(far, 500), 100, 0);
  auto& below = dynamic_cast<CQuakeFilter&>(Start("quake", {1, 0, 16, 1000, Text("1.0"), 1}));
  Frame(below, 0);
  ExpectShifted(Frame(below, 500), 0, 16);
}

TEST_F(QuakeFilterTest, WithoutBorderFillTheStripsKeepWhatWasThere) {
  auto& quake = dynamic_cast<CQuakeFilter&>(Start("quake", {1, 10, 0, 1000, 0, 0}));
  CImage& work = *front_.GetWorkImage();
  Frame(quake, 0);
  ASSERT_TRUE(work.FillRect(1, 2, 3, nullptr));
  Frame(quake, 500);
  EXPECT_EQ(quake.Shift(), (QuakeShift{5, 0})) << "a null decay text is 0.0";
  EXPECT_EQ(Pixel(work, 4, 3) & 0xFFFFFF, 0x010203u);
  EXPECT_EQ(Pixel(work, 5, 3), Coded(kOld, 0, 3));
}

TEST_F(QuakeFilterTest, WithoutTheRandomGeneratorItIsRefused) {
  g_BuiltinEffectServices.random_index = nullptr;
  CQuakeFilter quake;
  EXPECT_EQ(quake.SetParam(&front_, Args({0, 4, 4, 0, 0, 0})), CQuakeFilter::kNoRandomGenerator);
  g_BuiltinEffectServices.random_index = &random_index_;
  EXPECT_EQ(quake.SetParam(&front_, Args({})), CTransCallback::kMissingArgument);
  EXPECT_EQ(quake.SetParam(nullptr, Args({0, 4, 4, 0, 0, 0})), CTransCallback::kMissingArgument);
  EXPECT_EQ(quake.SetParam(&front_, Args({0, 4, 4, 0, 0, 0})), CTransCallback::kAccepted);
}

}  // namespace
