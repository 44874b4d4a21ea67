#include "support/movie_window_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/display/direct_draw_device.h"
#include "pixel/kernels/pixel_tables.h"
#include "sound/sound_device.h"
#include "support/png_file.h"
#include "support/test_window.h"

namespace test_support {

DiskSoundCapture::DiskSoundCapture(const std::string& capture)
    : driver_("SDL_AUDIODRIVER", "disk"), file_("SDL_DISKAUDIOFILE", capture.c_str()), saved_device_(g_SoundBufferDevice) {}

DiskSoundCapture::~DiskSoundCapture() {
  output_.Release();
  g_SoundBufferDevice = saved_device_;
}

bool DiskSoundCapture::Open(plat::WindowId window) {
  if (output_.Create(window, false, false, nullptr) != CSoundDevice::kCreated) return false;
  g_SoundBufferDevice = &output_;
  return true;
}

void MovieWindowTest::SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "x11", 1); }

void MovieWindowTest::SetUp() {
  MovieClipTest::SetUp();
  BuildPixelTables();
  g_DrawLayerFactory = &factory_;
  window_ = OpenTestWindow("movie test", 20, 20, kWidth, kHeight);
  ASSERT_NE(window_, nullptr);
  ASSERT_EQ(frame_.Create(kWidth, kHeight, 32, CImagePart::kLayerAndDrawList), 0u);
  screen_ = std::make_unique<CScreenManager>();
  screen_->SetFrameImage(&frame_);
  ASSERT_EQ(screen_->SetDisplayMode(window_->Id(), true, false, false), 0u);
  ASSERT_EQ(screen_->UpdateScreen(), 0u);
}

void MovieWindowTest::TearDown() {
  screen_.reset();
  CDirectDrawDevice::FreeDevices();
  window_.reset();
  g_DrawLayerFactory = nullptr;
  MovieClipTest::TearDown();
}

std::vector<uint32_t> MovieWindowTest::ReadBack(const char* png_name) const {
  std::vector<uint32_t> shown = ShownPixels(*window_, kWidth, kHeight);
  EXPECT_EQ(shown.size(), static_cast<size_t>(kWidth * kHeight));
  shown.resize(static_cast<size_t>(kWidth * kHeight));
  EXPECT_TRUE(WritePng(png_name, shown, kWidth, kHeight));
  return shown;
}

int32_t MovieWindowTest::LitPixels(const std::vector<uint32_t>& shown, const plat::Rect& rect) {
  int32_t lit = 0;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    for (int32_t x = rect.left; x < rect.right; ++x) {
      if (ColourAt(shown, x, y) != 0) ++lit;
    }
  }
  return lit;
}

uint32_t MovieWindowTest::ColourAt(const std::vector<uint32_t>& shown, int32_t x, int32_t y) {
  return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF;
}

}  // namespace test_support
