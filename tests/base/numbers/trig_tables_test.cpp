// The fixed-point and double cosine tables and the arctangent table.
#include "base/numbers/trig_tables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(TrigTablesTest, CosineIsExactOnTheAxesAndSymmetric) {
  const CTrigTables tables;
  EXPECT_EQ(tables.cosine[0], 65536);
  EXPECT_EQ(tables.cosine[128], 0);
  EXPECT_EQ(tables.cosine[256], -65536);
  EXPECT_EQ(tables.cosine[384], 0);
  EXPECT_EQ(tables.cosine[1], 65531);
  EXPECT_EQ(tables.cosine[64], 46340);
  EXPECT_EQ(tables.cosine[127], 804);
  for (int k = 1; k < 128; ++k) {
    EXPECT_EQ(tables.cosine[512 - k], tables.cosine[k]) << k;
    EXPECT_EQ(tables.cosine[256 - k], -tables.cosine[k]) << k;
    EXPECT_EQ(tables.cosine[256 + k], -tables.cosine[k]) << k;
  }
  // Any angle, negative ones too, reaches an entry; the sine is the cosine 128 steps earlier.
  const auto sine = [&](int angle) { return tables.cosine[static_cast<unsigned>(angle - 128) & 511]; };
  EXPECT_EQ(sine(128), 65536);
  EXPECT_EQ(sine(-128), -65536);
  EXPECT_EQ(tables.cosine[static_cast<unsigned>(-1) & 511], tables.cosine[1]);
}

TEST(TrigTablesTest, ArctangentIsInUnitsOf32768PerHalfTurn) {
  const CTrigTables tables;
  EXPECT_EQ(tables.arctangent[0], 0);
  EXPECT_EQ(tables.arctangent[1], 40);
  EXPECT_EQ(tables.arctangent[128], 4836);
  EXPECT_EQ(tables.arctangent[255], 8171);
}

TEST(TrigTablesTest, TheDoubleCosinesAreBuiltOnceOnRequest) {
  CTrigTables tables;
  EXPECT_EQ(tables.double_cosine, nullptr);
  ASSERT_TRUE(tables.EnsureCosTable());
  const double* first = tables.double_cosine.get();
  EXPECT_EQ(first[0], 1.0);
  EXPECT_EQ(first[128], 0.0);
  EXPECT_EQ(first[256], -1.0);
  EXPECT_EQ(first[384], 0.0);
  EXPECT_EQ(first[1], std::cos(M_PI / 256));
  EXPECT_EQ(first[511], first[1]);
  EXPECT_EQ(first[255], -first[1]);
  ASSERT_TRUE(tables.EnsureCosTable());
  EXPECT_EQ(tables.double_cosine.get(), first);
}

}  // namespace
