// The sprite: its geometry (source rectangle, anchor, stretch, turn), the paint by blend mode
// and colour key checked against the blend formulas, the exact hit test, and what a move or a
// change of the source hands to the layer's region.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"
#include "support/region_rects.h"

namespace {

RectArray Bounds(const CSprite& sprite) {
  const plat::Rect& b = *sprite.GetBoundsPtr();
  return {b.left, b.top, b.right, b.bottom};
}

void Fill(CImage& image, uint32_t argb) { ASSERT_TRUE(image.FillRectArgb(argb, nullptr)); }

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

class SpriteTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_TrigTable = &tables_;
    SetPixelLib(&library_);
  }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_TrigTable = nullptr;
  }
  // A 32-bit picture whose pixel (x, y) is 0xFF00yyxx.
  static void Numbered(CImage& image, int32_t width, int32_t height) {
    ASSERT_EQ(image.Create(width, height, 32, 0), 0u);
    for (int32_t y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
      for (int32_t x = 0; x < width; ++x) row[x] = 0xFF000000u | static_cast<uint32_t>(y << 8 | x);
    }
  }

  CTrigTables tables_;
  CPixelLibrary library_;
};

TEST_F(SpriteTest, SetImageTakesTheClippedRectangleAndCentresTheAnchor) {
  CImage picture;
  Numbered(picture, 64, 64);
  CSprite sprite;
  EXPECT_EQ(sprite.SetImage(nullptr, nullptr, 0, 0), 1u);
  const plat::Rect source{10, 10, 50, 40};
  ASSERT_EQ(sprite.SetImage(&picture, &source, 100, 200), 0u);
  EXPECT_EQ(sprite.GetWidth(), 40);
  EXPECT_EQ(sprite.GetHeight(), 30);
  EXPECT_EQ(Bounds(sprite), (RectArray{100, 200, 140, 230}));
  EXPECT_EQ(sprite.GetAnchorX(), 20);
  EXPECT_EQ(sprite.GetAnchorY(), 15);
  EXPECT_TRUE(sprite.IsDirty());
  EXPECT_EQ(sprite.GetBlendMode(), 0);

  EXPECT_EQ(sprite.SetBlendMode(32), 1u);
  EXPECT_EQ(sprite.GetBlendMode(), 0);
  EXPECT_EQ(sprite.SetBlendMode(31), 0u);

  const plat::Rect outside{70, 70, 90, 90};
  EXPECT_EQ(sprite.SetImage(&picture, &outside, 0, 0), 3u);
  EXPECT_EQ(sprite.GetSourceImage(), nullptr);
  picture.SetAlphaFlag(1);
  const plat::Rect overhanging{60, 0, 90, 10};
  ASSERT_EQ(sprite.SetImage(&picture, &overhanging, 0, 0), 0u);
  EXPECT_EQ(sprite.GetWidth(), 4);
  EXPECT_EQ(sprite.GetBlendMode(), 2);
  SetPixelLib(nullptr);
  EXPECT_EQ(sprite.SetImage(&picture, nullptr, 0, 0), 2u);
}

// Scripts give any origin: the source rectangle scrolls by the change of origin, stops with its
// size kept where the change would carry an edge past the 32-bit range, and comes back with the
// origin.
TEST_F(SpriteTest, TheSourceOriginScrollsTheRectangleWithinTheWordRange) {
  CImage picture;
  Numbered(picture, 64, 64);
  CSprite sprite;
  const plat::Rect source{8, 8, 24, 24};
  ASSERT_EQ(sprite.SetImage(&picture, &source, 0, 0), 0u);
  const auto shown = [&] {
    const plat::Rect& r = sprite.GetSourceRect();
    return RectArray{r.left, r.top, r.right, r.bottom};
  };
  ASSERT_EQ(sprite.SetSourceOrigin(4, -8), 0u);
  EXPECT_EQ(shown(), (RectArray{12, 0, 28, 16}));
  ASSERT_EQ(sprite.SetSourceOrigin(INT32_MAX - 4, INT32_MIN), 0u);
  EXPECT_EQ(shown(), (RectArray{INT32_MAX - 16, INT32_MIN + 8, INT32_MAX, INT32_MIN + 24}));
  EXPECT_EQ(sprite.GetSourceOriginX(), INT32_MAX - 24);
  ASSERT_EQ(sprite.SetSourceOrigin(0, 0), 0u);
  EXPECT_EQ(shown(), (RectArray{8, 8, 24, 24}));
}

// Each case paints a sprite over a black target and reads the middle pixel back.
struct PaintCase {
  const char* name;
  uint32_t source;
  bool keyed;
  uint8_t mode;
  uint8_t opacity;
  uint32_t status;
  uint32_t expected;
  int tolerance;
};

TEST_F(SpriteTest, PaintFollowsTheBlendFormulaOfTheModeAndKey) {
  const std::vector<PaintCase> cases = {
      {"level half", 0xFFFFFFFF, false, 0, 128, 0, 0x808080, 1},
      {"copy", 0xFF336699, false, 0, 255, 0, 0x336699, 0},
      {"alpha quarter", 0x40FFFFFF, false, 2, 255, 0, 0x404040, 1},
      {"alpha quarter at half", 0x40FFFFFF, false, 2, 128, 0, 0x202020, 1},
      {"alpha none", 0x00FFFFFF, false, 2, 255, 0, 0x000000, 0},
      {"add", 0xFF102030, false, 4, 255, 0, 0x102030, 0},
      {"unkeyed unknown mode", 0xFFFFFFFF, false, 7, 255, CSprite::kPaintFailed, 0, 0},
      {"keyed copy", 0xFF336699, true, 0, 255, 0, 0x336699, 0},
      {"keyed level", 0xFFFFFFFF, true, 0, 128, 0, 0x808080, 1},
      {"keyed alpha at half", 0x80FFFFFF, true, 2, 128, 0, 0x404040, 2},
      {"keyed add", 0xFF102030, true, 4, 255, 0, 0x102030, 0},
      {"keyed mode 1", 0xFFFFFFFF, true, 1, 255, CSprite::kUnpaintable, 0, 0},
  };
  for (const PaintCase& c : cases) {
    SCOPED_TRACE(c.name);
    CImage picture, target;
    ASSERT_EQ(picture.Create(4, 4, 32, 0), 0u);
    ASSERT_EQ(target.Create(8, 8, 32, 0), 0u);
    Fill(picture, c.source);
    Fill(target, 0xFF000000);
    // The key is a colour the picture does not hold, except in its top-left pixel.
    if (c.keyed) {
      picture.FillRectArgbXYWH(0, 0, 1, 1, 0x00010203);
      picture.SetColorKeyRgb(1, 2, 3);
    }
    CSprite sprite;
    ASSERT_EQ(sprite.SetImage(&picture, nullptr, 2, 2), 0u);
    ASSERT_EQ(sprite.SetBlendMode(c.mode), 0u);
    sprite.SetOpacity(c.opacity);
    plat::Rect out{};
    EXPECT_EQ(sprite.Draw(&target, nullptr, &out), c.status);
    const uint32_t pixel = target.GetPixel(4, 4);
    for (int shift : {0, 8, 16}) {
      EXPECT_LE(std::abs(static_cast<int>(Channel(pixel, shift)) - static_cast<int>(Channel(c.expected, shift))),
                c.tolerance)
          << std::hex << pixel;
    }
    if (c.status == 0) {
      EXPECT_EQ((RectArray{out.left, out.top, out.right, out.bottom}), (RectArray{2, 2, 6, 6}));
    } else {
      EXPECT_EQ(out.left, CDrawList::kNotPainted);
    }
    if (c.keyed && c.mode == 0) {
      EXPECT_EQ(target.GetPixel(2, 2) & 0xFFFFFF, 0u) << "the key pixel was painted";
    }
  }
}

TEST_F(SpriteTest, DrawRectPaintsOnlyItsPartAndADisabledSpriteNothing) {
  CImage picture, target;
  Numbered(picture, 16, 16);
  ASSERT_EQ(target.Create(32, 32, 32, 0), 0u);
  Fill(target, 0xFF000000);
  CSprite sprite;
  const plat::Rect source{4, 4, 12, 12};
  ASSERT_EQ(sprite.SetImage(&picture, &source, 10, 10), 0u);
  ASSERT_EQ(sprite.DrawRect(&target, plat::Rect{14, 0, 32, 15}), 0u);
  EXPECT_EQ(target.GetPixel(13, 12), 0xFF000000u);
  EXPECT_EQ(target.GetPixel(14, 10), picture.GetPixel(8, 4));
  EXPECT_EQ(target.GetPixel(17, 14), picture.GetPixel(11, 8));
  EXPECT_EQ(target.GetPixel(17, 15), 0xFF000000u);

  Fill(target, 0xFF000000);
  sprite.SetEnabled(false);
  EXPECT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  EXPECT_EQ(target.GetPixel(12, 12), 0xFF000000u);
  sprite.SetEnabled(true);
  EXPECT_EQ(sprite.Draw(nullptr, nullptr, nullptr), CSprite::kNothingToDraw);
}

TEST_F(SpriteTest, AQuarterTurnKeepsTheAnchorAndAWholeTurnIsPlainAgain) {
  CImage picture, target;
  Numbered(picture, 4, 2);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&picture, nullptr, 10, 10), 0u);
  ASSERT_TRUE(sprite.RenderTransformed(128, 1.0));
  EXPECT_FALSE(sprite.RenderTransformed(128, 1.0));
  EXPECT_TRUE(sprite.IsTurned());
  const plat::Rect& b = *sprite.GetBoundsPtr();
  EXPECT_NEAR(b.Width(), 2, 1);
  EXPECT_NEAR(b.Height(), 4, 1);
  // The anchor, (2, 1) of the picture at (10, 10), stays at (12, 11): the box's centre.
  EXPECT_NEAR((b.left + b.right) / 2.0, 12.0, 0.5);
  EXPECT_NEAR((b.top + b.bottom) / 2.0, 11.0, 0.5);

  ASSERT_EQ(target.Create(24, 24, 32, 0), 0u);
  Fill(target, 0xFF000000);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  // One of the two quarter turns, pixel for pixel.
  bool clockwise = true, counter = true;
  for (int32_t i = 0; i < 2; ++i) {
    for (int32_t j = 0; j < 4; ++j) {
      const uint32_t shown = target.GetPixel(b.left + i, b.top + j);
      clockwise = clockwise && shown == picture.GetPixel(j, 1 - i);
      counter = counter && shown == picture.GetPixel(3 - j, i);
    }
  }
  EXPECT_TRUE(clockwise || counter);

  ASSERT_TRUE(sprite.RenderTransformed(512, 1.0));
  EXPECT_FALSE(sprite.IsTurned());
  EXPECT_EQ(Bounds(sprite), (RectArray{10, 10, 14, 12}));
}

TEST_F(SpriteTest, AHalvedTurnAboutTheCornerKeepsTheCornerAndRefusesAnEightBitSource) {
  CImage picture;
  Numbered(picture, 40, 20);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&picture, nullptr, 100, 100), 0u);
  ASSERT_TRUE(sprite.SetAnchor(0, 0, 0));
  EXPECT_FALSE(sprite.SetAnchor(0, 5, 5));
  ASSERT_TRUE(sprite.RenderTransformed(0, 0.5));
  EXPECT_EQ(Bounds(sprite), (RectArray{100, 100, 120, 110}));
  // A new anchor turns again about it: halved about the centre (20, 10), which stays put.
  ASSERT_TRUE(sprite.SetAnchor(4, 0, 0));
  EXPECT_EQ(Bounds(sprite), (RectArray{110, 105, 130, 115}));

  CImage grey;
  ASSERT_EQ(grey.Create(8, 8, 8, 0), 0u);
  CSprite flat;
  ASSERT_EQ(flat.SetImage(&grey, nullptr, 0, 0), 0u);
  EXPECT_FALSE(flat.RenderTransformed(128, 1.0));
}

TEST_F(SpriteTest, StretchingDoublesThePixelsAndZeroReturnsToTheNaturalSize) {
  CImage picture, target;
  Numbered(picture, 4, 4);
  CSprite sprite;
  ASSERT_EQ(sprite.SetImage(&picture, nullptr, 0, 0), 0u);
  EXPECT_FALSE(sprite.SetSize(0, 0));
  ASSERT_TRUE(sprite.SetSize(8, 0));
  EXPECT_FALSE(sprite.SetSize(8, 4));
  EXPECT_EQ(Bounds(sprite), (RectArray{0, 0, 8, 4}));
  ASSERT_EQ(target.Create(8, 8, 32, 0), 0u);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  // The engine's own stretch of the same rectangle is the reference.
  CImage reference;
  ASSERT_EQ(reference.Create(8, 8, 32, 0), 0u);
  const ImageSize size{8, 4};
  ASSERT_EQ(reference.StretchCopy(&picture, &size, 0, 0, nullptr, false), 0u);
  std::set<uint32_t> columns;
  for (int32_t x = 0; x < 8; ++x) {
    EXPECT_EQ(target.GetPixel(x, 3), reference.GetPixel(x, 3)) << x;
    columns.insert(target.GetPixel(x, 3));
  }
  EXPECT_EQ(columns.size(), 4u);
  EXPECT_TRUE(sprite.HitTest(7, 3, true));
  ASSERT_TRUE(sprite.SetSize(0, 0));
  EXPECT_FALSE(sprite.IsStretched());
  EXPECT_EQ(Bounds(sprite), (RectArray{0, 0, 4, 4}));
}

TEST_F(SpriteTest, TheExactHitTestReadsTheShownPixelOfTheSource) {
  CImage strip;
  ASSERT_EQ(strip.Create(300, 100, 32, 0), 0u);
  Fill(strip, 0xFF808080);
  strip.FillRectArgbXYWH(100, 0, 1, 1, 0x00808080);
  CSprite sprite;
  const plat::Rect second{100, 0, 200, 100};
  ASSERT_EQ(sprite.SetImage(&strip, &second, 50, 50), 0u);
  EXPECT_FALSE(sprite.HitTest(50, 50, true));
  EXPECT_TRUE(sprite.HitTest(50, 50, false));
  EXPECT_TRUE(sprite.HitTest(51, 50, true));
  EXPECT_TRUE(sprite.HitTest(149, 149, true));
  EXPECT_FALSE(sprite.HitTest(150, 149, false));
  strip.SetColorKeyRgb(0x80, 0x80, 0x80);
  strip.FillRectArgbXYWH(101, 0, 1, 1, 0x00808080);
  EXPECT_FALSE(sprite.HitTest(51, 50, true));
  EXPECT_TRUE(sprite.HitTest(52, 50, true));
}

class SpriteLayerTest : public SpriteTest {
 protected:
  void SetUp() override {
    SpriteTest::SetUp();
    ASSERT_EQ(target_.Create(320, 240, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&target_, false), 0u);
    Numbered(picture_, 64, 64);
  }
  // The region's rectangles after the dirty drawables were collected.
  std::vector<RectArray> Collected() {
    layer_.CollectDirty();
    std::vector<RectArray> rects = RegionRects(layer_.GetRegion());
    layer_.DiscardDirty();
    return rects;
  }

  CImage target_, picture_;
  CDrawLayer layer_;
};

TEST_F(SpriteLayerTest, AMovedSpriteRepaintsExactlyItsOldAndNewBounds) {
  g_MergeDirtyRects = 0;
  CSprite sprite;
  const plat::Rect source{0, 0, 20, 10};
  ASSERT_EQ(sprite.SetImage(&picture_, &source, 10, 10), 0u);
  ASSERT_EQ(layer_.GetOwnList().Insert(&sprite, 0, 0), 0u);
  EXPECT_EQ(Collected(), (std::vector<RectArray>{{10, 10, 30, 20}}));
  ASSERT_TRUE(sprite.MoveBy(100, 50));
  EXPECT_FALSE(sprite.MoveBy(0, 0));
  EXPECT_EQ(Collected(), (std::vector<RectArray>{{10, 10, 30, 20}, {110, 60, 130, 70}}));
  g_MergeDirtyRects = 1;
}

TEST_F(SpriteLayerTest, ChangesOfTheSourceReachTheRegionInTargetCoordinates) {
  CSprite sprite;
  const plat::Rect source{10, 20, 50, 60};
  ASSERT_EQ(sprite.SetImage(&picture_, &source, 100, 100), 0u);
  plat::Rect changed{0, 0, 15, 25};
  EXPECT_FALSE(sprite.InvalidateLocalRect(&changed));
  ASSERT_EQ(layer_.GetOwnList().Insert(&sprite, 0, 0), 0u);
  Collected();
  changed = plat::Rect{0, 0, 15, 25};
  ASSERT_TRUE(sprite.InvalidateLocalRect(&changed));
  EXPECT_EQ(RegionRects(layer_.GetRegion()), (std::vector<RectArray>{{100, 100, 105, 105}}));
  layer_.DiscardDirty();
  plat::Rect beside{50, 20, 60, 30};
  EXPECT_FALSE(sprite.InvalidateLocalRect(&beside));

  CImage drawn;
  ASSERT_EQ(drawn.Create(64, 64, 32, CImage::kOwnDirtyRegion), 0u);
  drawn.SetDirtyRegionInUse(drawn.GetOwnedDirtyRegion());
  ASSERT_EQ(sprite.SetSourceImage(&drawn), 0u);
  Collected();
  drawn.GetOwnedDirtyRegion()->Clear();
  drawn.FillRectArgbXYWH(40, 50, 20, 20, 0xFFFFFFFF);
  ASSERT_TRUE(sprite.RefreshFromSource(true));
  EXPECT_EQ(RegionRects(layer_.GetRegion()), (std::vector<RectArray>{{130, 130, 140, 140}}));
  EXPECT_EQ(drawn.GetOwnedDirtyRegion()->Count(), 0u);
  EXPECT_FALSE(drawn.IsModified());
}

TEST_F(SpriteLayerTest, ACopyTakesItsOwnWorkImageAndLeavesItsList) {
  CSprite turned, copy;
  ASSERT_EQ(turned.SetImage(&picture_, nullptr, 40, 40), 0u);
  ASSERT_TRUE(turned.RenderTransformed(64, 1.0));
  ASSERT_EQ(layer_.GetOwnList().Insert(&copy, 0, 0), 0u);
  EXPECT_EQ(copy.CopyFrom(nullptr), 1u);
  ASSERT_EQ(copy.CopyFrom(&turned), 0u);
  EXPECT_EQ(copy.GetOwnerList(), nullptr);
  EXPECT_FALSE(copy.IsDirty());
  EXPECT_EQ(Bounds(copy), Bounds(turned));
  ASSERT_NE(copy.GetWorkImage(), nullptr);
  EXPECT_NE(copy.GetWorkImage(), turned.GetWorkImage());
  const CImage& mine = *copy.GetWorkImage();
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{mine.GetWidth() / 2, mine.GetHeight() / 2}}) {
    EXPECT_EQ(mine.GetPixel(x, y), turned.GetWorkImage()->GetPixel(x, y));
  }
  std::set<uint32_t> shown;
  for (int32_t x = 0; x < mine.GetWidth(); ++x) shown.insert(mine.GetPixel(x, mine.GetHeight() / 2));
  EXPECT_GT(shown.size(), 40u);
}

}  // namespace
