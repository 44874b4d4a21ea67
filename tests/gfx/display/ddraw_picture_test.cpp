// The DirectDraw picture and the movie surface over software display surfaces: making, loading
// (straight from ELG data or through a decoded picture), filling, keys, pixel reads and the
// rebuilding of their surfaces after a loss.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "elg_encoder.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/movie_surface.h"
#include "gfx/images/image.h"
#include "random_elg_picture.h"
#include "support/image_host_fixture.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t To565(uint32_t c) { return ((c >> 8) & 0xF800) | ((c >> 5) & 0x7E0) | ((c >> 3) & 0x1F); }

// The raw pixel of a surface, all its bits.
uint32_t RawPixel(const CSurfaceBackedImage& object, int32_t x, int32_t y) {
  return SoftwareSurfaces::Pixel(*object.GetSurface(), x, y);
}

class DDrawPictureTest : public test_support::ImageHostTest {
 protected:
  // An ELG file of the form and depth whose display offsets are (5, -6) where the form has them.
  std::string WriteElg(kvxtools::ElgHeaderForm form, uint8_t depth, uint16_t width, uint16_t height) {
    kvxtools::ElgPicture picture = kvxtools::RandomElgPicture(depth, width, height, depth * 7u + width);
    picture.form = form;
    picture.user_value0 = 5;
    picture.user_value1 = -6;
    if (form == kvxtools::ElgHeaderForm::kRecords) picture.records = {{3, {1, 2, 3}}};
    const Bytes file = kvxtools::EncodeElg(picture);
    const std::string name = "pic" + std::to_string(static_cast<int>(form)) + "_" + std::to_string(depth) + ".elg";
    game_.WriteFile(name, std::string(file.begin(), file.end()));
    return name;
  }

};

TEST_F(DDrawPictureTest, CreateRefusesWhatCannotBeMadeAndStaysReleased) {
  SpriteDeviceScreen screen;
  const plat::PixelFormat argb = plat::MakePixelFormat(plat::SurfaceFormat::kArgb8888);
  struct Case {
    int32_t width;
    int32_t height;
    bool texture;
    const plat::PixelFormat* format;
    uint32_t status;
  };
  for (const Case& c : {Case{0, 10, false, nullptr, 1}, Case{10, 0, false, nullptr, 1}, Case{10, 10, true, nullptr, 1},
                        Case{10, 10, false, nullptr, 0}, Case{9, 4, true, &argb, 0}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " texture " << c.texture);
    CDDrawPicture picture;
    EXPECT_EQ(picture.Create(c.width, c.height, false, c.texture, c.format), c.status);
    EXPECT_EQ(picture.GetSurface() != nullptr, c.status == 0);
  }
  CDDrawPicture texture;
  ASSERT_EQ(texture.Create(9, 4, false, true, &argb), 0u);
  EXPECT_EQ(texture.GetPixelFormatCode(), kPixelFormatArgb8888) << "a texture keeps its alpha format";

  CScreenManager* const device = g_SpriteDevice;
  g_SpriteDevice = nullptr;
  CDDrawPicture without_device;
  EXPECT_EQ(without_device.Create(4, 4, false, false, nullptr), 1u);
  g_SpriteDevice = device;
}

TEST_F(DDrawPictureTest, LoadFileRefusals) {
  SpriteDeviceScreen screen;
  CDDrawPicture picture;
  EXPECT_EQ(picture.LoadFile(nullptr, nullptr, 0, false), 1u) << "neither a name nor data";
  EXPECT_EQ(picture.LoadFile("missing.elg", nullptr, 0, false), 1u);
  const uint8_t unknown[] = {'X', 'Y', 'Z', 0, 1, 2, 3, 4};
  EXPECT_EQ(picture.LoadFile(nullptr, unknown, sizeof unknown, false), 2u) << "no decoder for nameless data";
  const uint8_t damaged[] = {'E', 'L', 'G', 24, 4, 0, 4, 0, 0x00};
  EXPECT_EQ(picture.LoadFile(nullptr, damaged, sizeof damaged, false), 2u) << "a stream without its end";
  EXPECT_EQ(picture.GetSurface(), nullptr);
  g_GllHost = nullptr;
  EXPECT_EQ(picture.LoadFile("missing.elg", nullptr, 0, false), 2u) << "no image-loader host";
}

// Every header form and depth loads to the colours a 32-bit image load gives, on a 32-bit
// display straight from the ELG data (no alpha written), on a 16-bit one through the decoder.
TEST_F(DDrawPictureTest, EveryElgFormLoadsToTheColoursOfAnImageLoad) {
  for (const int32_t display_depth : {32, 16}) {
    SpriteDeviceScreen screen(display_depth);
    for (const auto form : {kvxtools::ElgHeaderForm::kPlain, kvxtools::ElgHeaderForm::kOrigin,
                            kvxtools::ElgHeaderForm::kRecords}) {
      for (const uint8_t depth : {uint8_t{8}, uint8_t{24}, uint8_t{32}}) {
        SCOPED_TRACE(testing::Message() << "display " << display_depth << " form " << static_cast<int>(form)
                                        << " depth " << static_cast<int>(depth));
        const std::string name = WriteElg(form, depth, 13, 7);
        CImage image;
        ASSERT_EQ(image.LoadFile32(name.c_str(), nullptr, 0, 0), 0u);
        CDDrawPicture picture;
        ASSERT_EQ(picture.LoadFile(name.c_str(), nullptr, 0, true), 0u);
        EXPECT_EQ(picture.GetWidth(), 13);
        EXPECT_EQ(picture.GetHeight(), 7);
        EXPECT_EQ(picture.GetFileName(), name);
        EXPECT_TRUE(picture.IsInSystemMemory());
        const bool has_offsets = form != kvxtools::ElgHeaderForm::kPlain;
        EXPECT_EQ(static_cast<int32_t>(picture.GetUserWord0()), has_offsets ? 5 : 0);
        EXPECT_EQ(static_cast<int32_t>(picture.GetUserWord1()), has_offsets ? -6 : 0);
        for (int32_t y = 0; y < 7; ++y) {
          for (int32_t x = 0; x < 13; ++x) {
            const uint32_t colour = image.GetPixel(x, y) & 0xFFFFFF;
            const uint32_t expected = display_depth == 32 ? colour : To565(colour);
            ASSERT_EQ(picture.GetPixel(x, y), expected) << x << ", " << y;
            ASSERT_EQ(RawPixel(picture, x, y), expected) << "nothing beyond the colour bits";
          }
        }
      }
    }
  }
}

TEST_F(DDrawPictureTest, TheCachedPictureGivesTheSameColours) {
  SpriteDeviceScreen screen;
  host_.SetCacheLimit(8);
  const std::string name = WriteElg(kvxtools::ElgHeaderForm::kOrigin, 32, 9, 5);
  CDDrawPicture first;
  ASSERT_EQ(first.LoadFile(name.c_str(), nullptr, 0, false), 0u);
  EXPECT_EQ(host_.GetCache().GetCount(), 0u) << "straight from the data, nothing decoded";
  ASSERT_EQ(host_.PreloadCachedImage(name.c_str()), 0);
  CDDrawPicture cached;
  ASSERT_EQ(cached.LoadFile(name.c_str(), nullptr, 0, false), 0u);
  EXPECT_EQ(static_cast<int32_t>(cached.GetUserWord1()), -6);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 9; ++x) ASSERT_EQ(RawPixel(cached, x, y), RawPixel(first, x, y)) << x << ", " << y;
  }
  EXPECT_EQ(cached.LoadFile("missing.elg", nullptr, 0, false), 1u) << "a name the cache key cannot be made of";
}

TEST_F(DDrawPictureTest, PixelReadsOutsideThePictureGiveMinusOne) {
  SpriteDeviceScreen screen;
  CDDrawPicture picture;
  EXPECT_EQ(picture.GetPixel(0, 0), CDDrawPicture::kNoPixel) << "without a surface";
  ASSERT_EQ(picture.Create(6, 3, false, false, nullptr), 0u);
  ASSERT_EQ(picture.FillColor(1, 2, 3), 0u);
  for (const plat::Point point : {plat::Point{6, 0}, plat::Point{0, -1}, plat::Point{-1, 0}, plat::Point{0, 3}}) {
    EXPECT_EQ(picture.GetPixel(point.x, point.y), CDDrawPicture::kNoPixel) << point.x << ", " << point.y;
  }
  EXPECT_EQ(picture.GetPixel(5, 2), 0x010203u);
  EXPECT_EQ(picture.SetColorKeyFromPixel(6, 0), 1u);
  EXPECT_EQ(picture.GetColorKey(), kNoColorKey);
}

// On a 24-bit display an odd width is made one wider for the surface, and the last pixel of
// the last row is read as its three bytes.
TEST_F(DDrawPictureTest, TwentyFourBitDisplayWidensOddSurfacesAndReadsWholePixels) {
  SpriteDeviceScreen screen(24);
  CDDrawPicture picture;
  ASSERT_EQ(picture.Create(5, 3, false, false, nullptr), 0u);
  EXPECT_EQ(picture.GetWidth(), 5);
  EXPECT_EQ(picture.GetSurface()->Width(), 6);
  ASSERT_EQ(picture.FillColor(0x12, 0x34, 0x56), 0u);
  EXPECT_EQ(picture.GetPixel(4, 2), 0x123456u);
  EXPECT_EQ(picture.GetPixel(3, 2), 0x123456u);
  ASSERT_EQ(picture.SetColorKeyRgb(0x12, 0x34, 0x56), 0u);
  EXPECT_EQ(picture.GetColorKey(), 0x123456u);

  CMovieSurface movie;
  ASSERT_EQ(movie.Create(319, 10), 0u);
  EXPECT_EQ(movie.GetWidth(), 319);
  EXPECT_EQ(movie.GetSurface()->Width(), 320);
  EXPECT_EQ(movie.GetPixelFormatCode(), kPixelFormatRgb888);
}

TEST_F(DDrawPictureTest, RestoreRefillsReloadsAndKeepsTheKeys) {
  SpriteDeviceScreen screen(16);
  CDDrawPicture filled;
  ASSERT_EQ(filled.Create(8, 4, false, false, nullptr), 0u);
  ASSERT_EQ(filled.FillColor(255, 128, 0), 0u);
  ASSERT_EQ(filled.SetColorKeyRgb(255, 128, 0), 0u);
  EXPECT_EQ(filled.GetColorKey(), 0xFC00u) << "the colour cut to the surface's 5-6-5 fields";
  plat::Surface* before = filled.GetSurface();
  EXPECT_EQ(filled.Restore(true), 0u);
  EXPECT_EQ(filled.GetSurface(), before) << "a surface that was not lost stays";
  filled.GetSurface()->SimulateLoss();
  EXPECT_EQ(filled.Restore(false), 0u);
  EXPECT_EQ(filled.GetPixel(7, 3), 0xFC00u) << "filled again";
  EXPECT_EQ(filled.GetColorKeyRgb(), 0xFF8000u);
  plat::ColorKey key;
  ASSERT_EQ(filled.GetSurface()->GetColorKey(plat::DDCKEY_SRCBLT, key), plat::DD_OK);
  EXPECT_EQ(key.low, 0xFC00u);

  const std::string name = WriteElg(kvxtools::ElgHeaderForm::kPlain, 24, 10, 6);
  CDDrawPicture loaded;
  ASSERT_EQ(loaded.LoadFile(name.c_str(), nullptr, 0, false), 0u);
  const uint32_t corner = loaded.GetPixel(3, 2);
  ASSERT_EQ(loaded.SetColorKeyFromPixel(3, 2), 0u);
  loaded.GetSurface()->SimulateLoss();
  EXPECT_EQ(loaded.GetPixel(3, 2), CDDrawPicture::kNoPixel) << "a lost surface cannot be read";
  EXPECT_EQ(loaded.Restore(true), 0u);
  EXPECT_EQ(loaded.GetPixel(3, 2), corner) << "loaded again from its file";
  EXPECT_EQ(loaded.GetKeyPixel().x, 3);
  EXPECT_EQ(loaded.GetKeyPixel().y, 2);
  EXPECT_EQ(loaded.GetColorKey(), corner);

  ASSERT_EQ(loaded.FillColor(0, 0, 255), 0u);
  EXPECT_FALSE(loaded.GetFileName().has_value()) << "a filled picture is a plain colour";
  loaded.GetSurface()->SimulateLoss();
  EXPECT_EQ(loaded.Restore(true), 0u);
  EXPECT_EQ(loaded.GetPixel(0, 0), 0x1Fu) << "filled again, not reloaded";

  EXPECT_EQ(filled.ClearColorKey(), 0u);
  EXPECT_NE(filled.GetSurface()->GetColorKey(plat::DDCKEY_SRCBLT, key), plat::DD_OK);
}

TEST_F(DDrawPictureTest, TheMovieSurfaceIgnoresKeysAndIsMadeAnewAfterALoss) {
  SpriteDeviceScreen screen;
  CMovieSurface movie;
  EXPECT_EQ(movie.Restore(false), 0u) << "nothing to restore";
  EXPECT_EQ(movie.GetDevice(), &screen.Screen());
  EXPECT_EQ(movie.Create(0, 5), 1u);
  ASSERT_EQ(movie.Create(16, 9), 0u);
  EXPECT_EQ(movie.GetPixelFormatCode(), kPixelFormatXrgb8888);
  ASSERT_NE(movie.GetPixelMemory(), nullptr);
  EXPECT_NE(movie.GetSurface()->Caps() & plat::DDSCAPS_SYSTEMMEMORY, 0u);
  EXPECT_EQ(movie.SetColorKeyRgb(1, 2, 3), 0u);
  EXPECT_EQ(movie.SetColorKeyFromPixel(0, 0), 0u);
  EXPECT_EQ(movie.GetColorKey(), kNoColorKey);
  plat::ColorKey key;
  EXPECT_NE(movie.GetSurface()->GetColorKey(plat::DDCKEY_SRCBLT, key), plat::DD_OK);

  movie.GetPixelMemory()[0] = 0x7F;
  EXPECT_EQ(movie.Restore(true), 0u);
  EXPECT_EQ(movie.GetPixelMemory()[0], 0x7F) << "not lost: left as it is";
  movie.GetSurface()->SimulateLoss();
  EXPECT_EQ(movie.Restore(true), 0u);
  EXPECT_EQ(movie.GetSurface()->IsLost(), plat::DD_OK);
  EXPECT_EQ(movie.GetWidth(), 16);
  EXPECT_EQ(movie.GetPixelMemory()[0], 0) << "a new black surface";
}

}  // namespace
