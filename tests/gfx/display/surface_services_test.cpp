// Pixel-format classification, fills, blit clipping, inversion and mosaic on surfaces.
#include "gfx/display/surface_services.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "pixel/kernels/colour_transform_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "platform/window/display_device.h"
#include "support/software_surfaces.h"

namespace {

using plat::PixelFormat;
using plat::Rect;

struct ClassificationRow {
  PixelFormat format;
  uint32_t expected;
};

TEST(PixelFormatClassificationTest, EveryRowOfTheTable) {
  const ClassificationRow rows[] = {
      {{0, 8, 0, 0, 0, 0}, kPixelFormatPal8},
      {{0, 8, 0xF800, 0x7E0, 0x1F, 0}, kPixelFormatPal8},  // masks are not looked at
      {{0, 16, 0x7C00, 0x3E0, 0x1F, 0}, kPixelFormatRgb555},
      {{0, 16, 0x7C00, 0x3E0, 0x1F, 0x1}, kPixelFormatRgb555},
      {{0, 16, 0xF800, 0x7E0, 0x1F, 0}, kPixelFormatRgb565},
      {{0, 16, 0xF800, 0x7E0, 0x1F, 0x20000}, kPixelFormatRgb565},  // an alpha mask other than the two
      {{0, 16, 0xF800, 0x7E0, 0x1F, 0xF000}, kPixelFormatUnrecognised},
      {{0, 16, 0xF800, 0x7E0, 0x1F, 0x8000}, kPixelFormatUnrecognised},
      {{0, 24, 0xFF0000, 0xFF00, 0xFF, 0}, kPixelFormatRgb888},
      {{0, 24, 0xFF, 0xFF00, 0xFF0000, 0}, kPixelFormatUnrecognised},
      {{0, 32, 0xFF0000, 0xFF00, 0xFF, 0}, kPixelFormatXrgb8888},
      {{0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000}, kPixelFormatArgb1555},
      {{0, 16, 0xF00, 0xF0, 0xF, 0xF000}, kPixelFormatArgb4444},
      {{0, 16, 0xF00, 0xF0, 0xF, 0}, kPixelFormatUnrecognised},
      {{0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, kPixelFormatArgb8888},
      {{0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF}, kPixelFormatUnrecognised},
      {{0, 32, 0xFF, 0xFF00, 0xFF0000, 0}, kPixelFormatUnrecognised},
      {{0, 15, 0x7C00, 0x3E0, 0x1F, 0}, kPixelFormatUnrecognised},
  };
  for (const ClassificationRow& row : rows) {
    EXPECT_EQ(static_cast<uint32_t>(ClassifyPixelFormat(row.format)), row.expected)
        << row.format.bit_count << " bits, masks " << std::hex << row.format.red_mask << " " << row.format.green_mask
        << " " << row.format.blue_mask << " " << row.format.alpha_mask;
    EXPECT_EQ(GetSurfacePixelFormat(nullptr, nullptr, &row.format), row.expected);
  }
  EXPECT_EQ(GetSurfacePixelFormat(nullptr, nullptr, nullptr), 0u);
}

TEST(PixelFormatClassificationTest, TheRecordOfRgb565) {
  const PixelFormat rgb565 = plat::MakePixelFormat(plat::SurfaceFormat::kRgb565);
  PixelFormatInfo info;
  ASSERT_EQ(GetSurfacePixelFormat(nullptr, &info, &rgb565), kPixelFormatRgb565);
  EXPECT_EQ(info.bits_per_pixel, 16);
  EXPECT_EQ(info.red_bits, 5);
  EXPECT_EQ(info.green_bits, 6);
  EXPECT_EQ(info.blue_bits, 5);
  EXPECT_EQ(info.alpha_bits, 0);
  EXPECT_EQ(info.red_shift, 11);
  EXPECT_EQ(info.green_shift, 5);
  EXPECT_EQ(info.blue_shift, 0);
  EXPECT_EQ(info.alpha_shift, 32);
}

class SurfaceServicesTest : public ::testing::Test {
 protected:
  std::shared_ptr<plat::Surface> Make(plat::SurfaceFormat format, int32_t width, int32_t height) {
    return surfaces_.Make(format, width, height);
  }
  static uint32_t Pixel(plat::Surface& surface, int32_t x, int32_t y) { return SoftwareSurfaces::Pixel(surface, x, y); }

  SoftwareSurfaces surfaces_;
};

TEST_F(SurfaceServicesTest, FillingRgb555CutsEachChannelToItsWidth) {
  auto surface = Make(plat::SurfaceFormat::kRgb555, 4, 4);
  const Rect rect{1, 1, 3, 3};
  EXPECT_EQ(FillSurface(surface.get(), nullptr, 255, 128, 0, &rect, 0), 0u);
  const uint32_t pixel = Pixel(*surface, 1, 1);
  EXPECT_EQ((pixel >> 10) & 0x1F, 31u);
  EXPECT_EQ((pixel >> 5) & 0x1F, 16u);
  EXPECT_EQ(pixel & 0x1F, 0u);
  EXPECT_EQ(Pixel(*surface, 0, 0), 0u);
  EXPECT_EQ(Pixel(*surface, 3, 3), 0u);
}

TEST_F(SurfaceServicesTest, FillingAFormatWithoutAlphaIgnoresTheAlphaValue) {
  auto surface = Make(plat::SurfaceFormat::kXrgb8888, 2, 2);
  EXPECT_EQ(FillSurface(surface.get(), nullptr, 0x12, 0x34, 0x56, nullptr, 0xAB), 0u);
  EXPECT_EQ(Pixel(*surface, 1, 1), 0x00123456u);
  auto argb = Make(plat::SurfaceFormat::kArgb4444, 2, 2);
  EXPECT_EQ(FillSurface(argb.get(), nullptr, 0xFF, 0x80, 0x40, nullptr, 0xFF), 0u);
  EXPECT_EQ(Pixel(*argb, 0, 0), 0xFF84u);
}

TEST_F(SurfaceServicesTest, FillingALostSurfaceFails) {
  auto surface = Make(plat::SurfaceFormat::kRgb565, 2, 2);
  surface->SimulateLoss();
  EXPECT_EQ(FillSurface(surface.get(), nullptr, 1, 2, 3, nullptr, 0), 2u);
  EXPECT_EQ(FillSurface(nullptr, nullptr, 1, 2, 3, nullptr, 0), 1u);
}

TEST(ClipBltRectsTest, ClippingOnTheLeftWithAndWithoutStretching) {
  const Rect bounds{0, 0, 640, 480};
  Rect src{0, 0, 100, 50};
  Rect dst;
  EXPECT_EQ(ClipBltRects(-10, 0, &src, &dst, &bounds, nullptr), 0);
  EXPECT_EQ(src.left, 10);
  EXPECT_EQ(dst.left, 0);
  EXPECT_EQ(dst.right, 90);

  src = Rect{0, 0, 100, 50};
  const StretchSize stretch{200, 100};
  EXPECT_EQ(ClipBltRects(-10, 0, &src, &dst, &bounds, &stretch), 0);
  EXPECT_EQ(src.left, 5);
  EXPECT_EQ(dst.left, 0);
  EXPECT_EQ(dst.right, 190);
}

TEST(ClipBltRectsTest, NothingLeftAndNoBounds) {
  const Rect bounds{0, 0, 64, 64};
  Rect src{0, 0, 10, 10};
  Rect dst;
  EXPECT_EQ(ClipBltRects(70, 0, &src, &dst, &bounds, nullptr), -1);
  src = Rect{0, 0, 10, 10};
  const StretchSize flat{10, 0};
  EXPECT_EQ(ClipBltRects(0, 0, &src, &dst, &bounds, &flat), -1);
  EXPECT_EQ(ClipBltRects(0, 0, &src, &dst, nullptr, nullptr), 1);
  Rect rect{-5, 10, 5, 20};
  EXPECT_TRUE(ClipRectToRect(&rect, bounds));
  EXPECT_EQ(rect.left, 0);
  rect = Rect{-5, 70, 5, 80};
  EXPECT_FALSE(ClipRectToRect(&rect, bounds));
}

TEST_F(SurfaceServicesTest, ClippedBlitsDrawOnlyInsideTheBounds) {
  auto target = Make(plat::SurfaceFormat::kXrgb8888, 8, 8);
  auto source = Make(plat::SurfaceFormat::kXrgb8888, 4, 4);
  FillSurface(source.get(), nullptr, 0, 0, 255, nullptr, 0);
  const Rect bounds{0, 0, 8, 8};
  const Rect whole{0, 0, 4, 4};
  EXPECT_EQ(BltFastClipped(target.get(), source.get(), 6, -2, &whole, &bounds, kNoColorKey), 0u);
  EXPECT_EQ(Pixel(*target, 6, 0), 0xFFu);
  EXPECT_EQ(Pixel(*target, 7, 1), 0xFFu);
  EXPECT_EQ(Pixel(*target, 5, 0), 0u);
  EXPECT_EQ(Pixel(*target, 6, 2), 0u);
  const StretchSize twice{8, 8};
  EXPECT_EQ(BltClipped(target.get(), source.get(), &twice, 0, 0, &whole, &bounds, kNoColorKey), 0u);
  EXPECT_EQ(Pixel(*target, 0, 7), 0xFFu);
  EXPECT_EQ(BltClipped(target.get(), nullptr, nullptr, 0, 0, &whole, &bounds, kNoColorKey), 1u);
  EXPECT_EQ(BltFastClipped(target.get(), source.get(), 100, 0, &whole, &bounds, kNoColorKey), 0u);
  source->SimulateLoss();
  EXPECT_EQ(BltFastClipped(target.get(), source.get(), 0, 0, &whole, &bounds, kNoColorKey), 2u);
}

TEST(InvertTest, TheTwoKernelsAgreeAndTwiceRestores) {
  std::mt19937 random(7);
  for (const uint8_t mode : {uint8_t{0}, uint8_t{1}, uint8_t{2}, uint8_t{7}}) {
    const int32_t width = 13;
    const int32_t height = 5;
    const int32_t pitch_pixels = 16;
    std::vector<uint32_t> original(static_cast<size_t>(pitch_pixels * height));
    for (uint32_t& pixel : original) pixel = static_cast<uint32_t>(random());
    std::vector<uint32_t> portable = original;
    std::vector<uint32_t> vector_twin = original;
    const int32_t skip = (pitch_pixels - width) * 4;
    Invert32(portable.data(), skip, width, height, mode);
    Invert32Mmx(vector_twin.data(), skip, width, height, mode);
    EXPECT_EQ(portable, vector_twin) << int{mode};
    const uint32_t mask = mode == 0 ? 0x00FFFFFF : mode == 1 ? 0xFFFFFFFF : 0xFF000000;
    EXPECT_EQ(portable[0], original[0] ^ mask);
    EXPECT_EQ(portable[width], original[width]);  // past the row's end: untouched
    Invert32(portable.data(), skip, width, height, mode);
    EXPECT_EQ(portable, original);
  }
}

TEST(InvertTest, SurfaceInversionByFormatAndMode) {
  std::vector<uint8_t> bits(4 * 4 * 4, 0);
  const Rect bounds{0, 0, 4, 4};
  const Rect one{1, 1, 2, 2};
  EXPECT_EQ(InvertSurfaceRect(0, kPixelFormatRgb565, bits.data(), 8, &bounds, &one), 0);
  EXPECT_EQ(bits[1 * 8 + 2], 0xFF);
  EXPECT_EQ(bits[1 * 8 + 3], 0xFF);
  EXPECT_EQ(bits[0], 0);
  std::fill(bits.begin(), bits.end(), 0);
  EXPECT_EQ(InvertSurfaceRect(2, kPixelFormatArgb1555, bits.data(), 8, &bounds, &one), 0);
  EXPECT_EQ(bits[1 * 8 + 2], 0x00);
  EXPECT_EQ(bits[1 * 8 + 3], 0x80);
  std::fill(bits.begin(), bits.end(), 0);
  EXPECT_EQ(InvertSurfaceRect(0, kPixelFormatRgb888, bits.data(), 12, &bounds, nullptr), 0);
  EXPECT_EQ(bits[11], 0xFF);
  EXPECT_EQ(bits[12], 0xFF);
  for (const uint8_t has_mmx : {uint8_t{0}, uint8_t{1}}) {
    g_CpuHasMmx = has_mmx;
    std::fill(bits.begin(), bits.end(), 0);
    EXPECT_EQ(InvertSurfaceRect(1, kPixelFormatArgb8888, bits.data(), 16, &bounds, &one), 0);
    EXPECT_EQ(bits[1 * 16 + 4 + 3], 0xFF);
    EXPECT_EQ(bits[1 * 16 + 8], 0x00);
  }
  g_CpuHasMmx = 0;
  EXPECT_EQ(InvertSurfaceRect(1, kPixelFormatXrgb8888, bits.data(), 16, &bounds, &one), 1);
  EXPECT_EQ(InvertSurfaceRect(0, kPixelFormatPal8, bits.data(), 16, &bounds, &one), 2);
  EXPECT_EQ(InvertSurfaceRect(0, kPixelFormatRgb565, nullptr, 16, &bounds, &one), 1);
  const Rect outside{5, 5, 9, 9};
  EXPECT_EQ(InvertSurfaceRect(0, kPixelFormatRgb565, bits.data(), 8, &bounds, &outside), -1);
}

TEST(MosaicTest, BlocksTakeTheirTopLeftPixelAndTheAnchorAlignsTheGrid) {
  constexpr int32_t kSide = 10;
  std::vector<uint32_t> pixels(kSide * kSide);
  for (int32_t y = 0; y < kSide; ++y) {
    for (int32_t x = 0; x < kSide; ++x) pixels[static_cast<size_t>(y * kSide + x)] = static_cast<uint32_t>(y << 8 | x);
  }
  const Rect bounds{0, 0, kSide, kSide};
  auto* bits = reinterpret_cast<uint8_t*>(pixels.data());
  EXPECT_EQ(MosaicSurfaceRect(kPixelFormatXrgb8888, bits, kSide * 4, &bounds, nullptr, 4, 2), 0);
  // Columns aligned to the right edge: the first column is 10 mod 4 = 2 pixels wide.
  EXPECT_EQ(pixels[1], 0u);
  EXPECT_EQ(pixels[2], 2u);
  EXPECT_EQ(pixels[5], 2u);
  EXPECT_EQ(pixels[6], 6u);
  // Rows from the top: full blocks of 4.
  EXPECT_EQ(pixels[3 * kSide + 3], 2u);
  EXPECT_EQ(pixels[4 * kSide + 3], static_cast<uint32_t>(4 << 8 | 2));

  std::vector<uint32_t> unchanged = pixels;
  EXPECT_EQ(MosaicSurfaceRect(kPixelFormatXrgb8888, bits, kSide * 4, &bounds, nullptr, 1, 1), 0);
  EXPECT_EQ(pixels, unchanged);
  const Rect tiny{0, 0, 2, 2};
  EXPECT_EQ(MosaicSurfaceRect(kPixelFormatXrgb8888, bits, kSide * 4, &bounds, &tiny, 4, 1), 0);
  EXPECT_EQ(pixels, unchanged);
  EXPECT_EQ(MosaicSurfaceRect(kPixelFormatPal8, bits, kSide * 4, &bounds, nullptr, 4, 1), 2);
}

}  // namespace
