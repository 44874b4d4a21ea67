// Script text reaches the desktop's clipboard as UTF-8.
#include <gtest/gtest.h>

#include "builtins/clipboard_text.h"
#include "platform/window/clipboard.h"

namespace {

TEST(ClipboardTextGuiTest, ShiftJisTextReachesTheClipboardAsUtf8) {
  const char nihongo[] = "\x93\xfa\x96\x7b\x8c\xea";
  ASSERT_EQ(CopyTextToClipboard(nihongo, 0), 0u);
  EXPECT_EQ(plat::GetClipboardText(), "日本語");

  // A length past the text stops at its end; a shorter one cuts it.
  ASSERT_EQ(CopyTextToClipboard(nihongo, 64), 0u);
  EXPECT_EQ(plat::GetClipboardText(), "日本語");
  ASSERT_EQ(CopyTextToClipboard(nihongo, 4), 0u);
  EXPECT_EQ(plat::GetClipboardText(), "日本");

  EXPECT_EQ(CopyTextToClipboard(nullptr, 0), 1u);
  EXPECT_EQ(plat::GetClipboardText(), "日本") << "unchanged";
}

}  // namespace
