// The blends by level rows, scaled sums, masked colours, blurs and rule-alpha, and smooth and
// mosaic in place: pixels and marked rectangle against scalar rules, clipped, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/images/image.h"
#include "pixel/kernels/alpha_level_kernels.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

using plat::Rect;

std::unique_ptr<CImage> Make(int32_t width, int32_t height, uint8_t bpp, uint32_t seed) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(width, height, bpp, CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = (seed * 97 + static_cast<uint32_t>(x) * 53 + static_cast<uint32_t>(y) * 151) * 2654435761u;
      if (bpp == 32) reinterpret_cast<uint32_t*>(image->GetRowPointer(y))[x] = v;
      if (bpp == 8) image->GetRowPointer(y)[x] = static_cast<uint8_t>(v >> 24);
    }
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

constexpr int kL = 200;
int W(int k) { return k == 0 ? 0 : k + 1; }
int P(int level, int a) { return g_PixelTables.product[level][a]; }

// f(d, s) on the three colour channels; the destination's alpha stays.
uint32_t PerChannel(uint32_t d, uint32_t s, const std::function<int(int, int)>& f) {
  uint32_t out = d & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= static_cast<uint32_t>(f(static_cast<int>((d >> shift) & 0xFF), static_cast<int>((s >> shift) & 0xFF)))
           << shift;
  }
  return out;
}

struct Case {
  const char* name;
  uint8_t src_bpp;
  std::function<uint32_t(CImage&, CImage&, const Rect*)> run;
  std::function<uint32_t(uint32_t d, uint32_t s)> rule;  // s: the source pixel or mask byte
};

TEST(ImageLevelBlend, EachFamilyFollowsItsRuleInsideTheClippedRectangle) {
  BuildPixelTables();
  const ImageSize same{3, 3};  // the source rectangle's: the stretch reads what a copy reads
  const Case cases[] = {
      {"AddScaled", 32, [](CImage& d, CImage& s, const Rect* r) { return d.AddScaled(&s, kL, 4, -1, r); },
       [](uint32_t d, uint32_t s) {
         return PerChannel(d, s, [](int a, int b) { return std::min(255, a + ((b * W(kL)) >> 8)); });
       }},
      {"StretchBlendModeLevel", 32,
       [&](CImage& d, CImage& s, const Rect* r) { return d.StretchBlendModeLevel(2, &s, kL, &same, 4, -1, r); },
       [](uint32_t d, uint32_t s) {
         const int w = W(P(kL, static_cast<int>(s >> 24)));
         return PerChannel(d, s, [w](int a, int b) { return std::max(0, a - ((b * w) >> 8)); });
       }},
      {"BlendPreserveAlpha", 32,
       [](CImage& d, CImage& s, const Rect* r) { return d.BlendPreserveAlpha(&s, kL, 4, -1, r); },
       [](uint32_t d, uint32_t s) {
         BlendOver32(&d, &s, 0, 0, 1, 1, g_PixelTables.product[kL]);
         return d;
       }},
      {"BlendMasked", 8,
       [](CImage& d, CImage& m, const Rect* r) { return d.BlendMasked(0, &m, kL, 10, 200, 90, 4, -1, r); },
       [](uint32_t d, uint32_t m) {
         const int w = W(P(kL, static_cast<int>(m)));
         return PerChannel(d, 0x0AC85Au, [w](int a, int b) { return a + (((b - a) * w) >> 8); });
       }},
  };
  // The source rectangle {1, 0, 4, 3} at (4, -1) on a 6 x 4 image: source columns 1 and 2 of
  // rows 1 and 2 land on columns 4 and 5 of rows 0 and 1.
  const Rect part{1, 0, 4, 3};
  for (const uint8_t vector : {uint8_t{0}, uint8_t{1}}) {
    g_CpuHasMmx = vector;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (vector != 0 ? " vector" : ""));
      auto src = Make(4, 3, c.src_bpp, 1);
      auto dst = Make(6, 4, 32, 2);
      auto before = Make(6, 4, 32, 2);
      ASSERT_EQ(c.run(*dst, *src, &part), 0u);
      EXPECT_EQ(Box(*dst), "4,0,6,2");
      for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
          const uint32_t d = before->GetPixel(x, y);
          ASSERT_EQ(dst->GetPixel(x, y), x >= 4 && y < 2 ? c.rule(d, src->GetPixel(x - 3, y + 1)) : d) << x << "," << y;
        }
      }
    }
  }
  g_CpuHasMmx = 0;
}

TEST(ImageLevelBlend, RefusalsAndEmptyCallsMarkNothing) {
  auto dst = Make(4, 4, 32, 1);
  auto src = Make(4, 4, 32, 2);
  auto mask = Make(4, 4, 8, 3);
  EXPECT_EQ(dst->AddScaled(nullptr, 255, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->SubtractScaled(mask.get(), 255, 0, 0, nullptr), 2u);
  EXPECT_EQ(dst->BlendMasked(0, src.get(), 255, 1, 2, 3, 0, 0, nullptr), 2u);
  EXPECT_EQ(dst->BlendModeLevel(3, src.get(), 255, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->BlendMasked(3, mask.get(), 255, 1, 2, 3, 0, 0, nullptr), 1u);
  EXPECT_EQ(dst->RuleBlendAlpha(src.get(), nullptr, 255, 100, 16, 0, 0, nullptr), 2u);
  EXPECT_EQ(dst->RuleBlendAlpha(src.get(), src.get(), 255, 100, 16, 0, 0, nullptr), 2u);
  EXPECT_EQ(dst->RuleBlendAlpha(src.get(), mask.get(), 255, 513, 16, 0, 0, nullptr), 3u);
  EXPECT_EQ(dst->BlurBlendAlphaLevel(src.get(), 2, 0, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->StretchBlendPreserveAlpha(src.get(), 0, nullptr, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->AddScaled(src.get(), 255, 4, 0, nullptr), 0u) << "wholly outside";
  EXPECT_EQ(dst->Mosaic(1, 1, nullptr), 0u);
  EXPECT_EQ(CImage().Smooth(0, nullptr), 1u);
  EXPECT_EQ(Box(*dst), "none");
}

TEST(ImageLevelBlend, BlurReadsTheSourceClipAndRepeatsItsEdges) {
  BuildPixelTables();
  auto src = Make(3, 1, 32, 0);
  auto* row = reinterpret_cast<uint32_t*>(src->GetPixels());
  row[0] = 0;
  row[1] = row[2] = 0xFFFFFFFF;
  auto dst = Make(3, 1, 32, 5);
  ASSERT_EQ(dst->BlurBlendLevel(src.get(), 1, 255, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(0, 0), 0x55555555u) << "0, 0, 255 averaged";
  // From column 1 the window still reads column 0; radius 300 is 127: 127 zeros and 128 of 255.
  const Rect from_one{1, 0, 3, 1};
  ASSERT_EQ(dst->BlurBlendLevel(src.get(), 300, 255, 0, 0, &from_one), 0u);
  EXPECT_EQ(dst->GetPixel(0, 0), ((128u * 255 * (65536 / 255) + 32768) >> 16) * 0x01010101u);
  // Clipped to column 1 onwards, column 1 repeats instead.
  ASSERT_TRUE(src->SetClipRect(&from_one));
  ASSERT_EQ(dst->BlurBlendLevel(src.get(), 1, 255, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(0, 0), 0xFFFFFFFFu);
  // The alpha form weighs by the blurred alpha: a clear source leaves the destination.
  ASSERT_TRUE(src->FillRectArgb(0x00FFFFFF, nullptr));
  const uint32_t kept = dst->GetPixel(1, 0);
  ASSERT_EQ(dst->BlurBlendAlphaLevel(src.get(), 1, 255, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(1, 0), kept);
}

TEST(ImageLevelBlend, RuleBlendAlphaScalesTheRuleLevelsBySourceAlpha) {
  BuildPixelTables();
  auto src = Make(2, 1, 32, 0);
  reinterpret_cast<uint32_t*>(src->GetPixels())[0] = 0x80FFFFFF;
  reinterpret_cast<uint32_t*>(src->GetPixels())[1] = 0xFFFFFFFF;
  auto rule = Make(2, 1, 8, 0);
  rule->GetPixels()[0] = rule->GetPixels()[1] = 0;
  auto dst = Make(2, 1, 32, 0);
  ASSERT_TRUE(dst->FillRectArgb(0, nullptr));
  // Progress 100: rule value 0 takes level P[255][255] = 255, scaled by the source alpha.
  ASSERT_EQ(dst->RuleBlendAlpha(src.get(), rule.get(), 255, 100, 16, 0, 0, nullptr), 0u);
  EXPECT_EQ(dst->GetPixel(0, 0), static_cast<uint32_t>(((255 * W(P(255, 0x80))) >> 8) * 0x010101));
  EXPECT_EQ(dst->GetPixel(1, 0), 0xFFFFFFu);
}

TEST(ImageLevelBlend, SmoothAndMosaicChangeTheRectangleAndClearTheKey) {
  auto image = Make(6, 6, 32, 0);
  ASSERT_TRUE(image->FillRectArgb(0xFF204080, nullptr));
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  ASSERT_EQ(image->SetColorKeyRgb(1, 2, 3), 0u);
  const Rect narrow{0, 0, 3, 6};
  EXPECT_EQ(image->Smooth(2, &narrow), 2u) << "a side below 4 fails in the kernel";
  EXPECT_NE(image->GetColorKey(), kNoColorKey);
  const Rect inner{1, 1, 6, 5};
  ASSERT_EQ(image->Smooth(2, &inner), 0u);
  EXPECT_EQ(image->GetPixel(3, 3), 0x00204080u) << "a uniform area stays, with alpha 0";
  EXPECT_EQ(image->GetPixel(0, 0), 0xFF204080u);
  EXPECT_EQ(image->GetColorKey(), kNoColorKey);
  EXPECT_EQ(Box(*image), "1,1,6,5");

  auto tiles = Make(7, 5, 8, 4);
  auto original = Make(7, 5, 8, 4);
  const Rect area{1, 0, 7, 5};
  ASSERT_EQ(tiles->Mosaic(4, 1, &area), 0u);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 7; ++x) {
      const int32_t from_x = x == 0 ? 0 : 1 + (x - 1) / 4 * 4;
      ASSERT_EQ(tiles->GetPixel(x, y), original->GetPixel(from_x, x == 0 ? y : y / 4 * 4)) << x << "," << y;
    }
  }
  EXPECT_EQ(Box(*tiles), "1,0,7,5");
}

}  // namespace
