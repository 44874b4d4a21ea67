// The list box: its size in rows, the icon column, selection, scrolling a row into view and the
// picture it redraws, in a test window with picture files written for the test; the group a box
// of the widget manager keeps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "picture_files_test.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "support/fake_clock.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/list_box.h"

namespace {

using gui_test::TestDrawList;
using gui_test::TestWindow;

constexpr int32_t kBoxX = 50;
constexpr int32_t kBoxY = 40;
constexpr int32_t kIcon = 12;
constexpr int32_t kId = 21;
constexpr uint32_t kIconColours[4] = {0xFF100000, 0xFF200000, 0xFF300000, 0xFF400000};

class ListBoxTest : public gui_test::PictureFilesTest {
 protected:
  void SetUp() override {
    PictureFilesTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0u);
    WriteFrames("thumb.elg", 8, 12, {0xFF808080, 0xFF909090, 0xFFA0A0A0, 0xFF606060});
    WriteFrames("icons.elg", kIcon, kIcon, {kIconColours[0], kIconColours[1], kIconColours[2], kIconColours[3]});
  }
  // Five rows of 16 pixels 4 apart, icons, ten rows.
  void MakeBox(int32_t rows = 10) {
    CListBox::Setup setup = BoxSetup();
    setup.list = &list_;
    ASSERT_EQ(box_.Create(setup), 0);
    box_.SetId(kId);
    for (int32_t i = 0; i < rows; ++i) box_.AddItem(("row" + std::to_string(i)).c_str(), nullptr, i == rows - 1);
    ASSERT_EQ(box_.AttachToWindow(&window_, -1), 0);
  }
  CListBox::Setup BoxSetup() {
    CListBox::Setup setup;
    setup.priority = 4;
    setup.font = &font_;
    setup.height = -5;
    setup.width = 100;
    setup.x = kBoxX;
    setup.y = kBoxY;
    setup.thumb_file = "thumb.elg";
    setup.scroll_bar_length = 96;
    setup.scroll_bar_x = kBoxX + 112;
    setup.scroll_bar_y = kBoxY;
    setup.icon_file = "icons.elg";
    setup.row_gap = 4;
    setup.group = 6;
    return setup;
  }
  // Entering the box focuses it, which drops the window's hover; the pointer's next move hovers it.
  void ClickAt(int32_t x, int32_t y) {
    window_.pointer = {kBoxX + x + 1, kBoxY + y};
    window_.ProcessInput(0);
    window_.pointer = {kBoxX + x, kBoxY + y};
    window_.ProcessInput(0);
    window_.SetLeftButton(true);
    window_.ProcessInput(0);
    window_.SetLeftButton(false);
    window_.ProcessInput(0);
  }
  uint32_t PixelAt(int32_t x, int32_t y) const { return box_.GetPicture().GetPixel(x, y); }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  TestWindow window_;
  TestDrawList list_;
  CListBox box_;
};

TEST_F(ListBoxTest, MinusFiveRowsOfSixteenWithGapFourIsNinetySixPixelsAndTheIconWidensIt) {
  MakeBox();
  EXPECT_EQ(box_.GetRowHeight(), 16);
  EXPECT_EQ(box_.GetHeight(), 96);
  EXPECT_EQ(box_.GetWidth(), 100 + kIcon);
  EXPECT_EQ(box_.GetScrollBar().GetMaximum(), 10 * 20 - 4 - 96);
  EXPECT_TRUE(box_.GetScrollBar().IsEnabled());
  // The group given tags the box's picture and the thumb, and is the element's group.
  ASSERT_EQ(list_.Nodes().size(), 2u);
  for (const CDrawList::Node& node : list_.Nodes()) EXPECT_EQ(node.tag, 6u);
  EXPECT_EQ(box_.GetGroup(), 6);
}

TEST_F(ListBoxTest, ABoxOfTheWidgetManagerKeepsTheManagersGroupSoDeletingTheGroupTakesIt) {
  CDrawLayer layer;
  CWidgetManager manager;
  manager.SetLayer(&layer);
  CGuiElement* boxes[2] = {};
  for (const int32_t group : {2, 7}) {
    manager.group = group;
    ASSERT_EQ(manager.CreateListBox(&boxes[group == 7], BoxSetup()), 0);
  }
  EXPECT_EQ(boxes[0]->GetGroup(), 2);
  EXPECT_EQ(boxes[1]->GetGroup(), 7);
  manager.DeleteGroup(7, false);
  EXPECT_TRUE(manager.Owns(boxes[0]));
  EXPECT_FALSE(manager.Owns(boxes[1]));
}

TEST_F(ListBoxTest, APressInTheIconColumnTogglesOnlyTheIconAndSelectingTheSelectedRowReportsNothing) {
  MakeBox();
  ASSERT_EQ(box_.GetIconState(3), 1);
  ClickAt(5, 3 * 20 + 5);
  EXPECT_EQ(box_.GetIconState(3), 0);
  EXPECT_EQ(box_.GetSelection(), -1);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{kId});
  EXPECT_EQ(PixelAt(2, 3 * 20 + 8), kIconColours[1]);  // off, under the pointer
  EXPECT_EQ(PixelAt(2, 2 * 20 + 8), kIconColours[2]);  // on
  for (int i = 0; i < 2; ++i) ClickAt(60, 2 * 20 + 5);
  EXPECT_EQ(box_.GetSelection(), 2);
  EXPECT_EQ(window_.commands, (std::vector<int32_t>{kId, kId}));
  EXPECT_EQ(PixelAt(kIcon + 90, 2 * 20 + 8), CListBox::kDefaultSelectionColour);
  EXPECT_EQ(PixelAt(kIcon + 90, 2 * 20 + 16), CListBox::kDefaultBackground);  // the gap
}

TEST_F(ListBoxTest, ASelectedRowBelowTheViewIsScrolledToTheBottomEdge) {
  MakeBox();
  ASSERT_EQ(box_.SetSelection(9), 0u);
  EXPECT_EQ(box_.GetScrollBar().GetValue(), 9 * 20 + 16 - 96);
  EXPECT_EQ(PixelAt(kIcon + 90, 95), CListBox::kDefaultSelectionColour);
  ASSERT_EQ(box_.SetSelection(0), 0u);
  EXPECT_EQ(box_.GetScrollBar().GetValue(), 0);
  EXPECT_EQ(box_.SetSelection(10), 0u);
  EXPECT_EQ(box_.GetSelection(), -1);
}

TEST_F(ListBoxTest, WhenEveryRowFitsTheScrollBarIsDisabledAndDrawingStartsAtTheTop) {
  MakeBox(3);
  EXPECT_FALSE(box_.GetScrollBar().IsEnabled());
  EXPECT_EQ(box_.GetScrollBar().GetValue(), -1);
  ASSERT_EQ(box_.SetSelection(0), 0u);
  EXPECT_EQ(PixelAt(kIcon + 90, 0), CListBox::kDefaultSelectionColour);
}

}  // namespace
