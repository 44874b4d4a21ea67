// A window on the real display (run under Xvfb) whose screen draws without a frame image: the
// screen comes up in window mode with a back surface and is published as g_SpriteDevice while
// it lives, and a frame is drawn as the game draws it, through the render list's render pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/display/direct_draw_device.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/native_window.h"
#include "support/test_window.h"

class RenderPassWindow {
 public:
  RenderPassWindow() = default;
  RenderPassWindow(const RenderPassWindow&) = delete;
  RenderPassWindow& operator=(const RenderPassWindow&) = delete;
  ~RenderPassWindow() {
    if (screen_ != nullptr && g_SpriteDevice == screen_.get()) g_SpriteDevice = saved_device_;
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
  }

  // Opens the window with that client area and sets the screen's mode in it; check with
  // ASSERT_NO_FATAL_FAILURE.
  void Open(const std::string& title, int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
    window_ = OpenTestWindow(title, 20, 20, width, height);
    ASSERT_NE(window_, nullptr);
    screen_ = std::make_unique<CScreenManager>();
    ASSERT_EQ(screen_->SetScreenSize(width, height), 0u);
    screen_->SetDirectDrawInWindowMode(true);
    ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
    ASSERT_NE(screen_->GetBack(), nullptr);
    saved_device_ = std::exchange(g_SpriteDevice, screen_.get());
  }

  CScreenManager& Screen() { return *screen_; }

  // One frame: the back surface cleared, the render list drawn into it and presented; what the
  // window shows, read back.
  std::vector<uint32_t> DrawFrame() {
    EXPECT_EQ(screen_->ClearBackSurface(), 0u);
    EXPECT_EQ(screen_->RenderAll(screen_->GetBack(), &screen_->GetScreenRect(), screen_.get()), 0u);
    EXPECT_EQ(screen_->Present(), 0u);
    return ShownPixels(*window_, width_, height_);
  }

 private:
  std::unique_ptr<plat::Window> window_;
  std::unique_ptr<CScreenManager> screen_;
  CScreenManager* saved_device_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
};
