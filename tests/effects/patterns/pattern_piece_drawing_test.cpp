// Every pattern's frames at the ends and the middle of the level range, in both software modes,
// over a source with varying alpha, on odd sizes and with the source and the destination cut by
// clip rectangles, keep the checksums recorded for them: the pieces a pattern draws stay the
// same pixels however they are laid down, and whether or not the pixel library is installed (as
// a game installs it, drawing into a destination that keeps a dirty region as a canvas's page
// does). Run with KESTRUNE_REWRITE_PATTERN_GOLDENS=1 to record the checksums anew.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "effects/patterns/pattern_random.h"
#include "gfx/images/pixel_library.h"
#include "pattern_pictures.h"

namespace {

using pattern_test::PatternPictures;

constexpr int32_t kLevels[] = {0, 1, 128, 254, 255};
const char* const kGoldenFile = KESTRUNE_SOURCE_DIR "/tests/effects/data/transition_pattern_piece_goldens.txt";

// FNV-1a of the checksums of every scene and mode at one level.
uint32_t LevelChecksum(int32_t type, int32_t level, uint32_t dst_flags) {
  uint32_t hash = 2166136261u;
  for (size_t scene_index = 0; scene_index < std::size(pattern_test::kClippedScenes); ++scene_index) {
    const pattern_test::ClippedScene& scene = pattern_test::kClippedScenes[scene_index];
    for (const int32_t mode : {kTransitionCopy, kTransitionAlphaBlend}) {
      PatternPictures pictures(61, 47, 97, 83, 0xFF, dst_flags);
      pattern_test::GiveVaryingAlpha(pictures.Src());
      scene.Apply(pictures);
      pattern_test::SeedProgramRandom(static_cast<uint32_t>(type * 1000 + level));
      const int32_t status = pictures.Draw(type, level, scene.x, scene.y, mode);
      EXPECT_EQ(status, 0) << "pattern " << type << " level " << level << " scene " << scene_index;
      for (uint32_t value : {pictures.Checksum(), static_cast<uint32_t>(status)}) {
        for (int i = 0; i < 4; ++i, value >>= 8) hash = (hash ^ (value & 0xFF)) * 16777619u;
      }
    }
  }
  return hash;
}

// Installs the pixel library for the test that asks for it.
class PatternPieceDrawing : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (WithLibrary()) SetPixelLib(&library_);
  }
  void TearDown() override { SetPixelLib(nullptr); }
  static bool WithLibrary() { return GetParam(); }

 private:
  CPixelLibrary library_;
};

TEST_P(PatternPieceDrawing, EveryPatternKeepsItsPixelsInBothModesOnOddAndClippedPictures) {
  const bool rewrite = std::getenv("KESTRUNE_REWRITE_PATTERN_GOLDENS") != nullptr && !WithLibrary();
  const pattern_test::Goldens goldens = pattern_test::ReadGoldens(kGoldenFile);
  if (!rewrite) {
    ASSERT_EQ(goldens.size(), static_cast<size_t>(kTransitionPatternCount) * std::size(kLevels)) << kGoldenFile;
  }
  g_PatternRandomTable.reset();
  std::ostringstream recorded;
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (const int32_t level : kLevels) {
      const uint32_t checksum = LevelChecksum(type, level, WithLibrary() ? CImage::kOwnDirtyRegion : 0);
      recorded << type << ' ' << level << ' ' << std::hex << checksum << std::dec << '\n';
      if (rewrite) continue;
      const auto found = goldens.find({type, level});
      ASSERT_NE(found, goldens.end());
      EXPECT_EQ(checksum, found->second) << "pattern " << type << " level " << level;
    }
  }
  if (rewrite) std::ofstream(kGoldenFile) << recorded.str();
}

INSTANTIATE_TEST_SUITE_P(PixelLibrary, PatternPieceDrawing, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& installed) {
                           return installed.param ? "Installed" : "NotInstalled";
                         });

}  // namespace
