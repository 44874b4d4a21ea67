#include "pixel/kernels/masked_colour_kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "every_over_pair.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "pixel_kernel_harness.h"
#include "weighted_rules.h"

namespace {

using namespace pixel_kernel_harness;
namespace rules = weighted_rules;

using OneColourKernel = void (*)(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, uint32_t,
                                 const uint8_t*);
using ColourListKernel = void (*)(uint32_t*, const uint8_t*, int32_t, int32_t, int32_t, int32_t, const uint32_t*,
                                  const uint8_t*);
using DrawMaskFn = bool (*)(int32_t, int32_t, uint8_t, uint8_t, uint8_t, uint32_t*, int32_t, int32_t, int32_t,
                            const uint8_t*, int32_t, int32_t, int32_t);

enum class Rule { kBlend, kAdd, kSub, kOver };

uint32_t Expected(Rule rule, uint32_t d, uint32_t colour, uint8_t m, uint8_t level) {
  const uint32_t coverage = rules::Product(level, m);
  switch (rule) {
    case Rule::kBlend:
      return rules::Blend(d, colour, rules::W(coverage));
    case Rule::kAdd:
      return rules::Add(d, colour, rules::W(coverage));
    case Rule::kSub:
      return rules::Sub(d, colour, rules::W(coverage));
    case Rule::kOver:
      return rules::Over(d, colour, coverage);
  }
  return 0;
}

const uint8_t* Row(uint8_t level) { return g_PixelTables.product[level]; }

constexpr std::array<uint8_t, 4> kLevels{0, 1, 128, 255};

class MaskedColourKernelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
  void TearDown() override { g_CpuHasMmx = 0; }
};

void ExpectOneColourMembersFollow() {
  const struct {
    OneColourKernel kernel;
    Rule rule;
  } members[] = {{BlendColorMasked32, Rule::kBlend}, {BlendColorMasked32Mmx, Rule::kBlend},
                 {AddColorMasked32, Rule::kAdd},     {AddColorMasked32Mmx, Rule::kAdd},
                 {SubColorMasked32, Rule::kSub},     {SubColorMasked32Mmx, Rule::kSub},
                 {OverColorMasked32, Rule::kOver},   {OverColorMasked32Mmx, Rule::kOver}};
  const uint32_t colour = 0x00C85A17;
  for (const auto& member : members) {
    for (const uint8_t level : kLevels) {
      SCOPED_TRACE(level);
      ExpectMaskedKernelFollows(
          [&](uint32_t* d, const uint32_t*, const uint8_t* m, int32_t ds, int32_t, int32_t ms, int32_t w, int32_t h) {
            member.kernel(d, m, ds, ms, w, h, colour, Row(level));
          },
          [&](uint32_t d, uint32_t, uint8_t m, int32_t, int32_t) { return Expected(member.rule, d, colour, m, level); },
          RowArgument::kSkip);
    }
  }
}

void ExpectColourListMembersFollow() {
  const struct {
    ColourListKernel kernel;
    Rule rule;
    bool plane;
    RowArgument rows;
  } members[] = {
      {BlendColorPlaneMasked32, Rule::kBlend, true, RowArgument::kPitch},
      {BlendColorPlaneMasked32Mmx, Rule::kBlend, true, RowArgument::kSkip},
      {BlendColorRowsMasked32, Rule::kBlend, false, RowArgument::kPitch},
      {BlendColorRowsMasked32Mmx, Rule::kBlend, false, RowArgument::kSkip},
      {OverColorPlaneMasked32, Rule::kOver, true, RowArgument::kPitch},
      {OverColorPlaneMasked32Mmx, Rule::kOver, true, RowArgument::kSkip},
      {OverColorRowsMasked32, Rule::kOver, false, RowArgument::kPitch},
      {OverColorRowsMasked32Mmx, Rule::kOver, false, RowArgument::kSkip},
  };
  std::vector<uint32_t> colours(400 * 40);
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFF;
  for (const auto& member : members) {
    for (const uint8_t level : {uint8_t{77}, uint8_t{255}}) {
      int32_t width = 0;
      ExpectMaskedKernelFollows(
          [&](uint32_t* d, const uint32_t*, const uint8_t* m, int32_t ds, int32_t, int32_t ms, int32_t w, int32_t h) {
            width = w;
            member.kernel(d, m, ds, ms, w, h, colours.data(), Row(level));
          },
          [&](uint32_t d, uint32_t, uint8_t m, int32_t x, int32_t y) {
            const uint32_t colour = member.plane ? colours[static_cast<size_t>(y * width + x)] : colours[y];
            return Expected(member.rule, d, colour, m, level);
          },
          member.rows);
    }
  }
}

TEST_F(MaskedColourKernelsTest, OneColourMembersFollowTheirFormulas) { ExpectOneColourMembersFollow(); }

TEST_F(MaskedColourKernelsTest, PlaneAndRowMembersUseTheirOwnColours) { ExpectColourListMembersFollow(); }

TEST_F(MaskedColourKernelsTest, Avx2FormsFollowTheFormulas) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  ExpectOneColourMembersFollow();
  ExpectColourListMembersFollow();
}

// The vector members work out the share and the alpha in their lanes: at every pair of
// destination alpha and mask byte they give the plain members' pixels, with one colour, a
// colour per row and a colour per pixel.
void ExpectOverMembersMatchPlainAtEveryPair() {
  using namespace every_over_pair;
  const Images images = MakeImages();
  const uint32_t* plane = images.source.data();
  const struct {
    ColourListKernel plain;
    ColourListKernel vector;
  } lists[] = {{OverColorPlaneMasked32, OverColorPlaneMasked32Mmx}, {OverColorRowsMasked32, OverColorRowsMasked32Mmx}};
  for (const uint8_t level : kOverLevels) {
    SCOPED_TRACE(level);
    std::vector<uint32_t> plain = images.destination;
    OverColorMasked32(plain.data(), images.mask.data(), 0, 0, kWidth, kHeight, 0x8040C0, Row(level));
    std::vector<uint32_t> vector = images.destination;
    OverColorMasked32Mmx(vector.data(), images.mask.data(), 0, 0, kWidth, kHeight, 0x8040C0, Row(level));
    EXPECT_EQ(vector, plain);
    for (const auto& list : lists) {
      std::vector<uint32_t> plain_list = images.destination;
      list.plain(plain_list.data(), images.mask.data(), kWidth * 4, kWidth, kWidth, kHeight, plane, Row(level));
      std::vector<uint32_t> vector_list = images.destination;
      list.vector(vector_list.data(), images.mask.data(), 0, 0, kWidth, kHeight, plane, Row(level));
      EXPECT_EQ(vector_list, plain_list);
    }
  }
}

TEST_F(MaskedColourKernelsTest, OverVectorMembersMatchPlainAtEveryAlphaPair) { ExpectOverMembersMatchPlainAtEveryPair(); }

TEST_F(MaskedColourKernelsTest, OverAvx2FormsMatchPlainAtEveryAlphaPair) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "the processor has no AVX2";
  const Avx2Form avx2;
  ExpectOverMembersMatchPlainAtEveryPair();
}

TEST_F(MaskedColourKernelsTest, FullCoverageExamples) {
  const uint8_t full = 255;
  const uint8_t half = 128;
  for (auto over : {OverColorMasked32, OverColorMasked32Mmx}) {
    uint32_t d = 0x00102030;
    over(&d, &full, 0, 0, 1, 1, 0x00ABCDEF, Row(255));
    EXPECT_EQ(d, 0xFFABCDEFu);
    d = 0x00102030;
    over(&d, &half, 0, 0, 1, 1, 0x00ABCDEF, Row(255));
    EXPECT_EQ(d, 0x80ABCDEFu);
  }
  for (auto blend : {BlendColorMasked32, BlendColorMasked32Mmx}) {
    uint32_t d = 0x40102030;
    blend(&d, &full, 0, 0, 1, 1, 0x00ABCDEF, Row(0));
    EXPECT_EQ(d, 0x40102030u);
    blend(&d, &full, 0, 0, 1, 1, 0x00ABCDEF, Row(255));
    EXPECT_EQ(d, 0x40ABCDEFu);
  }
}

// A 6 x 4 destination and a 4 x 3 mask whose bytes are 255 except column 1, which is 0.
struct Glyph {
  std::vector<uint32_t> dst = std::vector<uint32_t>(6 * 4, 0x80112233);
  std::vector<uint8_t> mask = std::vector<uint8_t>(4 * 3, 255);
  Glyph() {
    for (int row = 0; row < 3; ++row) mask[static_cast<size_t>(row * 4 + 1)] = 0;
  }
  bool Draw(DrawMaskFn draw, int32_t x, int32_t y) {
    return draw(x, y, 0xAB, 0xCD, 0xEF, dst.data(), 6, 4, 6 * 4, mask.data(), 4, 3, 4);
  }
};

TEST_F(MaskedColourKernelsTest, DrawMaskClipsToTheDestination) {
  for (const uint8_t vector : std::array<uint8_t, 2>{0, 1}) {
    g_CpuHasMmx = vector;
    for (DrawMaskFn draw : {DrawMaskSolid32, DrawMaskSmooth32}) {
      SCOPED_TRACE(std::to_string(vector));
      Glyph outside;
      EXPECT_FALSE(outside.Draw(draw, -4, 0));
      EXPECT_FALSE(outside.Draw(draw, 6, 0));
      EXPECT_FALSE(outside.Draw(draw, 0, -3));
      EXPECT_FALSE(outside.Draw(draw, 0, 4));
      EXPECT_EQ(outside.dst, Glyph().dst);

      // At x = -2 and y = 2 the mask's columns 2 and 3 of rows 0 and 1 land on columns 0 and 1 of
      // rows 2 and 3.
      Glyph clipped;
      EXPECT_TRUE(clipped.Draw(draw, -2, 2));
      for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
          const uint32_t want = (y >= 2 && x <= 1) ? 0x80ABCDEF : 0x80112233;
          EXPECT_EQ(clipped.dst[static_cast<size_t>(y * 6 + x)], want) << x << "," << y;
        }
      }

      // Mask column 1 is 0: destination column 4 is left alone.
      Glyph right;
      EXPECT_TRUE(right.Draw(draw, 3, 0));
      EXPECT_EQ(right.dst[3], 0x80ABCDEFu);
      EXPECT_EQ(right.dst[4], 0x80112233u);
      EXPECT_EQ(right.dst[5], 0x80ABCDEFu);
    }
  }
}

TEST_F(MaskedColourKernelsTest, SmoothMaskWeighsByCoverage) {
  const std::array<uint8_t, 5> coverages{1, 64, 128, 200, 254};
  for (const uint8_t vector : std::array<uint8_t, 2>{0, 1}) {
    g_CpuHasMmx = vector;
    for (const uint8_t m : coverages) {
      uint32_t d = 0x7F10F080;
      DrawMaskSmooth32(0, 0, 0xAB, 0x05, 0xEF, &d, 1, 1, 4, &m, 1, 1, 1);
      uint32_t want = 0x7F000000;
      const uint32_t colour = 0x00AB05EF;
      if (vector != 0) {
        want = rules::Blend(0x7F10F080, colour, rules::W(m));
      } else {
        for (int i = 0; i < 3; ++i) {
          want |= (rules::Product(rules::Byte(colour, i), m) + rules::Product(rules::Byte(0x7F10F080, i), 255 - m))
                  << (8 * i);
        }
      }
      EXPECT_EQ(d, want) << int{m} << " vector " << int{vector};
    }
  }
}

}  // namespace
