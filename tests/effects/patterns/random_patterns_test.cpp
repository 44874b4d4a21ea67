// The random dissolve and fly-in patterns: the dissolves held to the draws of a generator of the
// test's own seeded alike, the table patterns to the pattern random table, every one through the
// pieces its formulas give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>

#include "effects/patterns/pattern_random.h"
#include "pattern_pictures.h"

namespace {

using pattern_test::Inside;
using pattern_test::PatternPictures;
using pattern_test::Point;
using pattern_test::ReferenceDrawing;

constexpr int32_t kX = 40;
constexpr int32_t kY = 30;
constexpr int32_t kW = 64;
constexpr int32_t kH = 48;

int32_t T(int32_t index) { return (*g_PatternRandomTable)[static_cast<uint32_t>(index) & 255]; }
int32_t Cos(int32_t angle) { return g_TrigTable->cosine[static_cast<uint32_t>(angle) & 511]; }
int32_t Sin(int32_t angle) { return Cos(angle - 128); }
int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
Point At(int32_t bx, int32_t by, int32_t dx, int32_t dy) { return {kX + bx + dx, kY + by + dy}; }

TEST(RandomPatterns, RowJitterShiftsRowsWithinAWindowThatClosesAtTheTopLevel) {
  PatternPictures pictures;
  for (const int32_t level : {1, 128, 255}) {
    SCOPED_TRACE(level);
    pattern_test::SeedProgramRandom(31);
    CSubtractiveGenerator draws(31);
    ASSERT_EQ(pictures.Draw(4, level, kX, kY), 0);
    ReferenceDrawing expected(pictures);
    const int32_t window = 256 - level;
    for (int32_t r = 0; r < kH; ++r) {
      const int32_t dx = draws.Next() % window - (window >> 1);
      expected.Piece({0, r, kW, r + 1}, kX + dx, kY + r);
    }
    EXPECT_TRUE(expected.SameAsDestination());
  }
  ASSERT_EQ(pictures.Draw(4, 255, kX, kY), 0);
  EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) { return Inside(dx - kX, dy - kY, kW, kH); }));
}

TEST(RandomPatterns, ShimmerReadsBlocksFromNearbyPlacesByLevelBand) {
  PatternPictures pictures;
  for (const int32_t level : {60, 150, 229, 240}) {
    SCOPED_TRACE(level);
    const int32_t reach = level < 128 ? 10 : level < 200 ? 6 : level <= 229 ? 4 : 2;
    pattern_test::SeedProgramRandom(5);
    CSubtractiveGenerator draws(5);
    ASSERT_EQ(pictures.Draw(5, level, kX, kY), 0);
    ReferenceDrawing expected(pictures);
    for (int32_t by = 0; by < kH; by += 2) {
      for (int32_t bx = 0; bx < kW; bx += 4) {
        const plat::Rect block{bx, by, std::min(bx + 4, kW), std::min(by + 2, kH)};
        int32_t ox = 0;
        int32_t oy = 0;
        if ((draws.Next() & 255) > level) {
          ox = draws.Next() % reach;
          oy = draws.Next() % reach;
          if (block.right + ox > kW) ox = 0;
          if (block.bottom + oy > kH) oy = 0;
        }
        expected.Piece({block.left + ox, block.top + oy, block.right + ox, block.bottom + oy}, kX + bx, kY + by);
      }
    }
    EXPECT_TRUE(expected.SameAsDestination());
  }
}

TEST(RandomPatterns, DissolvesShowABlockWhenItsRandomByteIsWithinTheThreshold) {
  PatternPictures pictures(70, 46, 160, 120);
  const int32_t w = 70;
  const int32_t h = 46;
  for (int32_t type : {6, 7, 8, 9, 10, 20}) {
    for (const int32_t level : {1, 100, 128, 200, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      pattern_test::SeedProgramRandom(777);
      CSubtractiveGenerator draws(777);
      ASSERT_EQ(pictures.Draw(type, level, kX, kY), 0);
      const int32_t bw = type == 20 ? 2 : 4;
      const int32_t bh = 2;
      std::vector<bool> shown(static_cast<size_t>(w * h));
      for (int32_t by = 0; by < h; by += bh) {
        for (int32_t bx = 0; bx < w; bx += bw) {
          int32_t threshold = level;
          switch (type) {
            case 7: threshold = (256 * (h - 1 - by)) / h - 256 + 2 * level; break;
            case 8: threshold = (256 * by) / h - 256 + 2 * level; break;
            case 9: threshold = (256 * (w - 1 - bx)) / w - 256 + 2 * level; break;
            case 10: threshold = (256 * bx) / w - 256 + 2 * level; break;
            case 20:
              threshold = (((w + h) * level) >> 8) -
                          static_cast<int32_t>(std::sqrt(double((2 * by - h) * (2 * by - h) + (2 * bx - w) * (2 * bx - w))));
              break;
          }
          if ((draws.Next() & 255) > threshold) continue;
          for (int32_t y = by; y < std::min(by + bh, h); ++y) {
            for (int32_t x = bx; x < std::min(bx + bw, w); ++x) shown[static_cast<size_t>(y * w + x)] = true;
          }
        }
      }
      EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) -> std::optional<Point> {
        const std::optional<Point> inside = Inside(dx - kX, dy - kY, w, h);
        return inside && shown[static_cast<size_t>(inside->y * w + inside->x)] ? inside : std::nullopt;
      }));
    }
  }
}

TEST(RandomPatterns, TheDissolveAtTheTopLevelShowsEvenTheBlocksWhoseByteIs255) {
  PatternPictures pictures;
  // A seed whose 384 draws (16 × 24 blocks) hold a byte 255: a block is shown when its byte is
  // at most the level, so at level 255 none is left out.
  uint32_t seed = 1;
  for (bool found = false; !found; ++seed) {
    CSubtractiveGenerator draws(seed);
    for (int i = 0; i < 384; ++i) found = found || (draws.Next() & 255) == 255;
  }
  --seed;
  pattern_test::SeedProgramRandom(seed);
  ASSERT_EQ(pictures.Draw(6, 255, kX, kY), 0);
  EXPECT_EQ(pictures.DrawnCount(), kW * kH);
  EXPECT_TRUE(pictures.OnlyOwnPlaces(kX, kY));
  // At 254 exactly the blocks of byte 255 are left out.
  CSubtractiveGenerator draws(seed);
  int32_t left_out = 0;
  for (int i = 0; i < 384; ++i) left_out += (draws.Next() & 255) == 255 ? 1 : 0;
  pattern_test::SeedProgramRandom(seed);
  ASSERT_EQ(pictures.Draw(6, 254, kX, kY), 0);
  EXPECT_GT(left_out, 0);
  EXPECT_EQ(pictures.DrawnCount(), kW * kH - left_out * 8);
}

TEST(RandomPatterns, TheSweepFromTheTopFillsTheTopRowsFirst) {
  PatternPictures pictures;
  pattern_test::SeedProgramRandom(2024);
  ASSERT_EQ(pictures.Draw(7, 128, kX, kY), 0);
  auto row_share = [&](int32_t sy) {
    int32_t count = 0;
    for (int32_t sx = 0; sx < kW; ++sx) count += pictures.Shown(sx, sy, kX, kY) ? 1 : 0;
    return count;
  };
  EXPECT_GE(row_share(0), kW * 9 / 10);
  EXPECT_LE(row_share(kH - 1), kW / 10);
  pattern_test::SeedProgramRandom(2024);
  ASSERT_EQ(pictures.Draw(7, 1, kX, kY), 0);
  EXPECT_LE(pictures.DrawnCount(), kW * kH / 50) << "almost nothing at level 1";
}

// The ray of a block from the centre and its unit vector in 1/256ths.
struct Ray {
  int32_t dx0, dy0, len, ux, uy;
};
Ray RayOf(int32_t bx, int32_t by) {
  Ray ray{bx - kW / 2, by - kH / 2, 0, 0, 0};
  ray.len = static_cast<int32_t>(std::sqrt(double(ray.dx0 * ray.dx0 + ray.dy0 * ray.dy0)));
  ray.ux = ray.len != 0 ? 256 * ray.dx0 / ray.len : ray.dx0;
  ray.uy = ray.len != 0 ? 256 * ray.dy0 / ray.len : ray.dy0;
  return ray;
}

TEST(RandomPatterns, FlyInsTravelTheTableShareOfWhatIsLeft) {
  PatternPictures pictures;
  ASSERT_TRUE(BuildPatternRandomTable());
  for (const int32_t level : {1, 90, 200, 255}) {
    SCOPED_TRACE(level);
    const int32_t travel = (kW + kH) - (((kW + kH) * level) >> 8);
    const int32_t theta = 2 * (256 - level);
    auto radial = [&](int32_t bx, int32_t by, int32_t a, int32_t b) {
      const Ray ray = RayOf(bx, by);
      return std::pair{Wrap(int64_t{Wrap(int64_t{T(a + bx)} * ray.ux)} * travel) >> 16,
                       Wrap(int64_t{Wrap(int64_t{T(b + bx)} * ray.uy)} * travel) >> 16};
    };

    ASSERT_EQ(pictures.Draw(54, level, kX, kY), 0);
    ReferenceDrawing below_right(pictures);
    below_right.Blocks(4, 2, [&](int32_t bx, int32_t by) {
      return At(bx, by, (T(bx + by) * travel) >> 8, (T(bx + 1 + by) * travel) >> 8);
    });
    EXPECT_TRUE(below_right.SameAsDestination()) << 54;

    for (const auto& [type, bw] : {std::pair{55, 4}, std::pair{56, 2}}) {
      ASSERT_EQ(pictures.Draw(type, level, kX, kY), 0);
      ReferenceDrawing along(pictures);
      along.Blocks(bw, 2, [&](int32_t bx, int32_t by) {
        const auto [dx, dy] = radial(bx, by, 26 * (by / 2), 1 + 38 * (by / 2));
        return At(bx, by, dx, dy);
      });
      EXPECT_TRUE(along.SameAsDestination()) << type;
    }

    ASSERT_EQ(pictures.Draw(57, level, kX, kY), 0);
    ReferenceDrawing swirl(pictures);
    swirl.Blocks(4, 2, [&](int32_t bx, int32_t by) {
      const auto [dx, dy] = radial(bx, by, 26 * (by / 2), 1 + 38 * (by / 2));
      return At(bx, by, Wrap(int64_t{dx} * Cos(theta)) >> 16, Wrap(int64_t{dy} * Sin(theta)) >> 16);
    });
    EXPECT_TRUE(swirl.SameAsDestination()) << 57;

    ASSERT_EQ(pictures.Draw(58, level, kX, kY), 0);
    ReferenceDrawing steered(pictures);
    steered.Blocks(4, 2, [&](int32_t bx, int32_t by) {
      const Ray ray = RayOf(bx, by);
      const int32_t ux = ray.len != 0 ? (Wrap(int64_t{Sin(theta)} * ray.dx0 * 256) >> 16) / ray.len : 0;
      const int32_t uy = ray.len != 0 ? (Wrap(int64_t{Cos(theta)} * ray.dy0 * 256) >> 16) / ray.len : 0;
      return At(bx, by, (ux * travel) >> 8, (uy * travel) >> 8);
    });
    EXPECT_TRUE(steered.SameAsDestination()) << 58;

    ASSERT_EQ(pictures.Draw(63, level, kX, kY), 0);
    ReferenceDrawing turning(pictures);
    turning.Blocks(4, 4, [&](int32_t bx, int32_t by) {
      const Ray ray = RayOf(bx, by);
      const int32_t rx = ((Cos(theta) * ray.dx0) >> 16) - ((Sin(theta) * ray.dy0) >> 16);
      const int32_t ry = ((Cos(theta) * ray.dy0) >> 16) + ((Sin(theta) * ray.dx0) >> 16);
      const auto [dx, dy] = radial(bx, by, 52 * (by / 4), 1 + 76 * (by / 4));
      return Point{kX + kW / 2 + rx + ((dx * Cos(theta)) >> 16), kY + kH / 2 + ry + ((dy * Sin(theta)) >> 16)};
    });
    EXPECT_TRUE(turning.SameAsDestination()) << 63;
  }
}

TEST(RandomPatterns, ShuttersStartAfterTheirDelaysAndCompleteByTheTopLevel) {
  PatternPictures pictures(70, 50, 160, 120);
  ASSERT_TRUE(BuildPatternRandomTable());
  for (int32_t level = 1; level <= 16; ++level) {
    ASSERT_EQ(pictures.Draw(64, level, kX, kY), 0);
    ASSERT_EQ(pictures.DrawnCount(), 0) << level;
  }
  for (const auto& [type, cell] : {std::pair{64, 8}, std::pair{65, 16}}) {
    for (const int32_t level : {40, 100, 180, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      ASSERT_EQ(pictures.Draw(type, level, kX, kY), 0);
      ReferenceDrawing expected(pictures);
      for (int32_t cy = 0, a = 0; cy < 50; cy += cell, a += cell == 8 ? 104 : 208) {
        for (int32_t cx = 0; cx < 70; cx += cell) {
          const int32_t v = T((cx >> 3) + a) >> 1;
          const int32_t k = std::min(cell == 8 ? ((v + level) >> 4) - 8 : ((v + level) >> 3) - 16, cell);
          if (k > 0) expected.Piece({cx, cy, cx + cell, cy + k}, kX + cx, kY + cy + cell - k);
        }
      }
      EXPECT_TRUE(expected.SameAsDestination());
    }
  }
  // At the top level every 8 × 8 cell whose table byte is 2 or more is whole.
  ASSERT_EQ(pictures.Draw(64, 255, kX, kY), 0);
  for (int32_t cy = 0, a = 0; cy + 8 <= 50; cy += 8, a += 104) {
    for (int32_t cx = 0; cx + 8 <= 70; cx += 8) {
      if (T((cx >> 3) + a) < 2) continue;
      for (int32_t y = cy; y < cy + 8; ++y) {
        for (int32_t x = cx; x < cx + 8; ++x) ASSERT_TRUE(pictures.Shown(x, y, kX, kY)) << x << ", " << y;
      }
    }
  }
}

TEST(RandomPatterns, JitterAndFallInSettleAsTheLevelRises) {
  PatternPictures pictures(64, 48, 400, 360);
  const int32_t x = 160;
  const int32_t y = 150;
  ASSERT_TRUE(BuildPatternRandomTable());
  for (const int32_t level : {1, 64, 255}) {
    SCOPED_TRACE(level);
    const int32_t d = (level >> 1) + 1;
    ASSERT_EQ(pictures.Draw(66, level, x, y), 0);
    ReferenceDrawing jitter(pictures);
    jitter.Blocks(4, 4, [&](int32_t bx, int32_t by) {
      const int32_t i = bx >> 2;
      const int32_t j = by >> 2;
      return Point{x + bx + (T(i + 13 * j) - 128) / d, y + by + (T(19 * j + i) - 128) / d};
    });
    EXPECT_TRUE(jitter.SameAsDestination()) << 66;

    ASSERT_EQ(pictures.Draw(67, level, x, y), 0);
    ReferenceDrawing fall(pictures);
    fall.Blocks(4, 4, [&](int32_t bx, int32_t by) {
      const int32_t i = bx >> 2;
      const int32_t j = by >> 2;
      return Point{x + bx + (((T(i + 13 * j) - 128) * (256 - level)) >> 11),
                   y + by + ((T(19 * j + i) * (256 - level)) >> 11)};
    });
    EXPECT_TRUE(fall.SameAsDestination()) << 67;
  }
  // At level 1 the first block stands T[0] - 128 pixels aside and T[0] - 128 below its place.
  ASSERT_EQ(pictures.Draw(66, 1, x, y), 0);
  EXPECT_EQ(pictures.From(x + T(0) - 128, y + T(0) - 128), (Point{0, 0}));
}

}  // namespace
