// The colour box's geometry: bounds from the natural size or the override, the local
// invalidation, the blend modes it refuses or cannot paint, and the resize under an override.
#include <gtest/gtest.h>

#include <cstdint>

#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/color_box.h"
#include "support/region_rects.h"

namespace {

RectArray Bounds(const CColorBox& box) {
  const plat::Rect& b = *box.GetBoundsPtr();
  return {b.left, b.top, b.right, b.bottom};
}

TEST(ColorBoxTest, SetBoxSplitsColourAndOpacityAndTheOverrideShapesTheBounds) {
  CColorBox box;
  EXPECT_EQ(box.SetBox(100, 50, 0x80FF0000, 10, 20), 0u);
  EXPECT_EQ(Bounds(box), (RectArray{10, 20, 110, 70}));
  EXPECT_EQ(box.GetOpacity(), 0x80);
  EXPECT_EQ(box.GetColor(), 0xFF0000u);
  EXPECT_TRUE(box.IsDirty());
  EXPECT_EQ(box.GetDrawableType(), CDrawable::kTypeColorBox);

  EXPECT_TRUE(box.SetSize(0, 30));
  EXPECT_EQ(Bounds(box), (RectArray{10, 20, 110, 50}));
  EXPECT_FALSE(box.SetSize(0, 30));
  EXPECT_TRUE(box.HitTest(109, 49, false));
  EXPECT_FALSE(box.HitTest(109, 50, false));
  EXPECT_FALSE(box.SetColorArgb(0x80FF0000));
  EXPECT_TRUE(box.SetColorArgb(0x81FF0000));
  EXPECT_FALSE(box.SetColor(0xFFFF0000));
}

TEST(ColorBoxTest, ResizeWithAnActiveOverrideGivesTheNaturalBounds) {
  CColorBox box;
  box.SetBox(100, 50, 0xFF000000, 10, 20);
  box.SetSize(30, 30);
  EXPECT_FALSE(box.Resize(-1, 10));
  EXPECT_FALSE(box.Resize(100, 50));
  EXPECT_EQ(Bounds(box), (RectArray{10, 20, 40, 50}));
  EXPECT_TRUE(box.Resize(120, 60));
  EXPECT_EQ(Bounds(box), (RectArray{10, 20, 130, 80}));
  EXPECT_TRUE(box.ResizeAndPosition(120, 60, 0, 0));
  EXPECT_EQ(Bounds(box), (RectArray{0, 0, 120, 60}));
}

TEST(ColorBoxTest, EdgesBeyondTheCoordinateRangeStopAtItsEnds) {
  CColorBox box;
  box.SetBox(100, 50, 0xFF000000, INT32_MAX - 5, INT32_MIN + 5);
  EXPECT_EQ(Bounds(box), (RectArray{INT32_MAX - 5, INT32_MIN + 5, INT32_MAX, INT32_MIN + 55}));
  EXPECT_TRUE(box.MoveBy(INT32_MAX, INT32_MIN));
  EXPECT_EQ(Bounds(box), (RectArray{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN + 50}));
  EXPECT_FALSE(box.HitTest(INT32_MAX, INT32_MIN, false));
}

TEST(ColorBoxTest, LocalInvalidationIsCutToTheBoxAndMovedToTheTarget) {
  CImage target;
  ASSERT_EQ(target.Create(640, 480, 32, 0), 0u);
  CDrawLayer layer;
  ASSERT_EQ(layer.SetTarget(&target, false), 0u);
  CColorBox box;
  box.SetBox(100, 50, 0xFF000000, 10, 20);
  plat::Rect local{-5, -5, 500, 500};
  EXPECT_FALSE(box.InvalidateLocalRect(&local));
  layer.GetOwnList().Insert(&box, 0, 0);
  local = plat::Rect{-5, -5, 500, 500};
  EXPECT_TRUE(box.InvalidateLocalRect(&local));
  EXPECT_EQ(RegionRects(layer.GetRegion()), (std::vector<RectArray>{{10, 20, 110, 70}}));
  plat::Rect outside{200, 0, 300, 10};
  EXPECT_FALSE(box.InvalidateLocalRect(&outside));
}

TEST(ColorBoxTest, BlendModesBeyondThreeAreRefusedAndModeOnePaintsNothing) {
  BuildPixelTables();
  CImage target;
  ASSERT_EQ(target.Create(8, 8, 32, 0), 0u);
  CColorBox box;
  box.SetBox(4, 4, 0xFF123456, 0, 0);
  plat::Rect out;
  EXPECT_EQ(box.Draw(nullptr, nullptr, nullptr), CColorBox::kNoTarget);
  EXPECT_EQ(box.SetBlendMode(4), 1u);
  EXPECT_EQ(box.SetBlendMode(1), 0u);
  EXPECT_EQ(box.Draw(&target, nullptr, &out), CColorBox::kUnpaintableMode);
  EXPECT_EQ(out.left, CDrawList::kNotPainted);
  EXPECT_EQ(target.GetPixel(0, 0), 0u);
  box.SetBlendMode(CColorBox::kFill);
  const plat::Rect clip{2, 2, 8, 8};
  EXPECT_EQ(box.Draw(&target, &clip, &out), 0u);
  EXPECT_EQ((RectArray{out.left, out.top, out.right, out.bottom}), (RectArray{0, 0, 4, 4}));
  EXPECT_EQ(target.GetPixel(0, 0), 0u);
  EXPECT_EQ(target.GetPixel(3, 3) & 0xFFFFFF, 0x123456u);
  box.SetEnabled(false);
  target.FillRectArgb(0, nullptr);
  EXPECT_EQ(box.DrawKeepDirty(&target), 0u);
  EXPECT_EQ(target.GetPixel(3, 3), 0u);
}

}  // namespace
