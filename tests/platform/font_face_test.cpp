#include "platform/font_face.h"

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

std::unique_ptr<plat::IFontFace> OpenGothic(int angle = 0) {
  plat::FontRequest request;
  request.face_name = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
  request.angle = angle;
  return plat::OpenFontFace(request);
}

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
