// The input method's composition as SDL reports it (text being converted, not yet typed), in
// Shift-JIS, with the segment that is being converted. The window thread records it; the game
// thread asks whether it changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Records the composition in UTF-8 and its selected segment (`start` and `length` in
// characters; a length of 0 selects nothing); an empty text ends it.
void SetTextComposition(std::string_view utf8, int32_t start = 0, int32_t length = 0);

struct TextComposition {
  std::string text;  // Shift-JIS
  // The selected segment as byte offsets into the text; begin == end when nothing is selected.
  std::size_t selected_begin = 0;
  std::size_t selected_end = 0;
};

// The composition cut to at most `limit` bytes at a character boundary, the selection cut with it.
TextComposition CurrentComposition(std::size_t limit);
// Its text alone.
std::string CurrentTextComposition(std::size_t limit);

}  // namespace plat
