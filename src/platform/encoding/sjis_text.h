// Shift-JIS text and paths read by characters: a separator, a dot or a letter is a whole
// one-byte character, never the second byte of a two-byte one (表 is 95 5C, ソ 83 5C, ア 83 41).
// Every scan that cuts, searches or compares engine text goes through these.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding/sjis.h"

namespace plat {

inline constexpr std::size_t kNoCharacter = std::string_view::npos;

// The characters of `text`, each one or two bytes.
std::vector<std::string_view> SplitCharacters(std::string_view text, SjisReading reading = SjisReading::kEngine);

// Where the first or last character that is one of the one-byte characters `set` stands;
// kNoCharacter where none does.
std::size_t FindFirstCharacterOf(std::string_view text, std::string_view set,
                                 SjisReading reading = SjisReading::kEngine);
std::size_t FindLastCharacterOf(std::string_view text, std::string_view set,
                                SjisReading reading = SjisReading::kEngine);

constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The positions of the last two separators ('\' or '/') of a path; kNoCharacter where there is
// none.
struct Separators {
  std::size_t last = kNoCharacter;
  std::size_t second_last = kNoCharacter;
};
Separators FindSeparators(std::string_view path, SjisReading reading = SjisReading::kEngine);

// Whether the path's last character is a separator.
bool EndsWithSeparator(std::string_view path, SjisReading reading = SjisReading::kEngine);

// Where the last component starts: after the last separator, or 0.
std::size_t LastComponentStart(std::string_view path, SjisReading reading = SjisReading::kEngine);

// The components of a path, split at its separators (an empty one before a leading separator,
// between two separators and after a trailing one).
std::vector<std::string_view> SplitComponents(std::string_view path, SjisReading reading = SjisReading::kEngine);

// Where the last '.' of a name stands.
std::optional<std::size_t> LastDot(std::string_view name, SjisReading reading = SjisReading::kEngine);
// Where the last '.' of a path's last component stands: the dot before the extension of the file
// it names.
std::optional<std::size_t> LeafDot(std::string_view path, SjisReading reading = SjisReading::kEngine);

// A one-byte ASCII capital as its small letter; every other byte unchanged.
constexpr char FoldAsciiLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` with the letters that are one-byte characters folded to small letters, or made capitals;
// two-byte characters stay as they are (their second byte may look like a letter).
std::string FoldAsciiLetters(std::string_view text, SjisReading reading = SjisReading::kCodePage);
std::string UpperAsciiLetters(std::string_view text, SjisReading reading = SjisReading::kCodePage);

// The case-blind compare of engine text, read as code page 932 reads it: one-byte letters are
// compared without case, everything else byte by byte. Negative, 0 or positive, as the folded
// texts order by unsigned bytes.
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace plat
