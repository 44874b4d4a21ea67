// The surface canvas and its image view: the surface beside the image, the copy of what changed
// (through the canvas's own draw layer in strips), the statuses of an update, the colour key
// kept over a restore, and the view's blit of the canvas into a target surface; the picture
// canvas's texture and its quad view over a recording drawing device.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/display/picture_canvas.h"
#include "gfx/display/surface_canvas.h"
#include "pixel/formats/pixel_format_codes.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/drawables/draw_layer.h"
#include "scene/drawables/draw_layer_factory.h"
#include "scene/render/render_image.h"
#include "scene/render/textured_quad.h"
#include "scene/sprites/color_box.h"
#include "support/fake_drawing_device.h"
#include "support/log_capture.h"
#include "support/software_surfaces.h"
#include "support/sprite_device_screen.h"

namespace {

// A box that notes the rectangles it is painted in.
class RecordingBox : public CColorBox {
 public:
  uint32_t DrawRect(CImage* target, const plat::Rect& rect) override {
    rects.push_back(rect);
    return CColorBox::DrawRect(target, rect);
  }
  std::vector<plat::Rect> rects;
};

class SurfaceCanvasTest : public testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    g_DrawLayerFactory = &factory_;
  }
  void TearDown() override {
    g_DrawLayerFactory = nullptr;
    g_StripRepaint = 1;
  }

  // A pixel of the image whose colour tells where it lies.
  static uint32_t Coded(int32_t x, int32_t y) { return 0xFF000000u | static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y); }
  static void FillCoded(CImage& image) {
    for (int32_t y = 0; y < image.GetHeight(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(image.GetRowPointer(y));
      for (int32_t x = 0; x < image.GetWidth(); ++x) row[x] = Coded(x, y);
    }
  }

  CDrawLayerFactory factory_;
};

TEST_F(SurfaceCanvasTest, TheSurfaceHasTheImageSizeAndThePlainTwinOfItsFormat) {
  struct Case {
    int32_t display_depth;
    uint32_t format;
  };
  for (const Case& c : {Case{32, kPixelFormatXrgb8888}, Case{16, kPixelFormatRgb565}}) {
    SCOPED_TRACE(c.display_depth);
    SpriteDeviceScreen screen(c.display_depth);
    CSurfaceCanvas canvas;
    ASSERT_EQ(canvas.Create(300, 200, 32, CImagePart::kNoLayer), 0u);
    ASSERT_NE(canvas.GetSurface(), nullptr);
    plat::SurfaceDesc desc;
    ASSERT_FALSE(plat::Failed(canvas.GetSurface()->GetSurfaceDesc(desc)));
    EXPECT_EQ(desc.width, 300);
    EXPECT_EQ(desc.height, 200);
    EXPECT_EQ(canvas.GetSurfaceFormat(), c.format);
    EXPECT_EQ(canvas.GetKind(), ESurfaceKind::kSurfaceCanvas);
    EXPECT_EQ(canvas.GetImage()->GetDC() != nullptr, g_CanvasUseDibSection != 0);
  }
  CSurfaceCanvas without_display;
  EXPECT_EQ(without_display.Create(8, 8, 32, CImagePart::kNoLayer), 1u);
}

TEST_F(SurfaceCanvasTest, TheLayerRepaintsChangesInStripsByTheirWidth) {
  SpriteDeviceScreen screen;
  CSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(300, 200, 32, CImagePart::kLayerAndDrawList), 0u);
  auto* list = dynamic_cast<CDrawList*>(canvas.GetList());
  ASSERT_NE(list, nullptr);
  RecordingBox box;
  box.SetBox(300, 200, 0xFF336699, 0, 0);
  ASSERT_EQ(list->Insert(&box, 0, 0), 0u);
  ASSERT_EQ(canvas.Update(true), 0);
  ASSERT_FALSE(box.rects.empty());
  for (const plat::Rect& rect : box.rects) {
    EXPECT_EQ(rect.Width(), 300);
    EXPECT_EQ(rect.Height(), rect.bottom == 200 ? 200 % 16 : 16) << rect.top;
  }
  EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), 299, 199) & 0xFFFFFF, 0x336699u);

  RecordingBox narrow;
  narrow.SetBox(100, 64, 0xFF996633, 10, 0);
  ASSERT_EQ(list->Insert(&narrow, 0, 0), 0u);
  ASSERT_EQ(canvas.Update(true), 0);
  std::vector<int32_t> heights;
  for (const plat::Rect& rect : narrow.rects) heights.push_back(rect.Height());
  EXPECT_EQ(heights, (std::vector<int32_t>{32, 32})) << "a change 100 pixels wide goes in strips of 32 rows";
  list->Remove(&narrow);
  EXPECT_EQ(canvas.Update(true), 0) << "with a layer, nothing changed is no failure";

  g_StripRepaint = 0;
  box.rects.clear();
  box.SetBox(300, 200, 0xFF000000, 0, 0);
  ASSERT_EQ(canvas.Update(true), 0);
  ASSERT_EQ(box.rects.size(), 1u);
  EXPECT_EQ(box.rects[0].Height(), 200);
}

TEST_F(SurfaceCanvasTest, WithoutALayerOnlyTheChangedRectanglesAreCopied) {
  SpriteDeviceScreen screen;
  CSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(40, 30, 32, CImagePart::kNoLayer), 0u);
  EXPECT_EQ(canvas.Update(true), -1) << "nothing changed";
  const plat::Rect changed{4, 5, 10, 9};
  canvas.GetImage()->FillRectArgb(0xFFABCDEF, &changed);
  const plat::Rect untold{20, 20, 22, 22};
  auto* row = reinterpret_cast<uint32_t*>(canvas.GetImage()->GetRowPointer(20));
  row[20] = 0xFF123456;
  ASSERT_EQ(canvas.Update(true), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), 4, 5) & 0xFFFFFF, 0xABCDEFu);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), untold.left, untold.top) & 0xFFFFFF, 0u);
  EXPECT_EQ(canvas.Update(true), -1);
  ASSERT_EQ(canvas.Update(false), 0);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), untold.left, untold.top) & 0xFFFFFF, 0x123456u);
}

TEST_F(SurfaceCanvasTest, TheKeyColourOutlivesARestore) {
  for (const int32_t depth : {32, 16}) {
    SCOPED_TRACE(depth);
    SpriteDeviceScreen screen(depth);
    CSurfaceCanvas canvas;
    ASSERT_EQ(canvas.Create(16, 16, 32, CImagePart::kNoLayer), 0u);
    const plat::Rect corner{0, 0, 1, 1};
    canvas.GetImage()->FillRectArgb(0xFF10F020, &corner);
    ASSERT_EQ(canvas.SetColorKeyFromPixel(0, 0), 0u);
    EXPECT_EQ(canvas.GetColorKey(), 0x10F020u);
    EXPECT_EQ(canvas.Restore(false), 0u);
    EXPECT_EQ(canvas.GetColorKey(), 0x10F020u);
    plat::ColorKey key;
    ASSERT_FALSE(plat::Failed(canvas.GetSurface()->GetColorKey(plat::DDCKEY_SRCBLT, key)));
    EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), 0, 0), key.low) << "the image was copied again";
    EXPECT_EQ(canvas.ClearColorKey(), 0u);
    EXPECT_EQ(canvas.GetColorKey(), kNoColorKey);
  }
}

TEST_F(SurfaceCanvasTest, TheCanvasImageBlitsWhatTheImageHolds) {
  SpriteDeviceScreen screen;
  CSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(64, 48, 32, CImagePart::kNoLayer), 0u);
  FillCoded(*canvas.GetImage());
  canvas.GetImage()->MarkAllChanged();
  SoftwareSurfaces surfaces;
  const auto target = surfaces.Make(plat::SurfaceFormat::kXrgb8888, 100, 80);
  const plat::Rect clip{0, 0, 100, 80};

  CCanvasImage view;
  EXPECT_EQ(view.Create(nullptr, nullptr, 0, 0), 1u);
  ASSERT_EQ(view.Create(&canvas, nullptr, 10, 20), 0u);
  EXPECT_EQ(view.GetKind(), ERenderObjectKind::kCanvasImage);
  EXPECT_EQ(view.Render(target.get(), nullptr, nullptr), 1u) << "no clip rectangle";
  ASSERT_EQ(view.Render(target.get(), &clip, nullptr), 0u);
  for (int32_t y = 0; y < 48; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      ASSERT_EQ(SoftwareSurfaces::Pixel(*target, x + 10, y + 20) & 0xFFFFFF, Coded(x, y) & 0xFFFFFF) << x << "," << y;
    }
  }
  EXPECT_EQ(SoftwareSurfaces::Pixel(*target, 9, 20) & 0xFFFFFF, 0u);

  view.SetSizeAndPosition(128, 96, 0, 0);
  ASSERT_EQ(view.Render(target.get(), &clip, nullptr), 0u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(*target, 99, 79) & 0xFFFFFF, Coded(49, 39) & 0xFFFFFF) << "stretched twice";
  plat::Rect bounds;
  ASSERT_TRUE(view.GetBounds(&bounds));
  EXPECT_EQ(bounds.right, 128);
  EXPECT_TRUE(view.HitTest(127, 95, true));
}

TEST_F(SurfaceCanvasTest, APictureCanvasShowsThroughATextureItIsNeverScaledInto) {
  SpriteDeviceScreen screen;
  CPictureCanvas canvas;
  EXPECT_EQ(canvas.Create(kPixelFormatXrgb8888, 300, 200, 32, CImagePart::kNoLayer, false), 2u)
      << "the program's device has no textures";
  FakeDrawingDevice device(screen.Screen(), kTextureCapsPow2, 1024);
  EXPECT_EQ(canvas.Create(kPixelFormatXrgb8888, 1025, 8, 32, CImagePart::kNoLayer, false), 2u) << "too large";
  EXPECT_EQ(canvas.GetSurface(), nullptr);
  ASSERT_EQ(canvas.Create(kPixelFormatArgb8888, 300, 200, 32, CImagePart::kNoLayer, false), 0u);
  EXPECT_EQ(canvas.GetTextureWidth(), 512);
  EXPECT_EQ(canvas.GetTextureHeight(), 256);
  EXPECT_EQ(canvas.GetImageWidth(), 300);
  EXPECT_DOUBLE_EQ(canvas.GetTexU(300), 300.5 / 512);
  EXPECT_EQ(canvas.GetImage()->GetDC(), nullptr) << "an alpha texture's image is no DIB section";

  FillCoded(*canvas.GetImage());
  canvas.GetImage()->MarkAllChanged();
  CCanvasQuad quad;
  EXPECT_EQ(quad.Create(nullptr, nullptr, 0, 0), 1u);
  ASSERT_EQ(quad.Create(&canvas, nullptr, 5, 6), 0u);
  EXPECT_EQ(quad.GetKind(), ERenderObjectKind::kCanvasQuad);
  EXPECT_EQ(quad.GetBlend().enable, 1);
  ASSERT_EQ(quad.Render(nullptr, nullptr, &screen.Screen()), 0u);
  ASSERT_EQ(device.primitives.size(), 1u);
  EXPECT_EQ(device.primitives[0].texture, canvas.GetSurface());
  EXPECT_EQ(SoftwareSurfaces::Pixel(*canvas.GetSurface(), 299, 199), Coded(299, 199)) << "the image went into the texture";
  EXPECT_EQ(canvas.Update(true), -1) << "and nothing is left to copy";
}

// A device that takes textures of any size up to 16384 a side still gets no canvas texture of
// more pixels than any picture may hold: one past the bound is refused before the texture is
// made, and the log says so.
TEST_F(SurfaceCanvasTest, APictureCanvasTextureHoldsNoMorePixelsThanAPicture) {
  LogCapture log;
  SpriteDeviceScreen screen;
  FakeDrawingDevice device(screen.Screen(), 0, 16384);
  CPictureCanvas canvas;
  EXPECT_EQ(canvas.CreateTexture(kPixelFormatXrgb8888, 16384, 1025, false), 3u);
  EXPECT_EQ(canvas.GetSurface(), nullptr);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Lines()[0], "a picture's pixels: 16793600 asked for, at most 16777216: refused");
  ASSERT_EQ(canvas.CreateTexture(kPixelFormatXrgb8888, 16384, 1024, false), 0u) << "at the bound";
  EXPECT_EQ(canvas.GetTextureWidth(), 16384);
  EXPECT_EQ(canvas.GetTextureHeight(), 1024);
}

}  // namespace
