// The dirty region: its edge cases, its node pool, and a property test against a coverage map
// of rectangles added one by one and together.
#include "gfx/images/dirty_region.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

using plat::Rect;

std::vector<Rect> Rects(const CDirtyRegion& region) {
  std::vector<Rect> rects;
  region.ForEachRect([&](const Rect& rect) { rects.push_back(rect); });
  return rects;
}

bool Same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void Add(CDirtyRegion& region, Rect rect) { region.AddRect(&rect); }

TEST(DirtyRegionTest, TheSameRectangleTwiceIsOneRectangle) {
  CDirtyRegion region;
  Add(region, {0, 0, 10, 10});
  Add(region, {0, 0, 10, 10});
  ASSERT_EQ(region.Count(), 1u);
  EXPECT_TRUE(Same(Rects(region)[0], {0, 0, 10, 10}));
}

TEST(DirtyRegionTest, NeighboursInARowJoinInEitherOrder) {
  for (const bool left_first : {true, false}) {
    CDirtyRegion region;
    Add(region, left_first ? Rect{0, 0, 10, 10} : Rect{10, 0, 20, 10});
    Add(region, left_first ? Rect{10, 0, 20, 10} : Rect{0, 0, 10, 10});
    ASSERT_EQ(region.Count(), 1u) << left_first;
    EXPECT_TRUE(Same(Rects(region)[0], {0, 0, 20, 10})) << left_first;
  }
}

TEST(DirtyRegionTest, AnOverlapCutsTheOlderRectangle) {
  CDirtyRegion region;
  Add(region, {0, 0, 10, 10});
  Add(region, {5, 5, 15, 15});
  const std::vector<Rect> rects = Rects(region);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_TRUE(Same(rects[0], {0, 0, 10, 5}));
  EXPECT_TRUE(Same(rects[1], {0, 5, 5, 10}));
  EXPECT_TRUE(Same(rects[2], {5, 5, 15, 15}));
  EXPECT_TRUE(Same(region.BoundingBox(), {0, 0, 15, 15}));
}

TEST(DirtyRegionTest, EmptyRectanglesAreIgnoredAndClearEmptiesTheRegion) {
  CDirtyRegion region;
  Add(region, {5, 5, 5, 9});
  Add(region, {5, 9, 8, 9});
  EXPECT_EQ(region.Count(), 0u);
  EXPECT_FALSE(region.BoundsValid());
  Add(region, {1, 2, 3, 4});
  Add(region, {20, 20, 30, 30});
  region.Clear();
  EXPECT_EQ(region.Count(), 0u);
  EXPECT_EQ(region.Head(), nullptr);
  EXPECT_TRUE(Same(region.BoundingBox(), {0, 0, 0, 0}));
}

TEST(DirtyRegionTest, CoalesceJoinsStackedRectanglesOfTheSameWidth) {
  CDirtyRegion region;
  Add(region, {0, 0, 10, 5});
  Add(region, {0, 5, 10, 10});
  EXPECT_EQ(region.Count(), 2u);
  region.Coalesce();
  ASSERT_EQ(region.Count(), 1u);
  EXPECT_TRUE(Same(Rects(region)[0], {0, 0, 10, 10}));
}

TEST(DirtyRegionTest, ARectangleThatSwallowsTheHeadStillCutsTheNodesAfterIt) {
  CDirtyRegion region;
  Add(region, {0, 0, 10, 10});
  Add(region, {20, 0, 30, 10});
  Add(region, {0, 0, 30, 10});  // the head is cut away entirely; the second node overlaps too
  ASSERT_EQ(region.Count(), 1u);
  EXPECT_TRUE(Same(Rects(region)[0], {0, 0, 30, 10}));
}

TEST(DirtyRegionTest, ARectangleInsideAnotherAddsNothing) {
  CDirtyRegion region;
  Add(region, {0, 0, 50, 50});
  Add(region, {10, 10, 20, 20});
  ASSERT_EQ(region.Count(), 1u);
  EXPECT_TRUE(Same(Rects(region)[0], {0, 0, 50, 50}));
}

TEST(DirtyRegionTest, IntersectRectWritesOnlyARealOverlap) {
  const Rect a{0, 0, 10, 10};
  const Rect b{5, 5, 20, 20};
  const Rect touching{10, 0, 20, 10};
  Rect out{-1, -1, -1, -1};
  EXPECT_FALSE(IntersectRect(&out, &a, &touching));
  EXPECT_TRUE(Same(out, {-1, -1, -1, -1}));
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  EXPECT_TRUE(Same(out, {5, 5, 10, 10}));
  EXPECT_TRUE(IntersectRect(nullptr, &a, &b));
}

TEST(DirtyRegionTest, ThePoolGrowsByWholeBlocksAndKeepsOnlyTheSpareOutWhenRegionsAreEmpty) {
  CDirtyRegion region;
  Add(region, {0, 0, 1, 1});
  const uint32_t before = g_DirtyNodePool.Total();
  EXPECT_EQ(before % CRectNodePool::kGrowth, 0u);
  for (int32_t i = 0; i < 600; ++i) Add(region, {2 * i, 0, 2 * i + 1, 1});  // disjoint: one node each
  EXPECT_GE(region.Count(), 600u);
  EXPECT_EQ(g_DirtyNodePool.Total() % CRectNodePool::kGrowth, 0u);
  EXPECT_GE(g_DirtyNodePool.Total(), region.Count() + 1);
  EXPECT_EQ(g_DirtyNodePool.Total() - g_DirtyNodePool.FreeCount(), region.Count() + 1);  // and the spare
  region.Clear();
  // Only the spare is still out, so the pool keeps its nodes.
  EXPECT_EQ(g_DirtyNodePool.Total() - g_DirtyNodePool.FreeCount(), 1u);
}

// The property test: random sequences on a 64 x 64 grid, compared with a coverage map.
constexpr int kGrid = 64;
using Coverage = std::array<uint8_t, kGrid * kGrid>;

std::string Describe(const std::vector<Rect>& added) {
  std::string text;
  for (const Rect& r : added) {
    text += "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
            std::to_string(r.bottom) + "} ";
  }
  return text;
}

// Sorted by top then left, non-empty, pairwise disjoint, and covering exactly the expected cells.
void ExpectExactCover(const CDirtyRegion& region, const Coverage& expected, const std::string& context) {
  const std::vector<Rect> rects = Rects(region);
  ASSERT_EQ(rects.size(), region.Count()) << context;
  if (region.Count() > 0) {
    ASSERT_EQ(region.Head()->prev->next, region.Head()) << context;
  }
  Coverage painted{};
  for (size_t i = 0; i < rects.size(); ++i) {
    const Rect& r = rects[i];
    ASSERT_LT(r.left, r.right) << context;
    ASSERT_LT(r.top, r.bottom) << context;
    if (i > 0) {
      const Rect& p = rects[i - 1];
      ASSERT_TRUE(p.top < r.top || (p.top == r.top && p.left < r.left)) << "unsorted at " << i << ": " << context;
    }
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        ASSERT_EQ(painted[static_cast<size_t>(y * kGrid + x)]++, 0) << "overlap at " << x << "," << y << ": " << context;
      }
    }
  }
  ASSERT_EQ(painted, expected) << "not the union: " << context;
}

TEST(DirtyRegionTest, RandomSequencesStaySortedDisjointAndCoverTheirUnion) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> coordinate(0, kGrid);
  std::uniform_int_distribution<int> length(1, 16);
  for (int sequence = 0; sequence < 10000; ++sequence) {
    CDirtyRegion region;
    Coverage expected{};
    std::vector<Rect> added;
    const int count = length(random);
    for (int i = 0; i < count; ++i) {
      int x0 = coordinate(random);
      int x1 = coordinate(random);
      int y0 = coordinate(random);
      int y1 = coordinate(random);
      if (x0 > x1) std::swap(x0, x1);
      if (y0 > y1) std::swap(y0, y1);
      const Rect r{x0, y0, x1, y1};
      added.push_back(r);
      region.AddRect(&r);
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) expected[static_cast<size_t>(y * kGrid + x)] = 1;
      }
    }
    const std::string context = "sequence " + std::to_string(sequence) + ": " + Describe(added);
    ExpectExactCover(region, expected, context);
    if (HasFatalFailure()) return;
    CDirtyRegion batched;
    const size_t singly = added.size() / 2;
    for (size_t i = 0; i < singly; ++i) batched.AddRect(&added[i]);
    batched.AddRects(std::span<const Rect>(added).subspan(singly));
    ExpectExactCover(batched, expected, "half of them together, " + context);
    if (HasFatalFailure()) return;
    region.Coalesce();
    ExpectExactCover(region, expected, "after Coalesce, " + context);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
