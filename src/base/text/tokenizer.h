// Reads words, numbers, quoted strings and keywords from one zero-terminated Shift-JIS line
// owned by the caller. Separators are blank, tab, comma and parentheses; a two-byte
// character is always taken whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class CTokenizer {
 public:
  // ReadWord, ReadInteger, ReadReal and ReadQuoted statuses.
  static constexpr unsigned kOk = 0;
  static constexpr unsigned kNoText = 1;
  static constexpr unsigned kNotANumber = 2;
  static constexpr unsigned kNoOpeningQuote = 2;
  static constexpr unsigned kDoesNotFit = 3;
  static constexpr unsigned kNoClosingQuote = 4;

  CTokenizer() = default;
  explicit CTokenizer(const char* line) : m_Cursor(line) {}

  void SetText(const char* line) { m_Cursor = line; }
  const char* Cursor() const { return m_Cursor; }

  // Each Skip returns the character the cursor then stands on (0 at the end or without text).
  char SkipSeparators();
  char SkipBlanksAndCommas();
  char SkipBlanks();
  // Moves to the next separator or the end of the line.
  char SkipWord();

  // Copies the word at the cursor (up to the next separator) into `buffer`, zero-terminated,
  // and leaves the cursor on the separator. The word fits when it has at most size - 2
  // bytes; when it does not, the buffer is emptied and the cursor does not move.
  unsigned ReadWord(char* buffer, std::size_t size);

  // After skipping separators, true and the cursor after the keyword when the text starts
  // with it (also as the start of a longer word); else false and the cursor where the
  // comparison began.
  bool MatchKeyword(const char* keyword);

  // A decimal, "0x" hexadecimal or "0b" binary integer with an optional leading minus,
  // accumulated with 32-bit wrap-around.
  unsigned ReadInteger(std::int32_t& value);

  // Digits with an optional leading minus and one decimal point, read the same way in
  // every locale.
  unsigned ReadReal(double& value);

  // A text in double quotes, copied without them unless `keep_quotes`; fits when the copy
  // has at most size - 2 bytes. The cursor ends after the closing quote.
  unsigned ReadQuoted(char* buffer, std::size_t size, bool keep_quotes);

 private:
  const char* m_Cursor = nullptr;
};

// The groups of a text of parenthesised groups: its opening parentheses, a two-byte character's
// trail byte not counted.
std::size_t CountParenGroups(const char* text);

// The value of unsigned decimal digits with at most one decimal point ("12", "1.25", "3.",
// ".5"), independent of the process locale; 0 when there is no digit.
double DecimalTextToDouble(std::string_view text);
