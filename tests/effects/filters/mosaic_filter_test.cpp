// "mosaic": blocks growing over the old picture to the largest size at half time, where the new
// picture takes over, and shrinking back to a plain copy; the partial first blocks of the anchors.
#include <gtest/gtest.h>

#include "effects/filters/mosaic_filter.h"
#include "transition_fixture.h"

namespace {

class MosaicFilterTest : public TransitionFixture {
 protected:
  // The number of pixels that are not the picture's pixel at the top-left corner of their block,
  // the blocks being `block` wide and high from a first column and row `first_x`, `first_y` wide
  // (0: whole).
  static int OffBlocks(const CImage& image, std::uint32_t tag, std::int32_t block, std::int32_t first_x,
                       std::int32_t first_y) {
    const auto corner = [block](std::int32_t v, std::int32_t first) {
      if (first != 0 && v < first) return 0;
      const std::int32_t from = first != 0 ? first : 0;
      return from + (v - from) / block * block;
    };
    int off = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        off += Pixel(image, x, y) != Coded(tag, corner(x, first_x), corner(y, first_y)) ? 1 : 0;
      }
    }
    return off;
  }
};

TEST_F(MosaicFilterTest, BlocksGrowToTheLargestAtHalfTimeWhereTheNewPictureTakesOver) {
  auto& mosaic = dynamic_cast<CMosaicFilter&>(Start("mosaic", {800, 1, 4, 0}));
  EXPECT_EQ(mosaic.GetFlags(), 0u) << "drawn in one piece";
  EXPECT_EQ(mosaic.Target(), 8);
  EXPECT_EQ(Differences(Frame(mosaic, 1000), *front_.GetImage()), 0) << "0 ms: the plain old picture";
  EXPECT_EQ(OffBlocks(Frame(mosaic, 1200), kOld, 2, 0, 0), 0) << "value 2: blocks of 2";
  EXPECT_EQ(OffBlocks(Frame(mosaic, 1399), kOld, 3, 0, 0), 0) << "value 3";
  EXPECT_EQ(OffBlocks(Frame(mosaic, 1400), kNew, 4, 0, 0), 0) << "half time: the new picture in blocks of 4";
  EXPECT_EQ(OffBlocks(Frame(mosaic, 1500), kNew, 3, 0, 0), 0) << "value 5: blocks of 3";
  EXPECT_EQ(Differences(Frame(mosaic, 1750), *back_.GetImage()), 0) << "value 7: block 1, a plain copy";
  EXPECT_EQ(mosaic.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(Differences(Frame(mosaic, 1800), *back_.GetImage()), 0);
  EXPECT_EQ(mosaic.GetState(), CTransCallback::kStateFinished);
}

TEST_F(MosaicFilterTest, ALargestBlockOfZeroUsesOne) {
  auto& mosaic = dynamic_cast<CMosaicFilter&>(Start("mosaic", {800, 1, 0, 0}));
  EXPECT_EQ(mosaic.Target(), 2);
  // Blocks below 2 copy: the whole way is plain.
  EXPECT_EQ(Differences(Frame(mosaic, 100), *front_.GetImage()), 0);
  EXPECT_EQ(Differences(Frame(mosaic, 500), *back_.GetImage()), 0);
}

TEST_F(MosaicFilterTest, TheAnchorsSetThePartialFirstBlocks) {
  struct Case {
    std::uint32_t anchor;
    std::int32_t first_x, first_y;  // for blocks of 5 over 32 × 16
  };
  // Centred: ((32 - 5) / 2) mod 5 = 3 and ((16 - 5) / 2) mod 5 = 0; right: 32 mod 5; bottom:
  // 16 mod 5; an anchor above 4 centres.
  for (const Case& c : {Case{0, 3, 0}, Case{1, 0, 0}, Case{2, 2, 0}, Case{3, 0, 1}, Case{4, 2, 1}, Case{9, 3, 0}}) {
    SCOPED_TRACE(c.anchor);
    auto& mosaic = dynamic_cast<CMosaicFilter&>(Start("mosaic", {1000, c.anchor, 10, 0}));
    mosaic.Advance(0);
    EXPECT_EQ(OffBlocks(Frame(mosaic, 250), kOld, 5, c.first_x, c.first_y), 0);
  }
}

TEST_F(MosaicFilterTest, KeepingTheAspectNarrowsTheBlocksOfAWideArea) {
  // 32 × 16 is wider than tall: blocks 4 wide and 16 × 4 / 32 = 2 high.
  auto& mosaic = dynamic_cast<CMosaicFilter&>(Start("mosaic", {800, 1, 4, 1}));
  mosaic.Advance(0);
  const CImage& work = Frame(mosaic, 400);
  EXPECT_EQ(Pixel(work, 3, 1), Coded(kNew, 0, 0));
  EXPECT_EQ(Pixel(work, 4, 1), Coded(kNew, 4, 0));
  EXPECT_EQ(Pixel(work, 3, 2), Coded(kNew, 0, 2));
}

}  // namespace
