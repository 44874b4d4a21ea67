// The list menu: the layout of its items with and without header and footer, which item lies
// under the pointer, the state pictures with their texts, and the skin arguments it refuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "picture_files_test.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/list_menu.h"

namespace {

using gui_test::TestDrawList;

constexpr int32_t kLeft = 20;
constexpr int32_t kCentre = 100;

class ListMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(12, 0, 0, "face"), 0u);
  }
  void Fill(CListMenu& menu, int32_t header, int32_t footer) {
    ASSERT_EQ(menu.Create(&list_, 3, kLeft, kCentre, 80, 20, 6, &font_, 2), 0u);
    ASSERT_EQ(menu.CreatePlainSkin(80, 20, header, footer), 0);
    for (const char* text : {"one", "two", "three"}) {
      CListPart::ItemSetup setup;
      setup.text = text;
      ASSERT_EQ(menu.AddMenuItem(setup), 0);
    }
  }

  ScopedPixelLibrary pixels_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  TestDrawList list_;
};

TEST_F(ListMenuTest, HeaderAndFooterMakeTheItemsTouchAndTheMenuCentresOnItsCreationPoint) {
  struct Case {
    int32_t header;
    int32_t footer;
    std::vector<int32_t> tops;  // header (or -1), three items, footer (or -1)
    int32_t gap_y;              // a point between items 0 and 1, relative to the menu
  };
  for (const Case& c : {Case{0, 0, {-1, 64, 90, 116, -1}, 22}, Case{10, 8, {61, 71, 91, 111, 131}, 10 + 19}}) {
    SCOPED_TRACE(c.header);
    CListMenu menu;
    Fill(menu, c.header, c.footer);
    for (int32_t i = -1; i <= 3; ++i) {
      const CWidgetFace* face = menu.GetItemFace(i);
      EXPECT_EQ(face != nullptr ? face->GetY() : -1, c.tops[static_cast<size_t>(i + 1)]) << i;
    }
    EXPECT_EQ(menu.GetY(), c.tops[c.header > 0 ? 0 : 1]);
    EXPECT_EQ(menu.GetStateWidth(), 80);
    menu.HitTest(kLeft + 40, 300);  // the pointer moved away from where the items were added
    const int32_t first_row = c.header;
    EXPECT_TRUE(menu.HitTest(kLeft + 40, menu.GetY() + first_row + 5));
    EXPECT_FALSE(menu.HitTest(kLeft + 40, menu.GetY() + c.gap_y)) << "in a margin or gap";
    EXPECT_TRUE(menu.HitTest(kLeft + 40, menu.GetY() + c.gap_y + 6));
    EXPECT_FALSE(menu.HitTest(kLeft + 4, menu.GetY() + first_row + 5)) << "in the left margin";
    // Moved, the menu keeps its spacing; the next item centres it on its creation point again.
    menu.SetPosition(0, 0);
    EXPECT_EQ(menu.GetItemFace(1)->GetY() - menu.GetItemFace(0)->GetY(), c.tops[2] - c.tops[1]);
    CListPart::ItemSetup setup;
    setup.text = "four";
    ASSERT_EQ(menu.AddMenuItem(setup), 0);
    EXPECT_EQ(menu.GetY(), kCentre - menu.GetHeight() / 2);
  }
}

TEST_F(ListMenuTest, APlainItemHasANormalAndAHoveredPictureThatDifferOnlyInTheTextColour) {
  CListMenu menu;
  menu.SetBackground(0, 0);
  Fill(menu, 0, 0);
  const CImage& picture = *menu.GetItemImage(0);
  ASSERT_EQ(picture.GetWidth(), 160);
  int32_t differing = 0;
  int32_t normal_text = 0;
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 80; ++x) {
      const uint32_t normal = picture.GetPixel(x, y);
      const uint32_t hovered = picture.GetPixel(80 + x, y);
      normal_text += normal != picture.GetPixel(79, 19);
      differing += normal != hovered;
    }
  }
  EXPECT_GT(normal_text, 0);
  EXPECT_EQ(differing, normal_text) << "every text pixel, and nothing else";
  EXPECT_EQ(menu.GetItemFace(0)->GetSource().left, 0);
}

TEST_F(ListMenuTest, FrameCountsThatCannotHoldTheAskedPicturesAreRefused) {
  struct Case {
    int32_t frames;
    bool pressed;
    bool disabled;
  };
  for (const Case& c : {Case{3, true, true}, Case{2, true, false}, Case{2, false, true}, Case{0, false, false},
                        Case{5, false, false}}) {
    CListMenu menu;
    CListMenu::SkinSources<const char*> files;
    files.frame_count = c.frames;
    files.pressed_frame = c.pressed;
    files.disabled_frame = c.disabled;
    files.item.source = "item.elg";
    EXPECT_EQ(menu.LoadSkin(files), 1) << c.frames << c.pressed << c.disabled;
  }
  CListMenu menu;
  CListMenu::SkinSources<const char*> nothing;
  EXPECT_EQ(menu.LoadSkin(nothing), 1) << "no item picture";
}

class ListMenuFileTest : public gui_test::PictureFilesTest {
 protected:
  void SetUp() override {
    PictureFilesTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(12, 0, 0, "face"), 0u);
    // Normal, hovered, pressed and disabled pictures of 30 x 16.
    WriteFrames("skin.elg", 30, 16, {0xFF202020, 0xFF404040, 0xFF606060, 0xFF808080});
  }

  ScopedPixelLibrary pixels_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  TestDrawList list_;
};

TEST_F(ListMenuFileTest, EachFailedLoadStepHasItsOwnStatusAndLeavesNoSkin) {
  struct Case {
    const char* part;  // which part and picture name the missing file
    int32_t status;
  };
  for (const Case& c : {Case{"item source", 8}, Case{"item mask", 2}, Case{"item colour", 4}, Case{"header mask", 9},
                        Case{"header source", 15}, Case{"footer colour", 18}, Case{"footer source", 22}}) {
    SCOPED_TRACE(c.part);
    CListMenu::SkinSources<const char*> files;
    files.item.source = "skin.elg";
    const std::string part = c.part;
    auto& sources = part.starts_with("item") ? files.item : part.starts_with("header") ? files.header : files.footer;
    const char** name = part.ends_with("mask") ? &sources.mask : part.ends_with("colour") ? &sources.colour_mask
                                                                                            : &sources.source;
    *name = "missing.elg";
    CListMenu menu;
    EXPECT_EQ(menu.LoadSkin(files), c.status);
    ASSERT_EQ(menu.Create(&list_, 1, 0, 50, 40, 10, 0, &font_, 0), 0u);
    CListPart::ItemSetup setup;
    setup.text = "x";
    ASSERT_EQ(menu.AddMenuItem(setup), 0);
    EXPECT_EQ(menu.GetStateWidth(), 40) << "without a skin the plain size serves";
  }
}

TEST_F(ListMenuFileTest, AFourPictureSkinGivesStateWidthAQuarterAndHidesDisabledItemsFromThePointer) {
  CListMenu menu;
  CListMenu::SkinSources<const char*> files;
  files.frame_count = 4;
  files.pressed_frame = true;
  files.disabled_frame = true;
  files.item.source = "skin.elg";
  ASSERT_EQ(menu.LoadSkin(files), 0);
  ASSERT_EQ(menu.Create(&list_, 1, 0, 50, 40, 10, 0, &font_, 0), 0u);
  for (const bool disabled : {false, true}) {
    CListPart::ItemSetup setup;
    setup.text = "x";
    setup.disabled = disabled;
    ASSERT_EQ(menu.AddMenuItem(setup), 0);
  }
  EXPECT_EQ(menu.GetStateWidth(), 30);
  EXPECT_EQ(menu.GetItemImage(0)->GetWidth(), 120);
  EXPECT_EQ(menu.GetItemFace(0)->GetSource().Width(), 30);
  EXPECT_EQ(menu.GetHeight(), 32);
  menu.HitTest(200, 200);
  EXPECT_TRUE(menu.HitTest(15, menu.GetY() + 8));
  EXPECT_FALSE(menu.HitTest(15, menu.GetY() + 16 + 8)) << "a disabled item";
  // The pictures are the skin's: the hovered one keeps the skin's colour outside the margins.
  EXPECT_EQ(menu.GetItemImage(0)->GetPixel(30, 0), 0xFF404040u);
}

}  // namespace
