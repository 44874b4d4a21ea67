// The string drawers on the fake face: every character is a fully inked 8 × 10 box 1 right of
// and 2 below the pen (ascent 14 less 12) and advances 20.
#include <gtest/gtest.h>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/fonts/text_image.h"
#include "ui/fonts/text_markup.h"

namespace {

constexpr uint32_t kPaper = 0x80102030;

class StringDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildPixelTables(); }

  template <typename Font>
  std::unique_ptr<Font> MakeFont(uint8_t format) {
    auto font = std::make_unique<Font>(FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>()));
    EXPECT_EQ(font->SetFont(16, 0, 0, "face"), 0U);
    font->SetGlyphFormat(format);
    font->text_color = Rgb{255, 255, 255};
    font->decoration_color = Rgb{0, 0, 255};
    return font;
  }
  static void Paint(CImage& image, int32_t width, int32_t height, uint32_t fill = kPaper, uint32_t flags = 0) {
    ASSERT_EQ(image.Create(width, height, 32, flags), 0U);
    image.FillRectArgb(fill, nullptr);
    image.ClearModified();
  }
};

TEST_F(StringDrawingTest, EmptyStringDrawsNothingAndEndsAtTheStart) {
  auto font = MakeFont<CFont>(2);
  CImage image;
  Paint(image, 40, 40);
  plat::Rect bounds{1, 1, 1, 1};
  plat::Point end{-1, -1};
  EXPECT_EQ(font->DrawText(&image, 7, 9, "", &bounds, &end), 0U);
  EXPECT_EQ(end.x, 7);
  EXPECT_EQ(end.y, 9);
  EXPECT_EQ(bounds.Width(), 0);
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(image.GetPixel(x, y), kPaper);
  }
}

TEST_F(StringDrawingTest, NewLineStartsTheSecondLineOneLineStepLower) {
  auto font = MakeFont<CFont>(2);
  font->line_spacing = 3;
  CImage image;
  Paint(image, 60, 60);
  plat::Rect bounds;
  plat::Point end;
  ASSERT_EQ(font->DrawText(&image, 5, 4, "A\nB", &bounds, &end), 0U);
  // A at (6, 6)-(14, 16); B one step of 16 + 3 lower.
  EXPECT_EQ(bounds.left, 6);
  EXPECT_EQ(bounds.top, 6);
  EXPECT_EQ(bounds.bottom, 6 + 19 + 10);
  EXPECT_EQ(end.x, 25);
  EXPECT_EQ(end.y, 23);
  EXPECT_EQ(image.GetPixel(6, 25) & 0xFFFFFF, 0xFFFFFFU);
  EXPECT_EQ(image.GetPixel(6, 24), kPaper);  // between the lines
}

TEST_F(StringDrawingTest, ShadowGoesUnderTheFaceInTheDecorationColour) {
  auto font = MakeFont<CFont>(2);
  font->decoration = 1;
  font->shadow_x = 2;
  font->shadow_y = 2;
  CImage image;
  Paint(image, 40, 40);
  plat::Rect bounds;
  ASSERT_EQ(font->DrawText(&image, 0, 0, "A", &bounds, nullptr), 0U);
  EXPECT_EQ(image.GetPixel(10, 13), 0x800000FFU);  // shadow only, alpha kept
  EXPECT_EQ(image.GetPixel(3, 4), 0x80FFFFFFU);   // face over shadow
  EXPECT_EQ(image.GetPixel(1, 2), 0x80FFFFFFU);   // face only
  EXPECT_EQ(bounds.right, 11);
  EXPECT_EQ(bounds.bottom, 14);
}

TEST_F(StringDrawingTest, OneBitGlyphsOnThirtyTwoBitsWriteAlphaZero) {
  auto font = MakeFont<CFont>(0);
  CImage image;
  Paint(image, 40, 40);
  ASSERT_EQ(font->DrawText(&image, 0, 0, "A", nullptr, nullptr), 0U);
  EXPECT_EQ(image.GetPixel(4, 4), 0x00FFFFFFU);
  EXPECT_EQ(image.GetPixel(10, 4), kPaper);
}

TEST_F(StringDrawingTest, ClippedTextBoundsStartAtTheEdgeAndTextOutsideAddsNoDirtyRectangle) {
  auto font = MakeFont<CFont>(2);
  CImage image;
  Paint(image, 40, 40, kPaper, CImage::kOwnDirtyRegion);
  plat::Rect bounds;
  ASSERT_EQ(font->DrawText(&image, -5, 0, "AB", &bounds, nullptr), 0U);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, -5 + 21 + 8);
  EXPECT_EQ(image.GetPixel(0, 5) & 0xFFFFFF, 0xFFFFFFU);
  image.GetOwnedDirtyRegion()->Clear();
  EXPECT_EQ(text_image::DrawText(image, 100, 100, "AB", font.get()), 0U);
  EXPECT_EQ(image.GetOwnedDirtyRegion()->Count(), 0U);
  EXPECT_TRUE(image.IsModified());
  EXPECT_EQ(text_image::DrawText(image, -5, 0, "A", font.get()), 0U);
  EXPECT_EQ(image.GetOwnedDirtyRegion()->BoundingBox().left, 0);
  EXPECT_EQ(text_image::DrawString(image, 0, 0, "A", MakeFont<CGdiFont>(2).get()), 2U);
}

TEST_F(StringDrawingTest, TurnedBoundsSwapTheSidesAtNinetyDegrees) {
  CTrigTables tables;
  g_TrigTable = &tables;
  auto font = MakeFont<CFont>(2);
  ASSERT_EQ(font->SetAngle(900), 0U);
  const plat::Rect turned = font->GetRotatedBounds(0, 0, 100, 20);
  ASSERT_EQ(font->SetAngle(0), 0U);
  const plat::Rect upright = font->GetRotatedBounds(3, 4, 100, 20);
  g_TrigTable = nullptr;
  EXPECT_EQ(turned.Width(), 20);
  EXPECT_EQ(turned.Height(), 100);
  EXPECT_EQ(upright.left, 3);
  EXPECT_EQ(upright.bottom, 24);
}

TEST_F(StringDrawingTest, WithAlphaGivesCoverageAsAlphaAndKeepsThePixelsBetweenGlyphs) {
  auto font = MakeFont<CFont>(2);
  font->text_color = Rgb{10, 20, 30};
  CImage image;
  Paint(image, 60, 20);
  ASSERT_EQ(font->DrawTextWithAlpha(&image, 0, 0, "AB", nullptr, nullptr), 0U);
  EXPECT_EQ(image.GetPixel(1, 2), 0xFF0A141EU);
  EXPECT_EQ(image.GetPixel(21, 11), 0xFF0A141EU);
  EXPECT_EQ(image.GetPixel(15, 5), kPaper);
  CImage eight;
  ASSERT_EQ(eight.Create(20, 20, 8, 0), 0U);
  EXPECT_EQ(font->DrawTextWithAlpha(&eight, 0, 0, "A", nullptr, nullptr), 1U);
}

// The text box takes the decoration colour; the alpha comes from the outline, which holds the face.
TEST_F(StringDrawingTest, WithAlphaAndOutlineMakesTheOutlineTheAlpha) {
  auto font = MakeFont<CFont>(2);
  font->decoration = 2;
  CImage image;
  Paint(image, 40, 40, 0);
  plat::Rect bounds;
  ASSERT_EQ(font->DrawTextWithAlpha(&image, 10, 10, "A", &bounds, nullptr), 0U);
  EXPECT_EQ(image.GetPixel(15, 15), 0xFFFFFFFFU);        // face
  EXPECT_EQ(image.GetPixel(10, 12) & 0xFFFFFF, 0xFFU);  // the outline left of the face
  EXPECT_GT(image.GetPixel(10, 12) >> 24, 0U);
  EXPECT_EQ(image.GetPixel(30, 26), 0x000000FFU);  // measured box, no glyph
  EXPECT_EQ(image.GetPixel(5, 5), 0U);
  EXPECT_EQ(bounds.left, 9);
  EXPECT_EQ(bounds.bottom, 24);
}

TEST_F(StringDrawingTest, GlyphFontTextImageOfFormatZeroIsKeyedOnTheGreenBackground) {
  auto font = MakeFont<CFont>(0);
  CImage image;
  ASSERT_EQ(text_image::CreateFromText(image, "AB", font.get(), 0), 0U);
  EXPECT_EQ(image.GetWidth(), 40);
  EXPECT_EQ(image.GetHeight(), 16);
  EXPECT_EQ(image.GetPixel(0, 0), 0x0000FF00U);
  EXPECT_EQ(image.GetPixel(2, 3), 0x00FFFFFFU);
  EXPECT_EQ(image.GetColorKey(), 0x00FF00U);
  EXPECT_EQ(text_image::CreateFromText(image, "", font.get(), 0), 1U);
  EXPECT_EQ(text_image::CreateFromText(image, "A", nullptr, 0), 2U);
}

// Drawn away from the corner, the plain font's colours and alpha land on the same box, and the
// one-pixel outline of one-bit text is as opaque as the face.
TEST_F(StringDrawingTest, PlainFontWithAlphaPutsColoursAndOutlineAlphaOnTheTextBox) {
  auto font = MakeFont<CGdiFont>(0);
  font->decoration = 2;
  CImage image;
  Paint(image, 60, 40, 0);
  ASSERT_EQ(font->DrawTextWithAlpha(&image, 20, 10, "A", nullptr, nullptr), 0U);
  EXPECT_EQ(image.GetPixel(20, 12), 0xFF0000FFU);  // the outline left of the face
  EXPECT_EQ(image.GetPixel(21, 12), 0xFFFFFFFFU);  // the face
  EXPECT_EQ(image.GetPixel(1, 2), 0U);
}

// Rows upright, columns in vertical writing; the vector kernels give the same pixels.
TEST_F(StringDrawingTest, GradientColoursGlyphRowsOrColumnsAndSkipsEightBitImages) {
  auto font = MakeFont<CFont>(2);
  ASSERT_EQ(font->SetGradient(1, 0xFF0000, 0x0000FF, 1), 0U);
  const uint32_t first_row = font->gradient_ramp().GetEntry(2) & 0xFFFFFF;  // the glyph starts 2 down
  for (int32_t angle : {0, 2700}) {
    ASSERT_EQ(font->SetAngle(angle), 0U);
    std::vector<uint32_t> results[2];
    for (int vector : {0, 1}) {
      g_CpuHasMmx = static_cast<uint8_t>(vector);
      CImage image;
      Paint(image, 30, 30);
      ASSERT_EQ(font->DrawText(&image, 0, 0, "A", nullptr, nullptr), 0U);
      ASSERT_EQ(font->DrawString(&image, 10, 10, "A", nullptr, nullptr), 0U);
      for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 30; ++x) results[vector].push_back(image.GetPixel(x, y));
      }
      if (angle == 0) {
        EXPECT_EQ(image.GetPixel(1, 2) & 0xFFFFFF, first_row);
        EXPECT_NE(image.GetPixel(1, 11), image.GetPixel(1, 2));
      } else {
        EXPECT_NE(image.GetPixel(8, 2), image.GetPixel(1, 2));
      }
    }
    g_CpuHasMmx = 0;
    EXPECT_EQ(results[0], results[1]) << angle;
  }
  CImage eight;
  ASSERT_EQ(eight.Create(20, 20, 8, 0), 0U);
  ASSERT_EQ(font->SetAngle(0), 0U);
  ASSERT_EQ(font->DrawText(&eight, 0, 0, "A", nullptr, nullptr), 0U);
  EXPECT_EQ(eight.GetPixel(2, 4), 0U);
}

TEST_F(StringDrawingTest, CountsEveryKindOfCharacter) {
  struct Case {
    const char* text;
    int32_t count;
  };
  const Case cases[] = {{nullptr, 0}, {"", 0}, {"ab\n", 3}, {"@@x", 2}, {"@123y", 2}, {"@", 1},
                        {"\x82\xA0" "a", 2}, {"\x82", 1}};
  for (const Case& c : cases) EXPECT_EQ(CountTextChars(c.text), c.count) << (c.text ? c.text : "null");
}

}  // namespace

namespace {

// The glyphs a drawer holds stay alive while it draws with them, however small the cache: at
// limits 0, 1 and 2 every drawer and decoration draws what a large cache draws.
TEST_F(StringDrawingTest, SmallGlyphCachesNeverTakeAGlyphFromUnderTheDrawer) {
  const uint32_t saved_limit = g_GlyphCacheLimit;
  using Drawer = uint32_t (CFont::*)(CImage*, int32_t, int32_t, const char*, plat::Rect*, plat::Point*);
  const Drawer drawers[] = {&CFont::DrawText, &CFont::DrawString, &CFont::DrawTextWithAlpha};
  const auto draw = [&](uint32_t limit, uint8_t decoration, Drawer drawer) {
    g_GlyphCacheLimit = limit;
    auto font = MakeFont<CFont>(2);
    font->decoration = decoration;
    CImage image;
    Paint(image, 120, 40);
    EXPECT_EQ(((*font).*drawer)(&image, 4, 4, "ABAB", nullptr, nullptr), 0U);
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < 40; ++y) {
      for (int32_t x = 0; x < 120; ++x) pixels.push_back(image.GetPixel(x, y));
    }
    return pixels;
  };
  for (const Drawer drawer : drawers) {
    for (const uint8_t decoration : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
      const std::vector<uint32_t> reference = draw(512, decoration, drawer);
      for (const uint32_t limit : {0u, 1u, 2u}) {
        EXPECT_EQ(draw(limit, decoration, drawer), reference) << "limit " << limit << " decoration " << int{decoration};
      }
    }
  }
  g_GlyphCacheLimit = saved_limit;
}

}  // namespace
