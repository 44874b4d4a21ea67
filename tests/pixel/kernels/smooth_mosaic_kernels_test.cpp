#include "pixel/kernels/smooth_mosaic_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// An image with a few spare pixels at the end of each row, filled with random values.
template <typename T>
struct TestImage {
  int32_t width;
  int32_t height;
  int32_t pitch_pixels;
  std::vector<T> pixels;

  TestImage(int32_t w, int32_t h, uint32_t seed) : width(w), height(h), pitch_pixels(w + 3) {
    std::mt19937 random(seed);
    pixels.resize(static_cast<size_t>(pitch_pixels) * h);
    for (T& p : pixels) p = static_cast<T>(random());
  }
  T At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * pitch_pixels + x)]; }
  int32_t Pitch() const { return pitch_pixels * static_cast<int32_t>(sizeof(T)); }
  int32_t Skip() const { return (pitch_pixels - width) * static_cast<int32_t>(sizeof(T)); }
};

// The stencil table, position by position: a above, b below, l left, r right, s the pixel.
uint32_t StencilValue(int32_t x, int32_t y, int32_t w, int32_t h, const std::function<uint32_t(int32_t, int32_t)>& c) {
  const bool top = y == 0;
  const bool bottom = y == h - 1;
  const bool left = x == 0;
  const bool right = x == w - 1;
  const uint32_t s = c(x, y);
  if (top && left) return (2 * s + c(x + 1, y) + c(x, y + 1)) / 4;
  if (top && right) return (2 * s + c(x - 1, y) + c(x, y + 1)) / 4;
  if (bottom && left) return (2 * s + c(x + 1, y) + c(x, y - 1)) / 4;
  if (bottom && right) return (2 * s + c(x - 1, y) + c(x, y - 1)) / 4;
  if (top) return (c(x - 1, y) + s + c(x + 1, y) + c(x, y + 1)) / 4;
  if (bottom) return (c(x - 1, y) + s + c(x + 1, y) + c(x, y - 1)) / 4;
  if (left) return (c(x, y - 1) + s + c(x + 1, y) + c(x, y + 1)) / 4;
  if (right) return (c(x, y - 1) + s + c(x - 1, y) + c(x, y + 1)) / 4;
  return (c(x, y - 1) + c(x, y + 1) + 2 * (c(x - 1, y) + s + c(x + 1, y))) / 8;
}

std::vector<uint32_t> Smoothed32(const TestImage<uint32_t>& image, uint8_t mode) {
  std::vector<uint32_t> expected = image.pixels;
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t result = 0;
      for (int channel = 0; channel < 3; ++channel) {
        const auto sample = [&](int32_t sx, int32_t sy) {
          const uint32_t c = (image.At(sx, sy) >> (8 * channel)) & 0xFF;
          return mode < 2 ? c & 0xF8 : c;
        };
        const uint32_t value = StencilValue(x, y, image.width, image.height, sample) + (mode == 1 ? 7 : 0);
        result |= value << (8 * channel);
      }
      expected[static_cast<size_t>(y * image.pitch_pixels + x)] = result;
    }
  }
  return expected;
}

TEST(SmoothKernelsTest, Smooth32FollowsTheStencilInEveryMode) {
  for (const uint8_t mode : std::array<uint8_t, 4>{0, 1, 2, 9}) {
    for (const auto& [w, h] : {std::pair{4, 4}, std::pair{9, 7}, std::pair{33, 5}}) {
      TestImage<uint32_t> image(w, h, mode * 100u + static_cast<uint32_t>(w));
      const std::vector<uint32_t> expected = Smoothed32(image, mode);
      EXPECT_EQ(Smooth32(image.pixels.data(), image.Skip(), image.Pitch(), w, h, mode), 0u);
      EXPECT_EQ(image.pixels, expected) << "mode " << int{mode} << " " << w << "x" << h;
    }
  }
}

TEST(SmoothKernelsTest, UniformImagesPerMode) {
  const struct {
    uint8_t mode;
    uint32_t result;
  } modes[] = {{2, 0x00123456}, {0, 0x00103050}, {1, 0x00173757}};
  for (const auto& mode : modes) {
    std::vector<uint32_t> pixels(6 * 5, 0xFF123456);
    EXPECT_EQ(Smooth32(pixels.data(), 0, 24, 6, 5, mode.mode), 0u);
    EXPECT_EQ(pixels, std::vector<uint32_t>(6 * 5, mode.result)) << int{mode.mode};
  }
}

TEST(SmoothKernelsTest, RefusedShapesChangeNothing) {
  TestImage<uint32_t> image(8, 8, 5);
  const std::vector<uint32_t> before = image.pixels;
  EXPECT_EQ(Smooth32(image.pixels.data(), image.Skip(), image.Pitch(), 3, 8, 2), 1u);
  EXPECT_EQ(Smooth32(image.pixels.data(), image.Skip(), image.Pitch(), 8, 3, 2), 1u);
  EXPECT_EQ(Smooth32(image.pixels.data(), 6, image.Pitch(), 8, 8, 2), 1u);
  EXPECT_EQ(Smooth32(image.pixels.data(), image.Skip(), 42, 8, 8, 2), 1u);
  EXPECT_EQ(image.pixels, before);
  TestImage<uint8_t> bytes(8, 8, 6);
  const std::vector<uint8_t> bytes_before = bytes.pixels;
  EXPECT_EQ(Smooth8(bytes.pixels.data(), bytes.Skip(), bytes.Pitch(), 3, 8), 1u);
  EXPECT_EQ(Smooth8(bytes.pixels.data(), bytes.Skip(), bytes.Pitch(), 8, 2), 1u);
  EXPECT_EQ(bytes.pixels, bytes_before);
}

TEST(SmoothKernelsTest, Smooth8FollowsTheStencil) {
  for (const auto& [w, h] : {std::pair{4, 4}, std::pair{13, 6}}) {
    TestImage<uint8_t> image(w, h, static_cast<uint32_t>(w));
    std::vector<uint8_t> expected = image.pixels;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        expected[static_cast<size_t>(y * image.pitch_pixels + x)] = static_cast<uint8_t>(
            StencilValue(x, y, w, h, [&](int32_t sx, int32_t sy) { return uint32_t{image.At(sx, sy)}; }));
      }
    }
    EXPECT_EQ(Smooth8(image.pixels.data(), image.Skip(), image.Pitch(), w, h), 0u);
    EXPECT_EQ(image.pixels, expected);
  }
}

// Each call keeps its rows to itself: two threads smoothing two images get the single-thread
// results.
TEST(SmoothKernelsTest, TwoThreadsSmoothTwoImages) {
  TestImage<uint32_t> first(64, 48, 1);
  TestImage<uint32_t> second(48, 64, 2);
  const std::vector<uint32_t> first_expected = Smoothed32(first, 2);
  const std::vector<uint32_t> second_expected = Smoothed32(second, 2);
  std::thread other([&] { Smooth32(second.pixels.data(), second.Skip(), second.Pitch(), 48, 64, 2); });
  Smooth32(first.pixels.data(), first.Skip(), first.Pitch(), 64, 48, 2);
  other.join();
  EXPECT_EQ(first.pixels, first_expected);
  EXPECT_EQ(second.pixels, second_expected);
}

// Where each block starts along one axis, given the first block's size (0 meaning n).
int32_t BlockStart(int32_t position, int32_t first, int32_t n) {
  if (first == 0) first = n;
  return position < first ? 0 : first + (position - first) / n * n;
}

std::pair<int32_t, int32_t> FirstBlockFor(uint8_t mode, int32_t w, int32_t h, int32_t n) {
  switch (mode) {
    case 1:
      return {0, n};
    case 2:
      return {w % n, n};
    case 3:
      return {0, h % n};
    case 4:
      return {w % n, h % n};
    default:
      return {n < w ? (w - n) / 2 % n : 0, n < h ? (h - n) / 2 % n : n};
  }
}

template <typename T, typename Kernel>
void ExpectMosaicBlocks(Kernel kernel) {
  for (const uint8_t mode : std::array<uint8_t, 6>{0, 1, 2, 3, 4, 5}) {
    for (const auto& [w, h, n] : {std::tuple{10, 10, 4}, std::tuple{7, 9, 3}, std::tuple{5, 5, 8}, std::tuple{3, 11, 2}}) {
      TestImage<T> image(w, h, mode * 7u + static_cast<uint32_t>(w));
      const TestImage<T> before = image;
      kernel(image.pixels.data(), image.Skip(), image.Pitch(), w, h, n, mode);
      const auto [first_x, first_y] = FirstBlockFor(mode, w, h, n);
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < image.pitch_pixels; ++x) {
          const T want = x < w ? before.At(BlockStart(x, first_x, n), BlockStart(y, first_y, n)) : before.At(x, y);
          ASSERT_EQ(image.At(x, y), want)
              << "mode " << int{mode} << " " << w << "x" << h << " n " << n << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(MosaicKernelsTest, BlocksFollowTheAlignment) {
  ExpectMosaicBlocks<uint32_t>(Mosaic32);
  ExpectMosaicBlocks<uint8_t>(Mosaic8);
}

TEST(MosaicKernelsTest, TopRightAlignmentStartsWithTheRemainder) {
  TestImage<uint32_t> image(10, 10, 3);
  const TestImage<uint32_t> before = image;
  Mosaic32(image.pixels.data(), image.Skip(), image.Pitch(), 10, 10, 4, 2);
  EXPECT_EQ(image.At(1, 3), before.At(0, 0));
  EXPECT_EQ(image.At(2, 0), before.At(2, 0));
  EXPECT_EQ(image.At(5, 3), before.At(2, 0));
  EXPECT_EQ(image.At(6, 4), before.At(6, 4));
}

TEST(MosaicKernelsTest, TooSmallChangesNothing) {
  TestImage<uint32_t> image(10, 10, 4);
  const std::vector<uint32_t> before = image.pixels;
  Mosaic32(image.pixels.data(), image.Skip(), image.Pitch(), 10, 10, 1, 1);
  Mosaic32(image.pixels.data(), image.Skip(), image.Pitch(), 2, 10, 4, 1);
  Mosaic32(image.pixels.data(), image.Skip(), image.Pitch(), 10, 2, 4, 1);
  EXPECT_EQ(image.pixels, before);
}

}  // namespace
