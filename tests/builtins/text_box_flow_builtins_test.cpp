// The scripts set how a text box lays its text out (wrap, line gap, character spacing, the ruby
// band and its gap, the indent of following lines) and keep a value in it: text appended before
// and after shows each setting in the pen's place, and the common get-value row reads the value.
#include <memory>
#include <string>
#include <vector>

#include "builtins/widget_builtins_fixture.h"
#include "ui/text_objects/text_layout.h"
#include "ui/widgets/check_button.h"

namespace {

using test_support::ScriptCallsRun;
using widget_test::WidgetBuiltinsTest;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr char kTexts[] = "two_lines: .string \"AB\\nCD\"\nlong_line: .string \"AAAAAAAAAAAAAAA\"\n";
// The fake face: every character 20 pixels along the line.
constexpr int32_t kAdvance = 20;
constexpr int32_t kMargin = 8;
constexpr int32_t kInsets = 2 + 2;
constexpr int32_t kFontSize = 16;
constexpr int32_t kRubySize = 8;

std::string Words(std::uint32_t handle, const std::string& rest) { return std::to_string(handle) + ", " + rest; }

class TextBoxFlowTest : public WidgetBuiltinsTest {
 protected:
  void SetUp() override {
    WidgetBuiltinsTest::SetUp();
    ASSERT_EQ(ruby_.SetFont(kRubySize, 0, 0, "face"), 0u);
    box_ = Make(696, "10, 10, 240, 120, " + FontText() + ", -1");
    ASSERT_NE(Layout(), nullptr);
    ASSERT_EQ(Call(752, Words(box_, FontText() + ", " + HandleText(static_cast<CFontBase&>(ruby_)))), 0u);
  }
  CTextLayout* Layout() { return dynamic_cast<CTextLayout*>(Widget(box_)); }
  // Sets the flow with `words` after args[0] and appends `text`: the row's result.
  std::uint32_t SetFlowThenAppend(const std::string& words, const std::string& text) {
    const ScriptCallsRun run = Run({{{763, Words(box_, words)}, {738, Words(box_, text)}}, kTexts});
    EXPECT_EQ(run.Result(1), 0u);
    return run.Result(0);
  }

  CFont ruby_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  std::uint32_t box_ = 0;
};

TEST_F(TextBoxFlowTest, EachSettingMovesTheTextThatFollowsIt) {
  // Line size with the ruby band: the font, the ruby font and the gap between them.
  const int32_t banded = kFontSize + kRubySize;
  struct Case {
    const char* name;
    std::string words;
    const char* text;
    int32_t pen_x;
    int32_t pen_y;
    int32_t line_size;
  };
  const std::vector<Case> cases = {
      {"defaults", "1, 0, 0, 1, 0, 0", "two_lines", kMargin + 2 * kAdvance, kMargin + banded + kInsets, banded},
      {"line gap", "1, 6, 0, 1, 0, 0", "two_lines", kMargin + 2 * kAdvance, kMargin + 6 + banded + kInsets, banded},
      {"negative line gap", "1, -5, 0, 1, 0, 0", "two_lines", kMargin + 2 * kAdvance, kMargin - 5 + banded + kInsets,
       banded},
      {"character spacing", "1, 0, 3, 1, 0, 0", "two_lines", kMargin + 2 * (kAdvance + 3), kMargin + banded + kInsets,
       banded},
      {"ruby gap", "1, 0, 0, 1, 4, 0", "two_lines", kMargin + 2 * kAdvance, kMargin + banded + 4 + kInsets, banded + 4},
      {"no ruby band", "1, 0, 0, 0, 4, 0", "two_lines", kMargin + 2 * kAdvance, kMargin + kFontSize + kInsets,
       kFontSize},
      {"ruby band 255", "1, 0, 0, 255, 4, 0", "two_lines", kMargin + 2 * kAdvance, kMargin + banded + 4 + kInsets,
       banded + 4},
      {"indent of following lines", "1, 0, 0, 1, 0, 30", "two_lines", kMargin + 30 + 2 * kAdvance,
       kMargin + banded + kInsets, banded},
      // 15 characters are 300 pixels, more than the box is wide.
      {"wrap", "1, 0, 0, 1, 0, 0", "long_line", kMargin + 5 * kAdvance, kMargin + banded + kInsets, banded},
      {"wrap 255", "255, 0, 0, 1, 0, 0", "long_line", kMargin + 5 * kAdvance, kMargin + banded + kInsets, banded},
      {"no wrap", "0, 0, 0, 1, 0, 0", "long_line", kMargin + 15 * kAdvance, kMargin, banded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SetFlowThenAppend(c.words, c.text), 1u);
    EXPECT_EQ(Layout()->pen_x(), c.pen_x);
    EXPECT_EQ(Layout()->pen_y(), c.pen_y);
    EXPECT_EQ(Layout()->line_size(), c.line_size);
  }
}

TEST_F(TextBoxFlowTest, ThePageStartsAgainUnderTheNewFlowAndTheIndentOutlivesThat) {
  ASSERT_EQ(SetFlowThenAppend("1, 0, 0, 1, 0, 0", "long_line"), 1u);
  ASSERT_GT(Layout()->pen_y(), kMargin);
  EXPECT_EQ(Call(763, Words(box_, "0, 2, 3, 0, 5, 12")), 1u);
  EXPECT_EQ(Layout()->pen_x(), kMargin) << "the first line starts at the margin";
  EXPECT_EQ(Layout()->pen_y(), kMargin);
  EXPECT_EQ(Layout()->indent(), 12);
  EXPECT_FALSE(Layout()->auto_wrap());
  EXPECT_FALSE(Layout()->ruby_band());
  EXPECT_EQ(Layout()->line_gap(), 2);
  EXPECT_EQ(Layout()->character_spacing(), 3);
  EXPECT_EQ(Layout()->ruby_gap(), 5);
}

TEST_F(TextBoxFlowTest, GapsSpacingAndIndentBeyondAnyPageAreHeldToItsLargestSide) {
  EXPECT_EQ(SetFlowThenAppend("0, 0x7FFFFFFF, 0x80000000, 1, 0x7FFFFFFF, 0x80000000", "long_line"), 1u);
  EXPECT_EQ(Layout()->line_gap(), 32767);
  EXPECT_EQ(Layout()->character_spacing(), -32767);
  EXPECT_EQ(Layout()->ruby_gap(), 32767);
  EXPECT_EQ(Layout()->indent(), -32767);
  EXPECT_EQ(Layout()->pen_x(), kMargin + 15 * (kAdvance - 32767));
  // Far more text than any page holds stops the pen where sums with it still cannot overflow.
  const std::string many = "many: .string \"" + std::string(1000, 'A') + "\"\n";
  ASSERT_EQ(Run({{{738, Words(box_, "many")}}, many}).Result(0), 0u);
  EXPECT_EQ(Layout()->pen_x(), -(1 << 24));
  EXPECT_EQ(SetFlowThenAppend("1, 0x80000000, 0, 1, 0x80000000, 0", "two_lines"), 1u);
  EXPECT_EQ(Layout()->line_gap(), -32767);
}

TEST_F(TextBoxFlowTest, AStoredValueIsWhatTheGetValueRowReadsBack) {
  const std::uint32_t script_box = Make(697, "10, 140, 100, 60, " + FontText() + ", -1");
  const std::uint32_t check = Make(688, "10, 150, thumb, 0, 65535");
  const ScriptCallsRun run = Run({{{739, std::to_string(box_)},
                                   {764, Words(box_, "1234")},
                                   {739, std::to_string(box_)},
                                   {764, Words(box_, "-5")},
                                   {739, std::to_string(box_)},
                                   {739, std::to_string(script_box)},
                                   {764, Words(script_box, "0")},
                                   {739, std::to_string(script_box)},
                                   {764, Words(check, "7")},
                                   {739, std::to_string(check)},
                                   {764, "0, 7"},
                                   {763, Words(check, "1, 2, 3, 1, 5, 6")},
                                   {763, "0, 1, 2, 3, 1, 5, 6"}}});
  EXPECT_EQ(run.Result(0), kMinusOne) << "nothing stored";
  EXPECT_EQ(run.Result(1), 1u);
  EXPECT_EQ(run.Result(2), 1234u);
  EXPECT_EQ(run.Result(4), static_cast<std::uint32_t>(-5));
  EXPECT_EQ(run.Result(5), kMinusOne);
  EXPECT_EQ(run.Result(6), 1u);
  EXPECT_EQ(run.Result(7), 0u);
  EXPECT_EQ(run.Result(8), 0u) << "a check button keeps no text box's value";
  EXPECT_EQ(run.Result(9), 0u) << "its own value: unchecked";
  EXPECT_EQ(run.Result(10), 0u);
  EXPECT_EQ(run.Result(11), 0u);
  EXPECT_EQ(run.Result(12), 0u);
  // A deleted box is no box.
  ASSERT_EQ(g_WidgetManager.DeleteWidget(Widget(box_)), 0u);
  const ScriptCallsRun gone = Run({{{763, Words(box_, "1, 2, 3, 1, 5, 6")}, {764, Words(box_, "9")}}});
  EXPECT_EQ(gone.Result(0), 0u);
  EXPECT_EQ(gone.Result(1), 0u);
}

TEST_F(TextBoxFlowTest, ABoxWhoseCanvasEndsIsNotMadeAgainInTheGoneList) {
  ASSERT_EQ(screen_.DeleteSurfaceObject(canvas_), 0u);
  canvas_ = nullptr;
  EXPECT_EQ(Call(765, Words(box_, "60, 40")), 3u);
}

}  // namespace
