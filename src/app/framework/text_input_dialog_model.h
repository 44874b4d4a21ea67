// The one-line text-input dialog: what the game asks for (title, prompt, the text to start
// from, the rules of the entry, the placement) and the rule that turns an entry into its result.
// Texts are Shift-JIS.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TextInputDialogSettings {
  std::string title;   // empty: the dialog's own ("データ入力")
  std::string prompt;
  std::string text;    // the starting text, and the result after OK
  bool double_byte_only = false;
  uint8_t max_length = 0;  // in bytes; 0 none
  bool open_ime = false;
  int32_t width = 0;  // in pixels; 0 the dialog's own
  // In pixels of the owner's client area; either negative: no position.
  int32_t x = -1;
  int32_t y = -1;
};

// The longest entry the dialog reads, in bytes.
inline constexpr std::size_t kMostEnteredBytes = 255;

// The result of an entry: at most 255 bytes; with `double_byte_only`, cut before the first
// character that is not double-byte; then cut to `max_length` bytes (0: no limit). Every cut
// falls between whole characters, so that no lone lead byte is left at the end.
std::string CutEnteredText(std::string_view entered, bool double_byte_only, uint8_t max_length);
