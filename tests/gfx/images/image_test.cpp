// Software images: storage and pitches, depth checks, clip rectangles, colour keys, rows,
// resizing, palettes and the image's own bookkeeping (dirty region, row table, duplicates).
#include "gfx/images/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using plat::Rect;

bool Same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<uint32_t> Palette(uint32_t seed) {
  std::vector<uint32_t> colours(256);
  for (uint32_t i = 0; i < 256; ++i) colours[i] = (i * 0x01030507u + seed) | 0x80000000u;
  return colours;
}

TEST(ImageBaseTest, RowsArePaddedToFourBytesOnTheHeapAndInDibSections) {
  struct Row {
    int32_t width;
    uint8_t bpp;
    int32_t pitch;
  };
  for (const bool use_dib : {false, true}) {
    for (const Row row : {Row{100, 8, 100}, Row{3, 8, 4}, Row{3, 32, 12}, Row{5, 24, 16}, Row{1, 16, 4}}) {
      CImageBase image;
      ASSERT_EQ(image.Create(row.width, 2, row.bpp, use_dib), 0u) << row.width << " " << int{row.bpp};
      EXPECT_EQ(image.GetPitch(), row.pitch);
      EXPECT_EQ(image.GetKind(), ESurfaceKind::kImage);
      EXPECT_EQ(image.GetDC() != nullptr, use_dib);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(image.GetPixels()) % 4, 0u);
      Rect clip;
      EXPECT_TRUE(Same(*image.GetClipRect(&clip), {0, 0, row.width, 2}));
    }
  }
}

TEST(ImageBaseTest, AHeapBlockHoldsPitchTimesHeightPlusSevenAndPixelsOnEightBytes) {
  CImageBase image;
  ASSERT_EQ(image.Create(3, 5, 8, false), 0u);
  EXPECT_EQ(image.GetBlockSize(), 4u * 5u + 7u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(image.GetPixels()) % 8, 0u);
}

TEST(ImageBaseTest, ADibImageIsTopDownInItsOwnDeviceContext) {
  CImageBase image;
  ASSERT_EQ(image.Create(4, 3, 32, true), 0u);
  reinterpret_cast<uint32_t*>(image.GetRowPointer(2))[1] = 0x11223344;
  const plat::PixelView view = image.GetDC()->View();
  EXPECT_EQ(view.bits, image.GetPixels());
  EXPECT_EQ(view.pitch, image.GetPitch());
  EXPECT_EQ(plat::ReadRawPixel(view.At(1, 2), 4), 0x11223344u);
}

TEST(ImageBaseTest, DepthAndSizeChecks) {
  CImageBase base;
  EXPECT_EQ(base.Create(4, 4, 16, false), 0u);
  EXPECT_EQ(base.Create(4, 4, 7, false), 1u);
  EXPECT_EQ(base.Create(0, 4, 8, false), 1u);
  EXPECT_EQ(base.Create(4, -1, 8, false), 1u);
  EXPECT_EQ(base.Create(kMaxImageSide + 1, 1, 8, false), 2u);
  EXPECT_EQ(base.Create(1, kMaxImageSide + 1, 8, false), 2u);
  // 32767 × 32767 is beyond the bound of pixels and its 4 bytes a pixel beyond 2^31: refused
  // before anything is allocated.
  EXPECT_EQ(base.Create(kMaxImageSide, kMaxImageSide, 32, false), 2u);
  EXPECT_EQ(base.Create(4, 4, 40, true), 2u);  // no DIB section of that depth
  EXPECT_EQ(base.GetPixels(), nullptr);
  EXPECT_EQ(base.GetWidth(), 0);

  CImage image;
  EXPECT_EQ(image.Create(4, 4, 16, 0), 1u);
  EXPECT_EQ(image.Create(4, 4, 24, 0), 1u);
  EXPECT_EQ(image.Create(0, 4, 8, 0), 1u);
  EXPECT_EQ(image.Create(kMaxImageSide + 1, 4, 8, 0), 2u);
  EXPECT_EQ(image.Create(4, 4, 8, 0), 0u);
}

TEST(ImageBaseTest, AFailedCreateLeavesAnEmptyImage) {
  CImageBase image;
  ASSERT_EQ(image.Create(8, 8, 32, false), 0u);
  image.SetColorKeyRgb(1, 2, 3);
  EXPECT_EQ(image.Create(8, 8, 4, false), 1u);
  EXPECT_EQ(image.GetPixels(), nullptr);
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);
  EXPECT_EQ(image.GetRowPointer(0), nullptr);
}

TEST(ImageBaseTest, RowPointersStayInsideTheImage) {
  CImageBase image;
  EXPECT_EQ(image.GetRowPointer(0), nullptr);
  ASSERT_EQ(image.Create(5, 4, 8, false), 0u);
  EXPECT_EQ(image.GetRowPointer(0), image.GetPixels());
  EXPECT_EQ(image.GetRowPointer(3), image.GetPixels() + 3 * 8);
  EXPECT_EQ(image.GetRowPointer(-1), nullptr);
  EXPECT_EQ(image.GetRowPointer(4), nullptr);
  EXPECT_EQ(image.GetRowPointer(INT32_MIN), nullptr);
}

TEST(ImageBaseTest, ClipRectangles) {
  CImageBase image;
  ASSERT_EQ(image.Create(16, 16, 32, false), 0u);
  Rect wide{-10, -10, 20, 20};
  Rect clip;
  EXPECT_TRUE(image.SetClipRect(&wide));
  EXPECT_TRUE(Same(*image.GetClipRect(&clip), {0, 0, 16, 16}));

  Rect inner{2, 3, 10, 12};
  EXPECT_TRUE(image.SetClipRect(&inner));
  Rect no_width{5, 5, 5, 9};
  Rect no_height{5, 9, 8, 9};
  EXPECT_FALSE(image.SetClipRect(&no_width));
  EXPECT_FALSE(image.SetClipRect(&no_height));
  EXPECT_TRUE(Same(*image.GetClipRectPtr(), inner));

  Rect outside{20, 20, 30, 30};  // stored even though nothing is left of it
  EXPECT_TRUE(image.SetClipRect(&outside));
  EXPECT_TRUE(Same(*image.GetClipRect(&clip), {20, 20, 16, 16}));
  EXPECT_TRUE(image.SetClipRect(nullptr));
  EXPECT_TRUE(Same(*image.GetClipRect(&clip), {0, 0, 16, 16}));

  EXPECT_TRUE(image.SetClipRect(&inner));
  Rect r{0, 0, 5, 20};
  EXPECT_TRUE(image.ClipRect(&r));
  EXPECT_TRUE(Same(r, {2, 3, 5, 12}));
  Rect left_of_clip{-5, -7, 1, 40};  // empty across: top and bottom stay as they were
  EXPECT_FALSE(image.ClipRect(&left_of_clip));
  EXPECT_TRUE(Same(left_of_clip, {2, -7, 1, 40}));
  Rect above_clip{4, 0, 6, 2};
  EXPECT_FALSE(image.ClipRect(&above_clip));
  EXPECT_TRUE(Same(above_clip, {4, 3, 6, 2}));
}

TEST(ImageBaseTest, ColourKeysOfThirtyTwoBitImages) {
  CImageBase image;
  ASSERT_EQ(image.Create(2, 2, 32, false), 0u);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);
  EXPECT_EQ(image.SetColorKeyRgb(0x1FF, 0x02, 0x303), 0u);
  EXPECT_EQ(image.GetColorKey(), 0x00FF0203u);  // low bytes only, alpha 0
  auto* pixels = reinterpret_cast<uint32_t*>(image.GetPixels());
  pixels[1] = 0x80112233;
  EXPECT_EQ(image.SetColorKeyFromPixel(1, 0), 0u);
  EXPECT_EQ(image.GetColorKey(), 0x80112233u);
  pixels[0] = 0xFFFFFFFF;
  EXPECT_EQ(image.SetColorKeyFromPixel(0, 0), 1u);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);
  EXPECT_EQ(image.SetColorKeyFromPixel(2, 0), 1u);
  image.SetColorKeyRgb(1, 1, 1);
  EXPECT_EQ(image.ClearColorKey(), 0u);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);
}

TEST(ImageBaseTest, ColourKeysOfEightBitImagesAreOnlyPaletteIndices) {
  CImageBase image;
  ASSERT_EQ(image.Create(2, 2, 8, false), 0u);
  EXPECT_EQ(image.SetColorKeyRgb(0, 0, 0), 1u);  // no palette yet
  const std::vector<uint32_t> colours = Palette(7);
  ASSERT_EQ(image.SetPalette(colours.data(), 256, 0), 0u);
  const uint32_t rgb = colours[200] & 0x00FFFFFF;
  EXPECT_EQ(image.SetColorKeyRgb(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF), 0u);
  EXPECT_EQ(image.GetColorKey(), image.FindPaletteIndex(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  EXPECT_LE(image.GetColorKey(), 200u);
  image.FillPalette(0x00010203, false);
  EXPECT_EQ(image.SetColorKeyRgb(9, 9, 9), 1u);
  EXPECT_EQ(image.GetColorKey(), kNoColorKey);
  EXPECT_EQ(image.SetColorKeyRgb(1, 2, 3), 0u);
  EXPECT_EQ(image.GetColorKey(), 0u);  // the first match
  image.GetRowPointer(1)[1] = 0x42;
  EXPECT_EQ(image.SetColorKeyFromPixel(1, 1), 0u);
  EXPECT_EQ(image.GetColorKey(), 0x42u);
}

TEST(ImageBaseTest, PixelsAreReadOnlyInsideAndAtEightOrThirtyTwoBits) {
  CImageBase image;
  EXPECT_EQ(image.GetPixel(0, 0), kNoColorKey);
  ASSERT_EQ(image.Create(3, 2, 16, false), 0u);
  EXPECT_EQ(image.GetPixel(0, 0), kNoColorKey);
  ASSERT_EQ(image.Create(3, 2, 8, false), 0u);
  image.GetRowPointer(1)[2] = 0x9A;
  EXPECT_EQ(image.GetPixel(2, 1), 0x9Au);
  EXPECT_EQ(image.GetPixel(3, 1), kNoColorKey);
  EXPECT_EQ(image.GetPixel(-1, 0), kNoColorKey);
  EXPECT_EQ(image.GetPixel(0, 2), kNoColorKey);
}

TEST(ImageBaseTest, ResizeKeepsTheHeapBlockWhenTheNewSizeFits) {
  CImageBase image;
  EXPECT_EQ(image.Resize(4, 4), 1u);
  ASSERT_EQ(image.Create(16, 16, 32, false), 0u);
  uint8_t* const pixels = image.GetPixels();
  const uint32_t block = image.GetBlockSize();
  pixels[0] = 0x5A;
  Rect small{1, 1, 2, 2};
  image.SetClipRect(&small);

  EXPECT_EQ(image.Resize(16, 16), 0u);
  EXPECT_TRUE(Same(*image.GetClipRectPtr(), small));  // the same size changes nothing
  EXPECT_EQ(image.Resize(0, 4), 1u);
  EXPECT_EQ(image.Resize(kMaxImageSide + 1, 4), 2u);
  EXPECT_EQ(image.GetPixels(), pixels);

  ASSERT_EQ(image.Resize(7, 9), 0u);
  EXPECT_EQ(image.GetPixels(), pixels);
  EXPECT_EQ(image.GetBlockSize(), block);
  EXPECT_EQ(image.GetPitch(), 28);
  EXPECT_EQ(image.GetWidth(), 7);
  EXPECT_EQ(image.GetHeight(), 9);
  EXPECT_EQ(pixels[0], 0x5A);  // the bytes are not moved
  EXPECT_TRUE(Same(*image.GetClipRectPtr(), {0, 0, 7, 9}));

  ASSERT_EQ(image.Resize(40, 40), 0u);
  EXPECT_EQ(image.GetBlockSize(), 40u * 160u + 7u);
  EXPECT_EQ(image.GetPitch(), 160);
  EXPECT_EQ(image.GetDC(), nullptr);
  EXPECT_EQ(image.GetBitsPerPixel(), 32);
}

TEST(ImageBaseTest, ResizeMakesADibImageAnew) {
  CImageBase image;
  ASSERT_EQ(image.Create(8, 8, 8, true), 0u);
  ASSERT_EQ(image.Resize(4, 2), 0u);
  ASSERT_NE(image.GetDC(), nullptr);
  EXPECT_EQ(image.GetDC()->View().width, 4);
  EXPECT_EQ(image.GetDC()->View().bits, image.GetPixels());
  EXPECT_EQ(image.GetPitch(), 4);
  EXPECT_EQ(image.GetBitsPerPixel(), 8);
}

TEST(ImageBaseTest, PaletteEntriesComeFromTheSamePlacesAndNeverPassTheEnd) {
  CImageBase deep;
  ASSERT_EQ(deep.Create(2, 2, 32, false), 0u);
  EXPECT_EQ(deep.SetPalette(nullptr, 0, 0), 1u);
  EXPECT_FALSE(deep.SetPaletteEntry(0, 1, false));
  EXPECT_FALSE(deep.FillPalette(1, false));
  EXPECT_EQ(deep.FindPaletteIndex(0, 0, 0), kNoColorKey);

  CImageBase image;
  ASSERT_EQ(image.Create(2, 2, 8, false), 0u);
  EXPECT_EQ(image.GetPalette(), nullptr);
  const std::vector<uint32_t> colours = Palette(3);
  ASSERT_EQ(image.SetPalette(colours.data(), 1000, 250), 0u);
  const uint32_t* palette = image.GetPalette();
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette[249], 249u * 0x010101u);  // a new palette starts as the grey ramp
  for (uint32_t i = 250; i < 256; ++i) EXPECT_EQ(palette[i], colours[i]);
  ASSERT_EQ(image.SetPalette(nullptr, 0, 0), 0u);
  EXPECT_EQ(palette[255], 0x00FFFFFFu);

  EXPECT_TRUE(image.SetPaletteEntry(0x105, 0xAB, false));  // the index's low byte
  EXPECT_EQ(palette[5], 0xABu);
  EXPECT_TRUE(image.SetPaletteEntry(5, 0xAB, false));
  EXPECT_TRUE(image.FillPalette(0x77, false));
  EXPECT_EQ(palette[0], 0x77u);
  EXPECT_EQ(palette[255], 0x77u);
}

TEST(ImageBaseTest, ADibImageTakesItsPaletteIntoItsColourTableOnlyWhenAsked) {
  CImageBase image;
  ASSERT_EQ(image.Create(2, 2, 8, true), 0u);
  const plat::Palette& table = *image.GetDC()->View().palette;
  EXPECT_EQ(table[10], 0x0A0A0Au);  // the grey ramp of a new DIB
  EXPECT_EQ(image.GetPalette(), nullptr);
  const std::vector<uint32_t> colours = Palette(9);
  ASSERT_EQ(image.SetPalette(colours.data(), 256, 0), 0u);
  EXPECT_EQ(table[10], colours[10]);
  image.SetPaletteEntry(10, 0x123456, false);
  EXPECT_EQ(table[10], colours[10]);
  image.SetPaletteEntry(10, 0x123457, true);
  EXPECT_EQ(table[10], 0x123457u);
  image.FillPalette(0x654321, true);
  EXPECT_EQ(table[0], 0x654321u);
}

TEST(ImageTest, CreateWithAnOwnDirtyRegionAndReleaseEverything) {
  CImage image;
  ASSERT_EQ(image.Create(8, 4, 32, CImage::kOwnDirtyRegion), 0u);
  ASSERT_NE(image.GetDirtyRegion(), nullptr);
  EXPECT_EQ(image.GetDirtyRegion(), image.GetOwnedDirtyRegion());
  EXPECT_FALSE(image.IsModified());
  image.MarkChanged({1, 1, 3, 3});
  EXPECT_TRUE(image.IsModified());
  EXPECT_EQ(image.GetDirtyRegion()->Count(), 1u);
  image.SetAlphaFlag(1);
  image.SetExtraData({1, 2, 3});
  ASSERT_EQ(image.BuildRowTable(), 0u);

  image.Release();
  EXPECT_EQ(image.GetPixels(), nullptr);
  EXPECT_EQ(image.GetDirtyRegion(), nullptr);
  EXPECT_EQ(image.GetOwnedDirtyRegion(), nullptr);
  EXPECT_EQ(image.GetRowTable(), nullptr);
  EXPECT_TRUE(image.GetExtraData().empty());
  EXPECT_EQ(image.GetAlphaFlag(), 0);
  EXPECT_FALSE(image.IsModified());

  ASSERT_EQ(image.Create(8, 4, 8, CImage::kUseDib), 0u);
  EXPECT_NE(image.GetDC(), nullptr);
  EXPECT_EQ(image.GetDirtyRegion(), nullptr);
  image.MarkChanged({0, 0, 1, 1});  // no tracking: only the flag
  EXPECT_TRUE(image.IsModified());
}

TEST(ImageTest, TrackingCanBeSuspendedAndResumed) {
  CImage image;
  ASSERT_EQ(image.Create(8, 4, 32, CImage::kOwnDirtyRegion), 0u);
  CDirtyRegion* owned = image.GetOwnedDirtyRegion();
  image.SetDirtyRegionInUse(nullptr);
  image.MarkChanged({0, 0, 2, 2});
  EXPECT_EQ(owned->Count(), 0u);
  image.SetDirtyRegionInUse(owned);
  image.MarkAllChanged();
  ASSERT_EQ(owned->Count(), 1u);
  EXPECT_TRUE(Same(owned->Head()->rect, {0, 0, 8, 4}));
}

TEST(ImageTest, EveryCreateResizeAndFreeDropsTheRowTable) {
  CImage image;
  EXPECT_EQ(image.BuildRowTable(), 1u);
  ASSERT_EQ(image.Create(4, 3, 32, 0), 0u);
  ASSERT_EQ(image.BuildRowTable(), 0u);
  for (int32_t y = 0; y < 3; ++y) EXPECT_EQ(image.GetRowTable()[y], image.GetRowPointer(y));
  ASSERT_EQ(image.Resize(2, 2), 0u);
  EXPECT_EQ(image.GetRowTable(), nullptr);
  ASSERT_EQ(image.BuildRowTable(), 0u);
  image.Free();
  EXPECT_EQ(image.GetRowTable(), nullptr);
  ASSERT_EQ(image.Create(4, 3, 32, 0), 0u);
  ASSERT_EQ(image.BuildRowTable(), 0u);
  ASSERT_EQ(image.Create(4, 3, 32, 0), 0u);
  EXPECT_EQ(image.GetRowTable(), nullptr);
}

TEST(ImageTest, PaletteChangesMarkTheWholeImage) {
  CImage image;
  ASSERT_EQ(image.Create(6, 5, 8, CImage::kOwnDirtyRegion), 0u);
  CDirtyRegion* region = image.GetDirtyRegion();
  EXPECT_FALSE(image.SetPaletteEntryAndMark(1, 2, true));  // no palette yet
  EXPECT_EQ(region->Count(), 0u);
  ASSERT_EQ(image.SetPaletteAndMark(nullptr, 0, 0), 0u);
  ASSERT_EQ(region->Count(), 1u);
  EXPECT_TRUE(Same(region->BoundingBox(), {0, 0, 6, 5}));

  region->Clear();
  EXPECT_TRUE(image.SetPaletteEntryAndMark(1, 2, false));
  EXPECT_TRUE(image.FillPaletteAndMark(3, false));
  EXPECT_EQ(region->Count(), 0u);
  EXPECT_TRUE(image.FillPaletteAndMark(3, true));
  EXPECT_EQ(region->Count(), 1u);

  CImage deep;
  ASSERT_EQ(deep.Create(2, 2, 32, CImage::kOwnDirtyRegion), 0u);
  EXPECT_EQ(deep.SetPaletteAndMark(nullptr, 0, 0), 1u);
  EXPECT_EQ(deep.GetDirtyRegion()->Count(), 0u);
  EXPECT_FALSE(deep.IsModified());
}

TEST(ImageTest, CopyPaletteFrom) {
  CImage target;
  ASSERT_EQ(target.Create(2, 2, 8, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  CImage source;
  ASSERT_EQ(source.Create(2, 2, 8, 0), 0u);
  EXPECT_FALSE(target.CopyPaletteFrom(nullptr));
  EXPECT_TRUE(target.CopyPaletteFrom(&source));  // no palette: nothing changes
  EXPECT_EQ(target.GetPalette(), nullptr);
  EXPECT_FALSE(target.IsModified());

  const std::vector<uint32_t> colours = Palette(11);
  source.SetPalette(colours.data(), 256, 0);
  ASSERT_TRUE(target.CopyPaletteFrom(&source));
  EXPECT_EQ(std::memcmp(target.GetPalette(), colours.data(), 1024), 0);
  EXPECT_EQ((*target.GetDC()->View().palette)[77], colours[77]);
  EXPECT_TRUE(target.IsModified());
  EXPECT_EQ(target.GetDirtyRegion()->Count(), 1u);

  CImage deep;
  ASSERT_EQ(deep.Create(2, 2, 32, 0), 0u);
  EXPECT_FALSE(deep.CopyPaletteFrom(&source));
  EXPECT_FALSE(target.CopyPaletteFrom(&deep));
}

TEST(ImageTest, DuplicateTakesPixelsPaletteKeyUserWordsAndAlphaFlag) {
  CImage empty;
  CImage copy;
  EXPECT_EQ(copy.Duplicate(nullptr, 0), 1u);
  EXPECT_EQ(copy.Duplicate(&empty, 0), 1u);

  CImage source;
  ASSERT_EQ(source.Create(5, 3, 8, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  const std::vector<uint32_t> colours = Palette(5);
  source.SetPalette(colours.data(), 256, 0);
  for (int32_t i = 0; i < source.GetPitch() * 3; ++i) source.GetPixels()[i] = static_cast<uint8_t>(i * 7);
  source.SetColorKeyFromPixel(2, 1);
  source.SetUserWord0(10);
  source.SetUserWord1(11);
  source.SetUserWord2(12);
  source.SetAlphaFlag(1);

  ASSERT_EQ(copy.Duplicate(&source, 0), 0u);
  EXPECT_EQ(copy.GetDC(), nullptr);
  EXPECT_EQ(copy.GetDirtyRegion(), nullptr);
  EXPECT_EQ(copy.GetWidth(), 5);
  EXPECT_EQ(copy.GetHeight(), 3);
  EXPECT_EQ(copy.GetBitsPerPixel(), 8);
  EXPECT_EQ(std::memcmp(copy.GetPixels(), source.GetPixels(), 8 * 3), 0);
  EXPECT_EQ(std::memcmp(copy.GetPalette(), colours.data(), 1024), 0);
  EXPECT_EQ(copy.GetColorKey(), source.GetColorKey());
  EXPECT_EQ(copy.GetUserWord0(), 10u);
  EXPECT_EQ(copy.GetUserWord1(), 11u);
  EXPECT_EQ(copy.GetUserWord2(), 0u);
  EXPECT_EQ(copy.GetAlphaFlag(), 1);

  CImage own_storage;
  ASSERT_EQ(own_storage.Duplicate(&source, CImage::kOwnDirtyRegion), 0u);
  EXPECT_NE(own_storage.GetDC(), nullptr);
  EXPECT_NE(own_storage.GetDirtyRegion(), nullptr);
  CImage first_bit_only;
  ASSERT_EQ(first_bit_only.Duplicate(&source, CImage::kUseDib | CImage::kOwnDirtyRegion), 0u);
  EXPECT_NE(first_bit_only.GetDC(), nullptr);
  EXPECT_EQ(first_bit_only.GetDirtyRegion(), nullptr);
}

TEST(ImageTest, TheBasePaletteIsSavedOnce) {
  CImage image;
  ASSERT_EQ(image.Create(2, 2, 8, 0), 0u);
  EXPECT_FALSE(image.SaveBasePalette());
  image.SetPalette(nullptr, 0, 0);
  ASSERT_TRUE(image.SaveBasePalette());
  image.FillPalette(0x99, false);
  ASSERT_TRUE(image.SaveBasePalette());
  EXPECT_EQ((*image.GetBasePalette())[200], 200u * 0x010101u);
  image.Release();
  EXPECT_EQ(image.GetBasePalette(), nullptr);
}

TEST(ImageInterfaceTest, SharedBodies) {
  CImage image;
  ASSERT_EQ(image.Create(3, 2, 32, 0), 0u);
  CImageInterface& view = image;
  Rect bounds;
  EXPECT_TRUE(Same(*view.GetBounds(&bounds), {0, 0, 3, 2}));
  EXPECT_EQ(view.SetUserWord2(7), 7u);
  EXPECT_EQ(view.GetUserWord2(), 7u);
  EXPECT_EQ(view.Restore(true), 0u);
  EXPECT_EQ(view.GetKind(), ESurfaceKind::kImage);
}

}  // namespace

TEST(ImageBaseTest, SetImageAlphaKeepsTheColourBits) {
  CImage image;
  SetImageAlpha(&image, 9);  // no pixels: nothing happens
  ASSERT_EQ(image.Create(3, 2, 32, 0), 0u);
  auto* words = reinterpret_cast<uint32_t*>(image.GetPixels());
  for (int i = 0; i < 6; ++i) words[i] = 0xFF000000u | static_cast<uint32_t>(i);
  SetImageAlpha(&image, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(words[i], static_cast<uint32_t>(i));
  SetImageAlpha(&image, 0x80);
  EXPECT_EQ(words[5], 0x80000005u);

  CImage bytes;
  ASSERT_EQ(bytes.Create(8, 2, 8, 0), 0u);
  SetImageAlpha(&bytes, 0xFF);  // rows of 8-bit pixels are too short for 32-bit words
  for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(bytes.GetPixels()[i], 0);
}
