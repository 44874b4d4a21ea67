// The images' alpha run maps: when a map is made and dropped, and that blends and copies through
// maps, kept up or dropped by the writes between them, give the pixels of the same operations
// without any map.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"

namespace {

using plat::Rect;

constexpr int32_t kWidth = 72;
constexpr int32_t kHeight = 20;

// A figure: per row a clear run, pixels of alpha 1 and 254, an opaque run, one of 128 and a clear
// run again, placed differently on every row; the last row is opaque throughout.
uint32_t FigurePixel(int32_t x, int32_t y) {
  const uint32_t colour = (static_cast<uint32_t>(x) * 0x010307u + static_cast<uint32_t>(y) * 0x0B0D00u) & 0xFFFFFF;
  const int32_t left = 3 + (y * 5) % 23;
  const int32_t right = left + 20 + (y * 7) % 25;
  uint32_t alpha = 0;
  if (y == kHeight - 1 || (x > left + 1 && x < right)) alpha = 255;
  if (x == left) alpha = 1;
  if (x == left + 1) alpha = 254;
  if (x == right) alpha = 128;
  return alpha << 24 | colour;
}

// A background without alpha, as such a picture loads.
uint32_t BackgroundPixel(int32_t x, int32_t y) { return static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x); }

std::unique_ptr<CImage> MakeImage(const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(kWidth, kHeight, 32, CImage::kOwnDirtyRegion | CImage::kUseDib), 0u);
  for (int32_t y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(image->GetRowPointer(y));
    for (int32_t x = 0; x < kWidth; ++x) row[x] = pixel(x, y);
  }
  return image;
}

std::vector<uint32_t> Pixels(const CImage& image) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) pixels.push_back(image.GetPixel(x, y));
  }
  return pixels;
}

// The same three pictures twice: the first set keeps its maps, the second drops them before every
// step (handing the pixels out drops a map), so that it draws with the plain kernels.
struct Scene {
  std::unique_ptr<CImage> background = MakeImage(BackgroundPixel);
  std::unique_ptr<CImage> figure = MakeImage(FigurePixel);
  std::unique_ptr<CImage> target = MakeImage([](int32_t x, int32_t y) { return FigurePixel(y, x) | 0x80000000; });
};

// Parameters: the pixel library bound (the game's way) or not, and the vector kernels (in their
// AVX2 form where the processor has it) or the portable ones.
class ImageAlphaRunsTest : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  static void SetUpTestSuite() { BuildPixelTables(); }
  void SetUp() override {
    if (std::get<0>(GetParam())) SetPixelLib(&library_);
    if (std::get<1>(GetParam())) {
      g_CpuHasMmx = 1;
      g_CpuHasAvx2 = plat::ReadCpuFeatures().avx2 ? 1 : 0;
    }
  }
  void TearDown() override {
    SetPixelLib(nullptr);
    g_CpuHasMmx = 0;
    g_CpuHasAvx2 = 0;
  }

  // Runs the step on both scenes and compares the targets.
  void Step(const std::string& name, const std::function<void(Scene&)>& step) {
    for (CImage* image : {plain_.background.get(), plain_.figure.get(), plain_.target.get()}) image->GetPixels();
    step(mapped_);
    step(plain_);
    ASSERT_EQ(Pixels(*mapped_.target), Pixels(*plain_.target)) << name;
  }

  CPixelLibrary library_;
  Scene mapped_;
  Scene plain_;
};

TEST_P(ImageAlphaRunsTest, SourceMapIsMadeOnTheSecondReadAndDroppedByEveryWrite) {
  Scene& scene = mapped_;
  const std::vector<std::pair<const char*, std::function<void(CImage&)>>> writes{
      {"pixels", [](CImage& image) { image.GetPixels(); }},
      {"row", [](CImage& image) { image.GetRowPointer(3); }},
      {"device context", [](CImage& image) { image.GetDC(); }},
      {"row table", [](CImage& image) { image.BuildRowTable(); }},
      {"fill", [](CImage& image) { image.FillRectArgbXYWH(1, 1, 2, 2, 0xFF000000); }},
      {"level blend onto it", [&](CImage& image) { image.BlendLevel(scene.target.get(), 100, 0, 0, nullptr); }},
      {"resize", [](CImage& image) { image.Resize(kWidth, kHeight); }}};
  for (const auto& [name, write] : writes) {
    scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
    EXPECT_FALSE(scene.figure->HasAlphaRuns()) << name;
    scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
    EXPECT_TRUE(scene.figure->HasAlphaRuns()) << name;
    scene.target->AlphaBlend(scene.figure.get(), 5, 5, nullptr, false);
    EXPECT_TRUE(scene.figure->HasAlphaRuns()) << name;
    write(*scene.figure);
    EXPECT_FALSE(scene.figure->HasAlphaRuns()) << name;
  }
  // An alpha blend onto a mapped picture keeps its map up rather than dropping it.
  scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
  scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
  scene.figure->AlphaBlend(scene.target.get(), 0, 0, nullptr, false);
  EXPECT_TRUE(scene.figure->HasAlphaRuns());
  // A target gets a map from a copy of a mapped picture and keeps it through the blends onto it.
  scene.target->Copy(scene.background.get(), 0, 0, nullptr, false);
  scene.target->Copy(scene.background.get(), 0, 0, nullptr, false);
  scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
  scene.target->AlphaBlend(scene.figure.get(), 0, 0, nullptr, false);
  EXPECT_TRUE(scene.target->HasAlphaRuns());
  scene.target->FillRectArgbXYWH(1, 1, 2, 2, 0xFF000000);
  EXPECT_FALSE(scene.target->HasAlphaRuns());
}

// A picture redrawn every frame and read strip by strip reads no area twice: it never pays for a
// map, by blends or by copies; a strip read again makes one.
TEST_P(ImageAlphaRunsTest, SourceReadStripByStripGetsAMapOnlyWhereAStripIsReadAgain) {
  Scene& scene = mapped_;
  const std::vector<std::pair<const char*, std::function<void(CImage&, const Rect&)>>> reads{
      {"blend", [&](CImage& source, const Rect& strip) { scene.target->AlphaBlend(&source, 0, strip.top, &strip, false); }},
      {"copy", [&](CImage& source, const Rect& strip) { scene.target->Copy(&source, 0, strip.top, &strip, false); }}};
  for (const auto& [name, read] : reads) {
    for (CImage* source : {scene.figure.get(), scene.background.get()}) {
      source->GetPixels();
      for (int32_t top = 0; top < kHeight; top += 4) read(*source, Rect{0, top, kWidth, top + 4});
      EXPECT_FALSE(source->HasAlphaRuns()) << name;
      read(*source, Rect{0, 6, kWidth, 7});
      EXPECT_TRUE(source->HasAlphaRuns()) << name;
    }
  }
}

TEST_P(ImageAlphaRunsTest, DrawsThroughMapsAsWithoutThem) {
  const auto blend = [](int32_t x, int32_t y, Rect from) {
    return [=](Scene& scene) { scene.target->AlphaBlend(scene.figure.get(), x, y, &from, false); };
  };
  const auto copy_background = [](int32_t x, int32_t y, Rect from) {
    return [=](Scene& scene) { scene.target->Copy(scene.background.get(), x, y, &from, false); };
  };
  const Rect whole{0, 0, kWidth, kHeight};
  for (int round = 0; round < 2; ++round) {
    Step("whole background", copy_background(0, 0, whole));
    Step("whole figure", blend(0, 0, whole));
    Step("figure moved", blend(4, 2, whole));
    Step("figure off the left edge", blend(-9, -3, whole));
    // Source areas that start inside runs, one pixel wide, and a single pixel.
    Step("figure part", blend(11, 1, Rect{7, 2, 40, 15}));
    Step("one column", blend(30, 0, Rect{5, 0, 6, kHeight}));
    Step("one pixel", blend(2, 19, Rect{27, 9, 28, 10}));
    Step("background part", copy_background(17, 4, Rect{3, 1, 29, 11}));
    Step("figure over the part", blend(0, 0, whole));
  }
  // The figure changed after its map was made, through its pixels: a clear run made opaque and
  // an opaque one clear.
  Step("figure changed", [](Scene& scene) {
    for (int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(scene.figure->GetRowPointer(y));
      for (int32_t x = 0; x < 3; ++x) row[x] |= 0xFF000000;
      row[kWidth - 1] = 0x00123456;
    }
    scene.figure->GetRowPointer(kHeight - 1)[4 * 10 + 3] = 0;
  });
  Step("changed figure", blend(0, 0, whole));
  Step("changed figure moved", blend(1, 1, whole));
  // The target changed under its map: opaque pixels where the map had it clear.
  Step("target filled", [](Scene& scene) { scene.target->FillRectArgbXYWH(10, 3, 30, 4, 0xFF336699); });
  Step("target written", [](Scene& scene) { scene.target->GetRowPointer(12)[4 * 50 + 3] = 0xFF; });
  Step("figure over the changed target", blend(0, 0, whole));
  Step("background over itself", [](Scene& scene) {
    const Rect from{0, 0, 30, 10};
    scene.background->Copy(scene.background.get(), 5, 5, &from, false);
  });
  Step("moved background", copy_background(0, 0, whole));
  Step("figure once more", blend(3, 0, whole));
}

INSTANTIATE_TEST_SUITE_P(KernelsAndLibrary, ImageAlphaRunsTest, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
