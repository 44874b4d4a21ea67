// The lines a dialog shows a text in, broken where they would pass a width as the game's message
// window breaks its lines, so that a box never begins a line with a full stop.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The width a UTF-8 text takes when drawn.
using TextMeasure = std::function<float(std::string_view utf8)>;

// The UTF-8 text in lines no wider than `width`, but for these rules: a character that may not
// begin a line (a closing bracket or a full stop, a small kana) stays at the end of the line
// before, past the width; one that may not end a line (an opening bracket) goes down with the
// character after it; a word of Latin letters goes down whole after the last space of its line,
// and the space at a break is dropped. A line feed ends a line.
std::vector<std::string> WrapDialogText(std::string_view utf8, float width, const TextMeasure& measure);

}  // namespace plat
