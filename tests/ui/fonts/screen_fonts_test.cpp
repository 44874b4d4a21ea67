// The screen's fonts and text surfaces: a failed set-up or create step keeps nothing, deletion
// leaves an unlisted font with its caller, and the fonts outlive the destruction of the display
// objects until the screen ends.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/lifetime/handle_table.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/screen_drawables.h"
#include "support/surface_text_test.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/fonts/screen_fonts.h"
#include "ui/text_objects/text_surface_factories.h"

namespace {

class ScreenFontsTest : public SurfaceTextTest {
 protected:
  CScreenFonts& fonts_ = CScreenFonts::Of(screen_.Screen());
};

TEST_F(ScreenFontsTest, DeletingNullGivesOneAndAnUnlistedFontTwoLeavingThePointer) {
  CGdiFont stranger;
  CGdiFont* unlisted = &stranger;
  CGdiFont* font = nullptr;
  EXPECT_EQ(fonts_.DeleteFontRef(font), 1u);
  EXPECT_EQ(fonts_.DeleteFontRef(unlisted), 2u) << "empty list";
  ASSERT_EQ(fonts_.CreateGdiFont(&font, kGothic, 20, FakeFontFace::Factory(log_)), 0u);
  EXPECT_EQ(font->logical_font().height, -20);
  EXPECT_EQ(fonts_.DeleteFontRef(unlisted), 2u);
  EXPECT_EQ(unlisted, &stranger) << "the caller's pointer stays";

  g_DefaultFont = font;
  EXPECT_EQ(fonts_.DeleteFontRef(font), 0u);
  EXPECT_EQ(font, nullptr);
  EXPECT_TRUE(fonts_.GetFonts().empty());
  EXPECT_EQ(g_DefaultFont, nullptr) << "a deleted font is no longer the default";
}

TEST_F(ScreenFontsTest, AFailingCreateStepReturnsItsOwnStatusAndKeepsNothing) {
  const plat::FontFaceFactory refuse = [](const plat::FontRequest&) { return std::unique_ptr<plat::IFontFace>(); };
  CFont* font = nullptr;
  EXPECT_EQ(fonts_.CreateFont(&font, kGothic, 20, refuse), CFont(refuse).SetFont(20, 0, 0, kGothic));
  EXPECT_EQ(font, nullptr);
  EXPECT_TRUE(fonts_.GetFonts().empty());

  // Without a font the text object fails with 1 + 2, the text sprite 3 + 2, the text image 2;
  // their statuses for no memory are 2, 2 and 6.
  g_DefaultFont = nullptr;
  CScreenManager& screen = screen_.Screen();
  CTextObject* object = nullptr;
  CDDrawSprite* sprite = nullptr;
  CImage* image = nullptr;
  EXPECT_EQ(CreateTextObject(screen, &object, kPixelFormatArgb8888, "AB", nullptr), 3u);
  EXPECT_EQ(CreateDDrawSprite(screen, &sprite, "AB", nullptr), 5u);
  EXPECT_EQ(CreateTextImage(screen, &image, "AB", nullptr, 0), 2u);
  EXPECT_TRUE(screen.GetSurfaceObjects().empty());

  const std::unique_ptr<CGdiFont> plain = MakeFont<CGdiFont>(0);
  g_DefaultFont = plain.get();
  screen.SetObjectId(5);
  ASSERT_EQ(CreateTextImage(screen, &image, "AB", nullptr, 0), 0u);
  EXPECT_EQ(image->GetId(), 5u);
  EXPECT_EQ(screen.GetSurfaceObjects().back().get(), image);
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
  EXPECT_EQ(handles.Get<CDrawable>(box_handle), nullptr);
  EXPECT_EQ(handles.Get<CFontBase>(font_handle), font);
  screen.reset();
  EXPECT_EQ(handles.Get<CFontBase>(font_handle), nullptr) << "the screen's end destroys the fonts";
}

}  // namespace
