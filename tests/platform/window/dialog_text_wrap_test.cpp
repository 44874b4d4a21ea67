// The lines of a dialog's text: broken at the width by the message window's rules.
#include "platform/window/dialog_text_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// A Japanese character 16 pixels wide, a Latin one 8.
float Measure(std::string_view utf8) {
  float width = 0.0F;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) width += 8.0F;
    if (byte >= 0xC0) width += 16.0F;
  }
  return width;
}

TEST(DialogTextWrapTest, LinesBreakAtTheWidthByTheMessageWindowsRules) {
  struct Case {
    const char* what;
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"fits", "あいう", {"あいう"}},
      {"broken at the width", "あいうえおか", {"あいうえ", "おか"}},
      {"a full stop stays at the end of its line", "あいうえ。か", {"あいうえ。", "か"}},
      {"so do a closing bracket after it and a small kana", "あいうえ。」ゃか", {"あいうえ。」ゃ", "か"}},
      {"an opening bracket goes down with what it opens", "あいう「え」", {"あいう", "「え」"}},
      {"a word goes down whole, its space dropped", "ab cdefgh", {"ab", "cdefgh"}},
      {"a word longer than the line is broken", "abcdefghij", {"abcdefgh", "ij"}},
      {"line feeds end lines, empty ones too", "あ\n\nい", {"あ", "", "い"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::WrapDialogText(c.text, 64.0F, Measure), c.lines) << c.what;
  }
}

}  // namespace
