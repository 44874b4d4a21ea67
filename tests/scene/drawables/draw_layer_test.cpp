// The draw layer's repaint: what lands in the region, the strips it paints, the background
// sources, and a composite of the three box modes checked against the blend formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/image_operations/screen_transition.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/color_box.h"
#include "support/region_rects.h"

namespace {

// A colour box that records the rectangles it was asked to paint.
class RecordingBox : public CColorBox {
 public:
  uint32_t DrawRect(CImage* target, const plat::Rect& rect) override {
    painted.push_back({rect.left, rect.top, rect.right, rect.bottom});
    return CColorBox::DrawRect(target, rect);
  }
  std::vector<RectArray> painted;
};

class DrawLayerTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(target_.Create(640, 480, 32, 0), 0u);
    ASSERT_EQ(layer_.SetTarget(&target_, true), 0u);
    layer_.SetBackgroundColor(kBackground, false);
  }
  void TearDown() override {
    g_StripRepaint = 1;
    g_MergeDirtyRects = 1;
  }

  static constexpr uint32_t kBackground = 0xFF000080;
  CImage target_;
  CDrawLayer layer_;
};

TEST_F(DrawLayerTest, AMovedBoxUncoversItsOldAreaAndPaintsItsNewOne) {
  CColorBox box;
  box.SetBox(50, 50, 0xFFFF0000, 0, 0);
  layer_.GetOwnList().Insert(&box, 0, 0);
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(layer_.Repaint(), CDrawLayer::kNothingDirty);

  box.SetPosition(100, 0);
  layer_.CollectDirty();
  EXPECT_EQ(RegionRects(layer_.GetRegion()), (std::vector<RectArray>{{0, 0, 50, 50}, {100, 0, 150, 50}}));
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(10, 10), kBackground);
  EXPECT_EQ(target_.GetPixel(49, 49), kBackground);
  EXPECT_EQ(target_.GetPixel(110, 10), 0xFFFF0000u);
  EXPECT_EQ(layer_.GetRegion().Count(), 0u);

  // Hidden but dirty: both the old and the new area show the background.
  box.SetEnabled(false);
  box.SetPosition(200, 0);
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(110, 10), kBackground);
  EXPECT_EQ(target_.GetPixel(210, 10), kBackground);
}

TEST_F(DrawLayerTest, SuspendedKeepsEverythingForTheFirstRepaintAfter) {
  CColorBox box;
  box.SetBox(10, 10, 0xFF00FF00, 5, 5);
  layer_.GetOwnList().Insert(&box, 0, 0);
  layer_.SetSuspended(true);
  EXPECT_EQ(layer_.Repaint(), 0);
  EXPECT_TRUE(box.IsDirty());
  EXPECT_EQ(RegionRects(layer_.GetRegion()), (std::vector<RectArray>{{0, 0, 640, 480}}));
  EXPECT_EQ(target_.GetPixel(6, 6), 0u);
  layer_.SetSuspended(false);
  EXPECT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(6, 6), 0xFF00FF00u);
  EXPECT_EQ(target_.GetPixel(600, 6), kBackground);

  CDrawLayer without_target;
  EXPECT_EQ(without_target.Repaint(), CDrawLayer::kNoTarget);
  EXPECT_EQ(without_target.InvalidateAll(), 1u);
  EXPECT_EQ(without_target.SetTarget(nullptr, true), 1u);
}

struct StripCase {
  plat::Rect rect;
  std::vector<int32_t> heights;
};

class StripRepaintTest : public DrawLayerTest, public testing::WithParamInterface<StripCase> {};

TEST_P(StripRepaintTest, RectanglesArePaintedInStripsByTheirWidth) {
  RecordingBox box;
  box.SetBox(640, 480, 0xFF101010, 0, 0);
  layer_.GetOwnList().Insert(&box, 0, 0);
  ASSERT_EQ(layer_.Repaint(), 0);
  box.painted.clear();
  layer_.Invalidate(&GetParam().rect);
  ASSERT_EQ(layer_.Repaint(), 0);
  std::vector<int32_t> heights;
  int32_t top = GetParam().rect.top;
  for (const RectArray& strip : box.painted) {
    EXPECT_EQ(strip[0], GetParam().rect.left);
    EXPECT_EQ(strip[2], GetParam().rect.right);
    EXPECT_EQ(strip[1], top);
    top = strip[3];
    heights.push_back(strip[3] - strip[1]);
  }
  EXPECT_EQ(heights, GetParam().heights);

  g_StripRepaint = 0;
  box.painted.clear();
  layer_.Invalidate(&GetParam().rect);
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(box.painted.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Widths, StripRepaintTest,
                         testing::Values(StripCase{{10, 10, 60, 110}, {64, 36}},
                                         StripCase{{0, 300, 400, 320}, {8, 8, 4}},
                                         StripCase{{0, 0, 30, 300}, {128, 128, 44}}));

// The blend formulas of the box modes over one channel c, by the product table's rounding.
uint8_t Product(uint32_t level, uint32_t x) { return static_cast<uint8_t>((x * level + 127) / 255); }
uint8_t Fill(uint8_t c, uint8_t colour, uint8_t o) { return (Product(255 - o, c) + Product(o, colour)) & 0xFF; }
uint8_t Scaled(uint8_t colour, uint8_t o) { return o == 255 ? colour : Product(o, colour); }
uint8_t Add(uint8_t c, uint8_t colour, uint8_t o) { return static_cast<uint8_t>(std::min(255, c + Scaled(colour, o))); }
uint8_t Sub(uint8_t c, uint8_t colour, uint8_t o) { return static_cast<uint8_t>(std::max(0, c - Scaled(colour, o))); }

struct GoldenBox {
  uint8_t mode;
  uint32_t argb;
  plat::Rect rect;
  uint32_t priority;
};

TEST_F(DrawLayerTest, ThreeOverlappingModesComposeAsTheFormulasSay) {
  const GoldenBox golden[] = {{CColorBox::kFill, 0x80C08040, {10, 10, 70, 50}, 3},
                              {CColorBox::kAdd, 0xA0405060, {40, 20, 100, 60}, 2},
                              {CColorBox::kSubtract, 0xFF202020, {30, 30, 70, 70}, 1}};
  const uint32_t background = 0xFF336699;
  layer_.SetBackgroundColor(background, true);
  CColorBox boxes[3];
  for (int i = 0; i < 3; ++i) {
    const GoldenBox& g = golden[i];
    boxes[i].SetBox(g.rect.Width(), g.rect.Height(), g.argb, g.rect.left, g.rect.top);
    ASSERT_EQ(boxes[i].SetBlendMode(g.mode), 0u);
    layer_.GetOwnList().Insert(&boxes[i], g.priority, 0);
  }
  ASSERT_EQ(layer_.Repaint(), 0);
  for (int32_t y = 0; y < 80; ++y) {
    for (int32_t x = 0; x < 110; ++x) {
      uint32_t expected = background;
      for (const GoldenBox& g : golden) {  // highest priority number first: the bottom
        if (x < g.rect.left || x >= g.rect.right || y < g.rect.top || y >= g.rect.bottom) continue;
        const uint8_t o = static_cast<uint8_t>(g.argb >> 24);
        uint32_t next = expected & 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint8_t c = static_cast<uint8_t>(expected >> shift);
          const uint8_t colour = static_cast<uint8_t>(g.argb >> shift);
          const uint8_t v = g.mode == CColorBox::kFill ? Fill(c, colour, o)
                            : g.mode == CColorBox::kAdd ? Add(c, colour, o)
                                                        : Sub(c, colour, o);
          next |= uint32_t{v} << shift;
        }
        expected = next;
      }
      ASSERT_EQ(target_.GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(DrawLayerTest, BackgroundImageAtItsOffsetThenTheCacheInItsPlace) {
  CImage picture;
  ASSERT_EQ(picture.Create(700, 500, 32, 0), 0u);
  for (int32_t y = 0; y < 500; ++y) {
    for (int32_t x = 0; x < 700; ++x) {
      reinterpret_cast<uint32_t*>(picture.GetRowPointer(y))[x] = 0xFF000000u | (y << 12) | x;
    }
  }
  ASSERT_TRUE(layer_.SetBackgroundImage(&picture, 5, 7, true));
  int32_t ax = 0, ay = 0;
  layer_.GetBackgroundAnchor(&ax, &ay);
  EXPECT_EQ(ax, 350);
  EXPECT_EQ(ay, 250);
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(0, 0), picture.GetPixel(5, 7));
  EXPECT_EQ(target_.GetPixel(639, 479), picture.GetPixel(644, 486));

  ASSERT_EQ(layer_.CreateBackgroundCache(false), 0u);
  layer_.GetBackgroundCache()->FillRectArgb(0xFF445566, nullptr);
  layer_.InvalidateAll();
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(320, 240), 0xFF445566u);
  ASSERT_EQ(layer_.CreateBackgroundCache(true), 0u);
  EXPECT_EQ(layer_.GetBackgroundCache()->GetPixel(320, 240), 0u);

  layer_.SetVisible(1);
  target_.FillRectArgb(0xFF010203, nullptr);
  layer_.InvalidateAll();
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(320, 240), 0xFF010203u);
}

TEST_F(DrawLayerTest, RenderToPaintsTheFilteredSceneIntoAnImageOfTheTargetSize) {
  CColorBox first, second;
  first.SetBox(10, 10, 0xFFFF0000, 0, 0);
  first.SetId(1);
  second.SetBox(10, 10, 0xFF00FF00, 20, 0);
  second.SetId(2);
  layer_.GetOwnList().Insert(&first, 0, 0);
  layer_.GetOwnList().Insert(&second, 0, 0);
  CImage other_size, copy;
  ASSERT_EQ(other_size.Create(320, 240, 32, 0), 0u);
  ASSERT_EQ(copy.Create(640, 480, 32, 0), 0u);
  EXPECT_EQ(layer_.RenderTo(&other_size, CDrawLayer::kFilterAll, 0, true), 2u);
  EXPECT_EQ(other_size.GetPixel(0, 0), 0u);
  EXPECT_EQ(layer_.RenderTo(nullptr, CDrawLayer::kFilterAll, 0, true), 1u);
  ASSERT_EQ(layer_.RenderTo(&copy, CDrawLayer::kFilterOtherId, 1, true), 0u);
  EXPECT_EQ(copy.GetPixel(5, 5), kBackground);
  EXPECT_EQ(copy.GetPixel(25, 5), 0xFF00FF00u);
  EXPECT_TRUE(first.IsDirty());
}

TEST(DrawLayerPaletteTest, AnEightBitTargetIsFilledWithTheRedByteAsIndex) {
  CImage target;
  ASSERT_EQ(target.Create(16, 16, 8, 0), 0u);
  CDrawLayer layer;
  ASSERT_EQ(layer.SetTarget(&target, false), 0u);
  layer.SetBackgroundRgb(7, 0, 0, true);
  ASSERT_EQ(layer.Repaint(), 0);
  EXPECT_EQ(target.GetPixel(3, 9), 7u);
}

}  // namespace

namespace {

TEST_F(DrawLayerTest, BackgroundAreaStretchesThePictureIntoTheCacheOverTheColour) {
  EXPECT_FALSE(layer_.SetBackgroundArea(10, 10, 20, 20, nullptr)) << "no background picture";
  CImage picture;
  ASSERT_EQ(picture.Create(2, 2, 32, 0), 0u);
  const uint32_t colours[4] = {0xFF110000, 0xFF002200, 0xFF000033, 0xFF444444};
  for (int32_t i = 0; i < 4; ++i) reinterpret_cast<uint32_t*>(picture.GetRowPointer(i / 2))[i % 2] = colours[i];
  ASSERT_TRUE(layer_.SetBackgroundImage(&picture, 0, 0, false));
  layer_.SetStretchMode(0);

  ASSERT_TRUE(layer_.SetBackgroundArea(10, 10, 20, 20, nullptr));
  EXPECT_FALSE(layer_.SetBackgroundArea(10, 10, 20, 20, nullptr)) << "the cache holds that placement";
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(5, 5) & 0xFFFFFF, kBackground & 0xFFFFFF);
  EXPECT_EQ(target_.GetPixel(12, 12), colours[0]);
  EXPECT_EQ(target_.GetPixel(25, 12), colours[1]);
  EXPECT_EQ(target_.GetPixel(25, 25), colours[3]);
  EXPECT_EQ(target_.GetPixel(30, 30) & 0xFFFFFF, kBackground & 0xFFFFFF);

  const plat::Rect bottom_right{1, 1, 2, 2};
  ASSERT_TRUE(layer_.SetBackgroundArea(0, 0, 0, -1, &bottom_right)) << "sides below 1 take the target's";
  ASSERT_EQ(layer_.Repaint(), 0);
  EXPECT_EQ(target_.GetPixel(639, 479), colours[3]);

  ASSERT_TRUE(layer_.SetBackgroundArea(0, 0, 640, 480, nullptr));
  EXPECT_EQ(layer_.GetBackgroundCache(), nullptr);
  EXPECT_EQ(RegionRects(layer_.GetRegion()), (std::vector<RectArray>{{0, 0, 640, 480}}));
}

}  // namespace

namespace {

// A half turn about the centre of a picture of the target's size, through the pixel-routine
// library; then the turns that drop the cache, and the colour where no library draws.
TEST(DrawLayerRotoZoomTest, AHalfTurnAboutTheCentreMirrorsBothWays) {
  BuildPixelTables();
  CTrigTables tables;
  g_TrigTable = &tables;
  CPixelLibrary library;
  SetPixelLib(&library);
  CImage target, picture;
  ASSERT_EQ(target.Create(64, 48, 32, 0), 0u);
  ASSERT_EQ(picture.Create(64, 48, 32, 0), 0u);
  for (int32_t y = 0; y < 48; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture.GetRowPointer(y));
    for (int32_t x = 0; x < 64; ++x) row[x] = 0xFF000000u | y << 8 | x;
  }
  CDrawLayer layer;
  ASSERT_EQ(layer.SetTarget(&target, false), 0u);
  layer.SetBackgroundColor(0xFF00FF00, false);
  ASSERT_TRUE(layer.SetBackgroundImage(&picture, 0, 0, false));

  ASSERT_TRUE(layer.SetBackgroundRotoZoom(0, 0, 256, 1.0));
  EXPECT_FALSE(layer.SetBackgroundRotoZoom(0, 0, 256, 1.0));
  ASSERT_EQ(layer.Repaint(), 0);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{63, 47}, std::pair{10, 30}}) {
    EXPECT_EQ(target.GetPixel(x, y), picture.GetPixel(63 - x, 47 - y)) << x << "," << y;
  }
  ASSERT_TRUE(layer.SetBackgroundRotoZoom(0, 0, 0, 0.5));
  ASSERT_EQ(layer.Repaint(), 0);
  // Halved about the centre, which stays: the picture covers (16, 12) to (48, 36).
  EXPECT_EQ(target.GetPixel(15, 11), 0xFF00FF00u);
  EXPECT_NE(target.GetPixel(16, 12), 0xFF00FF00u);
  EXPECT_NE(target.GetPixel(47, 35), 0xFF00FF00u);
  EXPECT_EQ(target.GetPixel(48, 36), 0xFF00FF00u);

  SetPixelLib(nullptr);
  ASSERT_TRUE(layer.SetBackgroundRotoZoom(0, 0, 128, 1.0));
  ASSERT_EQ(layer.Repaint(), 0);
  EXPECT_EQ(target.GetPixel(32, 24), 0xFF00FF00u);

  ASSERT_TRUE(layer.SetBackgroundRotoZoom(0, 0, 0, 1.0));
  EXPECT_EQ(layer.GetBackgroundCache(), nullptr);
  ASSERT_TRUE(layer.SetBackgroundRotoZoom(0, 0, 128, 0.0));
  EXPECT_EQ(layer.GetBackgroundCache(), nullptr);
  g_TrigTable = nullptr;
}

}  // namespace
