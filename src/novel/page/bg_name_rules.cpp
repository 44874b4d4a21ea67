#include "novel/page/bg_name_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "base/files/file.h"
#include "base/text/tokenizer.h"
#include "novel/page/vov_slot_records.h"

namespace {

constexpr std::uint32_t kLineBuffer = 1024 + 2;
constexpr std::size_t kGroupWordBuffer = 63 + 2;
constexpr char kCommentStart[] = "//";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One item line into the table: 0 or a status.
std::uint32_t ReadItem(const char* line, std::vector<std::int32_t>& table) {
  CTokenizer tokens(line);
  const char first = tokens.SkipBlanks();
  if (first == '[') {
    char word[kGroupWordBuffer];
    std::int32_t group = 0;
    tokens.SetText(tokens.Cursor() + 1);
    if (tokens.ReadWord(word, sizeof word) != CTokenizer::kOk) return kBgToneGroupZero;
    tokens.SkipSeparators();
    if (tokens.ReadInteger(group) != CTokenizer::kOk || group == 0) return kBgToneGroupZero;
    table.push_back(-group);
    return 0;
  }
  if (first == '*') {
    if (table.empty()) return kBgToneRepeatFirst;
    if (table.back() > 0) return kBgToneRepeatAfterNumber;
    table.push_back(table.back());
    return 0;
  }
  std::int32_t number = 0;
  if (tokens.ReadInteger(number) == CTokenizer::kOk) table.push_back(number);
  return 0;
}

}  // namespace

std::uint32_t LoadBgToneTable(const char* file_name, std::vector<std::int32_t>& table) {
  table.clear();
  CFile file;
  if (file.Load(file_name) != 0) return kBgToneUnreadable;
  char line[kLineBuffer];
  while (file.ReadLine(line, sizeof line) != 0) {
    CTokenizer probe(line);
    const char first = probe.SkipBlanks();
    if (first == 0 || std::strncmp(probe.Cursor(), kCommentStart, 2) == 0) continue;
    if (const std::uint32_t status = ReadItem(line, table); status != 0) {
      table.clear();
      return status;
    }
  }
  if (table.empty()) return kBgToneNoItems;
  table.push_back(0);
  return 0;
}

std::optional<BgNameNumber> ReadBgNameNumber(const std::string& name) {
  std::size_t at = SlotNameLeafStart(name);
  if (name.size() < at + 3 || std::toupper(static_cast<unsigned char>(name[at])) != 'B' ||
      std::toupper(static_cast<unsigned char>(name[at + 1])) != 'G' || !IsDigit(name[at + 2])) {
    return std::nullopt;
  }
  BgNameNumber result;
  for (at += 2; at < name.size() && IsDigit(name[at]); ++at) {
    result.number = result.number * 10 + (name[at] - '0');
    if (result.number > 1000000) return std::nullopt;  // no BG number is this long
  }
  result.after_number = at;
  if (at < name.size()) result.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[at])));
  return result;
}

std::uint32_t BgToneOf(const std::vector<std::int32_t>& table, const std::string& name) {
  const std::optional<BgNameNumber> parsed = ReadBgNameNumber(name);
  if (!parsed || parsed->letter < 'A' || parsed->letter > 'F') return 0;
  const std::int32_t group = -(parsed->letter - 'A' + 1);
  const std::uint32_t tone = (parsed->letter == 'A' || parsed->letter == 'E') ? 1 : 2;
  for (std::size_t i = 0; i < table.size() && table[i] != 0; ++i) {
    if (table[i] != group) continue;
    // An empty group (another group entry right behind it) takes every number of its letter.
    if (i + 1 < table.size() && table[i + 1] < 0) return tone;
    for (std::size_t j = i + 1; j < table.size() && table[j] > 0; ++j) {
      if (table[j] == parsed->number) return tone;
    }
  }
  return 0;
}

bool InsertBgVariant(std::string& name, const std::function<std::int32_t()>& draw, std::size_t max_bytes) {
  const std::optional<BgNameNumber> parsed = ReadBgNameNumber(name);
  if (!parsed || (parsed->number != 6 && parsed->number != 7)) return true;
  std::size_t at = parsed->after_number;
  if (parsed->letter == 'A' || parsed->letter == 'B') ++at;
  if (at >= name.size() || name[at] != '.') return true;
  std::string varied = name.substr(0, at) + "_" + std::to_string(draw() & 7) + name.substr(at);
  if (varied.size() > max_bytes) return false;
  name = std::move(varied);
  return true;
}

std::optional<BgStartOffset> BgStartOffsetOf(std::int32_t number) {
  constexpr std::array kLowered{2, 19, 39, 44, 45, 64, 65};
  constexpr std::array kShifted{3, 4, 63};
  if (std::ranges::find(kLowered, number) != kLowered.end()) return BgStartOffset{0, 600};
  if (number == 50) return BgStartOffset{0, 32};
  if (std::ranges::find(kShifted, number) != kShifted.end()) return BgStartOffset{400, 0};
  return std::nullopt;
}
