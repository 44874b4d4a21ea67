// Copying what one open file holds into another, or into memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace plat {

// Reads `from` to its end and writes all of it to `to`; false on a failed read or write.
bool CopyContents(int from, int to);

// Reads `from` to its end; nothing on a failed read or when it holds more than `limit` bytes.
std::optional<std::vector<std::uint8_t>> ReadContents(int from, std::size_t limit);

}  // namespace plat
