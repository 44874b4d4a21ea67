// The screen manager's update, present, restore and repaint over software surfaces.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/display/image_canvas.h"
#include "gfx/display/monitor_list.h"
#include "gfx/display/screen_manager.h"
#include "platform/window/display_device.h"
#include "support/fake_display_backend.h"
#include "support/log_capture.h"
#include "support/software_surfaces.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

class ScreenManagerPresentTest : public ::testing::Test {
 protected:
  ScreenManagerPresentTest()
      : backend_({FakeDisplayBackend::Display("Panel", 0, 0, 1024, 768)}), scoped_(backend_) {}
  ~ScreenManagerPresentTest() override {
    plat::DisplayDevice::SetNoHardware(false);
    CDirectDrawDevice::FreeDevices();
  }

  // A frame image shown through DirectDraw surfaces in a window (no scaling, no texture)
  // unless the scaling method says otherwise.
  void SetUpScreen(uint8_t scaling_method = 2) {
    ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
    screen_.SetFrameImage(&frame_);
    screen_.SetScalingMethod(scaling_method);
    screen_.SetDirectDrawInWindowMode(true);
    ASSERT_EQ(screen_.SetDisplayMode(0, true, false, false), 0u);
    ASSERT_NE(screen_.GetBack(), nullptr);
  }

  void Fill(const plat::Rect& rect, uint32_t colour, bool mark) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(frame_.GetImage()->GetRowPointer(y));
      for (int32_t x = rect.left; x < rect.right; ++x) row[x] = colour;
    }
    if (mark) frame_.MarkDirty(&rect);
  }

  // After a whole frame, a frame with a small change writes only the change into the window,
  // with the frame's pixels, and leaves the rest as it was.
  void ExpectASmallChangeReachesTheWindowAlone() {
    plat::Surface& primary = *screen_.GetPrimary();
    Fill({0, 0, kWidth, kHeight}, 0x102030, true);
    ASSERT_EQ(screen_.UpdateScreen(), 0u);
    ASSERT_FALSE(plat::RectIsEmpty(primary.TakeChangedArea()));
    const plat::Rect mark{200, 150, 204, 155};
    Fill(mark, 0xFF8000, true);
    ASSERT_EQ(screen_.UpdateScreen(), 0u);
    const plat::Rect written = primary.TakeChangedArea();
    EXPECT_EQ((std::vector<int32_t>{written.left, written.top, written.right, written.bottom}),
              (std::vector<int32_t>{mark.left, mark.top, mark.right, mark.bottom}));
    EXPECT_EQ(SoftwareSurfaces::Pixel(primary, 203, 154) & 0xFFFFFF, 0xFF8000u);
    EXPECT_EQ(SoftwareSurfaces::Pixel(primary, 204, 155) & 0xFFFFFF, 0x102030u);
    EXPECT_EQ(SoftwareSurfaces::Pixel(primary, 5, 5) & 0xFFFFFF, 0x102030u);
  }

  uint32_t BackColour(int32_t x, int32_t y) {
    plat::PixelView view = screen_.GetBack()->View();
    return plat::ReadRawPixel(view.At(x, y), plat::BytesPerPixel(view.format)) & 0xFFFFFF;
  }

  FakeDisplayBackend backend_;
  plat::ScopedDisplayBackend scoped_;
  CImageCanvasEx frame_;
  CScreenManager screen_;
};

TEST_F(ScreenManagerPresentTest, AnUpdateCopiesTheChangesIntoTheBackSurfaceOnce) {
  SetUpScreen();
  ASSERT_EQ(screen_.GetRenderMode(), CScreenManager::kRenderDirectDraw);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);  // the set-up marked everything changed
  Fill({10, 10, 20, 20}, 0xFF0000, true);
  Fill({100, 100, 110, 110}, 0x00FF00, false);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(15, 15), 0xFF0000u);
  EXPECT_EQ(BackColour(105, 105), 0u) << "an unmarked change is not copied";
  EXPECT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 0u);

  screen_.SetPresentThroughDc(false);
  Fill({30, 30, 40, 40}, 0x0000FF, true);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(35, 35), 0x0000FFu) << "by locking the back surface";
  EXPECT_EQ(BackColour(105, 105), 0u);
}

TEST_F(ScreenManagerPresentTest, RestoreAfterALossBringsTheWholePictureBack) {
  SetUpScreen();
  Fill({0, 0, kWidth, kHeight}, 0x404040, true);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  Fill({50, 50, 60, 60}, 0xFFFFFF, false);
  screen_.GetPrimary()->SimulateLoss();
  screen_.GetBack()->SimulateLoss();
  EXPECT_EQ(screen_.Present(), 2u) << "the frame procedure learns of the loss";
  LogCapture log;
  EXPECT_EQ(screen_.Restore(), 0u);
  EXPECT_EQ(screen_.GetBack()->IsLost(), plat::DD_OK);
  EXPECT_EQ(screen_.GetPrimary()->IsLost(), plat::DD_OK);
  EXPECT_EQ(BackColour(1, 1), 0x404040u);
  EXPECT_EQ(BackColour(55, 55), 0xFFFFFFu);
  EXPECT_EQ(screen_.Restore(), 0u) << "nothing lost any more";

  // The next update presents everything although nothing changed since.
  screen_.GetBack()->SimulateLoss();
  screen_.GetBack()->Restore();
  ASSERT_EQ(frame_.GetImage()->GetDirtyRegion()->Count(), 0u);
  EXPECT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(1, 1), 0x404040u);
}

TEST_F(ScreenManagerPresentTest, ABusyBackSurfaceIsReportedOnceAndTheNextCopyIsWhole) {
  SetUpScreen();
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  Fill({70, 70, 80, 80}, 0x00FFFF, false);
  LogCapture log;
  screen_.GetBack()->SimulateBusy(true);
  EXPECT_EQ(screen_.UpdateScreen(), 2u);
  EXPECT_EQ(screen_.UpdateScreen(), 2u);
  EXPECT_EQ(log.Lines().size(), 1u);
  screen_.GetBack()->SimulateBusy(false);
  EXPECT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(75, 75), 0x00FFFFu);
}

TEST_F(ScreenManagerPresentTest, WithoutHardwareTheBackSurfaceIsShownThroughGdi) {
  plat::DisplayDevice::SetNoHardware(true);
  SetUpScreen();
  EXPECT_EQ(screen_.GetPrimary(), nullptr);
  Fill({5, 5, 9, 9}, 0xFF00FF, true);
  EXPECT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(6, 6), 0xFF00FFu);
  EXPECT_EQ(screen_.Present(), 0u);
}

TEST_F(ScreenManagerPresentTest, TheTexturePathDrawsTheTextureIntoTheBackSurface) {
  SetUpScreen(CScreenManager::kScaleByTexture);
  ASSERT_EQ(screen_.GetRenderMode(), CScreenManager::kRenderTexture);
  Fill({20, 20, 30, 30}, 0x808000, true);
  EXPECT_EQ(screen_.UpdateScreen(), 0u);
  EXPECT_EQ(BackColour(25, 25), 0x808000u);
  screen_.GetPresentTexture()->SimulateLoss();
  Fill({40, 40, 50, 50}, 0x008080, false);
  EXPECT_EQ(screen_.UpdateScreen(), 0u) << "the lost texture is restored and filled whole";
  EXPECT_EQ(BackColour(45, 45), 0x008080u);
}

TEST_F(ScreenManagerPresentTest, ASmallChangeReachesTheWindowAloneThroughTheBackSurface) {
  SetUpScreen();
  ExpectASmallChangeReachesTheWindowAlone();
}

TEST_F(ScreenManagerPresentTest, ASmallChangeReachesTheWindowAloneThroughTheTexture) {
  SetUpScreen(CScreenManager::kScaleByTexture);
  ExpectASmallChangeReachesTheWindowAlone();
}

TEST_F(ScreenManagerPresentTest, PresentWithoutAFrameImage) {
  EXPECT_EQ(screen_.Present(), 1u);
  ASSERT_EQ(screen_.SetScreenSize(kWidth, kHeight), 0u);
  ASSERT_EQ(screen_.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen_.UpdateScreen(), 0u);
  screen_.SetWaitForVerticalBlank(1);
  EXPECT_EQ(screen_.Present(), 0u);
  screen_.GetPrimary()->SimulateLoss();
  EXPECT_EQ(screen_.UpdateScreen(), 2u);
}

TEST_F(ScreenManagerPresentTest, RepaintCopiesThePaintRectangleClampedToTheScreen) {
  ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kNoLayer), 0u);
  SoftwareSurfaces surfaces;
  auto window = surfaces.Make(plat::SurfaceFormat::kXrgb8888, kWidth, kHeight);
  plat::DeviceContext* dc = nullptr;
  EXPECT_EQ(screen_.Repaint(dc, {0, 0, 10, 10}), plat::E_FAIL);
  screen_.SetFrameImage(&frame_);
  ASSERT_EQ(screen_.SetDisplayMode(0, true, false, false), 0u);
  ASSERT_EQ(screen_.GetRenderMode(), CScreenManager::kRenderGdi);
  Fill({0, 0, kWidth, kHeight}, 0x336699, false);
  ASSERT_EQ(window->GetDC(dc), plat::DD_OK);
  EXPECT_EQ(screen_.Repaint(dc, {-5, -5, 10, 10}), plat::DD_OK);
  window->ReleaseDC(dc);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*window, 0, 0) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*window, 9, 9) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*window, 10, 10), 0u);
}

TEST_F(ScreenManagerPresentTest, RepaintThroughTheSurfaces) {
  SetUpScreen();
  Fill({0, 0, kWidth, kHeight}, 0x224466, true);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  screen_.GetPrimary()->SimulateLoss();
  screen_.GetPrimary()->Restore();  // black again
  ASSERT_NE(SoftwareSurfaces::Pixel(*screen_.GetPrimary(), 5, 5), SoftwareSurfaces::Pixel(*screen_.GetBack(), 5, 5));
  EXPECT_EQ(screen_.Repaint(nullptr, {0, 0, 10, 10}), plat::DD_OK);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*screen_.GetPrimary(), 5, 5), SoftwareSurfaces::Pixel(*screen_.GetBack(), 5, 5));
  EXPECT_NE(SoftwareSurfaces::Pixel(*screen_.GetPrimary(), 20, 20), SoftwareSurfaces::Pixel(*screen_.GetBack(), 20, 20))
      << "only the paint rectangle";
}

// The primary's write stamp counts what reached the window: an unchanged stamp is a frame that
// presented nothing.
TEST_F(ScreenManagerPresentTest, OnlyAFrameWithSomethingDrawnReachesTheWindow) {
  SetUpScreen();
  plat::Surface& primary = *screen_.GetPrimary();
  plat::Surface& back = *screen_.GetBack();
  Fill({0, 0, kWidth, kHeight}, 0x102030, true);
  ASSERT_EQ(screen_.UpdateScreen(), 0u);
  ASSERT_EQ(screen_.Present(), 0u);
  uint64_t shown = primary.WriteStamp();
  const auto window_shows_back = [&](int32_t x, int32_t y) {
    return SoftwareSurfaces::Pixel(primary, x, y) == SoftwareSurfaces::Pixel(back, x, y);
  };
  ASSERT_TRUE(window_shows_back(5, 5));
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_EQ(screen_.Present(), 0u);
    EXPECT_EQ(screen_.UpdateScreen(), 0u);
    EXPECT_EQ(primary.WriteStamp(), shown) << "idle frame " << frame << " presented";
  }

  const plat::Rect mark{200, 150, 204, 154};
  FillSurface(&back, nullptr, 0xFF, 0, 0, &mark, 0);
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_NE(primary.WriteStamp(), shown) << "a small change presents";
  EXPECT_TRUE(window_shows_back(201, 151));
  shown = primary.WriteStamp();
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_EQ(primary.WriteStamp(), shown);

  // Whatever else drew over the window, or a window made anew after a loss, gets the frame again.
  FillSurface(&primary, nullptr, 0, 0xFF, 0, nullptr, 0);
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_TRUE(window_shows_back(5, 5));
  primary.SimulateLoss();
  EXPECT_EQ(screen_.Present(), 2u);
  ASSERT_EQ(screen_.Restore(), 0u);
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_TRUE(window_shows_back(5, 5));
  EXPECT_TRUE(window_shows_back(201, 151));
}

}  // namespace

namespace {

// Full screen with a mode change, without a frame image and without scaling, builds a flip chain;
// the vertical-blank level then chooses between flipping the chain and copying the back surface.
TEST_F(ScreenManagerPresentTest, FullScreenPresentFlipsOrCopiesByTheVerticalBlankLevel) {
  constexpr int32_t kModeWidth = 640;
  constexpr int32_t kModeHeight = 480;
  CMonitorList monitors;
  ASSERT_EQ(screen_.SetScreenSize(kModeWidth, kModeHeight), 0u);
  ASSERT_EQ(screen_.BuildDisplayModeList(&monitors, kModeWidth, kModeHeight, true), 0);
  ASSERT_EQ(screen_.SelectDisplay(true, 0, 0, 32, &monitors), 0u);
  screen_.SetScalingMethod(0);
  ASSERT_EQ(screen_.SetDisplayMode(1, false, false, false), 0u);
  ASSERT_EQ(screen_.GetDisplayState(), CScreenManager::kFullScreen);
  ASSERT_TRUE(screen_.IsFlipping());
  plat::Surface* back = screen_.GetBack();
  plat::Surface* primary = screen_.GetPrimary();
  ASSERT_NE(back, nullptr);
  ASSERT_NE(primary, nullptr);
  const auto colour_at = [](plat::Surface* surface) {
    plat::PixelView view = surface->View();
    return plat::ReadRawPixel(view.At(5, 5), plat::BytesPerPixel(view.format)) & 0xFFFFFF;
  };

  // Level 2 flips: the front shows the back buffer and the back buffer takes the old front.
  FillSurface(back, nullptr, 0, 0, 0xFF, nullptr, 0);
  FillSurface(primary, nullptr, 0xFF, 0, 0, nullptr, 0);
  screen_.SetWaitForVerticalBlank(2);
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_EQ(colour_at(primary), 0x0000FFu);
  EXPECT_EQ(colour_at(back), 0xFF0000u);

  // Level 1 copies: the back buffer keeps its pixels and the front receives them.
  screen_.SetWaitForVerticalBlank(1);
  EXPECT_EQ(screen_.Present(), 0u);
  EXPECT_EQ(colour_at(primary), 0xFF0000u);
  EXPECT_EQ(colour_at(back), 0xFF0000u);

  // A lost chain reports the loss to the caller.
  primary->SimulateLoss();
  screen_.SetWaitForVerticalBlank(2);
  EXPECT_EQ(screen_.Present(), 2u);
}

}  // namespace
