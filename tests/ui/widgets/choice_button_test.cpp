// The choice map button: which map pixels hit, the hot item under the pointer and through the
// keys, firing with the command id plus the item, and the per-item actions and tooltip texts.
// The map is an 8-bit ELG picture in a temporary game folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "elg_encoder.h"
#include "support/image_host_fixture.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/choice_button.h"
#include "ui/widgets/click_area.h"

namespace {

using gui_test::TestWindow;

constexpr uint32_t kVkTab = 0x09;
constexpr int32_t kX = 100;
constexpr int32_t kY = 50;

class ChoiceButtonTest : public test_support::ImageHostTest {
 protected:
  // A 4 × 2 map: items 0, 1, 2 and a pixel 5 on the first row, 3 on the second; three items,
  // item 1 disabled, the button at (100, 50) with id 100.
  void SetUp() override {
    ImageHostTest::SetUp();
    kvxtools::ElgPicture map;
    map.bit_depth = 8;
    map.width = 4;
    map.height = 2;
    map.pixels = {0, 1, 2, 5, 3, 3, 3, 3};
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(map);
    game_.WriteFile("MAP.ELG", std::string(file.begin(), file.end()));
    ASSERT_EQ(button_.Create("MAP.ELG", 3, kX, kY, true, 0), 0u);
    button_.SetItemEnabled(1, false);
    button_.SetId(100);
    for (int32_t item = 0; item < 3; ++item) {
      const std::string text = "tip" + std::to_string(item);
      CChoiceButton::ItemAction action;
      action.name1 = "n";
      action.value = static_cast<uint32_t>(item);
      action.text = text.c_str();
      action.fired_flag = &fired_[item];
      action.hover_flag = &hover_[item];
      ASSERT_EQ(button_.SetItemAction(item, action), 0u);
    }
    ASSERT_EQ(window_.AddChild(&button_, -1), 0u);
  }
  void Frame(int32_t map_x, int32_t map_y) {
    window_.pointer = {kX + map_x, kY + map_y};
    window_.ProcessInput(0);
  }

  TestWindow window_;
  CChoiceButton button_;
  uint32_t fired_[3] = {};
  uint32_t hover_[3] = {};
};

TEST_F(ChoiceButtonTest, OnlyPixelsOfEnabledItemsBelowTheCountHit) {
  struct Case {
    int32_t x;
    int32_t y;
    bool hit;
  };
  for (const Case& c : {Case{0, 0, true}, Case{1, 0, false}, Case{2, 0, true}, Case{3, 0, false}, Case{0, 1, false},
                        Case{-1, 0, false}, Case{4, 0, false}}) {
    EXPECT_EQ(button_.HitTest(kX + c.x, kY + c.y), c.hit) << c.x << "," << c.y;
  }
  EXPECT_EQ(button_.GetWidth(), 4);
  CChoiceButton none;
  EXPECT_EQ(none.Create("MAP.ELG", 0, 0, 0, true, 0), 1u);
  EXPECT_EQ(none.Create("NONE.ELG", 2, 0, 0, true, 0), 2u);
  EXPECT_FALSE(none.HitTest(0, 0));
}

TEST_F(ChoiceButtonTest, FireSendsTheIdPlusTheItemRunsItsActionAndLocks) {
  EXPECT_TRUE(button_.Fire(2));
  EXPECT_EQ(window_.commands, std::vector<int32_t>{102});
  EXPECT_EQ(fired_[2], 1u);
  EXPECT_EQ(window_.actions, std::vector<std::string>{"- n 2"});
  EXPECT_EQ(window_.sounds, std::vector<std::string>{"- -4"});
  EXPECT_TRUE(button_.IsLocked());
  Frame(0, 0);
  EXPECT_EQ(button_.GetHotItem(), -1);

  button_.SetLocked(false);
  button_.SetId(-1);
  EXPECT_TRUE(button_.Fire(0));
  EXPECT_EQ(window_.commands.size(), 1u);
  EXPECT_EQ(fired_[0], 0u);  // without an id the item's action does not run
  CChoiceButton mute;
  ASSERT_EQ(mute.Create("MAP.ELG", 3, 0, 0, false, 0), 0u);
  window_.AddChild(&mute, -1);
  EXPECT_FALSE(mute.Fire(0));
}

TEST_F(ChoiceButtonTest, ThePointerMakesItemsHotAndAClickFiresTheHotOne) {
  button_.SetSounds("pick", nullptr, nullptr, -1, -1, 5);
  Frame(0, 0);
  EXPECT_EQ(button_.GetHotItem(), 0);
  EXPECT_EQ(hover_[0], 1u);
  EXPECT_STREQ(button_.GetText(), "tip0");
  Frame(2, 0);
  EXPECT_EQ(button_.GetHotItem(), 2);
  EXPECT_EQ(hover_[0], 0u);
  EXPECT_STREQ(button_.GetText(), "tip2");
  window_.SetLeftButton(true);
  Frame(2, 0);
  EXPECT_EQ(button_.GetState(), CChoiceButton::kItemPressed);
  window_.SetLeftButton(false);
  Frame(2, 0);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{102});
  EXPECT_EQ(window_.sounds, (std::vector<std::string>{"- -3", "- 5", "- -3", "pick 0"}));
}

TEST_F(ChoiceButtonTest, SetChoiceAndTabWalkTheEnabledItemsThenTheFocusLeavesOrStartsAgain) {
  window_.focus_pointer_mode = 2;
  EXPECT_EQ(button_.SetChoice(1), 2u);  // disabled
  EXPECT_EQ(button_.SetChoice(-1), 1u);
  EXPECT_EQ(button_.SetChoice(0), 0u);
  EXPECT_EQ(window_.GetFocused(), &button_);
  EXPECT_EQ(button_.GetHotItem(), 0);
  window_.PressKeys({kVkTab});
  window_.ProcessInput(0);
  EXPECT_EQ(button_.GetHotItem(), 2);  // item 1 is disabled
  EXPECT_EQ(hover_[0], 0u);
  window_.PressKeys({});
  window_.PressKeys({kVkTab});
  window_.ProcessInput(0);
  EXPECT_EQ(button_.GetHotItem(), 0);  // nothing else takes the focus: the first item again
  EXPECT_EQ(window_.GetFocused(), &button_);

  CClickArea next;
  next.Create(0, 0, 10, 10, -1, -1, true, true, 0);
  window_.AddChild(&next, -1);
  window_.PressKeys({});
  window_.PressKeys({kVkTab});
  window_.ProcessInput(0);
  window_.PressKeys({});
  window_.PressKeys({kVkTab});
  window_.ProcessInput(0);
  EXPECT_EQ(window_.GetFocused(), &next);
  EXPECT_EQ(button_.GetHotItem(), -1);
}

}  // namespace
