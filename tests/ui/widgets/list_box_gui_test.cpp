// A list box, a plain scroll bar and a list menu in a real window (run under Xvfb), composed by
// the frame's draw layer: the box's picture with its selection band, icons and text, the bar's
// thumb, track and arrow glyphs, the menu's header and touching items. Written to
// list_widgets.png and list_menu.png in the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "picture_files_test.h"
#include "resource/archives/file_system.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_font_face.h"
#include "support/data_files_fixture.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/temp_game_folder.h"
#include "ui/fonts/font.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/list_menu.h"
#include "ui/widgets/scroll_bar.h"

namespace {

constexpr int32_t kWidth = 260;
constexpr int32_t kHeight = 140;
constexpr uint32_t kFace = 0x3060A0;
constexpr uint32_t kTrack = 0xD0D0D0;
constexpr uint32_t kGlyph = 0xFFFFFF00;
constexpr uint32_t kIconOn = 0xFF20C020;
constexpr uint32_t kIconOff = 0xFFC02020;

class ListWidgetsWindowTest : public LayerWindowFilesTestBase {
 protected:
  ListWidgetsWindowTest() : LayerWindowFilesTestBase("list widgets test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowFilesTestBase::SetUp();
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0u);
  }
  std::vector<uint32_t> Present() {
    EXPECT_EQ(screen_->UpdateScreen(), 0U);
    return ShownPixels(*window_, kWidth, kHeight);
  }

  ScopedPixelLibrary pixels_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
};

TEST_F(ListWidgetsWindowTest, TheBoxRowsAndTheBarPartsReachTheWindow) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  gui_test::WriteFramesElg(game_, "thumb.elg", 10, 16, {0xFF808080, 0xFF909090, 0xFFA0A0A0, 0xFF606060});
  gui_test::WriteFramesElg(game_, "icons.elg", 12, 12, {kIconOff, kIconOff, kIconOn, kIconOn});
  CListBox box;
  CListBox::Setup setup;
  setup.list = list;
  setup.priority = 5;
  setup.font = &font_;
  setup.height = -5;
  setup.width = 140;
  setup.x = 10;
  setup.y = 10;
  setup.thumb_file = "thumb.elg";
  setup.scroll_bar_length = 96;
  setup.scroll_bar_x = 164;
  setup.scroll_bar_y = 10;
  setup.icon_file = "icons.elg";
  setup.row_gap = 4;
  ASSERT_EQ(box.Create(setup), 0);
  for (const char* row : {"AB", "CD", "EF", "GH", "IJ", "KL", "MN"}) box.AddItem(row, nullptr, false);
  box.Refit();
  ASSERT_EQ(box.SetIconState(1, 0, false), 0u);
  ASSERT_EQ(box.SetSelection(2), 0u);

  CScrollBar bar;
  ASSERT_EQ(bar.CreatePlain(list, 4, 200, 10, true, 14, kFace, kTrack, 0x60FFFFFF, 0x60000000, kGlyph, 0), 0);
  ASSERT_EQ(bar.SetRange(120, 20, 5, 0, 0, 1), 0);

  const std::vector<uint32_t> shown = Present();
  EXPECT_TRUE(WritePng("list_widgets.png", shown, kWidth, kHeight));
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  // The box: icons on, off, on down the first column; the band of row 2 unlike row 3's background.
  EXPECT_EQ(at(10 + 6, 10 + 8), kIconOn & 0xFFFFFF);
  EXPECT_EQ(at(10 + 6, 10 + 20 + 8), kIconOff & 0xFFFFFF);
  EXPECT_NE(at(10 + 140, 10 + 40 + 8), at(10 + 140, 10 + 60 + 8));
  int32_t text_pixels = 0;
  for (int32_t x = 24; x < 60; ++x) text_pixels += at(x, 10 + 8) != at(10 + 140, 10 + 8);
  EXPECT_GT(text_pixels, 0) << "the first row's text";
  // The bar: a bevelled thumb right below the up arrow, the track below it, the glyph of the down
  // arrow (the up arrow is disabled at the top).
  EXPECT_EQ(at(200 + 6, 10 + 14 + 10), kFace);
  EXPECT_EQ(at(200 + 6, 10 + 14 + bar.GetThumbLength() + 5), kTrack);
  EXPECT_EQ(bar.GetThumbLength(), 92 * 5 / 20);
  int32_t glyph_pixels = 0;
  for (int32_t y = 116; y < 130; ++y) {
    for (int32_t x = 200; x < 214; ++x) glyph_pixels += at(x, y) == (kGlyph & 0xFFFFFF);
  }
  EXPECT_GT(glyph_pixels, 0) << "the down arrow's triangle";
}

TEST_F(ListWidgetsWindowTest, AMenuWithAHeaderShowsItsItemsTouchingBelowIt) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  constexpr uint32_t kSkin = 0x2040C0;
  CListMenu menu;
  ASSERT_EQ(menu.Create(list, 3, 40, 70, 120, 24, 6, &font_, 0), 0u);
  ASSERT_EQ(menu.CreatePlainSkin(120, 24, 12, 0), 0);
  ASSERT_EQ(menu.SetSkinColor(1, kSkin, 0xFF), 0);
  for (const char* text : {"AB", "CD", "EF"}) {
    CListPart::ItemSetup setup;
    setup.text = text;
    ASSERT_EQ(menu.AddMenuItem(setup), 0);
  }
  const std::vector<uint32_t> shown = Present();
  EXPECT_TRUE(WritePng("list_menu.png", shown, kWidth, kHeight));
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  const int32_t top = 70 - (12 + 3 * 24) / 2;
  const uint32_t below = at(5, 5);
  EXPECT_EQ(menu.GetY(), top);
  for (const int32_t y : {top, top + 11, top + 12, top + 35, top + 36, top + 12 + 3 * 24 - 1}) {
    EXPECT_EQ(at(40 + 118, y), kSkin) << y;
  }
  EXPECT_EQ(at(40 + 118, top + 12 + 3 * 24), below);
  EXPECT_EQ(at(40 + 120, top + 20), below);
  int32_t text_pixels = 0;
  for (int32_t x = 40; x < 80; ++x) text_pixels += at(x, top + 12 + 8) != kSkin;
  EXPECT_GT(text_pixels, 0) << "the first item's text";
}

}  // namespace
