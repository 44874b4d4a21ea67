// The screen's font list: both factories set their font up, a failed set-up keeps nothing,
// deletion leaves an unlisted font with its caller, and the fonts outlive the destruction of
// the display objects until the screen itself ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/screen_manager.h"
#include "scene/color_box.h"
#include "scene/screen_drawables.h"
#include "script/handle_table.h"
#include "support/surface_text_test.h"
#include "ui/font.h"
#include "ui/gdi_font.h"
#include "ui/screen_fonts.h"

namespace {

class ScreenFontsTest : public SurfaceTextTest {
 protected:
  CScreenFonts& fonts_ = CScreenFonts::Of(screen_.Screen());
};

TEST_F(ScreenFontsTest, DeletingNullGivesOneAndAnUnlistedFontTwoLeavingThePointer) {
  CGdiFont* none = nullptr;
  EXPECT_EQ(fonts_.DeleteFontRef(none), 1u);
  CGdiFont stranger;
  CGdiFont* unlisted = &stranger;
  EXPECT_EQ(fonts_.DeleteFontRef(unlisted), 2u) << "empty list";
  EXPECT_EQ(unlisted, &stranger);

  CGdiFont* font = nullptr;
  ASSERT_EQ(fonts_.CreateGdiFont(&font, kGothic, 16, FakeFontFace::Factory(log_)), 0u);
  EXPECT_EQ(fonts_.DeleteFontRef(unlisted), 2u);
  EXPECT_EQ(unlisted, &stranger) << "the caller's pointer stays";
  EXPECT_EQ(fonts_.GetFonts().size(), 1u);

  g_DefaultFont = font;
  EXPECT_EQ(fonts_.DeleteFontRef(font), 0u);
  EXPECT_EQ(font, nullptr);
  EXPECT_TRUE(fonts_.GetFonts().empty());
  EXPECT_EQ(g_DefaultFont, nullptr) << "a deleted font is no longer the default";
}

TEST_F(ScreenFontsTest, BothFactoriesSetTheFontUpPlainAtTheSizeOrKeepNothing) {
  const plat::FontFaceFactory refuse = [](const plat::FontRequest&) { return std::unique_ptr<plat::IFontFace>(); };
  CGdiFont* plain = nullptr;
  CFont* glyphs = nullptr;
  const uint32_t plain_refused = CGdiFont(refuse).SetFont(20, 0, 0, kGothic);
  const uint32_t glyphs_refused = CFont(refuse).SetFont(20, 0, 0, kGothic);
  ASSERT_NE(plain_refused, 0u);
  ASSERT_NE(glyphs_refused, 0u);
  EXPECT_EQ(fonts_.CreateGdiFont(&plain, kGothic, 20, refuse), plain_refused);
  EXPECT_EQ(fonts_.CreateFont(&glyphs, kGothic, 20, refuse), glyphs_refused);
  EXPECT_EQ(plain, nullptr);
  EXPECT_EQ(glyphs, nullptr);
  EXPECT_TRUE(fonts_.GetFonts().empty());

  ASSERT_EQ(fonts_.CreateGdiFont(&plain, kGothic, 20, FakeFontFace::Factory(log_)), 0u);
  ASSERT_EQ(fonts_.CreateFont(&glyphs, kGothic, -20, FakeFontFace::Factory(log_)), 0u);
  for (CFontBase* font : {static_cast<CFontBase*>(plain), static_cast<CFontBase*>(glyphs)}) {
    SCOPED_TRACE(font->IsGlyphFont());
    EXPECT_EQ(font->logical_font().height, -20);
    EXPECT_EQ(font->logical_font().weight, 400);
    EXPECT_EQ(font->logical_font().italic, 0);
    EXPECT_EQ(font->logical_font().face_name, std::string(kGothic));
  }
  ASSERT_EQ(fonts_.GetFonts().size(), 2u);
  EXPECT_EQ(fonts_.GetFonts().front().get(), plain);
  EXPECT_EQ(fonts_.GetFonts().back().get(), glyphs);
}

TEST_F(ScreenFontsTest, DestroyingTheObjectsKeepsTheFontsUntilTheScreenEnds) {
  HandleTable handles;
  auto screen = std::make_unique<CScreenManager>();
  CGdiFont* font = nullptr;
  CColorBox* box = nullptr;
  ASSERT_EQ(CScreenFonts::Of(*screen).CreateGdiFont(&font, kGothic, 16, FakeFontFace::Factory(log_)), 0u);
  ASSERT_EQ(CScreenDrawables::Of(*screen).CreateColorBox(&box, 4, 4, 0xFF000000, 0, 0), 0u);
  const uint32_t font_handle = font->ScriptHandle(handles);
  const uint32_t box_handle = box->ScriptHandle(handles);

  screen->DestroyObjects();
  EXPECT_TRUE(CScreenDrawables::Of(*screen).GetDrawables().empty());
  EXPECT_EQ(handles.Get<CDrawable>(box_handle), nullptr);
  EXPECT_EQ(CScreenFonts::Of(*screen).GetFonts().size(), 1u);
  EXPECT_EQ(handles.Get<CFontBase>(font_handle), font);

  ASSERT_EQ(CScreenDrawables::Of(*screen).CreateColorBox(&box, 4, 4, 0xFF000000, 0, 0), 0u);
  box->ScriptHandle(handles);
  screen.reset();
  EXPECT_EQ(handles.Get<CFontBase>(font_handle), nullptr);
  EXPECT_EQ(handles.LiveCount(), 0u) << "the screen's end destroys the drawables and the fonts";
}

}  // namespace
