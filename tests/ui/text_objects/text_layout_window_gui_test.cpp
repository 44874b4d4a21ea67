// A text box's page in the installed Japanese face, shown by its sprite through the frame's draw
// layer in a real window (run under Xvfb): the ink read back lies in the lines the layout
// reported, and the box follows a move. Written to text_layout_window.png in the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scene/drawables/draw_list.h"
#include "support/japanese_face.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/text_objects/text_layout.h"

namespace {

// 窓の外を見ると、小さな猫が軒下で雨宿りをしている。
constexpr char kPage[] =
    "\x91\x8B\x82\xCC\x8A\x4F\x82\xF0\x8C\xA9\x82\xE9\x82\xC6\x81\x41\x8F\xAC\x82\xB3\x82\xC8\x94\x4C"
    "\x82\xAA\x8C\xAC\x89\xBA\x82\xC5\x89\x4A\x8F\x68\x82\xE8\x82\xF0\x82\xB5\x82\xC4\x82\xA2\x82\xE9\x81\x42";
constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr int32_t kBoxWidth = 200;
constexpr int32_t kBoxHeight = 120;
constexpr int32_t kMargin = 12;
constexpr uint32_t kBoxColour = 0x203060;

bool IsInk(uint32_t pixel) { return (pixel >> 16 & 0xFF) > 0xB0; }

class TextLayoutWindowTest : public LayerWindowTestBase {
 protected:
  TextLayoutWindowTest() : LayerWindowTestBase("text layout test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowTestBase::SetUp();
    ASSERT_EQ(font_.SetFont(20, 0, 0, kGothic), 0U);
    font_.text_color = Rgb{255, 255, 255};
  }
  std::vector<uint32_t> Present() {
    EXPECT_EQ(screen_->UpdateScreen(), 0U);
    return ShownPixels(*window_, kWidth, kHeight);
  }

  ScopedPixelLibrary pixels_;
  CFont font_;
};

TEST_F(TextLayoutWindowTest, ThePageShowsWhereTheBoxIsWithInkOnItsLines) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  CTextLayout layout;
  ASSERT_EQ(layout.Create(list, 10, kBoxWidth, kBoxHeight, 40, 50, &font_, nullptr, 0), 0U);
  layout.SetLayoutRect(kMargin, kMargin, kMargin, kMargin, false);
  ASSERT_EQ(layout.SetBackground(1, kBoxColour, 255, true), 0);
  std::vector<int32_t> line_tops{layout.pen_y()};
  for (const char* text = kPage; *text != '\0';) {
    const int32_t result = layout.PutChar(&text);
    ASSERT_NE(result, CTextLayout::kPageFull);
    if (result == CTextLayout::kPlacedAfterBreak) line_tops.push_back(layout.pen_y());
  }
  ASSERT_GE(line_tops.size(), 2U);

  std::vector<uint32_t> shown = Present();
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)]; };
  std::vector<int32_t> ink_per_line(line_tops.size());
  for (int32_t y = 0; y < kBoxHeight; ++y) {
    int32_t line = -1;
    for (size_t i = 0; i < line_tops.size(); ++i) {
      if (y >= line_tops[i] && y < line_tops[i] + layout.line_size()) line = static_cast<int32_t>(i);
    }
    for (int32_t x = 0; x < kBoxWidth; ++x) {
      const uint32_t pixel = at(40 + x, 50 + y);
      if (line < 0 || x >= kBoxWidth - kMargin) {
        ASSERT_EQ(pixel & 0xFFFFFF, kBoxColour) << "the plain page outside the lines at " << x << "," << y;
      } else if (IsInk(pixel)) {
        ++ink_per_line[static_cast<size_t>(line)];
      }
    }
  }
  for (size_t i = 0; i < line_tops.size(); ++i) EXPECT_GT(ink_per_line[i], 40) << "line at " << line_tops[i];
  EXPECT_NE(at(39, 50) & 0xFFFFFF, kBoxColour) << "nothing left of the box";
  EXPECT_TRUE(WritePng("text_layout_window.png", shown, kWidth, kHeight));

  // A character drawn after the page was shown reaches the window by itself.
  const int32_t cell_x = 40 + layout.pen_x();
  const int32_t cell_y = 50 + layout.pen_y();
  auto ink_in_cell = [&] {
    int32_t ink = 0;
    for (int32_t y = cell_y; y < cell_y + layout.line_size(); ++y) {
      for (int32_t x = cell_x; x < cell_x + 20; ++x) ink += IsInk(at(x, y)) ? 1 : 0;
    }
    return ink;
  };
  ASSERT_EQ(ink_in_cell(), 0);
  const char* more = kPage;
  ASSERT_EQ(layout.PutChar(&more), CTextLayout::kPlaced);
  shown = Present();
  EXPECT_GT(ink_in_cell(), 20);

  layout.SetPosition(100, 110);
  shown = Present();
  EXPECT_NE(at(45, 55) & 0xFFFFFF, kBoxColour) << "the old place is uncovered";
  EXPECT_EQ(at(100 + 2, 110 + 2) & 0xFFFFFF, kBoxColour) << "the page's corner at the new place";
  layout.SetActive(false);
  shown = Present();
  EXPECT_NE(at(100 + 2, 110 + 2) & 0xFFFFFF, kBoxColour) << "a hidden box shows nothing";
}

}  // namespace
