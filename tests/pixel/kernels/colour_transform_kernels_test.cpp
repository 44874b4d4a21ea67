#include "pixel/kernels/colour_transform_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"
#include "weighted_rules.h"

namespace {

using pixel_kernel_harness::RandomPixels;
using pixel_kernel_harness::RowArgument;
using weighted_rules::Byte;
using weighted_rules::Product;

using InPlaceKernel = std::function<void(uint32_t* first, int32_t row_argument, int32_t width, int32_t height)>;
using InPlaceRule = std::function<uint32_t(uint32_t p)>;

// Runs the kernel on random pixels, bottom row first (a negative skip or pitch), for widths 1 to
// 67, and compares every pixel, padding included, with the rule.
void ExpectInPlaceFollows(const InPlaceKernel& kernel, const InPlaceRule& rule, RowArgument rows,
                          std::optional<uint32_t> key = std::nullopt) {
  for (int32_t width = 1; width <= 67; ++width) {
    std::mt19937 random(static_cast<uint32_t>(width));
    const int32_t height = 3;
    const int32_t pitch = width + 2;
    const std::vector<uint32_t> before = RandomPixels(static_cast<size_t>(pitch) * height, random, key);
    std::vector<uint32_t> pixels = before;
    const int32_t signed_pitch = -pitch * 4;
    kernel(pixels.data() + (height - 1) * pitch,
           rows == RowArgument::kPitch ? signed_pitch : signed_pitch - width * 4, width, height);
    int failures = 0;
    for (size_t at = 0; at < pixels.size(); ++at) {
      const bool inside = static_cast<int32_t>(at % static_cast<size_t>(pitch)) < width;
      const uint32_t expected = inside && (!key || before[at] != *key) ? rule(before[at]) : before[at];
      if (pixels[at] != expected && ++failures <= 5) {
        ADD_FAILURE() << "width " << width << " pixel " << at << std::hex << ": got 0x" << pixels[at] << ", want 0x"
                      << expected << " from 0x" << before[at];
      }
    }
  }
}

uint32_t PerColourChannel(uint32_t p, const std::function<uint32_t(uint32_t c, int channel)>& fn) {
  uint32_t result = p & 0xFF000000;
  for (int i = 0; i < 3; ++i) result |= fn(Byte(p, i), i) << (8 * i);
  return result;
}

uint32_t GreyRule(uint32_t p) {
  const uint32_t grey = (29 * Byte(p, 0) + 150 * Byte(p, 1) + 77 * Byte(p, 2)) >> 8;
  return (p & 0xFF000000) | grey << 16 | grey << 8 | grey;
}

uint32_t AdjustRule(uint32_t p, const RgbAdjustment& a) {
  const int scales[3] = {a.blue_scale, a.green_scale, a.red_scale};
  const int offsets[3] = {a.blue_offset, a.green_offset, a.red_offset};
  return PerColourChannel(p, [&](uint32_t c, int i) {
    return static_cast<uint32_t>(std::clamp((static_cast<int>(c) * scales[i] >> 7) + offsets[i], 0, 255));
  });
}

uint32_t Once(void (*kernel)(uint32_t*, int32_t, int32_t, int32_t), uint32_t p) {
  kernel(&p, 0, 1, 1);
  return p;
}

class ColourTransformKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(ColourTransformKernelsTest, LevelMembersFollowTheirFormulas) {
  const uint32_t key = 0x11223344;
  for (const uint8_t level : std::array<uint8_t, 6>{0, 1, 77, 128, 254, 255}) {
    SCOPED_TRACE(int{level});
    ExpectInPlaceFollows([&](uint32_t* p, int32_t pitch, int32_t w, int32_t h) { ScaleRgb32(p, pitch, w, h, level); },
                         [&](uint32_t p) { return PerColourChannel(p, [&](uint32_t c, int) { return Product(level, c); }); },
                         RowArgument::kPitch);
    const uint8_t colour[3] = {0x17, 0xC0, 0xFF};  // blue, green, red
    const InPlaceRule fill = [&](uint32_t p) {
      return PerColourChannel(p, [&](uint32_t c, int i) {
        return (Product(255 - level, c) + Product(colour[i], level)) & 0xFF;
      });
    };
    for (const auto kernel : {FillColorLevel32, FillColorLevel32Mmx}) {
      ExpectInPlaceFollows(
          [&](uint32_t* p, int32_t pitch, int32_t w, int32_t h) {
            kernel(p, pitch, w, h, level, colour[2], colour[1], colour[0]);
          },
          fill, RowArgument::kPitch);
    }
    for (const auto kernel : {FillColorLevel32Key, FillColorLevel32KeyMmx}) {
      ExpectInPlaceFollows(
          [&](uint32_t* p, int32_t pitch, int32_t w, int32_t h) {
            kernel(p, pitch, w, h, level, colour[2], colour[1], colour[0], key);
          },
          fill, RowArgument::kPitch, key);
    }
  }
}

TEST_F(ColourTransformKernelsTest, AddAndSubtractMembersFollowTheirFormulas) {
  using ColourKernel = void (*)(uint32_t*, int32_t, int32_t, int32_t, uint32_t);
  using KeyedColourKernel = void (*)(uint32_t*, int32_t, int32_t, int32_t, uint32_t, uint32_t);
  const uint32_t colour = 0x0080FF01;
  const uint32_t key = 0x80808080;
  const InPlaceRule add = [&](uint32_t p) {
    return PerColourChannel(p, [&](uint32_t c, int i) { return std::min(255u, c + Byte(colour, i)); });
  };
  const InPlaceRule sub = [&](uint32_t p) {
    return PerColourChannel(p, [&](uint32_t c, int i) { return c > Byte(colour, i) ? c - Byte(colour, i) : 0; });
  };
  for (const ColourKernel kernel : {AddColor32, AddColor32Mmx, SubColor32, SubColor32Mmx}) {
    const bool adds = kernel == AddColor32 || kernel == AddColor32Mmx;
    ExpectInPlaceFollows([&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { kernel(p, skip, w, h, colour); },
                         adds ? add : sub, RowArgument::kSkip);
  }
  for (const KeyedColourKernel kernel : {AddColor32Key, AddColor32KeyMmx, SubColor32Key, SubColor32KeyMmx}) {
    const bool adds = kernel == AddColor32Key || kernel == AddColor32KeyMmx;
    ExpectInPlaceFollows([&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { kernel(p, skip, w, h, colour, key); },
                         adds ? add : sub, RowArgument::kSkip, key);
  }
}

TEST_F(ColourTransformKernelsTest, GreyMembers) {
  for (auto kernel : {Grayscale32, Grayscale32Mmx}) {
    EXPECT_EQ(Once(kernel, 0x80FFFFFF), 0x80FFFFFFu);
    EXPECT_EQ(Once(kernel, 0x00FF0000), 0x004C4C4Cu);
    ExpectInPlaceFollows([&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { kernel(p, skip, w, h); }, GreyRule,
                         RowArgument::kSkip);
  }
  ExpectInPlaceFollows([&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { Grayscale32Key(p, skip, w, h, 7); },
                       GreyRule, RowArgument::kSkip, 7u);
}

TEST_F(ColourTransformKernelsTest, AdjustMembers) {
  const RgbAdjustment identity{128, 128, 128, 0, 0, 0};
  const RgbAdjustment brightest{256, 256, 256, 255, 255, 255};
  const RgbAdjustment mixed{300, 64, 65535, -40, 255, -255};
  for (auto kernel : {AdjustRgb32, AdjustRgb32Mmx}) {
    uint32_t p = 0x12345678;
    kernel(&p, 0, 1, 1, identity);
    EXPECT_EQ(p, 0x12345678u);
    kernel(&p, 0, 1, 1, brightest);
    EXPECT_EQ(p, 0x12FFFFFFu);
    for (const RgbAdjustment& adjustment : {identity, brightest, mixed}) {
      ExpectInPlaceFollows(
          [&](uint32_t* first, int32_t skip, int32_t w, int32_t h) { kernel(first, skip, w, h, adjustment); },
          [&](uint32_t pixel) { return AdjustRule(pixel, adjustment); }, RowArgument::kSkip);
    }
  }
  ExpectInPlaceFollows(
      [&](uint32_t* first, int32_t skip, int32_t w, int32_t h) { AdjustRgb32Key(first, skip, w, h, mixed, 9); },
      [&](uint32_t pixel) { return AdjustRule(pixel, mixed); }, RowArgument::kSkip, 9u);
}

TEST_F(ColourTransformKernelsTest, InvertMasksByMode) {
  const struct {
    uint8_t mode;
    uint32_t mask;
  } modes[] = {{0, 0x00FFFFFF}, {1, 0xFFFFFFFF}, {2, 0xFF000000}, {7, 0xFF000000}};
  for (const auto& mode : modes) {
    const InPlaceRule rule = [&](uint32_t p) { return p ^ mode.mask; };
    for (auto kernel : {Invert32, Invert32Mmx}) {
      ExpectInPlaceFollows([&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { kernel(p, skip, w, h, mode.mode); },
                           rule, RowArgument::kSkip);
    }
    ExpectInPlaceFollows(
        [&](uint32_t* p, int32_t skip, int32_t w, int32_t h) { Invert32Key(p, skip, w, h, mode.mode, 0x55); }, rule,
        RowArgument::kSkip, 0x55u);
  }
}

TEST_F(ColourTransformKernelsTest, ShadeColor) {
  EXPECT_EQ(ShadeColor(0x00808080, -1), 0x00404040u);
  EXPECT_EQ(ShadeColor(0, 2), 0u);
  EXPECT_EQ(ShadeColor(0x00FFFFFF, 3), 0x00FFFFFFu);
  // 0x20 << 2 stays in range; 0x90 moves 3/4 of the way up: blue rounds its step first.
  EXPECT_EQ(ShadeColor(0x00202020, 2), 0x00808080u);
  EXPECT_EQ(ShadeColor(0x00909090, 2), 0x00E3E3E1u);
  // Shifts past 8 act as 8 either way.
  EXPECT_EQ(ShadeColor(0x00123456, -40), 0u);
  EXPECT_EQ(ShadeColor(0x00123456, 40), ShadeColor(0x00123456, 8));
}

}  // namespace
