// A novel frame in a real window (run under Xvfb) on a fake clock: its page is the screen's frame
// image, so that what the frame draws on its front page is what the window shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "gfx/display/image_canvas.h"
#include "novel/frame/vov_frame.h"
#include "support/effect_window_test.h"
#include "support/fake_app_services.h"

class NovelWindowTest : public EffectWindowTest<LayerWindowFilesTestBase> {
 protected:
  static constexpr std::int32_t kScreenWidth = 800;
  static constexpr std::int32_t kScreenHeight = 600;

  explicit NovelWindowTest(const char* title) : EffectWindowTest(title, kScreenWidth, kScreenHeight) {}
  void SetUp() override {
    EffectWindowTest::SetUp();
    app_.game_screen = {kScreenWidth, kScreenHeight};
    host_ = std::make_unique<CScriptHost>();
    novel_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(novel_->InitPageImage(nullptr), 0u);
    screen_->SetFrameImage(dynamic_cast<CImageCanvasBase*>(novel_->Page().PageImage()));
  }
  void TearDown() override {
    screen_->SetFrameImage(&frame_);
    novel_.reset();
    host_.reset();
    EffectWindowTest::TearDown();
  }

  test_support::FakeAppServices app_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> novel_;
};
