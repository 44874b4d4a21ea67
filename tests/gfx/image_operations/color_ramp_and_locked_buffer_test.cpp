// The colour ramp's ends and shapes, and the locked image buffer's layout and keys.
#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/image_operations/color_ramp.h"
#include "gfx/images/locked_image_buffer.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

TEST(ColorRamp, BuildsTheRampsAndRefusesBadArguments) {
  BuildPixelTables();
  CColorRamp ramp;
  ASSERT_EQ(ramp.Build(256, 0, 255, 8), 0u);
  for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(ramp.GetEntry(i), i);
  ASSERT_EQ(ramp.Build(256, 255, 0, 8), 0u);
  EXPECT_EQ(ramp.GetEntry(0), 255u);
  EXPECT_EQ(ramp.GetEntry(255), 0u);
  ASSERT_EQ(ramp.Build(3, 0xFF000000, 0x000000FF, 32), 0u);
  EXPECT_EQ(ramp.GetEntry(0), 0xFF000000u);
  // Entry 2 of 3 stands at top byte 170, whose weight is 171 / 256.
  EXPECT_EQ(ramp.GetEntry(2) & 0xFF, (171u * 255) >> 8);
  EXPECT_EQ(ramp.Build(1, 0, 255, 8), 1u);
  EXPECT_EQ(ramp.GetCount(), 0u);
  EXPECT_EQ(ramp.Build(1, 0, 255, 16), 1u);
  EXPECT_EQ(ramp.Build(2, 0, 255, 16), 3u);
}

TEST(LockedImageBuffer, LaysOutRowsAndKeys) {
  CLockedImageBuffer buffer;
  ASSERT_EQ(buffer.Create(3, 1, 16), 0u);
  EXPECT_EQ(buffer.GetPitch(), 8);
  EXPECT_EQ(buffer.GetBlockSize(), 8u);
  EXPECT_EQ(buffer.SetColorKeyRgb(0xFF, 0x84, 0x1F), 0u);
  EXPECT_EQ(buffer.GetColorKey(), 0xFC23u);
  buffer.GetPixels()[2] = 0x34;
  buffer.GetPixels()[3] = 0x12;
  EXPECT_EQ(buffer.GetPixel(1, 0), 0x1234u);
  EXPECT_EQ(buffer.GetPixel(3, 0), kNoColorKey);
  ASSERT_EQ(buffer.Resize(2, 2), 0u);
  EXPECT_EQ(buffer.GetBlockSize(), 8u);
  EXPECT_EQ(buffer.GetPitch(), 4);
  EXPECT_EQ(buffer.Create(0, 1, 32), 1u);
  EXPECT_EQ(buffer.GetPixels(), nullptr);
  EXPECT_EQ(buffer.Resize(1, 1), 1u);
}

}  // namespace
