// A script makes a glyph font, gives it an outline and a colour gradient and draws "テスト" into a
// plain image through the built-ins: ink inside the measured box, none outside it, the gradient
// running from its top colour to its bottom colour down the glyphs, the outline around them. The
// picture is written as builtin_text_draw.png in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "builtin_call.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/japanese_face.h"
#include "support/png_file.h"
#include "support/region_rects.h"

namespace {

constexpr char kTest[] = "\x83\x65\x83\x58\x83\x67";  // テスト
constexpr std::uint32_t kPaper = 0xFF203040;
constexpr std::int32_t kX = 20;
constexpr std::int32_t kY = 16;

class TextDrawPictureTest : public builtin_test::BuiltinCallTest {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_ScreenManager = &screen_;
    ASSERT_EQ(image_.Create(200, 72, 32, CImage::kOwnDirtyRegion), 0u);
    image_.FillRectArgb(kPaper, nullptr);
    image_.GetDirtyRegion()->Clear();
  }
  void TearDown() override { g_ScreenManager = nullptr; }

  std::uint32_t Pixel(std::int32_t x, std::int32_t y) const { return static_cast<std::uint32_t>(image_.GetPixel(x, y)); }
  static int Red(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }
  static int Blue(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

  CScreenManager screen_;
  CImage image_;
};

TEST_F(TextDrawPictureTest, AnOutlinedGradientTextLiesInsideItsMeasuredBox) {
  const std::uint32_t font = Call(168, {Text(kGothic), 32});
  ASSERT_NE(font, 0u);
  ASSERT_EQ(Call(177, {font, 2, 0, 0}), 1u);
  ASSERT_EQ(Call(178, {font, 255, 255, 255}), 1u);
  ASSERT_EQ(Call(185, {font, 1, 0xFF2020, 0x2020FF}), 0u);
  const std::uint32_t box = Block(16);
  ASSERT_EQ(Call(187, {font, Text(kTest), box, box + 4, box + 8, box + 12}), 1u);
  const auto left = kX + static_cast<std::int32_t>(WordAt(box + 8));
  const auto top = kY + static_cast<std::int32_t>(WordAt(box + 12));
  const auto right = left + static_cast<std::int32_t>(WordAt(box));
  const auto bottom = top + static_cast<std::int32_t>(WordAt(box + 4));

  const std::uint32_t object = image_.ScriptHandle(Handles());
  ASSERT_EQ(Call(191, {object, kX, kY, Text(kTest), font}), 0u);
  EXPECT_TRUE(WritePng("builtin_text_draw.png", image_));

  int inside = 0;
  int outside = 0;
  int white = 0;
  int upper_red = 0;
  int upper_blue = 0;
  int lower_red = 0;
  int lower_blue = 0;
  const std::int32_t middle = kY + 16;
  for (std::int32_t y = 0; y < image_.GetHeight(); ++y) {
    for (std::int32_t x = 0; x < image_.GetWidth(); ++x) {
      const std::uint32_t pixel = Pixel(x, y);
      if (pixel == kPaper) continue;
      const bool in_box = x >= left && x < right && y >= top && y < bottom;
      (in_box ? inside : outside) += 1;
      if (pixel == 0xFFFFFFFF) ++white;
      // Saturated face pixels: clearly red or clearly blue, by their half of the glyphs.
      const bool reddish = Red(pixel) > 200 && Blue(pixel) < 140;
      const bool bluish = Blue(pixel) > 200 && Red(pixel) < 140;
      if (y < middle) {
        upper_red += reddish;
        upper_blue += bluish;
      } else {
        lower_red += reddish;
        lower_blue += bluish;
      }
    }
  }
  EXPECT_GT(inside, 300) << "three characters of 32 pixels";
  EXPECT_EQ(outside, 0);
  EXPECT_GT(white, 50) << "the outline";
  EXPECT_GT(upper_red, upper_blue);
  EXPECT_GT(lower_blue, lower_red);
  // The drawn area is marked changed on the image, within the box.
  const std::vector<RectArray> dirty = RegionRects(*image_.GetDirtyRegion());
  ASSERT_FALSE(dirty.empty());
  for (const RectArray& rect : dirty) {
    EXPECT_GE(rect[0], left);
    EXPECT_GE(rect[1], top);
    EXPECT_LE(rect[2], right);
    EXPECT_LE(rect[3], bottom);
  }
}

}  // namespace
