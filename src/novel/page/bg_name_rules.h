// What a background's file name says about it: the tone table of DATA/BG.TXT (which BG numbers
// are evening or night pictures), the picked variant of the BG numbers 6 and 7, and the scroll
// position some BG numbers start at.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// LoadBgToneTable's statuses.
inline constexpr std::uint32_t kBgToneUnreadable = 1;
inline constexpr std::uint32_t kBgToneNoItems = 2;
inline constexpr std::uint32_t kBgToneGroupZero = 3;
inline constexpr std::uint32_t kBgToneRepeatFirst = 4;
inline constexpr std::uint32_t kBgToneRepeatAfterNumber = 5;

// Reads a tone table file into `table`: entries in file order ("[word k" opens group k as -k,
// "*" repeats the group entry before it, a number is a BG number of the current group), then 0.
// Empty lines and "//" lines are skipped. 0, or one of the statuses above with `table` emptied.
std::uint32_t LoadBgToneTable(const char* file_name, std::vector<std::int32_t>& table);

// The number and letter of a background name's leaf "BG<number><letter>...": the letter
// upper-cased, 0 when none follows the number. Nothing when the leaf does not start with "BG"
// and a digit.
struct BgNameNumber {
  std::int32_t number = 0;
  char letter = 0;
  std::size_t after_number = 0;  // the position in the name just behind the digits
};
std::optional<BgNameNumber> ReadBgNameNumber(const std::string& name);

// The tone the table gives the name: 1 (evening) for the letters A and E, 2 (night) for B, C,
// D and F, when the number stands in that letter's group or the group is empty; 0 otherwise.
std::uint32_t BgToneOf(const std::vector<std::int32_t>& table, const std::string& name);

// BG numbers 6 and 7 (with no letter or the letter A or B) directly followed by '.' get "_<n>"
// before the extension, n = draw() & 7 (drawn only for such a name). The name is kept as it is
// when the result would pass `max_bytes` (false is returned then, true otherwise).
bool InsertBgVariant(std::string& name, const std::function<std::int32_t()>& draw, std::size_t max_bytes);

// The scroll position a background starts at, by its BG number; nothing for most numbers.
struct BgStartOffset {
  std::int32_t x = 0;
  std::int32_t y = 0;
};
std::optional<BgStartOffset> BgStartOffsetOf(std::int32_t number);
