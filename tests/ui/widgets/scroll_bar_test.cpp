// The scroll bar's value and thumb arithmetic, paging with auto-repeat under a fake clock, and
// bars made plainly and from picture files, in a test window.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "picture_files_test.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "ui/gui/gui_command_listener.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/scroll_bar.h"
#include "ui/widgets/scroll_bar_arrow.h"

namespace {

using gui_test::TestDrawList;
using gui_test::TestWindow;

constexpr int32_t kThickness = 10;

class ValueLog : public CGuiCommandListener {
 public:
  void OnClick(CGuiElement*, int32_t value) override { values.push_back(value); }
  void OnEndReached(CGuiElement*) override { ++ends; }
  std::vector<int32_t> values;
  int ends = 0;
};

class ScrollBarTest : public testing::Test {
 protected:
  // A vertical plain bar at (0, 0) with 10-pixel arrows: SetRange(134, 8, 1) gives a 114-pixel
  // track, a 14-pixel thumb, range 100 and maximum 7.
  void MakeBar() {
    ASSERT_EQ(bar_.CreatePlain(&list_, 5, 0, 0, true, kThickness, 0xC0C0C0, 0x404040, 0x40FFFFFF, 0x40000000,
                               0xFF000000, 3),
              0);
    bar_.SetListener(&log_);
  }
  void Frame() { window_.ProcessInput(clock_.PreciseMilliseconds()); }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  TestWindow window_;
  TestDrawList list_;
  ValueLog log_;
  CScrollBar bar_;
};

TEST_F(ScrollBarTest, ValueAndThumbOffsetFollowEachOtherByTruncatingDivision) {
  MakeBar();
  ASSERT_EQ(bar_.SetRange(134, 8, 1, 0, 0, 1), 0);
  EXPECT_EQ(bar_.GetThumbLength(), 14);
  EXPECT_EQ(bar_.GetRange(), 100);
  EXPECT_EQ(bar_.GetMaximum(), 7);
  EXPECT_EQ(bar_.SetValue(3), 0);
  EXPECT_EQ(bar_.GetThumbOffset(), 42);
  EXPECT_EQ(bar_.GetThumbFace().GetY(), kThickness + 42);
  EXPECT_EQ(bar_.SetValue(3), CBarBase::kUnchanged);
  EXPECT_EQ(bar_.SetThumbOffset(50), 0);
  EXPECT_EQ(bar_.GetValue(), 3);
  EXPECT_EQ(log_.values, (std::vector<int32_t>{3, 3}));  // a new offset notifies even at the same value
  EXPECT_EQ(bar_.SetThumbOffset(500), 0);
  EXPECT_EQ(bar_.GetThumbOffset(), 100);
  EXPECT_EQ(bar_.GetValue(), 7);
  EXPECT_EQ(bar_.Step(true), 0);
  EXPECT_EQ(bar_.GetValue(), 7);
  EXPECT_EQ(log_.ends, 1);
  EXPECT_FALSE(bar_.GetForwardArrow()->IsEnabled());
  EXPECT_TRUE(bar_.GetBackArrow()->IsEnabled());
}

TEST_F(ScrollBarTest, EverythingVisibleDisablesTheBarAndHidesTheThumb) {
  MakeBar();
  for (const auto& [total, visible] : {std::pair{5, 5}, std::pair{5, 9}}) {
    EXPECT_EQ(bar_.SetRange(134, total, visible, 0, 0, 1), CScrollBar::kThumbDoesNotFit);
    EXPECT_FALSE(bar_.IsEnabled());
    EXPECT_FALSE(bar_.GetThumbFace().IsEnabled());
    EXPECT_EQ(bar_.GetValue(), -1);
    EXPECT_EQ(bar_.SetValue(1), CBarBase::kNoRange);
  }
  EXPECT_EQ(bar_.SetRange(134, 0, 0, 0, 0, 1), 1);
  ASSERT_EQ(bar_.SetRange(134, 8, 1, 0, 0, 1), 0);
  EXPECT_TRUE(bar_.IsEnabled());
}

TEST_F(ScrollBarTest, APressAfterTheThumbPagesAtOnceThenAfter500MsThenEvery100MsUntilTheThumbReachesThePointer) {
  MakeBar();
  ASSERT_EQ(bar_.SetRange(134, 8, 1, 0, 0, 1), 0);
  ASSERT_EQ(bar_.AttachToWindow(&window_, -1), 0);
  window_.pointer = {5, 110};
  Frame();
  ASSERT_EQ(bar_.GetPressState(), CBarBase::kHovered);
  window_.SetLeftButton(true);
  Frame();
  window_.PressKeys({});
  std::vector<std::pair<uint32_t, int32_t>> moves{{0, bar_.GetThumbOffset()}};
  for (uint32_t ms = 1; ms <= 1500; ++ms) {
    clock_.Advance(1);
    Frame();
    if (bar_.GetThumbOffset() != moves.back().second) moves.emplace_back(ms, bar_.GetThumbOffset());
  }
  EXPECT_EQ(moves, (std::vector<std::pair<uint32_t, int32_t>>{
                       {0, 14}, {500, 28}, {600, 42}, {700, 56}, {800, 70}, {900, 84}, {1000, 98}}));
  EXPECT_EQ(bar_.GetPressState(), CBarBase::kHovered);
}

// A bar that jumps to a click, as the sliders do: the thumb goes to the place of the value the
// click gave, not where the pointer was, both after a click off the thumb and after a drag.
TEST_F(ScrollBarTest, AClickThatJumpsLeavesTheThumbAtItsValuesPlace) {
  MakeBar();
  bar_.SetClickMode(1);
  ASSERT_EQ(bar_.SetRange(134, 8, 1, 0, 0, 1), 0);
  ASSERT_EQ(bar_.AttachToWindow(&window_, -1), 0);
  const auto press_at = [this](int32_t y) {
    window_.pointer = {5, y};
    Frame();
    window_.SetLeftButton(true);
    Frame();
    window_.SetLeftButton(false);
    Frame();
  };
  // Centred on y 80 the thumb's offset would be 63, between the places of 4 (57) and 5 (71).
  press_at(80);
  EXPECT_EQ(bar_.GetValue(), 4);
  EXPECT_EQ(bar_.GetThumbOffset(), 57);
  EXPECT_EQ(bar_.GetThumbFace().GetY(), kThickness + 57);
  // Pressed on the thumb and dragged 10 pixels down: it follows the pointer while held.
  window_.pointer = {5, kThickness + 57 + 7};
  Frame();
  window_.SetLeftButton(true);
  Frame();
  window_.pointer = {5, kThickness + 57 + 17};
  Frame();
  EXPECT_EQ(bar_.GetThumbOffset(), 67) << "held";
  window_.SetLeftButton(false);
  Frame();
  EXPECT_EQ(bar_.GetValue(), 4);
  EXPECT_EQ(bar_.GetThumbOffset(), 57) << "let go";
}

TEST_F(ScrollBarTest, TheArrowsStepTheBarAndSitAtEitherEndOfTheTrack) {
  MakeBar();
  ASSERT_EQ(bar_.SetRange(134, 8, 1, 0, 0, 1), 0);
  bar_.SetPosition(20, 30);
  EXPECT_EQ(bar_.GetBackArrow()->GetY(), 30);
  EXPECT_EQ(bar_.GetTrackFace()->GetY(), 30 + kThickness);
  EXPECT_EQ(bar_.GetForwardArrow()->GetY(), 30 + kThickness + 114);
  EXPECT_FALSE(bar_.GetBackArrow()->IsEnabled());
  bar_.GetForwardArrow()->Fire();
  EXPECT_EQ(bar_.GetValue(), 1);
  EXPECT_EQ(bar_.GetThumbOffset(), 14);
  EXPECT_TRUE(bar_.GetBackArrow()->IsEnabled());
  EXPECT_EQ(bar_.CreatePlain(&list_, 5, 0, 0, true, 7, 0, 0, 0, 0, 0, 0), 1);
}

class ScrollBarFileTest : public gui_test::PictureFilesTest {
 protected:
  ScopedPixelLibrary pixels_;
  TestDrawList list_;
};

TEST_F(ScrollBarFileTest, AFixedThumbLongerThanTheTrackHasNoRoomToRunAndStaysAtTheStart) {
  WriteFrames("thumb.elg", 12, 50, {0xFF102030, 0xFF405060, 0xFF708090});
  CScrollBar bar;
  CScrollBar::Files files;
  files.thumb = "thumb.elg";
  ASSERT_EQ(bar.CreateFromFiles(&list_, 1, 0, 0, 0, 0, files, false, true, 2, 255, -1, -1, 0), 0);
  ASSERT_EQ(bar.SetRange(40, 100, 10, 5, 0, 1), 0);  // the computed thumb fits, the 50-pixel picture does not
  EXPECT_EQ(bar.GetRange(), 0);
  EXPECT_EQ(bar.GetThumbOffset(), 0);
  EXPECT_EQ(bar.SetThumbOffset(30), CBarBase::kUnchanged);
  EXPECT_EQ(bar.SetValue(90), 0);
  EXPECT_EQ(bar.GetThumbOffset(), 0);
  files.thumb = "missing.elg";
  EXPECT_EQ(bar.CreateFromFiles(&list_, 1, 0, 0, 0, 0, files, false, true, 2, 255, -1, -1, 0), 2);
}

}  // namespace
