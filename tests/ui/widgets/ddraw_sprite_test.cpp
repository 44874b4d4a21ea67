// The text sprite over software display surfaces: a line of text rendered by either kind of
// font into a surface of its size, keyed on the background, and rendered again after a loss.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "support/surface_text_test.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/widgets/ddraw_sprite.h"

namespace {

constexpr uint32_t kBackground = 0x00FF00;

class DDrawSpriteTest : public SurfaceTextTest {
 protected:
  // How many of the sprite's pixels are the background, and how many nearly the white ink.
  struct Census {
    int background = 0;
    int ink = 0;
  };
  static Census Count(const CDDrawSprite& sprite) {
    Census census;
    for (int32_t y = 0; y < sprite.GetHeight(); ++y) {
      for (int32_t x = 0; x < sprite.GetWidth(); ++x) {
        const uint32_t pixel = sprite.GetPixel(x, y);
        census.background += pixel == kBackground ? 1 : 0;
        census.ink += pixel != CDDrawSprite::kNoPixel && (pixel & 0xE0E0E0) == 0xE0E0E0 ? 1 : 0;
      }
    }
    return census;
  }
};

TEST_F(DDrawSpriteTest, WithoutAFontOrATextNothingIsMade) {
  g_DefaultFont = nullptr;
  CDDrawSprite sprite;
  EXPECT_EQ(sprite.SetText(nullptr, nullptr), 1u);
  EXPECT_EQ(sprite.SetText("text", nullptr), 5u) << "no font given and no default font";
  EXPECT_EQ(sprite.GetSurface(), nullptr);
  EXPECT_FALSE(sprite.GetText().has_value());

  const std::unique_ptr<CGdiFont> font = MakeFont<CGdiFont>(0);
  EXPECT_EQ(sprite.SetText("", font.get()), 4u) << "an empty text gives no surface";
  CScreenManager* const device = g_SpriteDevice;
  g_SpriteDevice = nullptr;
  EXPECT_EQ(sprite.SetText("text", font.get()), 1u);
  g_SpriteDevice = device;
}

// Each kind of font draws white ink on its background colour, in a surface of the text's
// measured size; the background is the key unless a plain font draws it opaque.
TEST_F(DDrawSpriteTest, EachFontRendersTheTextOnItsBackground) {
  struct Case {
    bool glyph_font;
    uint8_t glyph_format;
    bool transparent;
  };
  for (const Case& c : {Case{false, 0, true}, Case{false, 2, true}, Case{false, 0, false}, Case{false, 2, false},
                        Case{true, 0, true}, Case{true, 2, true}}) {
    SCOPED_TRACE(testing::Message() << (c.glyph_font ? "glyph font" : "plain font") << " format "
                                    << static_cast<int>(c.glyph_format) << " transparent " << c.transparent);
    std::unique_ptr<CFontBase> font;
    if (c.glyph_font) {
      font = MakeFont<CFont>(c.glyph_format);
    } else {
      auto plain = MakeFont<CGdiFont>(c.glyph_format);
      plain->SetBackground(c.transparent ? 1 : 0, 0, 255, 0);
      font = std::move(plain);
    }
    CDDrawSprite sprite(nullptr, font.get());
    EXPECT_EQ(g_DefaultFont, font.get()) << "the font given becomes the default";
    ASSERT_EQ(sprite.SetText("AB", nullptr), 0u);
    TextSize size;
    font->MeasureText("AB", &size, nullptr, nullptr, 1, nullptr);
    EXPECT_EQ(sprite.GetWidth(), size.cx);
    EXPECT_EQ(sprite.GetHeight(), size.cy);
    const Census census = Count(sprite);
    EXPECT_GT(census.background, 0);
    EXPECT_GT(census.ink, 0);
    if (c.glyph_format == 0) {
      EXPECT_EQ(census.background + census.ink, size.cx * size.cy) << "one-bit glyphs";
    }
    EXPECT_EQ(sprite.GetColorKey(), c.transparent ? kBackground : kNoColorKey);
  }
}

TEST_F(DDrawSpriteTest, RestoreRendersTheTextAgainWithItsKey) {
  const std::unique_ptr<CFont> font = MakeFont<CFont>(2);
  CDDrawSprite sprite;
  ASSERT_EQ(sprite.SetText("AB", font.get()), 0u);
  EXPECT_EQ(sprite.GetFont(), font.get());
  const Census drawn = Count(sprite);
  ASSERT_GT(drawn.ink, 0);
  // A key taken from a pixel replaces the background key, and is taken again after the loss.
  ASSERT_EQ(sprite.SetColorKeyFromPixel(0, 0), 0u);
  const uint32_t key = sprite.GetColorKey();
  EXPECT_EQ(sprite.Restore(true), 0u) << "not lost";
  sprite.GetSurface()->SimulateLoss();
  EXPECT_EQ(sprite.GetPixel(0, 0), CDDrawSprite::kNoPixel) << "a lost surface cannot be read";
  EXPECT_EQ(sprite.Restore(true), 0u);
  EXPECT_EQ(Count(sprite).ink, drawn.ink);
  EXPECT_EQ(sprite.GetKeyPixel().x, 0);
  EXPECT_EQ(sprite.GetColorKey(), key);

  EXPECT_EQ(sprite.ClearColorKey(), 0u);
  EXPECT_EQ(sprite.ClearColorKey(), 0u) << "nothing to clear";
  EXPECT_EQ(sprite.GetColorKey(), kNoColorKey);
}

}  // namespace
