// The selectable list's pointer and keyboard rules, driven through a test window: a list of
// 20-pixel rows at (100, 50) that logs what it is asked to draw.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/numbers/bit_array.h"
#include "support/fake_clock.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/list_part.h"

namespace {

using gui_test::TestWindow;

constexpr int32_t kRow = 20;
constexpr int32_t kListLeft = 100;
constexpr int32_t kListTop = 50;
constexpr int32_t kId = 40;

class RowList : public CListPart {
 public:
  RowList() { width_ = 80; }
  int32_t GetX() const override { return kListLeft; }
  int32_t GetY() const override { return kListTop; }
  void SetPosition(int32_t, int32_t) override {}
  void SetActive(bool) override {}
  bool IsActive() const override { return true; }
  void SetPriority(uint32_t, uint32_t, uint32_t) override {}
  uint32_t GetPriority() const override { return 0; }
  void SetOpacity(uint8_t) override {}
  uint8_t GetOpacity() const override { return 255; }

  std::vector<std::string> drawn;

 protected:
  uint32_t DrawItem(int32_t index, int32_t state) override {
    drawn.push_back(std::to_string(index) + ":" + std::to_string(state));
    return 0;
  }
  bool GetItemPoint(int32_t index, int32_t& x, int32_t& y) const override {
    x = kListLeft + 10;
    y = kListTop + index * kRow + kRow / 2;
    return true;
  }
  bool IsInDragArea(int32_t, int32_t) const override { return false; }
  int32_t ItemAt(int32_t x, int32_t y) const override {
    if (IsHoverSuppressed() || x < 0 || x >= width_ || y < 0) return -1;
    const int32_t row = y / kRow;
    return row < GetItemCount() && !IsItemDisabled(row) ? row : -1;
  }
};

class ListPartTest : public testing::Test {
 protected:
  void SetUp() override {
    list_.SetId(kId);
    ASSERT_EQ(window_.AddChild(&list_, -1), 0u);
  }
  void Add(int32_t count, int32_t value = -1) {
    for (int32_t i = 0; i < count; ++i) {
      CListPart::ItemSetup setup;
      setup.value = value;
      list_.AddItem(setup);
    }
  }
  void Frame(plat::Point pointer) {
    window_.pointer = pointer;
    window_.ProcessInput(clock_.PreciseMilliseconds());
  }
  void Click(plat::Point press, plat::Point release) {
    Frame(press);
    window_.SetLeftButton(true);
    Frame(press);
    window_.PressKeys({});  // the next frame: the button is held, no longer newly pressed
    Frame(release);
    window_.SetLeftButton(false);
    Frame(release);
  }
  static plat::Point Row(int32_t row) { return {kListLeft + 10, kListTop + row * kRow + 5}; }

  ScopedFakeClock clock_;
  TestWindow window_;
  RowList list_;
};

TEST_F(ListPartTest, AnItemAddedUnderTheRestingPointerIsDeadUntilThePointerMovesMoreThanThreePixels) {
  Frame({0, 0});
  window_.pointer = Row(0);
  Add(3);  // added while the pointer rests on row 0
  for (const int32_t dx : {1, 3}) {
    Click({Row(0).x + dx, Row(0).y}, {Row(0).x + dx, Row(0).y});
    EXPECT_TRUE(window_.commands.empty()) << dx;
  }
  Click({Row(0).x + 4, Row(0).y}, {Row(0).x + 4, Row(0).y});
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId});
  EXPECT_TRUE(list_.IsLocked());
}

TEST_F(ListPartTest, PressOnOneItemAndReleaseOnAnotherDecidesNothing) {
  Add(3);
  Frame({0, 0});
  Click(Row(0), Row(1));
  EXPECT_TRUE(window_.commands.empty());
  EXPECT_EQ(list_.GetHovered(), 1);
  EXPECT_EQ(list_.drawn, (std::vector<std::string>{"0:1", "0:2", "0:0", "1:1"}));
  Click(Row(1), Row(1));
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId + 1});
  // Locked after the decision: nothing hovers or decides until an item is added.
  Click(Row(2), Row(2));
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId + 1});
}

// The button came up and then the pointer left, both before the frame read them: the click was
// pressed and released on the item, and counts, whether the pointer went to another item or off
// the list.
TEST_F(ListPartTest, AReleaseOnTheItemCountsWhenThePointerLeavesInTheSameFrame) {
  for (const plat::Point away : {Row(1), plat::Point{0, 0}}) {
    RowList list;
    list.SetId(kId);
    ASSERT_EQ(window_.AddChild(&list, 0), 0u);
    for (int32_t i = 0; i < 3; ++i) list.AddItem({});
    window_.commands.clear();
    Frame({0, 0});
    Frame(Row(0));
    window_.SetLeftButton(true);
    Frame(Row(0));
    window_.PressKeys({});
    window_.SetLeftButton(false);
    Frame(away);
    EXPECT_EQ(window_.commands, std::vector<int32_t>{kId}) << away.x << "," << away.y;
    EXPECT_TRUE(list.IsLocked());
    window_.RemoveChild(&list);
  }
}

TEST_F(ListPartTest, TheValueMarksTheChoiceRecordAndTheResultButTheCommandCarriesTheIndex) {
  CBitArray record;
  record.Resize(64);
  std::vector<uint32_t> decided;
  int32_t chosen = 0;
  list_.SetChoiceRecord(&record, 10, [&](uint32_t value) { decided.push_back(value); });
  Add(2);
  CListPart::ItemSetup setup;
  setup.value = 5;
  setup.chosen_flag = &chosen;
  setup.first_action = "act";
  list_.AddItem(setup);
  EXPECT_TRUE(list_.SelectItem(2));
  EXPECT_TRUE(record.TestBit(15));
  EXPECT_EQ(record.CountBits(), 1u);
  EXPECT_EQ(decided, std::vector<uint32_t>{5});
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId + 2});
  EXPECT_EQ(window_.actions, std::vector<std::string>{"- act 4294967295"});
  EXPECT_EQ(window_.sounds, std::vector<std::string>{"- -4"});
}

TEST_F(ListPartTest, FocusHoversTheFirstItemAndTheDecideKeyDecidesAtOnceWithoutAPressedFrame) {
  Add(3);
  ASSERT_EQ(window_.SetFocusTo(&list_), 0);
  EXPECT_EQ(list_.GetHovered(), 0);
  window_.PressKeys({0x0D});
  Frame(window_.pointer);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId});
}

// Up past the first item and Down past the last pass the focus on to the window's next element,
// unless the list keeps it for the arrow keys; Tab passes it on either way.
TEST_F(ListPartTest, ArrowKeysPastTheEndsLeaveTheListUnlessItKeepsTheFocus) {
  constexpr uint32_t kVkTab = 0x09;
  constexpr uint32_t kVkUp = 0x26;
  constexpr uint32_t kVkDown = 0x28;
  RowList other;  // where the focus goes when it leaves the list
  other.AddItem({});
  ASSERT_EQ(window_.AddChild(&other, -1), 0u);
  Add(3);
  for (const bool keeps : {false, true}) {
    SCOPED_TRACE(keeps ? "keeps the focus" : "passes the focus on");
    list_.SetArrowsKeepFocus(keeps);
    const auto press = [&](uint32_t key) {
      window_.PressKeys({key});
      Frame(window_.pointer);
      window_.PressKeys({});
      Frame(window_.pointer);
    };
    ASSERT_EQ(window_.SetFocusTo(&list_), 0);
    ASSERT_EQ(list_.GetHovered(), 0);
    press(kVkUp);
    EXPECT_EQ(window_.GetFocused() == &list_, keeps);
    if (keeps) {
      EXPECT_EQ(list_.GetHovered(), 0);
    }
    ASSERT_EQ(window_.SetFocusTo(&list_), 0);
    for (int i = 0; i < 3; ++i) press(kVkDown);
    EXPECT_EQ(window_.GetFocused() == &list_, keeps);
    if (keeps) {
      EXPECT_EQ(list_.GetHovered(), 2);
    }
    ASSERT_EQ(window_.SetFocusTo(&list_), 0);
    for (int i = 0; i < 4 && window_.GetFocused() == &list_; ++i) press(kVkTab);
    EXPECT_EQ(window_.GetFocused(), &other) << "Tab leaves the list past its last item";
  }
  window_.RemoveChild(&other);
}

}  // namespace
