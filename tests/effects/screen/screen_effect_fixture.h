// Two pages for the screen effects: image parts of the same size with a draw layer each, the
// first with the second as its partner, each showing a background picture that encodes each
// pixel's place. Beside them a game folder whose pictures the loader host decodes, the
// trigonometric tables, a pixel-routine library, a fake clock, a timer manager and a seeded
// script random generator.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "effects/background/background_effect_fixture.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/framework/effect.h"
#include "elg_encoder.h"
#include "gfx/display/image_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_clock.h"
#include "support/image_host_fixture.h"
#include "support/scoped_pixel_library.h"

namespace screen_test {

using bg_test::PixelAt;
using bg_test::Placed;
using bg_test::Text;

class ScreenEffectTest : public test_support::ImageHostTest {
 protected:
  static constexpr std::int32_t kWidth = 80;
  static constexpr std::int32_t kHeight = 60;
  static constexpr std::uint32_t kStart = 5000;
  static constexpr std::uint32_t kColour = 0xFF102030;

  void SetUp() override {
    ImageHostTest::SetUp();
    BuildPixelTables();
    g_TrigTable = &trig_;
    g_DrawLayerFactory = &factory_;
    SeedSubtractive(random_index_, random_state_, 4321);
    g_BuiltinEffectServices.random_index = &random_index_;
    g_BuiltinEffectServices.random_state = &random_state_;
    for (CImageCanvasEx* page : {&front_, &back_}) {
      ASSERT_EQ(page->Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
      Layer(*page).SetBackgroundColor(kColour, false);
    }
    ASSERT_EQ(front_.SetPartner(&back_), 0u);
    UseBackground(kWidth, kHeight);
    game_.MakeFolder("SYS");
    clock_.SetMilliseconds(kStart);
  }
  void TearDown() override {
    timers_.RemoveAll();
    front_.Release();
    back_.Release();
    g_BuiltinEffectServices.random_index = nullptr;
    g_BuiltinEffectServices.random_state = nullptr;
    g_DrawLayerFactory = nullptr;
    g_TrigTable = nullptr;
    ImageHostTest::TearDown();
  }

  static CDrawLayer& Layer(CImagePart& page) { return *dynamic_cast<CDrawLayer*>(page.GetLayer()); }
  CDrawLayer& First() { return Layer(front_); }
  CDrawLayer& Second() { return Layer(back_); }

  // A new background of the size on both pages, shown from (0, 0).
  void UseBackground(std::int32_t width, std::int32_t height) {
    background_.Release();
    ASSERT_EQ(background_.Create(width, height, 32, 0), 0u);
    bg_test::PaintPlaces(background_);
    ASSERT_TRUE(First().SetBackgroundImage(&background_, 0, 0, false));
    ASSERT_TRUE(Second().SetBackgroundImage(&background_, 0, 0, false));
  }
  static std::pair<std::int32_t, std::int32_t> OffsetOf(const CDrawLayer& layer) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    layer.GetBackground(nullptr, &x, &y, nullptr, nullptr, nullptr);
    return {x, y};
  }

  // A 32-bit ELG picture in the game folder, every pixel `colour` unless `pixel` paints it.
  void WritePicture(const std::string& name, std::int32_t width, std::int32_t height, std::uint32_t colour,
                    std::uint32_t (*pixel)(std::int32_t, std::int32_t) = nullptr) {
    kvxtools::ElgPicture picture;
    picture.width = static_cast<std::uint16_t>(width);
    picture.height = static_cast<std::uint16_t>(height);
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        const std::uint32_t value = pixel != nullptr ? pixel(x, y) : colour;
        for (int shift : {0, 8, 16, 24}) picture.pixels.push_back(static_cast<std::uint8_t>(value >> shift));
      }
    }
    const std::vector<std::uint8_t> file = kvxtools::EncodeElg(picture);
    game_.WriteFile(name, std::string(file.begin(), file.end()));
  }

  std::int32_t SetUpOnFront(CEffect& effect, const PluginArgList& args) {
    return effect.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View());
  }
  // Runs the manager `ms` after the start.
  void RunAt(std::uint32_t ms) {
    clock_.SetMilliseconds(kStart + ms);
    timers_.Dispatch(kStart + ms);
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CDrawLayerFactory factory_;
  std::int16_t random_index_ = 0;
  SubtractiveTable random_state_{};
  CImage background_;
  CImageCanvasEx front_;
  CImageCanvasEx back_;
  CTimerManager timers_;
};

}  // namespace screen_test
