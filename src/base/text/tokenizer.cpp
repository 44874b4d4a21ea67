#include "base/text/tokenizer.h"

#include <charconv>
#include <limits>

#include "platform/encoding/sjis.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == '(' || c == ')'; }
bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The value of `c` as a digit of `base` (2, 10 or 16), or -1.
int DigitValue(char c, unsigned base) {
  int value = -1;
  if (IsDecimalDigit(c)) {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < static_cast<int>(base) ? value : -1;
}

const char* SkipWhile(const char* text, bool (*skip)(char)) {
  while (skip(*text)) ++text;
  return text;
}

// Copies bytes into a caller's buffer, checking the room before each byte so that at least
// two bytes stay free, and zero-terminates the copy.
class BoundedCopy {
 public:
  BoundedCopy(char* buffer, std::size_t size) : m_Buffer(buffer), m_Size(size) {}

  // Copies the whole character at `text`; false when the buffer is full.
  bool PutCharacter(const char* text) {
    const std::size_t length = plat::SjisCharLength(text);
    for (std::size_t i = 0; i < length; ++i) {
      if (!Put(text[i])) return false;
    }
    return true;
  }

  bool Put(char byte) {
    if (m_Length + 2 >= m_Size) return false;
    m_Buffer[m_Length++] = byte;
    return true;
  }

  void Finish() { m_Buffer[m_Length] = '\0'; }

  // Leaves an empty text after a failed copy.
  void Discard() { m_Buffer[0] = '\0'; }

 private:
  char* m_Buffer;
  std::size_t m_Size;
  std::size_t m_Length = 0;
};

}  // namespace

std::size_t CountParenGroups(const char* text) {
  std::size_t groups = 0;
  for (const char* cursor = text; *cursor != '\0'; cursor = plat::SjisNext(cursor)) {
    if (*cursor == '(') ++groups;
  }
  return groups;
}

double DecimalTextToDouble(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Only a long run of digits before the point is out of range; a long run of zeros
    // after it is an underflow.
    const std::string_view whole = text.substr(0, text.find('.'));
    return whole.find_first_not_of('0') == std::string_view::npos ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return error == std::errc{} ? value : 0.0;
}

char CTokenizer::SkipSeparators() {
  if (m_Cursor == nullptr) return '\0';
  m_Cursor = SkipWhile(m_Cursor, IsSeparator);
  return *m_Cursor;
}

char CTokenizer::SkipBlanksAndCommas() {
  if (m_Cursor == nullptr) return '\0';
  m_Cursor = SkipWhile(m_Cursor, [](char c) { return IsBlank(c) || c == ','; });
  return *m_Cursor;
}

char CTokenizer::SkipBlanks() {
  if (m_Cursor == nullptr) return '\0';
  m_Cursor = SkipWhile(m_Cursor, IsBlank);
  return *m_Cursor;
}

char CTokenizer::SkipWord() {
  if (m_Cursor == nullptr) return '\0';
  while (*m_Cursor != '\0' && !IsSeparator(*m_Cursor)) m_Cursor = plat::SjisNext(m_Cursor);
  return *m_Cursor;
}

unsigned CTokenizer::ReadWord(char* buffer, std::size_t size) {
  if (m_Cursor == nullptr || *m_Cursor == '\0' || buffer == nullptr || size == 0) return kNoText;
  BoundedCopy copy(buffer, size);
  const char* text = m_Cursor;
  for (; *text != '\0' && !IsSeparator(*text); text = plat::SjisNext(text)) {
    if (!copy.PutCharacter(text)) {
      copy.Discard();
      return kDoesNotFit;
    }
  }
  copy.Finish();
  m_Cursor = text;
  return kOk;
}

bool CTokenizer::MatchKeyword(const char* keyword) {
  if (m_Cursor == nullptr || keyword == nullptr) return false;
  SkipSeparators();
  const std::string_view wanted(keyword);
  const std::string_view text(m_Cursor);
  if (text.substr(0, wanted.size()) != wanted) return false;
  m_Cursor += wanted.size();
  return true;
}

unsigned CTokenizer::ReadInteger(std::int32_t& value) {
  if (m_Cursor == nullptr) return kNoText;
  const char first = SkipSeparators();
  if (!IsDecimalDigit(first) && first != '-') return kNotANumber;

  const char* text = m_Cursor;
  const bool negative = *text == '-';
  if (negative) ++text;
  unsigned base = 10;
  if (text[0] == '0' && text[1] == 'x') {
    base = 16;
    text += 2;
  } else if (text[0] == '0' && text[1] == 'b') {
    base = 2;
    text += 2;
  }
  std::uint32_t magnitude = 0;
  for (int digit = DigitValue(*text, base); digit >= 0; digit = DigitValue(*++text, base)) {
    magnitude = magnitude * base + static_cast<std::uint32_t>(digit);
  }
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  m_Cursor = text;
  return kOk;
}

unsigned CTokenizer::ReadReal(double& value) {
  if (m_Cursor == nullptr) return kNoText;
  const char first = SkipSeparators();
  if (!IsDecimalDigit(first) && first != '-') return kNotANumber;

  const char* text = m_Cursor;
  const bool negative = *text == '-';
  if (negative) ++text;
  const char* start = text;
  text = SkipWhile(text, IsDecimalDigit);
  if (*text == '.') text = SkipWhile(text + 1, IsDecimalDigit);
  const double magnitude = DecimalTextToDouble(std::string_view(start, static_cast<std::size_t>(text - start)));
  value = negative ? -magnitude : magnitude;
  m_Cursor = text;
  return kOk;
}

unsigned CTokenizer::ReadQuoted(char* buffer, std::size_t size, bool keep_quotes) {
  if (m_Cursor == nullptr || buffer == nullptr || size == 0) return kNoText;
  if (SkipSeparators() != '"') return kNoOpeningQuote;

  BoundedCopy copy(buffer, size);
  const auto fail = [&](unsigned status) {
    copy.Discard();
    return status;
  };
  if (keep_quotes && !copy.Put('"')) return fail(kDoesNotFit);
  const char* text = m_Cursor + 1;
  // Two-byte characters are copied whole: their second byte may be the quote's code.
  for (; *text != '"'; text = plat::SjisNext(text)) {
    if (*text == '\0') return fail(kNoClosingQuote);
    if (!copy.PutCharacter(text)) return fail(kDoesNotFit);
  }
  if (keep_quotes && !copy.Put('"')) return fail(kDoesNotFit);
  copy.Finish();
  m_Cursor = text + 1;
  return kOk;
}
