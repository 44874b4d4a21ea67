// The sprite fade made by name fades a sprite on the frame's layer into a real window (run under
// Xvfb) on a fake clock: read back through the renderer at 0, 100 and 200 ms.
#include <gtest/gtest.h>

#include <cstdlib>
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

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 160;
constexpr uint32_t kBackground = 0xFF203050;
constexpr uint32_t kFigure = 0xFFF0C040;
constexpr int32_t kCentreX = 120;
constexpr int32_t kCentreY = 80;

class SpFadeGuiTest : public EffectWindowTest<LayerWindowTestBase> {
 protected:
  SpFadeGuiTest() : EffectWindowTest("sprite fade test", kWidth, kHeight) {}

  // The pixel at the centre of the frame at `now` ms.
  uint32_t ShowAt(uint32_t now, const char* picture) {
    return FrameAt(now, picture)[static_cast<size_t>(kCentreY * kWidth + kCentreX)];
  }
};

// Each colour channel of `shown` within `tolerance` of `expected`.
void ExpectColour(uint32_t shown, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int s = static_cast<int>((shown >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    EXPECT_LE(std::abs(s - e), tolerance) << std::hex << "shown " << shown << " expected " << expected;
  }
}

uint32_t Halfway(uint32_t from, uint32_t to) {
  uint32_t colour = 0;
  for (int shift : {0, 8, 16}) {
    const uint32_t a = (from >> shift) & 0xFF;
    const uint32_t b = (to >> shift) & 0xFF;
    colour |= ((a + b) / 2) << shift;
  }
  return colour;
}

TEST_F(SpFadeGuiTest, ASpriteFadesInOverTheBackgroundInTheWindow) {
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(kBackground, true);
  CImage figure;
  ASSERT_EQ(figure.Create(80, 60, 32, 0), 0u);
  ASSERT_TRUE(figure.FillRectArgb(kFigure, nullptr));
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&figure, nullptr, kCentreX - 40, kCentreY - 30), 0u);
  sprite.SetEnabled(false);
  ASSERT_EQ(dynamic_cast<CDrawList*>(frame_.GetList())->Insert(&sprite, 0, 0), 0u);

  CEffect* fade = nullptr;
  ASSERT_EQ(CreateEffectByName(&fade, "sp_fade", nullptr, PluginArgList{1, 0, 0}.View()), kEffectCreated);
  ASSERT_NE(fade, nullptr);
  ASSERT_EQ(fade->SetParam(PluginArgList{1, 0, reinterpret_cast<std::uintptr_t>(&sprite), 200, 0, 0, 0, 0, 0}.View()),
            0);

  ExpectColour(ShowAt(0, "sp_fade_0ms.png"), kBackground, 0);
  ExpectColour(ShowAt(100, "sp_fade_100ms.png"), Halfway(kBackground, kFigure), 2);
  ExpectColour(ShowAt(200, "sp_fade_200ms.png"), kFigure, 0);
  EXPECT_TRUE(sprite.IsEnabled());
  EXPECT_EQ(sprite.GetOpacity(), 255);
  // A point outside the sprite keeps the background throughout.
  const std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  ASSERT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  ExpectColour(shown[5 * kWidth + 5], kBackground, 0);
}

}  // namespace
