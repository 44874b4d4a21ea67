#include "platform/start_up_head_start.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/font_face.h"
#include "platform/text_encoding.h"

namespace {

constexpr const char* kGothic = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック

// Each test runs in a process of its own, so the head start is the first to make the tables
// and to start fontconfig; what is asked meanwhile waits for it and gets the same answers.
TEST(StartUpHeadStart, WhatIsAskedWhileItRunsGetsTheAnswersOfAPlainStart) {
  std::string text;
  std::string font_path;
  bool installed = false;
  {
    const plat::StartUpHeadStart head_start;
    text = plat::SjisToUtf8("\x93\xfa\x96\x7b\x8c\xea");
    font_path = plat::FontFilePath(kGothic);
    installed = plat::IsFontFaceInstalled(kGothic);
  }
  EXPECT_EQ(text, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");  // 日本語
  EXPECT_EQ(plat::Utf8ToSjis(text), "\x93\xfa\x96\x7b\x8c\xea");
  EXPECT_FALSE(font_path.empty());
  EXPECT_EQ(font_path, plat::FontFilePath(kGothic));
  EXPECT_TRUE(installed);
}

TEST(StartUpHeadStart, EndsWhenNothingAskedForItsWork) {
  { const plat::StartUpHeadStart head_start; }
  plat::FontRequest request;
  request.face_name = kGothic;
  EXPECT_NE(plat::OpenFontFace(request), nullptr);
  EXPECT_EQ(plat::UnicodeToSjisCode(U'\u65E5'), 0x93FA);  // 日
}

}  // namespace
