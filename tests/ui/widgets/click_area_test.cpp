// The click area: its hot point, firing on the press, focus without hit testing, and an area
// that cannot be clicked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/gui/gui_test_support.h"
#include "ui/widgets/click_area.h"

namespace {

using gui_test::TestWindow;

constexpr uint32_t kVkReturn = 0x0D;

TEST(ClickAreaTest, HotPointDefaultsToTheMiddleAndFocusMovesThePointerThere) {
  CClickArea area;
  EXPECT_EQ(area.Create(10, 20, 0, 40, -1, -1, true, true, 0), 1u);
  ASSERT_EQ(area.Create(10, 20, 100, 40, -1, -1, true, true, 0), 0u);
  EXPECT_EQ(area.GetHotX(), 60);
  EXPECT_EQ(area.GetHotY(), 40);
  area.SetPosition(0, 0);
  EXPECT_EQ(area.GetHotX(), 60);
  TestWindow window;
  window.focus_pointer_mode = 1;
  window.AddChild(&area, -1);
  window.SetFocusTo(&area);
  EXPECT_EQ(window.pointer.x, 60);
  EXPECT_EQ(window.pointer.y, 40);
  EXPECT_FALSE(area.IsHot());
}

TEST(ClickAreaTest, FiresOnThePressOfTheLeftButton) {
  CClickArea area;
  ASSERT_EQ(area.Create(10, 20, 100, 40, -1, -1, true, true, 0), 0u);
  area.SetId(4);
  uint32_t fired = 0;
  uint32_t hover = 0;
  CWidgetAction::Setup setup;
  setup.fired_flag = &fired;
  setup.hover_flag = &hover;
  area.SetAction(setup);
  TestWindow window;
  window.AddChild(&area, -1);
  window.pointer = {50, 30};
  window.ProcessInput(0);
  EXPECT_EQ(hover, 1u);
  window.SetLeftButton(true);
  EXPECT_EQ(window.ProcessInput(0), CGuiWindow::kInputMouseButton);
  EXPECT_EQ(window.commands, std::vector<int32_t>{4});
  EXPECT_EQ(fired, 1u);
  window.SetLeftButton(false);
  window.ProcessInput(0);
  EXPECT_EQ(window.commands.size(), 1u);
  EXPECT_EQ(window.sounds, (std::vector<std::string>{"- -3", "- -4"}));
}

TEST(ClickAreaTest, WithoutHitTestingItTakesFocusAndDecidesAndWithoutClickingNothing) {
  CClickArea area;
  ASSERT_EQ(area.Create(10, 20, 100, 40, -1, -1, false, true, 0), 0u);
  area.SetId(6);
  TestWindow window;
  window.AddChild(&area, -1);
  window.pointer = {50, 30};
  window.ProcessInput(0);
  EXPECT_EQ(window.GetHovered(), nullptr);
  EXPECT_EQ(window.SetFocusTo(&area), 0);
  EXPECT_TRUE(area.IsHot());
  window.PressKeys({kVkReturn});
  EXPECT_EQ(window.ProcessInput(0), CGuiWindow::kInputFocusedChild);
  EXPECT_EQ(window.commands, std::vector<int32_t>{6});

  CClickArea mute;  // cannot be clicked: reports and plays nothing
  ASSERT_EQ(mute.Create(0, 0, 10, 10, -1, -1, true, false, 0), 0u);
  window.AddChild(&mute, -1);
  window.sounds.clear();
  EXPECT_FALSE(mute.Fire());
  EXPECT_TRUE(window.sounds.empty());
}

}  // namespace
