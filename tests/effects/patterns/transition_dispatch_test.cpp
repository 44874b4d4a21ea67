// The wipe dispatcher and the frame every pattern shares: the checks of the pictures and the
// settled mode, the ends of the level, the pattern number, the trigonometric tables and the
// pattern random table.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <utility>

#include "effects/patterns/pattern_random.h"
#include "effects/patterns/transition_patterns.h"
#include "display_pattern_pictures.h"
#include "pattern_pictures.h"
#include "support/fake_clock.h"
#include "support/software_surfaces.h"

namespace {

using pattern_test::Inside;
using pattern_test::PatternPictures;
using pattern_test::Point;
using pattern_test::DisplayPatternTest;
using pattern_test::RawSourcePixel;

constexpr int32_t kTurningPatterns[] = {2, 3, 23, 24, 25, 26, 57, 58, 59, 60, 61, 62, 63, 83, 84};
constexpr int32_t kRandomPatterns[] = {4, 5, 6, 7, 8, 9, 10, 20};
constexpr int32_t kTablePatterns[] = {54, 55, 56, 57, 63, 64, 65, 66, 67};

TEST(TransitionDispatch, LevelsBelowOneDrawNothingInEveryPattern) {
  PatternPictures pictures;
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (const int32_t level : {0, -1, INT_MIN}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      for (const int32_t mode : {0, 1}) {
        EXPECT_EQ(pictures.Draw(type, level, 3, 4, mode), 0);
        EXPECT_EQ(pictures.DrawnCount(), 0);
      }
    }
  }
}

TEST(TransitionDispatch, FullLevelDrawsTheWholeSourcePlainlyInEveryPattern) {
  PatternPictures pictures;
  const int32_t w = pictures.SrcWidth();
  const int32_t h = pictures.SrcHeight();
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (const int32_t level : {256, 1000, INT_MAX}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      EXPECT_EQ(pictures.Draw(type, level, 10, 7), 0);
      EXPECT_TRUE(pictures.Matches([&](int32_t dx, int32_t dy) { return Inside(dx - 10, dy - 7, w, h); }));
    }
  }
}

TEST(TransitionDispatch, ASourcePlacedBeyondReachDrawsNothingInEveryPattern) {
  PatternPictures pictures;
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    for (const auto& [x, y] : {std::pair{INT_MAX, 0}, std::pair{0, INT_MIN}, std::pair{(1 << 28) + 1, 5}}) {
      for (const int32_t level : {1, 128, 255, 256}) {
        SCOPED_TRACE(testing::Message() << "pattern " << type << " at " << x << ", " << y << " level " << level);
        EXPECT_EQ(pictures.Draw(type, level, x, y), 0);
        EXPECT_EQ(pictures.DrawnCount(), 0);
      }
    }
  }
  // Just within reach the patterns run their arithmetic and draw nothing on this destination.
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    EXPECT_EQ(pictures.Draw(type, 128, 1 << 28, -(1 << 28)), 0) << type;
  }
  EXPECT_EQ(pictures.DrawnCount(), 0);
}

TEST(TransitionDispatch, BadPatternNumbersAreCheckedAfterThePictures) {
  PatternPictures pictures;
  for (const int32_t type : {87, -1, 1000, INT_MIN}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(pictures.Draw(type, 128), -1);
    EXPECT_EQ(DrawTransitionPattern(type, &pictures.Dst(), nullptr, 128, 0, 0, 0, nullptr), 1);
    EXPECT_EQ(DrawTransitionPattern(type, nullptr, &pictures.Src(), 128, 0, 0, 0, nullptr), 1);
  }
  EXPECT_EQ(pictures.DrawnCount(), 0);
}

TEST(TransitionDispatch, TwoSoftwareImagesKeepTheAlphaBlend) {
  PatternPictures pictures(64, 48, 160, 120, 0x80);
  CImage expected;
  ASSERT_EQ(expected.Create(160, 120, 32, 0), 0u);
  pattern_test::FillImage(expected, [](int32_t, int32_t) { return pattern_test::kBackground; });
  ASSERT_EQ(expected.AlphaBlend(&pictures.Src(), 5, 6, nullptr, false), 0u);
  ASSERT_EQ(pictures.Draw(12, 256, 5, 6, kTransitionAlphaBlend), 0);
  for (int32_t y = 0; y < 120; ++y) {
    for (int32_t x = 0; x < 160; ++x) {
      ASSERT_EQ(pictures.Pixel(x, y), reinterpret_cast<const uint32_t*>(expected.GetRowPointer(y))[x]) << x << ", " << y;
    }
  }
  EXPECT_NE(pictures.Pixel(5, 6), pattern_test::SourcePixel(0, 0, 0x80)) << "blended, not copied";
}

TEST(TransitionDispatch, AnImageBaseThatIsNoCompositingImageIsRefused) {
  PatternPictures pictures;
  CImageBase bare;
  ASSERT_EQ(bare.Create(8, 8, 32, false), 0u);
  EXPECT_EQ(DrawTransitionPattern(12, &pictures.Dst(), &bare, 256, 0, 0, 0, nullptr), 1);
  EXPECT_EQ(DrawTransitionPattern(12, &bare, &pictures.Src(), 256, 0, 0, 0, nullptr), 1);
}

TEST_F(DisplayPatternTest, PicturesOfMixedKindsAreRefused) {
  EXPECT_EQ(DrawTransitionPattern(12, &software_.Dst(), &picture_, 256, 0, 0, 0, nullptr), 1);
  EXPECT_EQ(DrawTransitionPattern(12, &picture_, &software_.Src(), 256, 0, 0, 0, nullptr), 1);
  EXPECT_EQ(DrawTransitionPattern(12, nullptr, &software_.Src(), 256, 0, 0, 0, &screen_.Screen()), 1);
  EXPECT_EQ(DrawTransitionPattern(87, nullptr, nullptr, 256, 0, 0, 0, &screen_.Screen()), 1);
  EXPECT_EQ(DrawTransitionPattern(87, nullptr, &picture_, 256, 0, 0, 0, &screen_.Screen()), -1);
  EXPECT_EQ(software_.DrawnCount(), 0);
  EXPECT_TRUE(BackUntouched());
}

TEST_F(DisplayPatternTest, AnExtraTargetTakesNoDestinationAndTurnsEveryModeIntoBlits) {
  for (const int32_t mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    ClearBack();
    ASSERT_EQ(DrawTransitionPattern(12, nullptr, &picture_, 256, 30, 20, mode, &screen_.Screen()), 0);
    for (int32_t y = 0; y < 240; ++y) {
      for (int32_t x = 0; x < 320; ++x) {
        const bool inside = x >= 30 && x < 94 && y >= 20 && y < 68;
        ASSERT_EQ(BackPixel(x, y), inside ? RawSourcePixel(x - 30, y - 20) : 0xFFFFFFu) << x << ", " << y;
      }
    }
  }
  // Below level 256 the pieces go to the back surface too: every eighth column of the blinds.
  ClearBack();
  ASSERT_EQ(DrawTransitionPattern(35, nullptr, &picture_, 1, 30, 20, 0, &screen_.Screen()), 0);
  for (int32_t x = 30; x < 94; ++x) {
    EXPECT_EQ(BackPixel(x, 40), (x - 30) % 8 == 0 ? RawSourcePixel(x - 30, 20) : 0xFFFFFFu) << x;
  }
}

TEST_F(DisplayPatternTest, TwoDisplayPicturesDrawIntoTheDestinationsSurface) {
  CDDrawPicture destination(&screen_.Screen());
  ASSERT_EQ(destination.Create(100, 80, false, false, nullptr), 0u);
  pattern_test::WriteSurface(*destination.GetSurface(), [](int32_t, int32_t) { return 0xFFFFFFu; });
  ASSERT_EQ(DrawTransitionPattern(85, &destination, &picture_, 128, 10, 5, 0, nullptr), 0);
  // The split at level 128: columns 16 to 31 at the left edge, 32 to 47 at the right edge.
  for (int32_t x = 0; x < 100; ++x) {
    const uint32_t want = x >= 10 && x < 26   ? RawSourcePixel(x - 10 + 16, 5)
                          : x >= 58 && x < 74 ? RawSourcePixel(x - 58 + 32, 5)
                                              : 0xFFFFFFu;
    EXPECT_EQ(SoftwareSurfaces::Pixel(*destination.GetSurface(), x, 10), want) << x;
  }
}

TEST_F(DisplayPatternTest, TheCrossFadeOfDisplaySurfacesWaitsForTheFullLevel) {
  for (const int32_t level : {1, 128, 255}) {
    EXPECT_EQ(DrawTransitionPattern(53, nullptr, &picture_, level, 0, 0, 0, &screen_.Screen()), -1);
  }
  EXPECT_TRUE(BackUntouched());
  EXPECT_EQ(DrawTransitionPattern(53, nullptr, &picture_, 256, 0, 0, 0, &screen_.Screen()), 0);
  EXPECT_EQ(BackPixel(63, 47), RawSourcePixel(63, 47));
}

TEST(TransitionDispatch, TurningPatternsNeedTheTrigonometricTables) {
  PatternPictures pictures;
  g_TrigTable = nullptr;
  const std::set<int32_t> turning(std::begin(kTurningPatterns), std::end(kTurningPatterns));
  for (int32_t type = 0; type < kTransitionPatternCount; ++type) {
    SCOPED_TRACE(type);
    if (turning.count(type) == 0) {
      EXPECT_NE(pictures.Draw(type, 200), 1);
      continue;
    }
    EXPECT_EQ(pictures.Draw(type, 200), 1);
    EXPECT_EQ(pictures.DrawnCount(), 0);
    EXPECT_EQ(pictures.Draw(type, 256), 0) << "the whole source needs no tables";
    EXPECT_EQ(pictures.Draw(type, 0), 0);
  }
}

TEST(PatternRandomTable, HoldsTheFirstDrawsAfterSeedZeroAndReseedsFromTheClock) {
  ScopedFakeClock clock;
  clock.SetMilliseconds(123456);
  g_PatternRandomTable.reset();
  ASSERT_TRUE(BuildPatternRandomTable());
  ASSERT_TRUE(g_PatternRandomTable);
  CSubtractiveGenerator from_zero(0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ((*g_PatternRandomTable)[i], from_zero.Next() & 0xFF) << i;

  CSubtractiveGenerator from_clock(123456);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(NextPatternRandom(), from_clock.Next()) << i;

  // Built once: a second build leaves the table and the generator alone.
  const PatternRandomTable* table = g_PatternRandomTable.get();
  const SubtractiveTable state = g_SubtractiveState;
  clock.SetMilliseconds(7);
  ASSERT_TRUE(BuildPatternRandomTable());
  EXPECT_EQ(g_PatternRandomTable.get(), table);
  EXPECT_EQ(g_SubtractiveState, state);
}

TEST(PatternRandomTable, TablePatternsDrawTheSamePictureInEveryCall) {
  PatternPictures pictures;
  for (const int32_t type : kTablePatterns) {
    for (const int32_t level : {77, 150, 230}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      g_PatternRandomTable.reset();
      ASSERT_EQ(pictures.Draw(type, level, 40, 30), 0);
      const uint32_t first = pictures.Checksum();
      pattern_test::SeedProgramRandom(99);
      ASSERT_EQ(pictures.Draw(type, level, 40, 30), 0);
      EXPECT_EQ(pictures.Checksum(), first);
      EXPECT_GT(pictures.DrawnCount(), 0);
    }
  }
}

TEST(PatternRandomTable, RandomPatternsDifferBetweenCallsAndAgreeAfterReseeding) {
  PatternPictures pictures;
  for (const int32_t type : kRandomPatterns) {
    SCOPED_TRACE(type);
    pattern_test::SeedProgramRandom(4242);
    ASSERT_EQ(pictures.Draw(type, 128, 40, 30), 0);
    const uint32_t first = pictures.Checksum();
    ASSERT_EQ(pictures.Draw(type, 128, 40, 30), 0);
    EXPECT_NE(pictures.Checksum(), first);
    pattern_test::SeedProgramRandom(4242);
    ASSERT_EQ(pictures.Draw(type, 128, 40, 30), 0);
    EXPECT_EQ(pictures.Checksum(), first);
  }
}

}  // namespace
