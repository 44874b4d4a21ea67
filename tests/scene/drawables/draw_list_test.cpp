// Draw lists: the order of priorities and equal priorities, the owner rules, and the areas that
// leaving drawables uncover in their layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <random>
#include <vector>

#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/color_box.h"
#include "support/region_rects.h"

namespace {

std::vector<const CDrawable*> Order(const CDrawList& list) {
  std::vector<const CDrawable*> order;
  for (const CDrawList::Node& node : list.Nodes()) order.push_back(node.drawable);
  return order;
}

struct InsertCase {
  const char* name;
  bool behind;
};

class EqualPriorityTest : public testing::TestWithParam<InsertCase> {};

TEST_P(EqualPriorityTest, NewNodesGoAboveOrBelowTheirEquals) {
  CColorBox p, q, r;
  CDrawList list;
  for (CColorBox* box : {&p, &q, &r}) {
    EXPECT_EQ(GetParam().behind ? list.InsertBehind(box, 7, 0) : list.Insert(box, 7, 0), 0u);
    EXPECT_TRUE(box->IsDirty());
    EXPECT_EQ(box->GetOwnerList(), &list);
  }
  const std::vector<const CDrawable*> expected =
      GetParam().behind ? std::vector<const CDrawable*>{&p, &q, &r} : std::vector<const CDrawable*>{&r, &q, &p};
  EXPECT_EQ(Order(list), expected);
}

INSTANTIATE_TEST_SUITE_P(Inserts, EqualPriorityTest,
                         testing::Values(InsertCase{"Insert", false}, InsertCase{"InsertBehind", true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(DrawListTest, PrioritiesCompareUnsignedWithZeroOnTop) {
  CColorBox bottom, middle, top;
  CDrawList list;
  EXPECT_EQ(list.Insert(&bottom, 0xFFFFFFFF, 0), 0u);
  EXPECT_EQ(list.Insert(&top, 0, 0), 0u);
  EXPECT_EQ(list.Insert(&middle, 1, 0), 0u);
  EXPECT_EQ(Order(list), (std::vector<const CDrawable*>{&top, &middle, &bottom}));
}

TEST(DrawListTest, ListedOrNullDrawablesAreRefusedAndStayWhereTheyAre) {
  CColorBox box;
  CDrawList first, second;
  EXPECT_EQ(first.Insert(nullptr, 0, 0), CDrawList::kNullDrawable);
  ASSERT_EQ(first.Insert(&box, 0, 0), 0u);
  EXPECT_EQ(second.Insert(&box, 0, 0), CDrawList::kAlreadyListed);
  EXPECT_EQ(first.InsertBehind(&box, 3, 0), CDrawList::kAlreadyListed);
  EXPECT_EQ(box.GetOwnerList(), &first);
  EXPECT_TRUE(second.IsEmpty());
  EXPECT_FALSE(second.Remove(&box));
  EXPECT_FALSE(second.SetPriority(&box, 1, false));
}

TEST(DrawListTest, SetPriorityKeepsOrRelinksInFrontOfEquals) {
  CColorBox a, b, c;
  CDrawList list;
  list.Insert(&a, 5, 0);
  list.Insert(&b, 5, 0);
  list.Insert(&c, 9, 0);
  c.SetDirty(false);
  EXPECT_TRUE(list.SetPriority(&c, 9, true));
  EXPECT_FALSE(c.IsDirty());
  EXPECT_TRUE(list.SetPriority(&c, 5, false));
  EXPECT_TRUE(c.IsDirty());
  EXPECT_EQ(Order(list), (std::vector<const CDrawable*>{&c, &b, &a}));
  EXPECT_TRUE(list.SetPriorityBehind(&c, 5, false));
  EXPECT_EQ(Order(list), (std::vector<const CDrawable*>{&b, &a, &c}));
}

TEST(DrawListTest, SelectionsByPriorityTagAndId) {
  CColorBox boxes[4];
  CDrawList list;
  const uint32_t tags[4] = {5, 6, 5, 7};
  for (int i = 0; i < 4; ++i) {
    boxes[i].SetId(100 + i);
    list.Insert(&boxes[i], i < 2 ? 1 : 2, tags[i]);
  }
  list.SetEnabledWhere(false, CDrawList::kAny, 5, CDrawList::kAny, true);
  EXPECT_TRUE(boxes[0].IsEnabled());
  EXPECT_FALSE(boxes[1].IsEnabled());
  EXPECT_TRUE(boxes[2].IsEnabled());
  EXPECT_FALSE(boxes[3].IsEnabled());
  list.SetEnabledWhere(false, CDrawList::kAny, CDrawList::kAny, CDrawList::kAny, false);
  for (const CColorBox& box : boxes) EXPECT_FALSE(box.IsEnabled());

  list.RemoveWhere(5, 102, false);
  EXPECT_EQ(boxes[2].GetOwnerList(), nullptr);
  EXPECT_EQ(boxes[0].GetOwnerList(), &list);
  // With invert every node of another priority goes.
  list.RemovePriority(1, true);
  EXPECT_EQ(Order(list), (std::vector<const CDrawable*>{&boxes[1], &boxes[0]}));
  list.RemovePriority(1, false);
  EXPECT_TRUE(list.IsEmpty());
}

// Many changes in every way a list changes, checked after each against a list that finds every
// place by walking from the head, as the order of the list is defined: the index that finds the
// places keeps the same order.
TEST(DrawListTest, EveryChangeKeepsTheOrderAWalkFromTheHeadGives) {
  struct Listed {
    const CDrawable* drawable;
    uint32_t priority;
  };
  std::vector<Listed> walked;
  const auto walk_in = [&](const CDrawable* drawable, uint32_t priority, bool behind) {
    auto place = walked.begin();
    while (place != walked.end() && (behind ? place->priority <= priority : place->priority < priority)) ++place;
    walked.insert(place, Listed{drawable, priority});
  };
  const auto walk_out = [&](const CDrawable* drawable) {
    std::erase_if(walked, [drawable](const Listed& listed) { return listed.drawable == drawable; });
  };

  CColorBox boxes[24];
  CDrawList list;
  std::mt19937 random(5);
  const auto pick = [&](uint32_t below) { return static_cast<uint32_t>(random() % below); };
  for (int step = 0; step < 4000; ++step) {
    CColorBox& box = boxes[pick(24)];
    // Few priorities, so that runs of equals grow and shrink, 0xFFFFFFFF among them.
    const uint32_t priority = std::array<uint32_t, 5>{0, 3, 4, 9, 0xFFFFFFFF}[pick(5)];
    const bool behind = pick(2) == 1;
    const bool in_list = box.GetOwnerList() == &list;
    switch (pick(in_list ? 4 : 2)) {
      case 0:
      case 1:
        if (in_list) {
          ASSERT_TRUE(behind ? list.SetPriorityBehind(&box, priority, false) : list.SetPriority(&box, priority, false));
          walk_out(&box);
        } else {
          ASSERT_EQ(behind ? list.InsertBehind(&box, priority, 0) : list.Insert(&box, priority, 0), 0u);
        }
        walk_in(&box, priority, behind);
        break;
      case 2:
        ASSERT_TRUE(list.Remove(&box));
        walk_out(&box);
        break;
      default:
        if (pick(8) == 0) {
          list.RemovePriority(priority, false);
          std::erase_if(walked, [priority](const Listed& listed) { return listed.priority == priority; });
        }
        break;
    }
    std::vector<const CDrawable*> expected;
    for (const Listed& listed : walked) expected.push_back(listed.drawable);
    ASSERT_EQ(Order(list), expected) << "step " << step;
  }
}

class ListInLayerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(target_.Create(64, 64, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&target_, false), 0u);
  }

  std::vector<RectArray> Region() const { return RegionRects(layer_.GetRegion()); }

  CImage target_;
  CDrawLayer layer_;
};

TEST_F(ListInLayerTest, LeavingUncoversTheLastPaintedAreaExceptByClear) {
  auto destroyed = std::make_unique<CColorBox>();
  CColorBox removed, cleared, never_painted;
  destroyed->SetBox(10, 10, 0xFF000000, 0, 0);
  removed.SetBox(10, 10, 0xFF000000, 20, 0);
  cleared.SetBox(10, 10, 0xFF000000, 40, 0);
  never_painted.SetBox(10, 10, 0xFF000000, 0, 40);
  CDrawList& list = layer_.GetOwnList();
  for (CDrawable* d : {static_cast<CDrawable*>(destroyed.get()), static_cast<CDrawable*>(&removed)}) {
    list.Insert(d, 0, 0);
  }
  ASSERT_EQ(layer_.Repaint(), 0);
  list.Insert(&never_painted, 0, 0);
  never_painted.SetDirty(false);
  EXPECT_TRUE(list.Remove(&never_painted));
  EXPECT_TRUE(Region().empty());

  destroyed.reset();
  EXPECT_EQ(Region(), (std::vector<RectArray>{{0, 0, 10, 10}}));
  layer_.DiscardDirty();
  EXPECT_TRUE(list.Remove(&removed));
  EXPECT_FALSE(removed.IsDirty());
  EXPECT_EQ(Region(), (std::vector<RectArray>{{20, 0, 30, 10}}));

  layer_.DiscardDirty();
  list.Insert(&cleared, 0, 0);
  ASSERT_EQ(layer_.Repaint(), 0);
  list.Clear();
  EXPECT_EQ(cleared.GetOwnerList(), nullptr);
  EXPECT_TRUE(Region().empty());
}

// Many drawables leaving one after another, more than join the region one by one, uncover
// exactly the union of their last painted areas, in rectangles that do not overlap.
TEST_F(ListInLayerTest, ManyLeavingUncoverExactlyTheUnionOfTheirAreas) {
  std::vector<std::unique_ptr<CColorBox>> boxes;
  std::mt19937 random(3);
  CDrawList& list = layer_.GetOwnList();
  for (int i = 0; i < 200; ++i) {
    boxes.push_back(std::make_unique<CColorBox>());
    boxes.back()->SetBox(7, 5, 0xFF000000, static_cast<int32_t>(random() % 60), static_cast<int32_t>(random() % 62));
    ASSERT_EQ(list.Insert(boxes.back().get(), 0, 0), 0u);
  }
  ASSERT_EQ(layer_.Repaint(), 0);
  std::array<std::array<int, 64>, 64> expected{};
  for (const auto& box : boxes) {
    plat::Rect area;
    box->GetBounds(&area);
    for (int32_t y = area.top; y < std::min(area.bottom, 64); ++y) {
      for (int32_t x = area.left; x < std::min(area.right, 64); ++x) expected[y][x] = 1;
    }
  }
  while (!boxes.empty()) boxes.erase(boxes.begin() + static_cast<std::ptrdiff_t>(random() % boxes.size()));
  std::array<std::array<int, 64>, 64> covered{};
  for (const RectArray& rect : Region()) {
    for (int32_t y = rect[1]; y < rect[3]; ++y) {
      for (int32_t x = rect[0]; x < rect[2]; ++x) ++covered[y][x];
    }
  }
  EXPECT_EQ(covered, expected);
}

}  // namespace

namespace {

TEST(AttachedListTest, AnAttachedListThatGoesUnbindsItselfFromTheLayer) {
  CDrawLayer layer;
  auto list = std::make_unique<CDrawList>();
  CDrawList other;
  layer.SetAttachedList(list.get());
  EXPECT_EQ(list->GetLayer(), &layer);
  layer.SetAttachedList(&other);
  EXPECT_EQ(list->GetLayer(), nullptr) << "attaching another list unbinds the first";
  layer.SetAttachedList(list.get());
  list.reset();
  EXPECT_EQ(layer.GetAttachedList(), nullptr);
  EXPECT_EQ(other.GetLayer(), nullptr);
}

// A transition that hands the layers over swaps their attached lists one layer after the other:
// each list stays bound to its new layer, so what changes in it is still painted.
TEST(AttachedListTest, TwoLayersThatSwapTheirListsKeepBothBound) {
  CDrawLayer first;
  CDrawLayer second;
  CDrawList front;
  CDrawList back;
  first.SetAttachedList(&front);
  second.SetAttachedList(&back);
  first.SetAttachedList(&back);
  second.SetAttachedList(&front);
  EXPECT_EQ(front.GetLayer(), &second);
  EXPECT_EQ(back.GetLayer(), &first);
}

}  // namespace
