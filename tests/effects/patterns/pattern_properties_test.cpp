// What holds for every pattern over the whole range of levels: the reveal patterns never take
// back what they showed and (but for the splits) show the source only at its own places; and
// every pattern's frames at five levels keep the checksums recorded for them. Run with
// KESTRUNE_REWRITE_PATTERN_GOLDENS=1 to record the checksums anew; the frames are then written
// as PNG pictures into the working folder too.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "effects/patterns/pattern_random.h"
#include "pattern_pictures.h"
#include "support/png_file.h"

namespace {

using pattern_test::PatternPictures;

constexpr int32_t kX = 40;
constexpr int32_t kY = 30;
constexpr int32_t kGoldenLevels[] = {1, 64, 128, 192, 255};
const char* const kGoldenFile = KESTRUNE_SOURCE_DIR "/tests/effects/data/transition_pattern_goldens.txt";

bool IsRevealPattern(int32_t type) {
  return (type >= 11 && type <= 19) || (type >= 32 && type <= 52) || (type >= 71 && type <= 78) ||
         type == 85 || type == 86;
}

// Which pixels are drawn, 1 or 0 each, row after row. (Through plain pointers: the property
// test below reads every pixel at every level of every pattern, in an unoptimised build too.)
std::vector<uint8_t> DrawnPixels(const PatternPictures& pictures) {
  const int32_t width = pictures.Dst().GetWidth();
  std::vector<uint8_t> drawn(static_cast<size_t>(width) * static_cast<size_t>(pictures.Dst().GetHeight()));
  uint8_t* out = drawn.data();
  for (int32_t y = 0; y < pictures.Dst().GetHeight(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(pictures.Dst().GetRowPointer(y));
    for (int32_t x = 0; x < width; ++x) *out++ = row[x] != pattern_test::kBackground ? 1 : 0;
  }
  return drawn;
}

// The first pixel drawn before and not now, or none.
std::optional<size_t> FirstTakenBack(const std::vector<uint8_t>& before, const std::vector<uint8_t>& now) {
  const uint8_t* was = before.data();
  const uint8_t* is = now.data();
  for (size_t i = 0; i < now.size(); ++i) {
    if (was[i] > is[i]) return i;
  }
  return std::nullopt;
}

TEST(PatternProperties, RevealPatternsNeverShrinkAndShowTheSourceAtItsOwnPlaces) {
  PatternPictures pictures(61, 47, 140, 110);
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    if (!IsRevealPattern(type)) continue;
    SCOPED_TRACE(type);
    std::vector<uint8_t> before(static_cast<size_t>(140 * 110));
    for (int32_t level = 1; level <= 256; ++level) {
      ASSERT_EQ(pictures.Draw(type, level, kX, kY), 0) << level;
      const std::vector<uint8_t> now = DrawnPixels(pictures);
      ASSERT_EQ(FirstTakenBack(before, now), std::nullopt) << "level " << level;
      before = now;
      if (type != 85 && type != 86) {
        ASSERT_TRUE(pictures.OnlyOwnPlaces(kX, kY)) << level;
      }
    }
  }
}

TEST(PatternProperties, EveryPatternDrawsEveryLevelInBothSoftwareModes) {
  PatternPictures pictures(61, 47, 140, 110);
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (int32_t level = 1; level < 256; ++level) {
      ASSERT_EQ(pictures.Draw(type, level, kX, kY, level % 2), 0) << "pattern " << type << " level " << level;
    }
  }
}

TEST(PatternProperties, FramesKeepTheirRecordedChecksums) {
  const bool rewrite = std::getenv("KESTRUNE_REWRITE_PATTERN_GOLDENS") != nullptr;
  const pattern_test::Goldens goldens = pattern_test::ReadGoldens(kGoldenFile);
  if (!rewrite) {
    ASSERT_EQ(goldens.size(), static_cast<size_t>(kTransitionPatternCount) * 5) << kGoldenFile;
  }
  g_PatternRandomTable.reset();
  PatternPictures pictures(64, 48, 160, 120);
  std::ostringstream recorded;
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (const int32_t level : kGoldenLevels) {
      pattern_test::SeedProgramRandom(static_cast<uint32_t>(type * 1000 + level));
      ASSERT_EQ(pictures.Draw(type, level, kX, kY), 0);
      const uint32_t checksum = pictures.Checksum();
      recorded << type << ' ' << level << ' ' << std::hex << checksum << std::dec << '\n';
      if (rewrite) {
        WritePng("pattern_" + std::to_string(type) + "_" + std::to_string(level) + ".png", pictures.Dst());
        continue;
      }
      const auto found = goldens.find({type, level});
      ASSERT_NE(found, goldens.end());
      EXPECT_EQ(checksum, found->second) << "pattern " << type << " level " << level;
    }
  }
  if (rewrite) std::ofstream(kGoldenFile) << recorded.str();
}

}  // namespace
