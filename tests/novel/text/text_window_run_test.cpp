#include "novel/text/text_window_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "novel/scenario/vov_command_record.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

// Walks the whole text and returns its characters, with "<opcode>" for every carried command.
std::string Walk(const std::vector<std::uint8_t>& text, bool skip_spaces) {
  std::string seen;
  std::size_t offset = 0;
  for (;;) {
    const TextToken token = ReadTextToken(text, offset, skip_spaces);
    if (token.kind == TextTokenKind::kEnd) return seen;
    if (token.kind == TextTokenKind::kCommand) {
      const auto command = DecodeVovCommand(CommandRecordBody(text, token));
      seen += command ? "<" + std::to_string(command->opcode) + ">" : "<bad>";
    } else {
      seen.append(reinterpret_cast<const char*>(text.data() + token.offset), token.length);
    }
    offset = token.offset + token.length;
  }
}

TEST(TextWindowRunTest, OnlyFullWidthSpacesPrintNothingWhenSkipped) {
  const std::vector<std::uint8_t> spaces = Bytes("\x81\x40\x81\x40\x81\x40");
  EXPECT_EQ(Walk(spaces, true), "");
  EXPECT_EQ(Walk(spaces, false), "\x81\x40\x81\x40\x81\x40");
  EXPECT_EQ(Walk(Bytes("\x81\x40" "a\x81\x40" "b"), true), "ab");
}

TEST(TextWindowRunTest, CarriedCommandIsSteppedOverByItsLengthAndTheStringGoesOn) {
  const VovOperand operands[] = {{0, 30, {}}, {kVovStringFlag, 0, "SimSun"}};
  std::vector<std::uint8_t> text = Bytes("\x82\xa0" "b");
  Append(text, EncodeVovCommand(28, operands));
  Append(text, Bytes("c@@d@12e"));
  text.push_back(0);
  text.push_back(0);
  EXPECT_EQ(Walk(text, false), "\x82\xa0" "b<28>c@@d@12e");
}

TEST(TextWindowRunTest, ZeroOrBrokenRecordEndsTheText) {
  std::vector<std::uint8_t> record = EncodeVovCommand(14, {});
  struct Case {
    const char* name;
    std::vector<std::uint8_t> text;
    std::string expected;
  };
  std::vector<std::uint8_t> cut = Bytes("a");
  Append(cut, record);
  cut.resize(cut.size() - 1);
  std::vector<std::uint8_t> short_length = Bytes("a");
  Append(short_length, {0x00, '[', 4, 0, 0, 0, 0, 0, 0, 0});
  std::vector<std::uint8_t> huge_length = Bytes("a");
  Append(huge_length, {0x00, '[', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
  const Case cases[] = {
      {"plain zero", Bytes(std::string("a\0b", 3)), "a"},
      {"record cut short", cut, "a"},
      {"length below the header", short_length, "a"},
      {"length past the end", huge_length, "a"},
      {"lone lead byte at the end", Bytes("a\x82"), "a\x82"},
  };
  for (const Case& c : cases) EXPECT_EQ(Walk(c.text, false), c.expected) << c.name;
}

TEST(TextWindowRunTest, FollowingWindowIsPlacedByAlignAndClampedToTheBounds) {
  struct Case {
    std::uint8_t align;
    plat::Rect bounds;
    int32_t x;
    int32_t y;
    int32_t expected_x;
    int32_t expected_y;
  };
  const Case cases[] = {
      {2, {0, 0, 800, 600}, 100, 50, 0, 50},       // right edge at 100 would start at -200
      {2, {-1, 0, 0, 0}, 100, 50, -200, 50},       // no bounds: not clamped
      {0, {0, 0, 800, 600}, 400, 50, 250, 50},     // centred
      {1, {0, 0, 800, 600}, 700, 550, 500, 500},   // pushed back inside right and bottom
      {0, {100, 0, 300, 600}, 200, 0, 100, 0},     // wider than the bounds: the left bound holds
  };
  for (const Case& c : cases) {
    const plat::Point origin = FollowingWindowOrigin(c.x, c.y, 300, 100, {c.align, c.bounds});
    EXPECT_EQ(origin.x, c.expected_x) << int{c.align} << " at " << c.x;
    EXPECT_EQ(origin.y, c.expected_y) << int{c.align} << " at " << c.x;
  }
}

TEST(TextWindowRunTest, RunIsPlacedInsideItsMargins) {
  CTextRun run;
  run.Begin(40, 30);
  EXPECT_TRUE(run.open());
  EXPECT_EQ(run.Box().Width(), 0);
  run.Add({40, 30, 62, 52}, true);
  run.Add({62, 30, 84, 52}, false);
  run.Add({40, 52, 51, 74}, true);
  const plat::Rect box = run.Box();
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.bottom, 74);

  const plat::Rect placed = run.Place(RunMarginsForStyle(2, 0, 0, 2, false));
  EXPECT_EQ(placed.Width(), 44 + 4);
  EXPECT_EQ(placed.Height(), 44 + 4);
  EXPECT_EQ(run.records()[0].box.left, 2);
  EXPECT_EQ(run.records()[0].box.top, 2);
  EXPECT_EQ(run.records()[2].box.top, 24);
  EXPECT_TRUE(run.records()[2].line_start);
  EXPECT_EQ(run.Extent(false), 22 + 22 + 11);
  EXPECT_EQ(run.Extent(true), 66);
  run.End();
  EXPECT_FALSE(run.open());
}

TEST(TextWindowRunTest, MarginsFollowTheFontStyle) {
  struct Case {
    std::uint8_t style;
    int32_t shadow_x;
    int32_t shadow_y;
    bool vertical;
    TextRunMargins expected;
  };
  const Case cases[] = {
      {0, 3, 3, false, {0, 0, 0, 0}},
      {1, 2, 3, false, {0, 0, 2, 3}},
      {1, -2, -3, false, {2, 3, 0, 0}},
      {2, 5, 5, false, {1, 1, 1, 1}},
      {2, 0, 0, true, {2, 2, 2, 2}},
  };
  for (const Case& c : cases) {
    const TextRunMargins margins = RunMarginsForStyle(c.style, c.shadow_x, c.shadow_y, 1, c.vertical);
    EXPECT_EQ(margins.left, c.expected.left) << int{c.style};
    EXPECT_EQ(margins.top, c.expected.top) << int{c.style};
    EXPECT_EQ(margins.right, c.expected.right) << int{c.style};
    EXPECT_EQ(margins.bottom, c.expected.bottom) << int{c.style};
  }
}

TEST(TextWindowRunTest, RevealRunsWithTheClockAndEndsAtTheDuration) {
  // charDelay 10 over 20 characters of 22 pixels.
  EXPECT_EQ(TypingRevealPosition(0, 200, 440), 0);
  EXPECT_EQ(TypingRevealPosition(100, 200, 440), 220);
  EXPECT_EQ(TypingRevealPosition(199, 200, 440), 437);
  EXPECT_EQ(TypingRevealPosition(200, 200, 440), 440);
  EXPECT_EQ(TypingRevealPosition(0xFFFFFFFF, 200, 440), 440);
  EXPECT_EQ(TypingRevealPosition(0, 0, 440), 440);
}

TEST(TextWindowRunTest, NamesAreCutAtACharacterBoundary) {
  EXPECT_EQ(CutAtCharacter("ABCDEFGHIJKLMNOPQRST", 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(CutAtCharacter("ABCDEFGHIJKLMNOPQRST", 15), "ABCDEFGHIJKLMNO");
  // Eight double-byte characters fill 16 bytes; after one single byte the eighth no longer fits.
  const std::string kana = "\x83\x7e\x83\x49\x83\x7e\x83\x49\x83\x7e\x83\x49\x83\x7e\x83\x49\x83\x7e";
  EXPECT_EQ(CutAtCharacter(kana.c_str(), 16), kana.substr(0, 16));
  EXPECT_EQ(CutAtCharacter(("a" + kana).c_str(), 16), "a" + kana.substr(0, 14));
  EXPECT_EQ(CutAtCharacter(kana.c_str(), 15), kana.substr(0, 14));
  EXPECT_EQ(CutAtCharacter(nullptr, 16), "");
  EXPECT_EQ(CutAtCharacter("\x83", 16), "\x83");
}


TEST(TextWindowRunTest, RevealSlicesFollowTheBoxesInReadingOrder) {
  CTextRun run;
  run.Begin(0, 0);
  run.Add({0, 0, 20, 22}, true);
  run.Add({20, 0, 40, 22}, false);
  run.Add({0, 22, 10, 44}, true);
  const std::vector<CTextRun::Slice> slices = run.Slices(15, 45, false);
  ASSERT_EQ(slices.size(), 3u);
  EXPECT_EQ(slices[0].record, 0u);
  EXPECT_EQ(slices[0].from, 15);
  EXPECT_EQ(slices[0].to, 20);
  EXPECT_EQ(slices[1].from, 0);
  EXPECT_EQ(slices[1].to, 20);
  EXPECT_EQ(slices[2].record, 2u);
  EXPECT_EQ(slices[2].to, 5);
  EXPECT_TRUE(run.Slices(20, 20, false).empty());
  EXPECT_EQ(run.Slices(-8, 1000, true).size(), 3u);
  EXPECT_EQ(run.Slices(-8, 1000, true)[2].to, 22);
}

TEST(TextWindowRunTest, SoftEdgeFadesTowardsTheRevealEdge) {
  CColorRamp ramp;
  ASSERT_EQ(ramp.Build(8, 255, 0, 8), 0u);
  EXPECT_EQ(SoftEdgeWeight(ramp, 0), ramp.GetEntry(7));
  EXPECT_EQ(SoftEdgeWeight(ramp, 7), ramp.GetEntry(0));
  EXPECT_LT(SoftEdgeWeight(ramp, 0), SoftEdgeWeight(ramp, 4));
  EXPECT_LT(SoftEdgeWeight(ramp, 4), SoftEdgeWeight(ramp, 7));
  EXPECT_EQ(SoftEdgeWeight(ramp, 8), 255);
  EXPECT_EQ(SoftEdgeWeight(ramp, -1), 255);
  CColorRamp empty;
  EXPECT_EQ(SoftEdgeWeight(empty, 0), 255);
}

}  // namespace
