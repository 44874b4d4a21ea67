// Render lists: order by priority, membership, moves, enabling by mask and the render pass.
#include "gfx/display/render_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class NamedObject : public CRenderObject {
 public:
  NamedObject(std::string name, std::vector<std::string>* drawn, uint32_t result = 0)
      : name_(std::move(name)), drawn_(drawn), result_(result) {}
  uint32_t Render(plat::Surface*, const plat::Rect*, CScreenManager*) override {
    drawn_->push_back(name_);
    return result_;
  }
  uint32_t Restore() override { return result_; }
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRenderStateBlock; }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::vector<std::string>* drawn_;
  uint32_t result_;
};

std::vector<std::string> Order(const CRenderList& list) {
  std::vector<std::string> names;
  list.ForEach([&](CRenderObject* object, uint32_t, uint8_t) {
    names.push_back(static_cast<NamedObject*>(object)->Name());
  });
  return names;
}

using Names = std::vector<std::string>;

TEST(RenderListTest, HigherPrioritiesComeFirstAndEqualsKeepTheirSide) {
  std::vector<std::string> drawn;
  NamedObject a("5a", &drawn), b("9", &drawn), c("5b", &drawn), d("5front", &drawn);
  CRenderList list;
  EXPECT_EQ(list.AddAfterEqual(&a, 5, 0), 0u);
  EXPECT_EQ(list.AddAfterEqual(&b, 9, 0), 0u);
  EXPECT_EQ(list.AddAfterEqual(&c, 5, 0), 0u);
  EXPECT_EQ(Order(list), (Names{"9", "5a", "5b"}));
  EXPECT_EQ(list.AddBeforeEqual(&d, 5, 0), 0u);
  EXPECT_EQ(Order(list), (Names{"9", "5front", "5a", "5b"}));
  EXPECT_EQ(a.GetList(), &list);
}

TEST(RenderListTest, AListedOrNullObjectIsRefusedAndNothingChanges) {
  std::vector<std::string> drawn;
  NamedObject a("a", &drawn);
  CRenderList list, other;
  ASSERT_EQ(list.AddAfterEqual(&a, 1, 0), 0u);
  EXPECT_EQ(list.AddAfterEqual(&a, 3, 0), 2u);
  EXPECT_EQ(other.AddBeforeEqual(&a, 3, 0), 2u);
  EXPECT_EQ(list.AddAfterEqual(nullptr, 3, 0), 1u);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(other.Count(), 0u);
  EXPECT_EQ(a.GetList(), &list);
  other.Remove(&a);
  EXPECT_EQ(a.GetList(), &list);
}

TEST(RenderListTest, MovesReinsertUnlessSkippedOnTheSamePriority) {
  std::vector<std::string> drawn;
  NamedObject a("a", &drawn), b("b", &drawn), c("c", &drawn), stray("stray", &drawn);
  CRenderList list;
  list.AddAfterEqual(&a, 5, 0);
  list.AddAfterEqual(&b, 5, 0);
  list.AddAfterEqual(&c, 2, 0);
  EXPECT_FALSE(list.MoveAfterEqual(&a, 5, true));
  EXPECT_EQ(Order(list), (Names{"a", "b", "c"}));
  EXPECT_TRUE(list.MoveAfterEqual(&a, 5, false));
  EXPECT_EQ(Order(list), (Names{"b", "a", "c"}));
  EXPECT_TRUE(list.MoveBeforeEqual(&c, 5, false));
  EXPECT_EQ(Order(list), (Names{"c", "b", "a"}));
  EXPECT_TRUE(list.MoveAfterEqual(&c, 1, true));
  EXPECT_EQ(Order(list), (Names{"b", "a", "c"}));
  EXPECT_FALSE(list.MoveAfterEqual(&stray, 1, false));
  EXPECT_FALSE(list.MoveBeforeEqual(nullptr, 1, false));
}

TEST(RenderListTest, EnablingMatchesPriorityAndTagMasks) {
  std::vector<std::string> drawn;
  NamedObject a("a", &drawn), b("b", &drawn), c("c", &drawn);
  CRenderList list;
  list.AddAfterEqual(&a, 7, 1);
  list.AddAfterEqual(&b, 7, 2);
  list.AddAfterEqual(&c, 3, 2);
  list.SetEnabledWhere(0, 7, CRenderList::kAnyTag);
  EXPECT_EQ(a.IsEnabled(), 0);
  EXPECT_EQ(b.IsEnabled(), 0);
  EXPECT_EQ(c.IsEnabled(), 1);
  list.SetEnabledWhere(1, CRenderList::kAnyPriority, 2);
  EXPECT_EQ(a.IsEnabled(), 0);
  EXPECT_EQ(b.IsEnabled(), 1);
  EXPECT_EQ(c.IsEnabled(), 1);
  // A tag of 258 is compared as its low byte, 2.
  list.SetEnabledWhere(0, 3, 258);
  EXPECT_EQ(c.IsEnabled(), 0);
  list.SetEnabledWhere(0, CRenderList::kAnyPriority, CRenderList::kAnyTag);
  EXPECT_EQ(b.IsEnabled(), 0);
}

TEST(RenderListTest, RemovalsAndLifetimesLeaveNoDanglingMembership) {
  std::vector<std::string> drawn;
  NamedObject a("a", &drawn), b("b", &drawn), c("c", &drawn);
  auto list = std::make_unique<CRenderList>();
  list->AddAfterEqual(&a, 4, 0);
  list->AddAfterEqual(&b, 4, 0);
  list->AddAfterEqual(&c, 1, 0);
  {
    NamedObject temporary("t", &drawn);
    list->AddAfterEqual(&temporary, 2, 0);
  }
  EXPECT_EQ(Order(*list), (Names{"a", "b", "c"}));
  list->RemoveByPriority(4);
  EXPECT_EQ(Order(*list), (Names{"c"}));
  EXPECT_EQ(a.GetList(), nullptr);
  EXPECT_EQ(b.GetList(), nullptr);
  list.reset();
  EXPECT_EQ(c.GetList(), nullptr);
}

TEST(RenderListTest, RenderAndRestoreRunFromTheHeadAndStopAtTheFirstFailure) {
  std::vector<std::string> drawn;
  NamedObject high("high", &drawn), failing("failing", &drawn, 6), low("low", &drawn);
  CRenderList list;
  list.AddAfterEqual(&low, 1, 0);
  list.AddAfterEqual(&high, 9, 0);
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(drawn, (Names{"high", "low"}));
  list.AddAfterEqual(&failing, 5, 0);
  drawn.clear();
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, nullptr), 6u);
  EXPECT_EQ(drawn, (Names{"high", "failing"}));
  EXPECT_EQ(list.RestoreAll(), 6u);
}

class SelfRemovingObject : public CRenderObject {
 public:
  uint32_t Render(plat::Surface*, const plat::Rect*, CScreenManager*) override {
    GetList()->Remove(this);
    return 0;
  }
  uint32_t Restore() override { return 0; }
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRenderStateBlock; }
};

TEST(RenderListTest, AnObjectMayLeaveTheListWhileItDraws) {
  std::vector<std::string> drawn;
  SelfRemovingObject leaving;
  NamedObject after("after", &drawn);
  CRenderList list;
  list.AddAfterEqual(&leaving, 9, 0);
  list.AddAfterEqual(&after, 1, 0);
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, nullptr), 0u);
  EXPECT_EQ(drawn, (Names{"after"}));
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(leaving.GetList(), nullptr);
}

}  // namespace
