#include "pixel/kernels/blend_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <random>
#include <vector>

#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"

namespace {

using namespace pixel_kernel_harness;

uint32_t Byte(uint32_t pixel, int index) { return (pixel >> (8 * index)) & 0xFF; }

uint32_t Product(uint32_t level, uint32_t x) { return (x * level + 127) / 255; }

// The formulas each member is held to, written byte by byte.
uint32_t AlphaBlendRule(uint32_t d, uint32_t s, bool vector) {
  const uint32_t alpha = s >> 24;
  const uint32_t source_weight = alpha == 255 ? 256 : alpha;
  uint32_t destination_weight = 256 - source_weight;
  if (!vector) destination_weight = alpha == 0 ? 256 : 255 - alpha;
  uint32_t result = 0;
  for (int i = 0; i < 3; ++i) {
    const uint32_t sum = (Byte(s, i) * source_weight >> 8) + (Byte(d, i) * destination_weight >> 8);
    result |= std::min(255u, sum) << (8 * i);
  }
  return result;
}

uint32_t WeightedRule(uint32_t d, uint32_t s, uint32_t dw, uint32_t sw) {
  uint32_t result = d & 0xFF000000;
  for (int i = 0; i < 3; ++i) {
    const uint32_t sum = Product(Byte(dw, i), Byte(d, i)) + Product(Byte(sw, i), Byte(s, i));
    result |= (sum & 0xFF) << (8 * i);
  }
  return result;
}

uint32_t WeightedVectorRule(uint32_t d, uint32_t s, uint32_t dw, uint32_t sw) {
  uint32_t result = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t sum = Byte(s, i) * Byte(sw, i) + Byte(d, i) * Byte(dw, i);
    result |= (std::min(65535u, sum) >> 8) << (8 * i);
  }
  return result;
}

uint32_t LevelVectorRule(uint32_t d, uint32_t s, uint32_t level) {
  const int weight = level == 0 ? 0 : static_cast<int>(level) + 1;
  uint32_t result = d & 0xFF000000;
  for (int i = 0; i < 3; ++i) {
    const int dc = static_cast<int>(Byte(d, i));
    const int difference = static_cast<int>(Byte(s, i)) - dc;
    const int step = (difference * weight) >> 8;  // arithmetic shift: floor division
    result |= static_cast<uint32_t>(dc + step) << (8 * i);
  }
  return result;
}

uint32_t ClearAwareRule(uint32_t d, uint32_t s, uint32_t level) {
  const auto mix = [&](int i) {
    return ((Product(255 - level, Byte(d, i)) + Product(level, Byte(s, i))) & 0xFF) << (8 * i);
  };
  uint32_t colour = mix(0) | mix(1) | mix(2);
  if (Byte(s, 3) == 0)
    colour = d & 0x00FFFFFF;
  else if (Byte(d, 3) == 0)
    colour = s & 0x00FFFFFF;
  return colour | mix(3);
}

class BlendKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

TEST_F(BlendKernelsTest, AlphaBlendExamplesOnBothMembers) {
  for (auto kernel : {AlphaBlend32, AlphaBlend32Mmx}) {
    EXPECT_EQ(OnePixel(kernel, 0xFF123456, 0x00ABCDEF), 0x00123456u);
    EXPECT_EQ(OnePixel(kernel, 0xFF123456, 0xFFABCDEF), 0x00ABCDEFu);
  }
  EXPECT_EQ(OnePixel(AlphaBlend32, 0xFFFFFFFF, 0x80FFFFFF), 0x00FDFDFDu);
  EXPECT_EQ(OnePixel(AlphaBlend32Mmx, 0xFFFFFFFF, 0x80FFFFFF), 0x00FEFEFEu);
}

TEST_F(BlendKernelsTest, LevelBlendExamplesOnBothPaths) {
  const uint32_t d = 0x7F102030;
  const uint32_t s = 0x01F0E0D0;
  for (const uint8_t level : std::array<uint8_t, 2>{0, 255}) {
    uint32_t portable = d;
    uint32_t vector = d;
    const uint32_t weight = 0x010101u * level;
    BlendWeighted32(&portable, &s, 0, 0, 1, 1, 0x010101u * 255 - weight, weight);
    BlendLevel32Mmx(&vector, &s, 0, 0, 1, 1, level);
    const uint32_t colour = level == 0 ? d : s;
    EXPECT_EQ(portable, (d & 0xFF000000) | (colour & 0x00FFFFFF)) << int{level};
    EXPECT_EQ(vector, (d & 0xFF000000) | (colour & 0x00FFFFFF)) << int{level};
  }
  uint32_t portable = 0x000000FF;
  uint32_t vector = 0x000000FF;
  const uint32_t black = 0;
  BlendWeighted32(&portable, &black, 0, 0, 1, 1, 0x010101, 0xFEFEFE);
  BlendLevel32Mmx(&vector, &black, 0, 0, 1, 1, 254);
  EXPECT_EQ(portable, 0x00000001u);
  EXPECT_EQ(vector, 0u);
}

TEST_F(BlendKernelsTest, WeightedBlendCopyingTheSource) {
  uint32_t portable = 0x80112233;
  uint32_t vector = 0x80112233;
  const uint32_t s = 0x40AABBCC;
  BlendWeighted32(&portable, &s, 0, 0, 1, 1, 0, 0x00FFFFFF);
  BlendWeighted32Mmx(&vector, &s, 0, 0, 1, 1, 0, 0x00FFFFFF);
  EXPECT_EQ(portable, 0x80AABBCCu);
  // The vector twin rewrites alpha with the words' alpha weights (0) and scales by 255 / 256.
  EXPECT_EQ(vector, 0x00A9BACBu);
}

TEST_F(BlendKernelsTest, ClearAwareBlendCopiesOverTransparentDestination) {
  for (int level = 0; level < 256; level += 17) {
    uint32_t d = 0x00123456;
    const uint32_t s = 0xFFABCDEF;
    BlendLevelClearAware32(&d, &s, 0, 0, 1, 1, static_cast<uint8_t>(level));
    EXPECT_EQ(d & 0x00FFFFFF, 0x00ABCDEFu) << level;
    EXPECT_EQ(d >> 24, Product(static_cast<uint32_t>(level), 255)) << level;
  }
}

TEST_F(BlendKernelsTest, ZeroSizeWritesNothing) {
  uint32_t d = 0x12345678;
  const uint32_t s = 0xFFFFFFFF;
  const StretchStep step = UnclippedStep(1, 1, 1, 1);
  AlphaBlend32Mmx(&d, &s, 0, 0, 0, 1);
  AlphaBlend32(&d, &s, 0, 0, 1, 0);
  AlphaBlend32MirrorStretch(&d, &s + 1, 0, 4, 0, 1, step);
  BlendLevel32StretchMmx(&d, &s, 0, 4, 1, 0, step, 128);
  EXPECT_EQ(d, 0x12345678u);
}

void ExpectAlphaBlendMembersFollow(std::initializer_list<bool> vector_forms) {
  for (bool vector : vector_forms) {
    const PixelRule rule = [vector](uint32_t d, uint32_t s) {
      return AlphaBlendRule(d, s, vector);
    };
    auto one = vector ? AlphaBlend32Mmx : AlphaBlend32;
    auto mirror = vector ? AlphaBlend32MirrorMmx : AlphaBlend32Mirror;
    auto stretch = vector ? AlphaBlend32StretchMmx : AlphaBlend32Stretch;
    auto mirror_stretch = vector ? AlphaBlend32MirrorStretchMmx : AlphaBlend32MirrorStretch;
    const auto plain = [](auto kernel) {
      return Kernel([kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w,
                             int32_t h, const StretchStep&) { kernel(d, s, ds, ss, w, h); });
    };
    const auto stepped = [](auto kernel) {
      return Kernel([kernel](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w,
                             int32_t h,
                             const StretchStep& step) { kernel(d, s, ds, sp, w, h, step); });
    };
    ExpectKernelFollows(plain(one), rule, Shape::kOneToOne);
    ExpectKernelFollows(plain(mirror), rule, Shape::kMirrored);
    ExpectKernelFollows(stepped(stretch), rule, Shape::kStretched);
    ExpectKernelFollows(stepped(mirror_stretch), rule, Shape::kMirroredStretched);
  }
}

void ExpectWeightedMembersFollow(std::initializer_list<bool> vector_forms) {
  const uint32_t dw = 0x3A7F10C0;
  const uint32_t sw = 0x90FFE055;
  const uint32_t key = 0x80808080;
  for (bool vector : vector_forms) {
    const PixelRule rule = [&](uint32_t d, uint32_t s) {
      return vector ? WeightedVectorRule(d, s, dw, sw) : WeightedRule(d, s, dw, sw);
    };
    auto one = vector ? BlendWeighted32Mmx : BlendWeighted32;
    auto stretch = vector ? BlendWeighted32StretchMmx : BlendWeighted32Stretch;
    auto keyed = vector ? BlendWeighted32KeyMmx : BlendWeighted32Key;
    auto stretch_keyed = vector ? BlendWeighted32StretchKeyMmx : BlendWeighted32StretchKey;
    ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w,
                            int32_t h, const StretchStep&) { one(d, s, ds, ss, w, h, dw, sw); },
                        rule, Shape::kOneToOne);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
            const StretchStep& step) { stretch(d, s, ds, sp, w, h, step, dw, sw); },
        rule, Shape::kStretched);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
            const StretchStep&) { keyed(d, s, ds, ss, w, h, key, dw, sw); },
        rule, Shape::kOneToOne, key);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
            const StretchStep& step) { stretch_keyed(d, s, ds, sp, w, h, step, key, dw, sw); },
        rule, Shape::kStretched, key);
  }
}

void ExpectLevelMembersFollow() {
  const uint32_t key = 0x00FF00FF;
  for (const uint8_t level : std::array<uint8_t, 6>{0, 1, 77, 128, 254, 255}) {
    SCOPED_TRACE(int{level});
    const PixelRule rule = [level](uint32_t d, uint32_t s) { return LevelVectorRule(d, s, level); };
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
            const StretchStep&) { BlendLevel32Mmx(d, s, ds, ss, w, h, level); },
        rule, Shape::kOneToOne);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
            const StretchStep& step) { BlendLevel32StretchMmx(d, s, ds, sp, w, h, step, level); },
        rule, Shape::kStretched);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
            const StretchStep&) { BlendLevel32KeyMmx(d, s, ds, ss, w, h, level, key); },
        rule, Shape::kOneToOne, key);
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
            const StretchStep& step) {
          BlendLevel32StretchKeyMmx(d, s, ds, sp, w, h, step, level, key);
        },
        rule, Shape::kStretched, key);
  }
}

TEST_F(BlendKernelsTest, AlphaBlendMembersFollowTheirFormulas) { ExpectAlphaBlendMembersFollow({false, true}); }

TEST_F(BlendKernelsTest, WeightedMembersFollowTheirFormulas) { ExpectWeightedMembersFollow({false, true}); }

TEST_F(BlendKernelsTest, LevelMembersFollowTheirFormulas) { ExpectLevelMembersFollow(); }

TEST_F(BlendKernelsTest, Avx2FormsFollowTheVectorFormulas) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  EXPECT_EQ(OnePixel(AlphaBlend32Mmx, 0xFFFFFFFF, 0x80FFFFFF), 0x00FEFEFEu);
  ExpectAlphaBlendMembersFollow({true});
  ExpectWeightedMembersFollow({true});
  ExpectLevelMembersFollow();
}

TEST_F(BlendKernelsTest, RunsOfClearAndOpaquePixelsBlendAsEachPixelWould) {
  for (const bool vector : {false, true}) {
    SCOPED_TRACE(vector ? "vector" : "portable");
    ExpectRunsFollow((vector ? AlphaBlend32Mmx : AlphaBlend32),
                     [vector](uint32_t d, uint32_t s) { return AlphaBlendRule(d, s, vector); });
  }
  if (!ProcessorHasAvx2()) return;
  const Avx2Form avx2;
  ExpectRunsFollow(AlphaBlend32Mmx, [](uint32_t d, uint32_t s) { return AlphaBlendRule(d, s, true); });
}

TEST_F(BlendKernelsTest, ClearAwareBlendFollowsItsFormula) {
  for (const uint8_t level : std::array<uint8_t, 3>{0, 100, 255}) {
    SCOPED_TRACE(int{level});
    ExpectKernelFollows(
        [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
            const StretchStep&) { BlendLevelClearAware32(d, s, ds, ss, w, h, level); },
        [level](uint32_t d, uint32_t s) { return ClearAwareRule(d, s, level); }, Shape::kOneToOne);
  }
}

}  // namespace
