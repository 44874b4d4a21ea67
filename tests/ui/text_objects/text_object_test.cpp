// The text object over a recording drawing device: textures of the text's size fitted to the
// device, the text's coverage as alpha on alpha textures, the background as key on the others,
// a text too wide for the device scaled into its texture, and the statuses without textures.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "support/fake_drawing_device.h"
#include "support/software_surfaces.h"
#include "support/surface_text_test.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/text_objects/text_object.h"

namespace {

class TextObjectTest : public SurfaceTextTest {
 protected:
  // Pixels of the text's box by their alpha: clear, and inked (nearly opaque).
  struct Alphas {
    int clear = 0;
    int inked = 0;
  };
  static Alphas CountAlphas(const CTextObject& object) {
    Alphas alphas;
    for (int32_t y = 0; y < object.GetImageHeight(); ++y) {
      for (int32_t x = 0; x < object.GetImageWidth(); ++x) {
        const uint32_t alpha = SoftwareSurfaces::Pixel(*object.GetSurface(), x, y) >> 24;
        alphas.clear += alpha == 0 ? 1 : 0;
        alphas.inked += alpha >= 0xC0 ? 1 : 0;
      }
    }
    return alphas;
  }
};

TEST_F(TextObjectTest, WithoutTexturesOrDevicesNothingIsMade) {
  const std::unique_ptr<CGdiFont> font = MakeFont<CGdiFont>(0);
  CTextObject object;
  EXPECT_EQ(object.SetText(kPixelFormatArgb8888, "AB", font.get()), 4u) << "the program's device has no textures";
  EXPECT_EQ(object.GetSurface(), nullptr);
  EXPECT_FALSE(object.GetText().has_value());
  EXPECT_EQ(object.SetText(kPixelFormatArgb8888, nullptr, font.get()), 1u);
  CScreenManager* const device = g_DrawObjectDevice;
  g_DrawObjectDevice = nullptr;
  EXPECT_EQ(object.SetText(kPixelFormatArgb8888, "AB", font.get()), 1u);
  g_DrawObjectDevice = device;
  FakeDrawingDevice fake(screen_.Screen(), kTextureCapsPow2, 1024);
  EXPECT_EQ(object.SetText(kPixelFormatArgb4444, "AB", font.get()), 4u) << "a format the device lacks";
  g_DefaultFont = nullptr;
  EXPECT_EQ(object.SetText(kPixelFormatArgb8888, "AB", nullptr), 3u) << "no font";
}

TEST_F(TextObjectTest, AlphaTexturesHoldTheTextOnAClearBackground) {
  FakeDrawingDevice device(screen_.Screen(), kTextureCapsPow2, 1024);
  struct Case {
    bool glyph_font;
    uint8_t glyph_format;
  };
  for (const Case& c : {Case{false, 0}, Case{false, 2}, Case{true, 2}}) {
    SCOPED_TRACE(testing::Message() << (c.glyph_font ? "glyph font" : "plain font") << " format "
                                    << static_cast<int>(c.glyph_format));
    std::unique_ptr<CFontBase> font;
    if (c.glyph_font) {
      font = MakeFont<CFont>(c.glyph_format);
    } else {
      font = MakeFont<CGdiFont>(c.glyph_format);
    }
    g_DefaultFont = nullptr;
    CTextObject object;
    ASSERT_EQ(object.SetText(kPixelFormatArgb8888, "AB", font.get()), 0u);
    EXPECT_EQ(g_DefaultFont, nullptr) << "the font is this object's only";
    TextSize size;
    font->MeasureText("AB", &size, nullptr, nullptr, 1, nullptr);
    EXPECT_EQ(object.GetImageWidth(), size.cx);
    EXPECT_EQ(object.GetTextureWidth(), std::bit_ceil(static_cast<uint32_t>(size.cx)));
    EXPECT_EQ(object.GetPixelFormat(), kPixelFormatArgb8888);
    const Alphas alphas = CountAlphas(object);
    EXPECT_GT(alphas.clear, 0);
    EXPECT_GT(alphas.inked, 0);
    EXPECT_EQ(object.GetColorKeyRgb(), c.glyph_font ? kNoColorKey : 0x00FF00u)
        << "a plain font's transparent background is the key";
  }
}

TEST_F(TextObjectTest, APlainTextureKeepsTheBackgroundAsItsKey) {
  FakeDrawingDevice device(screen_.Screen(), 0, 1024);
  const std::unique_ptr<CGdiFont> font = MakeFont<CGdiFont>(0);
  font->SetBackground(1, 0, 255, 0);
  CTextObject object;
  ASSERT_EQ(object.SetText(kPixelFormatXrgb8888, "AB", font.get()), 0u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), 0, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(object.GetColorKeyRgb(), 0x00FF00u);
  font->SetBackground(0, 0, 255, 0);
  ASSERT_EQ(object.SetText(kPixelFormatXrgb8888, "AB", font.get()), 0u);
  EXPECT_EQ(object.GetColorKeyPixel(), kNoColorKey) << "an opaque background is no key";
  EXPECT_EQ(object.Restore(false), 0u);
  EXPECT_NE(object.GetSurface(), nullptr);
}

TEST_F(TextObjectTest, ATextWiderThanTheDeviceTakesIsScaledIntoItsTexture) {
  FakeDrawingDevice device(screen_.Screen(), kTextureCapsPow2, 16);
  const std::unique_ptr<CFont> font = MakeFont<CFont>(2);
  CTextObject object;
  ASSERT_EQ(object.SetText(kPixelFormatArgb8888, "ABCD", font.get()), 0u);
  EXPECT_GT(object.GetImageWidth(), 16);
  EXPECT_EQ(object.GetTextureWidth(), 16);
  EXPECT_DOUBLE_EQ(object.GetTexU(object.GetImageWidth()), (16 + 0.5) / 16);
}

}  // namespace
