// "cross" and the checks every built-in transition makes of its part and arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/filters/cross_transition.h"
#include "transition_fixture.h"

namespace {

using CrossTransitionTest = TransitionFixture;

// Each built transition with arguments it accepts on a 32-bit part; the duration comes first.
struct Accepted {
  const char* name;
  PluginArgList args;
};

TEST_F(CrossTransitionTest, EveryTransitionRefusesAZeroDurationAMissingPartAndAnotherDepth) {
  CImageCanvasEx eight;
  ASSERT_EQ(eight.Create(kWidth, kHeight, 8, CImagePart::kLayer), 0u);
  CImage rule;
  ASSERT_EQ(rule.Create(kWidth, kHeight, 8, 0), 0u);
  const auto rule_word = reinterpret_cast<std::uintptr_t>(&rule);
  for (const Accepted& c : {Accepted{"cross", {500}}, Accepted{"rule", {500, rule_word, 16}},
                            Accepted{"trans", {500, 3, 1}}, Accepted{"tone", {500, 0xFF102030, 1}},
                            Accepted{"scroll", {500, 1, 4, 0}}, Accepted{"wave", {500, 0, 4, 64, 0, 0}},
                            Accepted{"mosaic", {500, 0, 8, 1}}, Accepted{"rotaxis", {500, 2}}}) {
    SCOPED_TRACE(c.name);
    RefPtr<CTcpObject> object = g_TcpHost->CreateObject(c.name);
    auto* filter = dynamic_cast<CTransCallback*>(object.get());
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->GetName(), std::string(c.name));
    const PluginArgs view = c.args.View();
    std::vector<std::uintptr_t> words(view.words, view.words + view.count);
    words[0] = 0;
    const PluginArgs zero{words.data(), view.count};
    EXPECT_EQ(filter->SetParam(&front_, zero), CTransCallback::kMissingArgument);
    EXPECT_EQ(filter->SetParam(nullptr, view), CTransCallback::kMissingArgument);
    EXPECT_EQ(filter->SetParam(&front_, PluginArgs{nullptr, 0}), CTransCallback::kMissingArgument);
    EXPECT_EQ(filter->SetParam(&eight, view), CTransCallback::kUnfitTarget);
    EXPECT_EQ(filter->SetParam(&front_, view), CTransCallback::kAccepted);
    // Through the host, a refusal makes nothing and the part keeps no filter.
    EXPECT_EQ(CreateLayerFilterByName(&eight, c.name, 1, 1, view), kFilterNotMade);
    EXPECT_FALSE(eight.HasAttached());
  }
}

TEST_F(CrossTransitionTest, OverHalfASecondTheOldPictureFadesExactlyIntoTheNew) {
  CTransCallback& filter = Start("cross", {500});
  auto& cross = dynamic_cast<CCrossTransition&>(filter);
  EXPECT_EQ(filter.GetFlags(), CScreenTransition::kAllowsStrips);
  EXPECT_EQ(Differences(Frame(filter, 7000), *front_.GetImage()), 0) << "0 ms: the old picture";
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning);

  // Half time: (250 × 255) / 500 = 127, each pixel the engine's own blend at that level.
  const CImage& half = Frame(filter, 7250);
  EXPECT_EQ(cross.Level(), 127);
  CImage expected;
  ASSERT_EQ(expected.Create(kWidth, kHeight, 32, 0), 0u);
  Paint(expected, kOld);
  ASSERT_EQ(expected.BlendLevel(back_.GetImage(), 127, 0, 0, nullptr), 0u);
  EXPECT_EQ(Differences(half, expected), 0);
  EXPECT_NE(Differences(half, *front_.GetImage()), 0);

  Frame(filter, 7499);
  EXPECT_EQ(cross.Level(), 254);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateRunning) << "not finished before 255";
  EXPECT_EQ(Differences(Frame(filter, 7500), *back_.GetImage()), 0) << "500 ms: the new picture";
  EXPECT_EQ(cross.Level(), 255);
  EXPECT_EQ(filter.GetState(), CTransCallback::kStateFinished);
  EXPECT_EQ(Differences(Frame(filter, 9000), *back_.GetImage()), 0);
}

TEST_F(CrossTransitionTest, TheLevelIsTakenInUnsignedArithmeticFromTheFirstUpdate) {
  EXPECT_EQ(FadeLevel(0, 500), 0);
  EXPECT_EQ(FadeLevel(1, 1), 255);
  EXPECT_EQ(FadeLevel(600, 500), 255) << "a quotient of 256 or more is 255";
  EXPECT_EQ(FadeLevel(1000, 1000), 255);
  // The clock wrapping between the start and now still gives the elapsed time.
  CTransCallback& filter = Start("cross", {1000});
  auto& cross = dynamic_cast<CCrossTransition&>(filter);
  filter.Advance(0xFFFFFF00u);
  filter.Advance(0x00000100u);
  EXPECT_EQ(cross.Level(), (512u * 255u) / 1000u);
}

}  // namespace
