#include "base/text/sjis_case.h"

#include "platform/encoding/sjis.h"

namespace {

template <char kFirst, char kLast, int kShift>
void ShiftLetters(char* text) {
  while (*text != '\0') {
    if (*text >= kFirst && *text <= kLast) *text = static_cast<char>(*text + kShift);
    text = plat::SjisNext(text);
  }
}

}  // namespace

void LowerSjis(char* text) { ShiftLetters<'A', 'Z', 'a' - 'A'>(text); }
void LowerSjis(std::string& text) { LowerSjis(text.data()); }
void UpperSjis(std::string& text) { ShiftLetters<'a', 'z', 'A' - 'a'>(text.data()); }
