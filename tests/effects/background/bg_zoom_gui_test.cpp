// "bg_zoom" made by name zooms the frame's background into a real window (run under Xvfb) on a
// fake clock: a 1600 x 1200 picture of 50-pixel cells, each of its own colour, read back at the
// start, half way and at the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "effects/table/builtin_effect_table.h"
#include "scene/drawables/draw_layer.h"
#include "support/effect_window_test.h"
#include "support/fake_clock.h"
#include "support/log_capture.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr int32_t kCell = 50;

// The colour of the cell that holds (x, y) of the picture.
uint32_t CellColour(int32_t x, int32_t y) {
  const auto column = static_cast<uint32_t>(x / kCell);
  const auto row = static_cast<uint32_t>(y / kCell);
  return 0xFF000000u | (column * 8) << 16 | (row * 10) << 8 | ((column + row) * 4 & 0xFF);
}

class BgZoomGuiTest : public EffectWindowTest<LayerWindowTestBase> {
 protected:
  BgZoomGuiTest() : EffectWindowTest("background zoom test", kWidth, kHeight) {}
  void SetUp() override {
    EffectWindowTest::SetUp();
    ASSERT_EQ(picture_.Create(1600, 1200, 32, 0), 0u);
    for (int32_t y = 0; y < picture_.GetHeight(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(picture_.GetRowPointer(y));
      for (int32_t x = 0; x < picture_.GetWidth(); ++x) row[x] = CellColour(x, y);
    }
    layer_ = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
    ASSERT_NE(layer_, nullptr);
    // Plain stretching, so that each shown pixel has the colour of one cell.
    layer_->SetStretchMode(0);
    ASSERT_TRUE(layer_->SetBackgroundImage(&picture_, 0, 0, true));
  }

  // The window's corners show the cells at the corners of the area.
  static void ExpectArea(const std::vector<uint32_t>& shown, int32_t x, int32_t y, int32_t width, int32_t height) {
    EXPECT_EQ(shown.front() & 0xFFFFFF, CellColour(x, y) & 0xFFFFFF) << "top-left";
    EXPECT_EQ(shown.back() & 0xFFFFFF, CellColour(x + width - 1, y + height - 1) & 0xFFFFFF) << "bottom-right";
  }

  CImage picture_;
  CDrawLayer* layer_ = nullptr;
};

TEST_F(BgZoomGuiTest, TheZoomGlidesFromTheWholeWindowToTheZoomedArea) {
  ZoomRect end;
  ASSERT_EQ(ComputeZoomSource(layer_, 800, 600, 2.0, end), kZoomSourceOk);
  EXPECT_EQ(end.x, 600);
  EXPECT_EQ(end.y, 450);
  EXPECT_EQ(end.width, 400);
  EXPECT_EQ(end.height, 300);

  clock_.SetMilliseconds(kStart);
  CEffect* zoom = nullptr;
  ASSERT_EQ(CreateEffectByName(&zoom, "bg_zoom", static_cast<CImagePart*>(&frame_),
                               PluginArgList{800, 600, reinterpret_cast<uintptr_t>("2"), 0, 1000}.View()),
            kEffectCreated);
  ASSERT_NE(zoom, nullptr);

  ExpectArea(FrameAt(0, "bg_zoom_0ms.png"), 0, 0, 800, 600);
  ExpectArea(FrameAt(500, "bg_zoom_500ms.png"), 300, 225, 600, 450);
  ExpectArea(FrameAt(1000, "bg_zoom_1000ms.png"), 600, 450, 400, 300);
  EXPECT_EQ(zoom, nullptr) << "the effect has ended and cleared its slot";
}

}  // namespace
