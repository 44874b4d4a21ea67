#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "pixel/kernels/bilinear_kernels.h"
#include "pixel/kernels/box_blur_kernels.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"
#include "weighted_rules.h"

namespace {

namespace rules = weighted_rules;

int64_t FloorDiv256(int64_t value) { return static_cast<int64_t>(std::floor(static_cast<double>(value) / 256.0)); }

uint32_t LerpChannels(uint32_t a, uint32_t b, uint32_t f, int channels) {
  uint32_t result = 0;
  for (int i = 0; i < channels; ++i) {
    const int64_t ca = rules::Byte(a, i);
    const int64_t cb = rules::Byte(b, i);
    result |= static_cast<uint32_t>(ca + FloorDiv256((cb - ca) * f)) << (8 * i);
  }
  return result;
}

int64_t Position(uint32_t frac_start, int32_t step_int, uint32_t step_frac, int64_t count) {
  return int64_t{frac_start} + count * (int64_t{step_int} * (int64_t{1} << 32) + step_frac);
}

// Source rows padded on the right, optionally read bottom-up.
template <typename S>
struct Source {
  int32_t width;
  int32_t height;
  int32_t pitch_pixels;
  bool flipped;
  std::vector<S> pixels;

  Source(int32_t w, int32_t h, bool flip, std::mt19937& random) : width(w), height(h), pitch_pixels(w + 2), flipped(flip) {
    pixels.resize(static_cast<size_t>(pitch_pixels) * h);
    for (S& p : pixels) p = static_cast<S>(random());
  }
  // Row r as the kernel walks it.
  S At(int64_t x, int64_t r) const {
    const int64_t row = flipped ? height - 1 - r : r;
    return pixels[static_cast<size_t>(row * pitch_pixels + x)];
  }
  const S* First() const { return pixels.data() + (flipped ? (height - 1) * pitch_pixels : 0); }
  int32_t Pitch() const { return (flipped ? -pitch_pixels : pitch_pixels) * static_cast<int32_t>(sizeof(S)); }
};

// A step that keeps every sample's right and lower neighbours inside the source.
BilinearStep StepWithin(int32_t src_w, int32_t src_h, int32_t dst_w, int32_t dst_h, std::mt19937& random) {
  const auto fixed_step = [&](int32_t src, int32_t dst) {
    const double room = static_cast<double>(src - 1) - 1.0 / 256;
    return dst == 1 ? 0.0 : std::uniform_real_distribution<double>(0.0, room / dst)(random);
  };
  const double x = fixed_step(src_w, dst_w);
  const double y = fixed_step(src_h, dst_h);
  const auto split = [](double value, uint32_t& frac, int32_t& whole) {
    whole = static_cast<int32_t>(value);
    frac = static_cast<uint32_t>((value - whole) * 4294967296.0);
  };
  BilinearStep step;
  step.xFracStart = static_cast<uint32_t>(random()) >> 8;
  step.yFrac = static_cast<uint32_t>(random()) >> 8;
  split(x, step.xStepFrac, step.xStepInt);
  split(y, step.yStepFrac, step.yStepInt);
  return step;
}

template <typename D, typename S>
void ExpectBilinear(const std::function<void(D*, const Source<S>&, int32_t dst_skip, int32_t w, int32_t h,
                                             const BilinearStep&)>& kernel,
                    const std::function<uint32_t(S)>& colour, int channels) {
  std::mt19937 random(11);
  for (int32_t width = 1; width <= 67; ++width) {
    const int32_t height = 4;
    const Source<S> source(70, 9, width % 2 == 1, random);
    const BilinearStep step = StepWithin(source.width, source.height, width, height, random);
    const int32_t dst_pitch = width + 3;
    std::vector<D> dst(static_cast<size_t>(dst_pitch) * height, D{0x5A});
    const std::vector<D> before = dst;
    kernel(dst.data(), source, 3 * static_cast<int32_t>(sizeof(D)), width, height, step);
    for (int32_t j = 0; j < height; ++j) {
      const int64_t y = Position(step.yFrac, step.yStepInt, step.yStepFrac, j);
      const int64_t row = y >> 32;
      const uint32_t fy = static_cast<uint32_t>(y >> 24) & 0xFF;
      for (int32_t i = 0; i < dst_pitch; ++i) {
        D want = before[static_cast<size_t>(j * dst_pitch + i)];
        if (i < width) {
          const int64_t x = Position(step.xFracStart, step.xStepInt, step.xStepFrac, i);
          const int64_t column = x >> 32;
          const uint32_t fx = static_cast<uint32_t>(x >> 24) & 0xFF;
          const uint32_t top = LerpChannels(colour(source.At(column, row)), colour(source.At(column + 1, row)), fx, channels);
          const uint32_t bottom =
              LerpChannels(colour(source.At(column, row + 1)), colour(source.At(column + 1, row + 1)), fx, channels);
          want = static_cast<D>(LerpChannels(top, bottom, fy, channels));
        }
        ASSERT_EQ(dst[static_cast<size_t>(j * dst_pitch + i)], want) << "width " << width << " at " << i << "," << j;
      }
    }
  }
}

TEST(BilinearKernelsTest, ThirtyTwoBitMembersFollowTheFormula) {
  for (auto kernel : {Bilinear32, Bilinear32Mmx}) {
    ExpectBilinear<uint32_t, uint32_t>(
        [kernel](uint32_t* d, const Source<uint32_t>& s, int32_t skip, int32_t w, int32_t h, const BilinearStep& step) {
          kernel(d, s.First(), skip, s.Pitch(), w, h, step);
        },
        [](uint32_t p) { return p; }, 4);
  }
}

TEST(BilinearKernelsTest, PaletteMembersFollowTheFormula) {
  std::vector<uint32_t> palette(256);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint32_t>(i * 0x9E3779B9u);
  for (auto kernel : {Bilinear8To32, Bilinear8To32Mmx}) {
    ExpectBilinear<uint32_t, uint8_t>(
        [&](uint32_t* d, const Source<uint8_t>& s, int32_t skip, int32_t w, int32_t h, const BilinearStep& step) {
          kernel(d, s.First(), skip, s.Pitch(), palette.data(), w, h, step);
        },
        [&](uint8_t index) { return palette[index]; }, 4);
  }
  ExpectBilinear<uint8_t, uint8_t>(
      [](uint8_t* d, const Source<uint8_t>& s, int32_t skip, int32_t w, int32_t h, const BilinearStep& step) {
        Bilinear8(d, s.First(), skip, s.Pitch(), w, h, step);
      },
      [](uint8_t index) { return uint32_t{index}; }, 1);
}

TEST(BilinearKernelsTest, Avx2FormsFollowTheFormula) {
  if (!pixel_kernel_harness::ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const pixel_kernel_harness::Avx2Form avx2;
  ExpectBilinear<uint32_t, uint32_t>(
      [](uint32_t* d, const Source<uint32_t>& s, int32_t skip, int32_t w, int32_t h, const BilinearStep& step) {
        Bilinear32Mmx(d, s.First(), skip, s.Pitch(), w, h, step);
      },
      [](uint32_t p) { return p; }, 4);
  std::vector<uint32_t> palette(256);
  for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint32_t>(i * 0x9E3779B9u);
  ExpectBilinear<uint32_t, uint8_t>(
      [&](uint32_t* d, const Source<uint8_t>& s, int32_t skip, int32_t w, int32_t h, const BilinearStep& step) {
        Bilinear8To32Mmx(d, s.First(), skip, s.Pitch(), palette.data(), w, h, step);
      },
      [&](uint8_t index) { return palette[index]; }, 4);
}

TEST(BilinearKernelsTest, UnitStepsCopyAllFourBytes) {
  std::mt19937 random(3);
  const Source<uint32_t> source(9, 6, false, random);
  BilinearStep step;
  step.xStepInt = 1;
  step.yStepInt = 1;
  for (auto kernel : {Bilinear32, Bilinear32Mmx}) {
    std::vector<uint32_t> dst(8 * 5);
    kernel(dst.data(), source.First(), 0, source.Pitch(), 8, 5, step);
    for (int32_t y = 0; y < 5; ++y) {
      for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(dst[static_cast<size_t>(y * 8 + x)], source.At(x, y));
    }
  }
}

// The blurred pixel of the window around x, summed directly.
uint32_t BlurredAt(const uint32_t* row, int64_t x, int64_t left_available, int64_t right_available, int64_t r) {
  const int64_t first = -std::min(left_available, r);
  uint32_t result = 0;
  for (int i = 0; i < 4; ++i) {
    uint64_t sum = 0;
    for (int64_t p = x - r; p <= x + r; ++p) sum += rules::Byte(row[std::clamp(p, first, right_available - 1)], i);
    result |= static_cast<uint32_t>((sum * static_cast<uint64_t>(65536 / (2 * r + 1)) + 32768) >> 16) << (8 * i);
  }
  return result;
}

using BlurKernel = std::function<void(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                                      int32_t width, int32_t height, int32_t left, int32_t right, int32_t r)>;

void ExpectBlur(const BlurKernel& kernel, const std::function<uint32_t(uint32_t d, uint32_t blurred)>& finish) {
  std::mt19937 random(5);
  for (const int32_t r : {0, 1, 3, 40, 127, 128, 129, 255}) {
    for (int32_t width = 1; width <= 67; ++width) {
      const int32_t height = 3;
      const int32_t left = static_cast<int32_t>(random() % 5) * 10;
      const int32_t right = width + static_cast<int32_t>(random() % 4);
      const int32_t src_pitch = 50 + right + 1;
      std::vector<uint32_t> src(static_cast<size_t>(src_pitch) * height);
      for (uint32_t& p : src) p = static_cast<uint32_t>(random());
      const int32_t dst_pitch = width + 2;
      std::vector<uint32_t> dst(static_cast<size_t>(dst_pitch) * height);
      for (uint32_t& p : dst) p = static_cast<uint32_t>(random());
      const std::vector<uint32_t> before = dst;
      // Bottom row first.
      kernel(dst.data() + (height - 1) * dst_pitch, src.data() + (height - 1) * src_pitch + 50, -(dst_pitch + width) * 4,
             -(src_pitch + width) * 4, width, height, left, right, r);
      for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < dst_pitch; ++x) {
          const size_t at = static_cast<size_t>(y * dst_pitch + x);
          const uint32_t want =
              x < width ? finish(before[at], BlurredAt(src.data() + y * src_pitch + 50, x, left, right, r)) : before[at];
          ASSERT_EQ(dst[at], want) << "r " << r << " width " << width << " at " << x << "," << y;
        }
      }
    }
  }
}

class BoxBlurKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(BoxBlurKernelsTest, MembersFollowTheirFormulas) {
  ExpectBlur(BoxBlurH32, [](uint32_t, uint32_t blurred) { return blurred; });
  for (const uint8_t level : std::array<uint8_t, 5>{0, 1, 90, 254, 255}) {
    ExpectBlur(
        [level](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h, int32_t l, int32_t rt,
                int32_t r) { BoxBlurH32Level(d, s, ds, ss, w, h, l, rt, r, level); },
        [level](uint32_t d, uint32_t blurred) { return rules::Blend(d, blurred, rules::W(level)); });
    ExpectBlur(
        [level](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h, int32_t l, int32_t rt,
                int32_t r) { BoxBlurH32AlphaLevel(d, s, ds, ss, w, h, l, rt, r, g_PixelTables.product[level]); },
        [level](uint32_t d, uint32_t blurred) {
          return rules::Blend(d, blurred, rules::W(rules::Product(level, blurred >> 24)));
        });
  }
}

TEST_F(BoxBlurKernelsTest, EdgesRepeatAndUniformRowsStay) {
  const uint32_t row[3] = {0, 0x00FFFFFF, 0x00FFFFFF};
  uint32_t out[3] = {};
  BoxBlurH32(out, row, 0, 0, 3, 1, 0, 3, 1);
  EXPECT_EQ(out[0], 0x00555555u);
  // White fills the widest window the 16-bit lanes hold (257 pixels) to the top.
  for (const uint32_t value : {0x80C81E01u, 0xFFFFFFFFu}) {
    for (const int32_t r : {1, 5, 127, 128, 129}) {
      const std::vector<uint32_t> uniform(40, value);
      std::vector<uint32_t> blurred(40);
      BoxBlurH32(blurred.data(), uniform.data() + 10, 0, 0, 20, 1, 10, 30, r);
      EXPECT_EQ(std::vector<uint32_t>(blurred.begin(), blurred.begin() + 20), std::vector<uint32_t>(20, value)) << r;
    }
  }
}

// A window of more than 65536 pixels has a reciprocal of 0: every channel averages to 0.
TEST_F(BoxBlurKernelsTest, WindowsWiderThanTheReciprocalAverageToZero) {
  const uint32_t row[3] = {0xFFFFFFFF, 0x80808080, 0x01020304};
  uint32_t out[3] = {7, 8, 9};
  BoxBlurH32(out, row, 0, 0, 3, 1, 0, 3, 40000);
  EXPECT_EQ(std::vector<uint32_t>(out, out + 3), std::vector<uint32_t>(3, 0u));
}

TEST_F(BoxBlurKernelsTest, NegativeRadiusCopies) {
  const uint32_t row[3] = {1, 2, 3};
  uint32_t out[3] = {};
  BoxBlurH32(out, row, 0, 0, 3, 1, 0, 3, -5);
  EXPECT_EQ(std::vector<uint32_t>(out, out + 3), std::vector<uint32_t>(row, row + 3));
}

}  // namespace
