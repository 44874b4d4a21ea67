// The conversions of palette indices and 32-bit pixels into every surface pixel format.
#include "pixel/formats/surface_writers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "pixel/formats/pixel_format_codes.h"

namespace {

constexpr uint8_t kGuard = 0xAB;

// One row of `width` pixels written into a zeroed destination row with guard bytes around it.
struct Target {
  explicit Target(int bytes_per_pixel) : bytes(bytes_per_pixel), memory(64, kGuard) {}
  uint32_t At(int x) const {
    uint32_t v = 0;
    std::memcpy(&v, memory.data() + 4 + x * bytes, static_cast<size_t>(bytes));
    return v;
  }
  int bytes;
  std::vector<uint8_t> memory;
};

std::array<uint32_t, 256> TestPalette() {
  std::array<uint32_t, 256> palette{};
  palette[1] = 0x00FF8040;  // red 255, green 128, blue 64
  palette[2] = 0x00123456;
  return palette;
}

struct Row {
  uint32_t format;
  int bytes;
  uint32_t from_palette_1;  // entry 0x00FF8040
  uint32_t from_pixel;      // pixel 0x80FF0000
  uint32_t from_pixel2;     // pixel 0x7F3C5A96
};

const Row kRows[] = {
    {kPixelFormatRgb555, 2, 0x7E08, 0x7C00, ((0x3Cu >> 3) << 10) | ((0x5Au >> 3) << 5) | (0x96u >> 3)},
    {kPixelFormatRgb565, 2, 0xFC08, 0xF800, ((0x3Cu >> 3) << 11) | ((0x5Au >> 2) << 5) | (0x96u >> 3)},
    {kPixelFormatRgb888, 3, 0xFF8040, 0xFF0000, 0x3C5A96},
    {kPixelFormatXrgb8888, 4, 0x00FF8040, 0x00FF0000, 0x003C5A96},
    {kPixelFormatArgb1555, 2, 0xFE08, 0xFC00, ((0x3Cu >> 3) << 10) | ((0x5Au >> 3) << 5) | (0x96u >> 3)},
    {kPixelFormatArgb4444, 2, 0xFF84, 0x8F00, 0x7359},
    {kPixelFormatArgb8888, 4, 0xFFFF8040, 0x80FF0000, 0x7F3C5A96},
};

TEST(SurfaceWritersTest, PaletteEntriesInEveryFormat) {
  const auto palette = TestPalette();
  const uint8_t indices[] = {1, 2, 1};
  for (const Row& row : kRows) {
    Target target(row.bytes);
    ASSERT_TRUE(WritePal8ToSurface(row.format, target.memory.data() + 4, 0, 0, 0, indices, 3, 3, 1, palette.data()))
        << row.format;
    EXPECT_EQ(target.At(0), row.from_palette_1) << row.format;
    EXPECT_EQ(target.At(2), row.from_palette_1) << row.format;
    EXPECT_EQ(target.memory[3], kGuard) << row.format;
    EXPECT_EQ(target.memory[static_cast<size_t>(4 + 3 * row.bytes)], kGuard) << "past the width, format " << row.format;
  }
}

TEST(SurfaceWritersTest, PixelsInEveryFormat) {
  const uint32_t pixels[] = {0x80FF0000, 0x7F3C5A96};
  for (const Row& row : kRows) {
    Target target(row.bytes);
    ASSERT_TRUE(WriteArgb32ToSurface(row.format, target.memory.data() + 4, 0, 0, 0,
                                     reinterpret_cast<const uint8_t*>(pixels), 8, 2, 1))
        << row.format;
    EXPECT_EQ(target.At(0), row.from_pixel) << row.format;
    EXPECT_EQ(target.At(1), row.from_pixel2) << row.format;
    EXPECT_EQ(target.memory[3], kGuard) << row.format;
    EXPECT_EQ(target.memory[static_cast<size_t>(4 + 2 * row.bytes)], kGuard) << "past the width, format " << row.format;
  }
}

TEST(SurfaceWritersTest, TheAlphaBitsOfTheAlphaFormats) {
  // ARGB1555 keeps the top alpha bit only; ARGB4444 keeps the alpha nibble.
  const uint32_t pixels[] = {0x7FFF0000, 0x30FFFFFF};
  uint16_t out[2] = {};
  ASSERT_TRUE(WriteArgb32ToSurface(kPixelFormatArgb1555, reinterpret_cast<uint8_t*>(out), 0, 0, 4,
                                   reinterpret_cast<const uint8_t*>(pixels), 8, 2, 1));
  EXPECT_EQ(out[0], 0x7C00);
  EXPECT_EQ(out[1], 0x7FFF);
  ASSERT_TRUE(WriteArgb32ToSurface(kPixelFormatArgb4444, reinterpret_cast<uint8_t*>(out), 0, 0, 4,
                                   reinterpret_cast<const uint8_t*>(pixels), 8, 2, 1));
  EXPECT_EQ(out[0], 0x7F00);
  EXPECT_EQ(out[1], 0x3FFF);
}

TEST(SurfaceWritersTest, RowsFollowBothPitchesAndThePosition) {
  const auto palette = TestPalette();
  // Two rows of two indices, the source rows 5 bytes apart, written at (1, 1) of a 4 x 3
  // XRGB8888 area whose rows are 20 bytes apart.
  const uint8_t indices[] = {1, 2, 9, 9, 9, 2, 1, 9, 9, 9};
  std::vector<uint32_t> area(5 * 3, 0xDEADBEEF);
  ASSERT_TRUE(WritePal8ToSurface(kPixelFormatXrgb8888, reinterpret_cast<uint8_t*>(area.data()), 1, 1, 20, indices, 5,
                                 2, 2, palette.data()));
  EXPECT_EQ(area[5 + 1], 0x00FF8040u);
  EXPECT_EQ(area[5 + 2], 0x00123456u);
  EXPECT_EQ(area[10 + 1], 0x00123456u);
  EXPECT_EQ(area[10 + 2], 0x00FF8040u);
  EXPECT_EQ(area[5 + 0], 0xDEADBEEFu);
  EXPECT_EQ(area[5 + 3], 0xDEADBEEFu);
  EXPECT_EQ(area[0 + 1], 0xDEADBEEFu);

  // The same place from 32-bit pixels whose rows are 12 bytes apart, the alpha byte dropped.
  const uint32_t pixels[] = {0x11000001, 0x22000002, 0xEEEEEEEE, 0x33000003, 0x44000004, 0xEEEEEEEE};
  std::vector<uint32_t> rows(5 * 3, 0xDEADBEEF);
  ASSERT_TRUE(WriteArgb32ToSurface(kPixelFormatXrgb8888, reinterpret_cast<uint8_t*>(rows.data()), 1, 1, 20,
                                   reinterpret_cast<const uint8_t*>(pixels), 12, 2, 2));
  constexpr uint32_t kOut = 0xDEADBEEF;
  EXPECT_EQ(std::vector<uint32_t>(rows.begin() + 5, rows.end()),
            (std::vector<uint32_t>{kOut, 1, 2, kOut, kOut, kOut, 3, 4, kOut, kOut}));
  EXPECT_EQ(rows[1], kOut);
}

TEST(SurfaceWritersTest, FormatsOutsideTheTableWriteNothing) {
  const auto palette = TestPalette();
  const uint8_t index = 1;
  const uint32_t pixel = 0xFFFFFFFF;
  for (uint32_t format : {0u, 1u, 2u, 3u, 512u}) {
    uint32_t out = 0x11111111;
    EXPECT_FALSE(
        WritePal8ToSurface(format, reinterpret_cast<uint8_t*>(&out), 0, 0, 4, &index, 1, 1, 1, palette.data()));
    EXPECT_FALSE(WriteArgb32ToSurface(format, reinterpret_cast<uint8_t*>(&out), 0, 0, 4,
                                      reinterpret_cast<const uint8_t*>(&pixel), 4, 1, 1));
    EXPECT_EQ(out, 0x11111111u);
  }
}

}  // namespace
