#include "base/numbers/bit_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(BitArray, TenBitsLiveInTwoBytes) {
  CBitArray bits;
  ASSERT_EQ(bits.Resize(10), CBitArray::kOk);
  EXPECT_EQ(bits.BitCount(), 10u);
  EXPECT_EQ(bits.ByteCount(), 2u);
  EXPECT_EQ(bits.SetBit(10, true), CBitArray::kOutOfRange);
  EXPECT_FALSE(bits.TestBit(10));

  for (std::uint32_t i = 0; i < 10; ++i) {
    EXPECT_FALSE(bits.AllSet()) << i;
    ASSERT_EQ(bits.SetBit(i, true), CBitArray::kOk);
  }
  EXPECT_TRUE(bits.AllSet());
  EXPECT_EQ(bits.CountBits(), 10u);
  EXPECT_EQ(std::vector<std::uint8_t>(bits.Bytes().begin(), bits.Bytes().end()), (std::vector<std::uint8_t>{0xFF, 0x03}));

  ASSERT_EQ(bits.SetBit(9, false), CBitArray::kOk);
  EXPECT_FALSE(bits.TestBit(9));
  EXPECT_TRUE(bits.TestBit(8));
  EXPECT_FALSE(bits.AllSet());
}

TEST(BitArray, WholeBytesAndResizing) {
  CBitArray bits;
  ASSERT_EQ(bits.Resize(16), CBitArray::kOk);
  const std::uint8_t full[] = {0xFF, 0xFF};
  ASSERT_EQ(bits.LoadBytes(full), CBitArray::kOk);
  EXPECT_TRUE(bits.AllSet());

  // A count of 0 changes nothing; a new count clears every bit.
  EXPECT_EQ(bits.Resize(0), CBitArray::kEmpty);
  EXPECT_EQ(bits.CountBits(), 16u);
  ASSERT_EQ(bits.Resize(9), CBitArray::kOk);
  EXPECT_EQ(bits.CountBits(), 0u);
  EXPECT_EQ(bits.ByteCount(), 2u);
}

TEST(BitArray, LoadBytesChecksItsSource) {
  CBitArray bits;
  const std::uint8_t source[] = {0x01, 0x80, 0xFF};
  EXPECT_EQ(bits.LoadBytes(source), CBitArray::kCannotLoad);
  ASSERT_EQ(bits.Resize(10), CBitArray::kOk);
  EXPECT_EQ(bits.LoadBytes(source), CBitArray::kCannotLoad);
  EXPECT_EQ(bits.LoadBytes({}), CBitArray::kCannotLoad);
  ASSERT_EQ(bits.LoadBytes({source, 2}), CBitArray::kOk);
  EXPECT_TRUE(bits.TestBit(0));
  EXPECT_FALSE(bits.TestBit(1));
  // Bit 15 lies beyond the ten bits, yet CountBits counts every bit of the bytes.
  EXPECT_FALSE(bits.TestBit(15));
  EXPECT_EQ(bits.CountBits(), 2u);
  ASSERT_EQ(bits.LoadBytes({source, 1}), CBitArray::kOk);
  EXPECT_EQ(bits.Bytes()[1], 0x80);
}

TEST(BitArray, EmptyArrayRefusesEverything) {
  CBitArray bits;
  EXPECT_EQ(bits.SetBit(0, true), CBitArray::kEmpty);
  EXPECT_FALSE(bits.TestBit(0));
  EXPECT_FALSE(bits.AllSet());
  EXPECT_EQ(bits.CountBits(), 0u);
  ASSERT_EQ(bits.Resize(3), CBitArray::kOk);
  ASSERT_EQ(bits.SetBit(2, true), CBitArray::kOk);
  bits.Clear();
  EXPECT_EQ(bits.BitCount(), 0u);
  EXPECT_EQ(bits.ByteCount(), 0u);
  EXPECT_EQ(bits.SetBit(2, true), CBitArray::kEmpty);
}

}  // namespace
