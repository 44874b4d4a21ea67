// The input method's composition as SDL reports it (text being converted, not yet typed), in
// Shift-JIS. The window thread records it; the game thread asks whether it changed.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Records the composition in UTF-8; an empty text ends it.
void SetTextComposition(std::string_view utf8);
// The composition in Shift-JIS, at most `limit` bytes cut at a character boundary.
std::string CurrentTextComposition(std::size_t limit);

}  // namespace plat
