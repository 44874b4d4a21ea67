// Built-ins 166 to 195: fonts made, changed, measured and deleted by handle, text drawn into
// display objects, and the installed-font list.
#include "builtins/font_builtins.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "builtin_call.h"
#include "gfx/images/image.h"
#include "gfx/display/screen_manager.h"
#include "base/numbers/trig_tables.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_app_services.h"
#include "support/japanese_face.h"
#include "ui/fonts/edge_disc.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/fonts/screen_fonts.h"

namespace {

constexpr std::uint32_t kNoFont = 0xFFFFFFFF;
constexpr std::uint32_t kWrongKind = 0xFFFFFFFE;

class FontBuiltinsTest : public builtin_test::BuiltinCallTest {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_ScreenManager = &screen_;
  }
  void TearDown() override {
    g_DefaultFont = nullptr;
    g_ScreenManager = nullptr;
  }

  std::uint32_t MakeGdiFont(std::int32_t size = 20) { return Call(167, {Text(kGothic), static_cast<std::uint32_t>(size)}); }
  std::uint32_t MakeGlyphFont(std::int32_t size = 20) {
    return Call(168, {Text(kGothic), static_cast<std::uint32_t>(size)});
  }
  CFontBase* FontOf(std::uint32_t handle) { return Handles().Get<CFontBase>(handle); }
  std::size_t ListedFonts() { return CScreenFonts::Of(screen_).GetFonts().size(); }

  CScreenManager screen_;
  test_support::FakeAppServices app_;
};

TEST_F(FontBuiltinsTest, FontsOfBothKindsAreMadeWithMinusTheSizeAsTheirHeight) {
  const std::uint32_t plain = MakeGdiFont(20);
  const std::uint32_t glyph = MakeGlyphFont(-24);
  ASSERT_NE(FontOf(plain), nullptr);
  ASSERT_NE(FontOf(glyph), nullptr);
  EXPECT_FALSE(FontOf(plain)->IsGlyphFont());
  EXPECT_TRUE(FontOf(glyph)->IsGlyphFont());
  EXPECT_EQ(FontOf(plain)->logical_font().height, -20);
  EXPECT_EQ(FontOf(glyph)->logical_font().height, -24);
  EXPECT_EQ(FontOf(glyph)->logical_font().face_name, kGothic);
  EXPECT_EQ(ListedFonts(), 2u);
  // The smallest integer has no absolute value of 32 bits: the height is still defined, and
  // past the largest size the font is refused.
  EXPECT_NE(Call(172, {glyph, static_cast<std::uint32_t>(INT_MIN)}), 0u);
  EXPECT_FALSE(FontOf(glyph)->IsReady());
  EXPECT_EQ(FontOf(glyph)->logical_font().height, -INT_MAX);
  // Without a screen nothing is made.
  g_ScreenManager = nullptr;
  EXPECT_EQ(MakeGlyphFont(), 0u);
}

TEST_F(FontBuiltinsTest, ANoFontHandleGivesTheRowsNoObjectResult) {
  const std::uint32_t stale = MakeGlyphFont();
  ASSERT_EQ(Call(169, {WordHolding(stale)}), 0u);
  const std::uint32_t text = Text("A");
  for (const std::uint32_t font : {0u, stale, 0x12345678u}) {
    for (const std::uint32_t id : {171u, 172u, 173u, 174u, 181u, 182u, 184u, 185u, 187u, 188u}) {
      EXPECT_EQ(Call(id, {font, text, 1, 1, 1, 1}), kNoFont) << id;
    }
    for (const std::uint32_t id : {170u, 175u, 176u, 177u, 178u, 179u, 180u, 183u, 186u}) {
      EXPECT_EQ(Call(id, {font, 1, 1, 1, 1}), 0u) << id;
    }
  }
}

TEST_F(FontBuiltinsTest, RowsOfOneKindRefuseTheOtherKindAndChangeNothing) {
  const std::uint32_t plain = MakeGdiFont();
  const std::uint32_t glyph = MakeGlyphFont();
  EXPECT_EQ(Call(181, {glyph, 1, 1}), kWrongKind);
  EXPECT_EQ(FontOf(glyph)->logical_font().underline, 0);
  EXPECT_EQ(FontOf(glyph)->logical_font().strike_out, 0);
  EXPECT_EQ(Call(182, {glyph, 5}), kWrongKind);
  EXPECT_EQ(FontOf(glyph)->logical_font().quality, 3);
  EXPECT_EQ(Call(184, {plain, 0, 0, 0, Text("A"), 0}), kWrongKind);
  EXPECT_EQ(Call(185, {plain, 1, 0xFFFFFF, 0}), kWrongKind);
  EXPECT_EQ(Call(183, {plain, 7}), 0u);
  EXPECT_EQ(Call(186, {plain, 512, 1}), 0u);

  EXPECT_EQ(Call(181, {plain, 1, 1}), 0u);
  EXPECT_EQ(FontOf(plain)->logical_font().underline, 1);
  EXPECT_EQ(FontOf(plain)->logical_font().strike_out, 1);
  EXPECT_EQ(Call(182, {plain, 5}), 0u);
  EXPECT_EQ(FontOf(plain)->logical_font().quality, 5);
}

TEST_F(FontBuiltinsTest, DeletingByTheWordOfAHandle) {
  const std::uint32_t font = MakeGdiFont();
  EXPECT_EQ(Call(169, {0}), 1u);
  EXPECT_EQ(Call(169, {WordHolding(0)}), 1u);
  // A font the scripts can name that the screen's list does not hold: 2, the word kept.
  CFont outside;
  const std::uint32_t outside_handle = outside.ScriptHandle(Handles());
  const std::uint32_t outside_word = WordHolding(outside_handle);
  EXPECT_EQ(Call(169, {outside_word}), 2u);
  EXPECT_EQ(WordAt(outside_word), outside_handle);
  EXPECT_EQ(FontOf(outside_handle), &outside);

  const std::uint32_t word = WordHolding(font);
  EXPECT_EQ(Call(169, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_EQ(FontOf(font), nullptr);
  EXPECT_EQ(ListedFonts(), 0u);
  // The same handle again names nothing: 2 and the word as it was.
  const std::uint32_t again = WordHolding(font);
  EXPECT_EQ(Call(169, {again}), 2u);
  EXPECT_EQ(WordAt(again), font);
}

TEST_F(FontBuiltinsTest, DestroyingTheFontsRevokesEveryHandleAndTheDefaultFont) {
  const std::uint32_t plain = MakeGdiFont();
  const std::uint32_t glyph = MakeGlyphFont();
  EXPECT_EQ(Call(170, {glyph}), 1u);
  EXPECT_EQ(g_DefaultFont, FontOf(glyph));
  EXPECT_EQ(Call(170, {0}), 0u);
  EXPECT_EQ(g_DefaultFont, FontOf(glyph));
  EXPECT_EQ(Call(166, {}), 0u);
  EXPECT_EQ(FontOf(plain), nullptr);
  EXPECT_EQ(FontOf(glyph), nullptr);
  EXPECT_EQ(g_DefaultFont, nullptr);
}

TEST_F(FontBuiltinsTest, SettersStoreWhatTheDrawersRead) {
  const std::uint32_t glyph = MakeGlyphFont(20);
  auto& font = static_cast<CFont&>(*FontOf(glyph));
  EXPECT_EQ(Call(171, {glyph, Text(kGothic)}), 0u) << "the same face";
  EXPECT_EQ(Call(172, {glyph, 20}), 0u) << "the same size";
  EXPECT_EQ(Call(173, {glyph, 0x101, 1}), 0u);
  EXPECT_EQ(font.logical_font().weight, 700) << "the low byte 1 is bold";
  EXPECT_EQ(font.logical_font().italic, 1);
  EXPECT_EQ(Call(174, {glyph, 900}), 0u);
  EXPECT_EQ(font.logical_font().escapement, 900);
  EXPECT_EQ(Call(175, {glyph, 0x100}), 1u);
  EXPECT_EQ(font.glyph_format(), 0) << "a byte";
  EXPECT_EQ(Call(176, {glyph, 10, 20, 0x130}), 1u);
  EXPECT_EQ(font.text_color.red, 10);
  EXPECT_EQ(font.text_color.blue, 0x30);
  EXPECT_EQ(Call(177, {glyph, 1, static_cast<std::uint32_t>(-3), 4}), 1u);
  EXPECT_EQ(font.decoration, 1);
  EXPECT_EQ(font.shadow_x, -3);
  EXPECT_EQ(font.shadow_y, 4);
  EXPECT_EQ(Call(178, {glyph, 1, 2, 3}), 1u);
  EXPECT_EQ(font.decoration_color.green, 2);
  EXPECT_EQ(Call(179, {glyph, 0, 7, 8, 9}), 1u);
  EXPECT_EQ(font.background_color.blue, 9);
  EXPECT_EQ(Call(180, {glyph, 6}), 1u);
  EXPECT_EQ(font.line_spacing, 6);
  EXPECT_EQ(Call(183, {glyph, 0x10007}), 1u);
  EXPECT_EQ(font.glyph_cache().limit(), 7u) << "16 bits";
  EXPECT_EQ(Call(186, {glyph, 512, 1}), 1u);
  EXPECT_EQ(font.edge_strength(), 512);
  EXPECT_EQ(font.edge_radius(), 1);
  // The outline's work grows with the square of the radius: one beyond the limit is refused.
  for (const std::int32_t radius : {kMaxEdgeRadius + 1, 2000, INT_MAX, INT_MIN, -2000}) {
    EXPECT_EQ(Call(186, {glyph, 256, static_cast<std::uint32_t>(radius)}), 0u) << radius;
  }
  EXPECT_EQ(font.edge_strength(), 512);
  EXPECT_EQ(font.edge_radius(), 1);
  EXPECT_EQ(Call(186, {glyph, 256, static_cast<std::uint32_t>(-kMaxEdgeRadius)}), 1u);
  EXPECT_EQ(font.edge_radius(), -kMaxEdgeRadius);
  EXPECT_EQ(Call(185, {glyph, 1, 0xFF0000, 0x0000FF}), 0u);
  EXPECT_TRUE(font.gradient_on());
  EXPECT_EQ(font.gradient_ramp().GetCount(), 20u);

  const std::uint32_t plain = MakeGdiFont();
  EXPECT_EQ(Call(179, {plain, 0, 7, 8, 9}), 1u);
  EXPECT_FALSE(static_cast<CGdiFont*>(FontOf(plain))->transparent_background());
  EXPECT_EQ(FontOf(plain)->background_color.red, 7);
}

TEST_F(FontBuiltinsTest, AGlyphCacheLimitBelowTheCountDropsTheOldestGlyphs) {
  const std::uint32_t glyph = MakeGlyphFont(16);
  auto& font = static_cast<CFont&>(*FontOf(glyph));
  CImage image;
  ASSERT_EQ(image.Create(200, 40, 32, 0), 0u);
  ASSERT_EQ(font.DrawText(&image, 0, 0, "ABCDEF", nullptr, nullptr), 0u);
  ASSERT_EQ(font.glyph_cache().count(), 6u);
  EXPECT_EQ(Call(183, {glyph, 2}), 1u);
  EXPECT_EQ(font.glyph_cache().count(), 2u);
  EXPECT_EQ(Call(183, {glyph, 0}), 1u);
  EXPECT_EQ(font.glyph_cache().count(), 0u);
  EXPECT_EQ(font.DrawText(&image, 0, 0, "GH", nullptr, nullptr), 0u) << "drawing goes on without a cache";
  EXPECT_EQ(font.glyph_cache().count(), 0u);
}

TEST_F(FontBuiltinsTest, MeasuringWritesTheBoxAndTheTurnedBox) {
  const std::uint32_t glyph = MakeGlyphFont(20);
  const std::uint32_t text = Text("AB\nC");
  const std::uint32_t box = Block(16);
  EXPECT_EQ(Call(187, {glyph, text, box, box + 4, box + 8, box + 12}), 2u);
  const auto width = static_cast<std::int32_t>(WordAt(box));
  const auto height = static_cast<std::int32_t>(WordAt(box + 4));
  EXPECT_GT(width, 0);
  EXPECT_EQ(height, 40);
  EXPECT_EQ(WordAt(box + 8), 0u);
  EXPECT_EQ(WordAt(box + 12), 0u);
  // Offsets are optional; the outline adds its room on every side.
  ASSERT_EQ(Call(177, {glyph, 2, 0, 0}), 1u);
  EXPECT_EQ(Call(187, {glyph, text, box, box + 4, 0, 0}), 2u);
  EXPECT_EQ(static_cast<std::int32_t>(WordAt(box + 4)), 44);

  ASSERT_EQ(Call(177, {glyph, 0, 0, 0}), 1u);
  ASSERT_EQ(Call(174, {glyph, 900}), 0u);
  CTrigTables tables;
  g_TrigTable = &tables;
  EXPECT_EQ(Call(188, {glyph, text, box, box + 4, box + 8, box + 12}), 2u);
  EXPECT_EQ(static_cast<std::int32_t>(WordAt(box)), height);
  EXPECT_EQ(static_cast<std::int32_t>(WordAt(box + 4)), width);
  g_TrigTable = nullptr;
  // Nothing measured (no text): 0 and nothing written.
  const std::uint32_t untouched = Block(16, 0xAB);
  EXPECT_EQ(Call(187, {glyph, 0, untouched, untouched + 4, 0, 0}), 0u);
  EXPECT_EQ(WordAt(untouched), 0xABABABABu);
}

TEST_F(FontBuiltinsTest, TextIsDrawnIntoTheImageOfADisplayObject) {
  CImage image;
  ASSERT_EQ(image.Create(160, 40, 32, CImage::kUseDib), 0u);
  image.FillRectArgb(0xFF000000, nullptr);
  const std::uint32_t object = image.ScriptHandle(Handles());
  const std::uint32_t plain = MakeGdiFont(16);
  const std::uint32_t glyph = MakeGlyphFont(16);
  const auto ink_in = [&](std::int32_t left, std::int32_t right) {
    int count = 0;
    for (std::int32_t y = 0; y < 40; ++y) {
      for (std::int32_t x = left; x < right; ++x) count += image.GetPixel(x, y) != 0xFF000000u;
    }
    return count;
  };
  // The formatted text goes through the default plain font.
  EXPECT_EQ(Call(189, {object, 0, 0, Text("%d-%s"), 42, Text("x")}), 2u) << "no default font yet";
  ASSERT_EQ(Call(170, {plain}), 1u);
  EXPECT_EQ(Call(189, {object, 0, 0, 0, 42}), 1u) << "no format: nothing drawn";
  EXPECT_EQ(ink_in(0, 160), 0);
  EXPECT_EQ(Call(189, {object, 0, 0, Text("%d-%s"), 42, Text("x")}), 0u);
  EXPECT_GT(ink_in(0, 40), 0);
  EXPECT_EQ(ink_in(40, 160), 0);
  EXPECT_EQ(Call(190, {object, 40, 0, Text("A"), 0}), 0u);
  EXPECT_GT(ink_in(40, 60), 0);
  EXPECT_EQ(Call(190, {object, 60, 0, Text("A"), glyph}), 2u) << "a plain font only";
  EXPECT_EQ(Call(191, {object, 60, 0, Text("A"), glyph}), 0u);
  EXPECT_GT(ink_in(60, 80), 0);
  EXPECT_EQ(Call(192, {object, 80, 0, Text("A"), plain}), 2u) << "a glyph font only";
  EXPECT_EQ(Call(192, {object, 80, 0, Text("A"), glyph}), 0u);
  EXPECT_GT(ink_in(80, 100), 0);
  EXPECT_EQ(Call(184, {glyph, object, 100, 0, Text("A"), 0}), 0u);
  EXPECT_GT(ink_in(100, 120), 0);
  EXPECT_EQ(ink_in(120, 160), 0);
  for (const std::uint32_t id : {189u, 190u, 191u, 192u}) EXPECT_EQ(Call(id, {0, 0, 0, Text("A"), 0}), kNoFont) << id;
  EXPECT_EQ(Call(184, {glyph, 0, 0, 0, Text("A"), 0}), 1u);
}

TEST_F(FontBuiltinsTest, TheFormattedTextIsCutAt511Bytes) {
  CImage image;
  ASSERT_EQ(image.Create(64, 16, 32, CImage::kUseDib), 0u);
  const std::uint32_t plain = MakeGdiFont(8);
  ASSERT_EQ(Call(170, {plain}), 1u);
  const std::string long_text(2000, 'W');
  const std::uint32_t object = image.ScriptHandle(Handles());
  EXPECT_EQ(Call(189, {object, 0, 0, Text("%s%s"), Text(long_text), Text(long_text)}), 0u);
}

TEST_F(FontBuiltinsTest, TheInstalledFontListIsFilledAndReadByIndex) {
  const std::uint32_t count = Call(193, {0, 0});
  EXPECT_EQ(count, app_.installed_fonts.faces.size());
  app_.installed_fonts.faces.assign(2, LogicalFont{});
  app_.installed_fonts.faces[0].face_name = "First";
  app_.installed_fonts.faces[1].face_name = std::string(40, 'L');
  const std::uint32_t name = Block(64);
  EXPECT_EQ(Call(194, {0, name}), 1u);
  EXPECT_EQ(TextAt(name), "First");
  EXPECT_EQ(Call(194, {1, name}), 1u);
  EXPECT_EQ(TextAt(name), std::string(31, 'L')) << "a face name has 32 bytes with its zero";
  EXPECT_EQ(Call(194, {2, name}), 0u);
  EXPECT_EQ(TextAt(name), "");
  EXPECT_EQ(TextAt(Call(195, {0})), "First");
  EXPECT_EQ(Call(195, {2}), 0u);
  EXPECT_EQ(Call(195, {0xFFFFFFFF}), 0u);
}

}  // namespace
