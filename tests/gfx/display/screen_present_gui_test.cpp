// The frame image reaches a real window (run under Xvfb): through the window's device context
// and through the DirectDraw surfaces, read back through the renderer.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/display/direct_draw_device.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/native_window.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr plat::Rect kRedRect{40, 30, 140, 80};      // 100 x 50
constexpr plat::Rect kGreenRect{300, 200, 500, 300};  // 200 x 100

struct Counts {
  int red = 0;
  int green = 0;
  int other = 0;
};

class ScreenPresentGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    window_ = OpenTestWindow("present test", 20, 20, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
    screen_ = std::make_unique<CScreenManager>();
    screen_->SetFrameImage(&frame_);
  }

  void TearDown() override {
    screen_.reset();
    CDirectDrawDevice::FreeDevices();
    window_.reset();
  }

  void Fill(const plat::Rect& rect, uint32_t colour, bool mark) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(frame_.GetImage()->GetRowPointer(y));
      for (int32_t x = rect.left; x < rect.right; ++x) row[x] = colour;
    }
    if (mark) frame_.MarkDirty(&rect);
  }

  // What the window shows, by colour; 16-bit surfaces may round the channels.
  Counts Shown() {
    Counts counts;
    const std::vector<uint32_t> pixels = ShownPixels(*window_, kWidth, kHeight);
    for (const uint32_t pixel : pixels) {
      const uint32_t r = (pixel >> 16) & 0xFF;
      const uint32_t g = (pixel >> 8) & 0xFF;
      const uint32_t b = pixel & 0xFF;
      if (r >= 0xF0 && g < 0x10 && b < 0x10) {
        ++counts.red;
      } else if (g >= 0xF0 && r < 0x10 && b < 0x10) {
        ++counts.green;
      } else {
        ++counts.other;
      }
    }
    return counts;
  }

  // Two rectangles drawn and marked show; a second update without marked changes shows
  // nothing new, not even pixels drawn without marking.
  void ExpectTwoRectanglesThenNothing() {
    ASSERT_EQ(screen_->UpdateScreen(), 0u);  // the whole black frame
    Fill(kRedRect, 0xFF0000, true);
    Fill(kGreenRect, 0x00FF00, true);
    ASSERT_EQ(screen_->UpdateScreen(), 0u);
    const Counts first = Shown();
    EXPECT_EQ(first.red, 100 * 50);
    EXPECT_EQ(first.green, 200 * 100);

    Fill({0, 400, kWidth, kHeight}, 0xFF0000, false);
    ASSERT_EQ(screen_->UpdateScreen(), 0u);
    const Counts second = Shown();
    EXPECT_EQ(second.red, 100 * 50);
    EXPECT_EQ(second.green, 200 * 100);
    EXPECT_FALSE(frame_.GetImage()->IsModified());
  }

  std::unique_ptr<plat::Window> window_;
  CImageCanvasEx frame_;
  std::unique_ptr<CScreenManager> screen_;
};

TEST_F(ScreenPresentGuiTest, ThroughTheWindowDeviceContext) {
  ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  ASSERT_EQ(screen_->GetRenderMode(), CScreenManager::kRenderGdi);
  ExpectTwoRectanglesThenNothing();
}

TEST_F(ScreenPresentGuiTest, ThroughTheDirectDrawSurfaces) {
  screen_->SetScalingMethod(2);
  screen_->SetDirectDrawInWindowMode(true);
  ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  ASSERT_EQ(screen_->GetRenderMode(), CScreenManager::kRenderDirectDraw);
  ExpectTwoRectanglesThenNothing();
}

}  // namespace
