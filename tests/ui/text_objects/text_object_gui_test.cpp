// Text objects drawn with the machine's Japanese face on alpha textures (run under Xvfb, where the
// face is found): a smoothed plain font gives the text's edges partial alpha, and its shadow and
// outline take alpha of their own. The textures are written into the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "support/fake_drawing_device.h"
#include "support/japanese_face.h"
#include "support/png_file.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"
#include "ui/fonts/gdi_font.h"
#include "ui/text_objects/text_object.h"

namespace {

struct Drawn {
  std::vector<uint32_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Drawn DrawTextObject(uint8_t glyph_format, uint8_t decoration, const std::string& png) {
  BuildPixelTables();
  SpriteDeviceScreen screen;
  FakeDrawingDevice device(screen.Screen(), 0, 1024);
  CGdiFont font;
  EXPECT_EQ(font.SetFont(32, 0, 0, kGothic), 0u);
  font.SetGlyphFormat(glyph_format);
  font.text_color = Rgb{255, 255, 255};
  font.decoration_color = Rgb{255, 0, 0};
  font.decoration = decoration;
  font.shadow_x = 3;
  font.shadow_y = 3;
  CTextObject object;
  Drawn drawn;
  EXPECT_EQ(object.SetText(kPixelFormatArgb8888, "AO", &font), 0u);
  if (object.GetSurface() == nullptr) return drawn;
  drawn.width = object.GetImageWidth();
  drawn.height = object.GetImageHeight();
  for (int32_t y = 0; y < drawn.height; ++y) {
    for (int32_t x = 0; x < drawn.width; ++x) drawn.pixels.push_back(SoftwareSurfaces::Pixel(*object.GetSurface(), x, y));
  }
  // The colours, and the alpha as grey, side by side.
  std::vector<uint32_t> shown;
  for (int32_t y = 0; y < drawn.height; ++y) {
    for (int32_t x = 0; x < drawn.width; ++x) shown.push_back(drawn.At(x, y));
    for (int32_t x = 0; x < drawn.width; ++x) shown.push_back((drawn.At(x, y) >> 24) * 0x010101u);
  }
  EXPECT_TRUE(WritePng(png, shown, 2 * drawn.width, drawn.height));
  return drawn;
}

// The alpha values strictly between clear and opaque, over the pixels whose colour is `rgb`
// (any colour when `rgb` is negative).
std::set<uint32_t> PartialAlphas(const Drawn& drawn, int64_t rgb) {
  std::set<uint32_t> partial;
  for (const uint32_t pixel : drawn.pixels) {
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0 || alpha == 255) continue;
    if (rgb >= 0 && (pixel & 0xFFFFFF) != static_cast<uint32_t>(rgb)) continue;
    partial.insert(alpha);
  }
  return partial;
}

TEST(TextObjectGuiTest, ASmoothedPlainFontGivesTheEdgesOfTheTextAndOfItsDecorationsPartialAlpha) {
  const Drawn sharp = DrawTextObject(0, 0, "text_object_sharp.png");
  EXPECT_TRUE(PartialAlphas(sharp, -1).empty()) << "an unsmoothed text is opaque or clear";
  const Drawn plain = DrawTextObject(2, 0, "text_object_smoothed.png");
  // Each pixel sums a 4 x 4 block of samples of 15 (full ink 240): s, with its top bits copied low.
  std::set<uint32_t> oversampled;
  for (uint32_t s = 15; s <= 240; s += 15) oversampled.insert(s | ((s >> 3) & 7));
  for (const uint32_t alpha : PartialAlphas(plain, -1)) EXPECT_EQ(oversampled.count(alpha), 1u) << alpha;
  EXPECT_GE(PartialAlphas(plain, 0xFFFFFF).size(), 8u) << "the face's edges";
  const Drawn shadow = DrawTextObject(2, 1, "text_object_shadow.png");
  EXPECT_GE(PartialAlphas(shadow, 0xFF0000).size(), 4u) << "the shadow's edges";
  const Drawn outline = DrawTextObject(2, 2, "text_object_outline.png");
  EXPECT_GE(PartialAlphas(outline, 0xFF0000).size(), 4u) << "the outline's edges";
}

}  // namespace
