#include "platform/encoding/text_encoding.h"

#include <gtest/gtest.h>

#include "platform/encoding/sjis.h"

namespace {

using plat::SjisCodeToUnicode;
using plat::UnicodeToSjisCode;

TEST(TextEncoding, EveryMappedCodeRoundTripsThroughUnicode) {
  int mapped = 0;
  int twins = 0;
  for (unsigned code = 1; code < 0x10000; ++code) {
    const char32_t code_point = SjisCodeToUnicode(static_cast<std::uint16_t>(code));
    if (code_point == 0) continue;
    ++mapped;
    const std::uint16_t back = UnicodeToSjisCode(code_point);
    ASSERT_NE(back, 0) << std::hex << code;
    // Characters with two codes come back as the preferred twin, which maps to the same character.
    EXPECT_EQ(SjisCodeToUnicode(back), code_point) << std::hex << code;
    if (back != code) ++twins;
  }
  EXPECT_GT(mapped, 7000);
  EXPECT_GT(twins, 300);  // the IBM extension rows and their NEC-selected twins
}

TEST(TextEncoding, ExtensionRowsAndWaveDashFollowCodePage932) {
  EXPECT_EQ(SjisCodeToUnicode(0x8160), U'\uFF5E');  // "～"
  EXPECT_EQ(UnicodeToSjisCode(U'\uFF5E'), 0x8160);
  EXPECT_EQ(SjisCodeToUnicode(0x8740), U'\u2460');  // NEC row 13: circled digit one
  EXPECT_EQ(UnicodeToSjisCode(U'\u2460'), 0x8740);
  EXPECT_EQ(SjisCodeToUnicode(0xFA40), U'\u2170');  // IBM extension: small roman numeral one
  EXPECT_EQ(SjisCodeToUnicode(0xED40), U'\u7E8A');  // NEC-selected IBM extension
  EXPECT_EQ(SjisCodeToUnicode(0xFA5C), U'\u7E8A');
  EXPECT_EQ(UnicodeToSjisCode(U'\u7E8A'), 0xFA5C);
  EXPECT_EQ(SjisCodeToUnicode(0x5C), U'\\');
  EXPECT_EQ(SjisCodeToUnicode(0xB1), U'\uFF71');  // half-width katakana
}

TEST(TextEncoding, LoneBytesThatCodePage932RefusesAreUnmapped) {
  for (int byte : {0x80, 0xA0, 0xFD, 0xFE, 0xFF}) EXPECT_EQ(SjisCodeToUnicode(static_cast<std::uint16_t>(byte)), 0u) << byte;
}

// The whole-string conversions pass codes below 0x80 through without the tables; that holds only
// while the tables agree with ASCII there.
TEST(TextEncoding, CodesBelow0x80AreAsciiBothWays) {
  for (unsigned code = 0; code < 0x80; ++code) {
    EXPECT_EQ(SjisCodeToUnicode(static_cast<std::uint16_t>(code)), code) << code;
    if (code != 0) {
      EXPECT_EQ(UnicodeToSjisCode(code), code) << code;
    }
  }
  const std::string ascii("\x01\\~ \0\x7f", 6);
  EXPECT_EQ(plat::SjisToUtf8(ascii), ascii);
  EXPECT_EQ(plat::Utf8ToSjis(ascii), ascii);
}

TEST(TextEncoding, StringsConvertBothWays) {
  const std::string sjis = "SCRIPT\\\x93\xfa\x96\x7b\x8c\xea.SOB";  // 日本語
  const std::string utf8 = plat::SjisToUtf8(sjis);
  EXPECT_EQ(utf8, "SCRIPT\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.SOB");
  EXPECT_EQ(plat::Utf8ToSjis(utf8), sjis);
}

TEST(TextEncoding, BrokenInputBecomesVisibleReplacements) {
  // A cut-off lead byte, a refused single byte and a pair with no character.
  EXPECT_EQ(plat::SjisToUtf8("a\x82"), "a\xef\xbf\xbd");
  EXPECT_EQ(plat::SjisToUtf8("\x80z"), "\xef\xbf\xbdz");
  EXPECT_EQ(plat::SjisToUtf8("\x85\x40"), "\xef\xbf\xbd");
  // A lead byte followed by a byte that cannot trail is replaced alone.
  EXPECT_EQ(plat::SjisToUtf8("\x82\x20x"), "\xef\xbf\xbd x");
  // Malformed UTF-8, a character outside code page 932 and an encoded surrogate.
  EXPECT_EQ(plat::Utf8ToSjis("\xc3"), "?");
  EXPECT_EQ(plat::Utf8ToSjis("\xf0\x9f\x98\x80!"), "?!");
  EXPECT_EQ(plat::Utf8ToSjis("\xed\xa0\x80"), "???");
  EXPECT_EQ(plat::Utf8ToSjis(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SjisHelpers, LeadByteRanges) {
  EXPECT_TRUE(plat::IsSjisLeadByte(0x81));
  EXPECT_TRUE(plat::IsSjisLeadByte(0xA0));
  EXPECT_TRUE(plat::IsSjisLeadByte(0xFE));
  EXPECT_FALSE(plat::IsSjisLeadByte(0x80));
  EXPECT_FALSE(plat::IsSjisLeadByte(0xFF));
  EXPECT_TRUE(plat::IsSjisStrictLeadByte(0x9F));
  EXPECT_FALSE(plat::IsSjisStrictLeadByte(0xA0));
  EXPECT_FALSE(plat::IsSjisStrictLeadByte(0xDF));
  EXPECT_TRUE(plat::IsSjisStrictLeadByte(0xE0));
  EXPECT_TRUE(plat::IsSjisStrictLeadByte(0xFC));
  EXPECT_FALSE(plat::IsSjisStrictLeadByte(0xFD));
}

TEST(SjisHelpers, StepNeverPassesTheTerminatingZero) {
  const char text[] = "a\x82\xa0" "b\x82";
  const char* p = text;
  p = plat::SjisNext(p);
  EXPECT_EQ(p, text + 1);
  p = plat::SjisNext(p);
  EXPECT_EQ(p, text + 3);
  p = plat::SjisNext(p);
  EXPECT_EQ(p, text + 4);
  p = plat::SjisNext(p);  // a lead byte just before the end is one byte
  EXPECT_EQ(p, text + 5);
  EXPECT_EQ(*p, '\0');
}

}  // namespace
