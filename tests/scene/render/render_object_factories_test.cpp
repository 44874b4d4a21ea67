// The render-object factories: what they list and with which id, what a failing create step
// leaves behind and deletion by id of what they made.
#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <utility>

#include "base/lifetime/handle_table.h"
#include "base/numbers/trig_tables.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/images/image.h"
#include "pixel/formats/pixel_format_codes.h"
#include "scene/render/render_image.h"
#include "scene/render/render_object_factories.h"
#include "scene/render/render_primitives.h"
#include "scene/render/render_state_block.h"
#include "scene/render/textured_quad.h"
#include "support/fake_drawing_device.h"
#include "support/sprite_device_screen.h"

namespace {

struct Made {
  uint32_t status;
  CRenderObject* object;
};

// Calls the factory with an out pointer that holds garbage, so that one which leaves it set shows.
template <class T, class... Args>
Made MadeBy(uint32_t (*factory)(CScreenManager&, T**, Args...), CScreenManager& screen,
            std::type_identity_t<Args>... args) {
  T* out = reinterpret_cast<T*>(&screen);
  const uint32_t status = factory(screen, &out, std::forward<Args>(args)...);
  return {status, out};
}

class RenderObjectFactoriesTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_table_ = std::exchange(g_TrigTable, &table_);
    ASSERT_EQ(picture_.Create(16, 8, false, false, nullptr), 0u);
    ASSERT_EQ(surface_canvas_.Create(16, 8, 32, CImagePart::kNoLayer), 0u);
    ASSERT_EQ(picture_canvas_.Create(kPixelFormatArgb8888, 16, 8, 32, CImagePart::kNoLayer, false), 0u);
  }
  void TearDown() override { g_TrigTable = saved_table_; }

  CScreenManager& Screen() { return display_.Screen(); }
  CRectPrim* MakeRect(uint32_t id) {
    Screen().SetObjectId(id);
    CRectPrim* rect = nullptr;
    EXPECT_EQ(CreateRectPrim(Screen(), &rect, 4, 4, 0xFF000000, 0, 0), 0u);
    return rect;
  }

  SpriteDeviceScreen display_;
  FakeDrawingDevice device_{display_.Screen(), kTextureCapsPow2, 1024};
  CTrigTables table_;
  CTrigTables* saved_table_ = nullptr;
  CDDrawPicture picture_;
  CSurfaceCanvas surface_canvas_;
  CPictureCanvas picture_canvas_;
};

using Factory = std::function<Made()>;
using Kind = ERenderObjectKind;

TEST_F(RenderObjectFactoriesTest, EachFactoryListsItsObjectWithTheCurrentIdAndShowsNothing) {
  struct Case {
    Kind kind;
    std::pair<int32_t, int32_t> at;  // where the create step placed it
    Factory make;
  };
  const Case cases[] = {
      {Kind::kRenderImage, {3, 4}, [&] { return MadeBy(CreateRenderImage, Screen(), &picture_, nullptr, 3, 4); }},
      {Kind::kCanvasImage,
       {3, 4},
       [&] { return MadeBy(CreateCanvasImage, Screen(), &surface_canvas_, nullptr, 3, 4); }},
      {Kind::kTexturedQuad,
       {3, 4},
       [&] { return MadeBy(CreateTexturedQuad, Screen(), &picture_canvas_, nullptr, 3, 4); }},
      {Kind::kCanvasQuad, {3, 4}, [&] { return MadeBy(CreateCanvasQuad, Screen(), &picture_canvas_, nullptr, 3, 4); }},
      {Kind::kRectPrim, {3, 4}, [&] { return MadeBy(CreateRectPrim, Screen(), 5, 6, 0x80FFFFFF, 3, 4); }},
      {Kind::kPolygonPrim,
       {0, 0},
       [&] {
         return MadeBy(CreatePolygonPrim, Screen(), {0, 9, 0}, {0, 0, 9}, 0xFF00FF00, 4);
       }},
      {Kind::kTrianglePrim,
       {3, 4},
       [&] {
         return MadeBy(CreateTrianglePrim, Screen(), {{{0, 0}, {9, 0}, {0, 9}}}, 0xFF0000FF, 3, 4);
       }},
      {Kind::kRenderStateBlock, {0, 0}, [&] { return MadeBy(CreateRenderStateBlock, Screen()); }},
      {Kind::kBlendStateBlock, {0, 0}, [&] { return MadeBy(CreateBlendStateBlock, Screen()); }},
  };
  uint32_t id = 10;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    Screen().SetObjectId(++id);
    const Made made = c.make();
    ASSERT_EQ(made.status, 0u);
    ASSERT_NE(made.object, nullptr);
    EXPECT_EQ(made.object->GetKind(), c.kind);
    EXPECT_EQ(made.object->GetId(), id);
    EXPECT_EQ(std::make_pair(made.object->GetX(), made.object->GetY()), c.at);
    EXPECT_EQ(Screen().GetRenderObjects().back().get(), made.object) << "appended last";
    EXPECT_EQ(made.object->GetList(), nullptr) << "made, not shown";
  }
  EXPECT_EQ(Screen().GetRenderObjects().size(), std::size(cases));
  EXPECT_EQ(Screen().Count(), 0u);
}

TEST_F(RenderObjectFactoriesTest, AFailingCreateStepReturnsItsOwnStatusAndListsNothing) {
  CImage no_surface;
  ASSERT_EQ(no_surface.Create(4, 4, 32, 0), 0u);
  // The create steps refuse these with 1; allocation failures would give 2.
  const std::pair<const char*, Factory> cases[] = {
      {"image of an image without a surface",
       [&] { return MadeBy(CreateRenderImage, Screen(), &no_surface, nullptr, 0, 0); }},
      {"quad of nothing", [&] { return MadeBy(CreateTexturedQuad, Screen(), nullptr, nullptr, 0, 0); }},
      {"polygon of unequal arrays",
       [&] {
         return MadeBy(CreatePolygonPrim, Screen(), {0, 1}, {0}, 0, 4);
       }},
  };
  CRectPrim* kept = MakeRect(1);
  for (const auto& [what, make] : cases) {
    SCOPED_TRACE(what);
    const Made made = make();
    EXPECT_EQ(made.status, 1u);
    EXPECT_EQ(made.object, nullptr);
    ASSERT_EQ(Screen().GetRenderObjects().size(), 1u);
    EXPECT_EQ(Screen().GetRenderObjects().front().get(), kept);
  }
}

TEST_F(RenderObjectFactoriesTest, DeletingByIdDestroysWhatTheFactoriesMadeAndTakesItOffTheScreen) {
  HandleTable handles;
  CRectPrim* shown = MakeRect(1);
  CRectPrim* other = MakeRect(2);
  Screen().SetObjectId(1);
  CTrianglePrim* triangle = nullptr;
  ASSERT_EQ(CreateTrianglePrim(Screen(), &triangle, {}, 0, 0, 0), 0u);
  CImage* image = nullptr;
  ASSERT_EQ(Screen().CreateImage(&image, 4, 4, 32, 0), 0u);
  ASSERT_EQ(Screen().AddAfterEqual(shown, 0, 0), 0u);
  const uint32_t shown_handle = shown->ScriptHandle(handles);

  Screen().DeleteObjectsById(1, 0);
  ASSERT_EQ(Screen().GetRenderObjects().size(), 1u);
  EXPECT_EQ(Screen().GetRenderObjects().front().get(), other);
  EXPECT_EQ(Screen().Count(), 0u) << "the shown rectangle left the render list";
  EXPECT_EQ(handles.Get<CRenderObject>(shown_handle), nullptr);
  EXPECT_EQ(Screen().GetSurfaceObjects().size(), 1u) << "surface objects only with their flag";
}

}  // namespace
