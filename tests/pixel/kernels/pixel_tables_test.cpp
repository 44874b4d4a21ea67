#include "pixel/kernels/pixel_tables.h"

#include <gtest/gtest.h>

namespace {

class PixelTablesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
  const PixelTables& tables = g_PixelTables;
};

TEST_F(PixelTablesTest, ProductIsTheRoundedScaledValue) {
  for (uint32_t level = 0; level < 256; ++level) {
    for (uint32_t x = 0; x < 256; ++x) {
      ASSERT_EQ(tables.product[level][x], (x * level + 127) / 255) << level << " " << x;
    }
  }
  EXPECT_EQ(tables.product[128][255], 128);
  EXPECT_EQ(tables.product[1][255], 1);
  for (int x = 0; x < 256; ++x) {
    EXPECT_EQ(tables.product[255][x], x);
    EXPECT_EQ(tables.product[0][x], 0);
  }
}

TEST_F(PixelTablesTest, CompositeAlphaIsOneSourceOverOneDestination) {
  for (uint32_t r = 0; r < 256; ++r) {
    for (uint32_t c = 0; c < 256; ++c) {
      ASSERT_EQ(tables.composite_alpha[r][c], 255 - (255 - r) * (255 - c) / 255);
    }
    EXPECT_EQ(tables.composite_alpha[r][255], 255);
    EXPECT_EQ(tables.composite_alpha[255][r], 255);
  }
  EXPECT_EQ(tables.composite_alpha[0][0], 0);
  EXPECT_EQ(tables.composite_alpha[0][77], 77);
}

TEST_F(PixelTablesTest, SourceShareFollowsTheExactIntegerForm) {
  for (uint32_t c = 0; c < 256; ++c) EXPECT_EQ(tables.source_share[0][c], 255) << c;
  for (uint32_t r = 1; r < 256; ++r) {
    EXPECT_EQ(tables.source_share[r][0], 0) << r;
    // An opaque source replaces whatever lies below it.
    EXPECT_EQ(tables.source_share[r][255], 255) << r;
    for (uint32_t c = 0; c < 256; ++c) {
      const double share = static_cast<double>(c) / (c + r - c * r / 255.0);
      ASSERT_EQ(tables.source_share[r][c], 65025 * c / (255 * (c + r) - c * r));
      ASSERT_NEAR(tables.source_share[r][c], 255 * share, 1.0) << r << " " << c;
    }
  }
  EXPECT_EQ(tables.source_share[255][128], 128);
}

TEST_F(PixelTablesTest, ClampAndWeights) {
  const auto clamp = [&](int index) { return tables.clamp[index + PixelTables::kClampOrigin]; };
  EXPECT_EQ(clamp(-768), 0);
  EXPECT_EQ(clamp(-1), 0);
  EXPECT_EQ(clamp(0), 0);
  EXPECT_EQ(clamp(200), 200);
  EXPECT_EQ(clamp(255), 255);
  EXPECT_EQ(clamp(256), 255);
  EXPECT_EQ(clamp(1023), 255);

  for (int lane = 0; lane < 4; ++lane) EXPECT_EQ(tables.weight[0][lane], 0);
  for (int k = 1; k < 256; ++k) {
    EXPECT_EQ(tables.weight[k][0], k + 1);
    EXPECT_EQ(tables.weight[k][1], k + 1);
    EXPECT_EQ(tables.weight[k][2], k + 1);
    EXPECT_EQ(tables.weight[k][3], 0);
  }
  EXPECT_EQ(tables.weight[255][0], 256);
}

}  // namespace
