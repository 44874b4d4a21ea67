// A script prints a message with a speaker name and two choices into a canvas through the text
// printer's built-ins: ink at the name's, the text's and each choice's places, the companion's
// dirty rectangles over every glyph of the text, the choice list bound to the script's chosen
// bits. The picture is written as text_printer.png in the build folder.
#include <gtest/gtest.h>

#include <string>

#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "novel/text/text_printer.h"
#include "pixel/kernels/pixel_tables.h"
#include "support/fake_font_face.h"
#include "support/game_host_fixture.h"
#include "support/png_file.h"
#include "support/region_rects.h"
#include "ui/fonts/font.h"
#include "ui/widgets/list_menu.h"

namespace {

constexpr std::uint32_t kPaper = 0xFF102040;
constexpr int32_t kTextX = 10;
constexpr int32_t kTextY = 40;

class TextPrinterPictureTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(screen_.CreateImageCanvasEx(&canvas_, 240, 130, 32, 0), 0U);
    ASSERT_EQ(screen_.CreateImageCanvasEx(&companion_, 240, 130, 32, 0), 0U);
    canvas_->GetImage()->FillRectArgb(kPaper, nullptr);
    companion_->GetImage()->GetDirtyRegion()->Clear();
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0U);
    font_.text_color = Rgb{255, 240, 160};
    g_ChoiceList = &list_;
  }
  void TearDown() override {
    g_ChoiceList = nullptr;
    GameScriptHostTest::TearDown();
  }
  // Ink in the fake face's box of a character drawn with its pen at (x, y).
  bool GlyphAt(int32_t x, int32_t y) const {
    const CImage& image = *canvas_->GetImage();
    return image.GetPixel(x + 1, y + 2) != kPaper && image.GetPixel(x + 8, y + 11) != kPaper;
  }
  bool Covered(int32_t x, int32_t y) const {
    for (const RectArray& r : RegionRects(*companion_->GetImage()->GetDirtyRegion())) {
      if (x >= r[0] && x < r[2] && y >= r[1] && y < r[3]) return true;
    }
    return false;
  }

  CScreenManager screen_;
  CImageCanvasEx* canvas_ = nullptr;
  CImageCanvasEx* companion_ = nullptr;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  CListMenu list_;
};

TEST_F(TextPrinterPictureTest, AScriptPrintsNameMessageAndChoicesIntoACanvas) {
  WriteScriptFile("SOB_INIT.DAT", sob_test::Assemble(".kind init\n.record MSG 32 16\n").bytes);
  const std::string canvas = std::to_string(canvas_->ScriptHandle(host_.Handles()));
  const std::string companion = std::to_string(companion_->ScriptHandle(host_.Handles()));
  const std::string font = std::to_string(font_.ScriptHandle(host_.Handles()));
  WriteScript("MSG", ".kind script\n"
                     "  CallNative native(466), size, result\n"
                     "  CallNative native(467), one, result\n"
                     "  CallNative native(470), target, result\n"
                     "  CallNative native(468), message_args, result\n"
                     "  CallNative native(472), name_args, result\n"
                     "  CallNative native(474), size, result\n"
                     "  CallNative native(497), choice_args, result\n"
                     "  CallNative native(504), first_choice, result\n"
                     "  CallNative native(504), second_choice, result\n"
                     "  Return\n"
                     "result: .word 0\n"
                     "size: .word 4\n"
                     "one: .word 1\n"
                     "target: .word " + canvas + ", " + companion + ", 10, 40, " + font + ", 0, 0, 0\n"
                     "message_args: .word message\n"
                     "name_args: .word 10, 8, 1, 0, 255, 0\n"
                     "choice_args: .word choices\n"
                     "first_choice: .word 30, 72, 0, 0, 255, 0\n"
                     "second_choice: .word 30, 96, 1, 0, 255, 0\n"
                     "message: .string \"\\x00\\x05\\x00#Hana\\\\voice$Hello\\\\there&more\"\n"
                     "choices: .string \"\\x00\\x02\\x00\\x02\\x00\\x05\\x00Go\\x00\\x07\\x00Stay\"\n");
  ASSERT_EQ(host_.LoadLibraries("SCRIPT\\SOB_INIT.DAT", nullptr, nullptr, false, false), 0U);
  ASSERT_EQ(host_.LoadScript("MSG", nullptr), 0U);
  ASSERT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);

  CImage& image = *canvas_->GetImage();
  EXPECT_TRUE(WritePng("text_printer.png", image));
  // The name part "Hana", the text's two lines up to the `&`, the two choices.
  for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(GlyphAt(10 + 20 * i, 8)) << "name " << i;
  for (int32_t i = 0; i < 5; ++i) EXPECT_TRUE(GlyphAt(kTextX + 20 * i, kTextY)) << "text " << i;
  for (int32_t i = 0; i < 5; ++i) EXPECT_TRUE(GlyphAt(kTextX + 20 * i, kTextY + 16)) << "second line " << i;
  EXPECT_FALSE(GlyphAt(kTextX + 20 * 5, kTextY + 16)) << "nothing after the wait mark";
  for (int32_t i = 0; i < 2; ++i) EXPECT_TRUE(GlyphAt(30 + 20 * i, 72)) << "first choice " << i;
  for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(GlyphAt(30 + 20 * i, 96)) << "second choice " << i;
  for (int32_t line = 0; line < 2; ++line) {
    for (int32_t i = 0; i < 5; ++i) {
      const int32_t x = kTextX + 20 * i;
      const int32_t y = kTextY + 16 * line;
      EXPECT_TRUE(Covered(x + 1, y + 2) && Covered(x + 8, y + 11)) << line << " " << i;
    }
  }
  ASSERT_NE(host_.CurrentReadTextRecord(), nullptr);
  EXPECT_EQ(list_.choice_record(), &host_.CurrentReadTextRecord()->choices);
  EXPECT_EQ(list_.choice_base(), 2);
  EXPECT_TRUE(host_.CurrentReadTextRecord()->read_lines.TestBit(5)) << "the wait mark marked line 5 read";
  EXPECT_EQ(host_.TextPrinter().history_count(), 1);
}

}  // namespace
