#include "base/files/lzss_coder.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
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

// Inputs with long repeats: runs of short patterns over a small alphabet, whose strings the
// tree often holds already (whole or to 17 bytes), and noise with earlier stretches copied in.
Bytes Repeats(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes data;
  while (data.size() < size) {
    if (random() % 4 == 0 && data.size() > 100) {
      const std::size_t from = random() % data.size();
      const std::size_t length = random() % 3000;
      for (std::size_t k = 0; k < length; ++k) data.push_back(data[from + k % (data.size() - from)]);
      continue;
    }
    Bytes pattern(1 + random() % 24);
    for (auto& byte : pattern) byte = static_cast<std::uint8_t>(random() % 3);
    const std::size_t length = random() % 400;
    for (std::size_t k = 0; k < length; ++k) data.push_back(pattern[k % pattern.size()]);
    for (std::size_t k = random() % 8; k > 0; --k) data.push_back(static_cast<std::uint8_t>(random()));
  }
  data.resize(size);
  return data;
}

std::uint64_t Fnv1a(const Bytes& bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3u;
  return hash;
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

// The matcher's choice among equal matches follows the shape of its search tree; these packed
// forms (size and hash) come from the first, plain implementation of that tree.
TEST(LzssCoder, LargeInputsPackIntoTheTreeMatchersBytes) {
  Bytes two_valued = Noise(1 << 18, 4);
  for (auto& byte : two_valued) byte &= 1;
  const struct {
    const char* name;
    Bytes input;
    std::size_t packed_size;
    std::uint64_t packed_hash;
  } cases[] = {
      {"text-like", Compressible(1 << 20, 21), 175631, 0x2E244E8CAD8E1207u},
      {"repeats", Repeats(1 << 20, 1), 162395, 0x5E50C084FE0B58CFu},
      {"shorter repeats", Repeats(300000, 2), 46756, 0x4C427A7A214F21D2u},
      {"two values", two_valued, 45341, 0x764C148D23716339u},
  };
  auto coder = std::make_unique<CLzssCoder>();
  for (const auto& sample : cases) {
    Bytes packed;
    ASSERT_EQ(coder->Encode(sample.input, packed), CLzssCoder::kEncodePacked) << sample.name;
    EXPECT_EQ(packed.size(), sample.packed_size) << sample.name;
    EXPECT_EQ(Fnv1a(packed), sample.packed_hash) << sample.name;
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

// The unpacking as the format defines it: every byte passes through a 4096-byte ring that
// starts as zeros, and a match names a ring position. Returns the output, or nothing when the
// packed data ends first.
std::optional<Bytes> RingDecode(const Bytes& packed, std::size_t output_size) {
  std::vector<std::uint8_t> ring(4096, 0);
  std::uint32_t r = 4096 - 18;
  Bytes output;
  std::size_t in = 0;
  unsigned flags = 0;
  const auto put = [&](std::uint8_t byte) {
    output.push_back(byte);
    ring[r] = byte;
    r = (r + 1) & 4095;
  };
  while (output.size() < output_size) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (in >= packed.size()) return std::nullopt;
      flags = packed[in++] | 0xFF00u;
    }
    if ((flags & 1) != 0) {
      if (in >= packed.size()) return std::nullopt;
      put(packed[in++]);
      continue;
    }
    if (in + 2 > packed.size()) return std::nullopt;
    const std::uint32_t position = packed[in] | ((packed[in + 1] & 0xF0u) << 4);
    const std::uint32_t length = (packed[in + 1] & 0x0Fu) + 3;
    in += 2;
    for (std::uint32_t k = 0; k < length && output.size() < output_size; ++k) put(ring[(position + k) & 4095]);
  }
  return output;
}

// Packed items written by hand, so that matches can sit at any distance.
class PackedWriter {
 public:
  void Literal(std::uint8_t byte) {
    Item();
    packed_[flag_at_] |= static_cast<std::uint8_t>(1u << bit_);
    packed_.push_back(byte);
    ++written_;
    ++bit_;
  }
  // A match `distance` bytes back from the next byte to be written (1 to 4096).
  void Match(std::uint32_t distance, std::uint32_t length) {
    Item();
    const std::uint32_t position = (4096 - 18 + static_cast<std::uint32_t>(written_) - distance) & 4095;
    packed_.push_back(static_cast<std::uint8_t>(position));
    packed_.push_back(static_cast<std::uint8_t>(((position >> 4) & 0xF0) | (length - 3)));
    written_ += length;
    ++bit_;
  }
  const Bytes& Packed() const { return packed_; }
  std::size_t Written() const { return written_; }

 private:
  void Item() {
    if (bit_ < 8) return;
    flag_at_ = packed_.size();
    packed_.push_back(0);
    bit_ = 0;
  }
  Bytes packed_;
  std::size_t flag_at_ = 0;
  unsigned bit_ = 8;
  std::size_t written_ = 0;
};

// Unpacks the writer's items at every output size of their last `last_bytes` bytes (each cuts
// the last items short at another point) as the ring does.
void ExpectUnpacksAsThroughTheRing(const PackedWriter& writer, std::size_t last_bytes) {
  for (std::size_t size = writer.Written() - last_bytes; size <= writer.Written(); ++size) {
    const std::optional<Bytes> expected = RingDecode(writer.Packed(), size);
    ASSERT_TRUE(expected.has_value());
    Bytes unpacked;
    ASSERT_EQ(CLzssCoder::Decode(writer.Packed(), size, unpacked), CLzssCoder::kDecodeDone) << size;
    ASSERT_EQ(unpacked, *expected) << size;
  }
}

TEST(LzssCoder, MatchesAtEveryDistanceUnpackAsThroughTheRing) {
  std::mt19937 random(5);
  PackedWriter writer;
  // Matches that reach before the output's start, into the ring's first zeros.
  for (std::uint32_t distance : {1u, 2u, 17u, 18u, 19u, 100u, 4078u, 4096u}) writer.Match(distance, 18);
  while (writer.Written() < 5000) writer.Literal(static_cast<std::uint8_t>(random()));
  for (std::uint32_t distance = 1; distance <= 4096; ++distance) {
    writer.Match(distance, 3 + distance % 16);
    if (distance % 3 == 0) writer.Literal(static_cast<std::uint8_t>(random()));
  }
  ExpectUnpacksAsThroughTheRing(writer, 40);
}

TEST(LzssCoder, RandomPackedDataUnpacksAsThroughTheRing) {
  std::mt19937 random(9);
  for (int round = 0; round < 200; ++round) {
    Bytes packed(static_cast<std::size_t>(random() % 3000));
    // Few literals, so that most items are matches, many reaching before the output.
    for (std::uint8_t& byte : packed) byte = static_cast<std::uint8_t>(random() & (round % 2 == 0 ? 0x11 : 0xFF));
    const std::size_t size = 1 + random() % 20000;
    const std::optional<Bytes> expected = RingDecode(packed, size);
    Bytes unpacked;
    const unsigned status = CLzssCoder::Decode(packed, size, unpacked);
    ASSERT_EQ(status, expected ? CLzssCoder::kDecodeDone : CLzssCoder::kDecodeTruncated) << round;
    if (expected) {
      ASSERT_EQ(unpacked, *expected) << round;
    }
  }
}

// Groups of every mix of literal runs and near matches, with the output ending at every point
// of the last few hundred bytes, where whole groups stop being unpacked together.
TEST(LzssCoder, LiteralRunsAndNearMatchesUnpackAsThroughTheRing) {
  std::mt19937 random(11);
  PackedWriter writer;
  while (writer.Written() < 3000) {
    for (auto run = random() % 10; run > 0; --run) writer.Literal(static_cast<std::uint8_t>(random()));
    writer.Match(1 + static_cast<std::uint32_t>(random() % 24), 3 + static_cast<std::uint32_t>(random() % 16));
  }
  const Bytes& packed = writer.Packed();
  ExpectUnpacksAsThroughTheRing(writer, 300);
  // Cut inside the last groups: the packed data ends first.
  for (std::size_t cut = 1; cut <= 40; ++cut) {
    const Bytes shorter(packed.begin(), packed.end() - static_cast<std::ptrdiff_t>(cut));
    Bytes unpacked;
    ASSERT_EQ(CLzssCoder::Decode(shorter, writer.Written(), unpacked), CLzssCoder::kDecodeTruncated) << cut;
  }
}

// Streams that sit at the edges of the unpacking's fast path: matches that overlap their own
// output (one byte back, just short of and at the nearest distance one copy serves), matches
// whose ring positions wrap from 4095 to 0, a stream whose last flag group is cut short by the
// output's end, and the same streams truncated. Each is long enough for whole groups to take the
// fast path, and is checked at every output size of its last hundred bytes.
TEST(LzssCoder, EdgesOfTheFastPathUnpackAsThroughTheRing) {
  struct Case {
    const char* name;
    std::function<void(PackedWriter&, std::mt19937&)> item;
  };
  const std::vector<Case> cases{
      {"a match one byte back", [](PackedWriter& w, std::mt19937&) { w.Match(1, 18); }},
      {"a match overlapping by one byte", [](PackedWriter& w, std::mt19937& r) { w.Match(17, 18 - r() % 2); }},
      {"matches around the nearest one copy serves",
       [](PackedWriter& w, std::mt19937& r) { w.Match(15 + static_cast<std::uint32_t>(r() % 3), 18); }},
      {"matches across the ring's wrap",
       [](PackedWriter& w, std::mt19937& r) {
         // Ring position 4090 to 4095 at the match's start: its bytes run on from position 0.
         const auto start = static_cast<std::uint32_t>(4090 + r() % 6);
         const std::uint32_t write = (4096 - 18 + static_cast<std::uint32_t>(w.Written())) & 4095;
         w.Match(((write - start - 1) & 4095) + 1, 18);
       }},
      {"literals and far matches", [](PackedWriter& w, std::mt19937& r) {
         if (r() % 2 == 0) return w.Literal(static_cast<std::uint8_t>(r()));
         w.Match(18 + static_cast<std::uint32_t>(r() % 3000), 3 + static_cast<std::uint32_t>(r() % 16));
       }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(13);
    PackedWriter writer;
    while (writer.Written() < 6000) {
      writer.Literal(static_cast<std::uint8_t>(random()));
      c.item(writer, random);
    }
    // Most sizes end inside a flag group: the output is full before the group's eight items are.
    ExpectUnpacksAsThroughTheRing(writer, 100);
    // An exactly sized copy lets the address sanitizer see any read past the cut.
    const Bytes& packed = writer.Packed();
    for (const std::size_t cut : {std::size_t{1}, std::size_t{2}, std::size_t{17}, std::size_t{49}}) {
      auto shorter = std::make_unique<std::uint8_t[]>(packed.size() - cut);
      std::copy(packed.begin(), packed.end() - static_cast<std::ptrdiff_t>(cut), shorter.get());
      Bytes unpacked;
      ASSERT_EQ(CLzssCoder::Decode({shorter.get(), packed.size() - cut}, writer.Written(), unpacked),
                CLzssCoder::kDecodeTruncated)
          << cut;
    }
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
