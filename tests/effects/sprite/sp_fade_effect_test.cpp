// The sprite fade: its set-up, fades in and out with delays and glides, the end states, the
// priority hooks of a running period, and pauses on its timer manager.
#include <gtest/gtest.h>

#include <memory>

#include "base/system/app_hooks.h"
#include "base/time/timer_manager.h"
#include "effects/sprite/sp_fade_effect.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"

namespace {

int g_lowered = 0;
int g_restored = 0;

class SpFadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lowered = g_restored = 0;
    g_LowerPriorityHook = [] { return ++g_lowered; };
    g_RestorePriorityHook = [] { return ++g_restored; };
    fade_ = new CSpFadeEffect;
    fade_->SetOwnerReference(&fade_);
    ASSERT_EQ(fade_->Setup(&timers_, nullptr, PluginArgList{2, 0, 1}.View()), 0);
    sprite_.SetOpacity(128);
    other_.SetOpacity(255);
  }
  void TearDown() override {
    timers_.RemoveAll();
    g_LowerPriorityHook = nullptr;
    g_RestorePriorityHook = nullptr;
  }

  // Fades `sprite` in entry `index` through SetParam.
  std::int32_t Fade(std::int32_t mode, std::uint32_t index, CSprite* sprite, std::uint32_t duration,
                    std::uint32_t delay = 0) {
    return fade_->SetParam(
        PluginArgList{static_cast<std::uint32_t>(mode), index, reinterpret_cast<std::uintptr_t>(sprite), duration, delay,
                      0, 0, 0, 0}
            .View());
  }
  std::int32_t Glide(std::uint32_t index, CSprite* sprite, std::uint32_t duration, std::int32_t x, std::int32_t y,
                     std::int32_t power) {
    return fade_->SetParam(PluginArgList{1, index, reinterpret_cast<std::uintptr_t>(sprite), duration, 0, 1,
                                         static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                         static_cast<std::uint32_t>(power)}
                               .View());
  }

  ScopedFakeClock clock_;
  CTimerManager timers_;
  CSpFadeEffect* fade_ = nullptr;
  // Declared after the manager, so that a fade still running at the end finds them.
  CSprite sprite_;
  CSprite other_;
  CSprite late_;
};

TEST_F(SpFadeTest, SetupSizesTheEffectAndHandsItToTheManager) {
  EXPECT_EQ(fade_->GetTypeId(), kTimedTaskSpriteEffect);
  EXPECT_TRUE(timers_.Contains(fade_));
  CSpFadeEffect other;
  EXPECT_EQ(other.Setup(nullptr, nullptr, PluginArgList{2}.View()), CSpFadeEffect::kSetupBadArguments);
  EXPECT_EQ(other.Setup(&timers_, nullptr, PluginArgList{0}.View()), CSpFadeEffect::kSetupBadArguments);
  EXPECT_EQ(other.Setup(&timers_, nullptr, PluginArgList{0xFFFFFFFFu}.View()), CSpFadeEffect::kSetupBadArguments);
  EXPECT_EQ(fade_->Setup(&timers_, nullptr, PluginArgList{3}.View()), CSpFadeEffect::kSetupRefused)
      << "already on the manager";
}

TEST_F(SpFadeTest, AFadeOutOfAHalfShownSpriteTakesHalfTheTimeAndEndsDisabledAndOpaque) {
  ASSERT_EQ(Fade(2, 0, &sprite_, 400), 0);
  EXPECT_EQ(fade_->GetParam({}), 1);
  EXPECT_EQ(g_lowered, 1);
  timers_.Dispatch(1000);
  timers_.Dispatch(1100);
  EXPECT_EQ(sprite_.GetOpacity(), 64);
  timers_.Dispatch(1199);
  EXPECT_TRUE(sprite_.IsEnabled());
  timers_.Dispatch(1200);
  EXPECT_FALSE(sprite_.IsEnabled());
  EXPECT_EQ(sprite_.GetOpacity(), 255) << "shown whole when enabled again";
  EXPECT_EQ(fade_->GetParam({}), 1) << "idle from the next update on";
  EXPECT_EQ(g_restored, 0);
  timers_.Dispatch(1210);
  EXPECT_EQ(fade_->GetParam({}), 0);
  EXPECT_EQ(g_restored, 1);
  EXPECT_NE(fade_, nullptr) << "the effect waits for the next fade";
}

TEST_F(SpFadeTest, AFadeInOfADisabledSpriteStartsFromZeroAndShowsItWhenItsDelayHasPassed) {
  sprite_.SetEnabled(false);
  other_.SetEnabled(false);
  ASSERT_EQ(Fade(1, 0, &sprite_, 255), 0);
  ASSERT_EQ(Fade(1, 1, &other_, 255, 50), 0);
  EXPECT_EQ(g_lowered, 1) << "one lowering for the running period";
  EXPECT_EQ(sprite_.GetOpacity(), 0);
  EXPECT_EQ(other_.GetOpacity(), 0);
  timers_.Dispatch(1000);
  EXPECT_TRUE(sprite_.IsEnabled());
  EXPECT_FALSE(other_.IsEnabled());
  timers_.Dispatch(1050);
  EXPECT_EQ(sprite_.GetOpacity(), 50);
  EXPECT_FALSE(other_.IsEnabled()) << "the delay has not passed";
  timers_.Dispatch(1060);
  EXPECT_TRUE(other_.IsEnabled());
  EXPECT_EQ(other_.GetOpacity(), 10);
  timers_.Dispatch(1305);
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_EQ(other_.GetOpacity(), 255);
  EXPECT_TRUE(sprite_.IsEnabled());
  EXPECT_TRUE(other_.IsEnabled());
}

TEST_F(SpFadeTest, ABadEntryChangesNothing) {
  EXPECT_EQ(Fade(1, 2, &sprite_, 100), 1) << "an index equal to the count";
  EXPECT_EQ(Fade(1, 0xFFFFFFFFu, &sprite_, 100), 1);
  EXPECT_EQ(Fade(1, 0, nullptr, 100), 1);
  EXPECT_EQ(sprite_.GetOpacity(), 128);
  EXPECT_EQ(fade_->GetParam({}), 0);
  EXPECT_EQ(g_lowered, 0);
}

TEST_F(SpFadeTest, AFadeWithNoDistanceEndsAtOnceAtItsTarget) {
  ASSERT_EQ(Fade(1, 0, &other_, 200), 0);
  sprite_.SetOpacity(0);
  ASSERT_EQ(Fade(2, 1, &sprite_, 200), 0);
  timers_.Dispatch(1000);
  timers_.Dispatch(1000);
  EXPECT_EQ(other_.GetOpacity(), 255);
  EXPECT_TRUE(other_.IsEnabled());
  EXPECT_FALSE(sprite_.IsEnabled());
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  timers_.Dispatch(1001);
  EXPECT_EQ(fade_->GetParam({}), 0);
}

TEST_F(SpFadeTest, AGlideFollowsItsPower) {
  struct Case {
    std::int32_t power;
    std::int32_t x;
    std::int32_t y;
  };
  for (const Case& c : {Case{2, 100, -50}, Case{-2, 300, -150}, Case{0, 200, -100}}) {
    CSprite sprite;
    sprite.SetEnabled(false);
    ASSERT_EQ(Glide(0, &sprite, 400, 400, -200, c.power), 0);
    timers_.Dispatch(2000);
    timers_.Dispatch(2200);
    EXPECT_EQ(sprite.GetX(), c.x) << c.power;
    EXPECT_EQ(sprite.GetY(), c.y) << c.power;
    EXPECT_EQ(sprite.GetOpacity(), 127) << c.power;
    timers_.Dispatch(2400);
    EXPECT_EQ(sprite.GetX(), 400);
    EXPECT_EQ(sprite.GetY(), -200);
    timers_.Dispatch(2401);
  }
}

TEST_F(SpFadeTest, FinishPutsEveryFadeAtItsEndAtOnce) {
  CSprite waiting;
  waiting.SetEnabled(false);
  sprite_.SetPosition(10, 20);
  ASSERT_EQ(Glide(0, &sprite_, 400, 110, 70, 0), 0);
  ASSERT_EQ(Fade(1, 1, &waiting, 400, 1000), 0);
  timers_.Dispatch(1000);
  timers_.Dispatch(1050);
  ASSERT_NE(sprite_.GetX(), 110);
  ASSERT_EQ(fade_->SetParam(PluginArgList{0}.View()), 0);
  EXPECT_EQ(sprite_.GetX(), 110);
  EXPECT_EQ(sprite_.GetY(), 70);
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_TRUE(waiting.IsEnabled()) << "a fade-in still in its delay ends shown";
  EXPECT_EQ(waiting.GetOpacity(), 255);
  EXPECT_EQ(fade_->GetParam({}), 0);
  EXPECT_EQ(g_restored, 1);
  sprite_.SetPosition(0, 0);
  timers_.Dispatch(1100);
  EXPECT_EQ(sprite_.GetX(), 0) << "the entries let go of their sprites";

  // Stop ends a fade-out the same way.
  ASSERT_EQ(Fade(2, 0, &sprite_, 400), 0);
  timers_.Remove(fade_);
  EXPECT_EQ(fade_, nullptr);
  EXPECT_FALSE(sprite_.IsEnabled());
  EXPECT_EQ(sprite_.GetOpacity(), 255);
  EXPECT_EQ(g_lowered, 2);
  EXPECT_EQ(g_restored, 2);
}

TEST_F(SpFadeTest, AnUpdateResultOfOneEndsTheEffectAfterItsFirstUpdate) {
  auto* once = new CSpFadeEffect;
  ASSERT_EQ(once->Setup(&timers_, nullptr, PluginArgList{1, 7, 0}.View()), 0);
  timers_.Dispatch(1000);
  EXPECT_TRUE(timers_.Contains(once)) << "idle: no update result";
  ASSERT_EQ(once->SetParam(PluginArgList{2, 0, reinterpret_cast<std::uintptr_t>(&sprite_), 100}.View()), 0);
  timers_.Dispatch(1010);
  EXPECT_FALSE(timers_.Contains(once));
  EXPECT_EQ(g_lowered, 0) << "no heavy-work flag";
}

TEST_F(SpFadeTest, APauseLeavesEveryFadeWhereItWas) {
  sprite_.SetEnabled(false);
  other_.SetEnabled(false);
  ASSERT_EQ(Fade(1, 0, &sprite_, 1000), 0);
  timers_.Dispatch(1000);
  ASSERT_EQ(Fade(1, 1, &other_, 1000), 0);
  timers_.Dispatch(1100);
  timers_.Dispatch(1200);
  EXPECT_EQ(sprite_.GetOpacity(), 51);
  EXPECT_EQ(other_.GetOpacity(), 25);
  clock_.SetMilliseconds(1200);
  timers_.PauseAll(kTimedTaskSpriteEffect);
  timers_.Dispatch(1350);
  clock_.SetMilliseconds(1500);
  timers_.ResumeAll(kTimedTaskSpriteEffect);
  timers_.Dispatch(1500);
  EXPECT_EQ(sprite_.GetOpacity(), 51);
  EXPECT_EQ(other_.GetOpacity(), 25);
  timers_.Dispatch(1600);
  EXPECT_EQ(sprite_.GetOpacity(), 76);
  EXPECT_EQ(other_.GetOpacity(), 51);

  // An entry that has not started yet starts at its first update after the pause.
  late_.SetEnabled(false);
  timers_.PauseAll(-1);
  ASSERT_EQ(Fade(1, 1, &late_, 100), 0);
  clock_.SetMilliseconds(1900);
  timers_.ResumeAll(-1);
  timers_.Dispatch(1900);
  timers_.Dispatch(1950);
  EXPECT_EQ(late_.GetOpacity(), 127);
}

}  // namespace
