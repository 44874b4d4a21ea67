// The present path on a real X display (run under Xvfb): what reaches the primary surface or
// the window's device context shows in the window, read back through the renderer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/display_device.h"
#include "platform/window/gdi.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"
#include "platform/window/screen_presenter.h"
#include "support/test_window.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

class DisplayGuiTest : public WindowTestBase {
 protected:
  void SetUp() override {
    window_ = OpenTestWindow("display test", 40, 30, kWidth, kHeight);
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override { window_.reset(); }

  // The pixels the window shows; every one of them should be `expected`.
  int CountPixelsOf(uint32_t expected) {
    const std::vector<uint32_t> pixels = ShownPixels(*window_, kWidth, kHeight);
    int count = 0;
    for (const uint32_t pixel : pixels) count += (pixel & 0x00FFFFFF) == expected ? 1 : 0;
    return count;
  }

  std::unique_ptr<plat::Window> window_;
};

TEST_F(DisplayGuiTest, ABlueBackSurfaceBlittedToThePrimaryShowsBlue) {
  std::unique_ptr<plat::DisplayDevice> device = plat::DisplayDevice::Create();
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(device->Initialize(nullptr), plat::DD_OK);
  ASSERT_EQ(device->SetCooperativeLevel(0, plat::DDSCL_NORMAL), plat::DD_OK);

  plat::SurfaceDesc primary_desc;
  primary_desc.flags = plat::DDSD_CAPS;
  primary_desc.caps = plat::DDSCAPS_PRIMARYSURFACE;
  std::shared_ptr<plat::Surface> primary;
  ASSERT_EQ(device->CreateSurface(primary_desc, primary), plat::DD_OK);
  std::shared_ptr<plat::Clipper> clipper;
  ASSERT_EQ(device->CreateClipper(clipper), plat::DD_OK);
  ASSERT_EQ(clipper->SetHWnd(window_->Id()), plat::DD_OK);
  ASSERT_EQ(primary->SetClipper(clipper), plat::DD_OK);
  EXPECT_EQ(primary->Width(), kWidth);  // the primary of a window is its client area

  plat::SurfaceDesc back_desc;
  back_desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
  back_desc.caps = plat::DDSCAPS_OFFSCREENPLAIN;
  back_desc.width = kWidth;
  back_desc.height = kHeight;
  back_desc.pixel_format = plat::MakePixelFormat(plat::SurfaceFormat::kRgb565);
  std::shared_ptr<plat::Surface> back;
  ASSERT_EQ(device->CreateSurface(back_desc, back), plat::DD_OK);
  plat::BltFx blue;
  blue.fill_color = 0x001F;
  ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &blue), plat::DD_OK);

  // The engine blits to the client area in desktop coordinates.
  const plat::Rect on_desktop = window_->ClientRectOnScreen();
  ASSERT_EQ(device->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN), plat::DD_OK);
  ASSERT_EQ(primary->Blt(&on_desktop, back.get(), nullptr, plat::DDBLT_ASYNC, nullptr), plat::DD_OK);
  EXPECT_EQ(CountPixelsOf(0x0000FF), kWidth * kHeight);

  plat::DeviceIdentifier identifier;
  ASSERT_EQ(device->GetDeviceIdentifier(identifier), plat::DD_OK);
  EXPECT_EQ(identifier.description, "software surfaces on SDL");
  EXPECT_FALSE(identifier.driver.empty());

  // An exposed window shows its last frame again without anything new drawn.
  plat::ScreenPresenter::RepaintWindow(window_->Id());
  EXPECT_EQ(CountPixelsOf(0x0000FF), kWidth * kHeight);
}

TEST_F(DisplayGuiTest, WhatIsDrawnIntoTheWindowDcShowsWhenItIsReleased) {
  plat::BitmapInfo info;
  info.header.width = kWidth;
  info.header.height = kHeight;
  info.header.bit_count = 8;
  info.colours[3] = 0x00FF0000;
  auto picture = plat::DibSection::Create(info);
  ASSERT_NE(picture, nullptr);
  std::memset(picture->Bits(), 3, static_cast<size_t>(picture->Stride()) * kHeight);
  auto picture_dc = plat::DeviceContext::CreateMemory();
  picture_dc->SelectObject(picture.get());

  plat::DeviceContext* window_dc = plat::GetDC(window_->Id());
  ASSERT_NE(window_dc, nullptr);
  EXPECT_EQ(window_dc->GetDeviceCaps(plat::BITSPIXEL), 32);
  ASSERT_TRUE(plat::BitBlt(*window_dc, 0, 0, kWidth / 2, kHeight, *picture_dc, 0, 0, plat::SRCCOPY));
  EXPECT_EQ(plat::ReleaseDC(window_->Id(), window_dc), 1);
  EXPECT_EQ(CountPixelsOf(0xFF0000), kWidth / 2 * kHeight);
  EXPECT_EQ(plat::ReleaseDC(window_->Id(), window_dc), 0);  // given back already
  EXPECT_TRUE(plat::GdiFlush());
}

TEST_F(DisplayGuiTest, WhatAnotherThreadDrawsIsPresentedByTheWindowThread) {
  ASSERT_EQ(plat::ScreenPresenter::Existing(window_->Id()), nullptr);
  std::thread game([id = window_->Id()] {
    plat::DeviceContext* window_dc = plat::GetDC(id);
    ASSERT_NE(window_dc, nullptr);
    auto red = plat::DeviceContext::CreateMemory();
    plat::BitmapInfo info;
    info.header.width = kWidth;
    info.header.height = kHeight;
    info.header.bit_count = 32;
    auto picture = plat::DibSection::Create(info);
    ASSERT_NE(picture, nullptr);
    const uint32_t colour = 0x00FF0000;
    for (int32_t i = 0; i < kWidth * kHeight; ++i) std::memcpy(picture->Bits() + 4 * i, &colour, 4);
    red->SelectObject(picture.get());
    ASSERT_TRUE(plat::BitBlt(*window_dc, 0, 0, kWidth, kHeight / 2, *red, 0, 0, plat::SRCCOPY));
    EXPECT_EQ(plat::ReleaseDC(id, window_dc), 1);
  });
  game.join();
  plat::ScreenPresenter* presenter = plat::ScreenPresenter::Existing(window_->Id());
  ASSERT_NE(presenter, nullptr);
  // The other thread made no renderer: the window thread makes it when it takes the present.
  EXPECT_TRUE(presenter->RendererName().empty());
  plat::Message message;
  plat::PeekMessage(message, false);
  EXPECT_FALSE(presenter->RendererName().empty());
  EXPECT_EQ(CountPixelsOf(0xFF0000), kWidth * kHeight / 2);
}

// Two game threads draw into the window's device contexts while the window thread presents:
// every context comes back and every drawn rectangle reaches the screen. The pixels are the
// drawers' to guard (the engine's display lock, here `pixels`); the presenter's own lists are
// its own.
TEST_F(DisplayGuiTest, ThreadsDrawingIntoTheWindowAtOnceLoseNothing) {
  constexpr int kRounds = 300;
  std::mutex pixels;
  std::atomic<int> released{0};
  std::atomic<int> running{2};
  const auto draw = [&](int32_t top, uint32_t colour) {
    auto source = plat::DeviceContext::CreateMemory();
    plat::BitmapInfo info;
    info.header.width = kWidth;
    info.header.height = kHeight / 2;
    info.header.bit_count = 32;
    auto picture = plat::DibSection::Create(info);
    for (int32_t i = 0; i < kWidth * kHeight / 2; ++i) std::memcpy(picture->Bits() + 4 * i, &colour, 4);
    source->SelectObject(picture.get());
    for (int round = 0; round < kRounds; ++round) {
      std::lock_guard guard(pixels);
      plat::DeviceContext* window_dc = plat::GetDC(window_->Id());
      if (window_dc == nullptr) continue;
      const int32_t row = round % (kHeight / 2);
      plat::BitBlt(*window_dc, 0, top + row, kWidth, 1, *source, 0, row, plat::SRCCOPY);
      released += plat::ReleaseDC(window_->Id(), window_dc);
    }
    --running;
  };
  std::thread upper(draw, 0, 0x00FF0000u);
  std::thread lower(draw, kHeight / 2, 0x000000FFu);
  plat::Message message;
  while (running.load() != 0) {
    std::lock_guard guard(pixels);
    plat::PeekMessage(message, true);
    plat::ScreenPresenter::PresentAll();
  }
  upper.join();
  lower.join();
  EXPECT_EQ(released.load(), 2 * kRounds);
  EXPECT_EQ(CountPixelsOf(0xFF0000), kWidth * kHeight / 2);
  EXPECT_EQ(CountPixelsOf(0x0000FF), kWidth * kHeight / 2);
}

// A thread paints into the window while it goes, as a movie's thread does: the window's end
// waits for the context that thread holds, which comes back through its presenter; the window
// hands out no context from its end on, not even while its SDL window still exists, and what
// the thread staged for the window thread is dropped with it.
TEST_F(DisplayGuiTest, AWindowThatGoesWaitsForItsContextsAndHandsOutNoMore) {
  const plat::WindowId id = window_->Id();
  std::atomic<int> painted{0};
  std::atomic<int> returned{0};
  std::thread painter([&] {
    auto source = plat::DeviceContext::CreateMemory();
    plat::BitmapInfo info;
    info.header.width = kWidth;
    info.header.height = kHeight;
    info.header.bit_count = 32;
    auto picture = plat::DibSection::Create(info);
    source->SelectObject(picture.get());
    while (plat::DeviceContext* window_dc = plat::GetDC(id)) {
      ++painted;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      plat::BitBlt(*window_dc, 0, 0, kWidth, kHeight, *source, 0, 0, plat::SRCCOPY);
      returned += plat::ReleaseDC(id, window_dc);
    }
  });
  while (painted.load() < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  plat::ScreenPresenter::ReleaseWindow(id);
  painter.join();
  EXPECT_EQ(returned.load(), painted.load()) << "every context out came back through its presenter";
  EXPECT_EQ(plat::GetDC(id), nullptr) << "the window is going";
  plat::Message message;
  plat::PeekMessage(message, false);
  EXPECT_EQ(plat::ScreenPresenter::Existing(id), nullptr) << "no presenter made anew for the staged present";
}

}  // namespace
