// Software surfaces: fills, blits, keys, flips, loss and busy surfaces.
#include "platform/window/surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "platform/window/display_device.h"
#include "support/fake_clock.h"
#include "support/fake_display_backend.h"
#include "support/software_surfaces.h"

namespace {

using plat::Rect;
using plat::SurfaceFormat;

class SurfaceTest : public ::testing::Test {
 protected:
  std::shared_ptr<plat::Surface> Make(plat::SurfaceFormat format, int32_t width, int32_t height) {
    return surfaces_.Make(format, width, height);
  }
  static uint32_t Pixel(plat::Surface& surface, int32_t x, int32_t y) { return SoftwareSurfaces::Pixel(surface, x, y); }
  plat::DisplayDevice* device() { return &surfaces_.Device(); }
  static void Fill(plat::Surface& surface, const Rect* rect, uint32_t value) {
    plat::BltFx fx;
    fx.fill_color = value;
    ASSERT_EQ(surface.Blt(rect, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx), plat::DD_OK);
  }

  SoftwareSurfaces surfaces_;
};

TEST_F(SurfaceTest, AColourFillWritesTheRawValueOnlyInsideTheRectangle) {
  struct Case {
    SurfaceFormat format;
    uint32_t value;
  };
  const Case cases[] = {{SurfaceFormat::kPal8, 0xA5},         {SurfaceFormat::kRgb555, 0x7ABC},
                        {SurfaceFormat::kRgb565, 0xBEEF},     {SurfaceFormat::kRgb888, 0x123456},
                        {SurfaceFormat::kXrgb8888, 0x00ABCDEF}, {SurfaceFormat::kArgb1555, 0x8123},
                        {SurfaceFormat::kArgb4444, 0xF1E2},   {SurfaceFormat::kArgb8888, 0x80FF4020}};
  for (const Case& each : cases) {
    auto surface = Make(each.format, 7, 5);
    const Rect rect{2, 1, 5, 4};
    Fill(*surface, &rect, each.value);
    for (int32_t y = 0; y < 5; ++y) {
      for (int32_t x = 0; x < 7; ++x) {
        const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
        EXPECT_EQ(Pixel(*surface, x, y), inside ? each.value : 0u)
            << "format " << static_cast<int>(each.format) << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(SurfaceTest, RectanglesThatLeaveTheSurfaceAreRefused) {
  auto surface = Make(SurfaceFormat::kXrgb8888, 4, 4);
  const Rect outside{2, 2, 6, 3};
  plat::BltFx fx;
  EXPECT_EQ(surface->Blt(&outside, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx), plat::DDERR_INVALIDRECT);
  plat::LockedSurface locked;
  EXPECT_EQ(surface->Lock(&outside, locked), plat::DDERR_INVALIDRECT);
  auto source = Make(SurfaceFormat::kXrgb8888, 2, 2);
  EXPECT_EQ(surface->BltFast(3, 3, source.get(), nullptr, 0), plat::DDERR_INVALIDRECT);
}

TEST_F(SurfaceTest, BltFastWithASourceKeySkipsKeyPixels) {
  auto target = Make(SurfaceFormat::kRgb565, 4, 1);
  auto source = Make(SurfaceFormat::kRgb565, 4, 1);
  Fill(*target, nullptr, 0x1111);
  const Rect key_pixels{1, 0, 3, 0 + 1};
  Fill(*source, nullptr, 0xF800);
  Fill(*source, &key_pixels, 0x07E0);
  const plat::ColorKey key{0x07E0, 0x07E0};
  ASSERT_EQ(source->SetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DD_OK);
  ASSERT_EQ(target->BltFast(0, 0, source.get(), nullptr, plat::DDBLTFAST_SRCCOLORKEY | plat::DDBLTFAST_WAIT),
            plat::DD_OK);
  EXPECT_EQ(Pixel(*target, 0, 0), 0xF800u);
  EXPECT_EQ(Pixel(*target, 1, 0), 0x1111u);
  EXPECT_EQ(Pixel(*target, 2, 0), 0x1111u);
  EXPECT_EQ(Pixel(*target, 3, 0), 0xF800u);
  // Without the flag the key is not used.
  ASSERT_EQ(target->BltFast(0, 0, source.get(), nullptr, plat::DDBLTFAST_WAIT), plat::DD_OK);
  EXPECT_EQ(Pixel(*target, 1, 0), 0x07E0u);
  plat::ColorKey read;
  EXPECT_EQ(source->GetColorKey(plat::DDCKEY_SRCBLT, read), plat::DD_OK);
  EXPECT_EQ(read.low, 0x07E0u);
  EXPECT_EQ(target->GetColorKey(plat::DDCKEY_SRCBLT, read), plat::DDERR_NOCOLORKEY);
}

TEST_F(SurfaceTest, BltConvertsFormatsStretchesAndKeys) {
  auto source = Make(SurfaceFormat::kRgb565, 2, 1);
  const Rect left{0, 0, 1, 1};
  Fill(*source, nullptr, 0x001F);  // blue
  Fill(*source, &left, 0xF800);    // red
  auto target = Make(SurfaceFormat::kArgb8888, 4, 2);
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, plat::DDBLT_WAIT, nullptr), plat::DD_OK);
  EXPECT_EQ(Pixel(*target, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*target, 1, 1), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*target, 2, 0), 0xFF0000FFu);
  EXPECT_EQ(Pixel(*target, 3, 1), 0xFF0000FFu);

  const plat::ColorKey key{0xF800, 0xF800};
  source->SetColorKey(plat::DDCKEY_SRCBLT, &key);
  plat::BltFx fx;
  target->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx);
  ASSERT_EQ(target->Blt(nullptr, source.get(), nullptr, plat::DDBLT_KEYSRC, nullptr), plat::DD_OK);
  EXPECT_EQ(Pixel(*target, 0, 0), 0u);
  EXPECT_EQ(Pixel(*target, 3, 0), 0xFF0000FFu);

  // A copy within one surface reads what was there before.
  auto strip = Make(SurfaceFormat::kXrgb8888, 4, 1);
  for (int32_t x = 0; x < 4; ++x) {
    const Rect one{x, 0, x + 1, 1};
    Fill(*strip, &one, static_cast<uint32_t>(x + 1));
  }
  const Rect from{0, 0, 3, 1};
  const Rect to{1, 0, 4, 1};
  ASSERT_EQ(strip->Blt(&to, strip.get(), &from, 0, nullptr), plat::DD_OK);
  EXPECT_EQ(Pixel(*strip, 1, 0), 1u);
  EXPECT_EQ(Pixel(*strip, 3, 0), 3u);
}

TEST_F(SurfaceTest, ALostSurfaceFailsUntilItIsRestored) {
  auto surface = Make(SurfaceFormat::kXrgb8888, 4, 4);
  auto source = Make(SurfaceFormat::kXrgb8888, 4, 4);
  Fill(*surface, nullptr, 0x123456);
  surface->SimulateLoss();
  EXPECT_EQ(surface->IsLost(), plat::DDERR_SURFACELOST);
  plat::LockedSurface locked;
  EXPECT_EQ(surface->Lock(nullptr, locked), plat::DDERR_SURFACELOST);
  EXPECT_EQ(surface->Blt(nullptr, source.get(), nullptr, plat::DDBLT_WAIT, nullptr), plat::DDERR_SURFACELOST);
  plat::DeviceContext* dc = nullptr;
  EXPECT_EQ(surface->GetDC(dc), plat::DDERR_SURFACELOST);
  EXPECT_EQ(dc, nullptr);
  // As a source it fails the blit too.
  EXPECT_EQ(source->Blt(nullptr, surface.get(), nullptr, plat::DDBLT_WAIT, nullptr), plat::DDERR_SURFACELOST);

  EXPECT_EQ(surface->Restore(), plat::DD_OK);
  EXPECT_EQ(surface->IsLost(), plat::DD_OK);
  EXPECT_EQ(Pixel(*surface, 0, 0), 0u);  // the contents went with the loss
  ASSERT_EQ(surface->Lock(nullptr, locked), plat::DD_OK);
  EXPECT_EQ(surface->Unlock(), plat::DD_OK);
  ASSERT_EQ(surface->GetDC(dc), plat::DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), plat::DD_OK);
}

TEST_F(SurfaceTest, BusySurfacesLockedSurfacesAndSurfacesWithADcRefuseWork) {
  auto surface = Make(SurfaceFormat::kXrgb8888, 4, 4);
  plat::LockedSurface locked;
  surface->SimulateBusy(true);
  EXPECT_EQ(surface->Lock(nullptr, locked), plat::DDERR_SURFACEBUSY);
  surface->SimulateBusy(false);
  const Rect corner{1, 1, 3, 3};
  ASSERT_EQ(surface->Lock(&corner, locked), plat::DD_OK);
  EXPECT_EQ(locked.width, 2);
  EXPECT_EQ(locked.pitch, 16);
  EXPECT_EQ(locked.bits, surface->View().At(1, 1));
  EXPECT_EQ(surface->Lock(nullptr, locked), plat::DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(), plat::DD_OK);
  EXPECT_EQ(surface->Unlock(), plat::DDERR_NOTLOCKED);
  plat::DeviceContext* dc = nullptr;
  ASSERT_EQ(surface->GetDC(dc), plat::DD_OK);
  plat::BltFx fx;
  EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx), plat::DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(nullptr), plat::DDERR_NODC);
  EXPECT_EQ(surface->ReleaseDC(dc), plat::DD_OK);
}

TEST_F(SurfaceTest, AFlipChainShowsEachBackBufferInTurn) {
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
  desc.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX;
  desc.back_buffer_count = 2;
  std::shared_ptr<plat::Surface> front;
  EXPECT_EQ(device()->CreateSurface(desc, front), plat::DDERR_NOEXCLUSIVEMODE);

  ASSERT_EQ(device()->SetCooperativeLevel(9, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN), plat::DD_OK);
  ASSERT_EQ(device()->SetDisplayMode(640, 480, 16, 0), plat::DD_OK);
  ASSERT_EQ(device()->CreateSurface(desc, front), plat::DD_OK);
  EXPECT_EQ(front->Width(), 640);
  EXPECT_EQ(front->Format(), plat::MakePixelFormat(SurfaceFormat::kRgb565));
  std::shared_ptr<plat::Surface> back;
  ASSERT_EQ(front->GetAttachedSurface(plat::DDSCAPS_BACKBUFFER, back), plat::DD_OK);
  Fill(*front, nullptr, 1);
  Fill(*back, nullptr, 2);
  ASSERT_EQ(front->Flip(nullptr, 0), plat::DD_OK);
  EXPECT_EQ(Pixel(*front, 0, 0), 2u);
  EXPECT_EQ(Pixel(*back, 0, 0), 0u);  // the third buffer's pixels
  Fill(*back, nullptr, 3);
  ASSERT_EQ(front->Flip(nullptr, 0), plat::DD_OK);
  EXPECT_EQ(Pixel(*front, 0, 0), 3u);
  ASSERT_EQ(front->Flip(nullptr, 0), plat::DD_OK);
  EXPECT_EQ(Pixel(*front, 0, 0), 1u);  // the first front's pixels come round again

  front->SimulateLoss();
  EXPECT_EQ(back->IsLost(), plat::DDERR_SURFACELOST);
  EXPECT_EQ(front->Flip(nullptr, 0), plat::DDERR_SURFACELOST);
  EXPECT_EQ(front->Restore(), plat::DD_OK);
  EXPECT_EQ(back->IsLost(), plat::DD_OK);
  auto plain = Make(SurfaceFormat::kRgb565, 2, 2);
  EXPECT_EQ(plain->Flip(nullptr, 0), plat::DDERR_NOTFLIPPABLE);
}

TEST_F(SurfaceTest, SurfaceDescriptionsAreChecked) {
  plat::SurfaceDesc desc;
  desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
  desc.caps = plat::DDSCAPS_TEXTURE;
  desc.width = 16;
  desc.height = 16;
  desc.pixel_format = plat::PixelFormat{plat::DDPF_RGB, 16, 0x1F, 0x7E0, 0xF800, 0};
  std::shared_ptr<plat::Surface> surface;
  EXPECT_EQ(device()->CreateSurface(desc, surface), plat::DDERR_INVALIDPIXELFORMAT);
  desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
  desc.width = 0;
  EXPECT_EQ(device()->CreateSurface(desc, surface), plat::DDERR_INVALIDPARAMS);
  desc.width = 16;
  ASSERT_EQ(device()->CreateSurface(desc, surface), plat::DD_OK);
  EXPECT_EQ(surface->Format(), plat::MakePixelFormat(SurfaceFormat::kXrgb8888));  // the display's format
  EXPECT_EQ(surface->Caps(), plat::DDSCAPS_TEXTURE);
}

// The vertical blanks are the display's refresh slots on the counter; the wait blocks the thread
// that presents, whichever it is, until the next one.
TEST(VerticalBlankTest, TheWaitBlocksUntilTheDisplaysNextRefreshOnAnyThread) {
  ScopedFakeClock clock;
  clock.Advance(5);  // between two slots
  for (const int32_t refresh : {60, 75, 0}) {
    SCOPED_TRACE(refresh);
    plat::DisplayOutput display = FakeDisplayBackend::Display("Panel", 0, 0, 1024, 768);
    display.refresh_rate = refresh;
    FakeDisplayBackend backend{{display}};
    plat::ScopedDisplayBackend scoped{backend};
    std::unique_ptr<plat::DisplayDevice> device = plat::DisplayDevice::Create();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->Initialize(nullptr), plat::DD_OK);
    const int64_t period = FakeClock::kCounterFrequency / (refresh != 0 ? refresh : 60);  // 60 Hz when unknown
    const int64_t before = clock.CounterReading();
    const int64_t slot = (before / period + 1) * period;
    std::thread presenting([&device] { EXPECT_EQ(device->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN), plat::DD_OK); });
    presenting.join();
    EXPECT_GE(clock.CounterReading(), slot);
    EXPECT_LT(clock.CounterReading() - slot, FakeClock::kCounterFrequency / 1000);  // the fake sleeps whole ms
  }
}

}  // namespace
