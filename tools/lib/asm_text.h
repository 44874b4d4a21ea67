// Text helpers of the tools' assemblers: trimming, comments, splitting, numbers and quoted
// strings. Errors are thrown as AsmError, which the assemblers turn into a message with the line.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvxtools {

struct AsmError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

bool EqualIgnoringCase(std::string_view a, std::string_view b);
std::string_view Trim(std::string_view text);
// The line without its comment (a ';' outside a string).
std::string_view StripComment(std::string_view line);
std::vector<std::string_view> SplitBlanks(std::string_view text);
// Parts between commas, trimmed; commas inside a quoted string do not split.
std::vector<std::string_view> SplitCommas(std::string_view text);
// Decimal, 0x hexadecimal or negative; nothing when the text is not one 32-bit number.
std::optional<std::uint32_t> ParseNumber(std::string_view text);
// ParseNumber, throwing AsmError.
std::uint32_t Number(std::string_view text);
// A double-quoted string with the escapes \" \\ \n \xHH.
std::string ParseString(std::string_view text);
// "name(argument)" -> argument, when the text has that form (the name in any case).
std::optional<std::string_view> Wrapped(std::string_view text, std::string_view name);
// "name+N" -> {name, N}.
std::pair<std::string_view, std::uint32_t> NameAndOffset(std::string_view text);

// Feeds every line of `source` that holds more than a comment, trimmed and without its comment,
// to `line`, then calls `finish`. An exception from either becomes false, with "line N: " and its
// message in `error` (N the line after the last for `finish`).
bool AssembleLines(std::string_view source, const std::function<void(std::string_view)>& line,
                   const std::function<void()>& finish, std::string& error);

}  // namespace kvxtools
