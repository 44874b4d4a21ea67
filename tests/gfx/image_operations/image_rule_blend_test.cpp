// The rule transition: its level table against the algorithm written out step by step, its
// refusals, and a blend through a rule image.
#include <gtest/gtest.h>

#include <cstdint>

#include "gfx/images/image.h"
#include "gfx/images/rule_level_table.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

TEST(RuleBlend, LevelTableFollowsTheInvertedRamp) {
  BuildPixelTables();
  const uint8_t* p = g_PixelTables.product[255];
  // Progress 300 is inverted: 300 - 256 - 1 = 43 entries before a ramp of 16.
  const RuleLevelTable table = BuildRuleLevelTable(300, 16, 255);
  for (uint32_t i = 0; i < 256; ++i) {
    uint8_t expected = p[255];
    if (i < 43) {
      expected = p[0];
    } else if (i < 59) {
      expected = p[((i - 43) * 255) / 16];
    }
    ASSERT_EQ(table[i], expected) << i;
  }
  EXPECT_EQ(table[43], 0);
  EXPECT_EQ(table[58], 239);
}

TEST(RuleBlend, RefusesAndBlendsThroughTheRule) {
  BuildPixelTables();
  CImage dst, src, rule, small_rule;
  ASSERT_EQ(dst.Create(2, 1, 32, CImage::kOwnDirtyRegion), 0u);
  ASSERT_EQ(src.Create(2, 1, 32, 0), 0u);
  ASSERT_EQ(rule.Create(2, 1, 8, 0), 0u);
  ASSERT_EQ(small_rule.Create(1, 1, 8, 0), 0u);
  reinterpret_cast<uint32_t*>(src.GetPixels())[0] = 0xFFFFFFFF;
  reinterpret_cast<uint32_t*>(src.GetPixels())[1] = 0xFFFFFFFF;
  rule.GetPixels()[0] = 0;
  rule.GetPixels()[1] = 255;
  EXPECT_EQ(dst.RuleBlend(&src, &rule, 255, 513, 16, 0, 0, nullptr), 3u);
  EXPECT_EQ(dst.RuleBlend(&src, &rule, 255, 100, 512, 0, 0, nullptr), 3u);
  EXPECT_EQ(dst.RuleBlend(&src, &small_rule, 255, 100, 16, 0, 0, nullptr), 4u);
  EXPECT_EQ(dst.RuleBlend(&src, &rule, 255, 512, 16, 0, 0, nullptr), 0u);
  EXPECT_FALSE(dst.IsModified());
  // Progress 100: rule value 0 is fully through, 255 past the ramp shows nothing.
  ASSERT_EQ(dst.RuleBlend(&src, &rule, 255, 100, 16, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst.GetPixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(dst.GetPixel(1, 0) & 0xFFFFFF, 0u);
  EXPECT_TRUE(dst.IsModified());
}

}  // namespace
