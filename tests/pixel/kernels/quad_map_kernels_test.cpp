#include "pixel/kernels/quad_map_kernels.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "quad_map_test_images.h"
#include "weighted_rules.h"

namespace {

namespace rules = weighted_rules;
using namespace quad_map_test_images;

QuadCorners Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {QuadCorner{left, top}, QuadCorner{right, top}, QuadCorner{left, bottom}, QuadCorner{right, bottom}};
}

constexpr int64_t kOne = int64_t{1} << 20;

// The walk of an upright destination rectangle, written out: row t + k takes the edge values
// after k + 1 truncated steps (left edge corners 0 to 2, right edge 1 to 3) and spreads them
// over the span less one pixel (flag 0) or over the whole span.
using PixelRule = std::function<uint32_t(uint32_t d, uint32_t s)>;
std::vector<uint32_t> ExpectedRectangle(const TestTarget& target, const TestSource& source, const QuadCorners& dst,
                                        const QuadCorners& src, const plat::Rect& clip, uint32_t flag,
                                        const PixelRule& rule) {
  std::vector<uint32_t> expected = target.pixels;
  const int64_t height = dst[2].y - dst[0].y;
  const int64_t width = dst[1].x - dst[0].x;
  const auto edge = [&](int32_t from, int32_t to, int64_t steps) {
    return from * kOne + steps * ((to - from) * kOne / height);
  };
  for (int64_t k = 0; k < height; ++k) {
    const int64_t y = dst[0].y + k;
    if (y < clip.top || y >= clip.bottom) continue;
    const int64_t left_u = edge(src[0].x, src[2].x, k + 1);
    const int64_t left_v = edge(src[0].y, src[2].y, k + 1);
    const int64_t right_u = edge(src[1].x, src[3].x, k + 1);
    const int64_t right_v = edge(src[1].y, src[3].y, k + 1);
    const int64_t pixels = flag == 0 ? width - 1 : width;
    for (int64_t i = 0; i < width; ++i) {
      const int64_t x = dst[0].x + i;
      if (x < clip.left || x >= clip.right) continue;
      const int64_t u = (left_u + i * (pixels == 0 ? 0 : (right_u - left_u) / pixels)) >> 20;
      const int64_t v = (left_v + i * (pixels == 0 ? 0 : (right_v - left_v) / pixels)) >> 20;
      const plat::Rect& s = source.sample_;
      if (u < s.left || u >= s.right || v < s.top || v >= s.bottom) continue;
      uint32_t& d = expected[static_cast<size_t>(y * target.width + x)];
      d = rule(d, source.At(u, v));
    }
  }
  return expected;
}

class QuadMapKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(QuadMapKernelsTest, MembersFollowTheRectangleWalk) {
  for (const int level : {1, 128, 160, 254}) {
    SCOPED_TRACE(level);
    const uint8_t* level_row = g_PixelTables.product[level];
    const uint32_t key = 0x12345678;
    const auto blend = [level_row](uint32_t d, uint32_t s) {
      return rules::Blend(d, s, rules::W(level_row[s >> 24]));
    };
    using Member = std::function<uint32_t(const QuadMapTarget&, QuadMapSource&, const QuadCorners&, const QuadCorners&,
                                          const plat::Rect&, uint32_t)>;
    const struct {
      Member kernel;
      PixelRule rule;
    } members[] = {
        {MapQuad32, [](uint32_t, uint32_t s) { return s; }},
        {[key](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
               const plat::Rect& c, uint32_t f) { return MapQuad32Key(d, s, dq, sq, c, f, key); },
         [key](uint32_t d, uint32_t s) { return s == key ? d : s; }},
        {[level_row](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
                     const plat::Rect& c, uint32_t f) { return MapQuadAlphaLevel32(d, s, dq, sq, c, f, level_row); },
         blend},
        {[level_row](const QuadMapTarget& d, QuadMapSource& s, const QuadCorners& dq, const QuadCorners& sq,
                     const plat::Rect& c, uint32_t f) { return MapQuadAlphaLevel32Mmx(d, s, dq, sq, c, f, level_row); },
         blend},
    };
    const QuadCorners sources[] = {
        Rectangle(0, 0, 31, 23),
        {QuadCorner{30, 2}, QuadCorner{3, 5}, QuadCorner{25, 22}, QuadCorner{1, 17}},
        {QuadCorner{-8, -3}, QuadCorner{40, 0}, QuadCorner{2, 30}, QuadCorner{20, 12}},
    };
    const plat::Rect clips[] = {{0, 0, 48, 40}, {9, 7, 30, 21}};
    for (const auto& member : members) {
      for (const QuadCorners& src_quad : sources) {
        for (const plat::Rect& clip : clips) {
          for (const uint32_t flag : {0u, 1u}) {
            for (const QuadCorners& dst_quad : {Rectangle(3, 2, 44, 37), Rectangle(20, 5, 21, 30)}) {
              TestSource source(32, 24, 9);
              source.sample_ = {2, 1, 30, 22};
              TestTarget target(48, 40);
              const std::vector<uint32_t> expected =
                  ExpectedRectangle(target, source, dst_quad, src_quad, clip, flag, member.rule);
              EXPECT_EQ(member.kernel(target.View(), source, dst_quad, src_quad, clip, flag), 0u);
              EXPECT_EQ(target.pixels, expected) << "flag " << flag;
            }
          }
        }
      }
    }
  }
}

TEST_F(QuadMapKernelsTest, NineByNineQuadFillsRowsAndColumnsZeroToEight) {
  for (const uint32_t flag : {0u, 1u}) {
    TestSource source(16, 16, 1);
    source.Fill(0xFFFFFFFF);
    TestTarget target(12, 12);
    EXPECT_EQ(MapQuad32(target.View(), source, Rectangle(0, 0, 9, 9), Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, flag),
              0u);
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(target.Untouched(x, y), x > 8 || y > 8) << x << "," << y;
    }
  }
}

TEST_F(QuadMapKernelsTest, LastPixelOfASpanTakesTheRightEdgePointWithFlagZero) {
  TestSource source(16, 16, 2);
  for (const uint32_t flag : {0u, 1u}) {
    TestTarget target(12, 12);
    // Source columns 0 to 10 over a 6-pixel span: steps of 2 with flag 0, 10 / 6 with flag 1.
    MapQuad32(target.View(), source, Rectangle(0, 0, 6, 4), Rectangle(0, 3, 10, 3), {0, 0, 12, 12}, flag);
    for (int32_t x = 0; x < 6; ++x) {
      const int64_t u = flag == 0 ? 2 * x : (x * (10 * kOne / 6)) >> 20;
      EXPECT_EQ(target.At(x, 0), source.At(u, 3)) << "flag " << flag << " pixel " << x;
    }
    EXPECT_EQ(target.At(5, 0), source.At(flag == 0 ? 10 : 8, 3));
  }
}

TEST_F(QuadMapKernelsTest, DiamondSpansRunFromTheLeftEdgeToBeforeTheRightEdge) {
  TestSource source(16, 16, 3);
  source.Fill(0xFF00FF00);
  TestTarget target(12, 12);
  const QuadCorners diamond{QuadCorner{5, 0}, QuadCorner{10, 5}, QuadCorner{0, 5}, QuadCorner{5, 10}};
  EXPECT_EQ(MapQuad32(target.View(), source, diamond, Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, 0), 0u);
  for (int32_t y = 0; y < 12; ++y) {
    // Row y uses the edges at y + 1.
    const int32_t edge_y = y + 1;
    const int32_t left = edge_y <= 5 ? 5 - edge_y : edge_y - 5;
    const int32_t right = edge_y <= 5 ? 5 + edge_y : 15 - edge_y;
    for (int32_t x = 0; x < 12; ++x) {
      const bool drawn = y < 10 && x >= left && x < right;
      EXPECT_EQ(!target.Untouched(x, y), drawn) << x << "," << y;
    }
  }
}

TEST_F(QuadMapKernelsTest, SelfCrossingOrderDrawsNothing) {
  TestSource source(16, 16, 4);
  TestTarget target(12, 12);
  // The second-highest corner (bottom-right, at y 1) is opposite the top one.
  const QuadCorners crossing{QuadCorner{0, 0}, QuadCorner{9, 9}, QuadCorner{0, 9}, QuadCorner{5, 1}};
  EXPECT_EQ(MapQuad32(target.View(), source, crossing, Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, 0), 0u);
  EXPECT_EQ(target.pixels, TestTarget(12, 12).pixels);
}

TEST_F(QuadMapKernelsTest, RowTableIsBuiltOnceOrTheCallFails) {
  TestSource source(16, 16, 5);
  TestTarget target(12, 12);
  EXPECT_EQ(MapQuad32(target.View(), source, Rectangle(0, 0, 9, 9), Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, 0), 0u);
  EXPECT_EQ(MapQuad32(target.View(), source, Rectangle(0, 0, 9, 9), Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, 0), 0u);
  EXPECT_EQ(source.builds_, 1);

  TestSource refusing(16, 16, 6);
  refusing.refuse_ = true;
  TestTarget untouched(12, 12);
  EXPECT_EQ(MapQuad32(untouched.View(), refusing, Rectangle(0, 0, 9, 9), Rectangle(0, 0, 9, 9), {0, 0, 12, 12}, 0),
            1u);
  EXPECT_EQ(untouched.pixels, TestTarget(12, 12).pixels);
}

// Corners far beyond what 32-bit fixed point holds: the destination lies near the middle of the
// quad and samples near the middle of the source, at the truncated steps.
TEST_F(QuadMapKernelsTest, FarCornersMapExactly) {
  TestSource source(101, 101, 7);
  for (const int32_t reach : {5000, 1 << 24, 1 << 30}) {
    TestTarget target(20, 20);
    EXPECT_EQ(MapQuad32(target.View(), source, Rectangle(-reach, -reach, reach, reach), Rectangle(0, 0, 100, 100),
                        {0, 0, 20, 20}, 1),
              0u);
    const int64_t step = 100 * kOne / (2 * int64_t{reach});
    for (int32_t y = 0; y < 20; ++y) {
      for (int32_t x = 0; x < 20; ++x) {
        const int64_t u = ((x + int64_t{reach}) * step) >> 20;
        const int64_t v = ((y + int64_t{reach} + 1) * step) >> 20;
        ASSERT_EQ(target.At(x, y), source.At(u, v)) << reach << " " << x << "," << y;
      }
    }
  }
}

TEST_F(QuadMapKernelsTest, ClipIsCutToTheDestination) {
  TestSource source(16, 16, 8);
  TestTarget target(6, 6);
  std::vector<uint32_t> guarded(6 * 6 + 8, 0xDEADBEEF);
  QuadMapTarget view{guarded.data() + 4, 6 * 4, 6, 6};
  EXPECT_EQ(MapQuad32(view, source, Rectangle(-3, -3, 12, 12), Rectangle(0, 0, 15, 15), {-10, -10, 50, 50}, 1), 0u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(guarded[i], 0xDEADBEEFu);
    EXPECT_EQ(guarded[guarded.size() - 1 - i], 0xDEADBEEFu);
  }
  for (size_t i = 4; i < guarded.size() - 4; ++i) EXPECT_NE(guarded[i], 0xDEADBEEFu) << i;
}

}  // namespace
