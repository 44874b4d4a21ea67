// Holds a two-image 32-bit pixel kernel to a per-pixel rule: runs the kernel on random images
// (with many fully transparent and opaque pixels, and key hits for keyed kernels) through the
// shape it walks, and compares every destination pixel, padding included, with the rule.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/stretch_step.h"
#include "platform/system/cpu_features.h"

namespace pixel_kernel_harness {

inline bool ProcessorHasAvx2() { return plat::ReadCpuFeatures().avx2; }

// The vector ("Mmx") members run their AVX2 form while this lives; the test must first skip on
// a processor without AVX2.
class Avx2Form {
 public:
  Avx2Form() { g_CpuHasAvx2 = 1; }
  ~Avx2Form() { g_CpuHasAvx2 = 0; }
  Avx2Form(const Avx2Form&) = delete;
  Avx2Form& operator=(const Avx2Form&) = delete;
};

using PixelRule = std::function<uint32_t(uint32_t d, uint32_t s)>;
// One signature for every shape: the one-to-one kernels take a skip and ignore the step, the
// stretched ones take a pitch.
using Kernel = std::function<void(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                  int32_t src_skip_or_pitch, int32_t width, int32_t height,
                                  const StretchStep& step)>;

using OneToOneKernel = void (*)(uint32_t* dst, const uint32_t* src, int32_t dst_skip,
                                int32_t src_skip, int32_t width, int32_t height);

// Runs a one-to-one kernel on a single pixel and gives the result.
inline uint32_t OnePixel(OneToOneKernel kernel, uint32_t d, uint32_t s) {
  kernel(&d, &s, 0, 0, 1, 1);
  return d;
}

enum class Shape { kOneToOne, kMirrored, kStretched, kMirroredStretched };

inline bool IsStretched(Shape shape) {
  return shape == Shape::kStretched || shape == Shape::kMirroredStretched;
}
inline bool IsMirrored(Shape shape) {
  return shape == Shape::kMirrored || shape == Shape::kMirroredStretched;
}

inline StretchStep UnclippedStep(int32_t src_width, int32_t src_height, int32_t dst_width,
                                 int32_t dst_height) {
  return StretchStep{-dst_width - 1,  src_width % dst_width,   dst_width,  src_width / dst_width,
                     -dst_height - 1, src_height % dst_height, dst_height, src_height / dst_height};
}

// The source pixel that unclipped stepping reads for destination pixel i.
inline int32_t SteppedIndex(int32_t i, int32_t src_size, int32_t dst_size) {
  const int32_t remainder = i * (src_size % dst_size);
  const int32_t carries = remainder == 0 ? 0 : (remainder + dst_size - 1) / dst_size - 1;
  return i * (src_size / dst_size) + carries;
}

inline std::vector<uint32_t> RandomPixels(size_t count, std::mt19937& random,
                                          std::optional<uint32_t> key) {
  std::vector<uint32_t> pixels(count);
  for (uint32_t& pixel : pixels) {
    pixel = static_cast<uint32_t>(random());
    switch (random() % 8) {
      case 0:
        pixel &= 0x00FFFFFF;
        break;
      case 1:
        pixel |= 0xFF000000;
        break;
      case 2:
        if (key) pixel = *key;
        break;
      default:
        break;
    }
  }
  return pixels;
}

// Pictures shaped like a game's: runs of one alpha level (clear, nearly clear, half, opaque) of
// lengths that start and end inside vectors, or the same runs with random alpha.
inline std::vector<uint32_t> RunsOfLevels(size_t count, std::mt19937& random, bool random_alpha) {
  const std::array<uint32_t, 4> levels{0, 1, 128, 255};
  std::vector<uint32_t> pixels;
  while (pixels.size() < count) {
    const uint32_t level = levels[random() % levels.size()];
    const size_t run = 1 + random() % 37;
    for (size_t i = 0; i < run && pixels.size() < count; ++i) {
      const uint32_t alpha = random_alpha ? static_cast<uint32_t>(random()) >> 24 : level;
      pixels.push_back(alpha << 24 | (static_cast<uint32_t>(random()) & 0x00FFFFFF));
    }
  }
  return pixels;
}

// Holds a one-to-one kernel to a rule on pictures of runs of levels and of random alpha, over
// destinations of any alpha, of alpha 0 throughout (a picture loaded without alpha, or one
// blended onto) and of runs of both, one pixel in from the left so that the runs cross the
// vectors' boundaries at other places.
using OneToOneCall = std::function<void(uint32_t* dst, const uint32_t* src, int32_t dst_skip, int32_t src_skip,
                                        int32_t width, int32_t height)>;

inline void ExpectRunsFollow(const OneToOneCall& kernel, const PixelRule& rule) {
  std::mt19937 random(97);
  constexpr int32_t kWidth = 203;
  constexpr int32_t kHeight = 7;
  constexpr size_t kCount = size_t{kWidth} * kHeight;
  for (const bool random_alpha : {false, true}) {
    for (const int destination_kind : {0, 1, 2}) {
      SCOPED_TRACE(std::string(random_alpha ? "random alpha" : "runs of levels") + " over destination " +
                   std::to_string(destination_kind));
      const std::vector<uint32_t> source = RunsOfLevels(kCount, random, random_alpha);
      std::vector<uint32_t> destination = RandomPixels(kCount, random, std::nullopt);
      const std::vector<uint32_t> clear_runs = RunsOfLevels(kCount, random, false);
      for (size_t i = 0; i < kCount; ++i) {
        if (destination_kind == 1 || (destination_kind == 2 && clear_runs[i] >> 24 == 0)) destination[i] &= 0x00FFFFFF;
      }
      const std::vector<uint32_t> before = destination;
      kernel(destination.data() + 1, source.data() + 1, 4, 4, kWidth - 1, kHeight);
      for (size_t i = 0; i < kCount; ++i) {
        const uint32_t expected = i % kWidth == 0 ? before[i] : rule(before[i], source[i]);
        ASSERT_EQ(destination[i], expected) << "pixel " << i << " source " << std::hex << source[i] << " destination "
                                            << before[i];
      }
    }
  }
}

struct Sizes {
  int32_t src_width, src_height, dst_width, dst_height;
};

// Rows have gaps after them unless gapless, which lets one-to-one walks join rows into one.
inline void ExpectFollows(const Kernel& kernel, const PixelRule& rule, Shape shape, Sizes sizes,
                          bool flipped, std::optional<uint32_t> key, uint32_t seed, bool gapless = false) {
  std::mt19937 random(seed);
  const int32_t src_pitch = sizes.src_width + (gapless ? 0 : 2);
  const int32_t dst_pitch = sizes.dst_width + (gapless ? 0 : 3);
  const std::vector<uint32_t> src =
      RandomPixels(static_cast<size_t>(src_pitch) * sizes.src_height, random, key);
  const std::vector<uint32_t> before =
      RandomPixels(static_cast<size_t>(dst_pitch) * sizes.dst_height, random, std::nullopt);
  std::vector<uint32_t> dst = before;

  const int32_t first_row = flipped ? sizes.src_height - 1 : 0;
  const uint32_t* start =
      src.data() + first_row * src_pitch + (IsMirrored(shape) ? sizes.src_width : 0);
  const int32_t pitch_bytes = (flipped ? -src_pitch : src_pitch) * 4;
  int32_t src_argument = pitch_bytes;
  if (!IsStretched(shape)) src_argument -= sizes.src_width * 4;
  const StretchStep step =
      UnclippedStep(sizes.src_width, sizes.src_height, sizes.dst_width, sizes.dst_height);
  kernel(dst.data(), start, (dst_pitch - sizes.dst_width) * 4, src_argument, sizes.dst_width, sizes.dst_height, step);

  int failures = 0;
  for (int32_t y = 0; y < sizes.dst_height; ++y) {
    int32_t source_row =
        IsStretched(shape) ? SteppedIndex(y, sizes.src_height, sizes.dst_height) : y;
    if (flipped) source_row = sizes.src_height - 1 - source_row;
    for (int32_t x = 0; x < dst_pitch; ++x) {
      const size_t at = static_cast<size_t>(y) * dst_pitch + x;
      uint32_t expected = before[at];
      if (x < sizes.dst_width) {
        int32_t column = IsStretched(shape) ? SteppedIndex(x, sizes.src_width, sizes.dst_width) : x;
        if (IsMirrored(shape)) column = sizes.src_width - 1 - column;
        const uint32_t s = src[static_cast<size_t>(source_row) * src_pitch + column];
        if (!key || s != *key) expected = rule(before[at], s);
      }
      if (dst[at] != expected && ++failures <= 5) {
        ADD_FAILURE() << std::hex << "pixel (" << std::dec << x << ", " << y << ") of "
                      << sizes.dst_width << "x" << sizes.dst_height << std::hex << ": got 0x"
                      << dst[at] << ", want 0x" << expected;
      }
    }
  }
}

// Widths 1 to 67 on flipped passes, then 10^6 pixels for the one-to-one shapes; stretched
// shapes get a set of enlargements and reductions instead.
inline void ExpectKernelFollows(const Kernel& kernel, const PixelRule& rule, Shape shape,
                                std::optional<uint32_t> key = std::nullopt) {
  if (IsStretched(shape)) {
    const Sizes pairs[] = {{2, 3, 4, 5},   {3, 2, 4, 4},    {4, 4, 2, 2},
                           {5, 5, 5, 5},   {7, 6, 3, 4},    {1, 1, 67, 3},
                           {67, 9, 13, 9}, {30, 5, 67, 11}, {100, 3, 7, 2}};
    uint32_t seed = 1;
    for (const Sizes& pair : pairs) {
      for (bool flipped : {false, true})
        ExpectFollows(kernel, rule, shape, pair, flipped, key, seed++);
    }
    return;
  }
  for (int32_t width = 1; width <= 67; ++width) {
    ExpectFollows(kernel, rule, shape, {width, 3, width, 3}, true, key,
                  static_cast<uint32_t>(width));
  }
  ExpectFollows(kernel, rule, shape, {1000, 1000, 1000, 1000}, false, key, 99);
  ExpectFollows(kernel, rule, shape, {37, 5, 37, 5}, false, key, 100, true);
}

// Kernels with an 8-bit mask beside the source. Each row argument is a skip or a full pitch, as
// the kernel takes it; row y is the y-th row walked, whose pixels a rule may look up by (x, y).
enum class RowArgument { kSkip, kPitch };
using MaskedKernel = std::function<void(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int32_t dst_rows,
                                        int32_t src_rows, int32_t mask_rows, int32_t width, int32_t height)>;
using MaskedRule = std::function<uint32_t(uint32_t d, uint32_t s, uint8_t m, int32_t x, int32_t y)>;

inline void ExpectMaskedFollows(const MaskedKernel& kernel, const MaskedRule& rule, RowArgument rows, int32_t width,
                                int32_t height, bool flipped, uint32_t seed) {
  std::mt19937 random(seed);
  const int32_t dst_pitch = width + 3;
  const int32_t src_pitch = width + 1;
  const int32_t mask_pitch = width + 5;
  const std::vector<uint32_t> before =
      RandomPixels(static_cast<size_t>(dst_pitch) * height, random, std::nullopt);
  const std::vector<uint32_t> src = RandomPixels(static_cast<size_t>(src_pitch) * height, random, std::nullopt);
  std::vector<uint8_t> mask(static_cast<size_t>(mask_pitch) * height);
  for (uint8_t& m : mask) {
    const uint32_t r = static_cast<uint32_t>(random());
    m = static_cast<uint8_t>(r % 4 == 0 ? 0 : (r % 4 == 1 ? 255 : r >> 8));
  }
  std::vector<uint32_t> dst = before;
  const int32_t first_row = flipped ? height - 1 : 0;
  const auto argument = [&](int32_t pitch, int32_t bytes_per_pixel) {
    const int32_t signed_pitch = (flipped ? -pitch : pitch) * bytes_per_pixel;
    return rows == RowArgument::kPitch ? signed_pitch : signed_pitch - width * bytes_per_pixel;
  };
  kernel(dst.data() + first_row * dst_pitch, src.data() + first_row * src_pitch,
         mask.data() + first_row * mask_pitch, argument(dst_pitch, 4), argument(src_pitch, 4),
         argument(mask_pitch, 1), width, height);
  int failures = 0;
  for (int32_t walked = 0; walked < height; ++walked) {
    const int32_t y = flipped ? height - 1 - walked : walked;
    for (int32_t x = 0; x < dst_pitch; ++x) {
      const size_t at = static_cast<size_t>(y) * dst_pitch + x;
      const uint32_t expected =
          x < width ? rule(before[at], src[static_cast<size_t>(y) * src_pitch + x],
                           mask[static_cast<size_t>(y) * mask_pitch + x], x, walked)
                    : before[at];
      if (dst[at] != expected && ++failures <= 5) {
        ADD_FAILURE() << std::hex << "pixel (" << std::dec << x << ", " << y << ") of " << width << "x" << height
                      << std::hex << ": got 0x" << dst[at] << ", want 0x" << expected;
      }
    }
  }
}

// Widths 1 to 67, flipped, then one larger unflipped rectangle.
inline void ExpectMaskedKernelFollows(const MaskedKernel& kernel, const MaskedRule& rule, RowArgument rows) {
  for (int32_t width = 1; width <= 67; ++width) {
    ExpectMaskedFollows(kernel, rule, rows, width, 3, true, static_cast<uint32_t>(width));
  }
  ExpectMaskedFollows(kernel, rule, rows, 301, 40, false, 99);
}

}  // namespace pixel_kernel_harness
