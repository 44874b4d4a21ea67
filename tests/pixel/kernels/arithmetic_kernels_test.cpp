#include "pixel/kernels/arithmetic_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "pixel_kernel_harness.h"

namespace {

using namespace pixel_kernel_harness;

using OneToOneKeyed = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                               uint32_t);
using Stretched = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                           const StretchStep&);
using StretchedKeyed = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t,
                                const StretchStep&, uint32_t);

int Byte(uint32_t pixel, int index) { return static_cast<int>((pixel >> (8 * index)) & 0xFF); }

// Builds a pixel from a per-byte rule for the colour bytes and another for the alpha byte.
template <class Colour, class Alpha>
uint32_t PerByte(uint32_t d, uint32_t s, Colour colour, Alpha alpha) {
  uint32_t result = static_cast<uint32_t>(alpha(Byte(d, 3), Byte(s, 3)) & 0xFF) << 24;
  for (int i = 0; i < 3; ++i) {
    result |= static_cast<uint32_t>(colour(Byte(d, i), Byte(s, i))) << (8 * i);
  }
  return result;
}

uint32_t AverageRule(uint32_t d, uint32_t s) {
  return PerByte(
      d, s, [](int a, int b) { return (a + b) / 2; }, [](int a, int b) { return a & b; });
}

uint32_t AddRule(uint32_t d, uint32_t s, bool vector) {
  const auto saturated = [](int a, int b) { return std::min(255, a + b); };
  const auto wrapped = [](int a, int b) { return a + b; };
  return vector ? PerByte(d, s, saturated, saturated) : PerByte(d, s, saturated, wrapped);
}

uint32_t SubtractRule(uint32_t d, uint32_t s, bool vector) {
  const auto saturated = [](int a, int b) { return std::max(0, a - b); };
  const auto wrapped = [](int a, int b) { return a - b; };
  return vector ? PerByte(d, s, saturated, saturated) : PerByte(d, s, saturated, wrapped);
}

struct Family {
  OneToOneKernel one;
  OneToOneKeyed keyed;
  Stretched stretched;
  StretchedKeyed stretched_keyed;
};

void ExpectFamilyFollows(const Family& family, const PixelRule& rule) {
  const uint32_t key = 0x7F3366CC;
  ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w,
                          int32_t h, const StretchStep&) { family.one(d, s, ds, ss, w, h); },
                      rule, Shape::kOneToOne);
  ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w,
                          int32_t h, const StretchStep&) { family.keyed(d, s, ds, ss, w, h, key); },
                      rule, Shape::kOneToOne, key);
  ExpectKernelFollows(
      [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
          const StretchStep& step) { family.stretched(d, s, ds, sp, w, h, step); },
      rule, Shape::kStretched);
  ExpectKernelFollows(
      [&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
          const StretchStep& step) { family.stretched_keyed(d, s, ds, sp, w, h, step, key); },
      rule, Shape::kStretched, key);
}

TEST(ArithmeticKernelsTest, AverageExamplesOnBothMembers) {
  for (OneToOneKernel kernel : {Average32, Average32Mmx}) {
    EXPECT_EQ(OnePixel(kernel, 0x02000000, 0x01000000), 0u);
    EXPECT_EQ(OnePixel(kernel, 0x8899AABB, 0x8899AABB), 0x8899AABBu);
  }
}

TEST(ArithmeticKernelsTest, AddAndSubtractExamplesOnBothMembers) {
  EXPECT_EQ(OnePixel(AddSat32, 0xFF808080, 0xFF808080), 0xFEFFFFFFu);
  EXPECT_EQ(OnePixel(AddSat32Mmx, 0xFF808080, 0xFF808080), 0xFFFFFFFFu);
  EXPECT_EQ(OnePixel(SubSat32, 0x20304050, 0xF0102030), 0x30202020u);
  EXPECT_EQ(OnePixel(SubSat32Mmx, 0x20304050, 0xF0102030), 0x00202020u);
  for (OneToOneKernel kernel : {SubSat32, SubSat32Mmx}) {
    EXPECT_EQ(OnePixel(kernel, 0x40102030, 0x40203040) & 0x00FFFFFF, 0u);
  }
}

TEST(ArithmeticKernelsTest, KeyedAddLeavesKeyedPixels) {
  for (OneToOneKeyed kernel : {AddSat32Key, AddSat32KeyMmx}) {
    uint32_t d[2] = {0x10203040, 0x10203040};
    const uint32_t s[2] = {0x01010101, 0x02020202};
    kernel(d, s, 0, 0, 2, 1, 0x01010101);
    EXPECT_EQ(d[0], 0x10203040u);
    EXPECT_EQ(d[1], 0x12223242u);
  }
}

TEST(ArithmeticKernelsTest, AverageMembersFollowTheirFormula) {
  ExpectFamilyFollows({Average32, Average32Key, Average32Stretch, Average32StretchKey},
                      AverageRule);
  ExpectFamilyFollows({Average32Mmx, Average32KeyMmx, Average32StretchMmx, Average32StretchKeyMmx},
                      AverageRule);
}

TEST(ArithmeticKernelsTest, AddMembersFollowTheirFormulas) {
  ExpectFamilyFollows({AddSat32, AddSat32Key, AddSat32Stretch, AddSat32StretchKey},
                      [](uint32_t d, uint32_t s) { return AddRule(d, s, false); });
  ExpectFamilyFollows({AddSat32Mmx, AddSat32KeyMmx, AddSat32StretchMmx, AddSat32StretchKeyMmx},
                      [](uint32_t d, uint32_t s) { return AddRule(d, s, true); });
}

TEST(ArithmeticKernelsTest, SubtractMembersFollowTheirFormulas) {
  ExpectFamilyFollows({SubSat32, SubSat32Key, SubSat32Stretch, SubSat32StretchKey},
                      [](uint32_t d, uint32_t s) { return SubtractRule(d, s, false); });
  ExpectFamilyFollows({SubSat32Mmx, SubSat32KeyMmx, SubSat32StretchMmx, SubSat32StretchKeyMmx},
                      [](uint32_t d, uint32_t s) { return SubtractRule(d, s, true); });
}

TEST(ArithmeticKernelsTest, Avx2FormsFollowTheVectorFormulas) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  EXPECT_EQ(OnePixel(AddSat32Mmx, 0xFF808080, 0xFF808080), 0xFFFFFFFFu);
  EXPECT_EQ(OnePixel(SubSat32Mmx, 0x20304050, 0xF0102030), 0x00202020u);
  ExpectFamilyFollows({Average32Mmx, Average32KeyMmx, Average32StretchMmx, Average32StretchKeyMmx},
                      AverageRule);
  ExpectFamilyFollows({AddSat32Mmx, AddSat32KeyMmx, AddSat32StretchMmx, AddSat32StretchKeyMmx},
                      [](uint32_t d, uint32_t s) { return AddRule(d, s, true); });
  ExpectFamilyFollows({SubSat32Mmx, SubSat32KeyMmx, SubSat32StretchMmx, SubSat32StretchKeyMmx},
                      [](uint32_t d, uint32_t s) { return SubtractRule(d, s, true); });
}

TEST(ArithmeticKernelsTest, ZeroSizeWritesNothing) {
  uint32_t d = 0x12345678;
  const uint32_t s = 0x01010101;
  AddSat32Mmx(&d, &s, 0, 0, 0, 5);
  SubSat32Key(&d, &s, 0, 0, 3, 0, 0);
  EXPECT_EQ(d, 0x12345678u);
}

}  // namespace
