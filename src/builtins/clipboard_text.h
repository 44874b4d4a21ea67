// Shift-JIS text from the scripts onto the desktop's clipboard.
#pragma once

#include <cstdint>

// Copies `length` bytes of `text` (0: the text and its terminating zero), up to the first zero
// byte, as UTF-8: 0 done; 1 null text; 2 the clipboard does not take it.
uint32_t CopyTextToClipboard(const char* text, uint32_t length);
