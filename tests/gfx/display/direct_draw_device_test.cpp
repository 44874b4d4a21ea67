// The display device of the engine over fake one- and two-display machines.
#include "gfx/display/direct_draw_device.h"

#include <gtest/gtest.h>

#include "support/fake_display_backend.h"

namespace {

TEST(DirectDrawDeviceTest, OneDisplayListsOneRecordWithANullGuidAndNoMonitor) {
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Panel", 0, 0, 1920, 1080)});
  plat::ScopedDisplayBackend scoped(backend);
  ASSERT_EQ(CDirectDrawDevice::EnumerateDevices(true), 0);
  ASSERT_EQ(g_DirectDrawDevices.size(), 1u);
  const DirectDrawDeviceInfo& only = g_DirectDrawDevices[0];
  EXPECT_TRUE(only.guid.IsNull());
  EXPECT_EQ(only.monitor, 0u);
  EXPECT_EQ(only.description, "Primary Display Driver");
  // Each size (the desktop's first) at 16 and 32 bits.
  ASSERT_EQ(only.mode_count, 6u);
  EXPECT_EQ(only.modes[0].width, 1920u);
  EXPECT_EQ(only.modes[0].bits_per_pixel, 16u);
  EXPECT_EQ(only.modes[1].bits_per_pixel, 32u);
  EXPECT_EQ(only.modes[5].width, 640u);
  EXPECT_EQ(only.modes[5].refresh_rate, 60u);
  ASSERT_EQ(CDirectDrawDevice::EnumerateDevices(false), 0);
  EXPECT_TRUE(g_DirectDrawDevices[0].modes.empty());
  CDirectDrawDevice::FreeDevices();
  EXPECT_TRUE(g_DirectDrawDevices.empty());
}

TEST(DirectDrawDeviceTest, TwoDisplaysListTheDefaultAndOneRecordEach) {
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Left", 0, 0, 1920, 1080),
                              FakeDisplayBackend::Display("Right", 1920, 0, 1280, 1024)});
  plat::ScopedDisplayBackend scoped(backend);
  ASSERT_EQ(CDirectDrawDevice::EnumerateDevices(true), 0);
  ASSERT_EQ(g_DirectDrawDevices.size(), 3u);
  EXPECT_TRUE(g_DirectDrawDevices[0].guid.IsNull());
  EXPECT_EQ(g_DirectDrawDevices[0].monitor, 0u);
  EXPECT_EQ(g_DirectDrawDevices[1].monitor, 1u);
  EXPECT_EQ(g_DirectDrawDevices[2].monitor, 2u);
  EXPECT_EQ(g_DirectDrawDevices[1].description, "Left");
  EXPECT_EQ(g_DirectDrawDevices[2].driver_name, "\\\\.\\DISPLAY2");
  EXPECT_FALSE(g_DirectDrawDevices[1].guid.IsNull());
  EXPECT_FALSE(g_DirectDrawDevices[1].guid == g_DirectDrawDevices[2].guid);
  EXPECT_EQ(g_DirectDrawDevices[2].modes[0].width, 1280u);

  CDirectDrawDevice device;
  EXPECT_EQ(device.Create(&g_DirectDrawDevices[2].guid), 0u);
  plat::Guid unknown;
  unknown.bytes[0] = 1;
  EXPECT_EQ(device.Create(&unknown), 4u);
  CDirectDrawDevice::FreeDevices();
}

TEST(DirectDrawDeviceTest, NoDisplayListsNothingAndMakesNoDevice) {
  FakeDisplayBackend backend({});
  plat::ScopedDisplayBackend scoped(backend);
  EXPECT_EQ(CDirectDrawDevice::EnumerateDevices(true), -1);
  EXPECT_TRUE(g_DirectDrawDevices.empty());
  CDirectDrawDevice device;
  EXPECT_EQ(device.Create(nullptr), 3u);
  EXPECT_EQ(device.GetDirectDraw(), nullptr);
  EXPECT_EQ(device.GetFreeVideoMemory(true), 0u);
  EXPECT_EQ(device.RestoreDisplayMode(), 1u);
}

TEST(DirectDrawDeviceTest, IdentityCapabilitiesAndTheNoHardwareSwitch) {
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Panel", 0, 0, 1024, 768)});
  plat::ScopedDisplayBackend scoped(backend);
  CDirectDrawDevice device;
  ASSERT_EQ(device.Create(nullptr), 0u);
  EXPECT_EQ(device.GetDriverDescription(), "software surfaces on SDL");
  EXPECT_EQ(device.GetDriverName(), "fake renderer");
  EXPECT_FALSE(device.HasNoHardware());
  EXPECT_GT(device.GetFreeVideoMemory(true), 0u);
  EXPECT_EQ(device.GetDirect3DDeviceKind(), 0);

  plat::DisplayDevice::SetNoHardware(true);
  ASSERT_EQ(device.Create(nullptr), 0u);
  plat::DisplayDevice::SetNoHardware(false);
  EXPECT_TRUE(device.HasNoHardware());
}

TEST(DirectDrawDeviceTest, DisplayModesNeedAnAvailableDepthAndSwitchTheWindow) {
  FakeDisplayBackend backend({FakeDisplayBackend::Display("Panel", 0, 0, 1920, 1080)});
  plat::ScopedDisplayBackend scoped(backend);
  CDirectDrawDevice device;
  ASSERT_EQ(device.Create(nullptr), 0u);
  device.SetAvailableDepths(0b0101, true);  // 32 and 16 bits
  EXPECT_EQ(device.SetDisplayMode(7, 640, 480, 24, false), 2u);
  EXPECT_TRUE(backend.entered.empty());
  EXPECT_EQ(device.GetCooperativeLevel(), kCooperativeNone);

  EXPECT_EQ(device.SetDisplayMode(7, 640, 480, 16, true), 0u);
  EXPECT_EQ(device.GetDisplayModeState(), kDisplayModeSet);
  EXPECT_EQ(device.GetDisplayModeRefresh(), 60);
  EXPECT_EQ(device.GetCooperativeLevel(), kCooperativeExclusive);
  ASSERT_EQ(backend.entered.size(), 1u);
  EXPECT_EQ(backend.entered[0].window, 7u);
  EXPECT_EQ(device.SetDisplayMode(7, 640, 480, 16, true), 1u);  // this depth is already set

  EXPECT_EQ(device.SetDisplayMode(7, 1000, 700, 32, false), 4u);  // no such size
  EXPECT_EQ(device.SetDisplayMode(7, 1920, 1080, 32, false), 0u);
  ASSERT_EQ(backend.entered.size(), 2u);

  EXPECT_EQ(device.RestoreDisplayMode(), 0u);
  EXPECT_EQ(device.GetDisplayModeState(), kDisplayModeRestored);
  EXPECT_EQ(device.GetCooperativeLevel(), kCooperativeNormal);
  EXPECT_EQ(backend.left.size(), 1u);
}

}  // namespace
