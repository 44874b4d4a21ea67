// The wave, stretch, rotation and image-operation patterns, held to the pieces and image
// operations their formulas give, in software and on display surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "display_pattern_pictures.h"
#include "pattern_pictures.h"

namespace {

using pattern_test::DisplayPatternTest;
using pattern_test::Inside;
using pattern_test::PatternPictures;
using pattern_test::Point;
using pattern_test::RawSourcePixel;
using pattern_test::ReferenceDrawing;

int32_t Cos(int32_t angle) { return g_TrigTable->cosine[static_cast<uint32_t>(angle) & 511]; }
int32_t Sin(int32_t angle) { return Cos(angle - 128); }

// The first and one past the last drawn column of a destination row (0, 0 when none).
std::pair<int32_t, int32_t> DrawnSpan(const PatternPictures& pictures, int32_t y, int32_t width) {
  int32_t first = -1;
  int32_t last = -1;
  for (int32_t x = 0; x < width; ++x) {
    if (!pictures.Drawn(x, y)) continue;
    if (first < 0) first = x;
    last = x + 1;
  }
  return first < 0 ? std::pair{0, 0} : std::pair{first, last};
}

TEST(WavePatterns, BulgesWidenTheMiddleRowMostAndComeBackAtTheTopLevel) {
  PatternPictures pictures(640, 48, 700, 60);
  ASSERT_EQ(pictures.Draw(2, 255, 20, 5), 0);
  // f = 1 + 2/256 on the middle row: 645 wide, from 20 - trunc(2.5).
  EXPECT_EQ(DrawnSpan(pictures, 5 + 24, 700), (std::pair{18, 663}));
  EXPECT_EQ(DrawnSpan(pictures, 5, 700), (std::pair{20, 660})) << "the top row is not wider";

  for (const int32_t level : {1, 128, 255}) {
    SCOPED_TRACE(level);
    for (const bool columns : {false, true}) {
      PatternPictures small(40, 30, 200, 160);
      ASSERT_EQ(small.Draw(columns ? 3 : 2, level, 80, 60), 0);
      ReferenceDrawing expected(small);
      const int32_t count = columns ? 40 : 30;
      const int32_t length = columns ? 30 : 40;
      for (int32_t i = 0; i < count; ++i) {
        const double f = 1.0 + 2 * Cos((256 * i) / count - 128) * ((256 - level) / 256.0) / 65536;
        const auto stretched = static_cast<int32_t>(f * length);
        const auto shift = static_cast<int32_t>((f - 1.0) * (length >> 1));
        if (columns) {
          expected.Stretched({i, 0, i + 1, 30}, 1, stretched, 80 + i, 60 - shift);
        } else {
          expected.Stretched({0, i, 40, i + 1}, stretched, 1, 80 - shift, 60 + i);
        }
      }
      EXPECT_TRUE(expected.SameAsDestination()) << (columns ? "columns" : "rows");
    }
  }
}

TEST(WavePatterns, WavesShiftEveryRowByTheCosineOfItsPlace) {
  PatternPictures pictures(64, 80, 1200, 90);
  for (int32_t type = 23; type <= 26; ++type) {
    for (const int32_t level : {1, 100, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      ASSERT_EQ(pictures.Draw(type, level, 560, 5), 0);
      ReferenceDrawing expected(pictures);
      const int32_t amplitude = 255 - level;
      for (int32_t r = 0; r < 80; ++r) {
        const int32_t dx = type == 23   ? (Cos(r) * amplitude * 2) >> 16
                           : type == 24 ? (Cos(r - 256) * amplitude * 2) >> 16
                           : type == 25 ? (Cos((r % 64) * 8) * amplitude) >> 16
                                        : (Cos(8 * r - 256) * amplitude) >> 16;
        expected.Piece({0, r, 64, r + 1}, 560 + dx, 5 + r);
      }
      EXPECT_TRUE(expected.SameAsDestination());
    }
  }
  ASSERT_EQ(pictures.Draw(23, 1, 560, 5), 0);
  EXPECT_EQ(pictures.From(560 + 508, 5), (Point{0, 0})) << "the first row 508 pixels right";
  ASSERT_EQ(pictures.Draw(23, 255, 560, 5), 0);
  EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) { return Inside(dx - 560, dy - 5, 64, 80); }));
}

TEST(WavePatterns, TheCrossFadeBlendsTheWholeSourceByTheLevel) {
  for (const int32_t level : {1, 128, 255}) {
    SCOPED_TRACE(level);
    PatternPictures pictures(64, 48, 100, 80, 0xC0);
    ReferenceDrawing copy_blend(pictures);
    CImage& expected = copy_blend.Image();
    expected.BlendWeighted(&pictures.Src(), (256 - level) * 0x010101u, (level - 1) * 0x010101u, 9, 8, nullptr);
    ASSERT_EQ(pictures.Draw(53, level, 9, 8, kTransitionCopy), 0);
    EXPECT_TRUE(copy_blend.SameAsDestination());
    if (level == 1) {
      EXPECT_EQ(pictures.DrawnCount(), 0) << "source weight 0 leaves the destination";
    } else {
      // A white destination under a source pixel with red 0: red falls to the destination weight.
      EXPECT_EQ((pictures.Pixel(9, 8) >> 16) & 0xFF, static_cast<uint32_t>((255 * (256 - level) + 127) / 255));
    }

    ReferenceDrawing alpha_blend(pictures);
    alpha_blend.Image().BlendModeLevel(0, &pictures.Src(), static_cast<uint8_t>(level - 1), 9, 8, nullptr);
    ASSERT_EQ(pictures.Draw(53, level, 9, 8, kTransitionAlphaBlend), 0);
    EXPECT_TRUE(alpha_blend.SameAsDestination());
  }
}

TEST(WavePatterns, ZoomScatterThrowsFarBlocksFarther) {
  PatternPictures pictures(64, 48, 400, 300);
  for (const int32_t level : {1, 128, 255}) {
    SCOPED_TRACE(level);
    ASSERT_EQ(pictures.Draw(59, level, 160, 120), 0);
    const int64_t travel = 112 - ((112 * level) >> 8);
    const int32_t theta = 2 * (256 - level);
    ReferenceDrawing expected(pictures);
    expected.Blocks(4, 2, [&](int32_t bx, int32_t by) {
      const int64_t across = static_cast<int32_t>(static_cast<uint32_t>((bx - 32) * Cos(theta / 4)));
      const int64_t down = static_cast<int32_t>(static_cast<uint32_t>((by - 24) * Sin(theta)));
      return std::optional<Point>(Point{160 + bx + static_cast<int32_t>((across * travel) >> 24),
                                        120 + by + static_cast<int32_t>((down * travel) >> 24)});
    });
    EXPECT_TRUE(expected.SameAsDestination());
  }
}

TEST(WavePatterns, RotationsTurnTheBlocksPlacesAboutTheCentre) {
  PatternPictures pictures(64, 48, 200, 160);
  for (const auto& [type, block] : {std::pair{60, 2}, std::pair{61, 4}, std::pair{62, 8}}) {
    for (const int32_t level : {1, 100, 128, 255}) {
      SCOPED_TRACE(testing::Message() << "pattern " << type << " level " << level);
      ASSERT_EQ(pictures.Draw(type, level, 60, 50), 0);
      const int32_t c = Cos(2 * (256 - level));
      const int32_t s = Sin(2 * (256 - level));
      ReferenceDrawing expected(pictures);
      expected.Blocks(block, block, [&](int32_t bx, int32_t by) {
        const int32_t dx0 = bx - 32;
        const int32_t dy0 = by - 24;
        return std::optional<Point>(Point{60 + 32 + ((c * dx0) >> 16) - ((s * dy0) >> 16),
                                          50 + 24 + ((c * dy0) >> 16) + ((s * dx0) >> 16)});
      });
      EXPECT_TRUE(expected.SameAsDestination());
    }
  }
  // Half a turn at level 128: the block at (bx, by) lands at (w - bx, h - by), itself upright.
  ASSERT_EQ(pictures.Draw(60, 128, 60, 50), 0);
  for (int32_t by = 0; by < 48; by += 2) {
    for (int32_t bx = 0; bx < 64; bx += 2) {
      ASSERT_EQ(pictures.From(60 + 64 - bx + 1, 50 + 48 - by + 1), (Point{bx + 1, by + 1})) << bx << ", " << by;
    }
  }
}

TEST(WavePatterns, MosaicsAndTheNegativeWorkOnTheAreaTheSourceCovers) {
  PatternPictures pictures(64, 48, 120, 90);
  for (const int32_t level : {1, 100, 251, 252, 255}) {
    SCOPED_TRACE(level);
    const uint32_t block = static_cast<uint32_t>(((255 - level) >> 2) + 1);
    const plat::Rect area{20, 15, 84, 63};
    for (const auto& [type, mode] : {std::pair{68, 0}, std::pair{69, 1}}) {
      ReferenceDrawing expected(pictures);
      expected.Piece({0, 0, 64, 48}, 20, 15);
      expected.Image().Mosaic(block, static_cast<uint8_t>(mode), &area);
      ASSERT_EQ(pictures.Draw(type, level, 20, 15), 0);
      EXPECT_TRUE(expected.SameAsDestination()) << type;
      if (level >= 252) {
        EXPECT_TRUE(pictures.Matches([](int32_t dx, int32_t dy) { return Inside(dx - 20, dy - 15, 64, 48); }));
      }
    }
    ASSERT_EQ(pictures.Draw(70, level, 20, 15), 0);
    EXPECT_EQ(pictures.Pixel(20 + 5, 15 + 7), pattern_test::SourcePixel(5, 7) ^ 0x00FFFFFFu) << "a negative";
    EXPECT_EQ(pictures.Pixel(19, 15), pattern_test::kBackground) << "only the source's area";
  }
}

TEST_F(DisplayPatternTest, MosaicAndNegativeOnTheLockedTargetSurface) {
  ASSERT_EQ(DrawTransitionPattern(70, nullptr, &picture_, 100, 30, 20, 0, &screen_.Screen()), 0);
  EXPECT_EQ(BackPixel(30 + 5, 20 + 7), RawSourcePixel(5, 7) ^ 0xFFFFFFu);
  EXPECT_EQ(BackPixel(29, 20), 0xFFFFFFu);
  ClearBack();
  // Blocks of 64 centred on the 64 × 48 area: every pixel takes the first pixel of its block.
  ASSERT_EQ(DrawTransitionPattern(69, nullptr, &picture_, 1, 30, 20, 0, &screen_.Screen()), 0);
  EXPECT_EQ(BackPixel(30 + 63, 20 + 47), RawSourcePixel(0, 0));
  ClearBack();
  ASSERT_EQ(DrawTransitionPattern(68, nullptr, &picture_, 252, 30, 20, 0, &screen_.Screen()), 0);
  EXPECT_EQ(BackPixel(30 + 63, 20 + 47), RawSourcePixel(63, 47)) << "block 1: the plain source";
}

TEST_F(DisplayPatternTest, ATargetThatCannotBeLockedGetsThePlainSourceAndStatus3) {
  screen_.Screen().GetBack()->SimulateLockRefusal(true);
  EXPECT_EQ(DrawTransitionPattern(70, nullptr, &picture_, 100, 30, 20, 0, &screen_.Screen()), 3);
  EXPECT_EQ(BackPixel(30 + 5, 20 + 7), RawSourcePixel(5, 7));
  EXPECT_EQ(DrawTransitionPattern(68, nullptr, &picture_, 100, 30, 20, 0, &screen_.Screen()), 3);
  screen_.Screen().GetBack()->SimulateLockRefusal(false);
}

TEST(WavePatterns, TheLockedTargetIsWorkedInItsOwnPixelFormat) {
  // A 16-bit screen and a 32-bit texture as the source: the negative steps through the target's
  // 16-bit pixels, not through 32-bit ones that would run past its rows.
  SpriteDeviceScreen screen(16);
  plat::Surface& back = *screen.Screen().GetBack();
  ASSERT_EQ(plat::BytesPerPixel(back.Format()), 2u);
  CDDrawPicture picture(&screen.Screen());
  const plat::PixelFormat argb = plat::MakePixelFormat(plat::SurfaceFormat::kArgb8888);
  ASSERT_EQ(picture.Create(64, 48, false, true, &argb), 0u);
  ASSERT_NE(plat::BytesPerPixel(picture.GetSurface()->Format()), 2u);
  {
    plat::LockedSurface locked;
    ASSERT_EQ(back.Lock(nullptr, locked), plat::DD_OK);
    for (int32_t y = 0; y < locked.height; ++y) {
      auto* row = reinterpret_cast<uint16_t*>(locked.bits + static_cast<intptr_t>(y) * locked.pitch);
      for (int32_t x = 0; x < locked.width; ++x) row[x] = 0x1234;
    }
    ASSERT_EQ(back.Unlock(), plat::DD_OK);
  }
  ASSERT_EQ(DrawTransitionPattern(70, nullptr, &picture, 100, 300, 200, 0, &screen.Screen()), 0);
  // The picture covers (300, 200) to (320, 240) of the screen; the rest keeps its pixels.
  EXPECT_EQ(SoftwareSurfaces::Pixel(back, 299, 239), 0x1234u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(back, 300, 199), 0x1234u);
  EXPECT_EQ(SoftwareSurfaces::Pixel(back, 319, 239), SoftwareSurfaces::Pixel(back, 300, 200));
  EXPECT_EQ(SoftwareSurfaces::Pixel(back, 310, 220) ^ 0xFFFFu, 0u) << "black inverted to white";
}

}  // namespace
