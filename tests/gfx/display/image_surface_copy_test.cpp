// The copies from pictures of any kind: display surfaces through GDI, clipped and stretched,
// software images and canvases through the compositing copies, and the statuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "gfx/display/image_canvas.h"
#include "gfx/display/surface_backed_image.h"
#include "gfx/images/image.h"
#include "support/software_surfaces.h"

namespace {

using plat::Rect;

// A picture on a display surface, as the DirectDraw pictures and text objects are.
class FakeSurfacePicture : public CSurfaceBackedImage {
 public:
  FakeSurfacePicture(ESurfaceKind kind, plat::Surface* surface) : kind_(kind), surface_(surface) {}
  ESurfaceKind GetKind() const override { return kind_; }
  uint8_t* GetPixels() const override { return nullptr; }
  uint8_t* GetRowPointer(int32_t) const override { return nullptr; }
  uint32_t SetColorKeyRgb(uint32_t, uint32_t, uint32_t) override { return 1; }
  uint32_t SetColorKeyFromPixel(int32_t, int32_t) override { return 1; }
  uint32_t ClearColorKey() override { return 0; }
  uint32_t Restore(bool) override { return 0; }
  bool SetClipRect(const Rect*) override { return false; }
  bool ClipRect(Rect*) const override { return false; }
  plat::Surface* GetSurface() const override { return surface_; }

 private:
  ESurfaceKind kind_;
  plat::Surface* surface_;
};

class FakeSurfaceCanvas : public CImageCanvas {
 public:
  ESurfaceKind GetKind() const override { return ESurfaceKind::kSurfaceCanvas; }
};

uint32_t Value(int32_t x, int32_t y) {
  return 0x00400011u + (static_cast<uint32_t>(x) << 16) + (static_cast<uint32_t>(y) << 8);
}

std::unique_ptr<CImage> Target(uint8_t bpp, uint32_t flags) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(5, 4, bpp, flags | CImage::kOwnDirtyRegion), 0u);
  if (bpp == 32) {
    EXPECT_TRUE(image->FillRectArgb(0xDEADBEEF, nullptr));
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

class ImageSurfaceCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    const plat::PixelView view = surface_->View();
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 4; ++x) plat::WriteRawPixel(view.At(x, y), 4, Value(x, y));
    }
  }
  // Every pixel of the 5 x 4 target: the source pixel that `from` gives, or the fill outside `box`.
  template <typename From>
  static void ExpectPixels(const CImage& image, const Rect& box, From from) {
    for (int32_t y = 0; y < 4; ++y) {
      for (int32_t x = 0; x < 5; ++x) {
        const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
        ASSERT_EQ(image.GetPixel(x, y), inside ? from(x, y) : 0xDEADBEEF) << x << "," << y;
      }
    }
    const Rect& marked = image.GetDirtyRegion()->BoundingBox();
    EXPECT_TRUE(image.IsModified() && marked.left == box.left && marked.top == box.top &&
                marked.right == box.right && marked.bottom == box.bottom);
  }

  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> surface_ = surfaces_.Make(plat::SurfaceFormat::kXrgb8888, 4, 3);
};

TEST_F(ImageSurfaceCopyTest, CopiesAreClippedAndMarked) {
  FakeSurfacePicture picture(ESurfaceKind::kTextObject, surface_.get());
  auto dst = Target(32, CImage::kUseDib);
  // {1, 0, 4, 3} at (-1, 2): source columns 2, 3 of rows 0, 1 land on columns 0, 1 of rows 2, 3.
  const Rect part{1, 0, 4, 3};
  ASSERT_EQ(dst->CopyFromSurface(&picture, -1, 2, &part), 0u);
  ExpectPixels(*dst, {0, 2, 2, 4}, [](int32_t x, int32_t y) { return Value(x + 2, y - 2); });

  // {0, 0, 2, 2} doubled at (1, 0) into the clip {0, 0, 3, 3}: the nearest pixels, cropped.
  auto stretched = Target(32, CImage::kUseDib);
  const Rect clip{0, 0, 3, 3};
  ASSERT_TRUE(stretched->SetClipRect(&clip));
  const Rect corner{0, 0, 2, 2};
  const ImageSize size{4, 4};
  ASSERT_EQ(stretched->StretchCopyFromSurface(&picture, &size, 1, 0, &corner), 0u);
  ExpectPixels(*stretched, {1, 0, 3, 3}, [](int32_t x, int32_t y) { return Value((x - 1) / 2, y / 2); });
}

TEST_F(ImageSurfaceCopyTest, SoftwareImagesAndSurfaceCanvasesGoThroughTheCompositingCopies) {
  auto source = Target(32, 0);
  ASSERT_TRUE(source->FillRectArgb(0x12345678, nullptr));
  auto dst = Target(32, 0);
  ASSERT_EQ(dst->CopyFromSurface(source.get(), 3, 3, nullptr), 0u);
  ExpectPixels(*dst, {3, 3, 5, 4}, [](int32_t, int32_t) { return 0x12345678u; });
  FakeSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(2, 2, 32, false), 0u);
  ASSERT_TRUE(canvas.GetImage()->FillRectArgb(0xFF00FF00, nullptr));
  ASSERT_EQ(dst->StretchCopyFromSurface(&canvas, nullptr, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(4, 3), 0xFF00FF00u);
}

TEST_F(ImageSurfaceCopyTest, Statuses) {
  auto dst = Target(32, CImage::kUseDib);
  FakeSurfacePicture picture(ESurfaceKind::kDDrawSprite, surface_.get());
  FakeSurfacePicture without_surface(ESurfaceKind::kPictureObject, nullptr);
  FakeSurfacePicture other_kind(ESurfaceKind::kMovieSurface, surface_.get());
  CImageCanvas plain_canvas;
  ASSERT_EQ(plain_canvas.Create(2, 2, 32, false), 0u);
  EXPECT_EQ(dst->CopyFromSurface(nullptr, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->CopyFromSurface(&without_surface, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->StretchCopyFromSurface(&other_kind, nullptr, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->CopyFromSurface(&plain_canvas, 0, 0, nullptr), 1u);
  EXPECT_EQ(Target(32, 0)->CopyFromSurface(&picture, 0, 0, nullptr), 2u) << "no device context";
  EXPECT_EQ(Target(8, CImage::kUseDib)->CopyFromSurface(&picture, 0, 0, nullptr), 2u);
  EXPECT_EQ(dst->CopyFromSurface(&picture, 5, 0, nullptr), 0u) << "wholly outside";
  const Rect beyond{4, 0, 8, 3};
  EXPECT_EQ(dst->StretchCopyFromSurface(&picture, nullptr, 0, 0, &beyond), 0u) << "reads nothing of the surface";
  surface_->SimulateLoss();
  EXPECT_EQ(dst->CopyFromSurface(&picture, 0, 0, nullptr), 2u) << "GetDC fails";
  EXPECT_EQ(dst->StretchCopyFromSurface(&picture, nullptr, 0, 0, nullptr), 2u);
  EXPECT_FALSE(dst->IsModified());
  EXPECT_EQ(dst->GetPixel(0, 0), 0xDEADBEEFu);
}

}  // namespace
