// The strip, comb and blind patterns, each held to the picture its formulas give: mirrors,
// combs, curtains, blinds, staggered strip sweeps, smear slides and splits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "pattern_pictures.h"

namespace {

using pattern_test::Inside;
using pattern_test::PatternPictures;
using pattern_test::Point;

TEST(StripPatterns, MirrorsShowTheWholeSourceMirroredFromTheFirstLevel) {
  PatternPictures pictures;
  for (const int32_t level : {1, 128, 255}) {
    ASSERT_EQ(pictures.Draw(0, level, 20, 10), 0);
    EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) { return Inside(63 - (dx - 20), dy - 10, 64, 48); }));
    ASSERT_EQ(pictures.Draw(1, level, 20, 10), 0);
    EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) {
      return dx < 20 || dx >= 84 ? std::nullopt : Inside(dx - 20, 47 - (dy - 10), 64, 48);
    }));
  }
}

TEST(StripPatterns, CombsGrowEvenLinesFromOneEdgeAndOddLinesFromTheOtherOnePixelAhead) {
  PatternPictures pictures;
  for (const int32_t level : {1, 100, 255}) {
    SCOPED_TRACE(level);
    const int32_t s = (64 * level) >> 8;
    ASSERT_EQ(pictures.Draw(16, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
      const int32_t sx = dx - 5;
      const int32_t sy = dy - 5;
      const bool shown = sy % 2 == 0 ? sx < s : sx >= std::max(0, 64 - s - 1);
      return shown ? Inside(sx, sy, 64, 48) : std::nullopt;
    }));
    const int32_t t = (48 * level) >> 8;
    ASSERT_EQ(pictures.Draw(17, level, 5, 5), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
      const int32_t sx = dx - 5;
      const int32_t sy = dy - 5;
      const bool shown = sx % 2 == 0 ? sy < t : sy >= std::max(0, 48 - t - 1);
      return shown ? Inside(sx, sy, 64, 48) : std::nullopt;
    }));
  }
}

TEST(StripPatterns, DoubleCombsCompleteTwoRowsOfEveryFourByTheMiddleLevel) {
  PatternPictures pictures;
  for (const int32_t level : {64, 128, 129, 255}) {
    SCOPED_TRACE(level);
    const int32_t s1 = std::min((64 * level) >> 7, 64);
    const int32_t s2 = level > 128 ? ((level - 128) * 64) >> 7 : 0;
    ASSERT_EQ(pictures.Draw(18, level), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
      bool shown = false;
      switch (sy % 4) {
        case 0: shown = sx < s1; break;
        case 2: shown = sx >= std::max(0, 64 - s1 - 1); break;
        case 1: shown = level > 128 && sx < s2; break;
        case 3: shown = level > 128 && sx >= std::max(0, 64 - s2 - 1); break;
      }
      return shown ? Inside(sx, sy, 64, 48) : std::nullopt;
    }));
  }
}

TEST(StripPatterns, CurtainsShiftTheSixRowsUnderTheirEdgeToAlternateSides) {
  PatternPictures pictures(90, 48, 200, 80);
  const int32_t shifts[6] = {-10, 10, -20, 20, -30, 30};  // w/9, 2w/9, w/3 of 90
  const int32_t level = 100;
  const int32_t s = (48 * level) >> 8;  // 18
  ASSERT_EQ(pictures.Draw(21, level, 50, 10), 0);
  EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
    const int32_t sy = dy - 10;
    if (sy >= 0 && sy < s) return Inside(dx - 50, sy, 90, 48);
    if (sy >= s && sy < s + 6) return Inside(dx - 50 - shifts[sy - s], sy, 90, 48);
    return std::nullopt;
  }));
  ASSERT_EQ(pictures.Draw(22, level, 50, 10), 0);
  EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
    const int32_t sy = dy - 10;
    if (sy >= 48 - s && sy < 48) return Inside(dx - 50, sy, 90, 48);
    const int32_t k = 48 - s - 1 - sy;
    if (k >= 0 && k < 6) return Inside(dx - 50 - shifts[k], sy, 90, 48);
    return std::nullopt;
  }));
}

TEST(StripPatterns, BlindsOpenTheirFirstLineAtLevelOneAndEveryLineAt255) {
  PatternPictures pictures;
  struct Case {
    int32_t type;
    bool rows;
    int32_t bar;
    bool far;
  };
  for (const Case c : {Case{35, false, 8, false}, Case{36, false, 8, true}, Case{37, false, 16, false},
                       Case{38, false, 16, true}, Case{39, true, 8, false}, Case{40, true, 8, true},
                       Case{41, true, 16, false}, Case{42, true, 16, true}}) {
    for (const int32_t level : {1, 31, 32, 130, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << c.type << " level " << level);
      const int32_t open = level >> (c.bar == 8 ? 5 : 4);
      ASSERT_EQ(pictures.Draw(c.type, level), 0);
      EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
        const int32_t place = (c.rows ? sy : sx) & (c.bar - 1);
        return (c.far ? c.bar - 1 - place : place) <= open ? Inside(sx, sy, 64, 48) : std::nullopt;
      }));
    }
  }
  ASSERT_EQ(pictures.Draw(35, 1), 0);
  EXPECT_EQ(pictures.DrawnCount(), 8 * 48) << "every eighth column";
  ASSERT_EQ(pictures.Draw(35, 255), 0);
  EXPECT_EQ(pictures.DrawnCount(), 64 * 48) << "every column";
}

TEST(StripPatterns, SlantedBlindsShowNothingBeforeTheirFirstStep) {
  PatternPictures pictures;
  for (int32_t level = 1; level < 32; ++level) {
    ASSERT_EQ(pictures.Draw(43, level), 0);
    ASSERT_EQ(pictures.DrawnCount(), 0) << level;
  }
  for (int32_t level = 1; level < 16; ++level) {
    ASSERT_EQ(pictures.Draw(44, level), 0);
    ASSERT_EQ(pictures.DrawnCount(), 0) << level;
  }
  for (const auto& [type, period, level] : {std::tuple{43, 8, 100}, std::tuple{44, 16, 200}}) {
    SCOPED_TRACE(type);
    const int32_t k = level >> (period == 8 ? 5 : 4);
    ASSERT_EQ(pictures.Draw(type, level), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
      // The segments of row r start at -(r mod (period - 1)) and every period after it.
      const int32_t phase = (sx + sy % (period - 1)) % period;
      return phase < k ? Inside(sx, sy, 64, 48) : std::nullopt;
    }));
  }
}

// Which columns (rows) of an n-long source a staggered sweep with strips of b shows.
bool SweepShows(int32_t i, int32_t n, int32_t b, int32_t level, bool from_start) {
  const int32_t strips = (n + b + 1) / b;
  const int32_t steps = ((strips + b) * level) >> 8;
  const int32_t along = from_start ? i : n - 1 - i;
  const int32_t k = along / b;
  return k < strips && k < steps && along - k * b < std::min(b, steps - k);
}

TEST(StripPatterns, StaggeredSweepsCountTheirStripsFromTheSourcesExtent) {
  // 640 columns: 41 strips of 16 and 81 strips of 8, the last strip lying past the right edge.
  EXPECT_EQ((640 + 16 + 1) / 16, 41);
  EXPECT_EQ((640 + 8 + 1) / 8, 81);
  PatternPictures across(640, 4, 700, 8);
  PatternPictures down(8, 200, 20, 220);
  struct Case {
    int32_t type;
    int32_t strip;
    bool from_start;
    bool rows;
  };
  for (const Case c : {Case{71, 16, true, false}, Case{72, 16, false, false}, Case{73, 8, true, false},
                       Case{74, 8, false, false}, Case{75, 16, true, true}, Case{76, 16, false, true},
                       Case{77, 8, true, true}, Case{78, 8, false, true}}) {
    PatternPictures& pictures = c.rows ? down : across;
    const int32_t w = pictures.SrcWidth();
    const int32_t h = pictures.SrcHeight();
    for (const int32_t level : {1, 30, 60, 128, 200, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << c.type << " level " << level);
      ASSERT_EQ(pictures.Draw(c.type, level), 0);
      EXPECT_TRUE(pictures.Matches([&](int32_t sx, int32_t sy) -> std::optional<Point> {
        const bool shown = SweepShows(c.rows ? sy : sx, c.rows ? h : w, c.strip, level, c.from_start);
        return shown ? Inside(sx, sy, w, h) : std::nullopt;
      }));
    }
  }
}

TEST(StripPatterns, SmearSlidesStretchTheEdgeLineToTheDestinationsEdge) {
  PatternPictures pictures(64, 48, 640, 120);
  for (const int32_t level : {1, 100, 255}) {
    SCOPED_TRACE(level);
    const int32_t r = (64 * level) >> 8;
    // 80: the revealed columns 0 to r at their places, column r over the 540 - r columns right
    // of them, nothing left of the source.
    ASSERT_EQ(pictures.Draw(80, level, 100, 20), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
      if (dx < 100 || dy < 20 || dy >= 68) return std::nullopt;
      return dx < 100 + r ? Point{dx - 100, dy - 20} : Point{r, dy - 20};
    }));
    // 79: the columns w - r to w at their places, column w - r - 1 from the left edge up to them.
    ASSERT_EQ(pictures.Draw(79, level, 100, 20), 0);
    EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
      if (dx >= 164 || dy < 20 || dy >= 68) return std::nullopt;
      return dx >= 164 - r ? Point{dx - 100, dy - 20} : Point{63 - r, dy - 20};
    }));
  }
}

TEST(StripPatterns, SmearSlidesOfRowsStretchUpAndDown) {
  PatternPictures pictures(64, 48, 100, 200);
  const int32_t level = 128;
  const int32_t r = (48 * level) >> 8;  // 24
  ASSERT_EQ(pictures.Draw(82, level, 10, 50), 0);
  EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
    if (dx < 10 || dx >= 74 || dy < 50) return std::nullopt;
    return dy < 50 + r ? Point{dx - 10, dy - 50} : Point{dx - 10, r};
  }));
  ASSERT_EQ(pictures.Draw(81, level, 10, 50), 0);
  EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
    if (dx < 10 || dx >= 74 || dy >= 98) return std::nullopt;
    return dy >= 98 - r ? Point{dx - 10, dy - 50} : Point{dx - 10, 47 - r};
  }));
}

TEST(StripPatterns, SplitsBringTheMiddleHalvesInFromBothEdges) {
  PatternPictures pictures;
  ASSERT_EQ(pictures.Draw(85, 128, 10, 10), 0);
  // Columns w/4 to w/2 at the left edge and w/2 to 3w/4 at the right edge.
  EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) -> std::optional<Point> {
    const int32_t sx = dx - 10;
    if (sx >= 0 && sx < 16) return Inside(sx + 16, dy - 10, 64, 48);
    if (sx >= 48 && sx < 64) return Inside(sx - 16, dy - 10, 64, 48);
    return std::nullopt;
  }));
  ASSERT_EQ(pictures.Draw(86, 128, 10, 10), 0);
  EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) -> std::optional<Point> {
    const int32_t sy = dy - 10;
    if (sy >= 0 && sy < 12) return Inside(dx - 10, sy + 12, 64, 48);
    if (sy >= 36 && sy < 48) return Inside(dx - 10, sy - 12, 64, 48);
    return std::nullopt;
  }));
}

}  // namespace
