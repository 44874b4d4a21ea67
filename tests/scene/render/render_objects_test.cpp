// The render objects' geometry (placement, sizes, turns, scales), their colour and blend
// setters, and what they send a drawing device; the render-state blocks.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/display/d3d_texture.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/render/textured_quad.h"
#include "support/fake_drawing_device.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace {

using Corners = std::array<std::array<float, 2>, 4>;

// A picture of 300 x 200 in a texture of 512 x 256.
class FakeTexture : public CD3DTexture {
 public:
  explicit FakeTexture(uint32_t format) : format_(format) {
    surface_ = surfaces_.Make(plat::SurfaceFormat::kArgb8888, 512, 256);
  }
  ESurfaceKind GetKind() const override { return ESurfaceKind::kPictureObject; }
  int32_t GetTextureWidth() const override { return 512; }
  int32_t GetTextureHeight() const override { return 256; }
  uint32_t SetColorKey(uint8_t, uint8_t, uint8_t) override { return 1; }
  uint32_t SetColorKeyAt(int32_t, int32_t) override { return 1; }
  uint32_t GetColorKeyPixel() const override { return kNoColorKey; }
  uint32_t ClearColorKey() override { return 0; }
  plat::Surface* GetSurface() const override { return surface_.get(); }
  uint32_t GetPixelFormat() const override { return format_; }
  int32_t GetImageWidth() const override { return 300; }
  int32_t GetImageHeight() const override { return 200; }

 private:
  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> surface_;
  uint32_t format_;
};

template <typename Vertices>
Corners CornersOf(const Vertices& vertices) {
  Corners out{};
  for (size_t i = 0; i < 4; ++i) out[i] = {vertices[i].x, vertices[i].y};
  return out;
}

class RenderObjectsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_table_ = g_TrigTable;
    g_TrigTable = &table_;
  }
  void TearDown() override { g_TrigTable = saved_table_; }

  CTrigTables table_;
  CTrigTables* saved_table_ = nullptr;
};

TEST_F(RenderObjectsTest, QuadAndRectanglePlaceSizeAndTurnTheirCorners) {
  FakeTexture texture(kPixelFormatXrgb8888);
  CTexturedQuad quad;
  ASSERT_EQ(quad.Create(&texture, nullptr, 10, 20), 0u);
  CRectPrim rect;
  ASSERT_EQ(rect.Create(300, 200, 0xFF112233, 10, 20), 0u);
  const Corners placed{{{10, 20}, {310, 20}, {10, 220}, {310, 220}}};
  EXPECT_EQ(CornersOf(quad.GetCorners()), placed);
  EXPECT_EQ(CornersOf(rect.GetCorners()), placed);
  EXPECT_FLOAT_EQ(quad.GetCorners()[1].u, static_cast<float>(300.5 / 512));
  EXPECT_FLOAT_EQ(quad.GetCorners()[2].v, static_cast<float>(200.5 / 256));

  struct Step {
    const char* what;
    void (*apply)(CRenderObject&);
    Corners corners;
  };
  const Step steps[] = {
      {"set position", [](CRenderObject& o) { o.SetPosition(1, 2); }, {{{1, 2}, {301, 2}, {1, 202}, {301, 202}}}},
      {"move by", [](CRenderObject& o) { o.MoveBy(4, -2); }, {{{5, 0}, {305, 0}, {5, 200}, {305, 200}}}},
      {"displayed size", [](CRenderObject& o) { o.SetSize(100, 50); }, {{{5, 0}, {105, 0}, {5, 50}, {105, 50}}}},
      {"size and position",
       [](CRenderObject& o) { o.SetSizeAndPosition(100, 50, 0, 0); },
       {{{0, 0}, {100, 0}, {0, 50}, {100, 50}}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.apply(quad);
    step.apply(rect);
    EXPECT_EQ(CornersOf(quad.GetCorners()), step.corners);
    EXPECT_EQ(CornersOf(rect.GetCorners()), step.corners);
  }

  quad.Rotate(0, 0);
  rect.Rotate(512, 4);
  EXPECT_EQ(CornersOf(quad.GetCorners()), steps[3].corners) << "a turn by 0 leaves the corners";
  EXPECT_EQ(CornersOf(rect.GetCorners()), steps[3].corners) << "a whole turn leaves the corners";
  quad.Rotate(128, 0);
  EXPECT_EQ(CornersOf(quad.GetCorners()), (Corners{{{0, 0}, {0, -100}, {50, 0}, {50, -100}}})) << "a quarter turn";
  rect.Rotate(128, 4);
  EXPECT_EQ(CornersOf(rect.GetCorners()), (Corners{{{25, 75}, {25, -25}, {75, 75}, {75, -25}}}))
      << "a quarter turn about the centre";
  g_TrigTable = nullptr;
  quad.Rotate(128, 0);
  EXPECT_EQ(CornersOf(quad.GetCorners()), steps[3].corners) << "without the cosine table nothing turns";

  plat::Rect bounds;
  ASSERT_TRUE(rect.GetBounds(&bounds));
  EXPECT_TRUE(rect.HitTest(99, 49, false));
  EXPECT_FALSE(rect.HitTest(100, 49, false));
  CRectPrim touching;
  touching.Create(10, 10, 0xFF000000, 100, 0);
  EXPECT_FALSE(rect.Overlaps(touching)) << "a shared edge is no overlap";
  touching.MoveBy(-1, 0);
  EXPECT_TRUE(rect.Overlaps(touching));
}

TEST_F(RenderObjectsTest, TrianglesAndPolygonsScaleFromTheirBoundingCorner) {
  CTrianglePrim triangle;
  ASSERT_EQ(triangle.Create({{{10, 10}, {20, 10}, {10, 20}}}, 0x80FFFFFF, 0, 0), 0u);
  EXPECT_EQ(triangle.GetBlend().enable, 1);
  auto points = [](std::span<const ColoredVertex> vertices) {
    std::vector<std::array<float, 2>> out;
    for (const ColoredVertex& vertex : vertices) out.push_back({vertex.x, vertex.y});
    return out;
  };
  using Points = std::vector<std::array<float, 2>>;
  EXPECT_EQ(points(triangle.GetVertices()), (Points{{10, 10}, {20, 10}, {10, 20}}));
  triangle.SetSize(2 * CPointShape::kUnitScale, 0);
  EXPECT_EQ(points(triangle.GetVertices()), (Points{{0, 0}, {20, 0}, {0, 20}}));
  triangle.SetSizeAndPosition(CPointShape::kUnitScale / 2, 0, 100, 100);
  EXPECT_EQ(points(triangle.GetVertices()), (Points{{100, 100}, {105, 100}, {100, 105}}));
  EXPECT_FALSE(triangle.HitTest(100, 100, false));
  plat::Rect bounds;
  EXPECT_FALSE(triangle.GetBounds(&bounds));

  std::vector<int32_t> xs{0, 10, 10, 0};
  std::vector<int32_t> ys{0, 0, 10, 10};
  CPolygonPrim polygon;
  ASSERT_EQ(polygon.Create(std::move(xs), std::move(ys), 0xFF00FF00, PolygonPrimitiveType(2)), 0u);
  EXPECT_EQ(polygon.GetPrimitiveType(), kPrimitiveTriangleFan);
  polygon.SetPosition(5, 5);
  EXPECT_EQ(points(polygon.GetVertices()), (Points{{5, 5}, {15, 5}, {15, 15}, {5, 15}}));
  ASSERT_TRUE(polygon.Rotate(256, 4));
  EXPECT_EQ(points(polygon.GetVertices()), (Points{{15, 15}, {5, 15}, {5, 5}, {15, 5}})) << "a half turn about the centre";
  EXPECT_TRUE(polygon.SetFirstTwoPoints({1, 1}, {2, 2}));
  EXPECT_EQ(points(polygon.GetVertices())[1], (std::array<float, 2>{7, 7}));
  const int32_t short_xs[] = {1, 2};
  const int32_t short_ys[] = {1};
  EXPECT_EQ(polygon.Create(short_xs, short_ys, 0xFF000000, kPrimitiveLineList), 1u);
  g_TrigTable = nullptr;
  EXPECT_EQ(polygon.Create(short_xs, short_xs, 0xFF000000, kPrimitiveLineList), 1u) << "no cosine table";
}

TEST_F(RenderObjectsTest, PolygonNumbersMapToPrimitiveTypes) {
  const uint8_t expected[] = {kPrimitiveTriangleList, kPrimitiveTriangleStrip, kPrimitiveTriangleFan,
                              kPrimitiveLineList,     kPrimitiveLineStrip,     kPrimitivePointList};
  for (int32_t number = 0; number < 6; ++number) EXPECT_EQ(PolygonPrimitiveType(number), expected[number]) << number;
  EXPECT_EQ(PolygonPrimitiveType(6), 0);
  EXPECT_EQ(PolygonPrimitiveType(-1), 0);
}

TEST_F(RenderObjectsTest, CornerSettersIgnoreIndicesOutsideTheShape) {
  CRectPrim rect;
  rect.Create(4, 4, 0x40102030, 0, 0);
  rect.SetCornerAlpha(4, 0);
  rect.SetCornerColour(4, 0);
  for (const ColoredVertex& corner : rect.GetCorners()) EXPECT_EQ(corner.colour, 0x40102030u);
  rect.SetCornerAlpha(1, 300);
  EXPECT_EQ(rect.GetCorners()[1].colour, 0xFF102030u) << "alpha is clamped";
  CTrianglePrim triangle;
  triangle.Create({}, 0x40102030, 0, 0);
  EXPECT_FALSE(triangle.SetCornerAlpha(-1, 0));
  EXPECT_FALSE(triangle.SetCornerAlpha(3, 0));
  EXPECT_FALSE(triangle.SetPoint(3, 1, 1));
  EXPECT_TRUE(triangle.SetCornerColour(2, 0xABCDEF));
  EXPECT_EQ(triangle.GetVertices()[2].colour, 0x40ABCDEFu);
}

TEST_F(RenderObjectsTest, QuadBlendModeLevelsDarkenOrBrightenTheTexture) {
  FakeTexture texture(kPixelFormatArgb8888);
  CTexturedQuad quad;
  ASSERT_EQ(quad.Create(&texture, nullptr, 0, 0), 0u);
  EXPECT_EQ(quad.GetBlend().enable, 1) << "a texture with alpha blends";
  struct Case {
    int32_t level;
    uint8_t operation;
    uint32_t colour;
  };
  for (const Case& c : {Case{0, 10, 0x80FFFFFF}, Case{255, 7, 0x80000000}, Case{510, 7, 0x80FFFFFF},
                        Case{100, 10, 0x809B9B9B}}) {
    SCOPED_TRACE(c.level);
    quad.SetBlendMode(true, 0x80, c.level);
    EXPECT_EQ(quad.GetBlend().dest, 2);
    EXPECT_EQ(quad.GetColourStage().operation, c.operation);
    EXPECT_EQ(quad.GetAlphaStage().arg2, 0) << "the corners' alpha";
    EXPECT_EQ(quad.GetCorners()[3].colour, c.colour);
  }
}

TEST_F(RenderObjectsTest, DrawingSendsStatesAndPrimitivesToTheDevice) {
  SpriteDeviceScreen screen;
  FakeTexture texture(kPixelFormatXrgb8888);
  CTexturedQuad quad;
  quad.Create(&texture, nullptr, 0, 0);
  CRectPrim rect;
  rect.Create(4, 4, 0xFF000000, 0, 0);
  CTrianglePrim triangle;
  triangle.Create({}, 0x80000000, 0, 0);
  CPolygonPrim polygon;
  CScreenManager& manager = screen.Screen();
  for (CRenderObject* object : std::initializer_list<CRenderObject*>{&quad, &rect, &triangle}) {
    EXPECT_EQ(object->Render(nullptr, nullptr, &manager), 2u) << "no drawing device";
    EXPECT_EQ(object->Render(nullptr, nullptr, nullptr), 1u);
  }
  EXPECT_EQ(polygon.Render(nullptr, nullptr, &manager), 1u) << "no vertices";

  FakeDrawingDevice device(manager, kTextureCapsPow2, 1024);
  CRenderList list;
  ASSERT_EQ(list.AddAfterEqual(&quad, 1, 0), 0u);
  ASSERT_EQ(list.AddAfterEqual(&rect, 2, 0), 0u);
  ASSERT_EQ(list.AddAfterEqual(&triangle, 3, 0), 0u);
  ASSERT_EQ(list.RenderAll(nullptr, nullptr, &manager), 0u);
  ASSERT_EQ(device.primitives.size(), 3u);
  struct Drawn {
    uint32_t type, format, count;
  };
  const Drawn drawn[] = {{kPrimitiveTriangleList, 0x44, 3}, {kPrimitiveTriangleStrip, 0x44, 4},
                         {kPrimitiveTriangleStrip, 0x144, 4}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(device.primitives[i].type, drawn[i].type) << i;
    EXPECT_EQ(device.primitives[i].vertex_format, drawn[i].format) << i;
    EXPECT_EQ(device.primitives[i].count, drawn[i].count) << i;
  }
  EXPECT_EQ(device.primitives[2].texture, texture.GetSurface());
  using Change = FakeDrawingDevice::StateChange;
  constexpr uint32_t kStage = FakeDrawingDevice::kStageBase;
  const std::vector<Change> expected{{27, 1}, {19, 5}, {20, 6},  // the triangle blends
                                     {27, 0}, {19, 2}, {20, 1},  // the opaque rectangle
                                     {kStage + 1, 4}, {kStage + 2, 2}, {kStage + 3, 1},
                                     {kStage + 4, 2}, {kStage + 5, 2}, {kStage + 6, 1}};
  EXPECT_EQ(device.states, expected) << "the quad's blend equals the rectangle's and is not sent again";

  device.states.clear();
  list.SetApplyStates(0);
  device.draw_result = -1;
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, &manager), 4u) << "a refused primitive stops the pass";
  EXPECT_TRUE(device.states.empty());
  quad.SetEnabled(0);
  rect.SetEnabled(0);
  triangle.SetEnabled(0);
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, &manager), 0u);
}

TEST_F(RenderObjectsTest, StateBlocksSetOnlyTheirChangedValues) {
  SpriteDeviceScreen screen;
  CScreenManager& manager = screen.Screen();
  FakeDrawingDevice device(manager, 0, 1024);
  CRenderStateBlock states;
  CBlendStateBlock blend;
  EXPECT_EQ(states.Render(nullptr, nullptr, &manager), 0u);
  EXPECT_EQ(blend.Render(nullptr, nullptr, &manager), 0u);
  EXPECT_TRUE(device.states.empty()) << "a fresh block changes nothing";

  states.values[4] = 5;
  EXPECT_EQ(states.Render(nullptr, nullptr, &manager), 0u);
  EXPECT_EQ(device.states, (std::vector<FakeDrawingDevice::StateChange>{{19, 5}})) << "only the source blend";
  blend.values[3] = 7;
  blend.texture_factor = 0x11223344;
  EXPECT_EQ(blend.Render(nullptr, nullptr, &manager), 0u);
  EXPECT_EQ(device.states.back(), (FakeDrawingDevice::StateChange{60, 0x11223344}));
  EXPECT_EQ(device.states[1], (FakeDrawingDevice::StateChange{FakeDrawingDevice::kStageBase + 1, 7}));

  device.states.clear();
  states.values[0] = 1;
  states.SetEnabled(0);
  EXPECT_EQ(states.Render(nullptr, nullptr, &manager), 0u);
  EXPECT_TRUE(device.states.empty()) << "a disabled block sets nothing";

  CRenderList list;
  CRectPrim after;
  after.Create(2, 2, 0xFF000000, 0, 0);
  list.AddAfterEqual(&blend, 1, 0);
  list.AddAfterEqual(&after, 2, 0);
  EXPECT_EQ(list.RenderAll(nullptr, nullptr, nullptr), 1u) << "without a device the pass stops at the block";
  EXPECT_TRUE(device.primitives.empty());
  EXPECT_EQ(states.GetKind(), ERenderObjectKind::kRenderStateBlock);
  EXPECT_EQ(blend.GetKind(), ERenderObjectKind::kBlendStateBlock);
}

}  // namespace
