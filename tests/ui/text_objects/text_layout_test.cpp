// The text layout on the fake face at size 20: every character advances 20, so a 200-wide box
// with margins of 8 breaks past x = 152 (two hanging cells) and must keep ink left of 192.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/numbers/trig_tables.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/encoding/kinsoku_tables.h"
#include "scene/sprites/color_box.h"
#include "scene/drawables/draw_list.h"
#include "support/fake_font_face.h"
#include "support/scoped_pixel_library.h"
#include "ui/gui/gui_test_support.h"
#include "ui/fonts/font.h"
#include "ui/text_objects/text_layout.h"

namespace {

namespace kinsoku = plat::kinsoku;

constexpr char kMaru[] = "\x81\x42";     // 。
constexpr char kI[] = "\x82\xA2";        // い
constexpr char kParen[] = "\x81\x69";    // （
constexpr char kSmallTsu[] = "\x83\x62";  // ッ
constexpr int32_t kAdvance = 20;
constexpr int32_t kBreakLimit = 200 - 2 * kAdvance - 8;

// The box around every pixel that differs from the page's top-left one (right and bottom past it).
struct InkBox {
  int32_t left = INT32_MAX;
  int32_t top = INT32_MAX;
  int32_t right = INT32_MIN;
  int32_t bottom = INT32_MIN;
};
InkBox FindInk(const CImage& page) {
  InkBox ink;
  for (int32_t y = 0; y < page.GetHeight(); ++y) {
    for (int32_t x = 0; x < page.GetWidth(); ++x) {
      if (page.GetPixel(x, y) == page.GetPixel(0, 0)) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  return ink;
}

class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(font_.SetFont(kAdvance, 0, 0, "face"), 0U);
  }
  void CreateBox(int32_t width = 200, int32_t height = 100) {
    ASSERT_EQ(layout_.Create(&list_, 10, width, height, 0, 0, &font_, nullptr, 0), 0U);
  }
  // Places every character of the text; the last placement's result.
  int32_t Put(const char* text) {
    int32_t result = 0;
    while (*text != '\0') {
      result = layout_.PutChar(&text);
      if (result == CTextLayout::kPageFull) break;
    }
    return result;
  }

  ScopedPixelLibrary pixels_;
  CDrawList list_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  CTextLayout layout_;
};

TEST(KinsokuTablesTest, TablesHoldTheirBytesExactly) {
  struct Case {
    const char* table;
    size_t length;
    bool two_byte;
  };
  const Case cases[] = {{kinsoku::kNotAtLineStartSbcs, 11, false}, {kinsoku::kNotAtLineStartDbcs, 62, true},
                        {kinsoku::kSmallSbcs, 15, false},          {kinsoku::kSmallDbcs, 52, true},
                        {kinsoku::kNotAtLineEndSbcs, 6, false},    {kinsoku::kNotAtLineEndDbcs, 28, true}};
  for (const Case& c : cases) {
    ASSERT_EQ(std::strlen(c.table), c.length);
    if (!c.two_byte) continue;
    for (size_t i = 0; i < c.length; i += 2) {
      const auto lead = static_cast<uint8_t>(c.table[i]);
      EXPECT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) << i;
    }
  }
  EXPECT_EQ(std::string(kinsoku::kNotAtLineEndSbcs), "\\$([{\xA2");
  EXPECT_EQ(std::string(kinsoku::kNotAtLineStartSbcs, 7), "%),:;]}");
  EXPECT_TRUE(kinsoku::InDbcsTable(kinsoku::kNotAtLineStartDbcs, 0x81, 0x42));  // 。
  EXPECT_TRUE(kinsoku::InDbcsTable(kinsoku::kNotAtLineStartDbcs, 0x81, 0xF1));  // ‰, the last
  EXPECT_TRUE(kinsoku::InDbcsTable(kinsoku::kSmallDbcs, 0x83, 0x96));           // ヶ, the last
  EXPECT_TRUE(kinsoku::InDbcsTable(kinsoku::kNotAtLineEndDbcs, 0x81, 0x69));    // （
  EXPECT_TRUE(kinsoku::InDbcsTable(kinsoku::kNotAtLineEndDbcs, 0x81, 0x92));    // ￡, the last
  EXPECT_FALSE(kinsoku::InDbcsTable(kinsoku::kNotAtLineStartDbcs, 0x42, 0x81));  // never across pairs
  EXPECT_FALSE(kinsoku::InDbcsTable(kinsoku::kSmallDbcs, 0x82, 0xA0));          // あ is not small
}

TEST(LayoutCharTest, ReadsEscapesAndTwoByteCharacters) {
  struct Case {
    const char* text;
    int32_t length;
    uint8_t lead;
    bool two_byte;
  };
  const Case cases[] = {
      {"@@x", 2, '@', false},        {"@12345x", 6, 0, false},   {"@123456", 7, 0, false},
      {"@1234567", 7, 0, false},     {"@x", 1, 0, false},        {"A", 1, 'A', false},
      {"\xB1\xB2", 2, 0xB1, true},   {"\x82\xA0", 2, 0x82, true}, {"\x82", 1, 0x82, false},
      {"", 0, 0, false},
  };
  for (const Case& c : cases) {
    const LayoutChar ch = ReadLayoutChar(c.text);
    EXPECT_EQ(ch.length, c.length) << c.text;
    EXPECT_EQ(ch.lead, c.lead) << c.text;
    EXPECT_EQ(ch.two_byte(), c.two_byte) << c.text;
  }
}

TEST_F(TextLayoutTest, BreaksPastTheLimitByTheTables) {
  struct Case {
    const char* name;
    std::string line;  // ends past the break limit
    const char* next;
    int32_t result;
  };
  const std::string past = "ABCDEFGH";  // the eighth starts at 148, inside the limit
  const Case cases[] = {
      {"full stop stays", past, kMaru, CTextLayout::kPlaced},
      {"small tsu stays", past, kSmallTsu, CTextLayout::kPlaced},
      {"hiragana wraps", past, kI, CTextLayout::kPlacedAfterBreak},
      {"after an opening bracket", std::string("ABCDEFG") + kParen, kI, CTextLayout::kPlaced},
      {"one-byte closing bracket stays", past, ")", CTextLayout::kPlaced},
      {"one-byte letter wraps", past, "A", CTextLayout::kPlacedAfterBreak},
      {"no room left: wraps anyway", past + kMaru, kMaru, CTextLayout::kPlacedAfterBreak},
  };
  for (const Case& c : cases) {
    CreateBox();
    ASSERT_EQ(Put(c.line.c_str()), CTextLayout::kPlaced) << c.name;
    ASSERT_GT(layout_.pen_x(), kBreakLimit) << c.name;
    const char* text = c.next;
    EXPECT_EQ(layout_.PutChar(&text), c.result) << c.name;
    EXPECT_EQ(layout_.pen_y() != 8, c.result == CTextLayout::kPlacedAfterBreak) << c.name;
    EXPECT_LE(layout_.pen_x(), 200 - 8) << c.name;
  }
}

TEST_F(TextLayoutTest, AutoWrapOffRunsPastTheMargin) {
  CreateBox();
  layout_.SetAutoWrap(false);
  EXPECT_EQ(Put("ABCDEFGHIJKL"), CTextLayout::kPlaced);
  EXPECT_EQ(layout_.pen_y(), 8);
  EXPECT_EQ(layout_.pen_x(), 8 + 12 * kAdvance);
}

TEST_F(TextLayoutTest, FullPageLeavesPointerAndPenWhereTheyAre) {
  CreateBox();  // lines of pitch 24 from y = 8: three fit above the bottom margin of 92
  Put("ABCDEFGHI" "JKLMNOPQ" "RSTUVWXY");
  EXPECT_EQ(layout_.pen_y(), 8 + 2 * 24);
  EXPECT_TRUE(layout_.last_line());
  const int32_t pen_x = layout_.pen_x();
  const char* text = "Z";
  EXPECT_EQ(layout_.PutChar(&text), CTextLayout::kPageFull);
  EXPECT_STREQ(text, "Z");
  EXPECT_EQ(layout_.pen_x(), pen_x);
  EXPECT_EQ(layout_.pen_y(), 8 + 2 * 24);
}

TEST_F(TextLayoutTest, PutCharConsumesOneCharacterOrEscape) {
  CreateBox(400);
  const struct {
    const char* text;
    ptrdiff_t consumed;
  } cases[] = {{"@@x", 2}, {"@12345x", 6}, {"@1234567", 7}, {"\xB1\xB2x", 2}, {"\x82\xA0x", 2}, {"Ax", 1}};
  for (const auto& c : cases) {
    const char* text = c.text;
    EXPECT_EQ(layout_.PutChar(&text), CTextLayout::kPlaced) << c.text;
    EXPECT_EQ(text - c.text, c.consumed) << c.text;
  }
  const char* seventh = "7";
  EXPECT_EQ(layout_.PutChar(&seventh), CTextLayout::kPlaced);
  EXPECT_STREQ(seventh, "");
}

class TextLayoutItemTest : public TextLayoutTest {
 protected:
  void SetUp() override {
    TextLayoutTest::SetUp();
    layout_.EnableRegionMap(true, false);
    CreateBox(200, 140);
  }
  void PutItem(const char* text) {
    ASSERT_EQ(layout_.AddItem(CWidgetAction::Setup{}, "tip", 0x80FF0000), 0U);
    Put(text);
    layout_.CloseItem();
  }
};

TEST_F(TextLayoutItemTest, EveryLineOfAnItemIsASegmentAndABox) {
  Put("ABCDEF");
  PutItem("GHIJKLMN");  // crosses into the second line
  ASSERT_EQ(layout_.item_count(), 1);
  const CTextItem& item = layout_.item(0);
  ASSERT_EQ(item.segments.size(), 2U);
  EXPECT_EQ(item.segments[0].x, 8 + 6 * kAdvance - 2);
  EXPECT_EQ(item.segments[0].y, 8 - 2);
  EXPECT_EQ(item.segments[0].height, 24);
  EXPECT_EQ(item.segments[1].x, 8 - 2);
  EXPECT_EQ(item.segments[1].y, 8 + 24 - 2);
  EXPECT_TRUE(item.complete);

  EXPECT_EQ(layout_.GetRegionAt(10, 34), -1) << "parked until the pointer moves";
  EXPECT_FALSE(layout_.HitTest(190, 130));
  EXPECT_EQ(layout_.GetRegionAt(10, 34), 0);
  EXPECT_EQ(layout_.GetRegionAt(10, 10), -1);
  EXPECT_EQ(layout_.AddItem(CWidgetAction::Setup{}, nullptr, 0), 0U);
  EXPECT_EQ(layout_.AddItem(CWidgetAction::Setup{}, nullptr, 0), 1U) << "one item open at a time";
}

TEST_F(TextLayoutItemTest, HighlightPoolGrowsToTheLongestItemAndKeepsItsBoxes) {
  PutItem("ABCDEFGHIJKLMNOPQRST");  // three lines
  layout_.NewLine();
  PutItem("AB");
  ASSERT_EQ(layout_.item(0).segments.size(), 3U);
  layout_.SetItemHighlight(0, true);
  EXPECT_EQ(layout_.shown_highlights(), 3);
  ASSERT_EQ(layout_.highlight_pool_size(), 3U);
  const CColorBox& second = layout_.highlight_box(1);
  EXPECT_TRUE(second.IsEnabled());
  EXPECT_EQ(second.GetBoundsPtr()->top, layout_.item(0).segments[1].y);
  EXPECT_EQ(second.GetOpacity(), 0x80);
  EXPECT_EQ(second.GetOwnerList(), &list_);

  layout_.SetItemHighlight(0, false);
  layout_.SetItemHighlight(1, true);
  EXPECT_EQ(layout_.shown_highlights(), 1);
  EXPECT_EQ(layout_.highlight_pool_size(), 3U);
  EXPECT_FALSE(layout_.highlight_box(2).IsEnabled());
}

// Three one-line items in a window: the layout's id is 10, so item i is command 10 + i.
class TextLayoutOwnerTest : public TextLayoutItemTest {
 protected:
  void SetUp() override {
    TextLayoutItemTest::SetUp();
    window_.AddChild(&layout_, -1);
    layout_.SetId(10);
    for (const char* name : {"one", "two", "three"}) {
      CWidgetAction::Setup setup;
      setup.name1 = name;
      setup.value = 7;
      ASSERT_EQ(layout_.AddItem(setup, name, 0x80FFFFFF), 0U);
      Put("ABC");
      layout_.CloseItem();
      layout_.NewLine();
    }
  }
  void Press(uint32_t virtual_key) {
    window_.PressKeys({virtual_key});
    layout_.ProcessInput(window_.GetInputBindings());
  }
  gui_test::TestWindow window_;
};

TEST_F(TextLayoutOwnerTest, DecidingAnItemSendsIdPlusIndexAndFreezesTheItems) {
  EXPECT_TRUE(layout_.DecideItem(2));
  EXPECT_EQ(window_.commands, std::vector<int32_t>{12});
  EXPECT_EQ(window_.actions, std::vector<std::string>{"- three 7"});
  EXPECT_EQ(window_.sounds.back(), "- -4");
  EXPECT_FALSE(layout_.DecideItem(3));
  EXPECT_EQ(window_.commands.size(), 1U) << "an index naming no item sends nothing";
  layout_.OnMouseMove(20, 8 + 24 + 4);
  EXPECT_EQ(layout_.current_item(), -1) << "frozen items do not react";
}

TEST_F(TextLayoutOwnerTest, ThePointerHoversOnlyAfterItLeavesItsParkedPlace) {
  // The items were completed with the pointer at (-1, -1).
  EXPECT_EQ(layout_.GetRegionAt(20, 8 + 24 + 4), -1);
  EXPECT_FALSE(layout_.HitTest(1, 2));
  EXPECT_EQ(layout_.GetRegionAt(20, 8 + 24 + 4), -1) << "still within 3 pixels of the parked place";
  EXPECT_TRUE(layout_.HitTest(20, 8 + 24 + 4));
  EXPECT_EQ(layout_.GetRegionAt(20, 8 + 24 + 4), 1);
  layout_.OnMouseMove(20, 8 + 24 + 4);
  EXPECT_EQ(layout_.current_item(), 1);
  EXPECT_STREQ(layout_.GetText(), "two");
  EXPECT_EQ(layout_.shown_highlights(), 1);
  layout_.OnMouseLeave();
  EXPECT_EQ(layout_.current_item(), -1);
  EXPECT_EQ(layout_.GetText(), nullptr);
  EXPECT_EQ(layout_.shown_highlights(), 0);
}

TEST_F(TextLayoutOwnerTest, KeysWalkTheItemsAndDecideTheCurrentOne) {
  constexpr uint32_t kVkReturn = 0x0D;
  constexpr uint32_t kVkUp = 0x26;
  constexpr uint32_t kVkDown = 0x28;
  layout_.OnFocus(nullptr, 1);
  EXPECT_EQ(layout_.current_item(), 0);
  Press(kVkDown);
  EXPECT_EQ(layout_.current_item(), 1);
  Press(kVkDown);
  Press(kVkDown);  // past the last: the only element in the window, so back to the first
  EXPECT_EQ(layout_.current_item(), 0);
  Press(kVkUp);
  EXPECT_EQ(layout_.current_item(), 2);
  Press(kVkReturn);
  EXPECT_EQ(window_.commands, std::vector<int32_t>{12});
}

TEST_F(TextLayoutTest, SpreadTextStepsEvenlyAlongTheRectangle) {
  CreateBox(400, 100);
  layout_.SetAutoWrap(false);
  // Free room 200 + 2 + 2 - 60 = 144 in four steps of 36: the letters start at 44, 100, 156.
  layout_.DrawTextSpread("ABC", plat::Rect{0, 0, 200, 20});
  EXPECT_EQ(layout_.pen_x(), 8 + 144 + 60);
  const CImage& page = layout_.text_image();
  const int32_t glyph_row = 8 + 2 + FakeFontFace::kBoxHeight / 2;  // the ink box lies 2 below the line top
  for (const int32_t start : {44, 100, 156}) {
    EXPECT_NE(page.GetPixel(start + FakeFontFace::kOriginX, glyph_row), page.GetPixel(start, glyph_row)) << start;
  }
}

TEST_F(TextLayoutTest, AlignedTextStartsWhereItsAlignmentPutsItInTheLine) {
  TextSize size;
  font_.MeasureText("AB", &size, nullptr, nullptr, 0, nullptr);
  ASSERT_EQ(size.cx, 2 * kAdvance);
  // The line's room is 200 - 8 - 8 = 184 wide and 100 - 8 - 8 = 84 high.
  const struct {
    int32_t alignment;
    int32_t start_x;
    int32_t pen_y;
  } cases[] = {
      {0, 8 + 72, 8 + (84 - size.cy) / 2}, {1, 8 + 72, 8}, {2, 8, 8}, {3, 8 + 144, 8}, {50, 8 + 50, 8},
  };
  for (const auto& c : cases) {
    CreateBox();
    layout_.DrawTextAligned("AB", c.alignment);
    EXPECT_EQ(layout_.pen_x(), c.start_x + size.cx) << c.alignment;
    EXPECT_EQ(layout_.pen_y(), c.pen_y) << c.alignment;
  }
}

TEST_F(TextLayoutTest, VerticalAlignedTextRunsDownTheColumnWhereItsAlignmentPutsIt) {
  CTrigTables trig_tables;
  g_TrigTable = &trig_tables;
  // The column's room is 100 - 8 - 8 = 84 long; "AB" runs 40 down it.
  const struct {
    int32_t alignment;
    int32_t start_y;
  } cases[] = {{0, 8 + 22}, {1, 8 + 22}, {2, 8}, {3, 8 + 44}, {30, 8 + 30}};
  int32_t ink_end_past_start = INT32_MIN;
  for (const auto& c : cases) {
    CreateBox();
    ASSERT_EQ(layout_.SetVertical(true, true), 0U);
    const int32_t column_x = layout_.pen_x();
    layout_.DrawTextAligned("AB", c.alignment);
    EXPECT_EQ(layout_.pen_y(), c.start_y + 2 * kAdvance) << c.alignment;
    const InkBox ink = FindInk(layout_.text_image());
    ASSERT_GT(ink.right, ink.left) << c.alignment;
    if (ink_end_past_start == INT32_MIN) ink_end_past_start = ink.bottom - c.start_y;
    EXPECT_EQ(ink.bottom - c.start_y, ink_end_past_start) << "the ink moves with the start " << c.alignment;
    if (c.alignment == 0) {
      EXPECT_LE(std::abs((ink.left + ink.right) / 2 - 100), 2) << "centred across the page";
    } else {
      EXPECT_EQ(layout_.pen_x(), column_x) << "the column stays";
      EXPECT_LE(ink.right, column_x) << c.alignment;
    }
  }
  g_TrigTable = nullptr;
}

TEST_F(TextLayoutTest, TheSpriteShowsThePageAndFollowsTheWidget) {
  ASSERT_EQ(layout_.Create(&list_, 10, 200, 100, 30, 40, &font_, nullptr, 7), 0U);
  const CSprite& sprite = layout_.sprite();
  ASSERT_EQ(list_.Nodes().size(), 1U);
  EXPECT_EQ(list_.Nodes().front().drawable, &sprite);
  EXPECT_EQ(list_.Nodes().front().tag, 7U);
  EXPECT_EQ(sprite.GetId(), 7U);
  EXPECT_EQ(sprite.GetSourceImage(), &layout_.text_image());
  EXPECT_EQ(sprite.GetBlendMode(), 2);
  EXPECT_EQ(sprite.GetBoundsPtr()->right, 230);

  layout_.SetPosition(50, 60);
  layout_.SetActive(false);
  layout_.SetOpacity(90);
  layout_.SetPriority(20, 3, 0);
  EXPECT_EQ(sprite.GetX(), 50);
  EXPECT_EQ(sprite.GetY(), 60);
  EXPECT_FALSE(sprite.IsEnabled());
  EXPECT_EQ(layout_.GetOpacity(), 90);
  EXPECT_EQ(list_.Nodes().front().priority, 20U);
  EXPECT_EQ(layout_.GetGroup(), 7) << "the group is given once, when the sprite is listed";

  ASSERT_EQ(layout_.Recreate(120, 80), 0U);
  ASSERT_EQ(list_.Nodes().size(), 1U) << "made again in its place in the list";
  EXPECT_EQ(sprite.GetBoundsPtr()->right, 50 + 120);
  EXPECT_EQ(list_.Nodes().front().priority, 20U);
  layout_.Destroy();
  EXPECT_TRUE(list_.IsEmpty());
  EXPECT_EQ(sprite.GetSourceImage(), nullptr);
}

TEST_F(TextLayoutTest, TheOpaqueBandAroundTheTextAreaDragsTheBox) {
  CImage frame;
  ASSERT_EQ(frame.Create(56, 56, 32, 0), 0U);
  frame.FillRectArgb(0xFF336699, nullptr);
  ASSERT_EQ(layout_.SetImages(&frame, nullptr, nullptr, false), 0);
  CreateBox();
  ASSERT_EQ(layout_.GetWidth(), 56) << "the box takes the picture's size";
  // The background's alpha is 128 everywhere; the text area lies inside the margins of 8.
  const struct {
    uint8_t threshold;
    int32_t x;
    int32_t y;
    bool drags;
  } points[] = {{100, 2, 2, true}, {100, 50, 30, true}, {100, 20, 20, false}, {100, 60, 2, false},
                {100, -1, 2, false}, {200, 2, 2, false}};
  for (const auto& p : points) {
    layout_.SetDragThreshold(p.threshold);
    EXPECT_EQ(layout_.HitTestAlpha(p.x, p.y), p.drags) << p.x << "," << p.y << " at " << int{p.threshold};
  }

  gui_test::TestWindow window;
  window.AddChild(&layout_, -1);
  layout_.SetDragThreshold(100);
  layout_.SetPosition(100, 50);
  EXPECT_TRUE(layout_.HitTest(102, 52));
  EXPECT_EQ(window.GetCursorMode(), 3) << "the move cursor";
  window.SetLeftButton(true);
  ASSERT_TRUE(layout_.OnMouseButton(2, 2, window.GetMouse()));
  EXPECT_TRUE(layout_.HitTest(150, 80));
  EXPECT_EQ(layout_.GetX(), 148);
  EXPECT_EQ(layout_.GetY(), 78);
  // The drag goes on over the following frames while the button stays held.
  for (int held = 1; held <= 3; ++held) {
    window.NextFrame();
    EXPECT_TRUE(layout_.HitTest(150 + held * 10, 80 + held));
    EXPECT_EQ(layout_.GetX(), 148 + held * 10) << "frame " << held;
    EXPECT_EQ(layout_.GetY(), 78 + held);
  }
  window.SetLeftButton(false);
  layout_.HitTest(170, 90);
  EXPECT_FALSE(layout_.dragging());
  EXPECT_EQ(layout_.GetX(), 178) << "the box stays where the button went up";
}

TEST_F(TextLayoutTest, NinePatchResizeRoundsTheMiddleUpToWholeTiles) {
  CImage frame;
  ASSERT_EQ(frame.Create(56, 56, 32, 0), 0U);
  frame.FillRectArgb(0xFF336699, nullptr);
  ASSERT_TRUE(layout_.SetFrameSlices(16, 16, 24, 24));
  ASSERT_EQ(layout_.SetImages(&frame, nullptr, nullptr, false), 0);
  EXPECT_FALSE(layout_.SetFrameSlices(8, 8, 8, 8));
  CreateBox(200, 100);
  EXPECT_EQ(layout_.Resize(300, 104, false), 0U);
  EXPECT_EQ(layout_.GetWidth(), 320);
  EXPECT_EQ(layout_.GetHeight(), 104);
  EXPECT_EQ(layout_.text_image().GetWidth(), 320);
  EXPECT_EQ(layout_.text_image().GetPixel(319, 103), 0x80336699U) << "the frame at the background's alpha";
  EXPECT_EQ(layout_.Resize(0, 10, false), 1U);
}

TEST_F(TextLayoutTest, ResizeNeedsANinePatchAndRecreateNeedsABox) {
  EXPECT_EQ(layout_.Recreate(300, 120), 1U);
  CreateBox();
  EXPECT_EQ(layout_.Resize(300, 100, false), 1U);
  EXPECT_EQ(layout_.GetWidth(), 200);
  layout_.SetPosition(30, 40);
  EXPECT_EQ(layout_.Recreate(300, 120), 0U);
  EXPECT_EQ(layout_.GetWidth(), 300);
  EXPECT_EQ(layout_.GetHeight(), 120);
  EXPECT_EQ(layout_.GetX(), 30);
  EXPECT_EQ(layout_.text_image().GetWidth(), 300);
  EXPECT_EQ(layout_.break_limit(), 300 - 2 * kAdvance - 8) << "the font is kept";
}

TEST_F(TextLayoutTest, SetBackgroundReportsWhetherAnythingChanged) {
  EXPECT_EQ(layout_.SetBackground(1, 0x123456, 200, true), -2);
  CreateBox();
  EXPECT_EQ(layout_.SetBackground(1, 0xFF123456, 200, true), 0);
  EXPECT_EQ(layout_.text_image().GetPixel(50, 50), 0xC8123456U);
  EXPECT_EQ(layout_.SetBackground(1, 0x123456, 200, true), -1);
  EXPECT_EQ(layout_.SetBackground(1, 0x123456, 0, true), 0);
  EXPECT_EQ(layout_.text_image().GetPixel(50, 50), 0U);
}

}  // namespace

namespace {

// A picture handed over to a made box with redraw makes the box again at the picture's size, as
// a picture loaded by name does.
TEST_F(TextLayoutTest, PicturesHandedOverWithRedrawResizeTheBoxToThePicture) {
  CreateBox(200, 100);
  CImage frame;
  ASSERT_EQ(frame.Create(72, 40, 32, 0), 0U);
  frame.FillRectArgb(0xFF336699, nullptr);
  ASSERT_EQ(layout_.SetImages(&frame, nullptr, nullptr, false), 0);
  EXPECT_EQ(layout_.GetWidth(), 200) << "without redraw the box stays as it is";
  ASSERT_EQ(layout_.SetImages(&frame, nullptr, nullptr, true), 0);
  EXPECT_EQ(layout_.GetWidth(), 72);
  EXPECT_EQ(layout_.GetHeight(), 40);
}

}  // namespace
