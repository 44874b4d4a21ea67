// A page of Japanese text with ruby laid out in the installed Japanese face over a nine-patch
// frame, across and down, written to text_layout.png in the build folder. The lines the layout
// reports are checked against where the ink fell.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/encoding/kinsoku_tables.h"
#include "scene/drawables/draw_list.h"
#include "support/japanese_face.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/text_objects/text_layout.h"

namespace {

namespace kinsoku = plat::kinsoku;

// 今日は朝から雨が降っていた。窓の外を見ると、小さな猫が軒下で雨宿りをしている。
// 「おいで」と呼んでみたが、猫はこちらをちらっと見ただけだった。
constexpr char kPage[] =
    "\x8D\xA1\x93\xFA\x82\xCD\x92\xA9\x82\xA9\x82\xE7\x89\x4A\x82\xAA\x8D\x7E\x82\xC1\x82\xC4\x82\xA2\x82\xBD"
    "\x81\x42\x91\x8B\x82\xCC\x8A\x4F\x82\xF0\x8C\xA9\x82\xE9\x82\xC6\x81\x41\x8F\xAC\x82\xB3\x82\xC8\x94\x4C"
    "\x82\xAA\x8C\xAC\x89\xBA\x82\xC5\x89\x4A\x8F\x68\x82\xE8\x82\xF0\x82\xB5\x82\xC4\x82\xA2\x82\xE9\x81\x42"
    "\x81\x75\x82\xA8\x82\xA2\x82\xC5\x81\x76\x82\xC6\x8C\xC4\x82\xF1\x82\xC5\x82\xDD\x82\xBD\x82\xAA\x81\x41"
    "\x94\x4C\x82\xCD\x82\xB1\x82\xBF\x82\xE7\x82\xF0\x82\xBF\x82\xE7\x82\xC1\x82\xC6\x8C\xA9\x82\xBD\x82\xBE"
    "\x82\xAF\x82\xBE\x82\xC1\x82\xBD\x81\x42";
constexpr char kAme[] = "\x89\x4A";       // 雨
constexpr char kNeko[] = "\x94\x4C";      // 猫
constexpr char kAmeRuby[] = "\x82\xA0\x82\xDF";  // あめ
constexpr char kNekoRuby[] = "\x82\xCB\x82\xB1";  // ねこ
constexpr int32_t kSize = 22;
constexpr int32_t kRubySize = 11;
constexpr int32_t kMargin = 16;

bool IsInk(const CImage& image, int32_t x, int32_t y) { return (image.GetPixel(x, y) >> 16 & 0xFF) > 0xB0; }

// A dark 48 × 48 frame with a lighter 4-pixel border: corners and tiles of 16.
void MakeFrame(CImage& frame) {
  ASSERT_EQ(frame.Create(48, 48, 32, 0), 0U);
  frame.FillRectArgb(0xFF5078A8, nullptr);
  const plat::Rect inside{4, 4, 44, 44};
  frame.FillRectArgb(0xFF182848, &inside);
}

void MakeFont(CFont& font, int32_t size, Rgb colour) {
  ASSERT_EQ(font.SetFont(size, 0, 0, kGothic), 0U);
  font.text_color = colour;
}

// Where each line (horizontal: its top; vertical: its right edge) began, and the first
// character of every line after the first.
struct LaidOut {
  std::vector<int32_t> lines;
  std::vector<std::string> line_starts;
};

LaidOut LayOut(CTextLayout& layout) {
  LaidOut laid;
  laid.lines.push_back(layout.vertical() ? layout.pen_x() : layout.pen_y());
  for (const char* text = kPage; *text != '\0';) {
    const std::string next(text, 2);
    if (next == kAme) layout.SetRuby(kAmeRuby);
    if (next == kNeko) layout.SetRuby(kNekoRuby);
    const int32_t result = layout.PutChar(&text);
    EXPECT_NE(result, CTextLayout::kPageFull);
    if (result == CTextLayout::kPageFull) break;
    if (result == CTextLayout::kPlacedAfterBreak) {
      laid.lines.push_back(layout.vertical() ? layout.pen_x() + layout.line_pitch() : layout.pen_y());
      laid.line_starts.push_back(next);
    }
  }
  return laid;
}

class TextLayoutPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &trig_tables_;  // vertical glyphs advance down through it
    MakeFrame(frame_);
    MakeFont(font_, kSize, Rgb{255, 255, 255});
    MakeFont(ruby_font_, kRubySize, Rgb{255, 210, 120});
  }
  void CreateBox(CTextLayout& layout, int32_t width, int32_t height) {
    ASSERT_TRUE(layout.SetFrameSlices(16, 16, 16, 16));
    ASSERT_EQ(layout.SetImages(&frame_, nullptr, nullptr, false), 0);
    ASSERT_EQ(layout.Create(&list_, 10, width, height, 0, 0, &font_, &ruby_font_, 0), 0U);
    layout.SetRubyGap(1);
    layout.SetLayoutRect(kMargin, kMargin, kMargin, kMargin, false);
    ASSERT_EQ(layout.SetBackground(1, 0, 255, true), 0);
  }
  void TearDown() override { g_TrigTable = nullptr; }
  static void ExpectNoLineStartsWithAClosingMark(const LaidOut& laid) {
    for (const std::string& start : laid.line_starts) {
      const auto lead = static_cast<uint8_t>(start[0]);
      const auto trail = static_cast<uint8_t>(start[1]);
      EXPECT_FALSE(kinsoku::InDbcsTable(kinsoku::kNotAtLineStartDbcs, lead, trail) ||
                   kinsoku::InDbcsTable(kinsoku::kSmallDbcs, lead, trail))
          << "a line begins with " << std::hex << int{lead} << " " << int{trail};
    }
  }

  CTrigTables trig_tables_;
  CImage frame_;
  CFont font_;
  CFont ruby_font_;
  ScopedPixelLibrary pixels_;
  CDrawList list_;
};

TEST_F(TextLayoutPictureTest, APageWrapsAcrossAndDownWithInkOnTheLaidOutLines) {
  CTextLayout across;
  CreateBox(across, 360, 300);
  const LaidOut rows = LayOut(across);
  ASSERT_GE(rows.lines.size(), 4U);
  ExpectNoLineStartsWithAClosingMark(rows);
  const CImage& page = across.text_image();
  // Every inked row lies in a line box; each line's glyph band holds ink; nothing crosses the
  // right margin.
  for (int32_t y = 0; y < page.GetHeight(); ++y) {
    for (int32_t x = 0; x < page.GetWidth(); ++x) {
      if (!IsInk(page, x, y)) continue;
      ASSERT_LT(x, page.GetWidth() - kMargin) << x << "," << y;
      bool in_a_line = false;
      for (int32_t top : rows.lines) in_a_line = in_a_line || (y >= top && y < top + across.line_size());
      ASSERT_TRUE(in_a_line) << x << "," << y;
    }
  }
  for (int32_t top : rows.lines) {
    int32_t ink = 0;
    for (int32_t y = top + across.line_size() - kSize; y < top + across.line_size(); ++y) {
      for (int32_t x = kMargin; x < kMargin + 3 * kSize; ++x) ink += IsInk(page, x, y) ? 1 : 0;
    }
    EXPECT_GT(ink, 40) << "line at " << top;
  }

  CTextLayout down;
  CreateBox(down, 320, 300);
  ASSERT_EQ(down.SetVertical(true, true), 0U);
  down.SetLineGap(kRubySize + 2);  // room for the ruby beside each column
  const LaidOut columns = LayOut(down);
  ASSERT_GE(columns.lines.size(), 3U);
  ExpectNoLineStartsWithAClosingMark(columns);
  const int32_t before_number = down.pen_y();
  EXPECT_EQ(down.DrawHorizontalInVertical("12"), CTextLayout::kPlaced);
  EXPECT_EQ(down.pen_y(), before_number + kSize) << "an upright number takes one cell";
  EXPECT_EQ(across.DrawHorizontalInVertical("12"), 2);
  const CImage& scroll = down.text_image();
  for (int32_t right : columns.lines) {
    int32_t ink = 0;
    for (int32_t y = kMargin; y < kMargin + 3 * kSize; ++y) {
      for (int32_t x = right - down.line_size(); x < right; ++x) ink += IsInk(scroll, x, y) ? 1 : 0;
    }
    EXPECT_GT(ink, 40) << "column ending at " << right;
  }

  CImage picture;
  ASSERT_EQ(picture.Create(360 + 8 + 320, 300, 32, 0), 0U);
  picture.FillRectArgb(0xFF000000, nullptr);
  picture.Copy(&across.text_image(), 0, 0, nullptr, false);
  picture.Copy(&down.text_image(), 368, 0, nullptr, false);
  EXPECT_TRUE(WritePng("text_layout.png", picture));
}

}  // namespace
