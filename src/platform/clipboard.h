// The desktop's clipboard, as UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// False when the desktop cannot take the text.
bool SetClipboardText(std::string_view utf8);
// Empty when the clipboard holds no text.
std::string GetClipboardText();

}  // namespace plat
