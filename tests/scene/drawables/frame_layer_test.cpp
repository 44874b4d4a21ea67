// A frame image whose draw layer tracks its changes presents through the layer: the changed
// rectangles are repainted and copied into the surface, and nothing else is.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gfx/display/image_canvas.h"
#include "pixel/formats/pixel_format_codes.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/sprites/color_box.h"
#include "support/software_surfaces.h"

namespace {

class FrameLayerTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
    ASSERT_EQ(frame_.Create(64, 48, 32, CImagePart::kLayerAndDrawList), 0u);
    layer_ = dynamic_cast<CDrawLayer*>(frame_.GetLayer());
    list_ = dynamic_cast<CDrawList*>(frame_.GetList());
    ASSERT_NE(layer_, nullptr);
    ASSERT_EQ(layer_->GetAttachedList(), list_);
    layer_->SetBackgroundColor(0xFF203040, true);
  }
  void TearDown() override { g_DrawLayerFactory = nullptr; }

  uint32_t At(int32_t x, int32_t y) { return SoftwareSurfaces::Pixel(*surface_, x, y) & 0xFFFFFF; }
  int Present(bool incremental) {
    return frame_.PresentDirty(0, nullptr, surface_.get(), kPixelFormatXrgb8888, incremental);
  }

  CDrawLayerFactory factory_;
  CImageCanvasEx frame_;
  CDrawLayer* layer_ = nullptr;
  CDrawList* list_ = nullptr;
  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> surface_ = surfaces_.Make(plat::SurfaceFormat::kXrgb8888, 64, 48);
};

TEST_F(FrameLayerTest, TheAttachedListLiesOverTheOwnListAndOnlyChangesAreCopied) {
  CColorBox under, over;
  under.SetBox(20, 20, 0xFF00FF00, 0, 0);
  over.SetBox(10, 10, 0xFFFF0000, 5, 5);
  ASSERT_EQ(layer_->GetOwnList().Insert(&under, 0, 0), 0u);
  ASSERT_EQ(list_->InsertBehind(&over, 0xFFFFFFFF, 0), 0u);
  ASSERT_EQ(Present(true), 0);
  EXPECT_EQ(At(2, 2), 0x00FF00u);
  EXPECT_EQ(At(6, 6), 0xFF0000u);
  EXPECT_EQ(At(40, 40), 0x203040u);
  EXPECT_EQ(Present(true), -1);

  over.SetPosition(40, 30);
  const plat::Rect untold{60, 0, 64, 4};
  layer_->GetTarget()->FillRectArgb(0xFFFFFFFF, &untold);
  ASSERT_EQ(Present(true), 0);
  EXPECT_EQ(At(6, 6), 0x00FF00u) << "the old place shows what lies under it";
  EXPECT_EQ(At(45, 35), 0xFF0000u);
  EXPECT_EQ(At(61, 1), 0x203040u) << "a change the layer was not told of is not copied";

  ASSERT_EQ(Present(false), 0);
  EXPECT_EQ(At(61, 1), 0x203040u) << "a full present repaints before it copies";
}

TEST_F(FrameLayerTest, TheLayerCopiesToAnOffsetInTheSurface) {
  ASSERT_EQ(layer_->Repaint(), 0);
  const plat::Rect corner{0, 0, 4, 4};
  layer_->Invalidate(&corner);
  static_cast<void>(surface_->TakeChangedArea());
  ASSERT_EQ(layer_->RepaintTo(0, nullptr, surface_.get(), kPixelFormatXrgb8888, 30, 20), 0);
  const plat::Rect changed = surface_->TakeChangedArea();
  EXPECT_EQ((std::vector<int32_t>{changed.left, changed.top, changed.right, changed.bottom}),
            (std::vector<int32_t>{30, 20, 34, 24}))
      << "the surface counts only what was repainted as changed";
  EXPECT_EQ(At(33, 23), 0x203040u);
  EXPECT_EQ(At(34, 24), 0u);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(layer_->RepaintTo(0, nullptr, nullptr, kPixelFormatXrgb8888, 0, 0), -1);
  layer_->Invalidate(&corner);
  EXPECT_EQ(layer_->RepaintTo(0, nullptr, nullptr, kPixelFormatXrgb8888, 0, 0), 1) << "no device context";
}

}  // namespace
