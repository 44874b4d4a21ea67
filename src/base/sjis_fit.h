// Cutting Shift-JIS text to a byte budget without splitting a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The first bytes of `text` that fit in `size` bytes, double-byte characters kept whole; a
// half-width katakana is one byte, never taken for the lead byte of a pair.
std::string FitSjis(std::string_view text, std::size_t size);
