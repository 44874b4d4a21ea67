// Window tests of effects made by name (run under Xvfb): the draw layer's window of
// LayerWindowTestBase (or its game-folder form), the built-in effects registered into hosts of the
// test's own, a pausable timer manager and a fake clock, and the frame shown at a time.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/time/timer_manager.h"
#include "effects/table/builtin_effect_table.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "support/fake_clock.h"
#include "support/layer_window_test.h"
#include "support/log_capture.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "support/test_window.h"

template <class WindowBase>
class EffectWindowTest : public WindowBase {
 protected:
  EffectWindowTest(const char* title, int32_t width, int32_t height)
      : WindowBase(title, width, height), frame_width_(width), frame_height_(height) {}

  void SetUp() override {
    WindowBase::SetUp();
    g_DcpHost = &effects_;
    g_TcpHost = &filters_;
    g_PausableTimerManager = &timers_;
    // As a game registers them: the set-up's rows, then the script host's.
    RegisterSetUpEffects(effects_, filters_);
    RegisterBuiltinEffects(effects_, filters_);
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_PausableTimerManager = nullptr;
    g_DcpHost = nullptr;
    g_TcpHost = nullptr;
    WindowBase::TearDown();
  }

  // Runs the effects at `now` ms after the start and shows the frame, written as `picture` too:
  // every pixel of the frame, row by row (zeros where the window could not be read).
  std::vector<uint32_t> FrameAt(uint32_t now, const char* picture) {
    clock_.SetMilliseconds(kStart + now);
    timers_.Dispatch(kStart + now);
    EXPECT_EQ(this->screen_->UpdateScreen(), 0u);
    std::vector<uint32_t> shown = ShownPixels(*this->window_, frame_width_, frame_height_);
    EXPECT_TRUE(WritePng(picture, shown, frame_width_, frame_height_));
    EXPECT_EQ(shown.size(), static_cast<size_t>(frame_width_) * static_cast<size_t>(frame_height_));
    shown.resize(static_cast<size_t>(frame_width_) * static_cast<size_t>(frame_height_));
    return shown;
  }

  static constexpr uint32_t kStart = 5000;
  LogCapture log_;
  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTimerManager timers_;
  CDcpPluginManager effects_;
  CTcpPluginManager filters_;

 private:
  int32_t frame_width_;
  int32_t frame_height_;
};
