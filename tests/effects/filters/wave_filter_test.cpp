// "wave": the swell of the amplitude over the duration, the shortest duration, the rows shifted
// by the wave with the gap colour beside them, and the table it needs.
#include <gtest/gtest.h>

#include "effects/filters/wave_filter.h"
#include "transition_fixture.h"

namespace {

using WaveFilterTest = TransitionFixture;

TEST_F(WaveFilterTest, TheAmplitudeIsZeroAtTheStartAndTheEndAndLargestAtHalfTime) {
  auto& wave = dynamic_cast<CWaveFilter&>(Start("wave", {1000, 0, 12, 64, 0xFF000000, 0xFFFFFFFF}));
  wave.Advance(4000);
  EXPECT_EQ(wave.AmplitudeNow(), 0);
  std::int32_t largest = 0;
  std::uint32_t largest_at = 0;
  for (std::uint32_t at = 0; at <= 1000; at += 50) {
    wave.Advance(4000 + at);
    if (wave.AmplitudeNow() > largest) {
      largest = wave.AmplitudeNow();
      largest_at = at;
    }
    EXPECT_EQ(wave.GetState(), at < 1000 ? CTransCallback::kStateRunning : CTransCallback::kStateFinished) << at;
  }
  EXPECT_EQ(largest, 12);
  EXPECT_EQ(largest_at, 500u);
  EXPECT_EQ(wave.AmplitudeNow(), 0) << "the end";
  EXPECT_EQ(wave.GapColour(), 0xFFFFFFFFu) << "the gap colour has moved to the second colour";
}

TEST_F(WaveFilterTest, ADurationOfOneRunsAsTwo) {
  auto& wave = dynamic_cast<CWaveFilter&>(Start("wave", {1, 0, 4, 64, 0, 0}));
  wave.Advance(10);
  wave.Advance(11);
  EXPECT_EQ(wave.Level(), 127);
  EXPECT_EQ(wave.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(wave.AmplitudeNow(), 4) << "half time of 2 ms";
  wave.Advance(12);
  EXPECT_EQ(wave.GetState(), CTransCallback::kStateFinished);
}

TEST_F(WaveFilterTest, RowsShiftByTheWaveAndTheGapTakesTheColour) {
  // Mode 3 (a constant step of a whole turn per 512 rows' 128 steps): at half time the phase puts
  // rows 0, 4, 8... two pixels right, rows 2, 6... two left, and leaves the odd rows in place.
  constexpr std::uint32_t kGap = 0xFF123456;
  auto& wave = dynamic_cast<CWaveFilter&>(Start("wave", {1000, 3, 2, 65536, kGap, kGap}));
  wave.Advance(500);
  const CImage& work = Frame(wave, 1000);
  ASSERT_EQ(wave.AmplitudeNow(), 2);
  ASSERT_EQ(wave.Level(), 127);
  // The blend of both pictures' pixel at a column, as the row routine gives it.
  const auto blend = [&](std::int32_t x, std::int32_t y) {
    std::uint32_t out = 0;
    const std::uint32_t a = Coded(kOld, x, y);
    const std::uint32_t b = Coded(kNew, x, y);
    EXPECT_TRUE(library_.Routines().row_blend(&out, &a, &b, 1, 127));
    return out;
  };
  for (const std::int32_t y : {0, 1, 2, 3, 4}) {
    const std::int32_t shift = y % 2 != 0 ? 0 : y % 4 == 0 ? 2 : -2;
    SCOPED_TRACE(y);
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::int32_t from = x - shift;
      const std::uint32_t expected = from < 0 || from >= kWidth ? kGap : blend(from, y);
      ASSERT_EQ(Pixel(work, x, y), expected) << x;
    }
  }
}

TEST_F(WaveFilterTest, WithoutTheTrigonometricTableTheWaveIsRefused) {
  g_TrigTable = nullptr;
  CWaveFilter wave;
  EXPECT_EQ(wave.SetParam(&front_, Args({1000, 0, 4, 64, 0, 0})), CTransCallback::kMissingTable);
}

}  // namespace
