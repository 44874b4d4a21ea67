// "rotaxis": the old picture turning away, edge-on at the quarter turn, then the new picture
// turning in the right way round, and the tables it needs.
#include <gtest/gtest.h>

#include "effects/filters/rotaxis_filter.h"
#include "transition_fixture.h"

namespace {

class RotAxisFilterTest : public TransitionFixture {
 protected:
  // The picture column that a pixel shows (its green byte over 7), and its tag.
  static std::int32_t ColumnOf(std::uint32_t pixel) { return static_cast<std::int32_t>((pixel >> 8) & 0xFF) / 7; }
  static std::uint32_t TagOf(std::uint32_t pixel) { return (pixel >> 16) & 0xFF; }
};

TEST_F(RotAxisFilterTest, TheQuarterTurnIsEdgeOnAndTheSecondHalfShowsTheNewPictureUnmirrored) {
  for (const std::uint32_t axis : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(axis);
    auto& rotaxis = dynamic_cast<CRotAxisFilter&>(Start("rotaxis", {512, axis}));
    EXPECT_EQ(rotaxis.GetFlags(), 0u);
    EXPECT_EQ(Differences(Frame(rotaxis, 1000), *front_.GetImage()), 0) << "angle 0: the whole old picture";

    const CImage& away = Frame(rotaxis, 1100);  // angle 50
    int old_pixels = 0;
    int black = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) {
        const std::uint32_t pixel = Pixel(away, x, y);
        old_pixels += TagOf(pixel) == kOld ? 1 : 0;
        black += pixel == 0 ? 1 : 0;
      }
    }
    EXPECT_EQ(old_pixels + black, kWidth * kHeight) << "the old picture on black";
    EXPECT_GT(black, 0);
    EXPECT_GT(old_pixels, kWidth * kHeight / 2);

    const CImage& edge = Frame(rotaxis, 1256);
    ASSERT_EQ(rotaxis.Angle(), 128u);
    int lit = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) lit += Pixel(edge, x, y) != 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 0) << "edge-on: nothing of either picture";

    // Angle 220: the new picture, its first columns on the left and its last on the right.
    const CImage& back = Frame(rotaxis, 1440);
    const std::int32_t y = kHeight / 2;
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (std::int32_t x = 0; x < kWidth; ++x) {
      if (Pixel(back, x, y) == 0) continue;
      EXPECT_EQ(TagOf(Pixel(back, x, y)), kNew) << x;
      if (first < 0) first = x;
      last = x;
    }
    ASSERT_GE(first, 0);
    if (axis < 2) {
      EXPECT_LT(ColumnOf(Pixel(back, first, y)), 4);
      EXPECT_GT(ColumnOf(Pixel(back, last, y)), kWidth - 6);
    } else {
      EXPECT_EQ(ColumnOf(Pixel(back, first, y)), first) << "turning about the horizontal axis keeps the columns";
      const std::uint32_t top = Pixel(back, kWidth / 2, 0);
      EXPECT_TRUE(top == 0 || ((top & 0xFF) / 13) < 4u) << "and the top rows stay on top";
    }
    EXPECT_EQ(Differences(Frame(rotaxis, 1512), *back_.GetImage()), 0) << "angle 256: the whole new picture";
    EXPECT_EQ(rotaxis.GetState(), CTransCallback::kStateFinished);
  }
}

TEST_F(RotAxisFilterTest, WithoutTheTrigonometricTablesItIsRefused) {
  g_TrigTable = nullptr;
  CRotAxisFilter rotaxis;
  EXPECT_EQ(rotaxis.SetParam(&front_, Args({512, 0})), CTransCallback::kMissingTable);
}

}  // namespace
