// The image, image part and draw layer reached through a surface object of each kind.
#include "gfx/display/surface_object_image.h"

#include <gtest/gtest.h>

#include "gfx/display/ddraw_picture.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/surface_canvas.h"
#include "scene/drawables/draw_layer_factory.h"

namespace {

class SurfaceObjectImageTest : public ::testing::Test {
 protected:
  void SetUp() override { g_DrawLayerFactory = &factory_; }
  void TearDown() override { g_DrawLayerFactory = nullptr; }

  CDrawLayerFactory factory_;
};

TEST_F(SurfaceObjectImageTest, ObjectsWithoutAnImagePartGiveNothingAndLeaveTheLayerAlone) {
  CDDrawPicture picture;
  CImageBase bare_image;  // kind 4 too, but not a CImage
  IDrawLayer* const marker = reinterpret_cast<IDrawLayer*>(&picture);
  for (CImageInterface* object : {static_cast<CImageInterface*>(nullptr), static_cast<CImageInterface*>(&picture),
                                  static_cast<CImageInterface*>(&bare_image)}) {
    IDrawLayer* layer = marker;
    EXPECT_EQ(GetObjectImage(object), nullptr);
    EXPECT_EQ(GetObjectImagePart(object), nullptr);
    EXPECT_EQ(GetObjectDrawLayer(object), nullptr);
    EXPECT_EQ(GetObjectImagePartAndLayer(object, layer), nullptr);
    EXPECT_EQ(layer, marker);
  }
}

TEST_F(SurfaceObjectImageTest, AnImageIsItsOwnImageAndHasNoPart) {
  CImage image;
  EXPECT_EQ(GetObjectImage(&image), &image);
  EXPECT_EQ(GetObjectImagePart(&image), nullptr);
  EXPECT_EQ(GetObjectDrawLayer(&image), nullptr);
}

TEST_F(SurfaceObjectImageTest, CanvasesReachTheirPartsImageAndLayer) {
  CImageCanvas layered;
  ASSERT_EQ(layered.Create(8, 8, 32, true), 0u);
  ASSERT_NE(layered.GetLayer(), nullptr);
  CImageCanvasEx plain;
  ASSERT_EQ(plain.Create(8, 8, 32, CImagePart::kNoLayer), 0u);

  EXPECT_EQ(GetObjectImage(&layered), layered.GetImage());
  EXPECT_EQ(GetObjectImagePart(&layered), static_cast<CImagePart*>(&layered));
  EXPECT_EQ(GetObjectDrawLayer(&layered), layered.GetLayer());
  IDrawLayer* layer = nullptr;
  EXPECT_EQ(GetObjectImagePartAndLayer(&layered, layer), static_cast<CImagePart*>(&layered));
  EXPECT_EQ(layer, layered.GetLayer());

  EXPECT_EQ(GetObjectImage(&plain), plain.GetImage());
  EXPECT_EQ(GetObjectDrawLayer(&plain), nullptr);
  EXPECT_EQ(GetObjectImagePartAndLayer(&plain, layer), static_cast<CImagePart*>(&plain));
  EXPECT_EQ(layer, nullptr);

  // The canvases shown through a surface or a texture hold their part beside other bases.
  CSurfaceCanvas surface_canvas;
  CPictureCanvas picture_canvas;
  EXPECT_EQ(GetObjectImagePart(&surface_canvas), static_cast<CImagePart*>(&surface_canvas));
  EXPECT_EQ(GetObjectImage(&surface_canvas), surface_canvas.GetImage());
  EXPECT_EQ(GetObjectImagePart(&picture_canvas), static_cast<CImagePart*>(&picture_canvas));
  EXPECT_EQ(GetObjectImage(&picture_canvas), picture_canvas.GetImage());
}

}  // namespace
