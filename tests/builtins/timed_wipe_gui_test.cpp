// A timed wipe started by a script on the canvas that the window shows (run under Xvfb), on a
// fake clock: built-in 238 makes the canvas, 242 makes it the frame image, 386 wipes a picture
// in from the middle rows; the window is read back at 0, 200 and 400 ms.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "builtin_call.h"
#include "base/time/timer_manager.h"
#include "effects/patterns/timed_wipe_host.h"
#include "gfx/display/direct_draw_device.h"
#include "gfx/images/image.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_clock.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint32_t kOld = 0xFF204060;
constexpr uint32_t kStart = 5000;
constexpr uint32_t kAbsent = 65535;

// The picture wiped in: stripes whose colour tells the row band.
uint32_t SourceColour(int32_t y) { return y % 20 < 10 ? 0xFFE0C020u : 0xFF20C0E0u; }

class TimedWipeGuiTest : public WindowTestBase, public builtin_test::BuiltinCaller {
 protected:
  void SetUp() override {
    BuildPixelTables();
    window_ = OpenTestWindow("timed wipe test", 20, 20, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    screen_ = std::make_unique<CScreenManager>();
    g_ScreenManager = screen_.get();
    host_.SetTimerManager(&timers_);
    g_TimedWipeHost = &host_;
    clock_.SetMilliseconds(kStart);
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_TimedWipeHost = nullptr;
    g_ScreenManager = nullptr;
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
  }

  CImage& Image(uint32_t handle) { return *GetObjectImage(Handles().Get<CImageInterface>(handle)); }

  std::vector<uint32_t> FrameAt(uint32_t elapsed, const char* picture) {
    clock_.SetMilliseconds(kStart + elapsed);
    timers_.Dispatch(kStart + elapsed);
    EXPECT_EQ(screen_->UpdateScreen(), 0u);
    std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
    EXPECT_TRUE(WritePng(picture, shown, kWidth, kHeight));
    shown.resize(static_cast<size_t>(kWidth) * kHeight);
    return shown;
  }
  static uint32_t At(const std::vector<uint32_t>& shown, int32_t x, int32_t y) {
    return shown[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] & 0x00FFFFFF;
  }

  ScopedFakeClock clock_;
  std::unique_ptr<plat::Window> window_;
  std::unique_ptr<CScreenManager> screen_;
  CTimerManager timers_;
  CTimedWipeHost host_;
};

TEST_F(TimedWipeGuiTest, AWipeFromTheMiddleRowsOpensOverTheOldPicture) {
  const uint32_t canvas = Call(238, {kWidth, kHeight, 32, 0});
  const uint32_t source = Call(231, {kWidth, kHeight, 32, 0});
  ASSERT_NE(canvas, 0u);
  ASSERT_NE(source, 0u);
  ASSERT_EQ(Call(242, {canvas}), 0u);
  ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  Image(canvas).FillRectArgb(kOld, nullptr);
  for (int32_t y = 0; y < kHeight; ++y) {
    const plat::Rect row{0, y, kWidth, y + 1};
    Image(source).FillRectArgb(SourceColour(y), &row);
  }

  ASSERT_NE(Call(386, {2, 400, canvas, source, kAbsent}), 0u);
  const std::vector<uint32_t> start = FrameAt(0, "timed_wipe_0ms.png");
  EXPECT_EQ(At(start, 80, 60), kOld & 0x00FFFFFF);

  const std::vector<uint32_t> half = FrameAt(200, "timed_wipe_200ms.png");
  // Half of the 60 rows each side are open: rows 30 to 89.
  for (const int32_t y : {30, 45, 59, 60, 75, 89}) EXPECT_EQ(At(half, 80, y), SourceColour(y) & 0x00FFFFFF) << y;
  for (const int32_t y : {0, 15, 29, 90, 105, 119}) EXPECT_EQ(At(half, 80, y), kOld & 0x00FFFFFF) << y;
  EXPECT_EQ(At(half, 0, 40), SourceColour(40) & 0x00FFFFFF) << "over the whole width";
  EXPECT_EQ(At(half, kWidth - 1, 40), SourceColour(40) & 0x00FFFFFF);

  const std::vector<uint32_t> end = FrameAt(400, "timed_wipe_400ms.png");
  for (int32_t y = 0; y < kHeight; ++y) EXPECT_EQ(At(end, 80, y), SourceColour(y) & 0x00FFFFFF) << y;
  EXPECT_EQ(timers_.GetCount(), 0u);
}

}  // namespace
