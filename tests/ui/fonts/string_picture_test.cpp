// "あいう漢字 Test" in the installed Japanese face, in the three glyph formats with an outline
// and with a shadow, by both kinds of font, written to string_drawing.png in the build folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/japanese_face.h"
#include "support/png_file.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"

namespace {

constexpr char kText[] = "\x82\xA0\x82\xA2\x82\xA4\x8A\xBF\x8E\x9A Test";   // あいう漢字 Test
constexpr int32_t kSize = 24;
constexpr int32_t kLinePitch = 36;
constexpr int32_t kColumnWidth = 230;
constexpr uint32_t kPaper = 0xFF203048;

struct Line {
  CFontBase* font;
  plat::Rect box;  // the measured text box with its decoration
  int32_t x;
  int32_t y;
};

bool IsInk(const CImage& image, int32_t x, int32_t y) { return image.GetPixel(x, y) != kPaper; }

bool Inside(const plat::Rect& r, int32_t x, int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int32_t InkIn(const CImage& image, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int32_t ink = 0;
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) ink += IsInk(image, x, y) ? 1 : 0;
  }
  return ink;
}

int32_t Advance(CFontBase& font, const std::string& prefix) {
  TextSize size;
  font.MeasureText(prefix.c_str(), &size, nullptr, nullptr, 0, nullptr);
  return prefix.empty() ? 0 : size.cx;
}

TEST(StringPictureTest, BothFontsDrawInkOnlyWhereTheGlyphsAre) {
  BuildPixelTables();
  std::vector<std::unique_ptr<CFontBase>> fonts;
  std::vector<Line> lines;
  for (int kind = 0; kind < 2; ++kind) {
    for (uint8_t format = 0; format < 3; ++format) {
      for (uint8_t decoration : {uint8_t{2}, uint8_t{1}}) {
        std::unique_ptr<CFontBase> font;
        if (kind == 0) {
          font = std::make_unique<CFont>();
        } else {
          font = std::make_unique<CGdiFont>();
        }
        ASSERT_EQ(font->SetFont(kSize, 0, 0, kGothic), 0U);
        font->SetGlyphFormat(format);
        font->text_color = Rgb{255, 255, 255};
        font->decoration_color = Rgb{230, 80, 20};
        font->decoration = decoration;
        font->shadow_x = 2;
        font->shadow_y = 2;
        const int32_t x = 8 + kind * kColumnWidth;
        const int32_t y = 8 + static_cast<int32_t>(lines.size() % 6) * kLinePitch;
        TextSize size;
        int32_t offset_x = 0;
        int32_t offset_y = 0;
        ASSERT_EQ(font->MeasureText(kText, &size, &offset_x, &offset_y, 1, nullptr), 1);
        lines.push_back(Line{font.get(), plat::Rect{x + offset_x, y + offset_y, x + offset_x + size.cx,
                                                    y + offset_y + size.cy}, x, y});
        fonts.push_back(std::move(font));
      }
    }
  }
  CImage image;
  ASSERT_EQ(image.Create(2 * kColumnWidth, 6 * kLinePitch + 16, 32, 0), 0U);
  image.FillRectArgb(kPaper, nullptr);
  for (const Line& line : lines) ASSERT_EQ(line.font->DrawText(&image, line.x, line.y, kText, nullptr, nullptr), 0U);
  ASSERT_TRUE(WritePng("string_drawing.png", image));

  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      if (!IsInk(image, x, y)) continue;
      bool in_a_line = false;
      for (const Line& line : lines) in_a_line = in_a_line || Inside(line.box, x, y);
      ASSERT_TRUE(in_a_line) << "ink at " << x << ", " << y;
    }
  }
  const std::string text = kText;
  for (const Line& line : lines) {
    // Every character's cell has ink; the middle of the space between 字 and T has none.
    const std::pair<std::size_t, std::size_t> characters[] = {{0, 2},   {2, 4},   {4, 6},   {6, 8},  {8, 10},
                                                               {11, 12}, {12, 13}, {13, 14}, {14, 15}};
    for (const auto& [start, end] : characters) {
      const int32_t left = line.x + Advance(*line.font, text.substr(0, start));
      const int32_t right = line.x + Advance(*line.font, text.substr(0, end));
      EXPECT_GT(InkIn(image, left, line.box.top, right, line.box.bottom), 10) << "character at byte " << start;
    }
    const int32_t space_left = line.x + Advance(*line.font, text.substr(0, 10));
    const int32_t space_right = line.x + Advance(*line.font, text.substr(0, 11));
    EXPECT_EQ(InkIn(image, space_left + 3, line.box.top, space_right - 3, line.box.bottom), 0);
  }
}

}  // namespace
