// The copies from pictures of any kind: display surfaces through GDI, clipped and stretched,
// software images and canvases through the compositing copies, and the statuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/image.h"
#include "gfx/image_canvas.h"
#include "gfx/surface_backed_image.h"
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

// A canvas of the surface-canvas kind over an image part.
class FakeSurfaceCanvas : public CImageCanvas {
 public:
  ESurfaceKind GetKind() const override { return ESurfaceKind::kSurfaceCanvas; }
};

uint32_t SurfaceValue(int32_t x, int32_t y) {
  return 0x00400000u + (static_cast<uint32_t>(x) << 16) + (static_cast<uint32_t>(y) << 8) + 0x11;
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

std::string Box(const CImage& image) {
  if (!image.IsModified()) return "none";
  const Rect& b = image.GetDirtyRegion()->BoundingBox();
  return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
         std::to_string(b.bottom);
}

class ImageSurfaceCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    surface_ = surfaces_.Make(plat::SurfaceFormat::kXrgb8888, 4, 3);
    const plat::PixelView view = surface_->View();
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 4; ++x) plat::WriteRawPixel(view.At(x, y), 4, SurfaceValue(x, y));
    }
  }

  SoftwareSurfaces surfaces_;
  std::shared_ptr<plat::Surface> surface_;
};

TEST_F(ImageSurfaceCopyTest, BitBltCopiesTheClippedRectangleAndMarksIt) {
  FakeSurfacePicture picture(ESurfaceKind::kTextObject, surface_.get());
  auto dst = Target(32, CImage::kUseDib);
  const Rect part{1, 0, 4, 3};
  // Placed at (-1, 2): source columns 2 and 3 of rows 0 and 1 land on columns 0, 1 of rows 2, 3.
  ASSERT_EQ(dst->CopyFromSurface(&picture, -1, 2, &part), 0u);
  EXPECT_EQ(Box(*dst), "0,2,2,4");
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const uint32_t expected = x < 2 && y >= 2 ? SurfaceValue(x + 2, y - 2) : 0xDEADBEEF;
      ASSERT_EQ(dst->GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(ImageSurfaceCopyTest, StretchBltMapsTheWholeRectanglesAndKeepsToTheClip) {
  FakeSurfacePicture picture(ESurfaceKind::kDDrawPicture, surface_.get());
  auto dst = Target(32, CImage::kUseDib);
  const Rect clip{0, 0, 3, 3};
  ASSERT_TRUE(dst->SetClipRect(&clip));
  const Rect part{0, 0, 2, 2};
  const ImageSize size{4, 4};
  ASSERT_EQ(dst->StretchCopyFromSurface(&picture, &size, 1, 0, &part), 0u);
  EXPECT_EQ(Box(*dst), "1,0,3,3");
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const bool written = x >= 1 && x < 3 && y < 3;
      const uint32_t expected = written ? SurfaceValue((x - 1) / 2, y / 2) : 0xDEADBEEF;
      ASSERT_EQ(dst->GetPixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(ImageSurfaceCopyTest, SoftwareImagesAndSurfaceCanvasesGoThroughTheCompositingCopies) {
  auto source = Target(32, 0);
  ASSERT_TRUE(source->FillRectArgb(0x12345678, nullptr));
  auto dst = Target(32, 0);
  ASSERT_EQ(dst->CopyFromSurface(source.get(), 3, 3, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(4, 3), 0x12345678u);
  EXPECT_EQ(Box(*dst), "3,3,5,4");

  FakeSurfaceCanvas canvas;
  ASSERT_EQ(canvas.Create(2, 2, 32, false), 0u);
  ASSERT_TRUE(canvas.GetImage()->FillRectArgb(0xFF00FF00, nullptr));
  const ImageSize size{5, 4};
  ASSERT_EQ(dst->StretchCopyFromSurface(&canvas, &size, 0, 0, nullptr), 0u);
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
  const Rect outside{4, 0, 8, 3};
  EXPECT_EQ(dst->StretchCopyFromSurface(&picture, nullptr, 0, 0, &outside), 0u) << "reads nothing of the surface";
  EXPECT_EQ(dst->GetPixel(0, 0), 0xDEADBEEFu);
  surface_->SimulateLoss();
  EXPECT_EQ(dst->CopyFromSurface(&picture, 0, 0, nullptr), 2u) << "GetDC fails";
  EXPECT_EQ(dst->StretchCopyFromSurface(&picture, nullptr, 0, 0, nullptr), 2u);
  EXPECT_EQ(Box(*dst), "none");
}

}  // namespace
