// The compositing operations: the dispatch's edge cases, every operation's pixels and dirty
// rectangle on one case, and clipped stretched passes against the unclipped ones cropped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/numbers/trig_tables.h"
#include "gfx/images/image.h"
#include "pixel/kernels/arithmetic_kernels.h"
#include "pixel/kernels/blend_kernels.h"
#include "pixel/kernels/copy_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

using plat::Rect;

constexpr uint32_t kNoDib = CImage::kOwnDirtyRegion;
constexpr uint32_t kDib = CImage::kOwnDirtyRegion | CImage::kUseDib;

// A recognisable pixel for every position: alpha, then seed, row and column.
uint32_t Pattern(int32_t x, int32_t y, uint32_t seed) {
  return (((seed * 0x3Bu) & 0xFF) << 24) + (seed << 16) + (static_cast<uint32_t>(y) << 8) + static_cast<uint32_t>(x);
}

std::unique_ptr<CImage> MakeImage(int32_t width, int32_t height, uint8_t bpp, uint32_t seed, uint32_t flags = kNoDib) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(width, height, bpp, flags), 0u);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = image->GetRowPointer(y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t value = Pattern(x, y, seed);
      if (bpp == 32) {
        reinterpret_cast<uint32_t*>(row)[x] = value;
      } else {
        row[x] = static_cast<uint8_t>(value * 7 + (value >> 8) * 13);
      }
    }
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

uint32_t At(const CImage& image, int32_t x, int32_t y) { return image.GetPixel(x, y); }

std::string Box(const CImage& image) {
  const CDirtyRegion* region = image.GetDirtyRegion();
  if (region == nullptr || !region->BoundsValid() || region->Count() == 0) return "none";
  const Rect& box = region->BoundingBox();
  return std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
         std::to_string(box.bottom);
}

class ImageCompositingTest : public testing::Test {
 protected:
  void SetUp() override { BuildPixelTables(); }
  void TearDown() override { g_CpuHasMmx = 0; }
};

TEST_F(ImageCompositingTest, EdgeCasesOfTheDispatch) {
  auto src = MakeImage(8, 6, 32, 1);
  {
    auto dst = MakeImage(10, 10, 32, 2);
    EXPECT_EQ(dst->Copy(src.get(), -5, 2, nullptr, false), 0u);
    EXPECT_EQ(At(*dst, 0, 2), At(*src, 5, 0));
    EXPECT_EQ(At(*dst, 2, 7), At(*src, 7, 5));
    EXPECT_EQ(Box(*dst), "0,2,3,8");
  }
  {
    auto dst = MakeImage(10, 10, 32, 2);
    const Rect outside{20, 0, 30, 5};
    EXPECT_EQ(dst->Copy(src.get(), 0, 0, &outside, false), 0u);
    EXPECT_EQ(Box(*dst), "none");
    EXPECT_FALSE(dst->IsModified());
  }
  {
    // 32 into 8 is refused only where something would be drawn.
    auto dst8 = MakeImage(10, 10, 8, 3);
    EXPECT_EQ(dst8->Copy(src.get(), 1, 1, nullptr, false), 2u);
    EXPECT_EQ(dst8->Copy(src.get(), 40, 1, nullptr, false), 0u);
    EXPECT_EQ(Box(*dst8), "none");
  }
  {
    // A palette-less 8-bit source gets its grey ramp only when something is drawn.
    auto src8 = MakeImage(4, 4, 8, 4);
    auto dst = MakeImage(10, 10, 32, 2);
    auto dst8 = MakeImage(10, 10, 8, 5);
    EXPECT_EQ(dst->Copy(src8.get(), -10, 0, nullptr, false), 0u);
    EXPECT_EQ(dst8->Copy(src8.get(), 0, 30, nullptr, false), 0u);
    EXPECT_EQ(src8->GetPalette(), nullptr);
    EXPECT_EQ(dst8->GetPalette(), nullptr);
    EXPECT_EQ(dst->Copy(src8.get(), 0, 0, nullptr, false), 0u);
    ASSERT_NE(src8->GetPalette(), nullptr);
    EXPECT_EQ(At(*dst, 1, 1), src8->GetPalette()[At(*src8, 1, 1)]);
  }
  {
    auto dst = MakeImage(10, 10, 32, 2);
    auto before = MakeImage(10, 10, 32, 2);
    EXPECT_EQ(dst->BlendLevel(src.get(), 0, 0, 0, nullptr), 0u);
    EXPECT_EQ(Box(*dst), "none");
    EXPECT_EQ(std::memcmp(dst->GetPixels(), before->GetPixels(), 10 * 10 * 4), 0);
  }
  {
    auto dst = MakeImage(16, 12, 32, 2);
    const Rect part{0, 0, 2, 3};
    EXPECT_EQ(dst->StretchCopy(src.get(), nullptr, 0, 0, &part, false), 0u);
    EXPECT_EQ(At(*dst, 0, 0), At(*src, 0, 0));
    EXPECT_EQ(At(*dst, 15, 11), At(*src, 1, 2));
    EXPECT_EQ(Box(*dst), "0,0,16,12");
  }
  {
    auto tall = MakeImage(4, 24, 32, 6);
    auto flipped = MakeImage(6, 12, 32, 2);
    auto mirrored = MakeImage(6, 12, 32, 2);
    const Rect rows{0, 10, 4, 20};
    EXPECT_EQ(flipped->Copy(tall.get(), 1, 1, &rows, true), 0u);
    EXPECT_EQ(mirrored->CopyMirrored(tall.get(), 1, 1, 1, &rows), 0u);
    EXPECT_EQ(At(*flipped, 1, 1), At(*tall, 0, 19));
    EXPECT_EQ(At(*flipped, 4, 10), At(*tall, 3, 10));
    EXPECT_EQ(std::memcmp(flipped->GetPixels(), mirrored->GetPixels(), 6 * 12 * 4), 0);
    EXPECT_EQ(Box(*flipped), "1,1,5,11");
    EXPECT_EQ(Box(*mirrored), "1,1,5,11");
  }
  {
    CImage empty;
    auto dst = MakeImage(4, 4, 32, 2);
    EXPECT_EQ(dst->Copy(nullptr, 0, 0, nullptr, false), 1u);
    EXPECT_EQ(dst->AlphaBlend(&empty, 0, 0, nullptr, false), 1u);
    EXPECT_EQ(empty.Copy(src.get(), 0, 0, nullptr, false), 1u);
  }
}

// Every 32-bit operation draws the source rectangle {1, 1, 4, 3} at (2, 1), one to one (the
// stretched forms at the rectangle's own size), each pixel by its portable kernel.
struct Operation {
  const char* name;
  std::function<uint32_t(CImage& dst, CImage* src, const Rect* part)> run;
  std::function<uint32_t(uint32_t d, uint32_t s)> pixel;
  bool mirrored = false;
  bool flipped = false;
};

uint32_t OnePixel(void (*kernel)(uint32_t*, const uint32_t*, int32_t, int32_t, int32_t, int32_t), uint32_t d,
                  uint32_t s) {
  kernel(&d, &s, 0, 0, 1, 1);
  return d;
}

std::vector<Operation> Operations() {
  static const ImageSize kSize{3, 2};
  const auto copy = [](uint32_t, uint32_t s) { return s; };
  const auto alpha_blend = [](uint32_t d, uint32_t s) { return OnePixel(AlphaBlend32, d, s); };
  const auto weighted = [](uint32_t dw, uint32_t sw) {
    return [dw, sw](uint32_t d, uint32_t s) {
      BlendWeighted32(&d, &s, 0, 0, 1, 1, dw, sw);
      return d;
    };
  };
  return {
      {"Copy", [](CImage& d, CImage* s, const Rect* r) { return d.Copy(s, 2, 1, r, false); }, copy},
      {"StretchCopy", [](CImage& d, CImage* s, const Rect* r) { return d.StretchCopy(s, &kSize, 2, 1, r, true); }, copy,
       false, true},
      {"CopyMirrored", [](CImage& d, CImage* s, const Rect* r) { return d.CopyMirrored(s, 0, 2, 1, r); }, copy, true},
      {"StretchCopyMirrored",
       [](CImage& d, CImage* s, const Rect* r) { return d.StretchCopyMirrored(s, 2, &kSize, 2, 1, r); }, copy, true,
       true},
      {"AlphaBlend", [](CImage& d, CImage* s, const Rect* r) { return d.AlphaBlend(s, 2, 1, r, true); }, alpha_blend,
       false, true},
      {"StretchAlphaBlend",
       [](CImage& d, CImage* s, const Rect* r) { return d.StretchAlphaBlend(s, &kSize, 2, 1, r, false); },
       alpha_blend},
      {"AlphaBlendMirrored", [](CImage& d, CImage* s, const Rect* r) { return d.AlphaBlendMirrored(s, 2, 2, 1, r); },
       alpha_blend, true, true},
      {"StretchAlphaBlendMirrored",
       [](CImage& d, CImage* s, const Rect* r) { return d.StretchAlphaBlendMirrored(s, 0, &kSize, 2, 1, r); },
       alpha_blend, true},
      {"CopyRgb", [](CImage& d, CImage* s, const Rect* r) { return d.CopyRgb(s, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(CopyRgb32, d, s); }},
      {"StretchCopyRgb", [](CImage& d, CImage* s, const Rect* r) { return d.StretchCopyRgb(s, &kSize, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(CopyRgb32, d, s); }},
      {"CopyAlpha", [](CImage& d, CImage* s, const Rect* r) { return d.CopyAlpha(s, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(CopyAlpha32, d, s); }},
      {"StretchCopyAlpha", [](CImage& d, CImage* s, const Rect* r) { return d.StretchCopyAlpha(s, &kSize, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(CopyAlpha32, d, s); }},
      {"BlendLevel", [](CImage& d, CImage* s, const Rect* r) { return d.BlendLevel(s, 100, 2, 1, r); },
       weighted(155 * 0x01010101u, 100 * 0x01010101u)},
      {"StretchBlendLevel",
       [](CImage& d, CImage* s, const Rect* r) { return d.StretchBlendLevel(s, 100, &kSize, 2, 1, r); },
       weighted(155 * 0x01010101u, 100 * 0x01010101u)},
      {"BlendWeighted", [](CImage& d, CImage* s, const Rect* r) { return d.BlendWeighted(s, 0x10203040, 0x50607080, 2, 1, r); },
       weighted(0x10203040, 0x50607080)},
      {"StretchBlendWeighted",
       [](CImage& d, CImage* s, const Rect* r) {
         return d.StretchBlendWeighted(s, 0x10203040, 0x50607080, &kSize, 2, 1, r);
       },
       weighted(0x10203040, 0x50607080)},
      {"BlendByMode 0", [](CImage& d, CImage* s, const Rect* r) { return d.BlendByMode(0, s, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(Average32, d, s); }},
      {"BlendByMode 1", [](CImage& d, CImage* s, const Rect* r) { return d.BlendByMode(1, s, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(AddSat32, d, s); }},
      {"StretchBlendByMode 2",
       [](CImage& d, CImage* s, const Rect* r) { return d.StretchBlendByMode(2, s, &kSize, 2, 1, r); },
       [](uint32_t d, uint32_t s) { return OnePixel(SubSat32, d, s); }},
      {"BlendLevelClearAware",
       [](CImage& d, CImage* s, const Rect* r) { return d.BlendLevelClearAware(s, 90, 2, 1, r); },
       [](uint32_t d, uint32_t s) {
         BlendLevelClearAware32(&d, &s, 0, 0, 1, 1, 90);
         return d;
       }},
  };
}

TEST_F(ImageCompositingTest, EveryOperationDrawsItsKernelIntoTheClippedRectangleAndMarksIt) {
  const Rect part{1, 1, 4, 3};
  for (const Operation& operation : Operations()) {
    SCOPED_TRACE(operation.name);
    auto src = MakeImage(6, 5, 32, 7);
    auto dst = MakeImage(8, 6, 32, 8);
    auto before = MakeImage(8, 6, 32, 8);
    ASSERT_EQ(operation.run(*dst, src.get(), &part), 0u);
    EXPECT_EQ(Box(*dst), "2,1,5,3");
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        uint32_t expected = At(*before, x, y);
        if (x >= 2 && x < 5 && y >= 1 && y < 3) {
          const int32_t column = operation.mirrored ? 3 - (x - 2) : 1 + (x - 2);
          const int32_t row = operation.flipped ? 2 - (y - 1) : 1 + (y - 1);
          expected = operation.pixel(expected, At(*src, column, row));
        }
        ASSERT_EQ(At(*dst, x, y), expected) << x << "," << y;
      }
    }
  }
  auto src = MakeImage(6, 5, 32, 7);
  auto dst = MakeImage(8, 6, 32, 8);
  EXPECT_EQ(dst->BlendByMode(3, src.get(), 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->BlendWeighted(src.get(), 0xFFFFFFFF, 0, 0, 0, nullptr), 0u);
  EXPECT_EQ(Box(*dst), "none");
}

TEST_F(ImageCompositingTest, TheVectorSwitchAndTheColourKeyChooseTheMembers) {
  // A pixel of alpha 128 that the two alpha-blend members round apart.
  auto src = MakeImage(1, 1, 32, 1);
  *reinterpret_cast<uint32_t*>(src->GetPixels()) = 0x80FF0000;
  for (const uint8_t vector : {uint8_t{0}, uint8_t{1}}) {
    g_CpuHasMmx = vector;
    auto dst = MakeImage(1, 1, 32, 2);
    const uint32_t d = At(*dst, 0, 0);
    ASSERT_EQ(dst->AlphaBlend(src.get(), 0, 0, nullptr, false), 0u);
    EXPECT_EQ(At(*dst, 0, 0), OnePixel(vector != 0 ? AlphaBlend32Mmx : AlphaBlend32, d, 0x80FF0000)) << int{vector};
  }
  auto keyed = MakeImage(4, 1, 32, 3);
  ASSERT_EQ(keyed->SetColorKeyFromPixel(1, 0), 0u);
  auto dst = MakeImage(4, 1, 32, 2);
  ASSERT_EQ(dst->CopyMirrored(keyed.get(), 0, 0, 0, nullptr), 0u);
  EXPECT_EQ(At(*dst, 0, 0), At(*keyed, 3, 0));
  EXPECT_EQ(At(*dst, 2, 0), Pattern(2, 0, 2)) << "the key is not drawn";
  // CopyAlpha ignores the key.
  ASSERT_EQ(dst->CopyAlpha(keyed.get(), 0, 0, nullptr), 0u);
  EXPECT_EQ(At(*dst, 1, 0) >> 24, At(*keyed, 1, 0) >> 24);
}

TEST_F(ImageCompositingTest, EightBitPassesAndAlphaPlanes) {
  auto src8 = MakeImage(5, 3, 8, 1);
  auto dst8 = MakeImage(6, 4, 8, 2);
  ASSERT_EQ(src8->SetColorKeyFromPixel(4, 0), 0u);
  ASSERT_EQ(dst8->CopyMirrored(src8.get(), 0, 1, 0, nullptr), 0u);
  EXPECT_EQ(Box(*dst8), "1,0,6,3");
  for (int32_t x = 0; x < 5; ++x) {
    const uint32_t s = At(*src8, 4 - x, 2);
    EXPECT_EQ(At(*dst8, 1 + x, 2), s == At(*src8, 4, 0) ? At(*MakeImage(6, 4, 8, 2), 1 + x, 2) : s);
  }
  src8->ClearColorKey();
  auto stretched8 = MakeImage(10, 6, 8, 2);
  ASSERT_EQ(stretched8->StretchCopy(src8.get(), nullptr, 0, 0, nullptr, false), 0u);
  EXPECT_EQ(At(*stretched8, 9, 5), At(*src8, 4, 2));

  // The bytes go into the alpha bytes and back out.
  auto dst32 = MakeImage(5, 3, 32, 3);
  ASSERT_EQ(dst32->CopyAlphaPlaneMirrored(src8.get(), 0, 0, 0, nullptr), 0u);
  EXPECT_EQ(Box(*dst32), "0,0,5,3");
  EXPECT_EQ(At(*dst32, 0, 1), (At(*src8, 4, 1) << 24) | (Pattern(0, 1, 3) & 0x00FFFFFF));
  auto back = MakeImage(5, 3, 8, 4);
  ASSERT_EQ(back->CopyAlphaPlane(dst32.get(), 0, 0, nullptr, true), 0u);
  EXPECT_EQ(At(*back, 0, 0), At(*src8, 4, 2));
  const ImageSize wide{10, 3};
  ASSERT_EQ(back->StretchCopyAlphaPlane(dst32.get(), &wide, 0, 0, nullptr, false), 0u);
  EXPECT_EQ(At(*back, 4, 1), At(*src8, 3, 1));
  ASSERT_EQ(back->StretchCopyAlphaPlaneMirrored(dst32.get(), 1, &wide, 0, 0, nullptr), 0u);
  EXPECT_EQ(At(*back, 0, 0), At(*src8, 4, 2));
  EXPECT_EQ(Box(*back), "0,0,5,3");
  EXPECT_EQ(dst32->CopyAlphaPlane(dst32.get(), 0, 0, nullptr, false), 2u);
}

TEST_F(ImageCompositingTest, EightBitIntoThirtyTwoThroughTheContextWritesTheFourthByteZero) {
  const std::vector<uint32_t> palette(256, 0x7F123456);
  for (const uint32_t flags : {kDib, kNoDib}) {
    auto src8 = MakeImage(4, 4, 8, 1, flags);
    ASSERT_EQ(src8->SetPalette(palette.data(), 256, 0), 0u);
    auto dst = MakeImage(6, 6, 32, 2, kDib);
    const Rect part{1, 1, 3, 4};
    ASSERT_EQ(dst->Copy(src8.get(), 3, 2, &part, false), 0u);
    const bool through_context = flags == kDib;
    EXPECT_EQ(At(*dst, 3, 2), through_context ? 0x00123456u : 0x7F123456u);
    EXPECT_EQ(At(*dst, 4, 4), through_context ? 0x00123456u : 0x7F123456u);
    EXPECT_EQ(At(*dst, 5, 2), Pattern(5, 2, 2));
    EXPECT_EQ(Box(*dst), "3,2,5,5");
  }
}

TEST_F(ImageCompositingTest, SmoothStretchCopiesStretchesOrFilters) {
  auto src = MakeImage(2, 2, 32, 1);
  auto* pixels = reinterpret_cast<uint32_t*>(src->GetPixels());
  pixels[0] = 0x00000000;
  pixels[1] = 0x00FF0000;
  pixels[2] = 0x000000FF;
  pixels[3] = 0x00FF00FF;
  ASSERT_EQ(src->SetColorKeyFromPixel(0, 0), 0u);

  auto filtered = MakeImage(5, 5, 32, 2);
  const ImageSize three{3, 3};
  ASSERT_EQ(filtered->SmoothStretchCopy(src.get(), &three, 1, 1, nullptr), 0u);
  // The rectangle less its last column and row: samples 0 and 1/2 of the way across.
  EXPECT_EQ(Box(*filtered), "1,1,3,3");
  EXPECT_EQ(At(*filtered, 1, 1), 0x00000000u);
  EXPECT_EQ(At(*filtered, 2, 1), 0x007F0000u);
  EXPECT_EQ(At(*filtered, 2, 2), 0x007F007Fu);
  EXPECT_EQ(At(*filtered, 3, 3), Pattern(3, 3, 2));

  // The same size copies and a reduction stretches, both without the key, which stays.
  auto copied = MakeImage(4, 4, 32, 2);
  const ImageSize two{2, 2};
  ASSERT_EQ(copied->SmoothStretchCopy(src.get(), &two, 0, 0, nullptr), 0u);
  EXPECT_EQ(At(*copied, 0, 0), 0x00000000u);
  EXPECT_EQ(At(*copied, 1, 1), 0x00FF00FFu);
  const ImageSize one{1, 1};
  ASSERT_EQ(copied->SmoothStretchCopy(src.get(), &one, 3, 3, nullptr), 0u);
  EXPECT_EQ(At(*copied, 3, 3), 0x00000000u);
  EXPECT_EQ(src->GetColorKey(), 0x00000000u);

  auto src8 = MakeImage(2, 2, 8, 3);
  auto narrow = MakeImage(4, 4, 32, 2);
  EXPECT_EQ(narrow->SmoothStretchCopy(src8.get(), &three, 0, 0, nullptr), 0u);
  EXPECT_EQ(At(*narrow, 0, 0), src8->GetPalette()[At(*src8, 0, 0)]);
  auto dst8 = MakeImage(4, 4, 8, 2);
  EXPECT_EQ(dst8->SmoothStretchCopy(src.get(), &three, 0, 0, nullptr), 2u);
}

// For 500 random geometries a stretched pass clipped by the destination equals the pass drawn
// whole into an image of its own size, cropped.
TEST_F(ImageCompositingTest, StretchClipEquivalence) {
  std::mt19937 random(2024);
  const auto between = [&](int32_t lo, int32_t hi) {
    return lo + static_cast<int32_t>(random() % static_cast<uint32_t>(hi - lo + 1));
  };
  for (int round = 0; round < 500; ++round) {
    const int kind = round % 3;  // copy, keyed copy, alpha blend
    const int mode = between(-1, 2);  // -1 unmirrored
    auto src = MakeImage(12, 10, 32, static_cast<uint32_t>(round));
    if (kind == 1) {
      ASSERT_EQ(src->SetColorKeyFromPixel(between(0, 11), between(0, 9)), 0u);
    }
    const Rect part{between(0, 5), between(0, 4), between(6, 12), between(5, 10)};
    const ImageSize size{between(1, 30), between(1, 30)};
    const int32_t x = between(-25, 20);
    const int32_t y = between(-25, 20);
    auto dst = MakeImage(24, 20, 32, 99);
    const Rect clip{between(0, 8), between(0, 6), between(10, 24), between(10, 20)};
    ASSERT_TRUE(dst->SetClipRect(&clip));

    // The whole pass over the destination's own pixels where it lands.
    CImage whole;
    ASSERT_EQ(whole.Create(size.width, size.height, 32, kNoDib), 0u);
    for (int32_t j = 0; j < size.height; ++j) {
      for (int32_t i = 0; i < size.width; ++i) {
        reinterpret_cast<uint32_t*>(whole.GetRowPointer(j))[i] = Pattern(x + i, y + j, 99);
      }
    }
    const auto draw = [&](CImage& target, int32_t at_x, int32_t at_y) {
      if (kind == 2) {
        return mode < 0 ? target.StretchAlphaBlend(src.get(), &size, at_x, at_y, &part, false)
                        : target.StretchAlphaBlendMirrored(src.get(), static_cast<uint8_t>(mode), &size, at_x, at_y,
                                                           &part);
      }
      return mode < 0 ? target.StretchCopy(src.get(), &size, at_x, at_y, &part, false)
                      : target.StretchCopyMirrored(src.get(), static_cast<uint8_t>(mode), &size, at_x, at_y, &part);
    };
    ASSERT_EQ(draw(whole, 0, 0), 0u);
    ASSERT_EQ(draw(*dst, x, y), 0u);

    const int32_t left = std::max(clip.left, x);
    const int32_t top = std::max(clip.top, y);
    const int32_t right = std::min(clip.right, x + size.width);
    const int32_t bottom = std::min(clip.bottom, y + size.height);
    const bool visible = left < right && top < bottom;
    for (int32_t py = 0; py < 20; ++py) {
      for (int32_t px = 0; px < 24; ++px) {
        const bool inside = px >= left && px < right && py >= top && py < bottom;
        const uint32_t expected = inside ? At(whole, px - x, py - y) : Pattern(px, py, 99);
        ASSERT_EQ(At(*dst, px, py), expected) << "round " << round << " at " << px << "," << py;
      }
    }
    EXPECT_EQ(Box(*dst), visible ? std::to_string(left) + "," + std::to_string(top) + "," + std::to_string(right) +
                                       "," + std::to_string(bottom)
                                 : "none")
        << "round " << round;
  }
}

// One-to-one mirrored and flipped passes clipped on every side also equal the cropped whole.
TEST_F(ImageCompositingTest, OneToOneClipEquivalence) {
  std::mt19937 random(77);
  for (int round = 0; round < 200; ++round) {
    const uint8_t mode = static_cast<uint8_t>(random() % 3);
    auto src = MakeImage(9, 7, 32, static_cast<uint32_t>(round));
    const Rect part{static_cast<int32_t>(random() % 4) - 2, static_cast<int32_t>(random() % 4) - 2,
                    7 + static_cast<int32_t>(random() % 4), 5 + static_cast<int32_t>(random() % 4)};
    const int32_t x = static_cast<int32_t>(random() % 20) - 10;
    const int32_t y = static_cast<int32_t>(random() % 16) - 8;
    auto dst = MakeImage(10, 8, 32, 5);
    auto whole = MakeImage(40, 40, 32, 5);
    ASSERT_EQ(dst->CopyMirrored(src.get(), mode, x, y, &part), 0u);
    ASSERT_EQ(whole->CopyMirrored(src.get(), mode, x + 15, y + 15, &part), 0u);
    for (int32_t py = 0; py < 8; ++py) {
      for (int32_t px = 0; px < 10; ++px) {
        const uint32_t drawn = At(*whole, px + 15, py + 15);
        const bool untouched = drawn == Pattern(px + 15, py + 15, 5);
        ASSERT_EQ(At(*dst, px, py), untouched ? Pattern(px, py, 5) : drawn)
            << "round " << round << " mode " << int{mode} << " at " << px << "," << py;
      }
    }
  }
}

// Positions, rectangles and sizes anywhere in the 32-bit range draw only inside the destination's
// marked rectangle and read only inside the source (the sanitizer build watches the reads).
TEST_F(ImageCompositingTest, ExtremeGeometriesStayInsideBothImages) {
  CTrigTables tables;
  g_TrigTable = &tables;
  const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -100000, -7, -1, 0, 1, 3, 9, 100000, INT32_MAX - 1, INT32_MAX};
  std::mt19937 random(31);
  const auto any = [&] { return values[random() % std::size(values)]; };
  auto src = MakeImage(9, 7, 32, 1);
  auto src8 = MakeImage(9, 7, 8, 2);
  for (int round = 0; round < 3000; ++round) {
    auto dst = MakeImage(11, 8, 32, 3);
    const Rect part{any(), any(), any(), any()};
    const ImageSize size{any(), any()};
    const int32_t x = any();
    const int32_t y = any();
    const QuadCorners quad{QuadCorner{any(), any()}, QuadCorner{any(), any()}, QuadCorner{any(), any()},
                           QuadCorner{any(), any()}};
    uint32_t result = 0;
    switch (round % 8) {
      case 0:
        result = dst->Copy(src.get(), x, y, &part, round % 16 == 0);
        break;
      case 1:
        result = dst->CopyMirrored(src.get(), 2, x, y, &part);
        break;
      case 2:
        result = dst->StretchCopy(src8.get(), &size, x, y, &part, true);
        break;
      case 3:
        result = dst->StretchAlphaBlendMirrored(src.get(), 0, &size, x, y, &part);
        break;
      case 4:
        result = dst->SmoothStretchCopy(src.get(), &size, x, y, &part);
        break;
      case 5:
        result = dst->SmoothStretchCopy(src8.get(), &size, x, y, nullptr);
        break;
      case 6:
        result = dst->RotateBlend(src.get(), static_cast<uint8_t>(round), x, y, any(), static_cast<uint32_t>(any()), 77,
                                  &part, nullptr);
        break;
      default:
        result = dst->MapRectToQuad(src.get(), quad, &part, nullptr);
        break;
    }
    ASSERT_EQ(result, 0u) << "round " << round;
    const CDirtyRegion* region = dst->GetDirtyRegion();
    const bool marked = region->Count() > 0;
    const Rect box = marked ? region->BoundingBox() : Rect{};
    for (int32_t py = 0; py < 8; ++py) {
      for (int32_t px = 0; px < 11; ++px) {
        const bool inside = px >= box.left && px < box.right && py >= box.top && py < box.bottom;
        if (!inside) {
          ASSERT_EQ(At(*dst, px, py), Pattern(px, py, 3)) << "round " << round << " at " << px << "," << py;
        }
      }
    }
  }
  g_TrigTable = nullptr;
}

TEST_F(ImageCompositingTest, QuadMappingAndRotations) {
  CTrigTables tables;
  g_TrigTable = &tables;
  auto src = MakeImage(6, 6, 32, 1);
  const Rect part{1, 1, 5, 4};

  // Unturned at scale 1 a rotation maps the rectangle onto its own size at the pivot's place.
  auto mapped = MakeImage(12, 12, 32, 2);
  const QuadCorners in_place{QuadCorner{3, 2}, QuadCorner{7, 2}, QuadCorner{3, 5}, QuadCorner{7, 5}};
  ASSERT_EQ(mapped->MapRectToQuad(src.get(), in_place, &part, nullptr), 0u);
  auto turned = MakeImage(12, 12, 32, 2);
  ASSERT_EQ(turned->RotateCopy(src.get(), 0, 3, 2, 0, 0x10000, &part, nullptr), 0u);
  EXPECT_EQ(std::memcmp(turned->GetPixels(), mapped->GetPixels(), 12 * 12 * 4), 0);
  EXPECT_EQ(At(*turned, 3, 2), At(*src, 1, 1));
  EXPECT_EQ(At(*turned, 6, 3), At(*src, 4, 2));
  EXPECT_EQ(Box(*turned), "3,2,7,5");
  auto centred = MakeImage(12, 12, 32, 2);
  ASSERT_EQ(centred->RotateCopy(src.get(), 4, 5, 3, 512, 0x10000, &part, nullptr), 0u);
  EXPECT_EQ(std::memcmp(centred->GetPixels(), mapped->GetPixels(), 12 * 12 * 4), 0);

  // An anchor past the centre turns about the top-left corner.
  auto past = MakeImage(12, 12, 32, 2);
  auto top_left = MakeImage(12, 12, 32, 2);
  ASSERT_EQ(past->RotateCopy(src.get(), 9, 6, 5, 37, 0x18000, nullptr, nullptr), 0u);
  ASSERT_EQ(top_left->RotateCopy(src.get(), 0, 6, 5, 37, 0x18000, nullptr, nullptr), 0u);
  EXPECT_EQ(std::memcmp(past->GetPixels(), top_left->GetPixels(), 12 * 12 * 4), 0);
  EXPECT_EQ(Box(*past), Box(*top_left));
  EXPECT_NE(Box(*past), "none");

  // A quarter turn about the top-left corner puts the source's top row down the column left
  // of the pivot.
  auto quarter = MakeImage(12, 12, 32, 2);
  ASSERT_EQ(quarter->RotateCopy(src.get(), 0, 8, 2, 128, 0x10000, &part, nullptr), 0u);
  EXPECT_EQ(At(*quarter, 7, 2), At(*src, 1, 1));
  EXPECT_EQ(At(*quarter, 7, 4), At(*src, 3, 1));
  EXPECT_EQ(At(*quarter, 5, 2), At(*src, 1, 3));
  EXPECT_EQ(Box(*quarter), "5,2,8,6");

  // Blending at level 255 draws an opaque source's colours, keeping the destination's alpha.
  auto opaque = MakeImage(6, 6, 32, 1);
  SetImageAlpha(opaque.get(), 255);
  auto blended = MakeImage(12, 12, 32, 2);
  ASSERT_EQ(blended->RotateBlend(opaque.get(), 0, 3, 2, 0, 0x10000, 255, &part, nullptr), 0u);
  EXPECT_EQ(At(*blended, 3, 2), (At(*opaque, 1, 1) & 0x00FFFFFF) | (Pattern(3, 2, 2) & 0xFF000000));
  EXPECT_EQ(Box(*blended), "3,2,7,5");

  // A source quad onto a rectangle writes all but its last column and row; rows sample the
  // source one step down, as the kernel walks its edges.
  auto onto = MakeImage(12, 12, 32, 2);
  const Rect target{2, 3, 6, 7};
  const QuadCorners source_quad{QuadCorner{0, 0}, QuadCorner{3, 0}, QuadCorner{0, 3}, QuadCorner{3, 3}};
  ASSERT_EQ(onto->MapQuadToRect(src.get(), source_quad, &target, nullptr), 0u);
  EXPECT_EQ(At(*onto, 2, 3), At(*src, 0, 1));
  EXPECT_EQ(At(*onto, 4, 5), At(*src, 2, 3));
  EXPECT_EQ(At(*onto, 5, 6), Pattern(5, 6, 2));
  EXPECT_EQ(Box(*onto), "2,3,5,6");

  // A clip rectangle keeps the kernel inside it, and the mark to the destination's clip.
  auto clipped = MakeImage(12, 12, 32, 2);
  const Rect keep{0, 0, 4, 12};
  const QuadCorners wide{QuadCorner{2, 2}, QuadCorner{9, 2}, QuadCorner{2, 9}, QuadCorner{9, 9}};
  ASSERT_EQ(clipped->MapQuad(src.get(), wide, source_quad, &keep, 1), 0u);
  EXPECT_NE(At(*clipped, 3, 3), Pattern(3, 3, 2));
  EXPECT_EQ(At(*clipped, 4, 3), Pattern(4, 3, 2));
  // The mark is the quad's box within this image's clip rectangle, not the caller's.
  EXPECT_EQ(Box(*clipped), "2,2,9,9");
  const Rect left_half{0, 0, 6, 12};
  ASSERT_TRUE(clipped->SetClipRect(&left_half));
  clipped->GetOwnedDirtyRegion()->Clear();
  ASSERT_EQ(clipped->MapQuadBlend(opaque.get(), wide, source_quad, 128, nullptr, 1), 0u);
  EXPECT_EQ(Box(*clipped), "2,2,6,9");
  ASSERT_EQ(clipped->MapRectToQuad(src.get(), wide, nullptr, nullptr), 0u);
  EXPECT_EQ(At(*clipped, 2, 2), At(*src, 0, 0));

  auto dst8 = MakeImage(4, 4, 8, 2);
  EXPECT_EQ(dst8->MapQuad(src.get(), wide, source_quad, nullptr, 0), 2u);
  g_TrigTable = nullptr;
  EXPECT_EQ(mapped->RotateCopy(src.get(), 0, 0, 0, 0, 0x10000, nullptr, nullptr), 2u);
}

}  // namespace
