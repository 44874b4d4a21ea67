// "sp_panime" made by name moves a sprite across the frame's layer in a real window (run under
// Xvfb) on a fake clock: read back through the renderer at 0, 500 and 1000 ms.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "effects/table/builtin_effect_table.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/sprite.h"
#include "support/effect_window_test.h"
#include "support/fake_clock.h"
#include "support/log_capture.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kBackground = 0xFF203050;
constexpr uint32_t kFigure = 0xFFF0C040;
constexpr int32_t kRow = 300;

class SpPanimeGuiTest : public EffectWindowTest<LayerWindowTestBase> {
 protected:
  SpPanimeGuiTest() : EffectWindowTest("sprite path test", kWidth, kHeight) {}

  // The row the sprite moves on, at `now` ms.
  std::vector<uint32_t> RowAt(uint32_t now, const char* picture) {
    const std::vector<uint32_t> shown = FrameAt(now, picture);
    return {shown.begin() + kRow * kWidth, shown.begin() + (kRow + 1) * kWidth};
  }
};

// The colour's three channels, the alpha byte aside.
uint32_t Rgb(uint32_t colour) { return colour & 0xFFFFFF; }

TEST_F(SpPanimeGuiTest, ASpriteFromOffThePageGlidesToTheCentreAndTheEffectEnds) {
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(kBackground, true);
  CImage figure;
  ASSERT_EQ(figure.Create(100, 60, 32, 0), 0u);
  ASSERT_TRUE(figure.FillRectArgb(kFigure, nullptr));
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&figure, nullptr, -100, kRow - 30), 0u);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&sprite, 0, 0), 0u);

  clock_.SetMilliseconds(kStart);
  CEffect* effect = nullptr;
  ASSERT_EQ(CreateEffectByName(&effect, "sp_panime", nullptr,
                               PluginArgList{reinterpret_cast<std::uintptr_t>(&sprite),
                                             reinterpret_cast<std::uintptr_t>("1000 c"), 3000, 0, 0}
                                   .View()),
            kEffectCreated);
  ASSERT_NE(effect, nullptr);

  const std::vector<uint32_t> start = RowAt(0, "sp_panime_0ms.png");
  EXPECT_EQ(Rgb(start[0]), Rgb(kBackground)) << "the sprite stands left of the page";
  const std::vector<uint32_t> half = RowAt(500, "sp_panime_500ms.png");
  EXPECT_EQ(Rgb(half[124]), Rgb(kBackground));
  EXPECT_EQ(Rgb(half[125]), Rgb(kFigure)) << "half way from -100 to 350";
  EXPECT_EQ(Rgb(half[224]), Rgb(kFigure));
  EXPECT_EQ(Rgb(half[225]), Rgb(kBackground));
  EXPECT_NE(effect, nullptr);
  const std::vector<uint32_t> end = RowAt(1000, "sp_panime_1000ms.png");
  EXPECT_EQ(Rgb(end[349]), Rgb(kBackground));
  EXPECT_EQ(Rgb(end[350]), Rgb(kFigure)) << "centred across the page";
  EXPECT_EQ(Rgb(end[449]), Rgb(kFigure));
  EXPECT_EQ(Rgb(end[450]), Rgb(kBackground));
  EXPECT_EQ(Rgb(end[125]), Rgb(kBackground)) << "nothing left behind";
  EXPECT_EQ(effect, nullptr) << "the effect ends at its last key frame";
}

}  // namespace
