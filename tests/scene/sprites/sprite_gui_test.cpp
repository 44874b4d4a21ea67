// A sprite with alpha over a background picture reaches a real window (run under Xvfb): both
// decoded from ELG files, composed by the frame's draw layer, presented by the screen manager
// and read back through the renderer at an opaque, a half-transparent and a transparent point.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "elg_encoder.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/images/pixel_library.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/sprites/sprite.h"
#include "support/png_file.h"
#include "support/layer_window_test.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr int32_t kSpriteWidth = 120;
constexpr int32_t kSpriteHeight = 160;
constexpr int32_t kSpriteX = 100;
constexpr int32_t kSpriteY = 40;

// A background whose colour runs with the position.
std::vector<uint8_t> BackgroundElg() {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 24;
  picture.width = kWidth;
  picture.height = kHeight;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      picture.pixels.push_back(static_cast<uint8_t>(x * 255 / kWidth));
      picture.pixels.push_back(static_cast<uint8_t>(y * 255 / kHeight));
      picture.pixels.push_back(static_cast<uint8_t>(40 + (x + y) / 8));
    }
  }
  return kvxtools::EncodeElg(picture);
}

// A figure: an opaque ellipse in a half-transparent ring, nothing around it.
std::vector<uint8_t> FigureElg() {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 32;
  picture.width = kSpriteWidth;
  picture.height = kSpriteHeight;
  for (int32_t y = 0; y < kSpriteHeight; ++y) {
    for (int32_t x = 0; x < kSpriteWidth; ++x) {
      const double dx = (x - kSpriteWidth / 2.0) / (kSpriteWidth / 2.0);
      const double dy = (y - kSpriteHeight / 2.0) / (kSpriteHeight / 2.0);
      const double distance = dx * dx + dy * dy;
      const uint8_t alpha = distance < 0.5 ? 255 : distance < 0.95 ? 128 : 0;
      picture.pixels.push_back(static_cast<uint8_t>(60 + y / 2));
      picture.pixels.push_back(static_cast<uint8_t>(200 - x));
      picture.pixels.push_back(240);
      picture.pixels.push_back(alpha);
    }
  }
  return kvxtools::EncodeElg(picture);
}

class SpriteGuiTest : public LayerWindowTestBase {
 protected:
  SpriteGuiTest() : LayerWindowTestBase("sprite test", kWidth, kHeight) {}
  void SetUp() override {
    SetPixelLib(&library_);
    LayerWindowTestBase::SetUp();
  }
  void TearDown() override {
    LayerWindowTestBase::TearDown();
    SetPixelLib(nullptr);
  }

  CPixelLibrary library_;
};

// Each channel of the source over the background by the source alpha, within one step.
void ExpectBlended(uint32_t shown, uint32_t source, uint32_t background) {
  const uint32_t alpha = source >> 24;
  for (int shift : {0, 8, 16}) {
    const int s = static_cast<int>((source >> shift) & 0xFF);
    const int b = static_cast<int>((background >> shift) & 0xFF);
    const int expected = b + (s - b) * static_cast<int>(alpha) / 255;
    EXPECT_LE(std::abs(static_cast<int>((shown >> shift) & 0xFF) - expected), 1)
        << std::hex << "shown " << shown << " source " << source << " background " << background;
  }
}

TEST_F(SpriteGuiTest, AFigureWithAlphaIsBlendedOverTheBackgroundInTheWindow) {
  const std::vector<uint8_t> background_elg = BackgroundElg();
  const std::vector<uint8_t> figure_elg = FigureElg();
  CImage background, figure;
  ASSERT_EQ(background.LoadFile32(nullptr, background_elg.data(), static_cast<uint32_t>(background_elg.size()), 0), 0u);
  ASSERT_EQ(figure.LoadFile32(nullptr, figure_elg.data(), static_cast<uint32_t>(figure_elg.size()), 0), 0u);
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  ASSERT_TRUE(layer->SetBackgroundImage(&background, 0, 0, true));
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&figure, nullptr, kSpriteX, kSpriteY), 0u);
  EXPECT_EQ(sprite.GetBlendMode(), 2) << "a picture with alpha is blended by it";
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&sprite, 0, 0), 0u);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);

  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  struct Point {
    const char* name;
    int32_t x;
    int32_t y;
    uint32_t alpha;
  };
  // The centre, a point of the ring and a corner of the picture.
  for (const Point& p : {Point{"opaque", 60, 80, 255}, Point{"half", 60, 8, 128}, Point{"transparent", 2, 2, 0}}) {
    SCOPED_TRACE(p.name);
    const uint32_t source = figure.GetPixel(p.x, p.y);
    ASSERT_EQ(source >> 24, p.alpha);
    const int32_t x = kSpriteX + p.x;
    const int32_t y = kSpriteY + p.y;
    ExpectBlended(shown[static_cast<size_t>(y * kWidth + x)], source, background.GetPixel(x, y));
  }
  EXPECT_EQ(shown[5 * kWidth + 5] & 0xFFFFFF, background.GetPixel(5, 5) & 0xFFFFFF);
  EXPECT_TRUE(WritePng("sprite.png", *frame_.GetImage()));
}

// A picture whose rows each have a colour of their own, opaque.
void FillStripes(CImage& picture, int32_t width, int32_t height) {
  ASSERT_EQ(picture.Create(width, height, 32, 0), 0u);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const auto row = static_cast<uint32_t>(y * 8);
      reinterpret_cast<uint32_t*>(picture.GetRowPointer(y))[x] =
          0xFF000000u | row << 16 | (255u - row) << 8 | static_cast<uint32_t>(x * 6);
    }
  }
}

TEST_F(SpriteGuiTest, AZoomedSpriteShowsEachSourceRowOnTwoRowsFromItsTopInTheWindow) {
  CImage background, stripes;
  ASSERT_EQ(background.Create(kWidth, kHeight, 32, 0), 0u);
  background.FillRectArgb(0xFF202020u, nullptr, nullptr);
  FillStripes(stripes, 40, 30);
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  ASSERT_TRUE(layer->SetBackgroundImage(&background, 0, 0, true));
  CTrigTables trig;
  g_TrigTable = &trig;
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&stripes, nullptr, 100, 80), 0u);
  const bool zoomed = sprite.RenderTransformed(0, 2.0);
  g_TrigTable = nullptr;
  ASSERT_TRUE(zoomed);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&sprite, 0, 0), 0u);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);

  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("sprite_zoomed.png", *frame_.GetImage()));
  plat::Rect bounds;
  sprite.GetBounds(&bounds);
  // Zoomed about its centre (20, 15): the 80 x 60 picture from (80, 65).
  ASSERT_EQ(bounds.left, 80);
  ASSERT_EQ(bounds.top, 65);
  ASSERT_EQ(bounds.right - bounds.left, 80);
  for (int32_t row = 0; row < 6; ++row) {
    for (const int32_t column : {0, 1, 37, 79}) {
      SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
      const uint32_t pixel = shown[static_cast<size_t>((bounds.top + row) * kWidth + bounds.left + column)];
      EXPECT_EQ(pixel & 0xFFFFFF, stripes.GetPixel(column / 2, row / 2) & 0xFFFFFF);
    }
  }
  EXPECT_EQ(shown[static_cast<size_t>((bounds.top - 1) * kWidth + bounds.left)] & 0xFFFFFF, 0x202020u);
}

}  // namespace
