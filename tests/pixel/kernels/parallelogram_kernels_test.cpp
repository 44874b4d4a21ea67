#include "pixel/kernels/parallelogram_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "pixel/kernels/parallelogram_vector_copy.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"
#include "quad_map_test_images.h"
#include "weighted_rules.h"

namespace {

namespace rules = weighted_rules;
using namespace quad_map_test_images;

constexpr uint32_t kSourceSide = 24;

// The centre rule written out: the source point under each destination pixel's centre through
// the inverse of the corners' map; a pixel takes the source pixel holding it when that lies in
// the source rectangle and the sample rectangle. Returns the expected pixels and the box of the
// drawn ones.
using PixelRule = std::function<uint32_t(uint32_t d, uint32_t s)>;
std::vector<uint32_t> CentreRule(const TestTarget& target, const TestSource& source, const Parallelogram& at,
                                 const plat::Rect& clip, const PixelRule& rule, plat::Rect& box) {
  std::vector<uint32_t> expected = target.pixels;
  const auto& p = at.corners;
  const double w = at.source.right - at.source.left;
  const double h = at.source.bottom - at.source.top;
  const double ax = (p[1].x - p[0].x) / w, ay = (p[1].y - p[0].y) / w;
  const double bx = (p[2].x - p[0].x) / h, by = (p[2].y - p[0].y) / h;
  const double det = ax * by - bx * ay;
  box = {};
  for (int32_t y = std::max(clip.top, 0); y < std::min(clip.bottom, target.height); ++y) {
    for (int32_t x = std::max(clip.left, 0); x < std::min(clip.right, target.width); ++x) {
      const double dx = x + 0.5 - p[0].x;
      const double dy = y + 0.5 - p[0].y;
      const auto u = static_cast<int64_t>(std::floor(at.source.left + (by * dx - bx * dy) / det));
      const auto v = static_cast<int64_t>(std::floor(at.source.top + (ax * dy - ay * dx) / det));
      const plat::Rect& s = source.sample_;
      if (u < std::max(at.source.left, s.left) || u >= std::min(at.source.right, s.right) ||
          v < std::max(at.source.top, s.top) || v >= std::min(at.source.bottom, s.bottom)) {
        continue;
      }
      uint32_t& d = expected[static_cast<size_t>(y * target.width + x)];
      d = rule(d, source.At(u, v));
      if (box.left == box.right) box = {x, y, x + 1, y + 1};
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
  }
  return expected;
}

// The pixels that differ, as "x,y shown/expected", the first few of them.
std::string Differences(const std::vector<uint32_t>& shown, const std::vector<uint32_t>& expected, int32_t width) {
  std::string out;
  int count = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] == expected[i] || ++count > 4) continue;
    out += std::to_string(i % width) + "," + std::to_string(i / width) + " " + std::to_string(shown[i]) + "/" +
           std::to_string(expected[i]) + "; ";
  }
  return count == 0 ? "" : std::to_string(count) + " differ: " + out;
}

using Member = std::function<uint32_t(const QuadMapTarget&, QuadMapSource&, const Parallelogram&, const plat::Rect&,
                                      plat::Rect&)>;

struct Map {
  const char* name;
  Parallelogram at;
};

// Turned, zoomed, sheared and mirrored maps whose corners lie off the pixel grid, so that no
// centre falls on a source pixel's edge.
std::vector<Map> Maps() {
  const plat::Rect part{3, 2, 19, 22};
  const auto turned = [&](double angle, double zoom, double x, double y) {
    const double c = std::cos(angle) * zoom;
    const double s = std::sin(angle) * zoom;
    const double w = part.right - part.left;
    const double h = part.bottom - part.top;
    return Parallelogram{{{{x, y}, {x + w * c, y + w * s}, {x - h * s, y + h * c}}}, part};
  };
  return {
      {"turned a little", turned(0.3, 1.0, 10.37, 3.21)},
      {"turned past a quarter, zoomed", turned(2.2, 1.7, 40.13, 12.4)},
      {"shrunk and turned back", turned(-0.9, 0.61, 5.29, 20.83)},
      {"zoomed a lot", turned(0.05, 9.3, -60.3, -41.7)},
      {"sheared", {{{{4.31, 5.13}, {30.7, 9.9}, {12.2, 37.3}}}, part}},
      {"mirrored", {{{{40.33, 2.17}, {8.71, 2.17}, {40.33, 34.67}}}, part}},
  };
}

// Runs check(avx2) with the vector members in their SSE2 form, then, where the processor has it,
// in their AVX2 form.
template <typename Check>
void ForEachVectorForm(Check&& check) {
  check(false);
  if (!pixel_kernel_harness::ProcessorHasAvx2()) return;
  const pixel_kernel_harness::Avx2Form avx2;
  check(true);
}

class ParallelogramKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(ParallelogramKernelsTest, MembersFollowTheCentreRule) {
  TestSource source(kSourceSide, kSourceSide, 11);
  const uint32_t key = source.At(7, 9);
  struct Case {
    std::string name;
    Member member;
    PixelRule rule;
  };
  std::vector<Case> cases = {
      {"copy", MapParallelogram32, [](uint32_t, uint32_t s) { return s; }},
      {"keyed copy",
       [key](const QuadMapTarget& d, QuadMapSource& s, const Parallelogram& at, const plat::Rect& c, plat::Rect& r) {
         return MapParallelogram32Key(d, s, at, c, r, key);
       },
       [key](uint32_t d, uint32_t s) { return s == key ? d : s; }},
  };
  for (const uint8_t level : std::initializer_list<uint8_t>{0, 1, 77, 128, 254, 255}) {
    using BlendMember = decltype(&MapParallelogramAlphaLevel32);
    for (const auto& [name, kernel] : {std::pair<const char*, BlendMember>{"portable", MapParallelogramAlphaLevel32},
                                       std::pair<const char*, BlendMember>{"vector", MapParallelogramAlphaLevel32Mmx}}) {
      cases.push_back({std::string(name) + " blend at " + std::to_string(level),
                       [level, kernel](const QuadMapTarget& d, QuadMapSource& s, const Parallelogram& at,
                                       const plat::Rect& c,
                                       plat::Rect& r) { return kernel(d, s, at, c, r, g_PixelTables.product[level]); },
                       [level](uint32_t d, uint32_t s) {
                         return rules::Blend(d, s, rules::W(rules::Product(level, s >> 24)));
                       }});
    }
  }
  const plat::Rect clip{2, 1, 47, 40};
  for (const Map& map : Maps()) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(map.name) + ", " + c.name);
      TestTarget target(50, 44);
      plat::Rect expected_box;
      const std::vector<uint32_t> expected = CentreRule(target, source, map.at, clip, c.rule, expected_box);
      plat::Rect drawn;
      ASSERT_EQ(c.member(target.View(), source, map.at, clip, drawn), 0u);
      EXPECT_EQ(Differences(target.pixels, expected, target.width), "");
      EXPECT_EQ(std::vector<int32_t>({drawn.left, drawn.top, drawn.right, drawn.bottom}),
                std::vector<int32_t>({expected_box.left, expected_box.top, expected_box.right, expected_box.bottom}));
      EXPECT_LT(drawn.left, drawn.right);
    }
  }
}

// The vector copy reads a step of pixels at a time from evenly spaced rows, whichever way they
// run, and pixel by pixel from others: the portable copy's pixels and box, which are the centre
// rule's, in its SSE2 form and, where the processor has it, its AVX2 form.
TEST_F(ParallelogramKernelsTest, TheVectorCopyFollowsTheCentreRuleOnEveryRowLayout) {
  const plat::Rect clip{2, 1, 47, 40};
  ForEachVectorForm([&](bool avx2) {
    for (const RowLayout layout : {RowLayout::kTopDown, RowLayout::kBottomUp, RowLayout::kEvenRowsFirst}) {
      TestSource source(kSourceSide, kSourceSide, 16);
      source.layout_ = layout;
      for (const Map& map : Maps()) {
        SCOPED_TRACE(std::string(map.name) + (avx2 ? ", AVX2" : ", SSE2") + ", layout " +
                     std::to_string(static_cast<int>(layout)));
        TestTarget target(50, 44);
        plat::Rect expected_box;
        const std::vector<uint32_t> expected =
            CentreRule(target, source, map.at, clip, [](uint32_t, uint32_t s) { return s; }, expected_box);
        TestTarget portable(50, 44);
        plat::Rect portable_box;
        ASSERT_EQ(MapParallelogram32(portable.View(), source, map.at, clip, portable_box), 0u);
        plat::Rect drawn;
        ASSERT_EQ(MapParallelogram32Mmx(target.View(), source, map.at, clip, drawn), 0u);
        EXPECT_EQ(Differences(target.pixels, portable.pixels, target.width), "");
        EXPECT_EQ(Differences(target.pixels, expected, target.width), "");
        EXPECT_EQ(std::vector<int32_t>({drawn.left, drawn.top, drawn.right, drawn.bottom}),
                  std::vector<int32_t>({portable_box.left, portable_box.top, portable_box.right, portable_box.bottom}));
        EXPECT_EQ(drawn, expected_box);
      }
    }
  });
}

// Opaque source pixels share one weight in the vector member (in its AVX2 form too, where the
// processor has it): the same pixels as the per-pixel member at the levels between the ends.
TEST_F(ParallelogramKernelsTest, TheVectorBlendOfAnOpaqueSourceGivesThePerPixelMembersPixels) {
  TestSource source(kSourceSide, kSourceSide, 13);
  source.MakeOpaque();
  const plat::Rect clip{2, 1, 47, 40};
  ForEachVectorForm([&](bool avx2) {
    for (const uint8_t level : std::initializer_list<uint8_t>{1, 128, 254}) {
      for (const Map& map : Maps()) {
        SCOPED_TRACE(std::string(map.name) + (avx2 ? ", AVX2" : ", SSE2") + " at " + std::to_string(level));
        TestTarget per_pixel(50, 44);
        TestTarget vector(50, 44);
        plat::Rect drawn;
        const uint8_t* level_row = g_PixelTables.product[level];
        ASSERT_EQ(MapParallelogramAlphaLevel32(per_pixel.View(), source, map.at, clip, drawn, level_row), 0u);
        ASSERT_EQ(MapParallelogramAlphaLevel32Mmx(vector.View(), source, map.at, clip, drawn, level_row), 0u);
        EXPECT_EQ(Differences(vector.pixels, per_pixel.pixels, vector.width), "");
        EXPECT_NE(vector.pixels, TestTarget(50, 44).pixels);
      }
    }
  });
}

TEST_F(ParallelogramKernelsTest, OnlyTheSampleRectangleIsRead) {
  TestSource source(kSourceSide, kSourceSide, 12);
  source.sample_ = {5, 6, 15, 12};
  for (const Map& map : Maps()) {
    SCOPED_TRACE(map.name);
    TestTarget target(50, 44);
    plat::Rect box;
    const plat::Rect clip{0, 0, 50, 44};
    const std::vector<uint32_t> expected =
        CentreRule(target, source, map.at, clip, [](uint32_t, uint32_t s) { return s; }, box);
    plat::Rect drawn;
    ASSERT_EQ(MapParallelogram32(target.View(), source, map.at, clip, drawn), 0u);
    EXPECT_EQ(Differences(target.pixels, expected, target.width), "");
  }
}

TEST_F(ParallelogramKernelsTest, MapsWithoutAnAreaDrawNothing) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const plat::Rect part{0, 0, 8, 8};
  const std::vector<Map> maps = {
      {"corners on one line", {{{{0, 0}, {8, 8}, {4, 4}}}, part}},
      {"a corner not a number", {{{{0, 0}, {kNan, 0}, {0, 8}}}, part}},
      {"a corner at infinity", {{{{0, 0}, {8, 0}, {0, kInfinity}}}, part}},
      {"an empty source rectangle", {{{{0, 0}, {8, 0}, {0, 8}}}, {4, 0, 4, 8}}},
      {"a sliver a billionth of a pixel wide", {{{{3, 0}, {3 + 1e-9, 0}, {3, 8}}}, part}},
      {"a strip between two columns of centres", {{{{3.6, 0}, {3.9, 0}, {3.6, 8}}}, part}},
  };
  TestSource source(kSourceSide, kSourceSide, 13);
  for (const Map& map : maps) {
    SCOPED_TRACE(map.name);
    TestTarget target(12, 12);
    plat::Rect drawn{1, 1, 2, 2};
    EXPECT_EQ(MapParallelogram32(target.View(), source, map.at, {0, 0, 12, 12}, drawn), 0u);
    EXPECT_EQ(target.pixels, TestTarget(12, 12).pixels);
    EXPECT_GE(drawn.left, drawn.right);
  }
}

TEST_F(ParallelogramKernelsTest, TheClipIsCutToTheDestinationAndAMissingRowTableFails) {
  TestSource source(kSourceSide, kSourceSide, 14);
  std::vector<uint32_t> guarded(6 * 6 + 8, 0xDEADBEEF);
  const QuadMapTarget view{guarded.data() + 4, 6 * 4, 6, 6};
  const Parallelogram over{{{{-3.5, -3.5}, {12.5, -3.5}, {-3.5, 12.5}}}, {0, 0, 16, 16}};
  plat::Rect drawn;
  EXPECT_EQ(MapParallelogram32(view, source, over, {-10, -10, 50, 50}, drawn), 0u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(guarded[i], 0xDEADBEEFu);
    EXPECT_EQ(guarded[guarded.size() - 1 - i], 0xDEADBEEFu);
  }
  for (size_t i = 4; i < guarded.size() - 4; ++i) EXPECT_NE(guarded[i], 0xDEADBEEFu) << i;
  EXPECT_EQ(std::vector<int32_t>({drawn.left, drawn.top, drawn.right, drawn.bottom}),
            std::vector<int32_t>({0, 0, 6, 6}));

  TestSource refusing(kSourceSide, kSourceSide, 15);
  refusing.refuse_ = true;
  TestTarget untouched(6, 6);
  EXPECT_EQ(MapParallelogram32(untouched.View(), refusing, over, {0, 0, 6, 6}, drawn), 1u);
  EXPECT_EQ(untouched.pixels, TestTarget(6, 6).pixels);
}

}  // namespace
