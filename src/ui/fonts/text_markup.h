// The markup every font reads in its Shift-JIS strings: a lead byte and the byte after it make
// one character, byte 10 breaks the line, "@@" is a literal "@", and "@" with up to seven
// decimal digits (none counts as 0) names a custom glyph of the font's glyph set.
#pragma once

#include <cstdint>

enum class TextCharKind : uint8_t { kEnd, kNewLine, kCharacter, kCustom };

struct TextChar {
  TextCharKind kind = TextCharKind::kEnd;
  uint32_t code = 0;  // the character (lead × 256 + trail) or the custom glyph's number
};

// The character at `p`, moving `p` past it; kEnd (and `p` unmoved) at the terminating zero.
TextChar NextTextChar(const char*& p);

// Characters of every kind, line breaks included; 0 for a null or empty string.
int32_t CountTextChars(const char* text);
