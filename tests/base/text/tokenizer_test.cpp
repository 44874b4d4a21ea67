#include "base/text/tokenizer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// A zero-terminated copy in a block of exactly its size, so that the address sanitizer
// reports any read past the terminating zero.
std::vector<char> Line(std::string_view text) {
  std::vector<char> line(text.begin(), text.end());
  line.push_back('\0');
  line.shrink_to_fit();
  return line;
}

TEST(Tokenizer, SkipsTheirOwnKindsOfSeparator) {
  const auto line = Line(" \t,(x) ,y z");
  CTokenizer tokenizer(line.data());
  EXPECT_EQ(tokenizer.SkipBlanks(), ',');
  EXPECT_EQ(tokenizer.SkipBlanksAndCommas(), '(');
  EXPECT_EQ(tokenizer.SkipSeparators(), 'x');
  EXPECT_EQ(tokenizer.SkipWord(), ')');
  EXPECT_EQ(tokenizer.SkipSeparators(), 'y');
  EXPECT_EQ(tokenizer.SkipWord(), ' ');
  tokenizer.SkipSeparators();
  EXPECT_EQ(tokenizer.SkipWord(), '\0');
  EXPECT_EQ(tokenizer.SkipSeparators(), '\0');

  CTokenizer empty;
  EXPECT_EQ(empty.SkipSeparators(), '\0');
  EXPECT_EQ(empty.SkipWord(), '\0');
}

TEST(Tokenizer, ReadWordNeedsTwoBytesOfRoom) {
  char buffer[8];
  const auto line = Line("abc,de");
  CTokenizer tokenizer(line.data());
  EXPECT_EQ(tokenizer.ReadWord(buffer, 4), CTokenizer::kDoesNotFit);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(tokenizer.Cursor(), line.data());
  EXPECT_EQ(tokenizer.ReadWord(buffer, 5), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(*tokenizer.Cursor(), ',');

  EXPECT_EQ(tokenizer.ReadWord(buffer, 0), CTokenizer::kNoText);
  tokenizer.SkipSeparators();
  EXPECT_EQ(tokenizer.ReadWord(buffer, sizeof buffer), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "de");
  EXPECT_EQ(tokenizer.ReadWord(buffer, sizeof buffer), CTokenizer::kNoText);
  EXPECT_EQ(CTokenizer().ReadWord(buffer, sizeof buffer), CTokenizer::kNoText);
}

TEST(Tokenizer, TwoByteCharactersAreTakenWhole) {
  // The second byte of 0x815C is not a separator, but 0x8140 is the wide blank: neither
  // byte may end the word.
  const auto line = Line("\x81\x5c\x81\x40x y");
  CTokenizer tokenizer(line.data());
  char buffer[16];
  ASSERT_EQ(tokenizer.ReadWord(buffer, sizeof buffer), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "\x81\x5c\x81\x40x");
  // A word that does not fit leaves no half character behind.
  CTokenizer cut(line.data());
  EXPECT_EQ(cut.ReadWord(buffer, 3), CTokenizer::kDoesNotFit);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(cut.ReadWord(buffer, 6), CTokenizer::kDoesNotFit);
  EXPECT_EQ(cut.ReadWord(buffer, 7), CTokenizer::kOk);
}

TEST(Tokenizer, LeadByteBeforeTheEndNeverStepsOverIt) {
  char buffer[16];
  const auto word = Line("ab\x82");
  CTokenizer reader(word.data());
  ASSERT_EQ(reader.ReadWord(buffer, sizeof buffer), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "ab\x82");
  EXPECT_EQ(reader.Cursor(), word.data() + 3);

  CTokenizer skipper(word.data());
  EXPECT_EQ(skipper.SkipWord(), '\0');
  EXPECT_EQ(skipper.Cursor(), word.data() + 3);

  const auto quoted = Line("\"ab\x82");
  CTokenizer unclosed(quoted.data());
  EXPECT_EQ(unclosed.ReadQuoted(buffer, sizeof buffer, false), CTokenizer::kNoClosingQuote);
  EXPECT_STREQ(buffer, "");
}

TEST(Tokenizer, MatchKeywordSkipsSeparatorsAndMatchesPrefixes) {
  const auto line = Line("  (SPRITE, SPR");
  CTokenizer tokenizer(line.data());
  EXPECT_FALSE(tokenizer.MatchKeyword("SPRITES"));
  EXPECT_EQ(*tokenizer.Cursor(), 'S');
  EXPECT_TRUE(tokenizer.MatchKeyword("SPR"));
  EXPECT_EQ(*tokenizer.Cursor(), 'I');
  EXPECT_FALSE(tokenizer.MatchKeyword("SPR"));
  EXPECT_TRUE(tokenizer.MatchKeyword("ITE"));
  EXPECT_TRUE(tokenizer.MatchKeyword("SPR"));
  EXPECT_EQ(*tokenizer.Cursor(), '\0');
  EXPECT_FALSE(CTokenizer().MatchKeyword("SPR"));
}

TEST(Tokenizer, ReadIntegerInThreeBases) {
  const auto line = Line("  -0x1F,0b101 12abc 4294967297 - abc");
  CTokenizer tokenizer(line.data());
  std::int32_t value = 99;
  ASSERT_EQ(tokenizer.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, -31);
  EXPECT_EQ(*tokenizer.Cursor(), ',');
  ASSERT_EQ(tokenizer.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 5);
  ASSERT_EQ(tokenizer.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 12);
  EXPECT_EQ(*tokenizer.Cursor(), 'a');
  tokenizer.SkipWord();
  // Digits wrap around in 32 bits.
  ASSERT_EQ(tokenizer.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 1);
  // A lone minus reads as 0.
  ASSERT_EQ(tokenizer.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 0);
  value = 99;
  EXPECT_EQ(tokenizer.ReadInteger(value), CTokenizer::kNotANumber);
  EXPECT_EQ(value, 99);
  EXPECT_EQ(CTokenizer().ReadInteger(value), CTokenizer::kNoText);

  // The prefixes are lower case only; upper-case hex digits are not.
  const auto prefixes = Line("0X1 0xfF 0b102");
  CTokenizer cased(prefixes.data());
  ASSERT_EQ(cased.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(*cased.Cursor(), 'X');
  cased.SkipWord();
  ASSERT_EQ(cased.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 255);
  ASSERT_EQ(cased.ReadInteger(value), CTokenizer::kOk);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(*cased.Cursor(), '2');
}

TEST(Tokenizer, ReadRealReadsDigitsAndOnePoint) {
  const auto line = Line("-1.25 (3.5.7) 12 -.5 x");
  CTokenizer tokenizer(line.data());
  double value = 0;
  ASSERT_EQ(tokenizer.ReadReal(value), CTokenizer::kOk);
  EXPECT_EQ(value, -1.25);
  EXPECT_EQ(*tokenizer.Cursor(), ' ');
  ASSERT_EQ(tokenizer.ReadReal(value), CTokenizer::kOk);
  EXPECT_EQ(value, 3.5);
  EXPECT_EQ(*tokenizer.Cursor(), '.');
  tokenizer.SkipWord();
  ASSERT_EQ(tokenizer.ReadReal(value), CTokenizer::kOk);
  EXPECT_EQ(value, 12.0);
  ASSERT_EQ(tokenizer.ReadReal(value), CTokenizer::kOk);
  EXPECT_EQ(value, -0.5);
  EXPECT_EQ(tokenizer.ReadReal(value), CTokenizer::kNotANumber);
  EXPECT_EQ(CTokenizer().ReadReal(value), CTokenizer::kNoText);

  // Long numbers are read whole.
  const auto longer = Line("123456789012345678901234.5");
  CTokenizer whole(longer.data());
  ASSERT_EQ(whole.ReadReal(value), CTokenizer::kOk);
  EXPECT_DOUBLE_EQ(value, 123456789012345678901234.5);
}

TEST(Tokenizer, DecimalTextConversion) {
  EXPECT_EQ(DecimalTextToDouble("1.25"), 1.25);
  EXPECT_EQ(DecimalTextToDouble("3."), 3.0);
  EXPECT_EQ(DecimalTextToDouble(".5"), 0.5);
  EXPECT_EQ(DecimalTextToDouble(""), 0.0);
  EXPECT_EQ(DecimalTextToDouble("."), 0.0);
  EXPECT_EQ(DecimalTextToDouble(std::string(400, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(DecimalTextToDouble("0." + std::string(400, '0') + "1"), 0.0);
}

// Builds a decimal-comma locale in a scratch folder; false where the locale sources or
// localedef are missing.
bool UseDecimalCommaLocale(const std::filesystem::path& folder) {
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) == -1) return false;
  setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

TEST(Tokenizer, ReadRealIgnoresTheProcessLocale) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("kestrune-locale-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const bool decimal_comma = UseDecimalCommaLocale(folder);
  double value = 0;
  const auto line = Line("-1.25");
  CTokenizer tokenizer(line.data());
  const unsigned status = tokenizer.ReadReal(value);
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  std::filesystem::remove_all(folder);
  if (!decimal_comma) GTEST_SKIP() << "no decimal-comma locale can be built here";
  ASSERT_EQ(status, CTokenizer::kOk);
  EXPECT_EQ(value, -1.25);
}

TEST(Tokenizer, ReadQuotedStopsAtTheRealClosingQuote) {
  // 0x8A22 is a two-byte character whose second byte is the quote's code.
  const auto line = Line(" \"a\x8a\x22z\" \"b\" x \"open");
  CTokenizer tokenizer(line.data());
  char buffer[16];
  ASSERT_EQ(tokenizer.ReadQuoted(buffer, sizeof buffer, false), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "a\x8a\x22z");
  EXPECT_EQ(*tokenizer.Cursor(), ' ');
  const char* before_b = tokenizer.Cursor();
  EXPECT_EQ(tokenizer.ReadQuoted(buffer, 4, true), CTokenizer::kDoesNotFit);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(tokenizer.Cursor(), before_b + 1);
  ASSERT_EQ(tokenizer.ReadQuoted(buffer, 5, true), CTokenizer::kOk);
  EXPECT_STREQ(buffer, "\"b\"");
  EXPECT_EQ(tokenizer.ReadQuoted(buffer, sizeof buffer, false), CTokenizer::kNoOpeningQuote);
  tokenizer.SkipWord();
  EXPECT_EQ(tokenizer.ReadQuoted(buffer, sizeof buffer, false), CTokenizer::kNoClosingQuote);
  EXPECT_EQ(tokenizer.ReadQuoted(buffer, 0, false), CTokenizer::kNoText);
  EXPECT_EQ(CTokenizer().ReadQuoted(buffer, sizeof buffer, false), CTokenizer::kNoText);
}

}  // namespace
