// Device contexts over DIB sections and the copies between them.
#include "platform/window/gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

using plat::BitmapInfo;

BitmapInfo Info(int32_t width, int32_t height, uint16_t bits) {
  BitmapInfo info;
  info.header.width = width;
  info.header.height = height;
  info.header.bit_count = bits;
  return info;
}

uint32_t Read32(plat::DibSection& dib, int32_t x, int32_t y) {
  uint32_t value;
  std::memcpy(&value, dib.View().At(x, y), 4);
  return value;
}

TEST(GdiTest, An8BitBitmapGoesTo32BitsThroughItsColourTableWithAlphaZero) {
  BitmapInfo source_info = Info(4, 2, 8);  // bottom-up
  source_info.colours[0] = 0x00102030;
  source_info.colours[7] = 0xFFAABBCC;  // the fourth byte of an entry is not carried
  source_info.colours[200] = 0x00FF0000;
  auto source = plat::DibSection::Create(source_info);
  auto target = plat::DibSection::Create(Info(4, -2, 32));  // top-down
  ASSERT_NE(source, nullptr);
  ASSERT_NE(target, nullptr);
  std::memset(target->Bits(), 0xEE, static_cast<size_t>(target->Stride()) * 2);
  // Bottom-up: the first row in memory is the picture's bottom row.
  uint8_t* bits = source->Bits();
  bits[0] = 7;
  bits[1] = 200;
  bits[source->Stride() + 0] = 0;
  bits[source->Stride() + 3] = 7;

  auto source_dc = plat::DeviceContext::CreateMemory();
  auto target_dc = plat::DeviceContext::CreateMemory();
  source_dc->SelectObject(source.get());
  target_dc->SelectObject(target.get());
  ASSERT_TRUE(plat::BitBlt(*target_dc, 0, 0, 4, 2, *source_dc, 0, 0, plat::SRCCOPY));
  EXPECT_EQ(Read32(*target, 0, 1), 0x00AABBCCu);
  EXPECT_EQ(Read32(*target, 1, 1), 0x00FF0000u);
  EXPECT_EQ(Read32(*target, 0, 0), 0x00102030u);
  EXPECT_EQ(Read32(*target, 3, 0), 0x00AABBCCu);
  EXPECT_EQ(Read32(*target, 1, 0), 0x00102030u);  // index 0

  const uint32_t green[2] = {0x0000FF00, 0x0000FF00};
  EXPECT_EQ(source->SetColours(255, green, 2), 1u);  // only one entry is left from 255
  EXPECT_EQ(source->SetColours(0, green, 1), 1u);
  ASSERT_TRUE(plat::BitBlt(*target_dc, 0, 0, 4, 2, *source_dc, 0, 0, plat::SRCCOPY));
  EXPECT_EQ(Read32(*target, 1, 0), 0x0000FF00u);
  EXPECT_EQ(source->SetColours(256, green, 1), 0u);
}

TEST(GdiTest, ThirtyTwoBitCopiesKeepEveryByteAndOtherDepthsConvert) {
  auto top_down = plat::DibSection::Create(Info(2, -2, 32));
  auto bottom_up = plat::DibSection::Create(Info(2, 2, 32));
  std::memset(top_down->Bits(), 0, 16);
  const uint32_t marked = 0x80123456;
  std::memcpy(top_down->View().At(1, 0), &marked, 4);
  auto from = plat::DeviceContext::CreateMemory();
  auto to = plat::DeviceContext::CreateMemory();
  from->SelectObject(top_down.get());
  to->SelectObject(bottom_up.get());
  ASSERT_TRUE(plat::BitBlt(*to, 0, 0, 2, 2, *from, 0, 0, plat::SRCCOPY));
  EXPECT_EQ(Read32(*bottom_up, 1, 0), marked);
  uint32_t in_memory;
  std::memcpy(&in_memory, bottom_up->Bits() + bottom_up->Stride() + 4, 4);  // the top row lies last
  EXPECT_EQ(in_memory, marked);

  auto rgb555 = plat::DibSection::Create(Info(2, -2, 16));
  auto rgb24 = plat::DibSection::Create(Info(2, -2, 24));
  auto dc555 = plat::DeviceContext::CreateMemory();
  auto dc24 = plat::DeviceContext::CreateMemory();
  dc555->SelectObject(rgb555.get());
  dc24->SelectObject(rgb24.get());
  ASSERT_TRUE(plat::BitBlt(*dc555, 0, 0, 2, 2, *from, 0, 0, plat::SRCCOPY));
  ASSERT_TRUE(plat::BitBlt(*dc24, 0, 0, 2, 2, *dc555, 0, 0, plat::SRCCOPY));
  const uint8_t* pixel = rgb24->View().At(1, 0);
  EXPECT_EQ(pixel[0], 0x52);  // 0x56 through five bits: 0x50 | 0x50 >> 5
  EXPECT_EQ(pixel[1], 0x31);
  EXPECT_EQ(pixel[2], 0x10);
  ASSERT_TRUE(plat::BitBlt(*from, 0, 0, 2, 2, *dc24, 0, 0, plat::SRCCOPY));
  EXPECT_EQ(Read32(*top_down, 1, 0), 0x00103152u);  // alpha 0 from a source without alpha
}

TEST(GdiTest, StretchBltScalesToTheNearestPixelAndClips) {
  auto small = plat::DibSection::Create(Info(2, -1, 32));
  const uint32_t pixels[2] = {0x11, 0x22};
  std::memcpy(small->Bits(), pixels, 8);
  auto large = plat::DibSection::Create(Info(4, -2, 32));
  std::memset(large->Bits(), 0, 32);
  auto from = plat::DeviceContext::CreateMemory();
  auto to = plat::DeviceContext::CreateMemory();
  from->SelectObject(small.get());
  to->SelectObject(large.get());
  ASSERT_TRUE(plat::StretchBlt(*to, -2, 0, 8, 2, *from, 0, 0, 2, 1, plat::SRCCOPY));
  EXPECT_EQ(Read32(*large, 0, 0), 0x11u);  // the first two of eight columns lie off the left edge
  EXPECT_EQ(Read32(*large, 1, 1), 0x11u);
  EXPECT_EQ(Read32(*large, 2, 0), 0x22u);
  EXPECT_FALSE(plat::StretchBlt(*to, 0, 0, 0, 2, *from, 0, 0, 2, 1, plat::SRCCOPY));
  EXPECT_FALSE(plat::BitBlt(*to, 0, 0, 2, 2, *from, 0, 0, 0x00EE0086));
  auto empty = plat::DeviceContext::CreateMemory();
  EXPECT_FALSE(plat::BitBlt(*to, 0, 0, 2, 2, *empty, 0, 0, plat::SRCCOPY));
}

TEST(GdiTest, UnsupportedBitmapsAreNotMade) {
  EXPECT_EQ(plat::DibSection::Create(Info(4, 4, 4)), nullptr);
  EXPECT_EQ(plat::DibSection::Create(Info(0, 4, 32)), nullptr);
  EXPECT_EQ(plat::DibSection::Create(Info(4, 0, 32)), nullptr);
  EXPECT_EQ(plat::DibSection::Create(Info(100000, 4, 32)), nullptr);
  BitmapInfo fields = Info(4, 4, 16);
  fields.header.compression = plat::BI_BITFIELDS;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  auto rgb565 = plat::DibSection::Create(fields);
  ASSERT_NE(rgb565, nullptr);
  EXPECT_EQ(rgb565->View().format.green_mask, 0x07E0u);
  EXPECT_EQ(rgb565->Stride(), 8);
  auto odd = plat::DibSection::Create(Info(3, 1, 24));
  EXPECT_EQ(odd->Stride(), 12);
}

}  // namespace
