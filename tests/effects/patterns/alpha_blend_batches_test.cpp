// The alpha-blend mode lays a pattern's pieces down in batches (rows of columns, runs of a row,
// blocks) through the blend kernels: every pattern leaves exactly the pixels of the same pieces
// blended one by one by the destination's own AlphaBlend, which is how the painter draws into a
// destination that keeps an alpha run map. Frame after frame over the same destination, from
// level 0 to 255, with each member of the kernels, on pictures placed across the destination's
// edges and cut by clip rectangles, as a game draws them (the pixel library installed).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effects/patterns/transition_patterns.h"
#include "gfx/images/pixel_library.h"
#include "pattern_pictures.h"
#include "support/pixel_kernel_members.h"

namespace {

using pattern_test::PatternPictures;

constexpr int32_t kFrameLevels[] = {0, 1, 77, 128, 254, 255};

// Reads the image whole twice, which gives it an alpha run map.
void GiveAlphaRunMap(CImage& image) {
  CImage reader;
  ASSERT_EQ(reader.Create(image.GetWidth(), image.GetHeight(), 32, 0), 0u);
  for (int read = 0; read < 2; ++read) reader.Copy(&image, 0, 0, nullptr, false);
  ASSERT_TRUE(image.HasAlphaRuns());
}

std::vector<uint32_t> PixelsOf(const CImage& image) {
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.CImageBase::GetPixels() + y * image.GetPitch());
    pixels.insert(pixels.end(), row, row + image.GetWidth());
  }
  return pixels;
}

class AlphaBlendBatches : public ::testing::Test {
 protected:
  void SetUp() override { SetPixelLib(&library_); }
  void TearDown() override { SetPixelLib(nullptr); }

 private:
  CPixelLibrary library_;
};

TEST_F(AlphaBlendBatches, EveryPatternLeavesThePixelsOfItsPiecesBlendedOneByOne) {
  for (const PixelKernelMember& member : PixelKernelMembers()) {
    const ChosenPixelKernels chosen(member);
    for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
      for (size_t scene_index = 0; scene_index < std::size(pattern_test::kClippedScenes); ++scene_index) {
        const pattern_test::ClippedScene& scene = pattern_test::kClippedScenes[scene_index];
        PatternPictures batched(61, 47, 97, 83, 0xFF, CImage::kOwnDirtyRegion);
        PatternPictures one_by_one(61, 47, 97, 83, 0xFF, CImage::kOwnDirtyRegion);
        for (PatternPictures* pictures : {&batched, &one_by_one}) {
          pattern_test::GiveVaryingAlpha(pictures->Src());
          pattern_test::GiveVaryingAlpha(pictures->Dst(), 5);
          scene.Apply(*pictures);
        }
        bool drawn = false;
        for (const int32_t level : kFrameLevels) {
          SCOPED_TRACE(std::string(member.name) + ", pattern " + std::to_string(type) + ", scene " +
                       std::to_string(scene_index) + ", level " + std::to_string(level));
          // Handing the pixels out drops a map: the batched destination draws with the kernels.
          batched.Dst().GetPixels();
          GiveAlphaRunMap(one_by_one.Dst());
          const std::vector<uint32_t> before = PixelsOf(batched.Dst());
          for (PatternPictures* pictures : {&batched, &one_by_one}) {
            pattern_test::SeedProgramRandom(static_cast<uint32_t>(type * 1000 + level));
            EXPECT_EQ(DrawTransitionPattern(type, &pictures->Dst(), &pictures->Src(), level, scene.x, scene.y,
                                            kTransitionAlphaBlend, nullptr),
                      0);
          }
          ASSERT_EQ(PixelsOf(batched.Dst()), PixelsOf(one_by_one.Dst()));
          drawn = drawn || PixelsOf(batched.Dst()) != before;
        }
        EXPECT_TRUE(drawn);
      }
    }
  }
}

}  // namespace
