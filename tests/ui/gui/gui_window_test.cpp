// The window's child list, focus moves, modal levels, hover and tooltip timing, driven by a
// window whose pointer the test sets and whose keyboard is fed key messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "ui/gui/widget_action.h"

namespace {

using gui_test::LoggingElement;
using gui_test::TestWindow;

constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkShift = 0x10;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkDown = 0x28;

class GuiWindowTest : public testing::Test {
 protected:
  // Children a, b, c side by side, 100 pixels wide each, all in the window.
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const std::string name(1, static_cast<char>('a' + i));
      elements_.push_back(std::make_unique<LoggingElement>(name, log_, plat::Rect{i * 100, 0, i * 100 + 100, 50}));
      ASSERT_EQ(window_.AddChild(elements_.back().get(), -1), 0u);
    }
  }
  LoggingElement& E(int i) { return *elements_[static_cast<size_t>(i)]; }
  std::vector<CGuiElement*> Children() const { return {window_.GetChildren().begin(), window_.GetChildren().end()}; }
  int32_t Frame(uint32_t time, plat::Point pointer) {
    window_.pointer = pointer;
    return window_.ProcessInput(time);
  }

  std::vector<std::string> log_;
  TestWindow window_;
  std::vector<std::unique_ptr<LoggingElement>> elements_;
};

TEST_F(GuiWindowTest, AddChildCodesAndPlacement) {
  EXPECT_EQ(window_.AddChild(nullptr, 0), CGuiWindow::kNullElement);
  EXPECT_EQ(window_.AddChild(&E(1), 0), CGuiWindow::kHasOwner);
  TestWindow other;
  EXPECT_EQ(other.AddChild(&E(1), 0), CGuiWindow::kHasOwner);

  LoggingElement first("first", log_);
  LoggingElement last("last", log_);
  LoggingElement second("second", log_);
  EXPECT_EQ(window_.AddChild(&first, 0), 0u);
  EXPECT_EQ(window_.AddChild(&last, 99), 0u);
  EXPECT_EQ(window_.AddChild(&second, 1), 0u);
  EXPECT_EQ(Children(), (std::vector<CGuiElement*>{&first, &second, &E(0), &E(1), &E(2), &last}));
  EXPECT_EQ(second.GetOwner(), &window_);
}

TEST_F(GuiWindowTest, FocusMovesAndWrapsBackToTheOnlyFocusable) {
  EXPECT_EQ(window_.SetFocusTo(&E(0)), 0);
  E(1).SetEnabled(false);
  E(2).SetActive(false);
  EXPECT_EQ(window_.FocusNext(), CGuiWindow::kFocusWrappedToSelf);
  EXPECT_EQ(window_.GetFocused(), &E(0));
  log_.clear();
  EXPECT_TRUE(window_.MoveFocus(&E(0), CGuiWindow::kTabForward));
  EXPECT_EQ(log_, (std::vector<std::string>{"a: focus from a 1"}));

  E(2).SetActive(true);
  EXPECT_EQ(window_.FocusNext(), 0);
  EXPECT_EQ(window_.GetFocused(), &E(2));
  EXPECT_EQ(window_.SetFocusTo(&E(1)), CGuiWindow::kNotFocusable);
  LoggingElement stranger("x", log_);
  EXPECT_EQ(window_.SetFocusTo(&stranger), CGuiWindow::kNotInList);
  EXPECT_EQ(window_.FocusPrevious(), 0);
  EXPECT_EQ(window_.GetFocused(), &E(0));
}

TEST_F(GuiWindowTest, RemovingTheFocusedChildLeavesNoFocus) {
  window_.SetFocusTo(&E(1));
  log_.clear();
  window_.RemoveChild(&E(1));
  EXPECT_EQ(log_, (std::vector<std::string>{"b: kill focus to b"}));
  EXPECT_EQ(window_.GetFocused(), nullptr);
  EXPECT_EQ(E(1).GetOwner(), nullptr);
  EXPECT_EQ(Children(), (std::vector<CGuiElement*>{&E(0), &E(2)}));
}

TEST_F(GuiWindowTest, ModalLevelsSetChildrenAsideAndDestroyedChildrenLeaveThem) {
  TestWindow empty;
  EXPECT_EQ(empty.PushModalLevel(), 1u);
  EXPECT_EQ(empty.PopModalLevel(), 1u);

  window_.SetFocusTo(&E(0));
  EXPECT_EQ(window_.PushModalLevel(), 0u);
  EXPECT_TRUE(window_.GetChildren().empty());
  EXPECT_EQ(window_.GetFocused(), nullptr);
  EXPECT_EQ(E(0).GetOwner(), &window_);
  auto dialog = std::make_unique<LoggingElement>("d", log_);
  window_.AddChild(dialog.get(), -1);
  elements_[1].reset();  // its destructor unlinks it from the saved level
  EXPECT_EQ(window_.PopModalLevel(), 0u);
  EXPECT_EQ(dialog->GetOwner(), nullptr);
  EXPECT_EQ(window_.GetChildren().size(), 2u);
}

TEST_F(GuiWindowTest, HoverFollowsThePointerAndCaptureKeepsIt) {
  Frame(1, {150, 10});
  EXPECT_EQ(window_.GetHovered(), &E(1));
  window_.SetCapture(true);
  log_.clear();
  Frame(2, {250, 20});
  EXPECT_EQ(window_.GetHovered(), &E(1));
  EXPECT_EQ(log_, (std::vector<std::string>{"b: move 150,20"}));
  window_.SetCapture(false);
  log_.clear();
  Frame(3, {260, 20});
  EXPECT_EQ(log_, (std::vector<std::string>{"b: leave", "c: enter", "c: move 60,20"}));
}

TEST_F(GuiWindowTest, TooltipShowsAfterTheDelayAndNotAgainAfterItExpired) {
  window_.SetTooltipMode(true, 500, 1000);
  E(0).SetText("tip a");
  E(1).SetText("tip b");
  Frame(1000, {10, 10});
  Frame(1499, {10, 10});
  EXPECT_TRUE(window_.tooltips.empty());
  Frame(1500, {10, 10});
  EXPECT_EQ(window_.tooltips, (std::vector<std::string>{"tip a"}));
  EXPECT_TRUE(window_.IsTooltipShown());
  Frame(2501, {10, 10});  // past delay + duration
  EXPECT_FALSE(window_.IsTooltipShown());
  Frame(2600, {20, 10});  // moving within the same child
  Frame(4000, {20, 10});
  EXPECT_EQ(window_.tooltips.size(), 1u);
  Frame(4100, {120, 10});  // another child, resting for the delay
  Frame(4600, {120, 10});
  EXPECT_EQ(window_.tooltips, (std::vector<std::string>{"tip a", "tip b"}));
}

TEST_F(GuiWindowTest, TabShiftTabAndActionsMoveTheFocus) {
  window_.SetFocusTo(&E(1));
  window_.PressKeys({kVkTab});
  EXPECT_EQ(window_.ProcessInput(1), CGuiWindow::kInputFocusMoved);
  EXPECT_EQ(window_.GetFocused(), &E(2));
  window_.PressKeys({kVkShift, kVkTab});
  EXPECT_EQ(window_.ProcessInput(2), CGuiWindow::kInputFocusMoved);
  EXPECT_EQ(window_.GetFocused(), &E(1));
  window_.PressKeys({kVkUp});
  EXPECT_EQ(window_.ProcessInput(3), CGuiWindow::kInputFocusMoved);
  EXPECT_EQ(window_.GetFocused(), &E(0));
  window_.PressKeys({});
  EXPECT_EQ(window_.ProcessInput(4), CGuiWindow::kInputNothing);
}

TEST_F(GuiWindowTest, ADisabledNeighbourFallsThroughToTheNextFocusable) {
  E(0).SetNeighbours(nullptr, nullptr, nullptr, &E(1));
  E(1).SetEnabled(false);
  window_.SetFocusTo(&E(0));
  window_.PressKeys({kVkDown});
  EXPECT_EQ(window_.ProcessInput(1), CGuiWindow::kInputFocusMoved);
  EXPECT_EQ(window_.GetFocused(), &E(2));
}

TEST_F(GuiWindowTest, AnInactiveWindowRefusesInput) {
  window_.SetActive(false);
  EXPECT_EQ(Frame(1, {10, 10}), CGuiWindow::kInputRefused);
  EXPECT_EQ(window_.GetLastResult(), CGuiWindow::kInputRefused);
  EXPECT_EQ(window_.GetHovered(), nullptr);
}

TEST_F(GuiWindowTest, ActionRecordsSetTheirFlagsTellTheOwnerAndChooseTheirSounds) {
  uint32_t fired = 0;
  uint32_t hover = 7;
  uint32_t unhover = 7;
  CWidgetAction::Setup setup;
  setup.name2 = "jump";
  setup.fired_flag = &fired;
  setup.hover_flag = &hover;
  setup.unhover_flag = &unhover;
  setup.decide_sound = "click";
  setup.enter_sound = "";
  setup.leave_id = 4;
  const CWidgetAction action(setup);
  action.Fire(&window_);
  action.SetHover(true);
  EXPECT_EQ(fired, 1u);
  EXPECT_EQ(hover, 1u);
  EXPECT_EQ(unhover, 0u);
  EXPECT_EQ(window_.actions, (std::vector<std::string>{"jump - 0"}));
  CWidgetAction(CWidgetAction::Setup{}).Fire(&window_);  // nothing named: the owner hears nothing
  EXPECT_EQ(window_.actions.size(), 1u);

  for (const auto event : {CWidgetAction::Event::kDecide, CWidgetAction::Event::kEnter, CWidgetAction::Event::kLeave}) {
    CWidgetAction::PlayEventSound(&action, window_, event);
  }
  CWidgetAction::PlayEventSound(nullptr, window_, CWidgetAction::Event::kLeave);
  EXPECT_EQ(window_.sounds, (std::vector<std::string>{"click 0", "- -3", "- 4", "- -2"}));
}

}  // namespace
