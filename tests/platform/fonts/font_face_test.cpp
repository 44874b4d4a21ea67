#include "platform/fonts/font_face.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using plat::GlyphBitmapFormat;

int InkedPixels(const plat::GlyphBitmap& glyph) {
  int inked = 0;
  for (int y = 0; y < glyph.height; ++y) {
    for (int x = 0; x < glyph.width; ++x) inked += glyph.bits[static_cast<std::size_t>(y) * glyph.pitch + x] != 0;
  }
  return inked;
}

std::unique_ptr<plat::IFontFace> OpenGothic(int angle = 0, bool vertical = false) {
  plat::FontRequest request;
  request.face_name = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
  if (vertical) request.face_name.insert(0, "@");
  request.angle = angle;
  return plat::OpenFontFace(request);
}

enum class Shape { kWide, kTall };

Shape ShapeOf(const plat::GlyphBitmap& glyph) { return glyph.width > glyph.height ? Shape::kWide : Shape::kTall; }

TEST(FontFace, JapaneseFaceNamesResolveToJapaneseFamilies) {
  EXPECT_EQ(plat::FontPatternFor("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"),
            "IPAGothic,monospace:lang=ja");
  EXPECT_EQ(plat::FontPatternFor("@\x82\x6C\x82\x72 \x96\xBE\x92\xA9"), "IPAMincho,serif:lang=ja");
  EXPECT_EQ(plat::FontPatternFor("NoSuchFace"), "NoSuchFace,sans-serif:lang=ja");
}

TEST(FontFace, RendersHiraganaInA16PixelCell) {
  auto face = OpenGothic();
  ASSERT_NE(face, nullptr);
  EXPECT_GE(face->Metrics().height, 16);
  EXPECT_EQ(face->Extent("\x82\xA0").cx, 16);  // あ: a full-width character is one em
  for (GlyphBitmapFormat format : {GlyphBitmapFormat::kMono, GlyphBitmapFormat::kGray17, GlyphBitmapFormat::kGray65}) {
    const auto glyph = face->Glyph(0x82A0, format, 1);
    ASSERT_TRUE(glyph.has_value());
    EXPECT_GT(glyph->width, 8);
    EXPECT_LE(glyph->width, 16);
    EXPECT_LE(glyph->height, 16);
    EXPECT_EQ(glyph->pitch % 4, 0);
    if (format != GlyphBitmapFormat::kMono) {
      EXPECT_GT(InkedPixels(*glyph), 30);
      const int top = format == GlyphBitmapFormat::kGray17 ? 16 : 64;
      EXPECT_LE(*std::max_element(glyph->bits.begin(), glyph->bits.end()), top);
    }
  }
  const auto space = face->Glyph(' ', GlyphBitmapFormat::kGray65, 1);
  ASSERT_TRUE(space.has_value());
  EXPECT_EQ(space->width, 0);
  EXPECT_GT(face->Extent(" ").cx, 0);
}

TEST(FontFace, AQuarterTurnSwapsTheInkBox) {
  auto flat = OpenGothic(0);
  auto turned = OpenGothic(900);
  ASSERT_NE(flat, nullptr);
  ASSERT_NE(turned, nullptr);
  const auto a = flat->Glyph(0x88EA, GlyphBitmapFormat::kGray65, 1);  // 一
  const auto b = turned->Glyph(0x88EA, GlyphBitmapFormat::kGray65, 1);
  ASSERT_TRUE(a && b);
  EXPECT_GT(a->width, 2 * a->height);
  EXPECT_NEAR(b->width, a->height, 1);
  EXPECT_NEAR(b->height, a->width, 1);
}

// Written downwards (angle 2700), a vertical face stands its double-byte characters upright:
// 一 stays a wide bar, while ー and （ take their vertical forms (a tall bar, a bracket that
// opens downwards). One-byte characters lie along the line as in the plain face.
TEST(FontFace, VerticalFacesStandDoubleByteCharactersUprightInTheirVerticalForms) {
  auto plain = OpenGothic(2700);
  auto vertical = OpenGothic(2700, true);
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(vertical, nullptr);
  struct Case {
    std::uint16_t code;
    Shape plain;
    Shape vertical;
  };
  const Case cases[] = {
      {0x88EA, Shape::kTall, Shape::kWide},  // 一: no vertical form, only turned
      {0x815B, Shape::kTall, Shape::kTall},  // ー: turned it would lie flat; its vertical form stands
      {0x8169, Shape::kWide, Shape::kWide},  // （: its vertical form, the upper bracket
  };
  for (const Case& c : cases) {
    const auto lying = plain->Glyph(c.code, GlyphBitmapFormat::kGray65, 1);
    const auto upright = vertical->Glyph(c.code, GlyphBitmapFormat::kGray65, 1);
    ASSERT_TRUE(lying && upright) << c.code;
    EXPECT_EQ(ShapeOf(*lying), c.plain) << c.code;
    EXPECT_EQ(ShapeOf(*upright), c.vertical) << c.code;
    // The upright glyph keeps to the character's cell: the ascent to the right of the line,
    // the descent to its left, one em below the pen.
    EXPECT_GE(upright->origin_x, -4) << c.code;
    EXPECT_LE(upright->origin_x + upright->width, 16) << c.code;
    EXPECT_LE(upright->origin_y, 1) << c.code;
    EXPECT_GE(upright->origin_y - upright->height, -17) << c.code;
  }
  // The full stop's vertical form sits in the upper right of its cell (the ascent side of the
  // line lies to the right): near the pen, right of the line's middle.
  const auto stop = vertical->Glyph(0x8142, GlyphBitmapFormat::kGray65, 1);
  ASSERT_TRUE(stop);
  EXPECT_GE(stop->origin_x, 7);
  EXPECT_GE(stop->origin_y, -4);

  const auto a_plain = plain->Glyph('A', GlyphBitmapFormat::kGray65, 1);
  const auto a_vertical = vertical->Glyph('A', GlyphBitmapFormat::kGray65, 1);
  ASSERT_TRUE(a_plain && a_vertical);
  EXPECT_EQ(a_vertical->bits, a_plain->bits);
  EXPECT_EQ(a_vertical->origin_x, a_plain->origin_x);
  EXPECT_EQ(vertical->Extent("\x88\xEA").cx, 16);
}

TEST(FontFace, UnknownFacesFallBackToAJapaneseFace) {
  plat::FontRequest request;
  request.face_name = "NoSuchFace";
  auto face = plat::OpenFontFace(request);
  ASSERT_NE(face, nullptr);
  const auto glyph = face->Glyph(0x82A0, GlyphBitmapFormat::kGray65, 1);
  ASSERT_TRUE(glyph.has_value());
  EXPECT_GT(InkedPixels(*glyph), 30);
}

}  // namespace
