#include "ui/fonts/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "ui/fonts/edge_disc.h"

namespace {

class FontTest : public ::testing::Test {
 protected:
  std::unique_ptr<CFont> MakeFont(int32_t size, uint8_t bold, uint8_t italic, bool refuse_grey = false) {
    auto font = std::make_unique<CFont>(FakeFontFace::Factory(log_, refuse_grey));
    EXPECT_EQ(font->SetFont(size, bold, italic, "ＭＳ ゴシック"), 0U);
    return font;
  }

  std::shared_ptr<FakeFontFaceLog> log_ = std::make_shared<FakeFontFaceLog>();
};

TEST_F(FontTest, MeasuresBoldWidenedItalicOncePerStringAndLiteralAt) {
  struct Case {
    const char* text;
    uint8_t bold;
    uint8_t italic;
    int32_t width;
    int32_t height;
    int32_t lines;
  };
  const Case cases[] = {
      {"AB", 0, 0, 40, 16, 1},
      {"AB", 1, 0, 42, 16, 1},          // 20 + 20/50 + 1 per character
      {"AB\nCDE", 0, 1, 60 + 5, 32, 2},  // italic adds 16/3 once
      {"@@", 0, 0, 20, 16, 1},
      {"\x82\xA0" "A", 0, 0, 40, 16, 1},
  };
  for (const Case& c : cases) {
    auto font = MakeFont(-16, c.bold, c.italic);
    TextSize size;
    int32_t characters = 0;
    EXPECT_EQ(font->MeasureText(c.text, &size, nullptr, nullptr, 0, &characters), c.lines) << c.text;
    EXPECT_EQ(size.cx, c.width) << c.text;
    EXPECT_EQ(size.cy, c.height) << c.text;
  }
}

TEST_F(FontTest, OutlineDecorationGrowsTheMeasureByTheEdgeRadius) {
  auto font = MakeFont(-16, 0, 0);
  font->decoration = 2;
  TextSize size;
  int32_t x = 9;
  int32_t y = 9;
  font->MeasureText("A", &size, &x, &y, 1, nullptr);
  EXPECT_EQ(size.cx, 24);
  EXPECT_EQ(size.cy, 20);
  EXPECT_EQ(x, -2);
  EXPECT_EQ(y, -2);
}

TEST_F(FontTest, UnchangedSettingsDoNotRecreateTheFace) {
  auto font = MakeFont(16, 0, 0);
  EXPECT_EQ(font->logical_font().height, -16);
  const uint32_t created = font->creation_count();
  EXPECT_EQ(font->SetSize(-16), 0U);
  EXPECT_EQ(font->SetSize(16), 0U);
  EXPECT_EQ(font->SetFaceNameIfChanged("ＭＳ ゴシック"), 0U);
  EXPECT_EQ(font->SetBoldItalic(0, 0), 0U);
  EXPECT_EQ(font->SetAngle(0), 0U);
  EXPECT_EQ(font->creation_count(), created);
  EXPECT_EQ(font->SetFaceNameIfChanged(nullptr), 3U);
  EXPECT_EQ(font->SetSize(20), 0U);
  EXPECT_EQ(font->creation_count(), created + 1);
  EXPECT_EQ(log_->last_request.height, -20);
}

TEST_F(FontTest, SizeBoldItalicAndOutlineAreSeparateCacheEntries) {
  auto font = MakeFont(-16, 0, 0);
  CGlyph* plain = font->GetGlyph('A', 16, 0, 0, 0, 0);
  ASSERT_NE(plain, nullptr);
  const std::vector<CGlyph*> glyphs = {plain, font->GetGlyph('A', 20, 0, 0, 0, 0), font->GetGlyph('A', 16, 0, 1, 0, 0),
                                       font->GetGlyph('A', 16, 0, 0, 1, 0), font->GetGlyph('A', 16, 1, 0, 0, 0)};
  EXPECT_EQ(font->glyph_cache().count(), 5U);
  EXPECT_EQ(font->GetGlyph('A', 16, 0, 0, 0, 0), plain);
  for (std::size_t i = 1; i < glyphs.size(); ++i) EXPECT_NE(glyphs[i], plain);
  font->SetGlyphFormat(1);
  EXPECT_EQ(font->glyph_cache().count(), 0U);
}

TEST_F(FontTest, WithoutACacheEveryGlyphIsNewAndTheCallersToRelease) {
  const uint32_t saved = g_GlyphCacheLimit;
  g_GlyphCacheLimit = 0x10000;  // only the low 16 bits count
  auto font = MakeFont(-16, 0, 0);
  g_GlyphCacheLimit = saved;
  CGlyph* glyph = font->GetGlyph('A', 16, 0, 0, 0, 0);
  ASSERT_NE(glyph, nullptr);
  EXPECT_EQ(font->glyph_cache().count(), 0U);
  CGlyph::Release(glyph);
}

TEST_F(FontTest, GlyphPlacementBoldThickeningAndOutlineGrowth) {
  auto font = MakeFont(-16, 0, 0);
  const CGlyph* plain = font->GetGlyph('A', 16, 0, 0, 0, 0);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->width, FakeFontFace::kBoxWidth);
  EXPECT_EQ(plain->offset_x, FakeFontFace::kOriginX);
  EXPECT_EQ(plain->offset_y, FakeFontFace::kAscent - FakeFontFace::kOriginY);
  EXPECT_EQ(plain->advance_x, 20);
  EXPECT_EQ(plain->bits[0], 255);  // 64 levels × 4, capped

  const CGlyph* bold16 = font->GetGlyph('A', 16, 0, 1, 0, 0);
  EXPECT_EQ(bold16->width, plain->width + 1);
  EXPECT_EQ(bold16->offset_x, plain->offset_x);
  EXPECT_EQ(bold16->advance_x, 21);
  const CGlyph* bold100 = font->GetGlyph('A', 100, 0, 1, 0, 0);
  EXPECT_EQ(bold100->width, plain->width + 3);
  EXPECT_EQ(bold100->offset_x, plain->offset_x - 1);
  EXPECT_EQ(font->GetGlyph('A', 1000, 0, 1, 0, 0)->width, plain->width + 8);

  const CGlyph* outline = font->GetGlyph('A', 16, 1, 0, 0, 0);
  EXPECT_EQ(outline->width, plain->width + 4);
  EXPECT_EQ(outline->height, plain->height + 4);
  EXPECT_EQ(outline->offset_x, plain->offset_x - 2);
  EXPECT_EQ(outline->offset_y, plain->offset_y - 2);
  EXPECT_EQ(outline->pitch % 4, 0);
  EXPECT_EQ(outline->bits[0], (255 * ((1 * 1024 * 1872) >> 8)) >> 16);  // the disc's rim, weight 1
  EXPECT_EQ(outline->bits[2 * outline->pitch + 2], 255);

  const CGlyph* space = font->GetGlyph(' ', 16, 0, 0, 0, 0);
  EXPECT_EQ(space->width, 0);
  EXPECT_EQ(space->height, 0);
  EXPECT_EQ(space->advance_x, 20);
}

TEST_F(FontTest, RefusedGreyFallsBackToOversampledBitsReducedToCoverage) {
  for (uint8_t format : {uint8_t{1}, uint8_t{2}}) {
    auto font = MakeFont(-16, 0, 0, true);
    font->SetGlyphFormat(format);
    const CGlyph* glyph = font->GetGlyph('A', 16, 0, 0, 0, 0);
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->width, FakeFontFace::kBoxWidth);
    EXPECT_EQ(glyph->height, FakeFontFace::kBoxHeight);
    EXPECT_EQ(glyph->offset_x, FakeFontFace::kOriginX);
    EXPECT_EQ(glyph->bits[0], 255);
  }
}

TEST_F(FontTest, EdgeStrengthWithoutRadiusScalesCoverage) {
  auto font = MakeFont(-16, 0, 0);
  font->SetGlyphFormat(1);
  font->SetEdgeParams(128, 0);
  EXPECT_EQ(font->edge_normaliser(), 65536);
  const CGlyph* glyph = font->GetGlyph('A', 16, 1, 0, 0, 0);
  EXPECT_EQ(glyph->width, FakeFontFace::kBoxWidth);
  EXPECT_EQ(glyph->bits[0], 255 * 128 / 255);
}

TEST_F(FontTest, GradientRampFollowsTheHeightAndColoursTheGlyphRows) {
  BuildPixelTables();
  auto font = MakeFont(-16, 0, 0);
  EXPECT_EQ(font->SetGradient(1, 0xFF0000, 0x0000FF, 1), 0U);
  const CColorRamp& ramp = font->gradient_ramp();
  ASSERT_EQ(ramp.GetCount(), 16U);
  EXPECT_EQ(ramp.GetEntry(0), 0xFF0000U);
  EXPECT_LT(ramp.GetEntry(15) >> 16, 0x20U);
  EXPECT_GT(ramp.GetEntry(15) & 0xFF, 0xE0U);

  // The glyph's rows take the entries from its distance below the cell top (offset 2, 10 rows).
  const CGlyph* glyph = font->GetGlyph('A', 16, 0, 0, 0, 0);
  GradientSpan span = font->GradientSpanFor(*glyph);
  EXPECT_EQ(span.mode, GradientMode::kRows);
  EXPECT_EQ(span.first, 2U);
  EXPECT_EQ(span.extent, 10U);

  // A smaller height rebuilds the ramp; rows running past its end are pulled back into it.
  EXPECT_EQ(font->SetSize(10), 0U);
  EXPECT_EQ(ramp.GetCount(), 10U);
  EXPECT_EQ(ramp.GetEntry(0), 0xFF0000U);
  span = font->GradientSpanFor(*font->GetGlyph('A', 10, 0, 0, 0, 0));
  EXPECT_EQ(span.first, 0U);
  EXPECT_EQ(span.extent, 10U);

  EXPECT_EQ(font->SetAngle(2700), 0U);
  EXPECT_EQ(font->gradient_mode(), GradientMode::kColumns);
  EXPECT_EQ(font->SetAngle(450), 0U);
  EXPECT_EQ(font->gradient_mode(), GradientMode::kNone);
  EXPECT_EQ(font->SetGradient(0, 0, 0, 1), 0U);
  EXPECT_FALSE(font->gradient_on());
  EXPECT_EQ(ramp.GetCount(), 10U);  // kept for when it is switched on again
}

TEST_F(FontTest, AGradientThatCannotBeBuiltSwitchesItselfOff) {
  auto font = MakeFont(-1, 0, 0);
  EXPECT_EQ(font->SetGradient(1, 0xFFFFFF, 0, 1), 1U);  // one entry is no ramp
  EXPECT_FALSE(font->gradient_on());
  EXPECT_EQ(font->SetGradient(1, 0xFFFFFF, 0, 0), 0U);  // without a rebuild nothing is checked
  EXPECT_TRUE(font->gradient_on());
  EXPECT_EQ(font->SetSize(1), 0U);
  EXPECT_EQ(font->SetSize(12), 0U);
  EXPECT_TRUE(font->gradient_on());
  EXPECT_EQ(font->gradient_ramp().GetCount(), 12U);
}

TEST_F(FontTest, BoldOnlySwitchLeavesDirectGlyphsAtTheFacesWeight) {
  const uint8_t saved = g_GdiBoldOnly;
  g_GdiBoldOnly = 1;
  auto direct = MakeFont(-16, 1, 0);
  const CGlyph* plain = direct->GetGlyph('A', 100, 0, 0, 0, 0);
  const CGlyph* bold = direct->GetGlyph('A', 100, 0, 1, 0, 0);
  auto oversampled = MakeFont(-16, 1, 0, true);
  const CGlyph* reduced_bold = oversampled->GetGlyph('A', 100, 0, 1, 0, 0);
  g_GdiBoldOnly = saved;
  ASSERT_TRUE(plain != nullptr && bold != nullptr && reduced_bold != nullptr);
  EXPECT_EQ(bold->width, plain->width);
  EXPECT_EQ(bold->advance_x, 21);  // the advance is still widened
  // Eight times larger the glyph grows by 8 columns, one whole block of the reduction.
  EXPECT_EQ(reduced_bold->width, FakeFontFace::kBoxWidth + 1);
  EXPECT_EQ(reduced_bold->offset_x, FakeFontFace::kOriginX - 4);
}

TEST(EdgeDisc, NormaliserPerRadius) {
  const int32_t expected[] = {65536, 6553, 1872, 819, 439, 262};
  for (int32_t r = 0; r < 6; ++r) EXPECT_EQ(EdgeNormaliser(r), expected[r]) << r;
}

TEST(GlyphSet, NumbersPastTheCountGiveNoGlyph) {
  // Three cells per row, two rows: five glyphs, cell n filled with n + 1.
  const int32_t cell = 4;
  std::vector<uint8_t> picture(12 * 8);
  for (int32_t n = 0; n < 6; ++n) {
    for (int32_t y = 0; y < cell; ++y) {
      for (int32_t x = 0; x < cell; ++x) picture[(n / 3 * cell + y) * 12 + n % 3 * cell + x] = static_cast<uint8_t>(n + 1);
    }
  }
  CGlyphSet set;
  EXPECT_EQ(set.LoadCoverage(picture.data(), 12, 8, 12, 5, cell, cell, CGlyphSet::kGreyGlyphs), 0U);
  EXPECT_EQ(set.GetGlyph(5, 2, 0), nullptr);
  const CGlyph* last = set.GetGlyph(4, 2, 0);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->bits[0], 5);
  EXPECT_EQ(last->advance_x, cell);
  const CGlyph* outline = set.GetGlyph(4, 2, 1);
  EXPECT_EQ(outline->width, cell + 4);
  EXPECT_EQ(set.LoadCoverage(picture.data(), 12, 8, 12, 7, cell, cell, CGlyphSet::kGreyGlyphs), 2U);
  EXPECT_EQ(set.count(), 0);
}

}  // namespace
