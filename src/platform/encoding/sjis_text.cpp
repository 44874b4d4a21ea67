#include "platform/encoding/sjis_text.h"

#include <algorithm>

namespace plat {
namespace {

// `text` with each one-byte character changed by `change`.
template <class Change>
std::string ChangeOneByteCharacters(std::string_view text, SjisReading reading, Change change) {
  std::string changed(text);
  for (std::size_t i = 0; i < changed.size(); i += SjisLengthAt(changed, i, reading)) {
    if (SjisLengthAt(changed, i, reading) == 1) changed[i] = change(changed[i]);
  }
  return changed;
}

}  // namespace

std::vector<std::string_view> SplitCharacters(std::string_view text, SjisReading reading) {
  std::vector<std::string_view> characters;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SjisLengthAt(text, i, reading);
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

std::size_t FindFirstCharacterOf(std::string_view text, std::string_view set, SjisReading reading) {
  for (std::size_t i = 0; i < text.size(); i += SjisLengthAt(text, i, reading)) {
    if (SjisLengthAt(text, i, reading) == 1 && set.find(text[i]) != std::string_view::npos) return i;
  }
  return kNoCharacter;
}

std::size_t FindLastCharacterOf(std::string_view text, std::string_view set, SjisReading reading) {
  std::size_t found = kNoCharacter;
  for (std::size_t i = 0; i < text.size(); i += SjisLengthAt(text, i, reading)) {
    if (SjisLengthAt(text, i, reading) == 1 && set.find(text[i]) != std::string_view::npos) found = i;
  }
  return found;
}

Separators FindSeparators(std::string_view path, SjisReading reading) {
  Separators found;
  for (std::size_t i = 0; i < path.size(); i += SjisLengthAt(path, i, reading)) {
    if (IsPathSeparator(path[i])) {
      found.second_last = found.last;
      found.last = i;
    }
  }
  return found;
}

bool EndsWithSeparator(std::string_view path, SjisReading reading) {
  return !path.empty() && FindSeparators(path, reading).last == path.size() - 1;
}

std::size_t LastComponentStart(std::string_view path, SjisReading reading) {
  const std::size_t last = FindSeparators(path, reading).last;
  return last == kNoCharacter ? 0 : last + 1;
}

std::vector<std::string_view> SplitComponents(std::string_view path, SjisReading reading) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += SjisLengthAt(path, i, reading)) {
    if (IsPathSeparator(path[i])) {
      components.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  components.push_back(path.substr(start));
  return components;
}

std::optional<std::size_t> LastDot(std::string_view name, SjisReading reading) {
  const std::size_t dot = FindLastCharacterOf(name, ".", reading);
  return dot == kNoCharacter ? std::nullopt : std::optional<std::size_t>(dot);
}

std::optional<std::size_t> LeafDot(std::string_view path, SjisReading reading) {
  const std::size_t leaf = LastComponentStart(path, reading);
  const std::optional<std::size_t> dot = LastDot(path.substr(leaf), reading);
  return dot ? std::optional<std::size_t>(leaf + *dot) : std::nullopt;
}

std::string FoldAsciiLetters(std::string_view text, SjisReading reading) {
  return ChangeOneByteCharacters(text, reading, FoldAsciiLetter);
}

std::string UpperAsciiLetters(std::string_view text, SjisReading reading) {
  return ChangeOneByteCharacters(text, reading,
                                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
}

int CompareIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const std::string x = FoldAsciiLetters(a);
  const std::string y = FoldAsciiLetters(b);
  const auto byte_less = [](char p, char q) { return static_cast<unsigned char>(p) < static_cast<unsigned char>(q); };
  if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), byte_less)) return -1;
  return std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end(), byte_less) ? 1 : 0;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) { return CompareIgnoringAsciiCase(a, b) == 0; }

}  // namespace plat
