// The drawable, draw-layer, sprite and motion built-ins (402 to 465) called by number: drawables
// made, numbered and deleted through the script's handle word; filed into a canvas's own and
// attached draw lists; changed singly; moved, sized and turned by motions on the pausable timer
// manager; and an image deleted by itself is let go by the sprites and layers that show it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "builtins/script_task.h"
#include "drawable_builtins_fixture.h"
#include "gfx/image_operations/screen_transition.h"
#include "scene/sprites/color_box.h"
#include "script/script_fault.h"
#include "support/log_capture.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGrey = 0xFF808080;

std::vector<int32_t> RectWords(const plat::Rect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

TEST_F(DrawableBuiltinsTest, EveryRowOfTheseFamiliesIsBuilt) {
  const uint8_t strips = g_StripRepaint;
  LogCapture log;
  for (uint32_t id = 253; id <= 465; ++id) {
    if (id > 259 && id < 391) continue;
    SCOPED_TRACE(id);
    Call(id, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  }
  g_StripRepaint = strips;
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

TEST_F(DrawableBuiltinsTest, CreatorsAnswerHandlesStampedWithTheCurrentId) {
  const uint32_t image = NewImage(20, 10, kRed);
  EXPECT_EQ(Call(406, {7}), 0u);
  const uint32_t part = Call(402, {image, 2, 1, 12, 9, 30, 40});
  ASSERT_NE(part, 0u);
  EXPECT_EQ(Drawable(part)->GetId(), 7u);
  EXPECT_EQ(RectWords(Sprite(part).GetSourceRect()), (std::vector<int32_t>{2, 1, 12, 9}));
  EXPECT_EQ(Drawable(part)->GetX(), 30);
  const uint32_t whole = Call(402, {image, kAbsent, 1, 12, 9, 30, 40});
  EXPECT_EQ(RectWords(Sprite(whole).GetSourceRect()), (std::vector<int32_t>{0, 0, 20, 10}));
  EXPECT_EQ(Drawable(whole)->GetY(), 0) << "the whole image at (0, 0)";
  EXPECT_EQ(Call(402, {0, kAbsent}), 0u);
  EXPECT_EQ(Call(402, {image, 30, 0, 40, 9, 0, 0}), 0u) << "a rectangle outside the image";

  EXPECT_EQ(Call(406, {9}), 7u);
  const uint32_t copy = Call(403, {part});
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(Drawable(copy)->GetId(), 9u);
  EXPECT_EQ(RectWords(Sprite(copy).GetSourceRect()), RectWords(Sprite(part).GetSourceRect()));
  const uint32_t box = Call(404, {8, 6, 0x80FF0000, 3, 4});
  ASSERT_NE(box, 0u);
  EXPECT_EQ(Drawable(box)->GetDrawableType(), CDrawable::kTypeColorBox);
  EXPECT_EQ(Drawable(box)->GetOpacity(), 0x80);
  EXPECT_EQ(Call(403, {box}), 0u) << "not a sprite";

  EXPECT_EQ(Call(407, {9, 0}), 0u);
  EXPECT_EQ(Drawable(copy), nullptr);
  EXPECT_NE(Drawable(part), nullptr);
  EXPECT_EQ(Call(407, {7, 1}), 0u) << "every id but 7";
  EXPECT_EQ(Drawable(box), nullptr);
  EXPECT_EQ(Call(405, {}), 0u);
  EXPECT_EQ(Drawable(part), nullptr);
}

TEST_F(DrawableBuiltinsTest, DeletingGoesThroughTheHandleWordAndAStaleHandleIsRefused) {
  const uint32_t sprite = NewSprite(NewImage(8, 8, kRed));
  const uint32_t word = WordHolding(sprite);
  EXPECT_EQ(Call(408, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_EQ(Call(408, {word}), 1u) << "a word of 0";
  EXPECT_EQ(Call(408, {0}), 1u) << "the address 0";
  const uint32_t stale = WordHolding(sprite);
  EXPECT_EQ(Call(408, {stale}), 2u) << "the deleted sprite's handle";
  EXPECT_EQ(WordAt(stale), sprite);
  EXPECT_EQ(Call(438, {sprite, 12}), kMinus2);
  EXPECT_EQ(Call(437, {sprite, 1}), kMinus2);
  EXPECT_EQ(Call(434, {sprite}), 0u);
  EXPECT_THROW(Call(408, {0x30}), ScriptFault) << "an address outside script memory";
}

TEST_F(DrawableBuiltinsTest, InsertingFilesIntoTheOwnOrTheAttachedList) {
  const uint32_t canvas = NewCanvas(32, 24);
  const uint32_t image = NewImage(8, 8, kRed);
  const uint32_t a = NewSprite(image);
  const uint32_t b = NewSprite(image);
  const uint32_t c = NewSprite(image);
  CDrawLayer& layer = Layer(canvas);

  EXPECT_EQ(Call(409, {canvas, a, kMinus1, 5, 1}), 0u);
  ASSERT_EQ(layer.GetOwnList().Nodes().size(), 1u) << "priority -1 goes into the own list";
  EXPECT_EQ(layer.GetOwnList().Nodes().front().priority, 0u);
  EXPECT_EQ(layer.GetOwnList().Nodes().front().tag, 0u);
  EXPECT_EQ(Call(409, {canvas, b, 3, 6, 1}), 0u);
  ASSERT_EQ(layer.GetAttachedList()->Nodes().size(), 1u);
  EXPECT_EQ(Call(409, {canvas, b, 3, 6, 0}), 2u) << "already in a list";
  EXPECT_EQ(Call(410, {canvas, c, 0, 0, 0}), 0u);
  EXPECT_EQ(layer.GetOwnList().Nodes().back().drawable, Drawable(c)) << "behind the equal priority";
  EXPECT_EQ(Call(409, {0, a, 0, 0, 0}), kMinus1);

  EXPECT_EQ(Call(434, {a}), 2u);
  EXPECT_EQ(Call(433, {a, 0}), 0u);
  EXPECT_EQ(Call(434, {a}), 1u);
  EXPECT_EQ(Call(411, {canvas, b}), 1u) << "only in the attached list";
  EXPECT_TRUE(layer.GetAttachedList()->Nodes().empty());
  EXPECT_EQ(Call(411, {canvas, b}), 0u);
  EXPECT_EQ(Call(434, {b}), 0u) << "enabled but in no list";
  EXPECT_EQ(Call(433, {b, 0}), 0u);
  EXPECT_EQ(Call(434, {b}), 0u) << "disabled and in no list";

  EXPECT_EQ(Call(409, {canvas, b, 9, 6, 1}), 0u);
  EXPECT_EQ(Call(414, {canvas, b, 2, 0}), 1u) << "moved in the attached list";
  EXPECT_EQ(layer.GetAttachedList()->Nodes().front().priority, 2u);
  EXPECT_EQ(Call(415, {canvas, c, 0, 1}), 1u);
  EXPECT_EQ(Call(417, {canvas, 0, kMinus1, kAbsent, 99, 1}), 0u) << "any tag and id, not inverted";
  EXPECT_FALSE(Drawable(b)->IsEnabled());
  EXPECT_FALSE(Drawable(c)->IsEnabled());
  EXPECT_EQ(Call(413, {canvas, 6, kMinus1, 0}), 0u);
  EXPECT_TRUE(layer.GetAttachedList()->Nodes().empty());
  EXPECT_EQ(Call(412, {canvas, 0, 1}), 0u) << "every priority but 0";
  EXPECT_EQ(layer.GetOwnList().Nodes().size(), 2u);
  EXPECT_EQ(Call(416, {canvas}), 0u);
  EXPECT_TRUE(layer.GetOwnList().Nodes().empty());
  EXPECT_NE(Drawable(a), nullptr) << "detached, not deleted";

  const uint32_t plain = NewCanvas(32, 24, false);
  EXPECT_EQ(Call(409, {plain, a, 3, 0, 1}), 4u) << "no attached list";
  EXPECT_EQ(Call(409, {plain, a, kMinus1, 0, 1}), 0u);
}

TEST_F(DrawableBuiltinsTest, TheLayerPaintsItsBackgroundAndSprites) {
  const uint32_t canvas = NewCanvas(32, 24);
  const uint32_t background = NewImage(32, 24, kGrey);
  const uint32_t sprite = NewSprite(NewImage(8, 8, kRed), 4, 5);
  EXPECT_EQ(Call(418, {canvas, background, 0, 0, 1}), 1u);
  EXPECT_EQ(Call(409, {canvas, sprite, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(4, 5), kRed);
  EXPECT_EQ(Image(canvas).GetPixel(12, 5), kGrey);
  EXPECT_EQ(Call(428, {canvas}), kMinus1) << "nothing dirty";

  EXPECT_EQ(Call(439, {sprite, 10, 5}), 1u);
  EXPECT_EQ(Call(439, {sprite, 10, 5}), 0u);
  EXPECT_EQ(Call(441, {sprite, 0, 0}), 0u);
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(4, 5), kGrey);
  EXPECT_EQ(Image(canvas).GetPixel(10, 5), kRed);
  EXPECT_EQ(Call(442, {sprite, 12, 6, 0}), 1u);
  EXPECT_EQ(Call(442, {sprite, 2, 6, 0}), 0u);
  const uint32_t out = Block(16);
  EXPECT_EQ(Call(444, {sprite, out, out + 4, 0, out + 12}), 1u);
  EXPECT_EQ(WordAt(out), 10u);
  EXPECT_EQ(WordAt(out + 4), 5u);
  EXPECT_EQ(WordAt(out + 12), 13u);

  // 419 at 2 and above stores the colour word alone.
  EXPECT_EQ(Call(419, {canvas, kBlue, 2}), 1u);
  EXPECT_EQ(Layer(canvas).GetBackgroundColor(), kBlue);
  EXPECT_TRUE(Layer(canvas).HasBackgroundImage());
  EXPECT_TRUE(Layer(canvas).GetRegion().Count() == 0);
  // 420 with the offset it has repaints nothing.
  EXPECT_EQ(Call(420, {canvas, 0, 0}), 0u);
  EXPECT_TRUE(Layer(canvas).GetRegion().Count() == 0);
  EXPECT_EQ(Call(420, {canvas, 1, 0}), 0u) << "InvalidateAll's status";
  EXPECT_FALSE(Layer(canvas).GetRegion().Count() == 0);
  EXPECT_EQ(Call(420, {0, 1, 0}), kMinus1);
  EXPECT_EQ(Call(419, {canvas, kBlue, 1}), 1u);
  EXPECT_FALSE(Layer(canvas).HasBackgroundImage());
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(0, 0), kBlue);

  const uint32_t words = Block(20);
  EXPECT_EQ(Call(418, {canvas, background, 3, 2, 0}), 1u);
  EXPECT_EQ(Call(424, {canvas, words, words + 4, words + 8, words + 12, words + 13, words + 14}), 1u);
  EXPECT_EQ(WordAt(words), background);
  EXPECT_EQ(WordAt(words + 4), 3u);
  EXPECT_EQ(Memory().Byte(words + 14), 0xFF) << "blue";
  EXPECT_EQ(Call(418, {canvas, 0x00FFFFF0, 0, 0, 0}), 0u) << "a handle that gives no image";
  EXPECT_TRUE(Layer(canvas).HasBackgroundImage());

  const uint32_t picture = NewImage(32, 24, 0);
  EXPECT_EQ(Call(429, {canvas, picture, 0, 0, 1}), 0u);
  EXPECT_EQ(Image(picture).GetPixel(10, 5), kRed);
  EXPECT_EQ(Call(429, {canvas, 0, 0, 0, 1}), kMinus1);
  EXPECT_EQ(Call(429, {picture, picture, 0, 0, 1}), kMinus2) << "an image has no layer";
  const uint32_t into = NewImage(32, 24, kBlue);
  EXPECT_EQ(Call(445, {into, sprite}), 0u);
  EXPECT_EQ(Image(into).GetPixel(10, 5), kRed);
  EXPECT_EQ(Call(445, {into, 0}), kMinus2);
  EXPECT_EQ(Call(445, {0, sprite}), kMinus1);
}

TEST_F(DrawableBuiltinsTest, SpritesAndBoxesChangeOnlyThroughTheRowsOfTheirType) {
  const uint32_t image = NewImage(20, 10, kRed);
  const uint32_t sprite = Call(402, {image, 2, 1, 12, 9, 30, 40});
  const uint32_t box = Call(404, {8, 6, 0x80FF0000, 3, 4});

  // 461 with -1 changes only the image shown.
  const uint32_t other = NewImage(20, 10, kBlue);
  EXPECT_EQ(Call(461, {sprite, other, kMinus1, 0, 0, 5, 5, 9, 9}), 0u);
  EXPECT_EQ(Sprite(sprite).GetSourceImage(), &Image(other));
  EXPECT_EQ(RectWords(Sprite(sprite).GetSourceRect()), (std::vector<int32_t>{2, 1, 12, 9}));
  EXPECT_EQ(Drawable(sprite)->GetX(), 30);
  EXPECT_EQ(Call(461, {sprite, other, 1, 1, 5, 5, 6, 7}), 0u);
  EXPECT_EQ(RectWords(Sprite(sprite).GetSourceRect()), (std::vector<int32_t>{1, 1, 5, 5}));
  EXPECT_EQ(Drawable(sprite)->GetY(), 7);
  EXPECT_EQ(Call(461, {sprite, image, kAbsent}), 0u);
  EXPECT_EQ(RectWords(Sprite(sprite).GetSourceRect()), (std::vector<int32_t>{0, 0, 20, 10}));
  EXPECT_EQ(Drawable(sprite)->GetX(), 0);
  EXPECT_EQ(Call(461, {sprite, 0, kAbsent}), kMinus2);
  EXPECT_EQ(Call(461, {box, image, kAbsent}), kMinus1);

  // 457: codes 0 to 4 pick a corner or the centre, any other code the point.
  EXPECT_EQ(Call(457, {sprite, 5, 3, 4}), 1u);
  EXPECT_EQ(Sprite(sprite).GetAnchorX(), 3);
  EXPECT_EQ(Sprite(sprite).GetAnchorY(), 4);
  EXPECT_EQ(Call(457, {sprite, 3, 1, 1}), 1u);
  EXPECT_EQ(Sprite(sprite).GetAnchorX(), 20);
  EXPECT_EQ(Sprite(sprite).GetAnchorY(), 10);
  EXPECT_EQ(Call(457, {box, 5, 3, 4}), 0u);

  EXPECT_EQ(Call(454, {sprite, 0, 0, 10, 5}), 0u);
  EXPECT_EQ(Call(454, {box, 0, 0, 10, 5}), kMinus1);
  EXPECT_EQ(Call(455, {sprite, 2, 3}), 0u);
  EXPECT_EQ(Sprite(sprite).GetSourceOriginX(), 2);
  EXPECT_EQ(Call(455, {box, 2, 3}), kMinus1);
  EXPECT_EQ(Call(451, {sprite, 20, 10}), 1u);
  EXPECT_TRUE(Sprite(sprite).IsStretched());
  EXPECT_EQ(Call(460, {sprite}), 1u);
  EXPECT_EQ(Sprite(sprite).GetWorkImage(), nullptr);
  EXPECT_FALSE(Sprite(sprite).IsStretched());
  EXPECT_EQ(Call(460, {box}), 0u);
  EXPECT_EQ(Call(453, {sprite, 30, 30}), 0u);
  EXPECT_NE(Sprite(sprite).GetWorkImage(), nullptr);
  EXPECT_EQ(Call(453, {box, 30, 30}), kMinus2);
  EXPECT_EQ(Call(459, {sprite, Text("2.0")}), 0u);
  EXPECT_EQ(Call(459, {box, 0}), kMinus2);
  EXPECT_EQ(Call(458, {sprite, 128, Text("1.5")}), 1u);
  EXPECT_EQ(Sprite(sprite).GetAngle(), 128);
  EXPECT_DOUBLE_EQ(Sprite(sprite).GetZoom(), 1.5);
  EXPECT_EQ(Call(458, {sprite, 128, 0}), 1u) << "zoom 1.0";
  EXPECT_DOUBLE_EQ(Sprite(sprite).GetZoom(), 1.0);
  EXPECT_EQ(Call(456, {sprite, 0x101}), 1u);
  EXPECT_EQ(Sprite(sprite).GetDrawMode(), 1);

  EXPECT_EQ(Call(463, {box, 0x12345678}), 1u);
  EXPECT_EQ(dynamic_cast<CColorBox*>(Drawable(box))->GetColor(), 0x345678u);
  EXPECT_EQ(Drawable(box)->GetOpacity(), 0x80) << "the opacity stays";
  EXPECT_EQ(Call(463, {box, 0x345678}), 0u);
  EXPECT_EQ(Call(463, {sprite, 0x345678}), 0u);
  EXPECT_EQ(Call(464, {box, 8, 6}), 0u) << "unchanged";
  EXPECT_EQ(Call(465, {box, 8, 6, 9, 9}), 1u) << "moved";
  EXPECT_EQ(Drawable(box)->GetX(), 9);
  EXPECT_EQ(Call(464, {sprite, 8, 6}), 0u);
  EXPECT_EQ(Call(452, {box, 4, 4, 1, 2}), 1u);
  EXPECT_EQ(Drawable(box)->GetY(), 2);

  EXPECT_EQ(Call(440, {box, 77}), 0u) << "the id it had";
  EXPECT_EQ(Call(440, {box, 78}), 77u);
  EXPECT_EQ(Call(437, {box, 9}), 1u) << "beyond a box's modes";
  EXPECT_EQ(Call(438, {box, 0x1C0}), 0u);
  EXPECT_EQ(Drawable(box)->GetOpacity(), 0xC0);
  EXPECT_EQ(Call(435, {box}), 1u);
  EXPECT_TRUE(Drawable(box)->IsDirty());
  EXPECT_EQ(Call(443, {box, sprite}), 1u);
  EXPECT_EQ(Call(443, {box, 0}), 0u);
}

TEST_F(DrawableBuiltinsTest, TheDefaultRowOfAMoveIgnoresTheWordsAfterItsMarker) {
  const uint32_t sprite = NewSprite(NewImage(8, 8, kRed), 0, 0);
  // A spline needs two points and an ease text outside memory faults: neither word is read.
  const uint32_t task = Call(446, {sprite, 500, Text("(100,0,255)"), 0, 0, kAbsent, 1, 0x30, 1, 0});
  ASSERT_NE(task, 0u);
  Tick(0);
  Tick(250);
  EXPECT_EQ(Drawable(sprite)->GetX(), 50);
  Tick(250);
  EXPECT_EQ(Drawable(sprite)->GetX(), 100);
  EXPECT_EQ(TaskOfHandle(Handles(), task), nullptr) << "no loop: finished and gone";
}

TEST_F(DrawableBuiltinsTest, MotionsRunFromTextsAndWordTriples) {
  const uint32_t sprite = NewSprite(NewImage(20, 10, kRed), 10, 10);
  const uint32_t points = Block(24);
  for (const auto& [offset, value] : {std::pair{0u, 40u}, {4u, 10u}, {8u, 255u}, {12u, 40u}, {16u, 50u}, {20u, 0u}}) {
    Memory().SetWord(points + offset, value);
  }
  const uint32_t move = Call(447, {sprite, 100, 2, points, 0, 0, 1, 0, 0, 0, 0});
  ASSERT_NE(move, 0u);
  Tick(0);
  Tick(100);
  EXPECT_EQ(Drawable(sprite)->GetX(), 40);
  Tick(100);
  EXPECT_EQ(Drawable(sprite)->GetY(), 50);
  EXPECT_EQ(Drawable(sprite)->GetOpacity(), 0);
  EXPECT_THROW(Call(447, {sprite, 100, 0x40000000, points, 0, 0, kAbsent}), ScriptFault)
      << "points beyond script memory";

  const uint32_t resize = Call(448, {sprite, 100, Text("(40,20,255)"), 0, 0, kAbsent});
  ASSERT_NE(resize, 0u);
  Tick(0);
  Tick(100);
  EXPECT_EQ(Drawable(sprite)->GetWidth(), 20) << "a sprite's natural size stays";
  plat::Rect bounds;
  Drawable(sprite)->GetBounds(&bounds);
  EXPECT_EQ(bounds.Width(), 40);
  EXPECT_EQ(bounds.Height(), 20);
  EXPECT_EQ(bounds.left, 30) << "the centre kept";

  Memory().SetWord(points, 10);
  Memory().SetWord(points + 4, 5);
  const uint32_t shrink = Call(449, {sprite, 100, 1, points, 0, 0, 0, 0, 0, 1, 0, 0, 0});
  ASSERT_NE(shrink, 0u);
  Tick(0);
  Tick(100);
  Drawable(sprite)->GetBounds(&bounds);
  EXPECT_EQ(bounds.Width(), 10);
  EXPECT_EQ(bounds.left, 30) << "anchored at the start edge";

  const uint32_t turn = Call(450, {sprite, 100, Text("(128,1,255)(256,1,255)"), 0, 0, kAbsent});
  ASSERT_NE(turn, 0u);
  Tick(0);
  Tick(200);
  EXPECT_EQ(Sprite(sprite).GetAngle(), 256);

  const uint32_t box = Call(404, {8, 6, 0xFF00FF00, 0, 0});
  EXPECT_EQ(Call(450, {box, 100, Text("(128,1,255)(256,1,255)"), 0, 0, kAbsent}), 0u) << "not a sprite";
  EXPECT_EQ(Call(446, {sprite, 100, Text(""), 0, 0, kAbsent}), 0u) << "no points";
  EXPECT_EQ(Call(446, {sprite, 0, Text("(1,1,255)"), 0, 0, kAbsent}), 0u) << "segment time 0: put there at once";
  EXPECT_EQ(Drawable(sprite)->GetX(), 1);
  EXPECT_EQ(Call(446, {0, 100, Text("(1,1,255)"), 0, 0, kAbsent}), 0u);
}

TEST_F(DrawableBuiltinsTest, AnImageDeletedAloneIsLetGoByItsSpritesAndLayers) {
  const uint32_t canvas = NewCanvas(32, 24);
  const uint32_t background = NewImage(32, 24, kGrey);
  const uint32_t picture = NewImage(8, 8, kRed);
  const uint32_t sprite = NewSprite(picture, 4, 4);
  const uint32_t other = NewSprite(background, 20, 20);
  EXPECT_EQ(Call(419, {canvas, kBlue, 0}), 1u);
  EXPECT_EQ(Call(418, {canvas, background, 0, 0, 1}), 1u);
  EXPECT_EQ(Call(409, {canvas, sprite, 0, 0, 0}), 0u);
  EXPECT_EQ(Call(409, {canvas, other, 1, 0, 1}), 0u);
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(5, 5), kRed);

  EXPECT_EQ(Call(243, {WordHolding(picture)}), 0u);
  EXPECT_EQ(Sprite(sprite).GetSourceImage(), nullptr);
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(5, 5), kGrey) << "the sprite shows nothing";

  EXPECT_EQ(Call(243, {WordHolding(background)}), 0u);
  EXPECT_FALSE(Layer(canvas).HasBackgroundImage());
  EXPECT_EQ(Sprite(other).GetSourceImage(), nullptr);
  EXPECT_EQ(Call(428, {canvas}), 0u);
  EXPECT_EQ(Image(canvas).GetPixel(5, 5), kBlue) << "the background colour";
  EXPECT_EQ(Image(canvas).GetPixel(21, 21), kBlue);

  // Deletion by group id lets go the same way.
  EXPECT_EQ(Call(201, {5}), 0u);
  const uint32_t grouped = NewImage(8, 8, kRed);
  EXPECT_EQ(Call(461, {sprite, grouped, kAbsent}), 0u);
  EXPECT_EQ(Call(418, {canvas, grouped, 0, 0, 1}), 1u);
  EXPECT_EQ(Call(202, {5, 1}), 0u);
  EXPECT_EQ(Sprite(sprite).GetSourceImage(), nullptr);
  EXPECT_FALSE(Layer(canvas).HasBackgroundImage());
  EXPECT_EQ(Call(428, {canvas}), 0u);
}

}  // namespace
