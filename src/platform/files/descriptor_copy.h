// Copying what one open file holds into another, or into memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace plat {

// Reads `from` to its end and writes all of it to `to`; false on a failed read or write.
bool CopyContents(int from, int to);

enum class CopyEnd { kWhole, kFailed, kPastLimit };
// The same for a file that may hold at most `limit` bytes: kPastLimit when `from` holds more,
// read while it is written to, of which no byte past the limit is written.
CopyEnd CopyContentsUpTo(int from, int to, std::uint64_t limit);

// Reads `from` to its end; nothing on a failed read or when it holds more than `limit` bytes.
std::optional<std::vector<std::uint8_t>> ReadContents(int from, std::size_t limit);

}  // namespace plat
