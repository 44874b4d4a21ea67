// Byte-level helpers for Shift-JIS (code page 932) text, the encoding of every engine string.
#pragma once

#include <cstddef>
#include <string_view>

namespace plat {

// The engine's text scans treat every byte from 0x81 to 0xFE as the first byte of a
// two-byte character.
constexpr bool IsSjisLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The lead-byte ranges of code page 932 proper.
constexpr bool IsSjisStrictLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The bytes that may follow a lead byte in a character of code page 932.
constexpr bool IsSjisTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// Length of the character at `index` as code page 932 reads it: 2 for a lead byte of the code
// page followed by a trail byte, else 1. Conversion to Unicode reads text this way, and so does
// everything that splits text before converting it (host paths), so that a byte the conversion
// leaves alone, such as the '/' of "\x81/", is never hidden inside a character.
constexpr std::size_t SjisCodeLengthAt(std::string_view text, std::size_t index) {
  return IsSjisStrictLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size() &&
                 IsSjisTrailByte(static_cast<unsigned char>(text[index + 1]))
             ? 2
             : 1;
}

// Length of the character at `text` in a zero-terminated string: 2 for a lead byte
// (0x81 to 0xFE) followed by another byte, else 1. A lead byte followed by the
// terminating zero counts as one byte, so that no scan ever steps over the end.
constexpr std::size_t SjisCharLength(const char* text) {
  return IsSjisLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

// Length of the character at `index` of a string view: 2 for a lead byte with a byte after
// it, else 1.
constexpr std::size_t SjisCharLengthAt(std::string_view text, std::size_t index) {
  return IsSjisLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size() ? 2 : 1;
}

// The two readings of a byte from 0x81 up. The engine's own scans take every such byte as the
// first of a two-byte character; code page 932 (the conversion to Unicode, and the system calls
// the engine's rules name) takes only its lead bytes, and only before one of its second bytes, so
// a half-width katakana is one character there. A road that splits a name and then converts it,
// or hands it to such a call, reads it the code page's way from start to end.
enum class SjisReading { kEngine, kCodePage };

constexpr std::size_t SjisLengthAt(std::string_view text, std::size_t index, SjisReading reading) {
  return reading == SjisReading::kEngine ? SjisCharLengthAt(text, index) : SjisCodeLengthAt(text, index);
}

// The character after the one at `text`; `text` must not point at the terminating zero.
constexpr const char* SjisNext(const char* text) { return text + SjisCharLength(text); }
constexpr char* SjisNext(char* text) { return text + SjisCharLength(text); }

}  // namespace plat
