#include "pixel/kernels/alpha_level_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "every_over_pair.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"
#include "weighted_rules.h"

namespace {

using namespace pixel_kernel_harness;
namespace rules = weighted_rules;

using LevelRowKernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const uint8_t*);
using LevelRowStretchKernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, const uint8_t*,
                                       const StretchStep&);
using MaskKernel = void (*)(uint32_t*, const uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t,
                            const uint8_t*);

const uint8_t* Row(uint8_t level) { return g_PixelTables.product[level]; }

uint32_t Once(LevelRowKernel kernel, uint32_t d, uint32_t s, uint8_t level) {
  kernel(&d, &s, 0, 0, 1, 1, Row(level));
  return d;
}

struct AlphaLevelFamily {
  const char* name;
  LevelRowKernel one;
  LevelRowStretchKernel stretch;
  uint32_t (*rule)(uint32_t d, uint32_t s, uint32_t level);
};

uint32_t BlendRule(uint32_t d, uint32_t s, uint32_t l) { return rules::Blend(d, s, rules::W(rules::Product(l, s >> 24))); }
uint32_t AddRule(uint32_t d, uint32_t s, uint32_t l) { return rules::Add(d, s, rules::W(rules::Product(l, s >> 24))); }
uint32_t SubRule(uint32_t d, uint32_t s, uint32_t l) { return rules::Sub(d, s, rules::W(rules::Product(l, s >> 24))); }
uint32_t OverRule(uint32_t d, uint32_t s, uint32_t l) { return rules::Over(d, s, rules::Product(l, s >> 24)); }

const AlphaLevelFamily kFamilies[] = {
    {"BlendAlphaLevel32", BlendAlphaLevel32, BlendAlphaLevel32Stretch, BlendRule},
    {"BlendAlphaLevel32Mmx", BlendAlphaLevel32Mmx, BlendAlphaLevel32StretchMmx, BlendRule},
    {"AddAlphaLevel32", AddAlphaLevel32, AddAlphaLevel32Stretch, AddRule},
    {"AddAlphaLevel32Mmx", AddAlphaLevel32Mmx, AddAlphaLevel32StretchMmx, AddRule},
    {"SubAlphaLevel32", SubAlphaLevel32, SubAlphaLevel32Stretch, SubRule},
    {"SubAlphaLevel32Mmx", SubAlphaLevel32Mmx, SubAlphaLevel32StretchMmx, SubRule},
    {"BlendOver32", BlendOver32, BlendOver32Stretch, OverRule},
    {"BlendOver32Mmx", BlendOver32Mmx, BlendOver32StretchMmx, OverRule},
};

constexpr std::array<uint8_t, 5> kLevels{0, 1, 77, 128, 255};

class AlphaLevelKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
};

bool IsVector(const char* name) { return std::string_view(name).ends_with("Mmx"); }

void ExpectAlphaWeightedMembersFollow(bool vector_only) {
  for (const AlphaLevelFamily& family : kFamilies) {
    if (vector_only && !IsVector(family.name)) continue;
    for (const uint8_t level : kLevels) {
      SCOPED_TRACE(std::string(family.name) + " at level " + std::to_string(level));
      const PixelRule rule = [&](uint32_t d, uint32_t s) { return family.rule(d, s, level); };
      ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
                              const StretchStep&) { family.one(d, s, ds, ss, w, h, Row(level)); },
                          rule, Shape::kOneToOne);
      ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
                              const StretchStep& step) { family.stretch(d, s, ds, sp, w, h, Row(level), step); },
                          rule, Shape::kStretched);
      // Runs of clear source pixels, which the vector members step over.
      ExpectRunsFollow([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w,
                           int32_t h) { family.one(d, s, ds, ss, w, h, Row(level)); },
                       rule);
    }
  }
}

void ExpectScaledMembersFollow(bool vector_only) {
  using ScaledKernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, uint8_t);
  using ScaledStretchKernel = void (*)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t, uint8_t,
                                       const StretchStep&);
  const struct {
    ScaledKernel kernel;
    ScaledStretchKernel stretch;
    bool add;
    bool vector;
  } members[] = {{AddScaled32, AddScaled32Stretch, true, false},
                 {AddScaled32Mmx, AddScaled32StretchMmx, true, true},
                 {SubScaled32, SubScaled32Stretch, false, false},
                 {SubScaled32Mmx, SubScaled32StretchMmx, false, true}};
  for (const auto& member : members) {
    if (vector_only && !member.vector) continue;
    for (const uint8_t level : kLevels) {
      SCOPED_TRACE(level);
      const PixelRule rule = [&](uint32_t d, uint32_t s) {
        return member.add ? rules::Add(d, s, rules::W(level)) : rules::Sub(d, s, rules::W(level));
      };
      ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
                              const StretchStep&) { member.kernel(d, s, ds, ss, w, h, level); },
                          rule, Shape::kOneToOne);
      ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t sp, int32_t w, int32_t h,
                              const StretchStep& step) { member.stretch(d, s, ds, sp, w, h, level, step); },
                          rule, Shape::kStretched);
    }
  }
}

TEST_F(AlphaLevelKernelsTest, AlphaWeightedMembersFollowTheirFormulas) { ExpectAlphaWeightedMembersFollow(false); }

TEST_F(AlphaLevelKernelsTest, ScaledMembersFollowTheirFormulas) { ExpectScaledMembersFollow(false); }

TEST_F(AlphaLevelKernelsTest, Avx2FormsFollowTheFormulas) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  ExpectAlphaWeightedMembersFollow(true);
  ExpectScaledMembersFollow(true);
}

TEST_F(AlphaLevelKernelsTest, ScaledAddAtTheEndLevels) {
  for (auto kernel : {AddScaled32, AddScaled32Mmx}) {
    uint32_t d = 0x80406080;
    const uint32_t s = 0xFFC0C040;
    kernel(&d, &s, 0, 0, 1, 1, 0);
    EXPECT_EQ(d, 0x80406080u);
    kernel(&d, &s, 0, 0, 1, 1, 255);
    EXPECT_EQ(d, 0x80FFFFC0u);
  }
}

TEST_F(AlphaLevelKernelsTest, OverAtFullLevel) {
  for (auto kernel : {BlendOver32, BlendOver32Mmx}) {
    EXPECT_EQ(Once(kernel, 0x80123456, 0xFFABCDEF, 255), 0xFFABCDEFu);
    EXPECT_EQ(Once(kernel, 0x00123456, 0x00ABCDEF, 255), 0x00ABCDEFu);
    EXPECT_EQ(Once(kernel, 0x80123456, 0x80ABCDEF, 255) >> 24, 192u);
  }
}

// The vector member works out the share and the alpha in its lanes: at every pair of
// destination and source alpha, one to one and stretched at the unit step, it gives the plain
// member's pixels.
void ExpectOverMemberMatchesPlainAtEveryPair() {
  using namespace every_over_pair;
  const Images images = MakeImages();
  const StretchStep unit = UnclippedStep(kWidth, kHeight, kWidth, kHeight);
  for (const uint8_t level : kOverLevels) {
    SCOPED_TRACE(level);
    std::vector<uint32_t> plain = images.destination;
    BlendOver32(plain.data(), images.source.data(), 0, 0, kWidth, kHeight, Row(level));
    std::vector<uint32_t> vector = images.destination;
    BlendOver32Mmx(vector.data(), images.source.data(), 0, 0, kWidth, kHeight, Row(level));
    EXPECT_EQ(vector, plain);
    std::vector<uint32_t> stretched = images.destination;
    BlendOver32StretchMmx(stretched.data(), images.source.data(), 0, kWidth * 4, kWidth, kHeight, Row(level), unit);
    EXPECT_EQ(stretched, plain);
  }
}

TEST_F(AlphaLevelKernelsTest, OverVectorMemberMatchesPlainAtEveryAlphaPair) {
  ExpectOverMemberMatchesPlainAtEveryPair();
}

TEST_F(AlphaLevelKernelsTest, OverAvx2FormMatchesPlainAtEveryAlphaPair) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  ExpectOverMemberMatchesPlainAtEveryPair();
}

TEST_F(AlphaLevelKernelsTest, AlphaBlendKeepsDestinationAlpha) {
  for (auto kernel : {BlendAlphaLevel32, BlendAlphaLevel32Mmx}) {
    EXPECT_EQ(Once(kernel, 0x40123456, 0x00ABCDEF, 255), 0x40123456u);
    EXPECT_EQ(Once(kernel, 0x40123456, 0xFFABCDEF, 255), 0x40ABCDEFu);
  }
}

void ExpectMaskMembersFollow() {
  const struct {
    MaskKernel kernel;
    bool alpha_too;
  } members[] = {{BlendMaskLevel32, false},
                 {BlendMaskLevel32Mmx, false},
                 {BlendMaskAlphaLevel32, true},
                 {BlendMaskAlphaLevel32Mmx, true}};
  for (const auto& member : members) {
    for (const uint8_t level : kLevels) {
      SCOPED_TRACE(level);
      ExpectMaskedKernelFollows(
          [&](uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t ds, int32_t ss, int32_t ms, int32_t w,
              int32_t h) { member.kernel(d, s, m, ds, ss, ms, w, h, Row(level)); },
          [&](uint32_t d, uint32_t s, uint8_t m, int32_t, int32_t) {
            const uint32_t coverage = rules::Product(level, m);
            return rules::Blend(d, s,
                                rules::W(member.alpha_too ? rules::Product(coverage, s >> 24) : coverage));
          },
          RowArgument::kSkip);
    }
  }
}

TEST_F(AlphaLevelKernelsTest, MaskMembersFollowTheirFormulas) { ExpectMaskMembersFollow(); }

TEST_F(AlphaLevelKernelsTest, MaskAvx2FormsFollowTheFormulas) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  ExpectMaskMembersFollow();
  ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
                          const StretchStep&) { BlendMaskLevel32Mmx(d, s, nullptr, ds, ss, 0, w, h, Row(200)); },
                      [](uint32_t d, uint32_t s) { return BlendRule(d, s, 200); }, Shape::kOneToOne);
}

TEST_F(AlphaLevelKernelsTest, MaskLevelWithoutMaskWeighsBySourceAlpha) {
  for (auto kernel : {BlendMaskLevel32, BlendMaskLevel32Mmx}) {
    ExpectKernelFollows([&](uint32_t* d, const uint32_t* s, int32_t ds, int32_t ss, int32_t w, int32_t h,
                            const StretchStep&) { kernel(d, s, nullptr, ds, ss, 0, w, h, Row(200)); },
                        [](uint32_t d, uint32_t s) { return BlendRule(d, s, 200); }, Shape::kOneToOne);
  }
}

}  // namespace
