// Check boxes and radio groups: clicks and their values, the frame table, selection within a
// group, locking by Commit, focus passing over a selected radio button, and group membership
// when buttons go.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "support/fake_clock.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/check_button.h"

namespace {

using gui_test::MakeStrip;
using gui_test::TestDrawList;
using gui_test::TestWindow;

constexpr int32_t kSide = 10;
constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkReturn = 0x0D;

class CheckButtonTest : public testing::Test {
 protected:
  // A button of the kind at (x, 0) with its value in values_[slot], in the window.
  std::unique_ptr<CCheckButton> Make(uint8_t kind, int32_t x, size_t slot, CCheckButton* leader = nullptr,
                                     bool has_disabled_frames = false) {
    auto button = std::make_unique<CCheckButton>();
    EXPECT_EQ(button->CreateFromImage(&list_, 1, &values_[slot], &strip_, kind, has_disabled_frames, leader, x, 0, 0,
                                      255, 0),
              0u);
    EXPECT_EQ(window_.AddChild(button.get(), -1), 0u);
    return button;
  }
  // A leader at x 0 and two members at 20 and 40.
  void MakeGroup() {
    group_[0] = Make(CCheckButton::kRadio, 0, 0);
    group_[1] = Make(CCheckButton::kRadio, 20, 1, group_[0].get());
    group_[2] = Make(CCheckButton::kRadio, 40, 2, group_[0].get());
  }
  int32_t Frame(plat::Point pointer) {
    window_.pointer = pointer;
    return window_.ProcessInput(0);
  }
  void Click(plat::Point point) {
    Frame(point);
    window_.SetLeftButton(true);
    Frame(point);
    window_.SetLeftButton(false);
    Frame(point);
  }

  void SetUp() override { MakeStrip(strip_, 8, kSide, kSide); }

  CImage strip_;
  ScopedFakeClock clock_;
  TestWindow window_;
  TestDrawList list_;
  std::array<uint32_t, 4> values_{9, 9, 9, 9};
  std::array<std::unique_ptr<CCheckButton>, 3> group_;
};

TEST_F(CheckButtonTest, ClickingAnUncheckedBoxChecksItHotAndWritesOne) {
  auto box = Make(CCheckButton::kCheckBox, 0, 0);
  box->SetId(5);
  EXPECT_EQ(values_[0], 0u);
  Click({5, 5});
  EXPECT_EQ(box->GetState(), CCheckButton::kCheckedHot);
  EXPECT_EQ(values_[0], 1u);
  EXPECT_EQ(box->GetShownFrame(), 4);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{5});
  Click({5, 5});
  EXPECT_EQ(box->GetState(), CCheckButton::kUncheckedHot);
  EXPECT_EQ(values_[0], 0u);
}

TEST_F(CheckButtonTest, FrameTableByKindWithAndWithoutDisabledFrames) {
  struct Case {
    uint8_t kind;
    bool disabled_frames;
    int32_t frame_count;
    std::array<int32_t, 8> frames;
  };
  const Case cases[] = {
      {CCheckButton::kCheckBox, true, 8, {0, 1, 2, 3, 4, 5, 6, 7}},
      {CCheckButton::kCheckBoxNoPress, true, 6, {0, 1, 1, 2, 3, 3, 4, 5}},
      {CCheckButton::kRadioNoPress, true, 5, {0, 1, 1, 2, 2, 2, 3, 4}},
      {CCheckButton::kRadio, false, 4, {0, 1, 2, 3, 3, 3, 0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    CImage strip;
    MakeStrip(strip, c.frame_count, kSide, kSide);
    CCheckButton button;
    ASSERT_EQ(button.CreateFromImage(&list_, 1, nullptr, &strip, c.kind, c.disabled_frames, nullptr, 0, 0, 0, 255, 0),
              0u);
    EXPECT_EQ(button.GetWidth(), kSide);
    for (uint8_t state = 0; state < 8; ++state) {
      button.SetState(state);
      EXPECT_EQ(button.GetShownFrame(), c.frames[state]) << static_cast<int>(state);
    }
  }
  CCheckButton bad;
  EXPECT_EQ(bad.CreateFromImage(&list_, 1, nullptr, &strip_, 4, false, nullptr, 0, 0, 0, 255, 0), 1u);
}

TEST_F(CheckButtonTest, AGroupStartsWithItsLeaderAndUncheckingAMemberSelectsTheNext) {
  MakeGroup();
  EXPECT_EQ(values_[0], 1u);
  EXPECT_EQ(values_[1], 0u);
  EXPECT_EQ(group_[0]->GetState(), CCheckButton::kChecked);
  EXPECT_TRUE(group_[1]->SetChecked(true));
  EXPECT_EQ(group_[0]->GetSelectedIndex(), 1);
  EXPECT_EQ(values_[0], 0u);
  EXPECT_FALSE(group_[1]->SetChecked(true));
  EXPECT_TRUE(group_[1]->SetChecked(false));
  EXPECT_EQ(group_[2]->GetSelectedIndex(), 2);
  EXPECT_TRUE(group_[2]->SetChecked(false));  // past the last member: back to the leader
  EXPECT_EQ(group_[1]->GetSelectedIndex(), 0);
  EXPECT_EQ(values_, (std::array<uint32_t, 4>{1, 0, 0, 9}));
}

TEST_F(CheckButtonTest, SelectIndexRefusesIndexesOutsideTheGroup) {
  MakeGroup();
  for (const int32_t index : {-1, -100, 3}) {
    EXPECT_EQ(group_[2]->SelectIndex(index), 2u) << index;
    EXPECT_EQ(group_[0]->GetSelectedIndex(), 0);
  }
  EXPECT_EQ(group_[2]->SelectIndex(2), 0u);
  EXPECT_EQ(group_[2]->GetState(), CCheckButton::kChecked);
  auto box = Make(CCheckButton::kCheckBox, 60, 3);
  EXPECT_EQ(box->SelectIndex(0), 1u);
}

TEST_F(CheckButtonTest, TheSelectedRadioIsNeverHoveredAndFocusPassesOverIt) {
  MakeGroup();
  Frame({5, 5});
  EXPECT_EQ(window_.GetHovered(), nullptr);
  Frame({25, 5});
  EXPECT_EQ(window_.GetHovered(), group_[1].get());
  Click({25, 5});
  EXPECT_EQ(group_[0]->GetSelectedIndex(), 1);
  EXPECT_EQ(group_[0]->GetState(), CCheckButton::kUnchecked);
  EXPECT_EQ(window_.GetHovered(), nullptr);
  EXPECT_EQ(window_.SetFocusTo(group_[1].get()), 0);
  EXPECT_EQ(window_.GetFocused(), group_[2].get());
  EXPECT_EQ(group_[2]->GetState(), CCheckButton::kUncheckedHot);
}

TEST_F(CheckButtonTest, FocusPassingRoundSelectedRadiosEndsWithNoFocus) {
  auto first = Make(CCheckButton::kRadio, 0, 0);
  auto second = Make(CCheckButton::kRadio, 20, 1);
  EXPECT_EQ(window_.SetFocusTo(first.get()), 0);
  EXPECT_EQ(window_.GetFocused(), nullptr);
}

TEST_F(CheckButtonTest, DecideClicksAfterTheFlashOrAtOnceWithoutPressedStep) {
  for (const uint8_t kind : {CCheckButton::kCheckBox, CCheckButton::kCheckBoxNoPress}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TestWindow window;
    CCheckButton box;
    ASSERT_EQ(box.CreateFromImage(&list_, 1, &values_[0], &strip_, kind, false, nullptr, 0, 0, 0, 255, 0), 0u);
    window.AddChild(&box, -1);
    window.SetFocusTo(&box);
    window.PressKeys({kVkReturn});
    window.ProcessInput(0);
    if (kind == CCheckButton::kCheckBox) {
      EXPECT_EQ(box.GetState(), CCheckButton::kUncheckedPressed);
      window.PressKeys({});
      clock_.Advance(101);
      window.ProcessInput(0);
    }
    EXPECT_EQ(box.GetState(), CCheckButton::kCheckedHot);
    EXPECT_EQ(values_[0], 1u);
  }
}

TEST_F(CheckButtonTest, CommitWritesTheIndexEverywhereAndLocksTheGroup) {
  MakeGroup();
  group_[0]->SelectIndex(2);
  EXPECT_EQ(window_.SetFocusTo(group_[1].get()), 0);
  EXPECT_EQ(group_[1]->Commit(), 0u);
  EXPECT_EQ(values_, (std::array<uint32_t, 4>{2, 2, 2, 9}));
  EXPECT_EQ(window_.GetFocused(), nullptr);
  for (const auto& button : group_) {
    EXPECT_TRUE(button->IsLocked());
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_FALSE(button->HitTest(button->GetX() + 1, 1));
    EXPECT_FALSE(button->SetEnabled(true));
  }
  group_[2]->SetLocked(false);
  for (const auto& button : group_) EXPECT_TRUE(button->IsEnabled());
  EXPECT_TRUE(group_[1]->HitTest(21, 1));
}

TEST_F(CheckButtonTest, DisablingTheLeaderDisablesTheGroupAndMovingItMovesTheMembers) {
  MakeGroup();
  EXPECT_TRUE(group_[0]->SetEnabled(false));
  EXPECT_EQ(group_[0]->GetState(), CCheckButton::kCheckedDisabled);
  EXPECT_EQ(group_[0]->GetShownFrame(), 3);  // no disabled frames: the checked frame
  EXPECT_EQ(group_[1]->GetState(), CCheckButton::kUncheckedDisabled);
  EXPECT_EQ(values_[1], 2u);
  group_[0]->SelectIndex(1);
  EXPECT_EQ(group_[1]->GetState(), CCheckButton::kCheckedDisabled);
  EXPECT_TRUE(group_[0]->SetEnabled(true));
  EXPECT_EQ(group_[1]->GetState(), CCheckButton::kChecked);
  group_[0]->SetPosition(100, 10);
  EXPECT_EQ(group_[2]->GetX(), 140);
  EXPECT_EQ(group_[2]->GetY(), 10);
}

TEST_F(CheckButtonTest, LeavingMembersKeepTheSelectionAndAGoneLeaderFreesTheMembers) {
  MakeGroup();
  auto last = Make(CCheckButton::kRadio, 60, 3, group_[0].get());
  group_[0]->SelectIndex(3);
  group_[1].reset();  // a member before the selected one goes
  EXPECT_EQ(group_[0]->GetSelectedIndex(), 2);
  EXPECT_TRUE(group_[0]->IsSelected(last.get()));
  last.reset();  // the selected member goes: the leader takes the selection
  EXPECT_EQ(group_[0]->GetSelectedIndex(), 0);
  EXPECT_EQ(group_[0]->GetState(), CCheckButton::kChecked);
  group_[0].reset();
  EXPECT_EQ(group_[2]->GetLeader(), nullptr);
  EXPECT_EQ(group_[2]->SelectIndex(0), 1u);
  CCheckButton stray;
  EXPECT_EQ(stray.CreateFromImage(&list_, 1, nullptr, &strip_, CCheckButton::kRadio, false, group_[2].get(), 0, 0, 0,
                                  255, 0),
            1u);
}

}  // namespace
