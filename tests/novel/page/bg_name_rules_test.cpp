// The background name rules: the tone table file, the tone a name gets, the variant of BG 6 and
// 7, and the start offsets.
#include "novel/page/bg_name_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_files_fixture.h"

namespace {

class BgToneTableTest : public test_support::DataFilesTest {
 protected:
  std::uint32_t Load(const std::string& text) {
    game_.WriteFile("DATA/BG.TXT", text);
    return LoadBgToneTable("DATA/BG.TXT", table_);
  }
  std::vector<std::int32_t> table_{99};
};

TEST_F(BgToneTableTest, StatusesOfTheFile) {
  struct Case {
    const char* text;
    std::uint32_t status;
  };
  const Case cases[] = {
      {"// only\r\n\r\n// comments\r\n", kBgToneNoItems},
      {"[EVENING 0\r\n12\r\n", kBgToneGroupZero},
      {"*\r\n[EVENING 1\r\n", kBgToneRepeatFirst},
      {"[EVENING 1\r\n12\r\n*\r\n", kBgToneRepeatAfterNumber},
  };
  for (const Case& c : cases) {
    table_ = {99};
    EXPECT_EQ(Load(c.text), c.status) << c.text;
    EXPECT_TRUE(table_.empty()) << c.text;
  }
  EXPECT_EQ(LoadBgToneTable("DATA/NONE.TXT", table_), kBgToneUnreadable);
}

TEST_F(BgToneTableTest, EntriesInFileOrderEndWithZero) {
  ASSERT_EQ(Load("// tones\r\n[EVENING 5\r\n12\r\n  40\r\n[NIGHT,3\r\n*\r\n7\r\n"), 0u);
  EXPECT_EQ(table_, (std::vector<std::int32_t>{-5, 12, 40, -3, -3, 7, 0}));
}

TEST(BgToneRule, NumbersInTheLettersGroup) {
  // Group E (5) holds 12 and 40; group C (3) is empty; group B (2) holds 9.
  const std::vector<std::int32_t> table{-5, 12, 40, -3, -2, 9, -4, 0};
  struct Case {
    const char* name;
    std::uint32_t tone;
  };
  const Case cases[] = {
      {"BG12E.ELG", 1},          {"bg40e.elg", 1},  {"BG13E.ELG", 0},  {"BG77C.ELG", 2}, {"BG9B.ELG", 2},
      {"BG12B.ELG", 0},          {"BG12.ELG", 0},   {"BG12G.ELG", 0},  {"XBG12E.ELG", 0},
      {"DATA\\BG40E.ELG", 1},    {"BG5D.ELG", 0},  // D is the empty group before the closing 0: no match
      // The leaf starts behind a real separator, not behind the '\' second byte of 十 or 表.
      {"\x8F\x5C" "BG12E.ELG", 0}, {"\x94\x77\x8C\x69\x95\x5C" "BG12E.ELG", 0}, {"\x8F\x5C\\BG12E.ELG", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(BgToneOf(table, c.name), c.tone) << c.name;
  EXPECT_EQ(BgToneOf({}, "BG12E.ELG"), 0u);
}

TEST(BgVariant, NumbersSixAndSevenGetADigitBeforeTheExtension) {
  struct Case {
    const char* name;
    std::int32_t draw;
    const char* result;
  };
  const Case cases[] = {
      {"BG6.ELG", 13, "BG6_5.ELG"},   {"BG7A.ELG", 8, "BG7A_0.ELG"}, {"bg7b.elg", 7, "bg7b_7.elg"},
      {"BG6C.ELG", 3, "BG6C.ELG"},    {"BG67.ELG", 3, "BG67.ELG"},   {"BG5.ELG", 3, "BG5.ELG"},
      {"BG6AX.ELG", 3, "BG6AX.ELG"},  {"BG6", 3, "BG6"},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    EXPECT_TRUE(InsertBgVariant(name, [&] { return c.draw; }, 31));
    EXPECT_EQ(name, c.result);
  }
}

TEST(BgVariant, ANameThatWouldOverflowIsKept) {
  std::string name = std::string(23, 'A') + "\\BG6.ELG";  // 31 bytes
  EXPECT_FALSE(InsertBgVariant(name, [] { return 1; }, 31));
  EXPECT_EQ(name.size(), 31u);
}

TEST(BgStartOffset, ByNumber) {
  EXPECT_EQ(BgStartOffsetOf(2)->y, 600);
  EXPECT_EQ(BgStartOffsetOf(65)->y, 600);
  EXPECT_EQ(BgStartOffsetOf(50)->y, 32);
  EXPECT_EQ(BgStartOffsetOf(3)->x, 400);
  EXPECT_EQ(BgStartOffsetOf(63)->x, 400);
  EXPECT_EQ(BgStartOffsetOf(3)->y, 0);
  EXPECT_FALSE(BgStartOffsetOf(1).has_value());
}

}  // namespace
