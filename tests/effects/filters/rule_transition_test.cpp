// "rule": the new picture appears where a left-to-right ramp rule lies below the level's
// progress, with a band as wide as the soft edge, or a hard edge without one.
#include <gtest/gtest.h>

#include <string>

#include "effects/filters/rule_transition.h"
#include "transition_fixture.h"

namespace {

class RuleTransitionTest : public TransitionFixture {
 protected:
  void SetUp() override {
    TransitionFixture::SetUp();
    // Rule value 8x in column x: 0 on the left to 248 on the right.
    ASSERT_EQ(ramp_.Create(kWidth, kHeight, 8, 0), 0u);
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) ramp_.GetRowPointer(y)[x] = static_cast<std::uint8_t>(x * 8);
    }
  }
  static std::uintptr_t Word(CImage& image) { return reinterpret_cast<std::uintptr_t>(&image); }

  // Per column of row 5: 'N' the new picture, 'O' the old one, '~' a blend of both.
  std::string Columns(const CImage& image) const {
    std::string columns;
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::uint32_t pixel = Pixel(image, x, 5);
      columns += pixel == Coded(kNew, x, 5) ? 'N' : pixel == Coded(kOld, x, 5) ? 'O' : '~';
    }
    return columns;
  }

  CImage ramp_;
};

TEST_F(RuleTransitionTest, AtLevel128TheNewPictureIsOnTheLeftAndTheOldOnTheRightWithABandOfTheVague) {
  CTransCallback& filter = Start("rule", {1000, Word(ramp_), 64});
  EXPECT_EQ(Columns(Frame(filter, 3000)), std::string(kWidth, 'O')) << "0 ms";
  // (502 × 255) / 1000 = 128: progress 129 through the rule, the band over rule values 128 to 191.
  EXPECT_EQ(Columns(Frame(filter, 3502)), std::string(17, 'N') + std::string(7, '~') + std::string(8, 'O'));
  EXPECT_EQ(dynamic_cast<CRuleTransition&>(filter).Level(), 128);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning);
  EXPECT_EQ(Differences(Frame(filter, 4000), *back_.GetImage()), 0) << "the end: the new picture";
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
}

TEST_F(RuleTransitionTest, AVagueOfZeroDrawsAHardEdge) {
  CTransCallback& filter = Start("rule", {1000, Word(ramp_), 0});
  EXPECT_EQ(Columns(Frame(filter, 3000)), std::string(kWidth, 'O'));
  EXPECT_EQ(Columns(Frame(filter, 3502)), std::string(17, 'N') + std::string(15, 'O'));
  EXPECT_EQ(Columns(Frame(filter, 3250)), std::string(8, 'N') + std::string(24, 'O')) << "level 63: rule values up to 62";
}

TEST_F(RuleTransitionTest, TheRuleImageIsReadAtTheAreasOwnPlace) {
  CTransCallback& filter = Start("rule", {1000, Word(ramp_), 0});
  filter.Advance(3000);
  filter.Advance(3502);
  // A strip of the right half: its columns keep the rule values of their own place.
  filter.RenderStrip(plat::Rect{16, 0, kWidth, kHeight});
  const CImage& work = *front_.GetWorkImage();
  EXPECT_EQ(Pixel(work, 16, 5), Coded(kNew, 16, 5));
  EXPECT_EQ(Pixel(work, 17, 5), Coded(kOld, 17, 5));
}

TEST_F(RuleTransitionTest, ARuleImageThatIsNotEightBitsOrNoneIsRefused) {
  CImage wide;
  ASSERT_EQ(wide.Create(kWidth, kHeight, 32, 0), 0u);
  CRuleTransition rule;
  EXPECT_EQ(rule.SetParam(&front_, Args({1000, Word(wide), 16})), CTransCallback::kUnfitTarget);
  EXPECT_EQ(rule.SetParam(&front_, Args({1000, 0, 16})), CTransCallback::kUnfitTarget);
  EXPECT_EQ(CreateLayerFilterByName(&front_, "rule", 1, 1, Args({1000, Word(wide), 16})), kFilterNotMade);
  EXPECT_FALSE(front_.HasAttached());
  EXPECT_EQ(rule.SetParam(&front_, Args({1000, Word(ramp_), 16})), CTransCallback::kAccepted);
}

}  // namespace
