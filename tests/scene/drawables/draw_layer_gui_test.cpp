// A draw layer reaches a real window (run under Xvfb): a background picture decoded from an ELG
// file and two colour boxes, one in each list, presented by the screen manager through the
// frame canvas's layer and read back through the renderer.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "elg_encoder.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/pictures/elg_decoder.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/sprites/color_box.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/png_file.h"
#include "support/layer_window_test.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// A 24-bit picture whose colour runs with the position, so that any misplaced copy shows.
std::vector<uint8_t> GradientElg() {
  kvxtools::ElgPicture picture;
  picture.bit_depth = 24;
  picture.width = kWidth;
  picture.height = kHeight;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      picture.pixels.push_back(static_cast<uint8_t>(x * 255 / kWidth));   // blue
      picture.pixels.push_back(static_cast<uint8_t>(y * 255 / kHeight));  // green
      picture.pixels.push_back(static_cast<uint8_t>((x + y) / 4));         // red
    }
  }
  return kvxtools::EncodeElg(picture);
}

class DrawLayerGuiTest : public LayerWindowTestBase {
 protected:
  DrawLayerGuiTest() : LayerWindowTestBase("draw layer test", kWidth, kHeight) {}

  // The shown pixels against the frame's composite, colour bits only; the count that differ.
  int DifferencesFromTheComposite() {
    const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    if (shown.size() != static_cast<size_t>(kWidth * kHeight)) return -1;
    int differences = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint32_t composite = frame_.GetImage()->GetPixel(x, y);
        if ((shown[static_cast<size_t>(y * kWidth + x)] ^ composite) & 0xFFFFFF) ++differences;
      }
    }
    return differences;
  }
};

TEST_F(DrawLayerGuiTest, ABackgroundPictureAndTwoBoxesReachTheWindowAndFollowAMove) {
  const std::vector<uint8_t> elg = GradientElg();
  CImage picture;
  ASSERT_EQ(picture.LoadFile32(nullptr, elg.data(), static_cast<uint32_t>(elg.size()), 0), 0u);
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  ASSERT_TRUE(layer->SetBackgroundImage(&picture, 0, 0, true));
  CColorBox filled, added;
  filled.SetBox(120, 80, 0xC0E02020, 30, 40);
  added.SetBox(100, 100, 0x800060C0, 110, 90);
  ASSERT_EQ(added.SetBlendMode(CColorBox::kAdd), 0u);
  ASSERT_EQ(layer->GetOwnList().Insert(&filled, 0, 0), 0u);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&added, 0, 0), 0u);

  ASSERT_EQ(screen_->UpdateScreen(), 0u);
  const CImage& composite = *frame_.GetImage();
  EXPECT_EQ(composite.GetPixel(5, 5) & 0xFFFFFF, picture.GetPixel(5, 5) & 0xFFFFFF);
  const uint32_t under = picture.GetPixel(35, 45);
  const uint32_t red = g_PixelTables.product[0x3F][(under >> 16) & 0xFF] + g_PixelTables.product[0xC0][0xE0];
  EXPECT_EQ((composite.GetPixel(35, 45) >> 16) & 0xFF, red & 0xFF);
  const uint32_t blue_under = picture.GetPixel(200, 180) & 0xFF;
  EXPECT_EQ(composite.GetPixel(200, 180) & 0xFF, std::min(255u, blue_under + g_PixelTables.product[0x80][0xC0]));
  EXPECT_EQ(DifferencesFromTheComposite(), 0);
  EXPECT_TRUE(WritePng("draw_layer.png", composite));

  added.SetPosition(200, 20);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);
  EXPECT_EQ(composite.GetPixel(200, 180), picture.GetPixel(200, 180)) << "the old place shows the picture";
  EXPECT_EQ(DifferencesFromTheComposite(), 0);
  EXPECT_TRUE(WritePng("draw_layer_moved.png", composite));
}

}  // namespace
