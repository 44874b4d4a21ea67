// The text layout's pictures loaded by name: ELG files written into a temporary game folder and
// read through the image-loader host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/numbers/trig_tables.h"
#include "elg_encoder.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_list.h"
#include "support/image_host_fixture.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/text_objects/text_layout.h"

namespace {

class TextLayoutFileTest : public test_support::ImageHostTest {
 protected:
  void SetUp() override {
    ImageHostTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(20, 0, 0, "face"), 0U);
  }
  // A picture of one colour (opaque at 32 bits), or at 8 bits all of palette index 200.
  void WritePicture(const std::string& name, uint8_t depth, uint16_t width, uint16_t height, uint32_t rgb) {
    kvxtools::ElgPicture picture;
    picture.bit_depth = depth;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < width * height; ++i) {
      if (depth == 8) {
        picture.pixels.push_back(200);
      } else {
        picture.pixels.insert(picture.pixels.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                                     static_cast<uint8_t>(rgb >> 16)});
        if (depth == 32) picture.pixels.push_back(0xFF);
      }
    }
    const std::vector<uint8_t> file = kvxtools::EncodeElg(picture);
    game_.WriteFile(name, std::string(file.begin(), file.end()));
  }

  ScopedPixelLibrary pixels_;
  CDrawList list_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  CTextLayout layout_;
};

TEST_F(TextLayoutFileTest, APictureSitsOnTheLineLikeACharacter) {
  WritePicture("mark.elg", 24, 6, 4, 0x3366CC);
  ASSERT_EQ(layout_.Create(&list_, 10, 200, 100, 0, 0, &font_, nullptr, 0), 0U);
  EXPECT_EQ(layout_.DrawPictureFile("missing.elg", -1, -1), 2);
  EXPECT_EQ(layout_.pen_x(), 8);
  EXPECT_EQ(layout_.DrawPictureFile("mark.elg", -1, -1), 0);
  EXPECT_EQ(layout_.pen_x(), 8 + 6);
  const CImage& page = layout_.text_image();
  const int32_t bottom = 8 + layout_.line_size() - 1;
  EXPECT_EQ(page.GetPixel(8, bottom), 0x803366CCU) << "the colour copied, the page's alpha kept";
  EXPECT_EQ(page.GetPixel(13, bottom - 3), 0x803366CCU);
  EXPECT_EQ(page.GetPixel(8, bottom - 4), 0x80000000U) << "nothing above the picture";
  EXPECT_EQ(page.GetPixel(14, bottom), 0x80000000U) << "nothing past it";
}

TEST_F(TextLayoutFileTest, InAColumnAPictureIsCentredAcrossItAndAdvancesDown) {
  CTrigTables trig_tables;
  g_TrigTable = &trig_tables;
  WritePicture("mark.elg", 24, 6, 4, 0x3366CC);
  ASSERT_EQ(layout_.Create(&list_, 10, 200, 100, 0, 0, &font_, nullptr, 0), 0U);
  ASSERT_EQ(layout_.SetVertical(true, true), 0U);
  const int32_t column_right = layout_.pen_x();
  EXPECT_EQ(layout_.DrawPictureFile("mark.elg", -1, -1), 0);
  EXPECT_EQ(layout_.DrawPictureFile("mark.elg", -1, -1), 0);
  EXPECT_EQ(layout_.pen_y(), 8 + 2 * 4);
  EXPECT_EQ(layout_.pen_x(), column_right);
  const CImage& page = layout_.text_image();
  int32_t left = page.GetWidth(), right = 0, top = page.GetHeight(), bottom = 0;
  for (int32_t y = 0; y < page.GetHeight(); ++y) {
    for (int32_t x = 0; x < page.GetWidth(); ++x) {
      if (page.GetPixel(x, y) != 0x803366CCU) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  EXPECT_EQ(right - left, 6);
  EXPECT_EQ(top, 8);
  EXPECT_EQ(bottom, 8 + 2 * 4) << "the two pictures one under the other";
  const int32_t column_middle = column_right - layout_.line_size() / 2;
  EXPECT_LE(std::abs((left + right) / 2 - column_middle), 1) << left << ".." << right << " in " << column_right;
  g_TrigTable = nullptr;
}

TEST_F(TextLayoutFileTest, LoadedPicturesSizeTheBoxAndAFailureKeepsNone) {
  WritePicture("frame.elg", 32, 30, 20, 0x445566);
  WritePicture("mask.elg", 8, 30, 20, 0);
  ASSERT_EQ(layout_.Create(&list_, 10, 200, 100, 0, 0, &font_, nullptr, 0), 0U);
  EXPECT_EQ(layout_.LoadImages(nullptr, nullptr, nullptr, true), 1);
  ASSERT_EQ(layout_.LoadImages("frame.elg", "mask.elg", nullptr, true), 0);
  EXPECT_EQ(layout_.GetWidth(), 30);
  EXPECT_EQ(layout_.GetHeight(), 20);
  EXPECT_EQ(layout_.text_image().GetPixel(15, 10) & 0xFFFFFF, 0x445566U) << "the frame over the mask";

  const struct {
    const char* frame;
    const char* mask;
    int32_t result;
  } failures[] = {{"frame.elg", "none.elg", 2}, {"none.elg", "mask.elg", 6}, {"none.elg", nullptr, 8}};
  for (const auto& f : failures) {
    EXPECT_EQ(layout_.LoadImages(f.frame, f.mask, nullptr, true), f.result) << f.frame << " " << f.mask;
    ASSERT_EQ(layout_.Create(&list_, 10, 200, 100, 0, 0, &font_, nullptr, 0), 0U);
    EXPECT_EQ(layout_.GetWidth(), 200) << "no picture left to size the box";
  }
}

}  // namespace
