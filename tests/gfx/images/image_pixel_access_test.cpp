// Single pixels, the alpha of every pixel, the depth conversion and the copies through a device
// context.
#include <gtest/gtest.h>

#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

TEST(ImagePixelAccessTest, OnePixelIsWrittenAndMarkedInsideTheImageOnly) {
  CImage image;
  ASSERT_EQ(image.Create(4, 3, 32, CImage::kOwnDirtyRegion), 0u);
  image.ClearModified();
  EXPECT_EQ(image.SetPixel(3, 2, 0x12345678), 1u);
  EXPECT_EQ(image.GetPixel(3, 2), 0x12345678u);
  EXPECT_TRUE(image.IsModified());
  for (const auto& [x, y] : {std::pair{4, 0}, std::pair{-1, 0}, std::pair{0, 3}, std::pair{0, -1}}) {
    EXPECT_EQ(image.SetPixel(x, y, 1), 0u);
  }
  CImage empty;
  EXPECT_EQ(empty.SetPixel(0, 0, 1), 0u);
  CImage eight;
  ASSERT_EQ(eight.Create(2, 2, 8, 0), 0u);
  EXPECT_EQ(eight.SetPixel(1, 1, 0x1FE), 1u);
  EXPECT_EQ(eight.GetPixel(1, 1), 0xFEu);
}

TEST(ImagePixelAccessTest, EveryAlphaByteOfA32BitImage) {
  CImage image;
  ASSERT_EQ(image.Create(3, 2, 32, 0), 0u);
  image.SetPixel(1, 1, 0x80A0B0C0);
  EXPECT_EQ(image.SetAlphaAll(0x11), 0u);
  EXPECT_EQ(image.GetPixel(1, 1), 0x11A0B0C0u);
  EXPECT_EQ(image.GetPixel(2, 0), 0x11000000u);
  CImage eight;
  ASSERT_EQ(eight.Create(2, 2, 8, 0), 0u);
  EXPECT_EQ(eight.SetAlphaAll(0), 2u);
  CImage empty;
  EXPECT_EQ(empty.SetAlphaAll(0), 2u);
}

TEST(ImagePixelAccessTest, ConvertingTheDepthKeepsTheStorageClipAndPlacement) {
  BuildPixelTables();
  CImage image;
  ASSERT_EQ(image.Create(5, 4, 8, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  ASSERT_EQ(image.SetPalette(nullptr, 0, 0), 0u);
  ASSERT_TRUE(image.SetPaletteEntry(7, 0x00204060, true));
  image.SetPixel(2, 1, 7);
  image.SetPixel(0, 3, 7);
  const plat::Rect clip{1, 1, 4, 3};
  image.SetClipRect(&clip);
  image.SetUserWord0(11);
  image.SetUserWord1(12);
  image.SetColorKeyRgb(7, 0, 0);
  EXPECT_EQ(image.ConvertDepth(32), 0u);
  EXPECT_EQ(image.GetBitsPerPixel(), 32);
  EXPECT_EQ(image.GetPixel(2, 1) & 0x00FFFFFF, 0x00204060u);
  EXPECT_EQ(image.GetPixel(0, 3) & 0x00FFFFFF, 0x00204060u) << "outside the clip rectangle too";
  EXPECT_NE(image.GetDC(), nullptr);
  EXPECT_NE(image.GetOwnedDirtyRegion(), nullptr);
  plat::Rect kept;
  image.GetClipRect(&kept);
  EXPECT_EQ(kept.left, 1);
  EXPECT_EQ(kept.bottom, 3);
  EXPECT_EQ(image.GetUserWord0(), 11u);
  EXPECT_EQ(image.GetUserWord1(), 12u);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);

  EXPECT_EQ(image.ConvertDepth(32), 2u);
  EXPECT_EQ(image.ConvertDepth(24), 2u);
  EXPECT_EQ(image.ConvertDepth(8), 0u);
  EXPECT_EQ(image.GetPixel(2, 1), static_cast<uint32_t>((77 * 0x20 + 150 * 0x40 + 29 * 0x60) >> 8));
  ASSERT_NE(image.GetPalette(), nullptr);
  EXPECT_EQ(image.GetPalette()[200] & 0x00FFFFFF, 0x00C8C8C8u) << "the grey ramp";
  CImage empty;
  EXPECT_EQ(empty.ConvertDepth(8), 1u);
}

TEST(ImagePixelAccessTest, CopiesThroughADeviceContext) {
  CImage from;
  CImage to;
  ASSERT_EQ(from.Create(6, 4, 32, CImage::kUseDib), 0u);
  ASSERT_EQ(to.Create(12, 8, 32, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 6; ++x) from.SetPixel(x, y, static_cast<uint32_t>(x * 16 + y));
  }
  const plat::Rect part{1, 1, 4, 3};
  EXPECT_EQ(from.CopyToDC(to.GetDC(), 5, 2, &part), 0u);
  EXPECT_EQ(to.GetPixel(5, 2) & 0x00FFFFFF, 0x11u);
  EXPECT_EQ(to.GetPixel(7, 3) & 0x00FFFFFF, 0x32u);
  EXPECT_EQ(to.GetPixel(8, 2), 0u);

  CImage back;
  ASSERT_EQ(back.Create(12, 8, 32, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  const ImageSize doubled{12, 8};
  const plat::Rect whole{0, 0, 6, 4};
  EXPECT_EQ(back.CopyFromDC(from.GetDC(), &doubled, 0, 0, &whole), 0u);
  EXPECT_EQ(back.GetPixel(11, 7) & 0x00FFFFFF, 0x53u) << "the whole context stretched";
  EXPECT_TRUE(back.IsModified());

  EXPECT_EQ(from.CopyToDC(nullptr, 0, 0, nullptr), 1u);
  EXPECT_EQ(back.CopyFromDC(nullptr, nullptr, 0, 0, nullptr), 1u);
  CImage heap;
  ASSERT_EQ(heap.Create(2, 2, 32, 0), 0u);
  EXPECT_EQ(heap.CopyToDC(to.GetDC(), 0, 0, nullptr), 1u) << "an image without a context of its own";
}

}  // namespace
