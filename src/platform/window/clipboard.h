// The desktop's clipboard.
#pragma once

#include <string>

namespace plat {

// Puts a UTF-8 text on the clipboard; false when it cannot be had.
bool SetClipboardText(const std::string& text);
// The clipboard's text as UTF-8; empty when it holds none.
std::string GetClipboardText();

}  // namespace plat
