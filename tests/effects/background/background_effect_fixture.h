// A canvas with a draw layer whose background is a picture that encodes each pixel's place
// (0xFF000000 | y << 12 | x), the trigonometric tables, a pixel-routine library, a fake clock and
// a timer manager: what the background effects run on.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "effects/framework/effect.h"
#include "effects/framework/effect_args.h"
#include "gfx/display/image_canvas.h"
#include "pixel/kernels/pixel_tables.h"
#include "resource/plugins/plugin_args.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"

namespace bg_test {

inline constexpr std::uint32_t Placed(std::int32_t x, std::int32_t y) {
  return 0xFF000000u | static_cast<std::uint32_t>(y) << 12 | static_cast<std::uint32_t>(x);
}
inline std::int32_t XOf(std::uint32_t pixel) { return static_cast<std::int32_t>(pixel & 0xFFF); }
inline std::int32_t YOf(std::uint32_t pixel) { return static_cast<std::int32_t>((pixel >> 12) & 0xFFF); }

inline void PaintPlaces(CImage& image) {
  for (std::int32_t y = 0; y < image.GetHeight(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.GetRowPointer(y));
    for (std::int32_t x = 0; x < image.GetWidth(); ++x) row[x] = Placed(x, y);
  }
}

inline std::uint32_t PixelAt(const CImage& image, std::int32_t x, std::int32_t y) {
  return reinterpret_cast<const std::uint32_t*>(image.GetRowPointer(y))[x];
}

inline std::uintptr_t Text(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }
inline std::uintptr_t Word(std::int32_t value) { return static_cast<std::uint32_t>(value); }

class BackgroundEffectTest : public ::testing::Test {
 protected:
  static constexpr std::int32_t kTargetWidth = 80;
  static constexpr std::int32_t kTargetHeight = 60;
  static constexpr std::uint32_t kStart = 5000;
  static constexpr std::uint32_t kColour = 0xFF102030;

  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &trig_;
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(canvas_.Create(kTargetWidth, kTargetHeight, 32, CImagePart::kLayer), 0u);
    layer_ = dynamic_cast<CDrawLayer*>(canvas_.GetLayer());
    ASSERT_NE(layer_, nullptr);
    layer_->SetBackgroundColor(kColour, false);
    UseBackground(160, 120);
  }
  void TearDown() override {
    timers_.RemoveAll();
    canvas_.Release();
    g_DrawLayerFactory = nullptr;
    g_TrigTable = nullptr;
  }

  // A new background of the size, shown from (0, 0).
  void UseBackground(std::int32_t width, std::int32_t height) {
    background_.Release();
    ASSERT_EQ(background_.Create(width, height, 32, 0), 0u);
    PaintPlaces(background_);
    ASSERT_TRUE(layer_->SetBackgroundImage(&background_, 0, 0, false));
  }

  // Sets the effect up on the manager with the canvas's part as its target.
  std::int32_t SetUp(CEffect& effect, const PluginArgList& args) { return effect.Setup(&timers_, Part(), args.View()); }
  CImagePart* Part() { return &canvas_; }
  // Runs the manager `ms` after the start.
  void RunAt(std::uint32_t ms) {
    clock_.SetMilliseconds(kStart + ms);
    timers_.Dispatch(kStart + ms);
  }
  CImage& Cache() { return *layer_->GetBackgroundCache(); }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CDrawLayerFactory factory_;
  CImage background_;
  CImageCanvasEx canvas_;
  CDrawLayer* layer_ = nullptr;
  CTimerManager timers_;
};

}  // namespace bg_test
