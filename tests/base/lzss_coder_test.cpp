#include "base/lzss_coder.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pack(const Bytes& input, unsigned expected_status = CLzssCoder::kEncodePacked) {
  auto coder = std::make_unique<CLzssCoder>();
  Bytes packed;
  EXPECT_EQ(coder->Encode(input, packed), expected_status);
  return packed;
}

// Text-like data: words from a small vocabulary with now and then a random byte, so that
// it packs but not trivially.
Bytes Compressible(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"the ", "quick ", "ring ", "buffer ", "match ", "\x82\xa0", "\r\n", "0123"};
  std::mt19937 random(seed);
  Bytes data;
  while (data.size() < size) {
    if (random() % 64 == 0) {
      data.push_back(static_cast<std::uint8_t>(random()));
      continue;
    }
    for (const char* c = kWords[random() % 8]; *c != '\0' && data.size() < size; ++c) {
      data.push_back(static_cast<std::uint8_t>(*c));
    }
  }
  return data;
}

Bytes Noise(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes data(size);
  for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
  return data;
}

TEST(LzssCoder, PacksRunsOfZerosIntoTheKnownBytes) {
  EXPECT_EQ(Pack(Bytes(18, 0)), (Bytes{0x00, 0xDC, 0xFF}));
  // The last two bytes are literals: a match of two is too short.
  EXPECT_EQ(Pack(Bytes(20, 0)), (Bytes{0x06, 0xDC, 0xFF, 0x00, 0x00}));
  // Matches beyond the first overlap the bytes being written.
  EXPECT_EQ(Pack(Bytes(100, 0)),
            (Bytes{0x00, 0xDC, 0xFF, 0xFF, 0xFF, 0x11, 0x0F, 0x23, 0x0F, 0x35, 0x0F, 0x47, 0x07}));
}

TEST(LzssCoder, RefusesShortAndIncompressibleInput) {
  EXPECT_TRUE(Pack(Bytes(8, 0), CLzssCoder::kEncodeNotSmaller).empty());
  // Three packed bytes are not fewer than 9 - 8.
  EXPECT_TRUE(Pack(Bytes(9, 0), CLzssCoder::kEncodeNotSmaller).empty());
  EXPECT_TRUE(Pack(Noise(5000, 7), CLzssCoder::kEncodeNotSmaller).empty());
  EXPECT_TRUE(Pack(Bytes{}, CLzssCoder::kEncodeNotSmaller).empty());
}

TEST(LzssCoder, RefusesDataWhosePackedFormReachesTheLimit) {
  // 11 and 12 zero bytes both pack into one match of 3 bytes; the limits are 3 and 4.
  EXPECT_TRUE(Pack(Bytes(11, 0), CLzssCoder::kEncodeNotSmaller).empty());
  EXPECT_EQ(Pack(Bytes(12, 0)), (Bytes{0x00, 0xDC, 0xF9}));

  // Half zeros, half noise: around the sizes where packing starts to pay, every result is
  // either a packed form under the limit that unpacks again, or a refusal with no block.
  CLzssCoder coder;
  for (std::size_t size = 9; size <= 200; ++size) {
    Bytes input(size / 2, 0);
    const Bytes noise = Noise(size - input.size(), static_cast<std::uint32_t>(size));
    input.insert(input.end(), noise.begin(), noise.end());
    Bytes packed;
    const unsigned status = coder.Encode(input, packed);
    if (status == CLzssCoder::kEncodePacked) {
      EXPECT_LT(packed.size(), size - 8) << size;
      Bytes unpacked;
      ASSERT_EQ(coder.Decode(packed, size, unpacked), CLzssCoder::kDecodeDone) << size;
      EXPECT_EQ(unpacked, input) << size;
    } else {
      EXPECT_EQ(status, CLzssCoder::kEncodeNotSmaller) << size;
      EXPECT_TRUE(packed.empty()) << size;
    }
  }
}

TEST(LzssCoder, CompressibleBuffersOfManySizesRoundTrip) {
  auto coder = std::make_unique<CLzssCoder>();
  std::vector<std::size_t> sizes;
  for (std::size_t size = 9; size < 300; ++size) sizes.push_back(size);
  for (std::size_t size : {4095u, 4096u, 4097u, 4113u, 10000u, 70000u, 300000u}) sizes.push_back(size);
  for (const std::size_t size : sizes) {
    const Bytes input = Compressible(size, static_cast<std::uint32_t>(size));
    Bytes packed;
    const unsigned status = coder->Encode(input, packed);
    // The shortest inputs may hold too few repeats to pay for their flag bytes.
    if (size < 128 && status == CLzssCoder::kEncodeNotSmaller) continue;
    ASSERT_EQ(status, CLzssCoder::kEncodePacked) << size;
    ASSERT_LT(packed.size(), size - 8);
    Bytes unpacked;
    ASSERT_EQ(coder->Decode(packed, size, unpacked), CLzssCoder::kDecodeDone) << size;
    ASSERT_EQ(unpacked, input) << size;
  }
}

TEST(LzssCoder, PacksTheSameWayWhateverTheWorkAreaHeldBefore) {
  auto used = std::make_unique<CLzssCoder>();
  Bytes ignored;
  used->Encode(Noise(50000, 3), ignored);
  used->Encode(Compressible(50000, 3), ignored);
  // A short input leaves most of the ring's mirror and look-ahead as the last use left them.
  Bytes input;
  for (int i = 0; i < 20; ++i) input.push_back(static_cast<std::uint8_t>("abc"[i % 3]));
  Bytes from_used;
  ASSERT_EQ(used->Encode(input, from_used), CLzssCoder::kEncodePacked);
  EXPECT_EQ(from_used, Pack(input));
}

TEST(LzssCoder, DecodingStopsExactlyAtTheOutputSize) {
  const Bytes packed = Pack(Bytes(100, 0));
  auto coder = std::make_unique<CLzssCoder>();
  // The last match would write further; the bytes after the output stay untouched.
  for (const std::size_t size : {1u, 17u, 18u, 19u, 50u, 100u}) {
    Bytes buffer(size + 4, 0xAA);
    ASSERT_EQ(coder->Decode(packed, buffer.data(), size), CLzssCoder::kDecodeDone);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(size)), Bytes(size, 0));
    EXPECT_EQ(Bytes(buffer.begin() + static_cast<long>(size), buffer.end()), Bytes(4, 0xAA));
  }
  // Packed bytes left over are ignored.
  Bytes longer = packed;
  longer.push_back(0x55);
  Bytes unpacked;
  EXPECT_EQ(coder->Decode(longer, 100, unpacked), CLzssCoder::kDecodeDone);
  EXPECT_EQ(unpacked, Bytes(100, 0));
}

TEST(LzssCoder, TruncatedPackedDataIsAnErrorAndNeverReadPast) {
  const Bytes input = Compressible(3000, 11);
  const Bytes packed = Pack(input);
  auto coder = std::make_unique<CLzssCoder>();
  for (std::size_t length = 0; length < packed.size(); ++length) {
    // An exactly sized copy lets the address sanitizer see any read past the end.
    auto cut = std::make_unique<std::uint8_t[]>(length);
    std::copy(packed.begin(), packed.begin() + static_cast<long>(length), cut.get());
    Bytes unpacked{1, 2, 3};
    ASSERT_EQ(coder->Decode({cut.get(), length}, input.size(), unpacked), CLzssCoder::kDecodeTruncated) << length;
    EXPECT_TRUE(unpacked.empty());
  }
}

TEST(LzssCoder, DecodeStatusesForMissingOutput) {
  CLzssCoder coder;
  const Bytes packed = Pack(Bytes(18, 0));
  Bytes unpacked{1};
  EXPECT_EQ(coder.Decode(packed, 0, unpacked), CLzssCoder::kDecodeEmptyOutput);
  EXPECT_TRUE(unpacked.empty());
  std::uint8_t byte = 0;
  EXPECT_EQ(coder.Decode(packed, &byte, 0), CLzssCoder::kDecodeEmptyOutput);
  EXPECT_EQ(coder.Decode(packed, nullptr, 18), CLzssCoder::kDecodeNoOutput);
  EXPECT_EQ(coder.Decode(packed, std::numeric_limits<std::size_t>::max(), unpacked), CLzssCoder::kDecodeNoOutput);
  EXPECT_TRUE(unpacked.empty());
}

}  // namespace
