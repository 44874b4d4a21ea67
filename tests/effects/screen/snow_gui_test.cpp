// "snow" made by name over the front page in a real window (run under Xvfb) on a fake clock:
// after 2 s its flakes lie all over the page, the lower half included; after a stop request and
// 10 s more every flake has left and the effect has ended by itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "elg_encoder.h"
#include "gfx/display/image_canvas.h"
#include "scene/drawables/draw_layer.h"
#include "support/effect_window_test.h"

namespace {

constexpr std::int32_t kWidth = 240;
constexpr std::int32_t kHeight = 160;
constexpr std::uint32_t kBackground = 0xFF203050;
constexpr std::uint32_t kFlake = 0xFFF8FCFF;
constexpr std::int32_t kFlakeSize = 6;

class SnowGuiTest : public EffectWindowTest<LayerWindowFilesTestBase> {
 protected:
  SnowGuiTest() : EffectWindowTest("snow test", kWidth, kHeight) {}

  void SetUp() override {
    EffectWindowTest::SetUp();
    ASSERT_EQ(back_.Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
    ASSERT_EQ(frame_.SetPartner(&back_), 0u);
    SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, 2026);
    game_.MakeFolder("SYS");
    kvxtools::ElgPicture flake;
    flake.width = kFlakeSize;
    flake.height = kFlakeSize;
    for (std::int32_t i = 0; i < kFlakeSize * kFlakeSize; ++i) {
      for (int shift : {0, 8, 16, 24}) flake.pixels.push_back(static_cast<std::uint8_t>(kFlake >> shift));
    }
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(flake);
    for (int k = 0; k < 5; ++k) {
      game_.WriteFile("SYS/SNOW_" + std::to_string(k) + ".ELG", std::string(file.begin(), file.end()));
    }
  }
  void TearDown() override {
    timers_.RemoveAll();
    frame_.SetPartner(nullptr);
    back_.Release();
    EffectWindowTest::TearDown();
  }

  // The flake pixels of the frame in the rows from `top` to `bottom`.
  static int FlakePixels(const std::vector<std::uint32_t>& shown, std::int32_t top, std::int32_t bottom) {
    int count = 0;
    for (std::int32_t y = top; y < bottom; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        count += (shown[static_cast<std::size_t>(y * kWidth + x)] & 0xFFFFFF) == (kFlake & 0xFFFFFF) ? 1 : 0;
      }
    }
    return count;
  }

  CImageCanvasEx back_;
};

TEST_F(SnowGuiTest, FiftyScatteredFlakesFallOverThePageAndLeaveItAfterAStopRequest) {
  auto* layer = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetBackgroundColor(kBackground, true);
  clock_.SetMilliseconds(kStart);
  CEffect* snow = nullptr;
  ASSERT_EQ(CreateEffectByName(&snow, "snow", static_cast<CImagePart*>(&frame_),
                               PluginArgList{50, 0, 0, 1, 0, 1, 0}.View()),
            kEffectCreated);
  ASSERT_NE(snow, nullptr);

  const std::vector<std::uint32_t> falling = FrameAt(2000, "snow_2000ms.png");
  EXPECT_GT(FlakePixels(falling, kHeight / 2, kHeight), kFlakeSize * kFlakeSize) << "flakes in the lower half";
  EXPECT_GT(FlakePixels(falling, 0, kHeight / 2), 0);
  EXPECT_EQ(falling[5 * kWidth + 5] & 0xFFFFFF, kBackground & 0xFFFFFF);

  ASSERT_EQ(snow->SetParam(PluginArgList{0}.View()), 0);
  const std::vector<std::uint32_t> after = FrameAt(12000, "snow_after_stop.png");
  EXPECT_EQ(FlakePixels(after, 0, kHeight), 0);
  EXPECT_EQ(snow, nullptr) << "the effect ended by itself";
}

}  // namespace
