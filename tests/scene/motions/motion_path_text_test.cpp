// The path text, letter by letter: what each point modifier does to the point, the records of
// the commands, every malformed form with its status, and the frame that a sprite or a layer's
// view gives the text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/drawables/draw_layer.h"
#include "scene/motions/motion_path.h"
#include "scene/motions/motion_path_text.h"
#include "scene/sprites/sprite.h"
#include "support/scoped_pixel_library.h"

namespace {

// A 200 x 100 sprite at (300, 300), half opaque, on an 800 x 600 page.
constexpr PathTextFrame kFrame{300, 300, 128, 200, 100, 800, 600};

PathText Parse(const std::string& text, uint32_t expected_status = 0) {
  PathText out;
  EXPECT_EQ(ParsePathText(text.c_str(), kFrame, out), expected_status) << '"' << text << '"';
  return out;
}

const MotionPathRecord& LastPoint(const PathText& text) {
  for (size_t i = text.records.size(); i-- > 0;) {
    if (text.records[i].kind == MotionPathRecord::kPoint) return text.records[i];
  }
  return text.records.front();
}

TEST(MotionPathTextTest, EachPlaceModifierMovesThePointAsItsRowSays) {
  struct Case {
    const char* text;
    int32_t x;
    int32_t y;
  };
  const Case cases[] = {
      {"l", 0, 300},       {"r", 600, 300},   {"c", 300, 300},    {"u", 300, 0},       {"d", 300, 500},
      {"l u i", 300, 300}, {"!l", -200, 300}, {"!r", 800, 300},   {"!u", 300, -100},   {"!d", 300, 600},
      {"l !c", 300, 250},  {"<", 250, 300},   {">2", 400, 300},   {"^", 300, 250},     {"_3", 300, 450},
      {"[", 275, 300},     {"]4", 400, 300},  {"-", 300, 275},    {"+2", 300, 350},    {"-500", 300, 300 - 500 * 25},
      {"L10 >", 310, 300}, {"M4 [2", 292, 300}, {"L >", 350, 300}, {"ld", 0, 500},      {"!l>", -150, 300},
  };
  for (const Case& c : cases) {
    const PathText text = Parse(c.text);
    const MotionPathRecord& point = LastPoint(text);
    EXPECT_EQ(point.x, c.x) << c.text;
    EXPECT_EQ(point.y, c.y) << c.text;
  }
}

TEST(MotionPathTextTest, OpacitySwingPhaseTurnAndZoomAreTheirLettersValues) {
  EXPECT_EQ(LastPoint(Parse("O")).alpha, 255);
  EXPECT_EQ(LastPoint(Parse("O0")).alpha, 0);
  EXPECT_EQ(LastPoint(Parse("O40")).alpha, 40);
  EXPECT_EQ(LastPoint(Parse("O300")).alpha, 255) << "held within 0-255";
  EXPECT_EQ(LastPoint(Parse("c")).alpha, 128) << "the start's opacity carries on";

  const MotionPathRecord swing = LastPoint(Parse("$2%"));
  EXPECT_EQ(swing.swing_x, 100);
  EXPECT_EQ(swing.swing_y, 50);
  const MotionPathRecord phases = LastPoint(Parse("$P-5,7"));
  EXPECT_EQ(phases.phase_x, -5);
  EXPECT_EQ(phases.phase_y, 7);
  EXPECT_EQ(LastPoint(Parse("p+3")).phase_x, 3);
  const PathText carried = Parse("$2P4 >");
  EXPECT_EQ(carried.records[1].swing_x, 100);
  EXPECT_EQ(LastPoint(carried).swing_x, 0) << "a swing holds for its own point only";
  EXPECT_EQ(LastPoint(carried).phase_x, 0);

  EXPECT_DOUBLE_EQ(LastPoint(Parse("R-0.25")).angle, -0.25);
  EXPECT_DOUBLE_EQ(LastPoint(Parse("R1")).angle, 1.0);
  EXPECT_DOUBLE_EQ(LastPoint(Parse("Z1.5")).zoom, 1.5);
  EXPECT_DOUBLE_EQ(LastPoint(Parse("Z0")).zoom, 1.0) << "as the cell files take it";
  EXPECT_DOUBLE_EQ(LastPoint(Parse("Z2 >")).zoom, 2.0) << "zoom carries on";

  const MotionPathRecord back = LastPoint(Parse("O9Z2R0.5l !i"));
  EXPECT_EQ(back.x, 300);
  EXPECT_EQ(back.alpha, 128);
  EXPECT_DOUBLE_EQ(back.zoom, 1.0);
  EXPECT_DOUBLE_EQ(back.angle, 0.0);
  const MotionPathRecord only_place = LastPoint(Parse("O9l i"));
  EXPECT_EQ(only_place.x, 300);
  EXPECT_EQ(only_place.alpha, 9) << "i takes the place alone";
}

TEST(MotionPathTextTest, ABlankEndsAPointAndATimeRecordStandsBetweenTwoPoints) {
  const PathText text = Parse("!l 500 > ");
  ASSERT_EQ(text.records.size(), 4u);
  EXPECT_EQ(text.records[0].x, 300) << "the start point";
  EXPECT_EQ(text.records[0].key_index, 0);
  EXPECT_EQ(text.records[1].x, -200);
  EXPECT_EQ(text.records[1].key_index, 1);
  EXPECT_EQ(text.records[2].kind, kPathTime);
  EXPECT_EQ(text.records[2].x, 500);
  EXPECT_EQ(text.records[3].x, -150);
  EXPECT_EQ(text.records[3].key_index, 2);

  const PathText up = Parse("-500");
  ASSERT_EQ(up.records.size(), 2u) << "a movement, never a time record";
  EXPECT_EQ(up.records[1].kind, MotionPathRecord::kPoint);
  EXPECT_EQ(up.records[1].y, 300 - 500 * 25);
  EXPECT_EQ(Parse("  l   r  ").records.size(), 3u) << "blanks in a row make no empty points";
}

TEST(MotionPathTextTest, TheRecordCommandsMakeKindsOneToNine) {
  const PathText text = Parse("1000 A2 F B S N M L o z");
  std::vector<int> kinds;
  for (const MotionPathRecord& record : text.records) kinds.push_back(record.kind);
  EXPECT_EQ(kinds, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
  EXPECT_EQ(text.records[1].x, 1000);
  EXPECT_EQ(text.records[2].flag, 1);
  EXPECT_DOUBLE_EQ(text.records[2].real, 2.0);
  EXPECT_EQ(text.records[3].flag, 1);
  EXPECT_EQ(text.records[4].flag, 2);
  EXPECT_EQ(text.records[7].x, kDefaultStepM);
  EXPECT_EQ(text.records[8].x, kDefaultStepL);
  EXPECT_EQ(std::pair(text.records[9].x, text.records[9].y), std::pair(0, 0)) << "o moves the centre by nothing";
  EXPECT_EQ(std::pair(text.records[10].x, text.records[10].y), std::pair(100, 0))
      << "z: the area's middle (400, 300) seen from the sprite at (300, 300)";
  EXPECT_TRUE(text.spline);
  EXPECT_EQ(text.direction, 2) << "the last of F and B";
  EXPECT_EQ(std::pair(text.centre_x, text.centre_y), std::pair(100, 0));

  const PathText easing = Parse("A A-2 A.5");
  EXPECT_EQ(easing.records[1].flag, 0) << "the cosine ease";
  EXPECT_DOUBLE_EQ(easing.records[2].real, -2.0);
  EXPECT_DOUBLE_EQ(easing.records[3].real, 0.5);
  const PathText centres = Parse("o10,-5 z,20 o,7 M8 L9");
  EXPECT_EQ(std::pair(centres.records[1].x, centres.records[1].y), std::pair(10, -5));
  EXPECT_EQ(std::pair(centres.records[2].x, centres.records[2].y), std::pair(100, -280));
  EXPECT_EQ(std::pair(centres.records[3].x, centres.records[3].y), std::pair(0, 7));
  EXPECT_EQ(centres.records[4].x, 8);
  EXPECT_EQ(centres.records[5].x, 9);
  EXPECT_FALSE(centres.spline);
  EXPECT_EQ(std::pair(Parse("l").centre_x, Parse("l").centre_y), std::pair(100, 50)) << "the sprite's middle";
  EXPECT_EQ(Parse("rF").records.size(), 3u) << "a record command ends the point before it";
}

TEST(MotionPathTextTest, EveryMalformedFormGivesItsStatus) {
  struct Case {
    const char* text;
    uint32_t status;
  };
  const Case cases[] = {
      {"", kPathUnknownCommand},         {"   ", kPathUnknownCommand},  {"l&", kPathUnknownCommand},
      {"l\t", kPathUnknownCommand},      {"{", kPathUnknownCommand},    {"l \x7f", kPathUnknownCommand},
      {"\x81\x40", kPathUnknownCommand}, {"x", kPathUnknownCommand},    {"!", kPathBadCommand},
      {"!x", kPathBadCommand},           {"! l", kPathBadCommand},      {"P", kPathBadNumber},
      {"P-", kPathBadNumber},            {"P5,", kPathBadNumber},       {"P5,-1", kPathBadNumber},
      {"R", kPathBadNumber},             {"R-", kPathBadNumber},        {"Z", kPathBadNumber},
      {"Z-1", kPathBadNumber},           {"A-", kPathBadNumber},        {"o-", kPathBadNumber},
      {"z,+", kPathBadNumber},           {"99999999999", kPathBadNumber}, {"4294967296", kPathBadNumber},
      {"M99999999999", kPathBadNumber},  {"<99999999999", kPathBadNumber}, {"L4000000000", kPathBadNumber},
      {"_4294967295", kPathBadNumber},
  };
  for (const Case& c : cases) Parse(c.text, c.status);
  PathText out;
  EXPECT_EQ(ParsePathText(nullptr, kFrame, out), kPathNoText);
}

class MotionPathStringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(page_.Create(800, 600, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&page_, false), 0u);
    ASSERT_EQ(picture_.Create(200, 100, 32, 0), 0u);
    ASSERT_EQ(sprite_.SetImage(&picture_, nullptr, 300, 300), 0u);
  }

  ScopedPixelLibrary library_;
  CImage page_;
  CImage picture_;
  CDrawLayer layer_;
  CSprite sprite_;
};

TEST_F(MotionPathStringTest, ASpriteMovesInItsLayersTarget) {
  CMotionPath path;
  EXPECT_EQ(path.ParsePathString("r", &sprite_, nullptr), kPathNoText) << "a sprite in no list has no area";
  ASSERT_EQ(layer_.GetOwnList().Insert(&sprite_, 10, 0), 0u);
  ASSERT_EQ(path.ParsePathString("r S 1000 d F", &sprite_, nullptr), 0u);
  EXPECT_EQ(path.Records().size(), 6u);
  EXPECT_EQ(path.Records()[1].x, 600);
  EXPECT_EQ(path.Records()[4].y, 500);
  EXPECT_TRUE(path.HasSpline()) << "S makes the path a spline through its three points";
  EXPECT_EQ(path.LastKeyFrame(), 4);
  EXPECT_EQ(path.GetDirection(), 1);
  EXPECT_EQ(path.ParsePathString("!x", &sprite_, nullptr), kPathBadCommand);
  EXPECT_EQ(path.Records().size(), 6u) << "a refused text leaves the path";
  ASSERT_EQ(path.ParsePathString("1000 A", &sprite_, nullptr), 0u);
  EXPECT_EQ(path.LastKeyFrame(), -1) << "no key frame after the start";
  EXPECT_EQ(path.EndPoint().x, 300);
}

TEST_F(MotionPathStringTest, WithoutASpriteTheViewMovesOverTheLayersBackground) {
  CMotionPath path;
  EXPECT_EQ(path.ParsePathString("l", nullptr, &layer_), kPathNoBackground);
  EXPECT_EQ(path.ParsePathString("l", nullptr, nullptr), kPathNoText);
  CImage background;
  ASSERT_EQ(background.Create(1600, 900, 32, 0), 0u);
  ASSERT_TRUE(layer_.SetBackgroundImage(&background, 100, 20, false));
  ASSERT_EQ(path.ParsePathString("> 1000 l r d !c", nullptr, &layer_), 0u);
  const std::vector<MotionPathRecord>& records = path.Records();
  ASSERT_EQ(records.size(), 7u);
  EXPECT_EQ(std::pair(records[0].x, records[0].y), std::pair(100, 20)) << "the background offset";
  EXPECT_EQ(records[1].x, 150);
  EXPECT_EQ(records[3].x, 0);
  EXPECT_EQ(records[4].x, 800) << "the view's right edge at the background's right";
  EXPECT_EQ(records[5].y, 300);
  EXPECT_EQ(std::pair(records[6].x, records[6].y), std::pair(400, 150));
}

}  // namespace
