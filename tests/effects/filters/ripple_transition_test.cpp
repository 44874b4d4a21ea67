// "ripple": the wave tables from their formulas, their cache of four, the settings' limits, the
// plain cross-fade at both ends, and each frame between against a pixel-by-pixel reading of
// the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

#include "effects/filters/ripple_rows.h"
#include "effects/filters/ripple_table.h"
#include "effects/filters/ripple_transition.h"
#include "transition_fixture.h"

namespace {

std::uintptr_t Text(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }
// A negative argument as the 32-bit word a script passes.
std::uintptr_t Signed(std::int32_t value) { return static_cast<std::uint32_t>(value); }

class RippleTransitionTest : public TransitionFixture {
 protected:
  void SetUp() override {
    TransitionFixture::SetUp();
    CleanUpRipple();
  }
  void TearDown() override {
    CleanUpRipple();
    g_RippleKernel = {"ripple", &RippleRowForward, &RippleRowBackward};
    TransitionFixture::TearDown();
  }
  CRippleTransition& StartRipple(const PluginArgList& args) {
    return dynamic_cast<CRippleTransition&>(Start("ripple", args));
  }
  // old + ((new − old) × level >> 8) in each colour channel, the alpha byte 0.
  static std::uint32_t Blend(std::uint32_t old_pixel, std::uint32_t new_pixel, std::int32_t level) {
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
      const auto o = static_cast<std::int32_t>((old_pixel >> shift) & 0xFF);
      const auto n = static_cast<std::int32_t>((new_pixel >> shift) & 0xFF);
      out |= static_cast<std::uint32_t>(o + (((n - o) * level) >> 8)) << shift;
    }
    return out;
  }
  static std::int32_t Reflect(std::int32_t c, std::int32_t size) {
    if (c < 0) c = -c;
    if (c >= size) c = 2 * size - c - 1;
    return std::clamp(c, 0, size - 1);
  }
  // The frame read pixel by pixel from the tables: the entry of each pixel's quadrant distance,
  // its displacement, and both pictures at the displaced point.
  static std::vector<std::uint32_t> Expected(const CRippleTransition& ripple, std::int32_t width,
                                             std::int32_t height, const CImage& old_picture,
                                             const CImage& new_picture) {
    const CRippleTable& table = *ripple.Table();
    const RippleKey& key = table.Key();
    const std::uint16_t* wave = table.WaveRows(ripple.AmplitudeStep(), ripple.Phase());
    std::vector<std::uint32_t> frame;
    for (std::int32_t y = 0; y < height; ++y) {
      const bool above = y < key.centre_y;
      const std::uint16_t* row = table.DistanceRow(above ? key.centre_y - y - 1 : y - key.centre_y);
      for (std::int32_t x = 0; x < width; ++x) {
        const bool left = x < key.centre_x;
        const std::uint16_t d = wave[row[left ? key.centre_x - x - 1 : x - key.centre_x]];
        const std::int32_t dx = static_cast<std::int8_t>(d >> 8);
        const std::int32_t dy = static_cast<std::int8_t>(d & 0xFF);
        const std::int32_t sx = Reflect(left ? x + dx : x - dx, width);
        const std::int32_t sy = Reflect(above ? y + dy : y - dy, height);
        frame.push_back(Blend(Pixel(old_picture, sx, sy), Pixel(new_picture, sx, sy), ripple.Level()));
      }
    }
    return frame;
  }
  // A ripple on its own pages of width × height, each frame at the given times (its amplitude
  // step above `least_step`) against the tables.
  static void ExpectFramesFollowTheTables(std::int32_t width, std::int32_t height, const PluginArgList& args,
                                          std::initializer_list<std::uint32_t> times, std::int32_t least_step) {
    CImageCanvasEx front;
    CImageCanvasEx back;
    ASSERT_EQ(front.Create(width, height, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(back.Create(width, height, 32, CImagePart::kLayer), 0u);
    ASSERT_EQ(front.SetPartner(&back), 0u);
    Paint(*front.GetImage(), kOld);
    Paint(*back.GetImage(), kNew);
    ASSERT_EQ(CreateLayerFilterByName(&front, "ripple", CImagePart::kModeSwapLayers, 1, args.View()), kFilterAttached);
    auto& ripple = dynamic_cast<CRippleTransition&>(*front.GetAttached());
    ripple.Advance(0);
    for (const std::uint32_t at : times) {
      ripple.Advance(at);
      ASSERT_GT(ripple.AmplitudeStep(), least_step);
      ripple.RenderStrip(plat::Rect{0, 0, width, height});
      EXPECT_EQ(Mismatches(*front.GetWorkImage(), Expected(ripple, width, height, *front.GetImage(), *back.GetImage()),
                           width),
                0)
          << at;
    }
    front.Release();
  }
  static int Mismatches(const CImage& work, const std::vector<std::uint32_t>& expected, std::int32_t width) {
    int count = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const auto x = static_cast<std::int32_t>(i % static_cast<std::size_t>(width));
      const auto y = static_cast<std::int32_t>(i / static_cast<std::size_t>(width));
      count += Pixel(work, x, y) != expected[i] ? 1 : 0;
    }
    return count;
  }
};

TEST(RippleTableTest, TheWaveProfileAndTheDirectionsFollowTheirFormulas) {
  for (const std::int32_t steps : {16, 128}) {
    const std::vector<std::int32_t> profile = RippleWaveProfile(steps);
    ASSERT_EQ(profile.size(), static_cast<std::size_t>(steps));
    for (std::int32_t i = 0; i < steps; ++i) {
      const double t = -6.2831852717958645 * i / steps;
      const double v = (std::sin(t) + 0.2 * std::sin(2 * t - 2.0)) * 0.8403361344537815;
      const double u = std::min(v * v, 1.0) * 2048;
      EXPECT_EQ(profile[static_cast<std::size_t>(i)], static_cast<std::int32_t>(u + 0.5)) << steps << " " << i;
    }
  }
  const auto cosines = RippleDirectionCosines();
  const auto sines = RippleDirectionSines();
  EXPECT_EQ(cosines[0], static_cast<std::int32_t>(std::cos(1.5707963179489661 - 0.5 * 0.04908738493590519) * 2048 + 0.5));
  EXPECT_EQ(sines[31], static_cast<std::int32_t>(std::sin(1.5707963179489661 - 31.5 * 0.04908738493590519) * 2048 + 0.5));
  EXPECT_EQ(cosines[31], sines[0]) << "the directions mirror about the diagonal";
}

TEST(RippleTableTest, BlockZeroIsStillAndTheSecondCopyOfTheRowsRepeatsTheFirst) {
  const RippleKey key{20, 10, 5, 3, 16, 1.0f, 3};
  const CRippleTable table(key);
  EXPECT_EQ(table.HalfWidth(), 15);
  EXPECT_EQ(table.HalfHeight(), 7);
  EXPECT_EQ(table.Blocks(), 12);
  for (std::int32_t e = 0; e < 2 * 16 * CRippleTable::kAngles; ++e) ASSERT_EQ(table.WaveRows(0, 0)[e], 0u) << e;
  for (std::int32_t e = 0; e < 16 * CRippleTable::kAngles; ++e) {
    ASSERT_EQ(table.WaveRows(11, 0)[e], table.WaveRows(11, 16)[e]) << e;
  }
  // Row 0 and column 0 lie half a pixel from the centre: ring 0, the angle of atan(b / a).
  EXPECT_EQ(table.DistanceRow(0)[0], 0 * 32 + 16);
  EXPECT_EQ(table.DistanceRow(6)[0], 6 * 32 + static_cast<std::int32_t>(std::atan(0.5 / 6.5) * 64 / std::numbers::pi));
  EXPECT_EQ(table.DistanceRow(0)[14] >> 5, 14) << "a ring each pixel along the row";
  EXPECT_EQ(table.DistanceRow(0)[14] & 31, 31);
}

TEST_F(RippleTransitionTest, TheCacheKeepsFourTablesAndBuildsEachKeyOnce) {
  const std::uint64_t before = g_RippleTables.Builds();
  // A ripple set up but not attached, which holds its table throughout.
  CRippleTransition holder;
  ASSERT_EQ(holder.SetParam(&front_, Args({400, 10, 5, 16, 0, 0, 8})), CTransCallback::kAccepted);
  const CRippleTable* first = holder.Table();
  ASSERT_EQ(g_RippleTables.Builds(), before + 1);
  auto& again = StartRipple({900, 10, 5, 16, Text("1.0"), Text("3"), 8});
  EXPECT_EQ(again.Table(), first) << "the same size, centre and waves: the same table";
  EXPECT_EQ(g_RippleTables.Builds(), before + 1);
  // Four more keys: the first drops out of the cache, but the ripple that holds it keeps it.
  // (Each Start releases the ripple attached before.)
  for (std::uint32_t centre : {1u, 2u, 3u, 4u}) ASSERT_NE(StartRipple({400, centre, 5, 16, 0, 0, 8}).Table(), first);
  EXPECT_EQ(g_RippleTables.Builds(), before + 5);
  EXPECT_EQ(first->Key().centre_x, 10) << "still alive";
  StartRipple({400, 2, 5, 16, 0, 0, 8});
  EXPECT_EQ(g_RippleTables.Builds(), before + 5) << "centre 2 is still cached";
  StartRipple({400, 10, 5, 16, 0, 0, 8});
  EXPECT_EQ(g_RippleTables.Builds(), before + 6) << "centre 10 was the least recently used";
  StartRipple({400, 2, 5, 16, 0, 0, 8});
  StartRipple({400, 3, 5, 16, 0, 0, 8});
  StartRipple({400, 4, 5, 16, 0, 0, 8});
  EXPECT_EQ(g_RippleTables.Builds(), before + 6);
  StartRipple({400, 1, 5, 16, 0, 0, 8});
  EXPECT_EQ(g_RippleTables.Builds(), before + 7) << "centre 1 was pushed out by centre 10";
  CleanUpRipple();
  StartRipple({400, 4, 5, 16, 0, 0, 8});
  EXPECT_EQ(g_RippleTables.Builds(), before + 8) << "the clean-up empties the cache";
}

TEST_F(RippleTransitionTest, TheSettingsAreHeldToTheirRanges) {
  struct Case {
    PluginArgList args;
    RippleKey key;
    float speed;
  };
  const Case cases[] = {
      {{400, Signed(-1), Signed(-7), 48, 0, 0, 0}, {kWidth, kHeight, 16, 8, 16, 1.0f, 24}, 6.0f},
      {{400, 32, 16, 128, Text("-2"), Text("1.5"), 200}, {kWidth, kHeight, 31, 15, 128, 1.0f, 127}, 1.5f},
      {{400, 0, 0, 32, Text("0.5"), Text("0"), 1}, {kWidth, kHeight, 0, 0, 32, 0.5f, 1}, 0.0f},
      {{400, 31, 15, 64, Text("inf"), 0, 127}, {kWidth, kHeight, 31, 15, 64, 1.0f, 127}, 6.0f},
  };
  for (const Case& c : cases) {
    auto& ripple = StartRipple(c.args);
    EXPECT_EQ(ripple.Table()->Key(), c.key) << c.key.centre_x;
    EXPECT_EQ(ripple.Speed(), c.speed);
  }
}

TEST_F(RippleTransitionTest, BothEndsAreAPlainCrossFadeAndTheFramesBetweenFollowTheTables) {
  auto& ripple = StartRipple({1000, 12, 5, 16, Text("0.8"), Text("6"), 12});
  const CImage& start = Frame(ripple, 7000);
  EXPECT_EQ(ripple.AmplitudeStep(), 0);
  EXPECT_EQ(ripple.Level(), 0);
  EXPECT_EQ(ripple.Phase(), 15) << "the rings run outward: phase N − 1 at the start";
  EXPECT_EQ(Mismatches(start, Expected(ripple, kWidth, kHeight, *front_.GetImage(), *back_.GetImage()), kWidth), 0);
  EXPECT_EQ(Pixel(start, 3, 4), Coded(kOld, 3, 4) & 0xFFFFFF);

  for (const std::uint32_t at : {100u, 250u, 500u, 731u, 999u}) {
    SCOPED_TRACE(at);
    for (const bool vector : {false, true}) {
      g_RippleKernel = vector ? RippleKernel{"ripple", &RippleRowForwardVector, &RippleRowBackwardVector}
                              : RippleKernel{"ripple", &RippleRowForward, &RippleRowBackward};
      const CImage& frame = Frame(ripple, 7000 + at);
      EXPECT_EQ(Mismatches(frame, Expected(ripple, kWidth, kHeight, *front_.GetImage(), *back_.GetImage()), kWidth), 0)
          << (vector ? "vector rows" : "portable rows");
    }
  }
  const CImage& half = Frame(ripple, 7500);
  EXPECT_EQ(ripple.AmplitudeStep(), 47) << "full height at half time: 4M − 1";
  int displaced = 0;
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      displaced += Pixel(half, x, y) != Blend(Coded(kOld, x, y), Coded(kNew, x, y), ripple.Level()) ? 1 : 0;
    }
  }
  EXPECT_GT(displaced, kWidth * kHeight / 4) << "the waves move most pixels";
  EXPECT_EQ(ripple.GetState(), CTransCallback::kStateRunning);

  const CImage& end = Frame(ripple, 8000);
  EXPECT_EQ(ripple.Level(), 255);
  EXPECT_EQ(ripple.AmplitudeStep(), 0);
  EXPECT_EQ(ripple.GetState(), CTransCallback::kStateFinished);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      ASSERT_EQ(Pixel(end, x, y), Blend(Coded(kOld, x, y), Coded(kNew, x, y), 255)) << x << ", " << y;
    }
  }
}

TEST_F(RippleTransitionTest, TheSpeedAndTheStepsSetThePhase) {
  // 6 turns a second over 16 steps: 0.0153 rings a millisecond, a ring every 65.4 ms.
  auto& ripple = StartRipple({1000, 0, 0, 48, 0, 0, 8});
  Frame(ripple, 0);
  Frame(ripple, 66);
  EXPECT_EQ(ripple.Phase(), 16 - 1 - 1);
  Frame(ripple, 1000);
  EXPECT_EQ(ripple.Phase(), 16 - 15 % 16 - 1) << "trunc(1000 × 6 × 16 / 2π / 1000) = 15";
  auto& still = StartRipple({1000, 0, 0, 16, 0, Text("-3"), 8});
  Frame(still, 0);
  Frame(still, 200);
  EXPECT_EQ(still.Phase(), 15) << "a negative speed keeps phase 0 of the rings";
}

// The waves reach about M pixels, more than this picture's size: the reflected points are held
// inside it.
TEST_F(RippleTransitionTest, AWaveHigherThanThePictureReadsOnlyInsideIt) {
  ExpectFramesFollowTheTables(40, 30, {600, 3, 27, 16, 0, 0, 127}, {150u, 300u, 450u}, 300);
}

// A centre near a corner: the runs whose reads would cross the near edges are drawn edge-safe,
// the rest by each member's fast rows.
TEST_F(RippleTransitionTest, OffCentreWavesReadAcrossNoEdge) {
  for (const bool vector : {false, true}) {
    g_RippleKernel = vector ? RippleKernel{"ripple", &RippleRowForwardVector, &RippleRowBackwardVector}
                            : RippleKernel{"ripple", &RippleRowForward, &RippleRowBackward};
    SCOPED_TRACE(vector ? "vector rows" : "portable rows");
    ExpectFramesFollowTheTables(64, 48, {600, 5, 40, 16, 0, 0, 12}, {150u, 300u, 450u}, 20);
    ExpectFramesFollowTheTables(64, 48, {600, 58, 6, 32, 0, 0, 12}, {150u, 300u, 450u}, 20);
  }
}

}  // namespace
