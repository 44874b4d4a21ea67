#include "pixel/formats/decoded_picture_conversions.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/numbers/little_endian.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

DibInfo Picture(std::int32_t width, std::int32_t height, std::uint16_t bit_count) {
  DibInfo info;
  info.width = width;
  info.height = height;
  info.bit_count = bit_count;
  return info;
}

std::vector<std::uint32_t> Words(const Bytes& bytes) {
  std::vector<std::uint32_t> words;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) words.push_back(LoadLe32(&bytes[i]));
  return words;
}

TEST(DecodedPictureConversions, FourBitPictureFromAnOddColumnStartsWithTheLowNibble) {
  DibInfo info = Picture(4, 1, 4);
  info.colour_table = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F};
  const Bytes bits = {0x12, 0x34, 0, 0};
  Bytes out(12, 0);
  ASSERT_TRUE(ConvertDecodedTo32(out.data(), {0, 0, 3, 1}, 12, {info, bits.data(), 4, 1, 0}));
  EXPECT_EQ(Words(out), (std::vector<std::uint32_t>{0x12, 0x13, 0x14}));
  Bytes native(3, 0);
  ASSERT_TRUE(ConvertDecodedToNative(native.data(), {0, 0, 3, 1}, 3, {info, bits.data(), 4, 1, 0}));
  EXPECT_EQ(native, (Bytes{2, 3, 4}));
}

TEST(DecodedPictureConversions, SixteenBitWhite) {
  const DibInfo info = Picture(1, 1, 16);
  const Bytes bits = {0xFF, 0x7F, 0, 0};
  Bytes out(4, 0);
  ASSERT_TRUE(ConvertDecodedTo32(out.data(), {0, 0, 1, 1}, 4, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(LoadLe32(out.data()), 0x00F8F8F8u);
  ASSERT_TRUE(ConvertDibTo32(out.data(), {0, 0, 1, 1}, 4, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(LoadLe32(out.data()), 0xFFF8F8F8u);
  Bytes grey(1, 0);
  ASSERT_TRUE(ConvertDecodedToNative(grey.data(), {0, 0, 1, 1}, 1, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(grey[0], 248);
  Bytes word(2, 0);
  ASSERT_TRUE(ConvertDecodedToArgb4444(word.data(), {0, 0, 1, 1}, 2, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(LoadLe16(word.data()), 0xFFFF);
}

TEST(DecodedPictureConversions, RefusedPicturesLeaveTheDestinationUntouched) {
  DibInfo rle = Picture(2, 2, 8);
  rle.compression = 1;
  const Bytes bits(8, 1);
  Bytes out(16, 0xEE);
  EXPECT_FALSE(ConvertDecodedTo32(out.data(), {0, 0, 2, 2}, 8, {rle, bits.data(), 4, 0, 0}));
  EXPECT_FALSE(ConvertDecodedToNative(out.data(), {0, 0, 2, 2}, 8, {rle, bits.data(), 4, 0, 0}));
  const DibInfo odd_depth = Picture(2, 2, 12);
  EXPECT_FALSE(ConvertDibTo32(out.data(), {0, 0, 2, 2}, 8, {odd_depth, bits.data(), 4, 0, 0}));
  const DibInfo small = Picture(2, 2, 8);
  EXPECT_FALSE(ConvertDecodedTo32(out.data(), {0, 0, 2, 2}, 8, {small, bits.data(), 4, 1, 0})) << "past the right";
  EXPECT_FALSE(ConvertDecodedTo32(out.data(), {0, 0, 2, 3}, 8, {small, bits.data(), 4, 0, 0})) << "past the top";
  EXPECT_EQ(out, Bytes(16, 0xEE));
}

TEST(DecodedPictureConversions, IndicesBeyondTheColourTableReadAsZero) {
  DibInfo info = Picture(2, 1, 8);
  info.colours_used = 2;
  info.colour_table = {0x11223344, 0x55667788};
  const Bytes bits = {1, 200, 0, 0};
  Bytes out(8, 0xEE);
  ASSERT_TRUE(ConvertDibTo32(out.data(), {0, 0, 2, 1}, 8, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(Words(out), (std::vector<std::uint32_t>{0xFF667788, 0xFF000000}));
  Bytes words(4, 0);
  ASSERT_TRUE(ConvertDecodedToArgb4444(words.data(), {0, 0, 2, 1}, 4, {info, bits.data(), 4, 0, 0}));
  EXPECT_EQ(LoadLe16(&words[0]), 0xF678);
  EXPECT_EQ(LoadLe16(&words[2]), 0xF000);
}

TEST(DecodedPictureConversions, RowsAreReadBottomUpAndOneBitPixelsMostSignificantFirst) {
  DibInfo info = Picture(8, 2, 1);
  info.colour_table = {0x000000, 0xFFFFFF};
  const Bytes bits = {0x80, 0, 0, 0, 0x01, 0, 0, 0};  // bottom row first
  Bytes out(2 * 8 * 4, 0);
  ASSERT_TRUE(ConvertDecodedTo32(out.data(), {0, 0, 8, 2}, 32, {info, bits.data(), 4, 0, 0}));
  const auto words = Words(out);
  EXPECT_EQ(words[7], 0xFFFFFFu) << "top row: the last pixel is set";
  EXPECT_EQ(words[0], 0u);
  EXPECT_EQ(words[8], 0xFFFFFFu) << "bottom row: the first pixel is set";

  const DibInfo colour = Picture(1, 1, 32);
  const Bytes pixel = {1, 2, 3, 4};
  Bytes copied(4, 0);
  ASSERT_TRUE(ConvertDibTo32(copied.data(), {0, 0, 1, 1}, 4, {colour, pixel.data(), 4, 0, 0}));
  EXPECT_EQ(copied, pixel);
  ASSERT_TRUE(ConvertDecodedTo32(copied.data(), {0, 0, 1, 1}, 4, {colour, pixel.data(), 4, 0, 0}));
  EXPECT_EQ(copied, (Bytes{1, 2, 3, 0}));
}

TEST(SurfaceCopies, FormatsAndRefusals) {
  const Bytes source = {0xFF, 0x00, 0xFF, 0x80};  // 0x80FF00FF
  Bytes surface(4, 0xEE);
  EXPECT_NE(CopyToSurface32(8, {surface.data(), 0, 0, 1, 1, 4}, {source.data(), 0, 0, 4}), 0u);
  EXPECT_EQ(surface, Bytes(4, 0xEE));
  ASSERT_EQ(CopyToSurface32(64, {surface.data(), 0, 0, 1, 1, 4}, {source.data(), 0, 0, 4}), 0u);
  EXPECT_EQ(LoadLe16(surface.data()), 0xFC1F);
  ASSERT_EQ(CopyToSurface32(128, {surface.data(), 0, 0, 1, 1, 4}, {source.data(), 0, 0, 4}), 0u);
  EXPECT_EQ(LoadLe16(surface.data()), 0x8F0F);
  const Bytes alpha = {0x3C};
  ASSERT_EQ(CopyAlphaPlaneToSurface(128, {surface.data(), 0, 0, 1, 1, 4}, {alpha.data(), 0, 0, 1}), 0u);
  EXPECT_EQ(LoadLe16(surface.data()), 0x3F0F);
  ASSERT_EQ(CopyAlphaPlaneToSurface(256, {surface.data(), 0, 0, 1, 1, 4}, {alpha.data(), 0, 0, 1}), 0u);
  EXPECT_EQ(surface[3], 0x3C);
}

TEST(Reduce32To8, SumsOfSixteenSamples) {
  Bytes zeros(4 * 4, 0);
  Reduce32To8(zeros.data(), 4, 1, 4);
  EXPECT_EQ(zeros[0], 0);
  Bytes samples(4 * 4, 0);
  samples[0] = 200;
  samples[5] = 48;  // 248 in all
  Reduce32To8(samples.data(), 4, 1, 4);
  EXPECT_EQ(samples[0], 255);
}

}  // namespace
