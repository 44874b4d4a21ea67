// The text field on the fake face at size 20 (every character 20 wide): typing into the edit
// buffer within its limits, Backspace over two-byte characters, focus binding the input method,
// the composition drawn in place and the mode label's texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/time/timer_manager.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/fonts/font.h"
#include "ui/gui/gui_test_support.h"
#include "ui/widgets/fake_ime.h"
#include "ui/widgets/ime_mode_label.h"
#include "ui/widgets/text_edit.h"

namespace {

constexpr int32_t kSize = 20;
constexpr char kA[] = "\x82\xA0";   // あ
constexpr char kKa[] = "\x83\x41";  // ア

class TextEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(kSize, 0, 0, "face"), 0U);
  }
  void CreateField(int32_t max_length, int32_t lines, const char* text = "") {
    field_.SetMaxLength(max_length);
    const uint32_t made = lines == 0
                              ? field_.CreateSingleLine(&list_, 10, &timers_, &ime_, &font_, 200, text, 30, 40, 2, false, 7)
                              : field_.CreateMultiLine(&list_, 10, &timers_, &ime_, &font_, lines, 16, text, 30, 40, 2,
                                                       0, false, 7);
    ASSERT_EQ(made, 0U);
    ASSERT_EQ(window_.AddChild(&field_, -1), 0U);
  }

  ScopedPixelLibrary pixels_;
  CDrawList list_;
  CTimerManager timers_;
  gui_test::FakeIme ime_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  gui_test::TestWindow window_;
  CTextEdit field_;
};

TEST_F(TextEditTest, TypedTextKeepsToTheFieldsLimits) {
  struct Case {
    const char* name;
    int32_t max_length;
    int32_t lines;
    bool double_byte_only;
    const char* start;
    std::vector<std::string> typed;
    std::string expected;
  };
  const Case cases[] = {
      {"length 4 holding ab takes one two-byte character, then nothing", 4, 0, false, "ab", {kA, "c", kKa},
       std::string("ab") + kA},
      {"double-byte only refuses a letter", 255, 0, true, "", {"a", kA, "b"}, kA},
      {"Backspace after ア takes both bytes", 255, 0, false, "", {std::string("x") + kKa, "\b"}, "x"},
      {"Backspace after あ takes both bytes", 255, 0, false, "", {std::string("x") + kA, "\b"}, "x"},
      {"Backspace after two letters takes the second", 255, 0, false, "", {"ab", "\b"}, "a"},
      {"Backspace after あ then a takes the letter", 255, 0, false, "", {std::string(kA) + "a", "\b"}, kA},
      {"a 3-line field refuses a third line feed", 255, 3, false, "", {"a\nb\nc\nd"}, "a\nb\ncd"},
      {"a single-line field takes no line feed", 255, 0, false, "", {"a\nb"}, "ab"},
      {"Tab and Escape are ignored", 255, 0, false, "", {"a\t\x1b" "b"}, "ab"},
      {"a lead byte without its trail byte is dropped", 255, 0, false, "", {"a\x82"}, "a"},
      {"the initial text is cut at a whole character", 3, 0, false, "\x82\xA0\x82\xA2", {}, kA},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    CTextEdit field;
    field.SetMaxLength(each.max_length);
    field.SetDoubleByteOnly(each.double_byte_only);
    const uint32_t made =
        each.lines == 0
            ? field.CreateSingleLine(&list_, 10, &timers_, &ime_, &font_, 200, each.start, 0, 0, 2, true, 1)
            : field.CreateMultiLine(&list_, 10, &timers_, &ime_, &font_, each.lines, 16, each.start, 0, 0, 2, 0, true, 1);
    ASSERT_EQ(made, 0U);
    field.OnKeyDown(CImeEditBase::kKeyEnd);
    for (const std::string& chunk : each.typed) field.OnChar(chunk.data(), static_cast<int32_t>(chunk.size()));
    EXPECT_EQ(field.GetEditText(), each.expected);
    EXPECT_EQ(field.GetCaretOffset(), static_cast<int32_t>(each.expected.size()));
  }
}

TEST_F(TextEditTest, CaretKeysStepOverWholeCharactersAndTheFieldScrollsToTheCaret) {
  CreateField(255, 0);
  const std::string text = std::string("a") + kKa + "b" + kA;
  field_.OnChar(text.data(), static_cast<int32_t>(text.size()));
  const int32_t after_left[] = {4, 3, 1, 0, 0};
  for (const int32_t expected : after_left) {
    EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyLeft));
    EXPECT_EQ(field_.GetCaretOffset(), expected);
  }
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyDelete));
  EXPECT_EQ(field_.GetEditText(), std::string(kKa) + "b" + kA);
  EXPECT_FALSE(field_.OnKeyDown('A'));

  // 200 wide less the margins holds 9 cells: the twentieth letter scrolls the start on.
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyEnd));
  field_.OnChar("abcdefghijklmnop", 16);
  EXPECT_GT(field_.GetScrollStart(), 0);
  const plat::Rect caret = *field_.GetCaret().GetBoundsPtr();
  EXPECT_LT(caret.right, 30 + 200) << "the caret stays inside the field";
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyHome));
  EXPECT_EQ(field_.GetScrollStart(), 0);
  EXPECT_EQ(field_.GetCaret().GetX(), 30 + 2);
}

// The field measures what it holds with a typed '@' taken literally, not as the start of a
// character code: the '@' second byte of the full-width space (81 40) and of ァ (83 40) is part of
// its character, and the digits behind them are characters of their own.
TEST_F(TextEditTest, TheCaretStandsBehindCharactersWhoseSecondByteIsAnAt) {
  CreateField(255, 0);
  const struct {
    std::string typed;
    int32_t along;
  } cases[] = {{"\x81\x40" "1", 40}, {"\x83\x40" "12", 60}, {"@1", 40}};
  for (const auto& each : cases) {
    field_.OnKeyDown(CImeEditBase::kKeyHome);
    while (!field_.GetEditText().empty()) field_.OnKeyDown(CImeEditBase::kKeyDelete);
    field_.OnChar(each.typed.data(), static_cast<int32_t>(each.typed.size()));
    EXPECT_EQ(field_.GetCaret().GetX(), 30 + 2 + each.along) << each.along;
  }
}

TEST_F(TextEditTest, MultiLineFieldsWrapAndMoveTheCaretByLineAndByClick) {
  CreateField(255, 3);
  field_.OnChar("abcd\nef", 7);
  EXPECT_EQ(field_.GetLineCount(), 2);
  EXPECT_EQ(field_.GetCaretLine(), 1);
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyUp));
  EXPECT_EQ(field_.GetCaretOffset(), 2) << "the same column a line up";
  EXPECT_EQ(field_.GetCaret().GetY(), 40 + 2);
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyDown));
  EXPECT_EQ(field_.GetCaretOffset(), 7);
  EXPECT_EQ(field_.GetCaret().GetY(), 40 + 2 + kSize);
  EXPECT_FALSE(field_.OnKeyDown(CImeEditBase::kKeyDown)) << "no third line yet";

  // One-byte characters stand half a cell (10) apart; a click takes the nearer side.
  window_.SetLeftButton(true);
  EXPECT_TRUE(field_.OnMouseButton(2 + 27, 5, window_.GetMouse()));
  EXPECT_EQ(field_.GetCaretOffset(), 3);
  EXPECT_TRUE(field_.OnMouseButton(2 + 12, 2 + 25, window_.GetMouse()));
  EXPECT_EQ(field_.GetCaretOffset(), 6);
  EXPECT_EQ(field_.GetCaret().GetX(), 30 + 2 + 10);

  // Past the 16 bytes of a line the text wraps; past the last line it is cut off.
  field_.OnKeyDown(CImeEditBase::kKeyEnd);
  field_.OnChar("0123456789abcdefghijklmnopqrstuvwxyz", 36);
  EXPECT_EQ(field_.GetLineCount(), 3);
  EXPECT_EQ(field_.GetEditText(), "abcd\nef0123456789abcdefghijklmnopqrst");
}

TEST_F(TextEditTest, AFontTurnedForVerticalWritingMakesTheFieldRunDown) {
  ASSERT_EQ(font_.SetAngle(CTextEdit::kVerticalAngle), 0U);
  CreateField(255, 0, "ab");
  EXPECT_TRUE(field_.IsVertical());
  EXPECT_EQ(field_.GetWidth(), kSize + 2 * 2);
  EXPECT_EQ(field_.GetHeight(), 200);
  field_.OnKeyDown(CImeEditBase::kKeyEnd);
  EXPECT_EQ(field_.GetCaret().GetWidth(), kSize);
  EXPECT_EQ(field_.GetCaret().GetHeight(), 2);
  EXPECT_EQ(field_.GetCaret().GetY(), 40 + 2 + 2 * kSize);
  EXPECT_FALSE(field_.OnKeyDown(CImeEditBase::kKeyLeft)) << "no line to go to";
  EXPECT_TRUE(field_.OnKeyDown(CImeEditBase::kKeyUp));
  EXPECT_EQ(field_.GetCaretOffset(), 1);
}

TEST_F(TextEditTest, FocusBindsTheInputMethodShowsTheLabelAndEnterAloneDropsIt) {
  CImeModeLabel label;
  ASSERT_EQ(label.Create(&list_, &ime_, &font_, 300, 0, true, 7), 0U);
  CreateField(255, 0);
  field_.SetModeLabel(&label);
  ASSERT_EQ(window_.SetFocusTo(&field_), 0);
  EXPECT_TRUE(ime_.bound);
  EXPECT_EQ(ime_.area.left, 30);
  EXPECT_EQ(ime_.area.top, 40);
  EXPECT_EQ(ime_.area.right, 230);
  EXPECT_TRUE(label.IsActive());
  EXPECT_TRUE(field_.GetCaret().IsEnabled());
  EXPECT_TRUE(field_.IsCaretBlinking());

  // Enter in the window's only field: no next element takes the focus, so it ends; what came
  // before it in the same delivery is kept.
  field_.OnChar("ok\rno", 5);
  EXPECT_EQ(field_.GetEditText(), "ok");
  EXPECT_EQ(window_.GetFocused(), nullptr);
  EXPECT_FALSE(ime_.bound);
  EXPECT_FALSE(label.IsActive());
  EXPECT_FALSE(field_.GetCaret().IsEnabled());

  // Committed, the field is locked: it refuses typing and passes the focus on.
  char result[256] = {};
  field_.SetResultBuffer(result);
  field_.SetEditText("name");
  EXPECT_EQ(field_.Commit(), 0U);
  EXPECT_STREQ(result, "name");
  EXPECT_FALSE(field_.OnChar("x", 1));
  window_.SetFocusTo(&field_);
  EXPECT_EQ(window_.GetFocused(), nullptr);
  EXPECT_FALSE(ime_.bound);
}

TEST_F(TextEditTest, TheCompositionShowsAtTheCaretInCellsWithTheSelectedSegmentSwapped) {
  CreateField(255, 0, "ab");
  window_.SetFocusTo(&field_);
  field_.OnKeyDown(CImeEditBase::kKeyEnd);
  // 20 kana, the third and fourth being converted: more than the image's 16 cells hold.
  std::string kana;
  for (int i = 0; i < 20; ++i) kana += kA;
  ime_.composition = plat::TextComposition{kana, 4, 8};
  field_.ProcessInput(nullptr);
  const CSprite* sprite = field_.GetCompositionSprite();
  ASSERT_NE(sprite, nullptr);
  EXPECT_TRUE(sprite->IsEnabled());
  EXPECT_EQ(sprite->GetX(), field_.GetCaret().GetX());
  EXPECT_EQ(sprite->GetY(), field_.GetCaret().GetY());
  EXPECT_EQ(sprite->GetWidth(), 16 * kSize) << "cut to the image's capacity";
  const CImage& image = *field_.GetCompositionImage();
  for (int32_t cell = 0; cell < 16; ++cell) {
    const uint32_t expected = cell == 2 || cell == 3 ? 0xFFFFFFFF : 0xFF0000FF;
    EXPECT_EQ(image.GetPixel(cell * kSize + kSize - 1, kSize - 1), expected) << "cell " << cell;
  }
  ime_.composition = {};
  field_.ProcessInput(nullptr);
  EXPECT_FALSE(sprite->IsEnabled());
}

TEST_F(TextEditTest, TheModeLabelReadsTheInputMethodsModes) {
  struct Case {
    bool open;
    uint32_t conversion;
    uint32_t sentence;
    std::string text;
  };
  const Case cases[] = {
      {false, 0x19, 0x08, "\x89\x70\x90\x94"},                  // closed: 英数 whatever the modes
      {true, 0x119, 0x08, "\x89\x70\x90\x94"},                  // no conversion: 英数
      {true, 0x19, 0x08, "\x82\x71\x91\x53\x82\xD0\x98\x41"},   // Ｒ全ひ連
      {true, 0x0B, 0x05, "\x91\x53\x83\x4A\x95\xA1"},           // 全カ複 (plural before automatic)
      {true, 0x00, 0x04, "\x94\xBC\x89\x70\x8E\xA9"},           // 半英自
      {true, 0x09, 0x00, "\x91\x53\x82\xD0"},                   // 全ひ
  };
  for (const Case& each : cases) {
    EXPECT_EQ(CImeModeLabel::ModeText(each.open, each.conversion, each.sentence), each.text);
  }

  CImeModeLabel label;
  ASSERT_EQ(label.Create(&list_, &ime_, &font_, 300, 0, true, 7), 0U);
  const int32_t edge = font_.edge_radius();
  ime_.conversion = 0x19;
  label.Update();
  EXPECT_EQ(label.GetSprite().GetWidth(), 2 * kSize + 2 * edge) << "two characters: 英数";
  EXPECT_EQ(label.GetSprite().GetX(), 300 - label.GetSprite().GetWidth()) << "right-aligned at x";
  ime_.open = true;
  ime_.sentence = 0x08;
  label.Update();
  EXPECT_EQ(label.GetSprite().GetWidth(), 4 * kSize + 2 * edge) << "four characters: Ｒ全ひ連";
}

}  // namespace
