#include "base/system/cpu_info.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/encoding/text_encoding.h"

namespace {

// Leaf 2 with the descriptor bytes `bytes` after the iteration count (byte 0 of EAX).
plat::CpuidLeaf DescriptorLeaf(std::initializer_list<uint8_t> bytes) {
  uint32_t registers[4] = {0x01, 0, 0, 0};
  int position = 1;
  for (const uint8_t byte : bytes) {
    registers[position / 4] |= static_cast<uint32_t>(byte) << (8 * (position % 4));
    ++position;
  }
  return plat::CpuidLeaf{registers[0], registers[1], registers[2], registers[3]};
}

TEST(CpuInfoTest, CacheDescriptorsSetTheirSizesAndALaterByteOverridesAnEarlierOne) {
  struct Case {
    std::initializer_list<uint8_t> bytes;
    uint8_t family;
    CpuCaches expected;
  };
  const Case cases[] = {
      // Pentium III: 16 KB code and data, 256 KB L2.
      {{0x03, 0x08, 0x04, 0x0C, 0x82}, 6, {0, 16, 16, 256, 0}},
      // Trace cache, data, L2 and L3 of a Pentium 4 Extreme Edition.
      {{0x70, 0x66, 0x7B, 0x22}, 15, {12, 0, 8, 512, 512}},
      // A later descriptor overrides: the last L2 byte wins.
      {{0x41, 0x45, 0x43}, 6, {0, 0, 0, 512, 0}},
      // 0x40 clears L3 on family 15 and L2 on other families.
      {{0x44, 0x23, 0x40}, 15, {0, 0, 0, 1024, 0}},
      {{0x44, 0x23, 0x40}, 6, {0, 0, 0, 0, 1024}},
      // Unknown bytes change nothing; 0x8D is a 3 MB L3.
      {{0xFF, 0xB0, 0x8D}, 15, {0, 0, 0, 0, 3072}},
  };
  for (const Case& test : cases) {
    CpuCaches caches;
    ApplyCacheDescriptors(DescriptorLeaf(test.bytes), test.family, caches);
    EXPECT_EQ(caches.l1_trace, test.expected.l1_trace);
    EXPECT_EQ(caches.l1_code, test.expected.l1_code);
    EXPECT_EQ(caches.l1_data, test.expected.l1_data);
    EXPECT_EQ(caches.l2, test.expected.l2);
    EXPECT_EQ(caches.l3, test.expected.l3);
  }
}

TEST(CpuInfoTest, ByteZeroIsTheIterationCountAndNotADescriptor) {
  plat::CpuidLeaf leaf{0x30, 0, 0, 0};  // 0x30 would be a 32 KB code cache
  CpuCaches caches;
  ApplyCacheDescriptors(leaf, 6, caches);
  EXPECT_EQ(caches.l1_code, 0u);
}

uint32_t Text(const char* four) {
  return static_cast<uint32_t>(static_cast<uint8_t>(four[0])) | static_cast<uint32_t>(static_cast<uint8_t>(four[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(four[2])) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(four[3])) << 24;
}

TEST(CpuInfoTest, AnAmdProcessorIsDecodedFromItsLeavesWithTheL2Correction) {
  // An early Duron: family 6 model 3 stepping 0 reports its L2 wrongly and gets 64 KB.
  const std::map<uint32_t, plat::CpuidLeaf> leaves = {
      {0, {1, Text("Auth"), Text("cAMD"), Text("enti")}},
      {1, {0x0630, 0x00020000, 0x1, (1u << 0) | (1u << 4) | (1u << 15) | (1u << 23) | (1u << 28)}},
      {0x80000001u, {0, 0, 0, (1u << 22) | (1u << 31)}},
      {0x80000002u, {Text("   A"), Text("MD D"), Text("uron"), Text(" Pro")}},
      {0x80000003u, {Text("cess"), Text("or\0\0"), 0, 0}},
      {0x80000004u, {0, 0, 0, 0}},
      {0x80000005u, {0, 0, 64u << 24, 64u << 24}},
      {0x80000006u, {0, 0, 1u << 16, 0}},
  };
  const CpuInfo info = DecodeProcessor([&](uint32_t leaf) -> std::optional<plat::CpuidLeaf> {
    const auto found = leaves.find(leaf);
    if (found == leaves.end()) return std::nullopt;
    return found->second;
  });
  EXPECT_EQ(info.vendor, "AuthenticAMD");
  EXPECT_EQ(info.brand, "AMD Duron Processor");
  EXPECT_EQ(info.name, "AMD Duron(Spitfire)");
  EXPECT_EQ(info.family, 6);
  EXPECT_EQ(info.model, 3);
  EXPECT_EQ(info.stepping, 0);
  EXPECT_EQ(info.caches.l1_code, 64u);
  EXPECT_EQ(info.caches.l1_data, 64u);
  EXPECT_EQ(info.caches.l2, 64u);
  EXPECT_TRUE(info.mmx && info.cmov && info.sse3 && info.mmx_ext && info.now3d);
  EXPECT_TRUE(info.htt);  // two logical processors
  EXPECT_FALSE(info.sse || info.now3d_ext || info.long_mode);
}

TEST(CpuInfoTest, WithoutCpuidOnlyTheDefaultsRemain) {
  const CpuInfo info = DecodeProcessor([](uint32_t) { return std::optional<plat::CpuidLeaf>(); });
  EXPECT_TRUE(info.vendor.empty());
  EXPECT_EQ(info.name, "Unknown");
  EXPECT_FALSE(info.fpu);
}

TEST(CpuInfoTest, TheClockIsPrintedInGigahertzFromAThousandMegahertz) {
  EXPECT_EQ(FormatCpuClock(2400), "2.40GHz");
  EXPECT_EQ(FormatCpuClock(3456), "3.45GHz");
  EXPECT_EQ(FormatCpuClock(1000), "1.00GHz");
  EXPECT_EQ(FormatCpuClock(850), "850MHz");
  EXPECT_EQ(FormatCpuClock(0), plat::Utf8ToSjis("？？MHz"));
}

TEST(CpuInfoTest, TheProcessorIsIdentifiedOnce) {
  IdentifyProcessor();
  EXPECT_EQ(IdentifyProcessor(), 2);
}

}  // namespace
