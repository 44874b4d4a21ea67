#include "asm_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kvxtools {
namespace {

// The place of the first `wanted` from `from` on outside a quoted string, or the text's size.
std::size_t FindOutsideString(std::string_view text, char wanted, std::size_t from) {
  bool in_string = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (in_string && text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      in_string = !in_string;
    } else if (text[i] == wanted && !in_string) {
      return i;
    }
  }
  return text.size();
}

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

std::string_view StripComment(std::string_view line) { return line.substr(0, FindOutsideString(line, ';', 0)); }

std::vector<std::string_view> SplitBlanks(std::string_view text) {
  std::vector<std::string_view> words;
  while (!(text = Trim(text)).empty()) {
    std::size_t end = 0;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return words;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  if (Trim(text).empty()) return parts;
  std::size_t start = 0;
  for (std::size_t comma; (comma = FindOutsideString(text, ',', start)) < text.size(); start = comma + 1) {
    parts.push_back(Trim(text.substr(start, comma - start)));
  }
  parts.push_back(Trim(text.substr(start)));
  return parts;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  const std::string digits(text);
  if (digits.empty()) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(digits.c_str(), &end, 0);
  if (*end != '\0' || value < -2147483648LL || value > 0xFFFFFFFFLL) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::uint32_t Number(std::string_view text) {
  const std::optional<std::uint32_t> value = ParseNumber(text);
  if (!value) throw AsmError("not a number: " + std::string(text));
  return *value;
}

std::string ParseString(std::string_view text) {
  text = Trim(text);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') throw AsmError("expected a quoted string");
  text = text.substr(1, text.size() - 2);
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      result.push_back(text[i]);
      continue;
    }
    if (++i == text.size()) throw AsmError("string ends with a backslash");
    switch (text[i]) {
      case 'n':
        result.push_back('\n');
        break;
      case 'x': {
        const std::optional<std::uint32_t> value = ParseNumber("0x" + std::string(text.substr(i + 1, 2)));
        if (!value || i + 2 >= text.size() || *value > 0xFF) throw AsmError("bad \\x escape");
        result.push_back(static_cast<char>(*value));
        i += 2;
        break;
      }
      default:
        result.push_back(text[i]);
        break;
    }
  }
  return result;
}

std::optional<std::string_view> Wrapped(std::string_view text, std::string_view name) {
  if (text.size() < name.size() + 2 || !EqualIgnoringCase(text.substr(0, name.size()), name)) return std::nullopt;
  if (text[name.size()] != '(' || text.back() != ')') return std::nullopt;
  return Trim(text.substr(name.size() + 1, text.size() - name.size() - 2));
}

std::pair<std::string_view, std::uint32_t> NameAndOffset(std::string_view text) {
  const std::size_t plus = text.find('+');
  if (plus == std::string_view::npos) return {text, 0};
  return {Trim(text.substr(0, plus)), Number(Trim(text.substr(plus + 1)))};
}

bool AssembleLines(std::string_view source, const std::function<void(std::string_view)>& line,
                   const std::function<void()>& finish, std::string& error) {
  std::size_t line_number = 0;
  try {
    while (!source.empty()) {
      ++line_number;
      const std::size_t end = std::min(source.find('\n'), source.size());
      const std::string_view text = Trim(StripComment(source.substr(0, end)));
      source.remove_prefix(std::min(end + 1, source.size()));
      if (!text.empty()) line(text);
    }
    ++line_number;
    finish();
  } catch (const std::exception& failure) {
    error = "line " + std::to_string(line_number) + ": " + failure.what();
    return false;
  }
  return true;
}

}  // namespace kvxtools
