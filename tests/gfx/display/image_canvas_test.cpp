// Image parts and the canvases built on them: creation, tracking, dirty marking, partners and
// re-creation at another depth.
#include "gfx/display/image_canvas.h"

#include <gtest/gtest.h>


namespace {

TEST(ImagePartTest, CreationMakesABlackImageAndABadSizeLeavesThePartEmpty) {
  CImageCanvasEx canvas;
  ASSERT_EQ(canvas.Create(4, 3, 32, CImagePart::kNoLayer), 0u);
  EXPECT_EQ(canvas.GetKind(), ESurfaceKind::kImageCanvasEx);
  EXPECT_EQ(canvas.GetWidth(), 4);
  EXPECT_EQ(canvas.GetPitch(), 16);
  EXPECT_EQ(canvas.GetImage()->GetPixel(3, 2), 0u);
  plat::Rect clip;
  canvas.GetClipRect(&clip);
  EXPECT_EQ(clip.right, 4);
  EXPECT_EQ(clip.bottom, 3);

  CImageCanvas plain;
  EXPECT_EQ(plain.Create(0, 10, 32, false), CImagePart::kImageFailed);
  EXPECT_EQ(plain.GetPixels(), nullptr);
  EXPECT_EQ(plain.GetWidth(), 0);
  EXPECT_EQ(plain.GetKind(), ESurfaceKind::kImageCanvas);
}

TEST(ImagePartTest, LayersAreRefusedAsUnavailableUntilDrawLayersExist) {
  CImageCanvasEx with_list;
  EXPECT_EQ(with_list.Create(8, 8, 32, CImagePart::kLayerAndDrawList), CImagePart::kLayerFailed);
  EXPECT_EQ(with_list.GetPixels(), nullptr);
  CImageCanvas with_layer;
  EXPECT_EQ(with_layer.Create(8, 8, 32, true), CImagePart::kLayerFailed);
  EXPECT_EQ(with_layer.GetLayer(), nullptr);
  EXPECT_EQ(with_layer.GetPixels(), nullptr);
}

TEST(ImagePartTest, MarkingDirtyAddsToTheRegionUnlessTrackingIsSuspended) {
  CImageCanvasEx canvas;
  ASSERT_EQ(canvas.Create(64, 48, 32, CImagePart::kNoLayer), 0u);
  CDirtyRegion* region = canvas.GetImage()->GetDirtyRegion();
  ASSERT_NE(region, nullptr);
  region->Clear();
  const plat::Rect rect{5, 6, 20, 30};
  canvas.MarkDirty(&rect);
  EXPECT_TRUE(canvas.GetImage()->IsModified());
  ASSERT_EQ(region->Count(), 1u);
  EXPECT_EQ(region->BoundingBox().left, 5);
  EXPECT_EQ(region->BoundingBox().bottom, 30);

  EXPECT_EQ(canvas.SuspendTracking(1), 0);
  EXPECT_EQ(canvas.GetImage()->GetDirtyRegion(), nullptr);
  EXPECT_EQ(canvas.SuspendTracking(0), 1);
  EXPECT_EQ(canvas.GetImage()->GetDirtyRegion(), region);
  region->Clear();
  canvas.MarkDirty(nullptr);
  EXPECT_EQ(region->BoundingBox().right, 64);
  EXPECT_EQ(region->BoundingBox().bottom, 48);
}

TEST(ImagePartTest, ThePlainCanvasKeepsItsRegionAndRecordsNothingWithoutALayer) {
  CImageCanvas canvas;
  ASSERT_EQ(canvas.Create(16, 16, 8, false), 0u);
  EXPECT_EQ(canvas.SuspendTracking(1), 0);
  EXPECT_TRUE(canvas.IsTrackingSuspended());
  const plat::Rect rect{0, 0, 4, 4};
  canvas.MarkDirty(&rect);
  EXPECT_FALSE(canvas.GetImage()->IsModified());
}

TEST(ImagePartTest, PartnersMustMatchInSizeAndDepth) {
  CImageCanvasEx a, same, deeper;
  ASSERT_EQ(a.Create(10, 10, 32, 0), 0u);
  ASSERT_EQ(same.Create(10, 10, 32, 0), 0u);
  ASSERT_EQ(deeper.Create(10, 10, 8, 0), 0u);
  EXPECT_EQ(a.SetPartner(&deeper), 1u);
  EXPECT_EQ(a.GetPartner(), nullptr);
  EXPECT_EQ(a.SetPartner(&same), 0u);
  EXPECT_EQ(a.GetPartner(), &same);
  CImageCanvasEx empty;
  EXPECT_EQ(a.SetPartner(&empty), 1u);
  EXPECT_EQ(a.SetPartner(nullptr), 0u);
  EXPECT_EQ(a.GetPartner(), nullptr);
}

TEST(ImagePartTest, CreateImageChangesTheDepthAtTheSameSize) {
  CImageCanvasEx canvas;
  EXPECT_EQ(canvas.CreateImage(8), 1u);
  ASSERT_EQ(canvas.Create(12, 7, 32, 0), 0u);
  EXPECT_EQ(canvas.CreateImage(8), 0u);
  EXPECT_EQ(canvas.GetDepth(), 8);
  EXPECT_EQ(canvas.GetWidth(), 12);
  EXPECT_NE(canvas.GetImage()->GetOwnedDirtyRegion(), nullptr);
  EXPECT_EQ(canvas.CreateImage(16), 2u);
  EXPECT_EQ(canvas.GetPixels(), nullptr);
  CImageCanvas plain;
  ASSERT_EQ(plain.Create(3, 3, 8, false), 0u);
  EXPECT_EQ(plain.CreateImage(32), 0u);
  EXPECT_EQ(plain.GetDepth(), 32);
  EXPECT_EQ(plain.GetImage()->GetOwnedDirtyRegion(), nullptr);
}

}  // namespace
