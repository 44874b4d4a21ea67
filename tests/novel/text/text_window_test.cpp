// The message window on the fake face (every character advances 20 and inks an 8 × 10 box):
// skipped spaces, carried commands with and without a frame, a window that follows a point, the
// names, the typewriter on a fake clock and the click icon.
#include "novel/text/text_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/time/millisecond_clock.h"
#include "base/time/timer_manager.h"
#include "novel/frame/vov_frame.h"
#include "novel/scenario/vov_command_record.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_list.h"
#include "script/script_host.h"
#include "support/fake_clock.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "support/sob_test_files.h"
#include "ui/fonts/font.h"

namespace {

constexpr int32_t kAdvance = FakeFontFace::kWidth;
constexpr int32_t kMargin = 10;
constexpr uint32_t kLineBreakOpcode = 14;
// あいうえお…: twenty different two-byte characters.
std::string Hiragana(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += {'\x82', static_cast<char>(0xA0 + 2 * i)};
  return text;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> WithCommand(const std::string& before, uint32_t opcode, const std::string& after) {
  std::vector<uint8_t> text = Bytes(before);
  const std::vector<uint8_t> record = EncodeVovCommand(opcode, {});
  text.insert(text.end(), record.begin(), record.end());
  text.insert(text.end(), after.begin(), after.end());
  return text;
}

// The ink of a page: how far its green channel lies above the background's, summed; and the box
// of the pixels that differ.
struct Ink {
  int64_t amount = 0;
  plat::Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  bool any() const { return amount != 0; }
};
Ink MeasureInk(const CImage& page, uint32_t background) {
  Ink ink;
  for (int32_t y = 0; y < page.GetHeight(); ++y) {
    for (int32_t x = 0; x < page.GetWidth(); ++x) {
      const uint32_t pixel = page.GetPixel(x, y);
      if (pixel == background) continue;
      ink.amount += std::abs(static_cast<int32_t>(pixel >> 8 & 0xFF) - static_cast<int32_t>(background >> 8 & 0xFF));
      ink.box = {std::min(ink.box.left, x), std::min(ink.box.top, y), std::max(ink.box.right, x + 1),
                 std::max(ink.box.bottom, y + 1)};
    }
  }
  return ink;
}

bool SamePixels(const CImage& a, const CImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
  for (int32_t y = 0; y < a.GetHeight(); ++y) {
    for (int32_t x = 0; x < a.GetWidth(); ++x) {
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    }
  }
  return true;
}

class TextWindowTest : public sob_test::ScriptFilesTest {
 protected:
  void SetUp() override {
    ScriptFilesTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(kAdvance, 0, 0, "face"), 0U);
  }

  void Create(CTextWindow& window, int32_t width = 600, int32_t height = 200) {
    TextBoxSetup setup;
    setup.draw_list = &list_;
    setup.priority = 10;
    setup.width = width;
    setup.height = height;
    setup.font = &font_;
    setup.margins = {kMargin, kMargin, kMargin, kMargin};
    ASSERT_EQ(CreateTextBox(window, setup), 0U);
  }
  uint32_t Background(CTextWindow& window) { return window.text_image().GetPixel(0, 0); }
  CVovFrame& Frame() {
    if (frame_ == nullptr) frame_ = std::make_unique<CVovFrame>(host_);
    return *frame_;
  }
  void ShowMessage(CTextWindow& window, const std::vector<uint8_t>& text) {
    window.SetFrame(&Frame());
    ASSERT_EQ(window.SetText(text.data(), text.size()), 0U);
  }

  CScriptHost host_;
  ScopedFakeClock clock_;
  ScopedPixelLibrary pixels_;
  CDrawList list_;
  CTimerManager timers_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  std::unique_ptr<CVovFrame> frame_;
  CTextWindow window_;
};

TEST_F(TextWindowTest, FullWidthSpacesPrintNothingOnlyWhenSkipped) {
  Create(window_);
  const uint32_t background = Background(window_);
  const std::vector<uint8_t> spaces = Bytes("\x81\x40\x81\x40\x81\x40");
  ASSERT_EQ(window_.PrintString(spaces, 0, 0, true, true), 0U);
  EXPECT_FALSE(MeasureInk(window_.text_image(), background).any());
  EXPECT_EQ(window_.char_count(), 0U);
  EXPECT_EQ(window_.pen_x(), kMargin);

  ASSERT_EQ(window_.PrintString(spaces, 0, 0, true, false), 0U);
  EXPECT_EQ(window_.char_count(), 3U);
  EXPECT_EQ(window_.pen_x(), kMargin + 3 * kAdvance);
  EXPECT_EQ(window_.PrintString({}, 0, 0, true, true), CTextWindow::kNoString);
}

TEST_F(TextWindowTest, CarriedCommandWithoutFrameIsSteppedOverAndTheStringGoesOn) {
  Create(window_);
  const uint32_t background = Background(window_);
  const std::vector<uint8_t> text = WithCommand(Hiragana(1), kLineBreakOpcode, Hiragana(2));
  ASSERT_EQ(window_.PrintString(text, 0, 0, true, false), 0U);
  EXPECT_EQ(window_.char_count(), 3U);
  // Three cells on one line: the record neither ended the string nor broke the line.
  const Ink ink = MeasureInk(window_.text_image(), background);
  EXPECT_GT(ink.box.right, kMargin + 2 * kAdvance);
  EXPECT_LE(ink.box.right, kMargin + 3 * kAdvance);
  EXPECT_LT(ink.box.bottom - ink.box.top, kAdvance);
}

TEST_F(TextWindowTest, LineBreakRecordRunsOncePerPassAndLaysTheMessageOnTwoLines) {
  Create(window_);
  int calls = 0;
  bool always_in_handler = true;
  Frame().SetHandler(kLineBreakOpcode, [&](CVovFrame& frame, std::span<const VovOperand>) {
    ++calls;
    always_in_handler = always_in_handler && frame.InHandler();
    window_.BreakLine();
    return 0;
  });
  ShowMessage(window_, WithCommand(Hiragana(2), kLineBreakOpcode, Hiragana(3)));
  const uint32_t background = Background(window_);
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(always_in_handler);
  const std::vector<TextRunRecord>& records = window_.run().records();
  ASSERT_EQ(records.size(), 5U);
  EXPECT_TRUE(records[2].line_start);
  EXPECT_EQ(records[2].box.left, kMargin);
  EXPECT_GT(records[2].box.top, records[1].box.top);
  const Ink ink = MeasureInk(window_.text_image(), background);
  EXPECT_LE(ink.box.right, kMargin + 3 * kAdvance);
  EXPECT_GT(ink.box.bottom - ink.box.top, kAdvance);
  EXPECT_EQ(window_.char_count(), 5U);
}

TEST_F(TextWindowTest, CommandWithPositiveResultAbortsTheDisplayBeforeAnythingIsDrawn) {
  Create(window_);
  Frame().SetHandler(kLineBreakOpcode, [](CVovFrame&, std::span<const VovOperand>) { return 3; });
  ShowMessage(window_, WithCommand(Hiragana(2), kLineBreakOpcode, Hiragana(3)));
  const uint32_t background = Background(window_);
  EXPECT_EQ(window_.Display(true), CTextWindow::kCommandStopped);
  EXPECT_FALSE(MeasureInk(window_.text_image(), background).any());
  EXPECT_EQ(window_.print_state(), CTextWindow::PrintState::kNone);
}

TEST_F(TextWindowTest, DisplayNeedsTextAndFrame) {
  Create(window_);
  EXPECT_EQ(window_.Display(true), CTextWindow::kNoTextOrFrame);
  EXPECT_EQ(window_.SetText(nullptr, 3), CTextWindow::kNoText);
  const std::vector<uint8_t> text = Bytes(Hiragana(1));
  EXPECT_EQ(window_.SetText(text.data(), 0), CTextWindow::kNoText);
  ASSERT_EQ(window_.SetText(text.data(), text.size()), 0U);
  EXPECT_EQ(window_.Display(true), CTextWindow::kNoTextOrFrame);
}

TEST_F(TextWindowTest, FollowingWindowAlignedRightIsClampedToTheLeftBound) {
  // A nine-patch frame, so that the window can take the run's size.
  CImage frame;
  ASSERT_EQ(frame.Create(32, 32, 32, 0), 0U);
  ASSERT_TRUE(window_.SetFrameSlices(8, 8, 1, 1));
  ASSERT_EQ(window_.SetImages(&frame, nullptr, nullptr, false), 0);
  Create(window_);
  window_.SetFitToRun(true);
  window_.SetFollowPoint(plat::Point{100, 300}, TextWindowFollow{2, plat::Rect{20, 0, 800, 600}});
  // Fourteen cells and the margins: 300 wide.
  ShowMessage(window_, Bytes(Hiragana(14)));
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_EQ(window_.GetWidth(), 300);
  EXPECT_EQ(window_.GetX(), 20);
  EXPECT_EQ(window_.GetY(), 300);

  window_.ClearText();
  window_.SetFollowPoint(plat::Point{500, 300}, TextWindowFollow{2, plat::Rect{20, 0, 800, 600}});
  ShowMessage(window_, Bytes(Hiragana(14)));
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_EQ(window_.GetX(), 200);
}

TEST_F(TextWindowTest, NamesAreCutAtACharacterBoundary) {
  struct Case {
    const char* speaker;
    const char* voice;
    std::string name;
    std::string voice_name;
  };
  const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
  // A double-byte character across byte 16 (and 15) is dropped whole.
  const std::string straddling = "ABCDEFGHIJKLMNO" "\x82\xa0" "Z";
  const std::string straddling_voice = "ABCDEFGHIJKLMN" "\x82\xa0" "Z";
  const Case cases[] = {
      {twenty.c_str(), twenty.c_str(), "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNO"},
      {straddling.c_str(), straddling_voice.c_str(), "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMN"},
      {nullptr, nullptr, "", ""},
  };
  for (const Case& c : cases) {
    window_.SetNames(c.speaker, c.voice);
    EXPECT_EQ(window_.name(), c.name);
    EXPECT_EQ(window_.voice_name(), c.voice_name);
  }
}

TEST_F(TextWindowTest, NamePlateShowsTheSpeakerAndRefreshPutsItAway) {
  Create(window_);
  CTextLayout plate;
  ASSERT_EQ(plate.Create(&list_, 10, 200, 40, 0, 0, &font_, nullptr, 0), 0U);
  const uint32_t plate_background = plate.text_image().GetPixel(0, 0);
  window_.SetNamePlate(&plate, 0);
  ShowMessage(window_, Bytes(Hiragana(3)));
  window_.SetNames("\x83\x7e\x83\x49", "V001");
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_TRUE(plate.IsActive());
  EXPECT_TRUE(MeasureInk(plate.text_image(), plate_background).any());
  EXPECT_EQ(window_.voice_name(), "V001");

  window_.SetActive(false);
  EXPECT_FALSE(plate.IsActive());
  window_.SetActive(true);
  EXPECT_TRUE(plate.IsActive());
  window_.Refresh(true);
  EXPECT_FALSE(plate.IsActive());
  EXPECT_EQ(window_.name(), "");
  EXPECT_EQ(window_.voice_name(), "");
}

TEST_F(TextWindowTest, FittingNamePlateTakesTheNamesWidth) {
  Create(window_);
  CImage frame;
  ASSERT_EQ(frame.Create(32, 32, 32, 0), 0U);
  CTextLayout plate;
  ASSERT_TRUE(plate.SetFrameSlices(8, 8, 1, 1));
  ASSERT_EQ(plate.SetImages(&frame, nullptr, nullptr, false), 0);
  ASSERT_EQ(plate.Create(&list_, 10, 200, 40, 0, 0, &font_, nullptr, 0), 0U);
  window_.SetNamePlate(&plate, CTextWindow::kFittingPlateStyle);
  ShowMessage(window_, Bytes(Hiragana(3)));
  window_.SetNames("\x83\x7e\x83\x49", nullptr);
  ASSERT_EQ(window_.Display(true), 0U);
  // Two cells between the plate's default margins of 8.
  EXPECT_EQ(plate.GetWidth(), 2 * kAdvance + 16);
  EXPECT_TRUE(plate.IsActive());
}

class TextWindowTypingTest : public TextWindowTest {
 protected:
  // The page the same message makes when drawn at once.
  void DrawAtOnce(const std::vector<uint8_t>& text) {
    Create(reference_);
    ShowMessage(reference_, text);
    ASSERT_EQ(reference_.Display(true), 0U);
  }
  void StartTyping(const std::vector<uint8_t>& text) {
    Create(window_);
    background_ = Background(window_);
    window_.SetCharDelay(10);
    ShowMessage(window_, text);
    ASSERT_EQ(window_.Display(true), 0U);
    EXPECT_FALSE(MeasureInk(window_.text_image(), background_).any());
    EXPECT_TRUE(window_.UpdateTyping(ReadMillisecondClock()));
  }
  double InkShare() {
    return static_cast<double>(MeasureInk(window_.text_image(), background_).amount) /
           static_cast<double>(MeasureInk(reference_.text_image(), background_).amount);
  }

  CTextWindow reference_;
  uint32_t background_ = 0;
};

TEST_F(TextWindowTypingTest, TwentyCharactersAtTenMillisecondsTypeInTwoHundred) {
  const std::vector<uint8_t> text = Bytes(Hiragana(20));
  DrawAtOnce(text);
  StartTyping(text);
  EXPECT_EQ(window_.type_duration(), 200U);
  EXPECT_EQ(window_.type_state(), CTextWindow::TypeState::kTyping);

  clock_.Advance(100);
  EXPECT_TRUE(window_.UpdateTyping(ReadMillisecondClock()));
  EXPECT_GT(InkShare(), 0.4);
  EXPECT_LT(InkShare(), 0.6);

  clock_.Advance(99);
  EXPECT_TRUE(window_.UpdateTyping(ReadMillisecondClock()));
  EXPECT_LT(InkShare(), 1.0);
  clock_.Advance(1);
  EXPECT_FALSE(window_.UpdateTyping(ReadMillisecondClock()));
  EXPECT_TRUE(SamePixels(window_.text_image(), reference_.text_image()));
  EXPECT_EQ(window_.type_state(), CTextWindow::TypeState::kFinished);
  // The next message waits for the window to be cleared.
  EXPECT_EQ(window_.Display(true), CTextWindow::kStillShowing);
  window_.ClearText();
  EXPECT_EQ(window_.type_state(), CTextWindow::TypeState::kNone);
}

TEST_F(TextWindowTypingTest, FinishTypingDrawsTheRestAtOnce) {
  const std::vector<uint8_t> text = Bytes(Hiragana(20));
  DrawAtOnce(text);
  StartTyping(text);
  clock_.Advance(30);
  window_.UpdateTyping(ReadMillisecondClock());
  EXPECT_LT(InkShare(), 0.2);
  EXPECT_TRUE(window_.FinishTyping());
  EXPECT_TRUE(SamePixels(window_.text_image(), reference_.text_image()));
  EXPECT_FALSE(window_.FinishTyping());
  EXPECT_FALSE(window_.UpdateTyping(ReadMillisecondClock()));
}

TEST_F(TextWindowTypingTest, SoftEdgeRisesTowardsTheTextBehindIt) {
  const std::vector<uint8_t> text = Bytes(Hiragana(20));
  StartTyping(text);
  // 205 of 400 pixels: cell 10 (200..219) is being revealed; its ink (columns 201..208) lies in
  // the soft edge, cell 9's behind it in full.
  window_.AdvanceTyping(205);
  const CImage& page = window_.text_image();
  const int32_t ink_y = kMargin + FakeFontFace::kAscent - FakeFontFace::kOriginY + 1;
  auto green = [&](int32_t x) { return page.GetPixel(x, ink_y) >> 8 & 0xFF; };
  const uint32_t full = green(kMargin + 9 * kAdvance + 1);
  const uint32_t edge_start = green(kMargin + 10 * kAdvance + 1);
  const uint32_t edge_end = green(kMargin + 10 * kAdvance + 4);
  EXPECT_GT(full, edge_start);
  EXPECT_GT(edge_start, edge_end);
  EXPECT_EQ(green(kMargin + 10 * kAdvance + 6), background_ >> 8 & 0xFF);
}

TEST_F(TextWindowTypingTest, RevealReachingTheEndShowsTheEdgeAroundEveryLine) {
  font_.decoration = 2;
  font_.decoration_color = {255, 0, 0};
  // Two lines: 28 cells reach the break limit of a 600-wide window. With the reveal a soft edge
  // past the first line, that line shows all its ink, the edge before its first cell and after
  // its last included.
  const std::vector<uint8_t> text = Bytes(Hiragana(36));
  DrawAtOnce(text);
  StartTyping(text);
  window_.AdvanceTyping(30 * kAdvance);
  EXPECT_EQ(window_.type_state(), CTextWindow::TypeState::kTyping);
  const std::vector<TextRunRecord>& records = window_.run().records();
  ASSERT_TRUE(records[28].line_start);
  const int32_t second_line = records[28].box.top - font_.edge_radius();
  const CImage& page = window_.text_image();
  int differing = 0;
  for (int32_t y = 0; y < second_line; ++y) {
    for (int32_t x = 0; x < page.GetWidth(); ++x) differing += page.GetPixel(x, y) != reference_.text_image().GetPixel(x, y);
  }
  EXPECT_EQ(differing, 0);
  EXPECT_NE(page.GetPixel(kMargin - 1, kMargin + 6), background_);
}

TEST_F(TextWindowTypingTest, TypingImageNeedsAFontAndAnEdgeOfAFullCharacter) {
  Create(window_);
  ShowMessage(window_, Bytes(Hiragana(2)));
  EXPECT_EQ(window_.PrepareTypingImage(kAdvance - 1), CTextWindow::kEdgeTooNarrow);
  CTextWindow bare;
  EXPECT_EQ(bare.PrepareTypingImage(kAdvance), CTextWindow::kNoFont);
}

class TextWindowIconTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    // Two 6 × 8 cells of one colour each.
    ASSERT_EQ(icon_.Create(12, 8, 32, 0), 0U);
    const plat::Rect first{0, 0, 6, 8};
    const plat::Rect second{6, 0, 12, 8};
    icon_.FillRectArgb(0xFFFF0000, &first);
    icon_.FillRectArgb(0xFF00FF00, &second);
  }
  // The picture stays ours, so the icon goes first.
  void TearDown() override {
    window_.ReleaseClickIcon();
    TextWindowTest::TearDown();
  }
  ClickIconSetup Icon(bool follows) {
    ClickIconSetup setup;
    setup.source = &icon_;
    setup.frame_count = 2;
    setup.frame_time = 100;
    setup.x = 500;
    setup.y = 150;
    setup.follows = follows;
    setup.timers = &timers_;
    return setup;
  }

  CImage icon_;
};

TEST_F(TextWindowIconTest, IconAfterTextShowsNextToTheLastCharacterAndGoesAgain) {
  Create(window_);
  const uint32_t background = Background(window_);
  ASSERT_EQ(window_.SetClickIcon(Icon(true)), 0U);
  window_.SetIconAfterText(true);
  ShowMessage(window_, Bytes(Hiragana(3)));
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_TRUE(window_.icon_shown());
  timers_.Advance(ReadMillisecondClock());
  const int32_t icon_x = kMargin + 3 * kAdvance + 4;
  // The page keeps its own alpha under the icon.
  EXPECT_EQ(window_.text_image().GetPixel(icon_x, kMargin + kAdvance - 1), (background & 0xFF000000) | 0xFF0000);
  EXPECT_EQ(window_.text_image().GetPixel(icon_x - 1, kMargin + kAdvance - 1), background);

  window_.ShowClickIcon(false);
  EXPECT_FALSE(window_.icon_shown());
  EXPECT_EQ(window_.text_image().GetPixel(icon_x, kMargin + kAdvance - 1), background);
  clock_.Advance(100);
  timers_.Advance(ReadMillisecondClock());
  EXPECT_EQ(window_.text_image().GetPixel(icon_x, kMargin + kAdvance - 1), background);
}

TEST_F(TextWindowIconTest, NoIconWhileAChoiceIsAwaitedOrTheReaderSkips) {
  Create(window_);
  ASSERT_EQ(window_.SetClickIcon(Icon(true)), 0U);
  window_.SetIconAfterText(true);
  ShowMessage(window_, Bytes(Hiragana(3)));
  Frame().SetChoiceAwaited(true);
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_FALSE(window_.icon_shown());

  Frame().SetChoiceAwaited(false);
  Frame().SetSkipMode(true);
  window_.SetCharDelay(10);
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_TRUE(window_.FinishTyping());
  EXPECT_FALSE(window_.icon_shown());
  Frame().SetSkipMode(false);
  window_.ClearText();
  ShowMessage(window_, Bytes(Hiragana(3)));
  ASSERT_EQ(window_.Display(true), 0U);
  EXPECT_TRUE(window_.FinishTyping());
  EXPECT_TRUE(window_.icon_shown());
}

TEST_F(TextWindowIconTest, FixedIconAnimatesAtItsPlaceAndBadInputLeavesNone) {
  Create(window_);
  ClickIconSetup bad = Icon(false);
  bad.frame_count = 0;
  EXPECT_EQ(window_.SetClickIcon(bad), CTextWindow::kBadIcon);
  bad = Icon(false);
  bad.timers = nullptr;
  EXPECT_EQ(window_.SetClickIcon(bad), CTextWindow::kBadIcon);
  CTextWindow uncreated;
  EXPECT_EQ(uncreated.SetClickIcon(Icon(false)), CTextWindow::kIconRefused);

  // A picture with alpha is laid over the page: an opaque frame covers it, the half-covering
  // second frame leaves the page's half alpha (0x80) at 0xC0 (0x80 + 0x80 of the rest), never a
  // hole.
  const plat::Rect second{6, 0, 12, 8};
  icon_.FillRectArgb(0x8000FF00, &second);
  icon_.SetAlphaFlag(1);
  const uint32_t background = Background(window_);
  ASSERT_EQ(window_.SetClickIcon(Icon(false)), 0U);
  window_.ShowClickIcon(true);
  timers_.Advance(ReadMillisecondClock());
  EXPECT_EQ(window_.text_image().GetPixel(500, 150), 0xFFFF0000U);
  clock_.Advance(100);
  timers_.Advance(ReadMillisecondClock());
  const uint32_t half_green = window_.text_image().GetPixel(500, 150);
  ASSERT_EQ(background >> 24, 0x80U);
  EXPECT_NEAR(static_cast<int>(half_green >> 24), 0xC0, 2);
  EXPECT_GT(half_green >> 8 & 0xFF, 0x80U);
  EXPECT_EQ(half_green & 0xFF00FF, 0U);
  window_.ReleaseClickIcon();
  EXPECT_FALSE(window_.icon_shown());
  EXPECT_EQ(window_.text_image().GetPixel(500, 150), Background(window_));
  timers_.Advance(ReadMillisecondClock());
  EXPECT_EQ(timers_.GetCount(), 0U);
}

}  // namespace
