// Built-ins 260 to 316 called by number with their argument words in script memory, over a test
// screen: the creators of the render objects, the render list, the property rows by render
// kind, the transition drawable's rows and the motions, with the edges of their rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "base/time/timer_manager.h"
#include "builtin_call.h"
#include "builtins/script_task.h"
#include "effects/patterns/transition_drawable.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/images/image.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/render/render_image.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/render/textured_quad.h"
#include "script/script_fault.h"
#include "support/fake_clock.h"
#include "support/fake_drawing_device.h"
#include "support/log_capture.h"
#include "support/sprite_device_screen.h"

namespace {

constexpr uint32_t kNone = 65535;
constexpr uint32_t kMinusOne = 0xFFFFFFFF;
constexpr uint32_t kPlain = 0x102030;

uint32_t CoordinatePixel(int32_t x, int32_t y) { return static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y); }

class RenderObjectBuiltinsTest : public builtin_test::BuiltinCallTest {
 protected:
  void SetUp() override {
    saved_screen_ = std::exchange(g_ScreenManager, &Screen());
    saved_trig_ = std::exchange(g_TrigTable, &trig_);
    saved_timers_ = std::exchange(g_PausableTimerManager, &timers_);
    ASSERT_EQ(Screen().CreatePicture(&picture_, 64, 48, false), 0u);
    WritePixels(*picture_, CoordinatePixel);
    ASSERT_EQ(Screen().CreatePicture(&target_, 64, 48, false), 0u);
    ASSERT_EQ(target_->FillColor(kPlain >> 16, kPlain >> 8 & 0xFF, kPlain & 0xFF), 0u);
    ASSERT_EQ(Screen().CreateSurfaceCanvas(&surface_canvas_, 16, 8, 32, 0), 0u);
    ASSERT_EQ(Screen().CreatePictureCanvas(&picture_canvas_, kPixelFormatArgb8888, 16, 8, 32, 0, false), 0u);
    ASSERT_EQ(Screen().CreateImage(&image_, 16, 8, 32, 0), 0u);
  }
  void TearDown() override {
    g_ScreenManager = saved_screen_;
    g_TrigTable = saved_trig_;
    g_PausableTimerManager = saved_timers_;
  }

  static void WritePixels(CDDrawPicture& picture, uint32_t (*pixel)(int32_t, int32_t)) {
    plat::LockedSurface locked;
    ASSERT_EQ(picture.GetSurface()->Lock(nullptr, locked), plat::DD_OK);
    for (int32_t y = 0; y < locked.height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(locked.bits + static_cast<intptr_t>(y) * locked.pitch);
      for (int32_t x = 0; x < locked.width; ++x) row[x] = pixel(x, y);
    }
    ASSERT_EQ(picture.GetSurface()->Unlock(), plat::DD_OK);
  }

  CScreenManager& Screen() { return display_.Screen(); }
  std::vector<uint32_t> BackPixels() {
    std::vector<uint32_t> pixels;
    plat::LockedSurface locked;
    EXPECT_EQ(Screen().GetBack()->Lock(nullptr, locked), plat::DD_OK);
    for (int32_t y = 0; y < locked.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(locked.bits + static_cast<intptr_t>(y) * locked.pitch);
      pixels.insert(pixels.end(), row, row + locked.width);
    }
    EXPECT_EQ(Screen().GetBack()->Unlock(), plat::DD_OK);
    return pixels;
  }
  uint32_t HandleOf(CImageInterface* picture) { return picture->ScriptHandle(Handles()); }
  template <class T = CRenderObject>
  T* Object(uint32_t handle) {
    return dynamic_cast<T*>(Handles().Get<CRenderObject>(handle));
  }
  // One object of every kind the scripts make, by their creators.
  struct Made {
    uint32_t image, canvas_image, quad, canvas_quad, rect, polygon, triangle, state_a, state_b, transition;
  };
  Made MakeOneOfEach() {
    const uint32_t picture = HandleOf(picture_);
    const uint32_t canvas = HandleOf(picture_canvas_);
    return {Call(260, {picture, kNone, 0, 0, 0, 0, 0}),
            Call(267, {HandleOf(surface_canvas_), kNone, 0, 0, 0, 0, 0}),
            Call(261, {canvas, kNone, 0, 0, 0, 0, 0}),
            Call(268, {canvas, kNone, 0, 0, 0, 0, 0}),
            Call(263, {40, 20, 0x80FFFFFF, 10, 20}),
            Call(262, {0, 0xFF00FF00, 3, 0, 0, 9, 0, 0, 9}),
            Call(264, {0, 0, 9, 0, 0, 9, 0xFF0000FF, 3, 4}),
            Call(265, {}),
            Call(266, {}),
            Call(269, {HandleOf(target_), picture, 11, 0, 0, 128})};
  }
  std::vector<uint32_t> Colours(uint32_t handle) {
    std::vector<uint32_t> colours;
    CRenderObject* object = Object(handle);
    if (auto* quad = dynamic_cast<CTexturedQuad*>(object)) {
      for (const auto& corner : quad->GetCorners()) colours.push_back(corner.colour);
    } else if (auto* rect = dynamic_cast<CRectPrim*>(object)) {
      for (const auto& corner : rect->GetCorners()) colours.push_back(corner.colour);
    } else if (auto* shape = dynamic_cast<CPointShape*>(object)) {
      for (const auto& vertex : shape->GetVertices()) colours.push_back(vertex.colour);
    }
    return colours;
  }

  // Runs the pausable manager at that time.
  void At(uint32_t now) {
    clock_.SetMilliseconds(now);
    timers_.Dispatch(0);
  }

  ScopedFakeClock clock_;
  SpriteDeviceScreen display_;
  FakeDrawingDevice device_{display_.Screen(), kTextureCapsPow2, 1024};
  CTrigTables trig_;
  CTimerManager timers_;
  CScreenManager* saved_screen_ = nullptr;
  CTrigTables* saved_trig_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
  CDDrawPicture* picture_ = nullptr;
  CDDrawPicture* target_ = nullptr;
  CSurfaceCanvas* surface_canvas_ = nullptr;
  CPictureCanvas* picture_canvas_ = nullptr;
  CImage* image_ = nullptr;
};

TEST_F(RenderObjectBuiltinsTest, EveryRowFrom260To316IsBuilt) {
  LogCapture log;
  for (uint32_t id = 260; id <= 316; ++id) {
    SCOPED_TRACE(id);
    Call(id, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(GameBuiltins()[id - kFirstGameBuiltin].id, id);
  }
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

TEST_F(RenderObjectBuiltinsTest, EachCreatorMakesItsKindOverThePictureItTakes) {
  const Made made = MakeOneOfEach();
  const std::pair<uint32_t, ERenderObjectKind> expected[] = {
      {made.image, ERenderObjectKind::kRenderImage},      {made.canvas_image, ERenderObjectKind::kCanvasImage},
      {made.quad, ERenderObjectKind::kTexturedQuad},      {made.canvas_quad, ERenderObjectKind::kCanvasQuad},
      {made.rect, ERenderObjectKind::kRectPrim},          {made.polygon, ERenderObjectKind::kPolygonPrim},
      {made.triangle, ERenderObjectKind::kTrianglePrim},  {made.state_a, ERenderObjectKind::kRenderStateBlock},
      {made.state_b, ERenderObjectKind::kBlendStateBlock}, {made.transition, ERenderObjectKind::kTransition}};
  for (const auto& [handle, kind] : expected) {
    SCOPED_TRACE(static_cast<int>(kind));
    ASSERT_NE(Object(handle), nullptr);
    EXPECT_EQ(Object(handle)->GetKind(), kind);
  }
  EXPECT_EQ(Screen().GetRenderObjects().size(), std::size(expected));
  EXPECT_EQ(Screen().Count(), 0u) << "made, not shown";

  const uint32_t placed = Call(260, {HandleOf(picture_), 2, 3, 10, 12, 7, 8});
  ASSERT_NE(Object<CRenderImage>(placed), nullptr);
  EXPECT_EQ(Object<CRenderImage>(placed)->GetSourceRect().right, 10);
  EXPECT_EQ(Object(placed)->GetX(), 7);
  EXPECT_EQ(Object(placed)->GetY(), 8);

  const size_t listed = Screen().GetRenderObjects().size();
  for (const auto& [id, picture] : {std::pair{261u, HandleOf(picture_)}, std::pair{267u, HandleOf(picture_)},
                                    std::pair{268u, HandleOf(surface_canvas_)}, std::pair{260u, HandleOf(image_)},
                                    std::pair{260u, 0u}}) {
    EXPECT_EQ(Call(id, {picture, kNone}), 0u) << id << " refuses a picture it cannot show";
  }
  EXPECT_EQ(Screen().GetRenderObjects().size(), listed);
}

TEST_F(RenderObjectBuiltinsTest, ThePolygonTakesItsPointsFromTheArgumentWords) {
  const size_t listed = Screen().GetRenderObjects().size();
  EXPECT_EQ(Call(262, {6, 0xFF000000, 1, 5, 5}), 0u) << "no primitive number 6";
  EXPECT_EQ(Screen().GetRenderObjects().size(), listed) << "nothing made";

  auto* empty = Object<CPolygonPrim>(Call(262, {0, 0xFF000000, 0}));
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->GetVertices().empty());

  auto* strip = Object<CPolygonPrim>(Call(262, {1, 0x80123456, 3, 1, 2, 30, 4, 5, 60}));
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->GetPrimitiveType(), 5u);
  ASSERT_EQ(strip->GetVertices().size(), 3u);
  EXPECT_EQ(strip->GetVertices()[1].x, 30.0f);
  EXPECT_EQ(strip->GetVertices()[2].y, 60.0f);
  EXPECT_EQ(strip->GetVertices()[2].colour, 0x80123456u);

  EXPECT_THROW(Call(262, {4, 0, 0x40000000, 1, 2}), ScriptFault) << "points beyond script memory";
}

TEST_F(RenderObjectBuiltinsTest, TheTransitionDrawableRowsDrawIntoTheTarget) {
  const uint32_t picture = HandleOf(picture_);
  const uint32_t target = HandleOf(target_);
  EXPECT_EQ(Call(269, {target, HandleOf(image_), 11, 0, 0, 0}), 0u) << "a second picture of kind 4";
  EXPECT_EQ(Call(269, {HandleOf(image_), picture, 11, 0, 0, 0}), 0u) << "a first picture of kind 4";
  EXPECT_EQ(Call(269, {target, 0, 11, 0, 0, 0}), 0u) << "no second picture";

  const uint32_t drawable = Call(269, {target, picture, 11, kNone, 9, 9});
  auto* transition = Object<CTransitionDrawable>(drawable);
  ASSERT_NE(transition, nullptr);
  EXPECT_EQ(transition->GetX(), 0);
  EXPECT_EQ(transition->GetLevel(), 0u) << "65535: the three words are 0";

  EXPECT_EQ(Call(310, {drawable, 11}), 1u);
  EXPECT_EQ(Call(312, {drawable, 0, 0}), 1u);
  EXPECT_EQ(Call(309, {drawable, 128}), 0u);
  // s = (64 × 128) >> 8 = 32: the centred 32 × 32 square of the target holds the source.
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const bool in_square = x >= 16 && x < 48 && y >= 8 && y < 40;
      ASSERT_EQ(target_->GetPixel(x, y), in_square ? CoordinatePixel(x, y) : kPlain) << x << ", " << y;
    }
  }
  EXPECT_EQ(Call(313, {drawable, 2, 3}), 1u);
  EXPECT_EQ(transition->GetPatternX(), 2);
  EXPECT_EQ(transition->GetPatternY(), 3);

  EXPECT_EQ(Call(310, {drawable, 87}), 1u);
  EXPECT_EQ(Call(309, {drawable, 200}), CTransitionDrawable::kUnknownPattern);
  EXPECT_EQ(transition->GetLevel(), 128u) << "the level unchanged";

  CDDrawPicture* stale = nullptr;
  ASSERT_EQ(Screen().CreatePicture(&stale, 8, 8, false), 0u);
  const uint32_t stale_handle = HandleOf(stale);
  ASSERT_EQ(Screen().DeleteSurfaceObject(stale), 0u);
  EXPECT_EQ(Call(311, {drawable, stale_handle}), 1u) << "a word that names no picture";
  EXPECT_EQ(transition->GetTarget(), target_);
  EXPECT_EQ(Call(311, {drawable, 0}), 0u);
  EXPECT_EQ(transition->GetTarget(), nullptr) << "drawing on the screen";
  EXPECT_EQ(Call(311, {0, target}), kMinusOne);
}

TEST_F(RenderObjectBuiltinsTest, RowsOfAnotherKindAreRefusedAndChangeNothing) {
  const Made made = MakeOneOfEach();
  auto* rect = Object<CRectPrim>(made.rect);
  const auto corners = rect->GetCorners();
  EXPECT_EQ(Call(281, {made.rect, HandleOf(picture_)}), kMinusOne);
  EXPECT_EQ(Call(309, {made.rect, 256}), kMinusOne);
  EXPECT_EQ(Call(309, {0, 256}), kMinusOne);
  EXPECT_EQ(Call(294, {made.triangle, 1, 2, 3, 4}), 0u);
  EXPECT_EQ(Call(307, {made.triangle, 1, 2, 3, 4}), 0u);
  EXPECT_EQ(Call(300, {made.rect, 1, 2, 3}), 0u);
  EXPECT_EQ(Call(292, {made.image, 0x123456}), 0u);
  EXPECT_EQ(Call(292, {made.state_a, 0x123456}), 0u);
  EXPECT_EQ(rect->GetCorners()[0].colour, corners[0].colour);
  EXPECT_EQ(rect->GetX(), 10);

  // Position, size and the tests serve every kind.
  for (const uint32_t handle : {made.image, made.canvas_image, made.quad, made.canvas_quad, made.rect, made.polygon,
                                made.triangle, made.state_a, made.state_b, made.transition}) {
    EXPECT_EQ(Call(283, {handle, 5, 6}), 1u) << static_cast<int>(Object(handle)->GetKind());
  }
  EXPECT_EQ(Call(283, {0, 5, 6}), 0u);
  EXPECT_EQ(rect->GetX(), 5);
  EXPECT_EQ(Call(286, {made.rect, 0x7FFFFFFF, kMinusOne}), 1u);
  EXPECT_EQ(rect->GetX(), 0x7FFFFFFF) << "held at the end of the range";
  EXPECT_EQ(Call(285, {made.rect, 30, 10, 100, 50}), 1u);
  EXPECT_EQ(Call(287, {made.rect, 129, 59, 0}), 1u);
  EXPECT_EQ(Call(287, {made.rect, 130, 59, 0}), 0u);
  EXPECT_EQ(Call(288, {made.rect, made.image}), 0u);
  EXPECT_EQ(Call(283, {made.image, 110, 55}), 1u);
  EXPECT_EQ(Call(288, {made.rect, made.image}), 1u);
  EXPECT_EQ(Call(288, {made.rect, 0}), 0u);
}

TEST_F(RenderObjectBuiltinsTest, ColoursAndAlphasReachEveryVertexWithinTheirRange) {
  const Made made = MakeOneOfEach();
  for (const uint32_t handle : {made.quad, made.rect, made.polygon, made.triangle}) {
    SCOPED_TRACE(static_cast<int>(Object(handle)->GetKind()));
    EXPECT_EQ(Call(296, {handle, 300}), 1u);
    for (const uint32_t colour : Colours(handle)) EXPECT_EQ(colour >> 24, 255u);
    EXPECT_EQ(Call(296, {handle, static_cast<uint32_t>(-5)}), 1u);
    for (const uint32_t colour : Colours(handle)) EXPECT_EQ(colour >> 24, 0u);
    EXPECT_EQ(Call(292, {handle, 0xAA123456}), 1u);
    for (const uint32_t colour : Colours(handle)) EXPECT_EQ(colour, 0x00123456u) << "the alpha kept";
    const std::vector<uint32_t> before = Colours(handle);
    for (const uint32_t vertex : {4u, 256u, kMinusOne}) {
      EXPECT_EQ(Call(293, {handle, vertex, 0xFFFFFF}), 1u);
      EXPECT_EQ(Call(297, {handle, vertex, 99}), 1u);
    }
    EXPECT_EQ(Colours(handle), before) << "a vertex number outside changes nothing";
    EXPECT_EQ(Call(293, {handle, 1, 0x654321}), 1u);
    EXPECT_EQ(Call(297, {handle, 1, 77}), 1u);
    EXPECT_EQ(Colours(handle)[1], 0x4D654321u);
  }
  EXPECT_EQ(Call(294, {made.quad, 1, 2, 3, 4}), 1u);
  EXPECT_EQ(Call(298, {made.rect, 10, 20, 30, 400}), 1u);
  EXPECT_EQ(Colours(made.quad)[3] & 0xFFFFFF, 4u);
  EXPECT_EQ(Colours(made.rect)[3] >> 24, 255u);
  EXPECT_EQ(Call(295, {made.triangle, 7, 8, 9}), 1u);
  EXPECT_EQ(Call(299, {made.triangle, 1, 2, 3}), 1u);
  EXPECT_EQ(Colours(made.triangle)[2], 0x03000009u);
}

TEST_F(RenderObjectBuiltinsTest, TheDrawModeOfAQuadSetsItsStagesAndGreys) {
  const Made made = MakeOneOfEach();
  auto* quad = Object<CTexturedQuad>(made.quad);
  EXPECT_EQ(Call(291, {made.quad, 0, 0x1C8, 255}), 1u);
  for (const auto& corner : quad->GetCorners()) EXPECT_EQ(corner.colour, 0xC8000000u) << "grey 0, alpha 0xC8";
  EXPECT_EQ(quad->GetColourStage().operation, 7u);
  EXPECT_EQ(quad->GetColourStage().arg1, 2u);
  EXPECT_EQ(quad->GetColourStage().arg2, 1u);
  EXPECT_EQ(quad->GetAlphaStage().operation, 4u);
  EXPECT_EQ(quad->GetBlend().dest, 6u);
  EXPECT_EQ(Call(291, {made.quad, 1, 0x80, 55}), 1u);
  EXPECT_EQ(quad->GetCorners()[2].colour, 0x80C8C8C8u) << "grey 255 - 55";
  EXPECT_EQ(quad->GetColourStage().operation, 10u);
  EXPECT_EQ(quad->GetBlend().dest, 2u) << "additive";

  EXPECT_EQ(Call(291, {made.triangle, 1, 0x30, 0}), 1u);
  EXPECT_EQ(Object<CTrianglePrim>(made.triangle)->GetBlend().dest, 2u);
  EXPECT_EQ(Colours(made.triangle)[0], 0x300000FFu);
  EXPECT_EQ(Call(290, {made.rect, 3, 0x105, 0x206}), 1u);
  EXPECT_EQ(Object<CRectPrim>(made.rect)->GetBlend().enable, 1u) << "bit 0 only";
  EXPECT_EQ(Object<CRectPrim>(made.rect)->GetBlend().source, 5u);

  EXPECT_EQ(Call(300, {made.quad, 1, 2, 3}), 1u);
  EXPECT_EQ(Call(301, {made.quad, 4, 5, 6}), 1u);
  EXPECT_EQ(quad->GetColourStage().arg2, 3u);
  EXPECT_EQ(quad->GetAlphaStage().arg2, 6u);
  EXPECT_EQ(Call(302, {made.quad, 1, 2, 3, 4, 5, 6, 7, 8}), 1u);
  EXPECT_EQ(quad->GetCorners()[3].x, 7.0f);
  EXPECT_EQ(quad->GetCorners()[3].y, 8.0f);
}

TEST_F(RenderObjectBuiltinsTest, TurningAQuadAboutItsCentreFollowsTheFixedPointFormula) {
  const Made made = MakeOneOfEach();
  ASSERT_EQ(Call(285, {made.quad, 100, 50, 200, 100}), 1u);
  ASSERT_EQ(Call(289, {made.quad, 128, 0x104}), 1u) << "the anchor's low byte: the centre";
  const int64_t c = trig_.cosine[static_cast<size_t>(-128 & 511)];
  const int64_t s = trig_.cosine[static_cast<size_t>((-128 - 128) & 511)];
  const int32_t cx = 200 + 50;
  const int32_t cy = 100 + 25;
  const std::array<std::pair<int32_t, int32_t>, 4> unturned{{{200, 100}, {300, 100}, {200, 150}, {300, 150}}};
  const auto& corners = Object<CTexturedQuad>(made.quad)->GetCorners();
  for (size_t i = 0; i < 4; ++i) {
    const int64_t dx = unturned[i].first - cx;
    const int64_t dy = unturned[i].second - cy;
    EXPECT_EQ(corners[i].x, static_cast<float>(cx + ((dx * c - dy * s) >> 16))) << i;
    EXPECT_EQ(corners[i].y, static_cast<float>(cy + ((dx * s + dy * c) >> 16))) << i;
  }
  EXPECT_EQ(corners[0].x, 225.0f) << "a quarter turn: the top-left corner goes down";
  EXPECT_EQ(corners[0].y, 175.0f);

  // The triangle turns too, about its points' box.
  ASSERT_EQ(Call(283, {made.triangle, 0, 0}), 1u);
  ASSERT_EQ(Call(289, {made.triangle, 128, 0}), 1u);
  const auto vertices = Object<CTrianglePrim>(made.triangle)->GetVertices();
  EXPECT_EQ(vertices[1].x, static_cast<float>((9 * c) >> 16)) << "(9, 0) turned a quarter about (0, 0)";
  EXPECT_EQ(vertices[1].y, static_cast<float>((9 * s) >> 16));
  EXPECT_EQ(vertices[1].y, -9.0f);
}

TEST_F(RenderObjectBuiltinsTest, PointsOfThePrimitivesAndTheRectanglesSize) {
  const Made made = MakeOneOfEach();
  EXPECT_EQ(Call(306, {made.triangle, 3, 1, 1}), 0u) << "no vertex 3";
  EXPECT_EQ(Call(306, {made.triangle, 2, 5, 6}), 1u);
  EXPECT_EQ(Object<CTrianglePrim>(made.triangle)->GetVertices()[2].x, 3.0f + 5.0f);
  EXPECT_EQ(Call(306, {made.polygon, 3, 1, 1}), 0u);
  EXPECT_EQ(Call(306, {made.rect, 0, 1, 1}), 0u);
  EXPECT_EQ(Call(307, {made.polygon, 1, 2, 3, 4}), 1u);
  EXPECT_EQ(Object<CPolygonPrim>(made.polygon)->GetVertices()[1].y, 4.0f);
  EXPECT_EQ(Call(308, {made.triangle, 1, 2, 3, 4, 5, 6}), 1u);
  EXPECT_EQ(Object<CTrianglePrim>(made.triangle)->GetVertices()[2].y, 4.0f + 6.0f);

  auto* polygon = Object<CPolygonPrim>(made.polygon);
  EXPECT_EQ(Call(305, {made.polygon, 3}), 1u);
  EXPECT_EQ(polygon->GetPrimitiveType(), 2u);
  EXPECT_EQ(Call(305, {made.polygon, 6}), 1u);
  EXPECT_EQ(polygon->GetPrimitiveType(), 2u) << "no type 6: nothing changed";
  EXPECT_EQ(Call(305, {made.polygon, 0x105}), 1u);
  EXPECT_EQ(polygon->GetPrimitiveType(), 1u) << "the low byte: a point list";

  EXPECT_EQ(Call(303, {made.rect, 8, 6}), 1u);
  EXPECT_EQ(Object<CRectPrim>(made.rect)->GetCorners()[3].x, 10.0f + 8.0f);
  EXPECT_EQ(Call(304, {made.rect, 8, 6, 1, 2}), 1u);
  EXPECT_EQ(Object<CRectPrim>(made.rect)->GetCorners()[3].y, 2.0f + 6.0f);
}

TEST_F(RenderObjectBuiltinsTest, BoundsGoToTheWordsGivenAndSourcesToTheKindsThatTakeThem) {
  const Made made = MakeOneOfEach();
  const uint32_t left = Block(4);
  const uint32_t right = Block(4);
  EXPECT_EQ(Call(314, {made.rect, left, 0, right, 0}), 1u);
  EXPECT_EQ(WordAt(left), 10u);
  EXPECT_EQ(WordAt(right), 50u);
  EXPECT_EQ(Call(314, {made.triangle, left, 0, right, 0}), 0u) << "a triangle has no bounds";
  EXPECT_EQ(Call(314, {0, left, 0, right, 0}), 0u);

  EXPECT_EQ(Call(281, {made.image, HandleOf(target_)}), 0u);
  EXPECT_EQ(Object<CRenderImage>(made.image)->GetSource(), target_);
  EXPECT_EQ(Call(281, {made.image, HandleOf(image_)}), 1u) << "no surface";
  EXPECT_EQ(Call(281, {made.canvas_quad, HandleOf(picture_canvas_)}), 0u);
  EXPECT_EQ(Call(281, {made.canvas_quad, HandleOf(picture_)}), 1u);
  EXPECT_EQ(Call(281, {made.transition, HandleOf(target_)}), 0u);
  EXPECT_EQ(Call(282, {made.image, 1, 2, 0, 0, 8, 8}), 1u);
  EXPECT_EQ(Object<CRenderImage>(made.image)->GetSourceRect().right, 8);
  EXPECT_EQ(Call(282, {made.transition, 0, 0, 4, 4, 20, 20}), 1u);
  EXPECT_EQ(Object<CTransitionDrawable>(made.transition)->GetShownRect().left, 4);
  EXPECT_EQ(Call(282, {made.quad, 0, 0, kNone}), 1u);
  EXPECT_EQ(Call(282, {made.rect, 0, 0, kNone}), 0u);
}

TEST_F(RenderObjectBuiltinsTest, TheRenderListRowsAddMoveNotifyAndRemove) {
  const Made made = MakeOneOfEach();
  EXPECT_EQ(Call(271, {made.rect, kMinusOne, 9}), 0u);
  EXPECT_EQ(Call(271, {made.rect, 5, 0}), 2u) << "already listed";
  EXPECT_EQ(Call(271, {0, 5, 0}), 1u);
  EXPECT_EQ(Call(271, {made.quad, 7, 3}), 0u);
  EXPECT_EQ(Call(272, {made.triangle, 0, 4}), 0u);
  std::vector<std::pair<CRenderObject*, std::pair<uint32_t, uint8_t>>> nodes;
  Screen().ForEach([&](CRenderObject* object, uint32_t priority, uint8_t tag) {
    nodes.push_back({object, {priority, tag}});
  });
  const decltype(nodes) expected{{Object(made.quad), {7, 3}},
                                 {Object(made.triangle), {0, 4}},
                                 {Object(made.rect), {0, 0}}};
  EXPECT_EQ(nodes, expected) << "-1 adds at priority 0 with tag 0; 272 before the equal";

  EXPECT_EQ(Call(278, {0, kNone, 77}), 0u);
  for (const auto& node : nodes) EXPECT_EQ(node.first->IsEnabled(), 0u) << "every object, any priority and tag";
  EXPECT_EQ(Call(278, {3, 0, 4}), 0u);
  EXPECT_EQ(Call(277, {made.triangle}), 1u) << "priority 0 and tag 4";
  EXPECT_EQ(Call(277, {made.rect}), 0u);
  EXPECT_EQ(Call(276, {made.rect, 2}), 1u);
  EXPECT_EQ(Call(277, {made.rect}), 0u) << "bit 0 only";
  EXPECT_EQ(Call(276, {0, 1}), 0u);

  EXPECT_EQ(Call(279, {made.rect, 9, 0}), 1u);
  EXPECT_EQ(Call(279, {made.rect, 9, 1}), 0u) << "kept at the same priority";
  EXPECT_EQ(Call(280, {made.polygon, 9, 0}), 0u) << "not listed";
  EXPECT_EQ(Call(273, {made.quad}), 0u);
  EXPECT_EQ(Call(274, {9}), 0u);
  EXPECT_EQ(Screen().Count(), 1u);
  EXPECT_EQ(Call(275, {0}), 0u);
  EXPECT_EQ(Screen().AppliesStates(), 0u);
}

TEST_F(RenderObjectBuiltinsTest, DeletingClearsTheWordOnlyForAnObjectOfTheScreen) {
  const Made made = MakeOneOfEach();
  const uint32_t word = Block(4);
  Memory().SetWord(word, made.rect);
  ASSERT_EQ(Call(271, {made.rect, 1, 0}), 0u);
  EXPECT_EQ(Call(270, {word}), 0u);
  EXPECT_EQ(WordAt(word), 0u);
  EXPECT_EQ(Screen().Count(), 0u) << "out of the render list too";
  EXPECT_EQ(Call(270, {word}), 1u) << "a word of 0";
  EXPECT_EQ(Call(270, {0}), 1u);
  Memory().SetWord(word, made.rect);
  EXPECT_EQ(Call(270, {word}), 2u) << "stale";
  EXPECT_EQ(WordAt(word), made.rect);
  CRectPrim own;
  Memory().SetWord(word, own.ScriptHandle(Handles()));
  EXPECT_EQ(Call(270, {word}), 2u) << "not the screen's";
  EXPECT_NE(WordAt(word), 0u);
}

// Pictures that render objects show are deleted through the built-ins (by handle word, by
// group id): each object, and the device's current texture, lets go of its picture first; the
// objects then draw nothing, as without one.
TEST_F(RenderObjectBuiltinsTest, AnObjectWhosePictureIsDeletedDrawsNothing) {
  CDDrawPicture* other_target = nullptr;
  CDDrawPicture* other_source = nullptr;
  ASSERT_EQ(Screen().CreatePicture(&other_target, 64, 48, false), 0u);
  ASSERT_EQ(Screen().CreatePicture(&other_source, 64, 48, false), 0u);
  const uint32_t previous_id = Call(201, {9});
  CPictureCanvas* grouped = nullptr;
  ASSERT_EQ(Screen().CreatePictureCanvas(&grouped, kPixelFormatArgb8888, 16, 8, 32, 0, false), 0u);
  Call(201, {previous_id});

  const uint32_t image = Call(260, {HandleOf(picture_), kNone, 0, 0, 0, 0, 0});
  const uint32_t quad = Call(261, {HandleOf(grouped), kNone, 0, 0, 0, 0, 0});
  const uint32_t canvas_quad = Call(268, {HandleOf(grouped), kNone, 0, 0, 0, 0, 0});
  const uint32_t losing_target = Call(269, {HandleOf(target_), HandleOf(other_source), 11, 0, 0, 128});
  const uint32_t losing_source = Call(269, {HandleOf(other_target), HandleOf(picture_), 11, 0, 0, 128});
  for (const uint32_t made : {image, quad, canvas_quad, losing_target, losing_source}) ASSERT_NE(made, 0u);
  ASSERT_EQ(Object(quad)->Render(Screen().GetBack(), &Screen().GetScreenRect(), &Screen()), 0u);
  ASSERT_EQ(Screen().GetCurrentTexture(), Object<CTexturedQuad>(quad)->GetTexture());

  EXPECT_EQ(Call(243, {WordHolding(HandleOf(target_))}), 0u);
  EXPECT_EQ(Call(243, {WordHolding(HandleOf(picture_))}), 0u);
  EXPECT_EQ(Call(202, {9, CScreenManager::kDeleteSurfaceObjectsToo}), 0u);
  EXPECT_EQ(Object<CRenderImage>(image)->GetSource(), nullptr);
  EXPECT_EQ(Object<CTexturedQuad>(quad)->GetTexture(), nullptr);
  EXPECT_EQ(Object<CTexturedQuad>(canvas_quad)->GetTexture(), nullptr);
  EXPECT_EQ(Screen().GetCurrentTexture(), nullptr) << "the device's cache forgot the texture too";
  EXPECT_EQ(Screen().ReapplyRenderStates(), 0u);
  for (const uint32_t transition : {losing_target, losing_source}) {
    EXPECT_EQ(Object<CTransitionDrawable>(transition)->GetTarget(), nullptr);
    EXPECT_EQ(Object<CTransitionDrawable>(transition)->GetSource(), nullptr);
    EXPECT_EQ(Call(309, {transition, 200}), CTransitionDrawable::kNoSource);
  }

  plat::Surface* back = Screen().GetBack();
  ASSERT_NE(back, nullptr);
  const std::vector<uint32_t> before = BackPixels();
  for (const uint32_t shown : {image, quad, canvas_quad, losing_target, losing_source}) {
    SCOPED_TRACE(shown);
    ASSERT_EQ(Call(271, {shown, 1, 0}), 0u);
    EXPECT_EQ(Screen().RenderAll(back, &Screen().GetScreenRect(), &Screen()), 1u) << "no picture to draw";
    EXPECT_EQ(BackPixels(), before);
    ASSERT_EQ(Call(273, {shown}), 0u);
  }
}

TEST_F(RenderObjectBuiltinsTest, MotionsMoveARenderObjectAndItsAlpha) {
  const Made made = MakeOneOfEach();
  clock_.SetMilliseconds(1000);
  const uint32_t task = Call(315, {made.rect, 500, Text("(30,40,0)"), 0, 0, kNone, 1, 0, 1, 1});
  ASSERT_NE(task, 0u);
  ASSERT_NE(TaskOfHandle(Handles(), task), nullptr);
  At(1000);
  At(1250);
  auto* rect = Object<CRectPrim>(made.rect);
  EXPECT_EQ(rect->GetX(), 20);
  EXPECT_EQ(rect->GetY(), 30);
  EXPECT_EQ(rect->GetCorners()[0].colour >> 24, 0x40u);
  At(1500);
  EXPECT_EQ(TaskOfHandle(Handles(), task), nullptr) << "the finished motion's handle is gone";

  const uint32_t points = Block(12);
  for (const auto& [at, value] : {std::pair{0u, 100u}, std::pair{4u, 0u}, std::pair{8u, 255u}}) {
    Memory().SetWord(points + at, value);
  }
  clock_.SetMilliseconds(2000);
  ASSERT_NE(Call(316, {made.rect, 200, 1, points, 0, 0, kNone}), 0u);
  At(2000);
  At(2100);
  EXPECT_EQ(rect->GetX(), 65);
  EXPECT_EQ(rect->GetY(), 20);

  EXPECT_EQ(Call(315, {made.state_a, 500, Text("(1,1,1)"), 0, 0, kNone}), 0u) << "a state block cannot move";
  EXPECT_EQ(Call(315, {made.rect, 500, Text(""), 0, 0, kNone}), 0u) << "no points";
  EXPECT_EQ(Call(315, {made.rect, 0, Text("(7,8,255)"), 0, 0, kNone}), 0u) << "no time: at the end at once";
  EXPECT_EQ(rect->GetX(), 7);
  EXPECT_EQ(Call(316, {made.rect, 200, 0, 0, 0, 0, kNone}), 0u) << "no points, and none read";
  EXPECT_THROW(Call(316, {made.rect, 200, 0x10000000, points, 0, 0, kNone}), ScriptFault);
  EXPECT_THROW(Call(316, {made.rect, 200, 2, 0xFFFFFFF8, 0, 0, kNone}), ScriptFault);
}

}  // namespace
