#include "ui/fonts/text_markup.h"

#include "platform/encoding/sjis.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TextChar NextTextChar(const char*& p) {
  const auto byte = static_cast<unsigned char>(*p);
  if (byte == '\0') return TextChar{};
  if (byte == '\n') {
    ++p;
    return TextChar{TextCharKind::kNewLine, '\n'};
  }
  // A lead byte cut off by the end of the string stands alone.
  if (plat::IsSjisLeadByte(byte) && p[1] != '\0') {
    const uint32_t code = static_cast<uint32_t>(byte) << 8 | static_cast<unsigned char>(p[1]);
    p += 2;
    return TextChar{TextCharKind::kCharacter, code};
  }
  if (byte != '@') {
    ++p;
    return TextChar{TextCharKind::kCharacter, byte};
  }
  if (p[1] == '@') {
    p += 2;
    return TextChar{TextCharKind::kCharacter, '@'};
  }
  ++p;
  uint32_t number = 0;
  for (int digits = 0; digits < 7 && IsDigit(*p); ++digits, ++p) number = number * 10 + static_cast<uint32_t>(*p - '0');
  return TextChar{TextCharKind::kCustom, number};
}

int32_t CountTextChars(const char* text) {
  if (text == nullptr) return 0;
  int32_t count = 0;
  while (NextTextChar(text).kind != TextCharKind::kEnd) ++count;
  return count;
}
