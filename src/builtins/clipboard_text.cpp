#include "builtins/clipboard_text.h"

#include <cstring>
#include <string_view>

#include "platform/encoding/text_encoding.h"
#include "platform/window/clipboard.h"

uint32_t CopyTextToClipboard(const char* text, uint32_t length) {
  if (text == nullptr) return 1;
  // A length beyond the text stops at its terminating zero instead of reading past it.
  const size_t copied = length == 0 ? std::strlen(text) : strnlen(text, length);
  return plat::SetClipboardText(plat::SjisToUtf8(std::string_view(text, copied))) ? 0 : 2;
}
