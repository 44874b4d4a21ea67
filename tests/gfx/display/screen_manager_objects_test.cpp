// The screen manager's display-object lists: factories, single deletion, deletion by group id
// and destruction of everything, with the script handles that die with the objects.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/lifetime/handle_table.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "support/sprite_device_screen.h"

namespace {

class StubRenderObject : public CRenderObject {
 public:
  ERenderObjectKind GetKind() const override { return ERenderObjectKind::kRectPrim; }
  uint32_t Render(plat::Surface*, const plat::Rect*, CScreenManager*) override { return 0; }
  uint32_t Restore() override { return 0; }
};

CRenderObject* AddRenderObject(CScreenManager& screen, uint32_t id) {
  screen.SetObjectId(id);
  auto object = std::make_unique<StubRenderObject>();
  CRenderObject* kept = object.get();
  screen.AddRenderObject(std::move(object));
  return kept;
}

CImage* AddImage(CScreenManager& screen, uint32_t id) {
  screen.SetObjectId(id);
  CImage* image = nullptr;
  EXPECT_EQ(screen.CreateImage(&image, 4, 4, 32, 0), 0u);
  return image;
}

std::vector<uint32_t> RenderIds(const CScreenManager& screen) {
  std::vector<uint32_t> ids;
  for (const auto& object : screen.GetRenderObjects()) ids.push_back(object->GetId());
  return ids;
}

std::vector<uint32_t> SurfaceIds(const CScreenManager& screen) {
  std::vector<uint32_t> ids;
  for (const auto& object : screen.GetSurfaceObjects()) ids.push_back(object->GetId());
  return ids;
}

TEST(ScreenManagerObjectsTest, DeletingNullGivesOneAndAnUnlistedObjectTwo) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  CImage stranger;
  StubRenderObject stranger_object;
  EXPECT_EQ(screen.DeleteSurfaceObject(nullptr), 1u);
  EXPECT_EQ(screen.DeleteRenderObject(nullptr), 1u);
  EXPECT_EQ(screen.DeleteSurfaceObject(&stranger), 2u) << "empty list";
  EXPECT_EQ(screen.DeleteRenderObject(&stranger_object), 2u) << "empty list";

  CImage* image = AddImage(screen, 0);
  AddRenderObject(screen, 0);
  EXPECT_EQ(screen.DeleteSurfaceObject(&stranger), 2u);
  EXPECT_EQ(screen.DeleteRenderObject(&stranger_object), 2u);
  EXPECT_EQ(screen.GetSurfaceObjects().size(), 1u);
  EXPECT_EQ(screen.GetRenderObjects().size(), 1u);

  EXPECT_EQ(screen.DeleteSurfaceObjectRef(image), 0u);
  EXPECT_EQ(image, nullptr);
  EXPECT_TRUE(screen.GetSurfaceObjects().empty());
  EXPECT_EQ(screen.DeleteSurfaceObjectRef(image), 1u);
}

TEST(ScreenManagerObjectsTest, DeleteByIdFollowsItsFlags) {
  struct Case {
    uint32_t flags;
    std::vector<uint32_t> render_left;
    std::vector<uint32_t> surface_left;
  };
  const Case cases[] = {
      {0, {2, 2}, {1, 2, 1}},
      {1, {2, 2}, {2}},
      {2, {1}, {1, 2, 1}},
      {3, {1}, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    SpriteDeviceScreen display;
    CScreenManager& screen = display.Screen();
    for (uint32_t id : {1u, 2u, 1u}) AddImage(screen, id);
    for (uint32_t id : {2u, 1u, 2u}) AddRenderObject(screen, id);
    screen.DeleteObjectsById(1, c.flags);
    EXPECT_EQ(RenderIds(screen), c.render_left);
    EXPECT_EQ(SurfaceIds(screen), c.surface_left);
  }
}

TEST(ScreenManagerObjectsTest, AFailingCreateStepReturnsItsOwnStatusAndKeepsNothing) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  AddImage(screen, 0);
  CImage* image = reinterpret_cast<CImage*>(&display);
  const uint32_t own_status = CImage().Create(0, 4, 32, 0);
  ASSERT_NE(own_status, 0u);
  EXPECT_EQ(screen.CreateImage(&image, 0, 4, 32, 0), own_status);
  EXPECT_EQ(image, nullptr);
  EXPECT_EQ(screen.GetSurfaceObjects().size(), 1u);
}

TEST(ScreenManagerObjectsTest, DestroyingEverythingEmptiesTheListsAndRevokesTheHandles) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  HandleTable handles;
  CImage* image = AddImage(screen, 3);
  CRenderObject* shown = AddRenderObject(screen, 4);
  ASSERT_EQ(screen.AddAfterEqual(shown, 10, 0), 0u);
  StubRenderObject unowned;
  ASSERT_EQ(screen.AddAfterEqual(&unowned, 20, 0), 0u);
  const uint32_t image_handle = image->ScriptHandle(handles);
  const uint32_t shown_handle = shown->ScriptHandle(handles);
  ASSERT_EQ(handles.Get<CImageInterface>(image_handle), image);
  ASSERT_EQ(handles.Get<CRenderObject>(shown_handle), shown);

  screen.DestroyObjects();
  EXPECT_TRUE(screen.GetSurfaceObjects().empty());
  EXPECT_TRUE(screen.GetRenderObjects().empty());
  EXPECT_EQ(screen.Count(), 0u);
  EXPECT_EQ(unowned.GetList(), nullptr);
  EXPECT_EQ(handles.Get<CImageInterface>(image_handle), nullptr);
  EXPECT_EQ(handles.Get<CRenderObject>(shown_handle), nullptr);
  EXPECT_EQ(handles.LiveCount(), 0u);
}

TEST(ScreenManagerObjectsTest, ADeletedFrameImageLeavesNoFrameImageAnUnlistedOneStays) {
  SpriteDeviceScreen display;
  CScreenManager& screen = display.Screen();
  CImageCanvasEx* canvas = nullptr;
  ASSERT_EQ(screen.CreateImageCanvasEx(&canvas, 8, 8, 32, 0), 0u);
  screen.SetFrameImage(canvas);
  screen.DeleteObjectsById(1, CScreenManager::kDeleteSurfaceObjectsToo);
  EXPECT_EQ(screen.GetFrameImage(), canvas) << "another id";
  screen.DeleteObjectsById(0, CScreenManager::kDeleteSurfaceObjectsToo);
  EXPECT_EQ(screen.GetFrameImage(), nullptr);

  ASSERT_EQ(screen.CreateImageCanvasEx(&canvas, 8, 8, 32, 0), 0u);
  screen.SetFrameImage(canvas);
  screen.DestroyObjects();
  EXPECT_EQ(screen.GetFrameImage(), nullptr);

  CImageCanvasEx own;
  ASSERT_EQ(own.CreateEx(8, 8, 32, 0), 0u);
  screen.SetFrameImage(&own);
  screen.DestroyObjects();
  EXPECT_EQ(screen.GetFrameImage(), &own) << "the screen does not hold it";
  screen.SetFrameImage(nullptr);
}

}  // namespace
