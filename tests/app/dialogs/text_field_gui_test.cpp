// A text field in a real window (run under Xvfb): letters pushed as SDL text events travel the
// window's messages into the typing buffer and the focused field, show in its image through the
// frame's draw layer, and the caret blinks: two pictures 500 ms apart differ at the caret only.
// Written to text_field.png in the build folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/framework/text_input_buffer.h"
#include "base/time/timer_manager.h"
#include "platform/window/message_queue.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_clock.h"
#include "support/japanese_face.h"
#include "support/layer_window_test.h"
#include "support/png_file.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/text_edit.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 120;
constexpr int32_t kFieldX = 40;
constexpr int32_t kFieldY = 30;
constexpr int32_t kFieldWidth = 240;
constexpr int32_t kMargin = 4;

class TextFieldWindowTest : public LayerWindowTestBase {
 protected:
  TextFieldWindowTest() : LayerWindowTestBase("text field test", kWidth, kHeight) {}
  void SetUp() override {
    LayerWindowTestBase::SetUp();
    ASSERT_EQ(font_.SetFont(20, 0, 0, kGothic), 0U);
  }
  std::vector<uint32_t> Present() {
    EXPECT_EQ(screen_->UpdateScreen(), 0U);
    return ShownPixels(*window_, kWidth, kHeight);
  }
  // Each text as one SDL text event for the window; the messages they become go to the buffer.
  void Type(const std::vector<const char*>& texts) {
    for (const char* text : texts) {
      SDL_Event event{};
      event.type = SDL_TEXTINPUT;
      event.text.windowID = window_->Id();
      std::strncpy(event.text.text, text, sizeof event.text.text - 1);
      ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    plat::Message message;
    while (plat::PeekMessage(message, true)) {
      if (message.message == plat::WM_CHAR || message.message == plat::WM_IME_CHAR) {
        buffer_.AppendCharacter(message.wparam);
      }
    }
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  CFont font_;
  CTimerManager timers_;
  CTextInputBuffer buffer_;
};

TEST_F(TextFieldWindowTest, TypedLettersShowInTheFieldAndTheCaretBlinks) {
  auto* list = dynamic_cast<CDrawList*>(frame_.GetList());
  ASSERT_NE(list, nullptr);
  CTextEdit field;
  field.SetColours(0xFFE0E0F0, 0x102040);
  ASSERT_EQ(field.CreateSingleLine(list, 10, &timers_, nullptr, &font_, kFieldWidth, "", kFieldX, kFieldY, kMargin,
                                   true, 1),
            0U);
  gui_test::TestWindow window;
  ASSERT_EQ(window.AddChild(&field, -1), 0U);
  ASSERT_EQ(window.SetFocusTo(&field), 0);

  Type({"Kest", "rune"});
  ASSERT_TRUE(buffer_.Deliver(field));
  ASSERT_EQ(field.GetEditText(), "Kestrune");

  const std::vector<uint32_t> first = Present();
  EXPECT_TRUE(WritePng("text_field.png", first, kWidth, kHeight));
  clock_.Advance(500);
  timers_.Dispatch(0);
  const std::vector<uint32_t> second = Present();

  const plat::Rect caret = *field.GetCaret().GetBoundsPtr();
  const uint32_t paper = first[static_cast<size_t>((kFieldY + 10) * kWidth + kFieldX + kFieldWidth - 10)];
  int32_t changed_at_caret = 0;
  int32_t ink = 0;
  int32_t ink_right = 0;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const size_t at = static_cast<size_t>(y * kWidth + x);
      const bool in_caret = x >= caret.left && x < caret.right && y >= caret.top && y < caret.bottom;
      if (first[at] != second[at]) {
        ASSERT_TRUE(in_caret) << "only the caret changes, not " << x << "," << y;
        ++changed_at_caret;
      }
      const bool inside = x > kFieldX + 1 && x < kFieldX + kFieldWidth - 1 && y > kFieldY + 1 &&
                          y < kFieldY + field.GetHeight() - 1;
      if (inside && !in_caret && (first[at] & 0xFFFFFF) != (paper & 0xFFFFFF)) {
        ++ink;
        ink_right = std::max(ink_right, x);
      }
    }
  }
  EXPECT_EQ(changed_at_caret, caret.Width() * caret.Height()) << "the caret turned off whole";
  EXPECT_EQ(caret.Width(), 2);
  EXPECT_EQ(caret.Height(), 20);
  EXPECT_GT(ink, 100) << "the letters show";
  EXPECT_LT(ink_right, caret.left) << "and lie left of the caret at their end";
  EXPECT_GT(caret.left, kFieldX + kMargin + 60);
}

}  // namespace
