// A script text box printing a message in the installed Japanese face in a real window (run
// under Xvfb): while it waits at a mark, the characters before the mark are on screen and nothing
// after them, the wait icon shows its cell in the box and the speaker's name stands in the name
// box; once it goes on, the icon's place shows the background again. Written to
// script_text_box_window.png in the build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/lifetime/ref_counted.h"
#include "base/settings/game_settings.h"
#include "base/time/timer_manager.h"
#include "scene/animations/cell_sheet.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_clock.h"
#include "support/fake_message_text.h"
#include "support/japanese_face.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/dialogs/script_text_box.h"
#include "ui/dialogs/text_anim_task.h"
#include "ui/fonts/font.h"

namespace {

constexpr char kBefore[] = "\x91\x8B\x82\xCC\x8A\x4F\x82\xF0";                   // 窓の外を
constexpr char kAfter[] = "\x8C\xA9\x82\xE9\x82\xC6\x81\x41";                    // 見ると、
constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;
constexpr int32_t kBoxX = 40;
constexpr int32_t kBoxY = 80;
constexpr int32_t kBoxWidth = 240;
constexpr int32_t kBoxHeight = 120;
constexpr int32_t kMargin = 12;
constexpr int32_t kIconX = 210;
constexpr int32_t kIconY = 95;
constexpr int32_t kIconSize = 12;
constexpr uint32_t kBoxColour = 0x203060;
constexpr uint32_t kIconColour = 0xE02020;

bool IsInk(uint32_t pixel) { return (pixel >> 8 & 0xFF) > 0xB0; }

class ScriptTextBoxWindowTest : public LayerWindowTestBase {
 protected:
  ScriptTextBoxWindowTest() : LayerWindowTestBase("script text box test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowTestBase::SetUp();
    ASSERT_EQ(font_.SetFont(20, 0, 0, kGothic), 0U);
    font_.text_color = Rgb{255, 255, 255};
    settings_ = DefaultGameSettings();
    g_UserConfig = &settings_;
  }
  void TearDown() override {
    g_UserConfig = nullptr;
    LayerWindowTestBase::TearDown();
  }
  std::vector<uint32_t> Present() {
    EXPECT_EQ(screen_->UpdateScreen(), 0U);
    return ShownPixels(*window_, kWidth, kHeight);
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  GameSettingsBlock settings_{};
  CTimerManager timers_;
  CFont font_;
  FakeMessageText message_;
};

TEST_F(ScriptTextBoxWindowTest, WaitingAtAMarkShowsTheTextBeforeItTheIconAndTheName) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  CTextLayout name_box;
  ASSERT_EQ(name_box.Create(list, 10, 120, 36, kBoxX, kBoxY - 40, &font_, nullptr, 0), 0U);
  ASSERT_EQ(name_box.SetBackground(1, kBoxColour, 255, true), 0);

  // The icon's cells outlive the box, whose end draws the icon's rest frame.
  CImage cells;
  ASSERT_EQ(cells.Create(2 * kIconSize, kIconSize, 32, 0), 0U);
  cells.FillRectArgb(0xFF000000 | kIconColour, nullptr);
  RefPtr<CCellSheet> sheet = MakeRef<CCellSheet>();
  CScriptTextBox box(&message_, &timers_);
  ASSERT_EQ(box.Create(list, 10, kBoxWidth, kBoxHeight, kBoxX, kBoxY, &font_, nullptr, 0), 0U);
  box.SetLayoutRect(kMargin, kMargin, kMargin, kMargin, false);
  ASSERT_EQ(box.SetBackground(1, kBoxColour, 255, true), 0);
  box.SetNameBox(&name_box);
  CellSheetSetup setup;
  setup.cell_count = 2;
  setup.frame_time = 200;
  setup.target = &box.text_image();
  setup.x = kIconX;
  setup.y = kIconY;
  setup.background_mode = CellSheetSetup::kKeepBackground;
  ASSERT_EQ(sheet->Attach(&cells, setup), 0U);
  box.SetPictureSet(sheet.get());

  message_.Set({FakeMessageText::Text(kBefore), {{IMessageText::kWaitStop, "", 0}}, FakeMessageText::Text(kAfter),
                {{IMessageText::kEnd, "", 0}}},
               "Aoi\\aoi_001");
  ASSERT_EQ(box.StartAnimation(true), 0U);
  for (int frame = 0; frame < 8; ++frame) {
    clock_.Advance(30);
    timers_.Dispatch(0);
  }
  ASSERT_EQ(box.animation()->state(), CTextAnimTask::kWaiting);
  EXPECT_STREQ(box.voice_name(), "aoi_001");

  std::vector<uint32_t> shown = Present();
  EXPECT_TRUE(WritePng("script_text_box_window.png", shown, kWidth, kHeight));
  auto at = [&](int32_t x, int32_t y) { return shown[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFF; };
  auto ink_in = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
    int32_t ink = 0;
    for (int32_t y = top; y < bottom; ++y) {
      for (int32_t x = left; x < right; ++x) ink += IsInk(at(x, y)) ? 1 : 0;
    }
    return ink;
  };
  const int32_t line_top = kBoxY + kMargin;
  const int32_t printed_end = kBoxX + box.pen_x();
  EXPECT_GT(ink_in(kBoxX + kMargin, line_top, printed_end, line_top + box.line_size()), 80) << "the text before the mark";
  EXPECT_EQ(ink_in(printed_end + 1, kBoxY, kBoxX + kBoxWidth, kBoxY + kBoxHeight), 0) << "nothing after it";
  EXPECT_EQ(at(kBoxX + kIconX + 3, kBoxY + kIconY + 3), kIconColour) << "the wait icon";
  EXPECT_GT(ink_in(kBoxX, kBoxY - 40, kBoxX + 120, kBoxY - 4), 30) << "the name in the name box";

  ASSERT_EQ(box.ControlAnimation(CTextAnimTask::kContinue), 0U);
  for (int frame = 0; frame < 8; ++frame) {
    clock_.Advance(30);
    timers_.Dispatch(0);
  }
  EXPECT_EQ(box.animation()->state(), CTextAnimTask::kEnded);
  shown = Present();
  EXPECT_EQ(at(kBoxX + kIconX + 3, kBoxY + kIconY + 3), kBoxColour) << "the icon's place after it went";
  EXPECT_GT(ink_in(printed_end, line_top, kBoxX + box.pen_x(), line_top + box.line_size()), 80) << "the rest";
}

}  // namespace
