// Conversion between Shift-JIS (code page 932) and Unicode at the edge of the platform layer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// What an unmappable character becomes.
inline constexpr char32_t kUnicodeReplacement = U'\uFFFD';
inline constexpr char kSjisReplacement = '?';

// The Unicode code point of one code page 932 code (a single byte below 0x100, else
// lead byte << 8 | trail byte); 0 when the code is not mapped. Code 0 maps to U+0000.
char32_t SjisCodeToUnicode(std::uint16_t code);

// The code page 932 code of a code point, 0 when it has none. Characters with two codes
// (the NEC and IBM extension rows) give the code that code page 932 itself prefers.
std::uint16_t UnicodeToSjisCode(char32_t code_point);

// Whole strings; unmappable characters and broken sequences become the replacements above.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace plat
