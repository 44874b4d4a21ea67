// Cutting Shift-JIS text to a byte budget without splitting a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How many of the first bytes of `text` fit in `size` bytes, double-byte characters kept whole; a
// half-width katakana is one byte, never taken for the lead byte of a pair.
std::size_t SjisFitLength(std::string_view text, std::size_t size);

// Those bytes.
std::string FitSjis(std::string_view text, std::size_t size);
