#include "platform/encoding/sjis_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plat::SjisReading;

// 表 95 5C and ソ 83 5C end in '\'; ア 83 41 and ヂ 83 61 end in a letter; ｱ B1 and ﾃ C3 are
// half-width katakana, one byte in code page 932 and a lead byte to the engine's scans.
const std::string kOmote = "\x95\x5C";
const std::string kSo = "\x83\x5C";
const std::string kA = "\x83\x41";
const std::string kDi = "\x83\x61";
const std::string kKa = "\x83\x4A";
const std::string kNi = "\x83\x6A";
const std::string kDa = "\x83\x5F";
const std::string kHalfA = "\xB1";
const std::string kHalfTe = "\xC3";

TEST(SjisText, SeparatorsAndDotsAreWholeCharacters) {
  struct Case {
    std::string path;
    SjisReading reading;
    std::size_t last_component;
    bool ends_with_separator;
    std::optional<std::size_t> dot;
  };
  const std::string folder = "Z:\\save\\";
  const std::vector<Case> cases = {
      {folder + "A" + kOmote + "\\", SjisReading::kEngine, folder.size() + 4, true, std::nullopt},
      {folder + kSo + "\\x.SAV", SjisReading::kEngine, folder.size() + 3, false, folder.size() + 4},
      {folder + kSo + "\\x.SAV", SjisReading::kCodePage, folder.size() + 3, false, folder.size() + 4},
      {folder + kOmote, SjisReading::kEngine, folder.size(), false, std::nullopt},
      // An odd run of half-width katakana hides the separator from the engine's reading only.
      {folder + kHalfTe + "\\" + kHalfA + ".TXT", SjisReading::kEngine, folder.size(), false, std::nullopt},
      {folder + kHalfTe + "\\" + kHalfA + ".TXT", SjisReading::kCodePage, folder.size() + 2, false, folder.size() + 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(plat::LastComponentStart(c.path, c.reading), c.last_component);
    EXPECT_EQ(plat::EndsWithSeparator(c.path, c.reading), c.ends_with_separator);
    EXPECT_EQ(plat::LastDot(c.path, c.reading), c.dot);
  }
  const std::string path = "Z:\\" + kOmote + "\\" + kSo + "\\";
  const std::vector<std::string_view> components = plat::SplitComponents(path, SjisReading::kEngine);
  EXPECT_EQ(components, (std::vector<std::string_view>{"Z:", kOmote, kSo, ""}));
}

TEST(SjisText, FindsOnlyOneByteCharacters) {
  const std::string text = "a" + kSo + "/b";
  EXPECT_EQ(plat::FindFirstCharacterOf(text, "\\/"), 3U);
  EXPECT_EQ(plat::FindLastCharacterOf(kOmote + kSo, "\\"), plat::kNoCharacter);
  EXPECT_EQ(plat::SplitCharacters(kHalfA + kHalfTe, SjisReading::kEngine).size(), 1U);
  EXPECT_EQ(plat::SplitCharacters(kHalfA + kHalfTe, SjisReading::kCodePage).size(), 2U);
}

TEST(SjisText, CaseBlindCompareFoldsOneByteLettersOnly) {
  struct Case {
    std::string a;
    std::string b;
    int sign;
  };
  const std::vector<Case> cases = {
      {"ABC", "abc", 0},   {"BG01.ELG", "bg01.elg", 0}, {kA, kDi, -1}, {kKa, kNi, -1},
      {kKa, kDa, -1},      {kHalfA + "A", kHalfA + "a", 0}, {"a", "B", -1}, {"ab", "a", 1},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    const int forward = plat::CompareIgnoringAsciiCase(c.a, c.b);
    const int backward = plat::CompareIgnoringAsciiCase(c.b, c.a);
    EXPECT_EQ((forward > 0) - (forward < 0), c.sign);
    EXPECT_EQ((backward > 0) - (backward < 0), -c.sign);
    EXPECT_EQ(plat::EqualIgnoringAsciiCase(c.a, c.b), c.sign == 0);
  }
}

}  // namespace
