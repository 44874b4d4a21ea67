// The picture object: textures fitted to what the drawing device takes, texture coordinates,
// and the statuses with the program's device, which takes no texture at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "elg_encoder.h"
#include "gfx/display/picture_object.h"
#include "gfx/images/image.h"
#include "random_elg_picture.h"
#include "resource/pictures/bmp_decoder.h"
#include "support/fake_drawing_device.h"
#include "support/image_host_fixture.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace {

class PictureObjectTest : public test_support::ImageHostTest {
 protected:
  std::string WriteElg(uint8_t depth, uint16_t width, uint16_t height) {
    kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(depth, width, height, width * 3u + height);
    picture.form = kvxtools::ElgHeaderForm::kOrigin;
    picture.user_value0 = 5;
    picture.user_value1 = -6;
    const std::vector<uint8_t> file = kvxtools::EncodeElg(picture);
    const std::string name = "p" + std::to_string(depth) + "_" + std::to_string(width) + "x" + std::to_string(height) + ".elg";
    game_.WriteFile(name, std::string(file.begin(), file.end()));
    return name;
  }

  static void ExpectEmpty(const CPictureObject& object) {
    EXPECT_EQ(object.GetSurface(), nullptr);
    EXPECT_EQ(object.GetImageWidth(), 0);
    EXPECT_EQ(object.GetImageHeight(), 0);
  }
};

TEST_F(PictureObjectTest, TexturesAreFittedToTheDeviceAndCoordinatesFollowThePicture) {
  struct Case {
    uint32_t caps;
    int32_t width, height;
    int32_t texture_width, texture_height;
    int32_t column;
    double u;
  };
  const Case cases[] = {
      {kTextureCapsPow2, 300, 200, 512, 256, 300, 300.5 / 512},
      {kTextureCapsPow2, 2048, 100, 1024, 128, 1000, (1024 * 1000 / 2048 + 0.5) / 1024},
      {kTextureCapsPow2 | kTextureCapsSquareOnly, 100, 40, 128, 128, 99, 99.5 / 128},
      {kTextureCapsPow2 | kTextureCapsNonPow2Conditional, 100, 40, 100, 40, 0, 0.5 / 100},
      {0, 300, 200, 300, 200, 7, 7.5 / 300},
  };
  SpriteDeviceScreen screen;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " caps " << c.caps);
    FakeDrawingDevice device(screen.Screen(), c.caps, 1024);
    const std::string name = WriteElg(24, static_cast<uint16_t>(c.width), static_cast<uint16_t>(c.height));
    CImage image;
    ASSERT_EQ(image.LoadFile32(name.c_str(), nullptr, 0, 0), 0u);
    CPictureObject object;
    ASSERT_EQ(object.Load(kPixelFormatXrgb8888, name.c_str(), nullptr, 0, false), 0u);
    EXPECT_EQ(object.GetTextureWidth(), c.texture_width);
    EXPECT_EQ(object.GetTextureHeight(), c.texture_height);
    EXPECT_EQ(object.GetImageWidth(), c.width);
    EXPECT_EQ(object.GetImageHeight(), c.height);
    EXPECT_DOUBLE_EQ(object.GetTexU(c.column), c.u);
    EXPECT_EQ(object.GetKind(), ESurfaceKind::kPictureObject);
    EXPECT_EQ(object.GetPixelFormat(), kPixelFormatXrgb8888);
    EXPECT_EQ(object.GetFileName(), name);
    EXPECT_EQ(static_cast<int32_t>(object.GetUserWord0()), 5);
    EXPECT_EQ(static_cast<int32_t>(object.GetUserWord1()), -6);
    EXPECT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), 0, 0) & 0xFFFFFF, image.GetPixel(0, 0) & 0xFFFFFF);
    if (c.width <= c.texture_width) {
      const int32_t x = c.width - 1;
      const int32_t y = c.height - 1;
      EXPECT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), x, y) & 0xFFFFFF, image.GetPixel(x, y) & 0xFFFFFF);
    }
  }
}

TEST_F(PictureObjectTest, AnEightBitPictureOnAnAlphaTextureIsOpaque) {
  SpriteDeviceScreen screen;
  for (const uint32_t caps : {0u, kTextureCapsPow2}) {
    SCOPED_TRACE(testing::Message() << "caps " << caps);
    FakeDrawingDevice device(screen.Screen(), caps, 1024);
    CPictureObject object;
    ASSERT_EQ(object.Load(kPixelFormatArgb8888, WriteElg(8, 13, 7).c_str(), nullptr, 0, false), 0u);
    EXPECT_EQ(object.GetPixelFormat(), kPixelFormatArgb8888);
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < 13; ++x) ASSERT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), x, y) >> 24, 0xFFu);
    }
  }
}

TEST_F(PictureObjectTest, FailuresLeaveTheObjectEmpty) {
  SpriteDeviceScreen screen;
  const std::string name = WriteElg(24, 8, 8);
  CPictureObject object;
  EXPECT_EQ(object.Load(kPixelFormatXrgb8888, name.c_str(), nullptr, 0, false), 2u)
      << "the program's device has no texture format";
  ExpectEmpty(object);
  {
    FakeDrawingDevice device(screen.Screen(), kTextureCapsPow2, 1024);
    EXPECT_EQ(object.Load(kPixelFormatPal8, name.c_str(), nullptr, 0, false), 2u);
    EXPECT_EQ(object.Load(kPixelFormatArgb4444, name.c_str(), nullptr, 0, false), 2u) << "a format the device lacks";
    EXPECT_EQ(object.Load(kPixelFormatXrgb8888, nullptr, nullptr, 0, false), 3u);
    EXPECT_EQ(object.Load(kPixelFormatXrgb8888, "missing.elg", nullptr, 0, false), 3u);
    const uint8_t damaged[] = {'E', 'L', 'G', 24, 4, 0, 4, 0, 0x00};
    EXPECT_EQ(object.Load(kPixelFormatXrgb8888, nullptr, damaged, sizeof damaged, false), 4u);
    ExpectEmpty(object);

    const std::string file = game_.ReadFile(name);
    ASSERT_EQ(object.Load(kPixelFormatXrgb8888, nullptr, reinterpret_cast<const uint8_t*>(file.data()),
                          static_cast<uint32_t>(file.size()), false),
              0u);
    EXPECT_FALSE(object.GetFileName().has_value());
    EXPECT_EQ(object.Restore(false), 1u) << "a picture from memory has nothing to load again from";
    ExpectEmpty(object);
  }
  CScreenManager* const saved = g_DrawObjectDevice;
  g_DrawObjectDevice = nullptr;
  EXPECT_EQ(object.Load(kPixelFormatXrgb8888, name.c_str(), nullptr, 0, false), 1u);
  g_DrawObjectDevice = saved;
}

TEST_F(PictureObjectTest, RestoreLoadsTheFileAgainWithItsKey) {
  SpriteDeviceScreen screen;
  FakeDrawingDevice device(screen.Screen(), kTextureCapsPow2, 1024);
  CPictureObject object;
  ASSERT_EQ(object.Load(kPixelFormatXrgb8888, WriteElg(24, 20, 10).c_str(), nullptr, 0, false), 0u);
  ASSERT_EQ(object.SetColorKey(1, 2, 3), 0u);
  const uint32_t key = object.GetColorKeyPixel();
  EXPECT_EQ(object.Restore(false), 0u);
  EXPECT_EQ(object.GetWidth(), 32);
  EXPECT_EQ(object.GetImageWidth(), 20);
  EXPECT_EQ(object.GetColorKeyPixel(), key);
}

}  // namespace

namespace {

// Bytes in memory that are not ELG go to the decoder that claims them: a BMP loads; bytes that
// no decoder claims still fail with 4.
TEST_F(PictureObjectTest, ABmpPictureFromMemoryLoadsThroughTheDecoderThatClaimsIt) {
  ASSERT_EQ(RegisterBmpDecoder(host_), 0u);
  kvxtools::BmpFile bmp;
  bmp.width = 3;
  bmp.height = 2;  // rows stored bottom-up
  bmp.pixels = kvxtools::PadBmpRows({0, 0, 0, 0, 0, 0, 0xC0, 0xB0, 0xA0,  //
                                     0x30, 0x20, 0x10, 0, 0, 0, 0, 0, 0},
                                    9);
  const std::vector<uint8_t> file = kvxtools::WriteBmp(bmp);
  SpriteDeviceScreen screen;
  FakeDrawingDevice device(screen.Screen(), 0, 1024);
  CPictureObject object;
  ASSERT_EQ(object.Load(kPixelFormatXrgb8888, nullptr, file.data(), static_cast<uint32_t>(file.size()), false), 0u);
  EXPECT_EQ(object.GetImageWidth(), 3);
  EXPECT_EQ(object.GetImageHeight(), 2);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), 0, 0) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*object.GetSurface(), 2, 1) & 0xFFFFFF, 0xA0B0C0u);
  const uint8_t unclaimed[] = {'N', 'O', 'T', ' ', 'A', ' ', 'P', 'I', 'C'};
  EXPECT_EQ(object.Load(kPixelFormatXrgb8888, nullptr, unclaimed, sizeof unclaimed, false), 4u);
}

}  // namespace
