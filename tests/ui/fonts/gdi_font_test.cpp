#include "ui/fonts/gdi_font.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/window/gdi.h"
#include "support/fake_font_face.h"
#include "support/japanese_face.h"

namespace {

constexpr char kHiraganaA[] = "\x82\xA0";                                        // あ

TEST(GdiFont, MeasuresWholeLinesWithSpacingBetweenThem) {
  auto log = std::make_shared<FakeFontFaceLog>();
  CGdiFont font(FakeFontFace::Factory(log));
  TextSize size;
  EXPECT_EQ(font.MeasureText("A", &size, nullptr, nullptr, 0, nullptr), 0);  // no face yet
  ASSERT_EQ(font.SetFont(16, 0, 1, kGothic), 0U);
  font.line_spacing = 3;
  int32_t characters = 0;
  EXPECT_EQ(font.MeasureText("AB\n\x82\xA0" "C", &size, nullptr, nullptr, 0, &characters), 2);
  EXPECT_EQ(size.cx, 40 + 16 / 3);  // italic once, on the widest line
  EXPECT_EQ(size.cy, 16 + 3 + 16);
  EXPECT_EQ(characters, 4);

  font.decoration = 2;
  int32_t x = 0;
  int32_t y = 0;
  font.MeasureText("A", &size, &x, &y, 1, nullptr);
  EXPECT_EQ(size.cy, 16 + 2);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  // A line too long for the line buffer is measured up to its 255th byte.
  const std::string long_line(300, 'A');
  font.MeasureText(long_line.c_str(), &size, nullptr, nullptr, 0, nullptr);
  EXPECT_EQ(size.cx, 255 * 20 + 16 / 3);
}

TEST(GdiFont, SettersRecreateTheFaceAsTheirRulesSay) {
  auto log = std::make_shared<FakeFontFaceLog>();
  CGdiFont font(FakeFontFace::Factory(log));
  ASSERT_EQ(font.SetFont(-16, 0, 0, kGothic), 0U);
  const int opened = log->opened;
  EXPECT_EQ(font.SetSize(16), 0U);
  EXPECT_EQ(font.SetFaceNameIfChanged(kGothic), 0U);
  EXPECT_EQ(font.SetAngle(0), 0U);
  EXPECT_EQ(log->opened, opened);
  EXPECT_EQ(font.SetBoldItalic(0, 0), 0U);  // always made again
  EXPECT_EQ(log->opened, opened + 1);
  EXPECT_EQ(font.SetFaceNameIfChanged(nullptr), 2U);
  EXPECT_EQ(font.SetAngle(2700), 0U);
  EXPECT_EQ(log->last_request.angle, 2700);

  CGdiFont refused([](const plat::FontRequest&) { return std::unique_ptr<plat::IFontFace>(); });
  EXPECT_EQ(refused.SetFont(16, 0, 0, kGothic), 1U);
  EXPECT_FALSE(refused.HasFace());
}

// An 8-bit grey bitmap selected into a memory context, as the text drawers render into.
class GreyCanvas {
 public:
  GreyCanvas(int32_t width, int32_t height) {
    plat::BitmapInfo info;
    info.header = plat::BitmapInfoHeader{width, -height, 8, plat::BI_RGB};
    for (uint32_t i = 0; i < 256; ++i) info.colours[i] = i << 16 | i << 8 | i;
    section_ = plat::DibSection::Create(info);
    dc_ = plat::DeviceContext::CreateMemory();
    dc_->SelectObject(section_.get());
  }
  plat::DeviceContext& dc() { return *dc_; }
  uint8_t At(int32_t x, int32_t y) { return *dc_->View().At(x, y); }
  int Count(uint8_t value, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    int count = 0;
    for (int32_t y = top; y < bottom; ++y) {
      for (int32_t x = left; x < right; ++x) count += At(x, y) == value;
    }
    return count;
  }

 private:
  std::unique_ptr<plat::DibSection> section_;
  std::unique_ptr<plat::DeviceContext> dc_;
};

TEST(GdiFont, RendersTheFaceFillsTheBackgroundAndDrawsTheShadowFirst) {
  CGdiFont font;
  ASSERT_EQ(font.SetFont(16, 0, 0, kGothic), 0U);
  font.text_color = Rgb{15, 15, 15};
  GreyCanvas plain(48, 32);
  EXPECT_EQ(font.RenderText(plain.dc(), 8, 8, kHiraganaA), 0U);
  EXPECT_GT(plain.Count(15, 8, 8, 24, 24), 20);
  EXPECT_EQ(plain.Count(15, 0, 0, 48, 32), plain.Count(15, 8, 8, 24, 24));  // ink only in the cell
  EXPECT_EQ(font.RenderText(plain.dc(), 0, 0, nullptr), 1U);

  // An opaque background without decoration fills the cell around the ink.
  font.SetBackground(0, 200, 200, 200);
  GreyCanvas opaque(48, 32);
  font.RenderText(opaque.dc(), 8, 8, kHiraganaA);
  const int inked = opaque.Count(15, 8, 8, 24, 24);
  EXPECT_EQ(inked, plain.Count(15, 8, 8, 24, 24));
  EXPECT_EQ(opaque.Count(200, 8, 8, 24, 24) + inked, 16 * 16);
  TextSize cell;
  font.MeasureText(kHiraganaA, &cell, nullptr, nullptr, 0, nullptr);
  EXPECT_EQ(opaque.Count(0, 0, 0, 48, 32), 48 * 32 - cell.cx * cell.cy);

  // A shadow two pixels right and down, under the face: the face covers it where they meet.
  font.SetBackground(1, 0, 0, 0);
  font.decoration = 1;
  font.decoration_color = Rgb{100, 100, 100};
  font.shadow_x = 2;
  font.shadow_y = 2;
  GreyCanvas shadowed(48, 32);
  font.RenderText(shadowed.dc(), 8, 8, kHiraganaA);
  EXPECT_EQ(shadowed.Count(15, 0, 0, 48, 32), inked);
  EXPECT_GT(shadowed.Count(100, 10, 10, 26, 26), 0);
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 48; ++x) {
      if (plain.At(x, y) == 15) {
        EXPECT_EQ(shadowed.At(x, y), 15) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(shadowed.Count(100, 0, 0, 10, 32), 0);
}

TEST(GdiFont, UnderlineRunsBelowTheBaselineAndStrikeOutThroughTheCharacters) {
  CGdiFont font;
  ASSERT_EQ(font.SetFont(16, 0, 0, kGothic), 0U);
  font.text_color = Rgb{15, 15, 15};
  TextSize cell;
  font.MeasureText("ii", &cell, nullptr, nullptr, 0, nullptr);
  // The rows of the cell whose every pixel is ink.
  const auto full_rows = [&](uint8_t underline, uint8_t strike_out) {
    EXPECT_EQ(font.SetUnderlineStrikeOut(underline, strike_out), 0U);
    GreyCanvas canvas(32, 32);
    font.RenderText(canvas.dc(), 4, 4, "ii");
    std::vector<int32_t> rows;
    for (int32_t y = 0; y < 32; ++y) {
      if (canvas.Count(15, 4, y, 4 + cell.cx, y + 1) == cell.cx) rows.push_back(y);
    }
    EXPECT_EQ(canvas.Count(15, 0, 0, 4, 32) + canvas.Count(15, 4 + cell.cx, 0, 32, 32), 0);
    return rows;
  };
  EXPECT_TRUE(full_rows(0, 0).empty());
  const std::vector<int32_t> underline = full_rows(1, 0);
  ASSERT_FALSE(underline.empty());
  EXPECT_GT(underline.front(), 4 + 12);  // below the baseline, inside the cell
  EXPECT_LT(underline.back(), 4 + cell.cy);
  const std::vector<int32_t> strike_out = full_rows(0, 1);
  ASSERT_FALSE(strike_out.empty());
  EXPECT_GT(strike_out.front(), 4 + 4);
  EXPECT_LT(strike_out.back(), 4 + 12);
}

TEST(GdiFont, TextWrittenDownwardsTurnsItsCellAboutTheTopLeftCorner) {
  CGdiFont font;
  ASSERT_EQ(font.SetFont(16, 0, 0, kGothic), 0U);
  TextSize cell;
  font.MeasureText(kHiraganaA, &cell, nullptr, nullptr, 0, nullptr);
  ASSERT_EQ(font.SetAngle(2700), 0U);
  font.text_color = Rgb{15, 15, 15};
  font.SetBackground(0, 200, 200, 200);
  GreyCanvas canvas(48, 32);
  EXPECT_EQ(font.RenderText(canvas.dc(), 30, 4, kHiraganaA), 0U);
  // The cell runs down from (30, 4) and lies to the left of it: cy wide, cx high.
  const int32_t left = 30 - cell.cy;
  const int32_t bottom = 4 + cell.cx;
  const int inked = canvas.Count(15, left, 4, 30, bottom);
  EXPECT_GT(inked, 20);
  EXPECT_EQ(canvas.Count(200, left, 4, 30, bottom) + inked, cell.cx * cell.cy);
  EXPECT_EQ(canvas.Count(0, 0, 0, 48, 32), 48 * 32 - cell.cx * cell.cy);
}

TEST(GdiFont, OutlineSurroundsTheInkAndLinesStepDownByTheHeight) {
  CGdiFont font;
  ASSERT_EQ(font.SetFont(16, 0, 0, kGothic), 0U);
  font.text_color = Rgb{15, 15, 15};
  font.decoration = 2;
  font.decoration_color = Rgb{100, 100, 100};
  font.line_spacing = 4;
  GreyCanvas canvas(32, 56);
  EXPECT_EQ(font.RenderText(canvas.dc(), 8, 8, "\x82\xA0\n\x82\xA0"), 0U);
  const int first = canvas.Count(15, 0, 0, 32, 8 + 20);
  EXPECT_GT(first, 20);
  EXPECT_EQ(canvas.Count(15, 0, 28, 32, 56), first);  // the second line, 16 + 4 lower
  EXPECT_GT(canvas.Count(100, 0, 0, 32, 56), first);
  // Every outline pixel touches the ink of its line.
  for (int32_t y = 1; y < 55; ++y) {
    for (int32_t x = 1; x < 31; ++x) {
      if (canvas.At(x, y) != 100) continue;
      bool touches = false;
      for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx) touches = touches || canvas.At(x + dx, y + dy) == 15;
      }
      EXPECT_TRUE(touches) << x << "," << y;
    }
  }
}

}  // namespace
