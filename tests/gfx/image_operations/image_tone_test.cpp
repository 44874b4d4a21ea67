// The in-place operations: their edge cases, the palette path of the brightness change, and the
// alpha arithmetic at the ends of its ranges.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

using plat::Rect;

std::unique_ptr<CImage> MakeImage(uint8_t bpp, uint32_t value) {
  BuildPixelTables();
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(4, 3, bpp, CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      if (bpp == 32) {
        reinterpret_cast<uint32_t*>(image->GetRowPointer(y))[x] = value + static_cast<uint32_t>(x + 4 * y);
      } else {
        image->GetRowPointer(y)[x] = static_cast<uint8_t>(value + x);
      }
    }
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

bool SamePixels(const CImage& a, const CImage& b) {
  for (int32_t y = 0; y < a.GetHeight(); ++y) {
    for (int32_t x = 0; x < a.GetWidth(); ++x) {
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    }
  }
  return true;
}

TEST(ImageTone, EdgeCasesChangeAndMarkNothing) {
  auto image = MakeImage(32, 0x80402010);
  const auto before = MakeImage(32, 0x80402010);
  const Rect outside{10, 10, 20, 20};
  EXPECT_FALSE(image->FillRect(1, 2, 3, &outside));
  EXPECT_EQ(image->FillColor(255, 0, 0, 0, nullptr), 0u);
  EXPECT_TRUE(image->AdjustBrightness(255, nullptr));
  EXPECT_FALSE(image->AdjustBrightness(511, nullptr));
  EXPECT_EQ(image->AdjustRgb(257, 128, 128, 0, 0, 0, nullptr), 3u);
  EXPECT_EQ(image->AdjustRgb(128, 128, 128, 0, 256, 0, nullptr), 3u);
  EXPECT_EQ(image->AddColor(0, 0, 0, nullptr), 0u);
  EXPECT_FALSE(image->AdjustAlpha(512, nullptr));
  EXPECT_FALSE(image->ScaleAlpha(257, 0, nullptr));
  EXPECT_TRUE(SamePixels(*image, *before));
  EXPECT_FALSE(image->IsModified());
  EXPECT_EQ(image->GetOwnedDirtyRegion()->Count(), 0u);
}

TEST(ImageTone, InvertAlphaTwiceRestoresAndOtherDepthsAreRefused) {
  auto image = MakeImage(32, 0x80402010);
  const auto before = MakeImage(32, 0x80402010);
  EXPECT_EQ(image->Invert(2, nullptr), 0u);
  EXPECT_EQ(image->GetPixel(0, 0), 0x7F402010u);
  EXPECT_EQ(image->Invert(2, nullptr), 0u);
  EXPECT_TRUE(SamePixels(*image, *before));
  auto grey = MakeImage(8, 5);
  EXPECT_EQ(grey->FillColor(1, 1, 1, 9, nullptr), 1u);
  EXPECT_FALSE(grey->FillRectArgb(0xFF000000, nullptr));
  const Rect corner{0, 0, 1, 1};
  EXPECT_EQ(grey->Invert(0, &corner), 2u);
  EXPECT_EQ(grey->Invert(0, nullptr), 1u);
}

TEST(ImageTone, FillMarksTheClippedRectangle) {
  auto image = MakeImage(32, 0);
  const Rect rect{2, 1, 9, 9};
  Rect changed;
  ASSERT_TRUE(image->FillRect(0x11, 0x22, 0x33, &rect, &changed));
  EXPECT_EQ(changed.left, 2);
  EXPECT_EQ(changed.right, 4);
  EXPECT_EQ(changed.bottom, 3);
  EXPECT_EQ(image->GetPixel(3, 2), 0x00112233u);
  EXPECT_EQ(image->GetPixel(1, 2), 9u);
  EXPECT_TRUE(image->IsModified());
}

TEST(ImageTone, AlphaLevelsLeaveTheEndsAsStated) {
  struct Case {
    uint32_t level;
    uint32_t alpha;
  };
  for (const Case& c : {Case{255, 0x80}, Case{256, 0x80}, Case{511, 0xFF}, Case{0, 0x00}}) {
    auto image = MakeImage(32, 0x80402010);
    ASSERT_TRUE(image->AdjustAlpha(c.level, nullptr)) << c.level;
    EXPECT_EQ(image->GetPixel(1, 1) >> 24, c.alpha) << c.level;
    EXPECT_EQ(image->GetPixel(1, 1) & 0xFFFFFF, 0x402015u) << c.level;
    EXPECT_FALSE(image->IsModified());
  }
  auto image = MakeImage(32, 0x80402010);
  ASSERT_TRUE(image->ScaleAlpha(256, 10, nullptr));
  EXPECT_EQ(image->GetPixel(0, 0) >> 24, 0xFFu);
}

TEST(ImageTone, PaletteBrightnessStartsFromTheSavedPalette) {
  auto image = MakeImage(8, 0);
  ASSERT_EQ(image->SetPalette(nullptr, 256, 0), 0u);
  ASSERT_TRUE(image->AdjustBrightness(128, nullptr));
  const uint32_t once = image->GetPalette()[200];
  EXPECT_EQ(once & 0xFF, g_PixelTables.product[128][200]);
  ASSERT_TRUE(image->AdjustBrightness(128, nullptr));
  EXPECT_EQ(image->GetPalette()[200], once);
  ASSERT_TRUE(image->AdjustBrightness(510, nullptr));
  EXPECT_EQ(image->GetPalette()[7] & 0xFFFFFF, 0xFFFFFFu);
  const Rect rect{0, 0, 1, 1};
  EXPECT_FALSE(image->AdjustBrightness(100, &rect));
  EXPECT_TRUE(image->IsModified());
}

TEST(ImageTone, PaletteChangesDropTheSavedPaletteAndTheKey) {
  auto image = MakeImage(8, 3);
  ASSERT_EQ(image->SetPalette(nullptr, 256, 0), 0u);
  ASSERT_TRUE(image->AdjustBrightness(0, nullptr));
  image->SetColorKeyRgb(3, 0, 0);
  ASSERT_EQ(image->Invert(0, nullptr), 0u);
  EXPECT_EQ(image->GetBasePalette(), nullptr);
  EXPECT_EQ(image->GetColorKey(), kNoColorKey);
  EXPECT_EQ(image->GetPalette()[9] & 0xFFFFFF, 0xFFFFFFu);
  ASSERT_TRUE(image->AdjustBrightness(128, nullptr));
  EXPECT_EQ(image->GetPalette()[9] & 0xFF, g_PixelTables.product[128][255]);
}

TEST(ImageTone, GradientRunsAlongItsDirectionAndRefusesOthers) {
  auto image = MakeImage(32, 0x80402010);
  image->SetColorKeyRgb(0x40, 0x20, 0x10);
  const auto before = MakeImage(32, 0x80402010);
  EXPECT_EQ(image->GradientFill(2, 0, 0xFF, nullptr), 3u);
  EXPECT_TRUE(SamePixels(*image, *before));
  EXPECT_NE(image->GetColorKey(), kNoColorKey);
  ASSERT_EQ(image->GradientFill(1, 0xFF000000, 0xFF0000FF, nullptr), 0u);
  EXPECT_EQ(image->GetColorKey(), kNoColorKey);
  EXPECT_EQ(image->GetPixel(3, 0), 0xFF000000u);
  EXPECT_EQ(image->GetPixel(0, 2), 0xFF0000AAu);
  EXPECT_EQ(image->GetPixel(0, 2), image->GetPixel(3, 2));
}

}  // namespace
