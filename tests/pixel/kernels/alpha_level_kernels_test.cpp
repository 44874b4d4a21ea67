#include "pixel/kernels/alpha_level_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// The source alphas an AVX2 form meets in a picture: the every-pair image, and one of runs of
// clear and of opaque pixels and of alphas that change from pixel to pixel, laid out so that the
// runs start and end at every place within eight pixels.
std::vector<std::vector<uint32_t>> MixedAlphaSources(const every_over_pair::Images& pairs) {
  std::vector<uint32_t> runs = pairs.source;
  for (size_t i = 0; i < runs.size(); ++i) {
    const size_t run = i / 13 % 3;
    const uint32_t alpha = run == 0 ? 0 : (run == 1 ? 255 : static_cast<uint32_t>(i * 37) & 0xFF);
    runs[i] = (runs[i] & 0x00FFFFFF) | alpha << 24;
  }
  return {pairs.source, runs};
}

// Each alpha-weighted vector member in its AVX2 form gives exactly the pixels of its SSE2 form,
// one to one and stretched, over mixed alphas at the end levels and between.
TEST_F(AlphaLevelKernelsTest, Avx2FormsEqualTheirSse2FormsOnMixedAlpha) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  using namespace every_over_pair;
  const Images images = MakeImages();
  const StretchStep unit = UnclippedStep(kWidth, kHeight, kWidth, kHeight);
  using Draw = std::function<void(uint32_t* d, const uint32_t* s, const uint8_t* row)>;
  const std::pair<const char*, Draw> members[] = {
      {"BlendAlphaLevel32Mmx", [](auto d, auto s, auto row) { BlendAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, row); }},
      {"BlendAlphaLevel32StretchMmx",
       [&](auto d, auto s, auto row) { BlendAlphaLevel32StretchMmx(d, s, 0, kWidth * 4, kWidth, kHeight, row, unit); }},
      {"AddAlphaLevel32Mmx", [](auto d, auto s, auto row) { AddAlphaLevel32Mmx(d, s, 0, 0, kWidth, kHeight, row); }},
      {"SubAlphaLevel32StretchMmx",
       [&](auto d, auto s, auto row) { SubAlphaLevel32StretchMmx(d, s, 0, kWidth * 4, kWidth, kHeight, row, unit); }},
      {"BlendOver32Mmx", [](auto d, auto s, auto row) { BlendOver32Mmx(d, s, 0, 0, kWidth, kHeight, row); }},
      {"BlendMaskLevel32Mmx without a mask",
       [](auto d, auto s, auto row) { BlendMaskLevel32Mmx(d, s, nullptr, 0, 0, 0, kWidth, kHeight, row); }},
  };
  const auto drawn = [&](const Draw& draw, const std::vector<uint32_t>& source, uint8_t level, bool avx2) {
    std::vector<uint32_t> pixels = images.destination;
    if (avx2) {
      const Avx2Form form;
      draw(pixels.data(), source.data(), Row(level));
    } else {
      draw(pixels.data(), source.data(), Row(level));
    }
    return pixels;
  };
  for (const std::vector<uint32_t>& source : MixedAlphaSources(images)) {
    for (const auto& [name, draw] : members) {
      for (const uint8_t level : std::array<uint8_t, 5>{0, 1, 128, 254, 255}) {
        SCOPED_TRACE(std::string(name) + " at level " + std::to_string(level));
        EXPECT_EQ(drawn(draw, source, level, true), drawn(draw, source, level, false));
      }
    }
  }
}

// The vector forms work the level row out from its level: a row that is not a row of the
// product table, which they cannot, gives the pixels of the plain member.
TEST_F(AlphaLevelKernelsTest, ALevelRowOutsideTheProductTableGivesThePlainMembersPixels) {
  EXPECT_EQ(LevelOfProductRow(Row(0)), uint8_t{0});
  EXPECT_EQ(LevelOfProductRow(Row(255)), uint8_t{255});
  EXPECT_EQ(LevelOfProductRow(Row(77) + 1), std::nullopt);
  // The weights of level 77 held apart from the table, every entry but the opaque one changed.
  std::array<uint8_t, 256> row{};
  for (size_t a = 0; a < row.size(); ++a) row[a] = static_cast<uint8_t>(255 - a);
  row[255] = 77;
  ASSERT_EQ(LevelOfProductRow(row.data()), std::nullopt);
  for (const bool avx2 : {false, true}) {
    if (avx2 && !ProcessorHasAvx2()) continue;
    SCOPED_TRACE(avx2 ? "AVX2" : "SSE2");
    std::optional<Avx2Form> form;
    if (avx2) form.emplace();
    const std::pair<LevelRowKernel, LevelRowKernel> members[] = {
        {BlendAlphaLevel32Mmx, BlendAlphaLevel32}, {AddAlphaLevel32Mmx, AddAlphaLevel32}, {BlendOver32Mmx, BlendOver32}};
    for (const auto& [vector, plain] : members) {
      for (const uint32_t s : {0x00123456u, 0x40123456u, 0xFF123456u}) {
        std::array<uint32_t, 9> from_vector{};
        std::array<uint32_t, 9> from_plain{};
        from_vector.fill(0x80A0B0C0);
        from_plain.fill(0x80A0B0C0);
        const std::array<uint32_t, 9> source{s, s, s, s, s, s, s, s, s};
        vector(from_vector.data(), source.data(), 0, 0, 9, 1, row.data());
        plain(from_plain.data(), source.data(), 0, 0, 9, 1, row.data());
        EXPECT_EQ(from_vector, from_plain) << std::hex << s;
      }
    }
  }
}

}  // namespace
