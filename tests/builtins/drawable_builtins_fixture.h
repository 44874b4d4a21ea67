// A screen for the drawable built-ins: images and canvases made by their built-ins, draw layers,
// a pixel-routine library, the trigonometric tables and a pausable timer manager on a fake clock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "builtin_call.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"
#include "support/sprite_device_screen.h"

class DrawableBuiltinsTest : public ::testing::Test, public builtin_test::BuiltinCaller {
 protected:
  static constexpr uint32_t kAbsent = 65535;
  static constexpr uint32_t kMinus1 = 0xFFFFFFFF;
  static constexpr uint32_t kMinus2 = 0xFFFFFFFE;

  DrawableBuiltinsTest() {
    BuildPixelTables();
    saved_screen_ = std::exchange(g_ScreenManager, &screen_.Screen());
    saved_trig_ = std::exchange(g_TrigTable, &trig_);
    saved_timers_ = std::exchange(g_PausableTimerManager, &timers_);
    g_DrawLayerFactory = &factory_;
  }
  ~DrawableBuiltinsTest() override {
    timers_.RemoveAll();
    screen_.Screen().DestroyObjects();
    g_DrawLayerFactory = nullptr;
    g_ScreenManager = saved_screen_;
    g_TrigTable = saved_trig_;
    g_PausableTimerManager = saved_timers_;
  }

  // A 32-bit image of the size filled with the colour.
  uint32_t NewImage(int32_t width, int32_t height, uint32_t colour, uint8_t bpp = 32) {
    const uint32_t handle = Call(231, {static_cast<uint32_t>(width), static_cast<uint32_t>(height), bpp, 0});
    EXPECT_NE(handle, 0u);
    if (handle != 0) Image(handle).FillRectArgb(colour, nullptr);
    return handle;
  }
  // A canvas with a layer and an attached draw list (238, mode 2), or with a layer only (239).
  uint32_t NewCanvas(int32_t width, int32_t height, bool attached_list = true) {
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    const uint32_t handle = attached_list ? Call(238, {w, h, 32, 2}) : Call(239, {w, h, 32, 1});
    EXPECT_NE(handle, 0u);
    return handle;
  }
  CImage& Image(uint32_t handle) { return *GetObjectImage(Handles().Get<CImageInterface>(handle)); }
  CDrawLayer& Layer(uint32_t canvas) {
    return *dynamic_cast<CDrawLayer*>(GetObjectDrawLayer(Handles().Get<CImageInterface>(canvas)));
  }
  CDrawable* Drawable(uint32_t handle) { return Handles().Get<CDrawable>(handle); }
  CSprite& Sprite(uint32_t handle) { return *dynamic_cast<CSprite*>(Drawable(handle)); }
  // A sprite showing the whole image at (x, y).
  uint32_t NewSprite(uint32_t image, int32_t x = 0, int32_t y = 0) {
    const int32_t width = Image(image).GetWidth();
    const int32_t height = Image(image).GetHeight();
    const uint32_t sprite = Call(402, {image, 0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                       static_cast<uint32_t>(x), static_cast<uint32_t>(y)});
    EXPECT_NE(sprite, 0u);
    return sprite;
  }
  void Tick(uint32_t milliseconds) {
    clock_.Advance(milliseconds);
    timers_.Dispatch(0);
  }

  ScopedFakeClock clock_;
  SpriteDeviceScreen screen_;
  ScopedPixelLibrary library_;
  CTrigTables trig_;
  CTimerManager timers_;
  CDrawLayerFactory factory_;

 private:
  CScreenManager* saved_screen_ = nullptr;
  CTrigTables* saved_trig_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
};
