// "trans" (the numbered patterns in one piece, forward or reversed) and "tone" (one picture
// tinted with a colour, forward or reversed).
#include <gtest/gtest.h>

#include "effects/filters/tone_filter.h"
#include "effects/patterns/pattern_transition.h"
#include "transition_fixture.h"

namespace {

using TransAndToneTest = TransitionFixture;

TEST_F(TransAndToneTest, TransRunsFrom0To256AndIsDrawnInOnePiece) {
  CTransCallback& filter = Start("trans", {400, 0, 0});
  auto& trans = dynamic_cast<CPatternTransition&>(filter);
  EXPECT_EQ(filter.GetType(), 1);
  EXPECT_EQ(filter.GetFlags(), 0u) << "an odd type is drawn in one piece";
  EXPECT_EQ(Differences(Frame(filter, 100), *front_.GetImage()), 0);
  EXPECT_EQ(trans.Level(), 0u);
  Frame(filter, 300);
  EXPECT_EQ(trans.Level(), 128u);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(Differences(Frame(filter, 500), *back_.GetImage()), 0);
  EXPECT_EQ(trans.Level(), 256u);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
}

TEST_F(TransAndToneTest, AReversedTransStartsAt256AndEndsAt0) {
  CTransCallback& filter = Start("trans", {400, 0, 1});
  auto& trans = dynamic_cast<CPatternTransition&>(filter);
  EXPECT_EQ(Differences(Frame(filter, 100), *back_.GetImage()), 0) << "level 256: the whole new picture";
  EXPECT_EQ(trans.Level(), 256u);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning) << "256 is not the reversed end";
  Frame(filter, 200);
  EXPECT_EQ(trans.Level(), 192u);
  EXPECT_EQ(Differences(Frame(filter, 900), *front_.GetImage()), 0);
  EXPECT_EQ(trans.Level(), 0u);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
}

TEST_F(TransAndToneTest, APatternThatCannotBeDrawnFailsTheApply) {
  CTransCallback& filter = Start("trans", {400, 200, 0});
  filter.Advance(100);
  filter.Advance(300);
  FilterApplyArea area{0, 0, kWidth, kHeight, front_.GetWorkImage(), 0, 0, front_.GetImage(), 0, 0,
                       back_.GetImage(), 0, 0};
  EXPECT_EQ(filter.Apply(area), CTransCallback::kRoutineFailed);
}

// The old picture tinted at the level as the library's colour routine tints it.
class ToneTest : public TransitionFixture {
 protected:
  const CImage& Tinted(std::uint32_t colour, std::uint8_t level) {
    EXPECT_EQ(tinted_.Create(kWidth, kHeight, 32, 0), 0u);
    Paint(tinted_, kOld);
    EXPECT_TRUE(library_.Routines().blend_colour(tinted_, PixelColourArgs{colour, level, nullptr, 0}).ok);
    return tinted_;
  }
  static int CountNot(const CImage& image, std::uint32_t colour) {
    int count = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) count += Pixel(image, x, y) != colour ? 1 : 0;
    }
    return count;
  }
  static constexpr std::uint32_t kTint = 0xFF204080;
  CImage tinted_;
};

TEST_F(ToneTest, ToneTintsThePartsOwnPictureUpToTheColour) {
  CTransCallback& filter = Start("tone", {1000, kTint, 0});
  auto& tone = dynamic_cast<CToneFilter&>(filter);
  EXPECT_EQ(filter.GetType(), 2);
  EXPECT_EQ(Differences(Frame(filter, 100), *front_.GetImage()), 0) << "0 ms: the picture itself";
  Frame(filter, 600);
  EXPECT_EQ(tone.Level(), 127);
  EXPECT_EQ(Differences(*front_.GetWorkImage(), Tinted(kTint, 127)), 0);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(CountNot(Frame(filter, 1100), kTint), 0) << "255: the colour alone";
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
}

TEST_F(ToneTest, AReversedToneStartsAt255AndEndsAt0) {
  CTransCallback& filter = Start("tone", {1000, kTint, 1});
  auto& tone = dynamic_cast<CToneFilter&>(filter);
  EXPECT_EQ(CountNot(Frame(filter, 100), kTint), 0);
  EXPECT_EQ(tone.Level(), 255);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning) << "its first frame is not its end";
  Frame(filter, 600);
  EXPECT_EQ(tone.Level(), 128);
  EXPECT_EQ(Differences(*front_.GetWorkImage(), Tinted(kTint, 128)), 0);
  EXPECT_EQ(Differences(Frame(filter, 1100), *front_.GetImage()), 0);
  EXPECT_EQ(tone.Level(), 0);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
}

}  // namespace
