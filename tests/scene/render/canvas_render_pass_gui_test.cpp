// A surface canvas composed by its own draw layer reaches a real window (run under Xvfb)
// through the render pass: one view blits it at its size, a second stretches it twice, and the
// window shows both, read back through the renderer; then the layer's background becomes the
// canvas's key and a change in the canvas reaches the window.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/render/render_image.h"
#include "scene/sprites/color_box.h"
#include "support/png_file.h"
#include "support/render_pass_window.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr uint32_t kBackground = 0x203040;
constexpr uint32_t kBox = 0xF0C020;

class CanvasRenderPassGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    ASSERT_NO_FATAL_FAILURE(display_.Open("canvas test", kWidth, kHeight));
  }
  void TearDown() override { g_DrawLayerFactory = nullptr; }

  std::vector<uint32_t> DrawFrame() { return display_.DrawFrame(); }

  CDrawLayerFactory factory_;
  RenderPassWindow display_;
};

TEST_F(CanvasRenderPassGuiTest, TwoViewsOfAComposedCanvasShowInTheWindow) {
  CSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(100, 80, 32, CImagePart::kLayerAndDrawList), 0u);
  auto* layer = dynamic_cast<CDrawLayer*>(canvas.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(0xFF000000 | kBackground, true);
  CColorBox box;
  box.SetBox(40, 30, 0xFF000000 | kBox, 50, 40);
  ASSERT_EQ(dynamic_cast<CDrawList*>(canvas.GetList())->Insert(&box, 0, 0), 0u);

  CCanvasImage plain;
  ASSERT_EQ(plain.Create(&canvas, nullptr, 10, 20), 0u);
  CCanvasImage stretched;
  ASSERT_EQ(stretched.Create(&canvas, nullptr, 110, 20), 0u);
  stretched.SetSize(200, 160);
  ASSERT_EQ(display_.Screen().AddAfterEqual(&plain, 2, 0), 0u);
  ASSERT_EQ(display_.Screen().AddAfterEqual(&stretched, 1, 0), 0u);

  const std::vector<uint32_t> shown = DrawFrame();
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng("canvas_render_pass.png", shown, kWidth, kHeight));
  const auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  struct Point {
    const char* what;
    int32_t x, y;
    uint32_t colour;
  };
  for (const Point& p : {Point{"plain background", 12, 22, kBackground}, Point{"plain box", 10 + 60, 20 + 50, kBox},
                         Point{"plain box's corner", 10 + 89, 20 + 69, kBox}, Point{"beside the plain view", 5, 5, 0},
                         Point{"stretched background", 115, 25, kBackground}, Point{"stretched box", 110 + 100, 20 + 80, kBox},
                         Point{"stretched box's far corner", 110 + 179, 20 + 139, kBox},
                         Point{"past the stretched box", 110 + 181, 20 + 141, kBackground},
                         Point{"past the stretched view", 110 + 200, 20 + 160, 0}}) {
    EXPECT_EQ(at(p.x, p.y), p.colour) << p.what;
  }

  ASSERT_EQ(canvas.SetColorKeyRgb(kBackground >> 16, kBackground >> 8 & 0xFF, kBackground & 0xFF), 0u);
  box.SetPosition(0, 0);
  const std::vector<uint32_t> keyed = DrawFrame();
  ASSERT_EQ(keyed.size(), shown.size());
  EXPECT_TRUE(WritePng("canvas_render_pass_keyed.png", keyed, kWidth, kHeight));
  const auto keyed_at = [&](int32_t x, int32_t y) { return keyed[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  EXPECT_EQ(keyed_at(10, 20), kBox) << "the view copies the canvas's change";
  EXPECT_EQ(keyed_at(70, 70), 0u) << "the key leaves the background out";
  EXPECT_EQ(keyed_at(110 + 79, 20 + 59), kBox);
  EXPECT_EQ(keyed_at(110 + 81, 20 + 61), 0u);
}

}  // namespace
