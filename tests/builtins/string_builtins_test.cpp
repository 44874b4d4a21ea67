// The string built-ins 59 to 72 by number: copies and cuts at their limits, comparisons,
// conversions, case changes that keep trail bytes, the formatter's conversions and its cut, and
// destinations outside script memory.
#include "builtins/string_builtins.h"

#include <bit>
#include <string>

#include "builtin_call.h"
#include "platform/encoding/text_encoding.h"
#include "script/script_fault.h"

namespace {

using builtin_test::BuiltinCallTest;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

using StringBuiltinsTest = BuiltinCallTest;

TEST_F(StringBuiltinsTest, CopyAppendAndLength) {
  const std::uint32_t buffer = Block(32);
  EXPECT_EQ(Call(59, {buffer, Text("abc")}), buffer);
  EXPECT_EQ(Call(62, {buffer, Text("de")}), buffer);
  EXPECT_EQ(TextAt(buffer), "abcde");
  EXPECT_EQ(Call(63, {buffer}), 5u);
  EXPECT_EQ(Call(63, {0}), 0u);
  EXPECT_EQ(Call(59, {0, Text("x")}), 0u);
  EXPECT_EQ(Call(62, {buffer, 0}), 0u);
  EXPECT_EQ(TextAt(buffer), "abcde");
}

TEST_F(StringBuiltinsTest, MidAndCopyUntilStopAtCountDelimiterOrEnd) {
  const std::uint32_t buffer = Block(16);
  const std::uint32_t source = Text("hello,world");
  struct Case {
    std::uint32_t id;
    std::uint32_t offset;
    std::uint32_t last;
    const char* expected;
  };
  for (const Case& c : {Case{60, 1, 3, "ell"}, Case{60, 6, 100, "world"}, Case{60, 0, 0, ""}, Case{60, 0, kMinusOne, ""},
                        Case{61, 0, ',', "hello"}, Case{61, 6, ',', "world"}}) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(Call(c.id, {buffer, c.offset, source, c.last}), 0u);
    EXPECT_EQ(TextAt(buffer), c.expected);
  }
  // The delimiter is a whole character, never the second byte of ソ (83 5C): ソード\X gives ソード.
  EXPECT_EQ(Call(61, {buffer, 0, Text("\x83\x5C\x81\x5B\x83\x68\\X"), '\\'}), 0u);
  EXPECT_EQ(TextAt(buffer), "\x83\x5C\x81\x5B\x83\x68");
  // A count of 0 writes the zero byte and nothing else.
  const std::uint32_t untouched = Block(4, 'x');
  Call(60, {untouched, 0, source, 0});
  EXPECT_EQ(memory_.Byte(untouched), 0);
  EXPECT_EQ(memory_.Byte(untouched + 1), 'x');
}

TEST_F(StringBuiltinsTest, ComparisonsGiveTheSignAndFoldOnlyAscii) {
  EXPECT_EQ(Call(64, {Text("abc"), Text("abd")}), kMinusOne);
  EXPECT_EQ(Call(64, {Text("abc"), Text("abc")}), 0u);
  EXPECT_EQ(Call(64, {Text("abc"), Text("ab")}), 1u);
  EXPECT_EQ(Call(64, {Text("ABC"), Text("abc")}), kMinusOne);
  EXPECT_EQ(Call(65, {Text("ABC"), Text("abc")}), 0u);
  EXPECT_EQ(Call(65, {Text("abc"), Text("ABD")}), kMinusOne);
  EXPECT_EQ(Call(65, {Text("b"), 0}), 1u);
  // Only one-byte letters are folded: the second bytes of ア/ヂ (83 41, 83 61), カ/ニ, 秋/宿 and
  // ０/Ｐ look like a capital and its small letter, and カ (83 4A) orders before ダ (83 5F).
  const struct {
    const char* a;
    const char* b;
    std::uint32_t order;
  } cases[] = {
      {"あ", "あ", 0},           {"アA", "アa", 0},         {"ア", "ヂ", kMinusOne}, {"カ", "ニ", kMinusOne},
      {"秋", "宿", kMinusOne}, {"０", "Ｐ", kMinusOne}, {"カ", "ダ", kMinusOne}, {"ダ", "カ", 1},
  };
  for (const auto& each : cases) {
    EXPECT_EQ(Call(65, {Text(plat::Utf8ToSjis(each.a)), Text(plat::Utf8ToSjis(each.b))}), each.order)
        << each.a << " " << each.b;
  }
}

TEST_F(StringBuiltinsTest, CompareAtCountsTheUnmatchedPositions) {
  EXPECT_EQ(Call(66, {Text("abc"), Text("abd"), 0, 0, 0}), 0u);
  EXPECT_EQ(Call(66, {Text("abc"), Text("abd"), 0, 0, 3}), 1u);
  EXPECT_EQ(Call(66, {Text("ab"), Text("ab"), 0, 0, 3}), 1u);
  EXPECT_EQ(Call(66, {Text("xabc"), Text("abc"), 1, 0, 3}), 0u);
  EXPECT_EQ(Call(66, {Text("abc"), Text("zbc"), 0, 0, 3}), 3u);
}

TEST_F(StringBuiltinsTest, ConversionsToNumbers) {
  EXPECT_EQ(Call(68, {Text("  -123abc")}), static_cast<std::uint32_t>(-123));
  EXPECT_EQ(Call(68, {Text("99999999999")}), 0x7FFFFFFFu);
  EXPECT_EQ(Call(68, {0}), 0u);
  EXPECT_EQ(std::bit_cast<float>(Call(69, {Text("2.5")})), 2.5f);
  EXPECT_EQ(std::bit_cast<float>(Call(69, {Text(" -0.25x")})), -0.25f);
  EXPECT_EQ(Call(69, {0}), 0u);
}

TEST_F(StringBuiltinsTest, CaseChangesKeepTrailBytes) {
  // ソ is 0x83 0x5C and ア 0x83 0x41: the second bytes look like ASCII but must stay.
  const std::string text = plat::Utf8ToSjis("aアbZ");
  const std::uint32_t address = Text(text);
  EXPECT_EQ(Call(70, {address}), 0u);
  EXPECT_EQ(TextAt(address), plat::Utf8ToSjis("AアBZ"));
  EXPECT_EQ(Call(71, {address}), 0u);
  EXPECT_EQ(TextAt(address), plat::Utf8ToSjis("aアbz"));
  EXPECT_EQ(Call(70, {0}), 0u);
}

TEST_F(StringBuiltinsTest, FormatTakesItsValuesFromTheThirdWord) {
  const std::uint32_t buffer = Block(kFormatBufferSize + 16);
  const std::string a = plat::Utf8ToSjis("あ");
  EXPECT_EQ(Call(67, {buffer, Text("%-5d|%05d|%x|%X|%c|%s"), static_cast<std::uint32_t>(-42), 42, 255, 255, 65, Text(a)}),
            0u);
  EXPECT_EQ(TextAt(buffer), "-42  |00042|ff|FF|A|" + a);
  Call(67, {buffer, Text("%#x %u %hd %.3s %5s%% %q"), 26, kMinusOne, 0x1FFFF, Text("abcdef"), 0});
  EXPECT_EQ(TextAt(buffer), "0x1a 4294967295 -1 abc (null)% q");
}

TEST_F(StringBuiltinsTest, FormatOutputIsCutAtItsBuffer) {
  const std::uint32_t buffer = Block(4096, 'x');
  Call(67, {buffer, Text("%2000d|%s"), 7, Text(std::string(3000, 'y'))});
  EXPECT_EQ(TextAt(buffer).size(), kFormatBufferSize - 1);
  EXPECT_EQ(memory_.Byte(buffer + kFormatBufferSize), 'x');
}

TEST_F(StringBuiltinsTest, AddressesOutsideScriptMemoryFault) {
  EXPECT_THROW(Call(59, {0x1000, Text("abc")}), ScriptFault);
  EXPECT_THROW(Call(63, {0xFFFFFFF0}), ScriptFault);
  EXPECT_THROW(Call(67, {Block(64), Text("%s"), 0x2000}), ScriptFault);
  const std::uint32_t end = static_cast<std::uint32_t>(memory_.UsableEnd());
  EXPECT_THROW(Call(60, {end - 2, 0, Text("abcdef"), 6}), ScriptFault);
}

}  // namespace
