#include "base/text/sjis_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Only one-byte letters change: ア (83 41) and ヂ (83 61) keep their second bytes, and a letter
// after a half-width kana (ｱ, B1) is a character of its own, as the system reads it.
TEST(SjisCaseTest, OnlyOneByteLettersChangeAndAHalfWidthKanaIsACharacterOfItsOwn) {
  struct Case {
    std::string mixed;
    std::string lower;
    std::string upper;
  };
  for (const Case& c : {Case{"Data\\Bg01.ELG", "data\\bg01.elg", "DATA\\BG01.ELG"},
                        Case{"\x83\x41\x83\x61", "\x83\x41\x83\x61", "\x83\x41\x83\x61"},
                        Case{"\xB1" "Bc\xB1", "\xB1" "bc\xB1", "\xB1" "BC\xB1"}, Case{"\x95\\A", "\x95\\a", "\x95\\A"}}) {
    std::string lower = c.mixed;
    LowerSjis(lower);
    EXPECT_EQ(lower, c.lower) << c.mixed;
    std::string in_place = c.mixed;
    LowerSjis(in_place.data());
    EXPECT_EQ(in_place, c.lower) << c.mixed;
    std::string upper = c.mixed;
    UpperSjis(upper);
    EXPECT_EQ(upper, c.upper) << c.mixed;
  }
}

}  // namespace
