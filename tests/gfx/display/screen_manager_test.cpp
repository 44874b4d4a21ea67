// The screen manager over a fake machine: scaling, display selection, mode set-up with its
// fall-backs and failure codes, and the frame image.
#include "gfx/display/screen_manager.h"

#include <gtest/gtest.h>

#include "gfx/display/image_canvas.h"
#include "platform/window/display_settings.h"
#include "support/fake_display_backend.h"

namespace {

// A screen manager whose display refuses the surfaces a test names by their caps.
class RefusingScreenManager : public CScreenManager {
 public:
  uint32_t refused_caps = 0;

 protected:
  plat::HResult CreateDisplaySurface(const plat::SurfaceDesc& desc, std::shared_ptr<plat::Surface>& out) override {
    if ((desc.caps & refused_caps) != 0) return plat::DDERR_OUTOFMEMORY;
    return CScreenManager::CreateDisplaySurface(desc, out);
  }
};

class ScreenManagerTest : public ::testing::Test {
 protected:
  ScreenManagerTest()
      : backend_({FakeDisplayBackend::Display("Wide", 0, 0, 1920, 1080),
                  FakeDisplayBackend::Display("Square", 1920, 0, 1280, 1024)}),
        scoped_(backend_) {}
  ~ScreenManagerTest() override { CDirectDrawDevice::FreeDevices(); }

  FakeDisplayBackend backend_;
  plat::ScopedDisplayBackend scoped_;
};

TEST_F(ScreenManagerTest, ScalingLetterboxesAndPillarboxesInThePlacesItComputes) {
  CScreenManager screen;
  ASSERT_EQ(screen.SetScreenSize(640, 480), 0u);
  ASSERT_EQ(screen.ComputeScaling(1280, 1024, false), 0);
  EXPECT_TRUE(screen.IsScaling());
  EXPECT_TRUE(screen.HasBars());
  // Destination as x, y, width, height; the bars as rectangles.
  const plat::Rect& dest = screen.GetDestination();
  EXPECT_EQ(dest.left, 0);
  EXPECT_EQ(dest.top, 32);
  EXPECT_EQ(dest.right, 1280);
  EXPECT_EQ(dest.bottom, 960);
  EXPECT_EQ(screen.GetBar1().bottom, 32);
  EXPECT_EQ(screen.GetBar1().right, 1280);
  EXPECT_EQ(screen.GetBar2().top, 992);
  EXPECT_EQ(screen.GetBar2().bottom, 1024);
  EXPECT_EQ(screen.GetOutputWidth(), 1280);
  EXPECT_EQ(screen.GetOutputHeight(), 1024);

  ASSERT_EQ(screen.ComputeScaling(1920, 1080, false), 0);
  EXPECT_EQ(screen.GetDestination().left, 240);
  EXPECT_EQ(screen.GetDestination().right, 1440);
  EXPECT_EQ(screen.GetBar1().right, 240);
  EXPECT_EQ(screen.GetBar2().left, 1680);
}

TEST_F(ScreenManagerTest, TheSameAspectScalesWithoutBarsOrNotAtAll) {
  CScreenManager screen;
  EXPECT_EQ(screen.ComputeScaling(800, 600, false), 1);
  ASSERT_EQ(screen.SetScreenSize(640, 480), 0u);
  EXPECT_EQ(screen.ComputeScaling(0, 600, false), 1);
  EXPECT_EQ(screen.ComputeScaling(640, 480, false), -1);
  EXPECT_FALSE(screen.IsScaling());
  EXPECT_EQ(screen.GetOutputWidth(), 640);
  EXPECT_EQ(screen.ComputeScaling(1280, 960, true), 0);
  EXPECT_FALSE(screen.IsScaling());
  EXPECT_EQ(screen.ComputeScaling(1280, 960, false), 0);
  EXPECT_TRUE(screen.IsScaling());
  EXPECT_FALSE(screen.HasBars());
  EXPECT_EQ(screen.GetDestination().bottom, 960);
  EXPECT_EQ(screen.SetScreenSize(0, 5), 1u);
}

TEST_F(ScreenManagerTest, DisplaysAreListedPerMonitorAndAnIndexPastTheEndSelectsTheFirst) {
  CMonitorList monitors;
  CScreenManager screen;
  ASSERT_EQ(screen.SetScreenSize(640, 480), 0u);
  EXPECT_EQ(screen.SelectDisplay(false, 0, 0, 0, &monitors), 1u);
  ASSERT_EQ(screen.BuildDisplayModeList(&monitors, 640, 480, true), 0);
  ASSERT_EQ(screen.GetDisplayList().size(), 2u);
  const DisplayEntry& first = *screen.GetDisplayList()[0];
  EXPECT_EQ(first.mode_width, 640);
  EXPECT_EQ(first.mode_height, 480);
  EXPECT_EQ(first.exact_height, 1);
  EXPECT_NE(first.description.find(" (Primary)"), std::string::npos);

  EXPECT_EQ(screen.SelectDisplay(true, 0, 5, 24, &monitors), 0u);
  EXPECT_EQ(screen.GetSelectedDisplay(), &first);
  EXPECT_TRUE(screen.ChangesDisplayMode());
  EXPECT_EQ(screen.GetFullScreenDepth(), 32);
  EXPECT_FALSE(screen.IsScaling());

  // Without a mode change the screen is scaled into the monitor as it is.
  EXPECT_EQ(screen.SelectDisplay(false, screen.GetDisplayList()[1]->monitor, 0, 16, &monitors), 0u);
  EXPECT_EQ(screen.GetFullScreenDepth(), 16);
  EXPECT_TRUE(screen.IsScaling());
  EXPECT_EQ(screen.GetDestination().top, 32);
  EXPECT_EQ(screen.BuildDisplayModeList(nullptr, 640, 480, true), 1);
}

TEST_F(ScreenManagerTest, AWindowWithAFrameImageAndNoScalingPresentsThroughGdi) {
  CScreenManager screen;
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(640, 480, 32, CImagePart::kNoLayer), 0u);
  screen.SetFrameImage(&frame);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderGdi);
  EXPECT_EQ(screen.GetPrimary(), nullptr);
  EXPECT_EQ(screen.GetBack(), nullptr);
  EXPECT_EQ(screen.GetDisplayState(), CScreenManager::kWindowed);
  EXPECT_EQ(screen.GetBackFormat(), 0u);
}

TEST_F(ScreenManagerTest, AWindowWithoutAFrameImageGetsSurfaces) {
  CScreenManager screen;
  EXPECT_EQ(screen.SetDisplayMode(0, true, false, false), 1u);
  ASSERT_EQ(screen.SetScreenSize(320, 240), 0u);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderDirectDraw);
  ASSERT_NE(screen.GetBack(), nullptr);
  EXPECT_EQ(screen.GetBack()->Width(), 320);
  EXPECT_NE(screen.GetPrimary(), nullptr);
  EXPECT_NE(screen.GetBackFormat(), 0u);
  EXPECT_EQ(screen.GetDisplayDepth(), screen.GetBackFormatInfo().bits_per_pixel);
  EXPECT_EQ(screen.ClearBackSurface(), 0u);
  screen.ReleaseSurfaces();
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderGdi);
  EXPECT_EQ(screen.ClearBackSurface(), 1u);
}

TEST_F(ScreenManagerTest, TheTexturePathShowsTheFrameImageThroughATexture) {
  CScreenManager screen;
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(640, 480, 32, CImagePart::kNoLayer), 0u);
  screen.SetFrameImage(&frame);
  screen.SetScalingMethod(CScreenManager::kScaleByTexture);
  screen.SetDirectDrawInWindowMode(true);
  screen.SetPowerOfTwoTexture(true);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderTexture);
  EXPECT_EQ(screen.GetTextureWidth(), 1024);
  EXPECT_EQ(screen.GetTextureHeight(), 512);
  EXPECT_FLOAT_EQ(screen.GetQuad()[3].x, 639.5f);
  EXPECT_FLOAT_EQ(screen.GetQuad()[3].u, 0.625f);
  EXPECT_FLOAT_EQ(screen.GetQuad()[0].x, -0.5f);
}

TEST_F(ScreenManagerTest, SoftwareStretchingDoesNotBlendSoTheStretchTestChoosesTheTexture) {
  CScreenManager screen;
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(320, 240, 32, CImagePart::kNoLayer), 0u);
  screen.SetFrameImage(&frame);
  EXPECT_FALSE(screen.TestStretchBlending());
  screen.SetScalingMethod(CScreenManager::kScaleByStretchTest);
  screen.SetDirectDrawInWindowMode(true);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_FALSE(screen.TestStretchBlending());
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderTexture);
  EXPECT_EQ(screen.GetTextureWidth(), 320);
}

TEST_F(ScreenManagerTest, TheClipperAroundDialogsNeedsAPrimary) {
  CScreenManager screen;
  EXPECT_EQ(screen.AttachClipper(), 0u);
  ASSERT_EQ(screen.SetScreenSize(320, 240), 0u);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen.AttachClipper(), 0u);
  EXPECT_EQ(screen.DetachClipper(), 0u);
  EXPECT_EQ(screen.GetPrimary()->GetClipper(), nullptr);
  screen.ReleaseSurfaces();
  EXPECT_EQ(screen.AttachClipper(), 1u);
  EXPECT_EQ(screen.DetachClipper(), 1u);
}

TEST_F(ScreenManagerTest, AFullScreenWhoseTextureFailsFallsBackToNoScalingMethod) {
  CMonitorList monitors;
  RefusingScreenManager screen;
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(640, 480, 32, CImagePart::kNoLayer), 0u);
  screen.SetFrameImage(&frame);
  ASSERT_EQ(screen.BuildDisplayModeList(&monitors, 640, 480, true), 0);
  ASSERT_EQ(screen.SelectDisplay(false, 0, 1, 0, &monitors), 0u);
  ASSERT_TRUE(screen.IsScaling());
  screen.SetScalingMethod(CScreenManager::kScaleByTexture);
  screen.refused_caps = plat::DDSCAPS_TEXTURE;
  ASSERT_EQ(screen.SetDisplayMode(0, false, false, false), 0u);
  EXPECT_EQ(screen.GetScalingMethod(), 0);
  EXPECT_EQ(screen.GetDisplayState(), CScreenManager::kFullScreen);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderDirectDraw);
  EXPECT_TRUE(screen.IsFullScreenScaling());
}

// Without DirectDraw setting the mode, full screen changes the chosen display's settings to the
// mode; the window mode, a failed set-up and the end of the screen give the display its own back.
TEST_F(ScreenManagerTest, AFullScreenByTheDisplaySettingsSetsTheChosenDisplayToTheModeUntilItEnds) {
  CMonitorList monitors;
  for (const size_t chosen : {size_t{0}, size_t{1}}) {
    {
      RefusingScreenManager screen;
      ASSERT_EQ(screen.SetScreenSize(640, 480), 0u);
      ASSERT_EQ(screen.BuildDisplayModeList(&monitors, 640, 480, false), 0);
      ASSERT_EQ(screen.SelectDisplay(true, 0, static_cast<int32_t>(chosen), 0, &monitors), 0u);
      ASSERT_EQ(screen.SetDisplayMode(0, false, false, false), 0u) << chosen;
      EXPECT_EQ(screen.GetDisplayState(), CScreenManager::kFullScreen);
      const std::optional<plat::DisplayModeDesc> changed = plat::ChangedDisplaySize(chosen);
      ASSERT_TRUE(changed.has_value()) << chosen;
      EXPECT_EQ(changed->width, 640);
      EXPECT_EQ(changed->height, 480);
      EXPECT_FALSE(plat::ChangedDisplaySize(1 - chosen).has_value());
      // The display's desktop has the mode's size now.
      ASSERT_NE(screen.GetPrimary(), nullptr);
      EXPECT_EQ(screen.GetPrimary()->Width(), 640);
      EXPECT_EQ(screen.GetPrimary()->Height(), 480);

      ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
      EXPECT_FALSE(plat::ChangedDisplaySize(chosen).has_value()) << chosen;
      screen.refused_caps = plat::DDSCAPS_PRIMARYSURFACE;
      EXPECT_EQ(screen.SetDisplayMode(0, false, false, false), 4u);
      EXPECT_FALSE(plat::ChangedDisplaySize(chosen).has_value()) << chosen;
      screen.refused_caps = 0;
      ASSERT_EQ(screen.SetDisplayMode(0, false, false, false), 0u);
    }
    EXPECT_FALSE(plat::ChangedDisplaySize(chosen).has_value()) << chosen;
  }
}

TEST_F(ScreenManagerTest, SurfaceFailuresReportTheirCodePlusTwoAndLeaveThePreviousState) {
  RefusingScreenManager screen;
  ASSERT_EQ(screen.SetScreenSize(320, 240), 0u);
  ASSERT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  ASSERT_EQ(screen.GetDisplayState(), CScreenManager::kWindowed);

  screen.refused_caps = plat::DDSCAPS_PRIMARYSURFACE;
  EXPECT_EQ(screen.SetDisplayMode(0, false, false, false), 4u);
  EXPECT_EQ(screen.GetDisplayState(), CScreenManager::kWindowed);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderGdi);
  EXPECT_EQ(screen.GetPrimary(), nullptr);

  screen.refused_caps = plat::DDSCAPS_OFFSCREENPLAIN;
  EXPECT_EQ(screen.SetDisplayMode(0, true, false, false), 5u);
  EXPECT_EQ(screen.GetBack(), nullptr);
  EXPECT_EQ(screen.GetBackCaps(), 0u);

  screen.refused_caps = 0;
  EXPECT_EQ(screen.SetDisplayMode(0, true, false, false), 0u);
  EXPECT_EQ(screen.GetRenderMode(), CScreenManager::kRenderDirectDraw);
}

TEST_F(ScreenManagerTest, AnImageCanvasOfTheScreenSizeBecomesTheFrameImage) {
  CScreenManager screen;
  ASSERT_EQ(screen.SetScreenSize(320, 240), 0u);
  CImageCanvasEx frame;
  ASSERT_EQ(frame.Create(800, 600, 32, CImagePart::kNoLayer), 0u);
  CDirtyRegion* region = frame.GetImage()->GetDirtyRegion();
  region->Clear();
  EXPECT_EQ(screen.SetFrameImage(&frame), 0u);
  EXPECT_EQ(screen.GetFrameImage(), &frame);
  EXPECT_EQ(screen.GetScreenRect().right, 800);
  EXPECT_EQ(screen.GetScreenRect().bottom, 600);
  EXPECT_EQ(region->BoundingBox().right, 800);

  region->Clear();
  const plat::Rect changed{10, 20, 110, 70};
  screen.GetFrameImage()->MarkDirty(&changed);
  EXPECT_TRUE(frame.GetImage()->IsModified());
  ASSERT_EQ(region->Count(), 1u);
  EXPECT_EQ(region->BoundingBox().left, 10);
  EXPECT_EQ(region->BoundingBox().top, 20);
  EXPECT_EQ(region->BoundingBox().right, 110);
  EXPECT_EQ(region->BoundingBox().bottom, 70);

  EXPECT_EQ(screen.SetFrameImage(nullptr), 0u);
  EXPECT_EQ(screen.GetFrameImage(), nullptr);
  EXPECT_EQ(screen.GetScreenRect().right, 800);
}

}  // namespace
