// "sp_gfade": its set-up results, the half-revealed sprite with its gradient edge, the four
// directions, the end that shows the sprite whole, and pauses.
#include <gtest/gtest.h>

#include <cstdint>

#include "base/time/timer_manager.h"
#include "effects/sprite/sp_gfade_effect.h"
#include "gfx/image_operations/color_ramp.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "support/fake_clock.h"
#include "support/scoped_pixel_library.h"

namespace {

constexpr std::uint8_t kAlpha = 200;
constexpr std::int32_t kWidth = 100;
constexpr std::int32_t kHeight = 50;
constexpr std::int32_t kSpriteX = 30;
constexpr std::int32_t kSpriteY = 40;

std::uintptr_t Word(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// A 100 x 50 sprite at (30, 40) whose picture carries alpha 200 everywhere.
class SpGfadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(picture_.Create(kWidth, kHeight, 32, 0), 0u);
    for (std::int32_t y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(picture_.GetRowPointer(y));
      for (std::int32_t x = 0; x < kWidth; ++x) row[x] = std::uint32_t{kAlpha} << 24 | 0x112233;
    }
    ASSERT_EQ(sprite_.SetImage(&picture_, nullptr, kSpriteX, kSpriteY), 0u);
  }
  void TearDown() override { timers_.RemoveAll(); }

  // Sets the effect up at 1000 ms and gives it its first update there: the Setup result.
  std::int32_t Start(std::uint32_t duration, std::uint32_t direction, std::uint32_t gradient, const void* target,
                     const char* acceleration = nullptr) {
    effect_ = new CSpGfadeEffect;
    effect_->SetOwnerReference(reinterpret_cast<CEffect**>(&effect_));
    const std::int32_t result = effect_->Setup(
        &timers_, nullptr, PluginArgList{Word(target), duration, direction, gradient, Word(acceleration)}.View());
    if (result != CEffect::kRunning) {
      delete effect_;
      return result;
    }
    timers_.Dispatch(1000);
    return result;
  }
  std::uint8_t AlphaAt(std::int32_t x, std::int32_t y) const {
    return static_cast<std::uint8_t>(reinterpret_cast<const std::uint32_t*>(picture_.GetRowPointer(y))[x] >> 24);
  }
  // The sprite shows the whole picture at its own place, every alpha as it was.
  void ExpectWhole() const {
    EXPECT_TRUE(sprite_.IsEnabled());
    const plat::Rect& rect = sprite_.GetSourceRect();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, kWidth);
    EXPECT_EQ(rect.bottom, kHeight);
    EXPECT_EQ(sprite_.GetX(), kSpriteX);
    EXPECT_EQ(sprite_.GetY(), kSpriteY);
    for (std::int32_t y = 0; y < kHeight; ++y) {
      for (std::int32_t x = 0; x < kWidth; ++x) ASSERT_EQ(AlphaAt(x, y), kAlpha) << x << ", " << y;
    }
  }

  ScopedFakeClock clock_;
  ScopedPixelLibrary library_;
  CTimerManager timers_;
  CSpGfadeEffect* effect_ = nullptr;
  CImage picture_;
  CSprite sprite_;
};

TEST_F(SpGfadeTest, SetupRefusesAnythingButAPlainSprite) {
  CColorBox box;
  EXPECT_EQ(Start(1000, 0, 10, &box), CSpGfadeEffect::kSetupBadArguments);
  EXPECT_EQ(Start(1000, 0, 10, nullptr), CSpGfadeEffect::kSetupBadArguments);
  EXPECT_EQ(Start(1000, 0, 1, &sprite_), CSpGfadeEffect::kSetupNoRamp) << "a ramp needs two steps";
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_TRUE(sprite_.IsEnabled());
}

TEST_F(SpGfadeTest, DirectionZeroAtHalfTimeShowsTheLeftHalfBehindARamp) {
  constexpr std::uint32_t kGradient = 10;
  ASSERT_EQ(Start(1000, 0, kGradient, &sprite_), CEffect::kRunning);
  EXPECT_FALSE(sprite_.IsEnabled()) << "nothing drawn before the first step";
  timers_.Dispatch(1500);
  // The travel is the width plus the gradient: half of 110 columns is 55, the ramp's 10
  // columns end there.
  ASSERT_TRUE(sprite_.IsEnabled());
  EXPECT_EQ(sprite_.GetSourceRect().left, 0);
  EXPECT_EQ(sprite_.GetSourceRect().right, 55);
  EXPECT_EQ(sprite_.GetX(), kSpriteX);
  CColorRamp ramp;
  ASSERT_EQ(ramp.Build(kGradient, 255, 0, 8), 0u);
  for (std::int32_t y : {0, kHeight - 1}) {
    EXPECT_EQ(AlphaAt(44, y), kAlpha);
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(kGradient); ++i) {
      const std::uint32_t expected = (kAlpha * ramp.GetEntry(static_cast<std::uint32_t>(i)) + 127) / 255;
      EXPECT_EQ(AlphaAt(45 + i, y), expected) << i;
    }
    EXPECT_EQ(AlphaAt(55, y), kAlpha) << "past the edge the picture is untouched";
  }
  EXPECT_GT(AlphaAt(45, 0), AlphaAt(54, 0)) << "the ramp clears towards the edge";

  // The next step puts the strip back before it fades the next one.
  timers_.Dispatch(1600);
  EXPECT_EQ(sprite_.GetSourceRect().right, 66);
  EXPECT_EQ(AlphaAt(45, 0), kAlpha);
  EXPECT_LT(AlphaAt(65, 0), AlphaAt(56, 0));

  timers_.Dispatch(2000);
  EXPECT_EQ(effect_, nullptr) << "ended and deleted";
  ExpectWhole();
}

TEST_F(SpGfadeTest, FarSidesMoveTheSpriteSoThatTheShownPartStays) {
  struct Case {
    std::uint32_t direction;
    plat::Rect shown;
    std::int32_t x, y;
  };
  // Half of the width (height) plus a gradient of 10; directions above 3 count as 3.
  const Case cases[] = {
      {1, {45, 0, kWidth, kHeight}, kSpriteX + 45, kSpriteY},
      {2, {0, 0, kWidth, 30}, kSpriteX, kSpriteY},
      {3, {0, 20, kWidth, kHeight}, kSpriteX, kSpriteY + 20},
      {9, {0, 20, kWidth, kHeight}, kSpriteX, kSpriteY + 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.direction);
    ASSERT_EQ(Start(1000, c.direction, 10, &sprite_), CEffect::kRunning);
    timers_.Dispatch(1500);
    const plat::Rect& rect = sprite_.GetSourceRect();
    EXPECT_EQ(rect.left, c.shown.left);
    EXPECT_EQ(rect.top, c.shown.top);
    EXPECT_EQ(rect.right, c.shown.right);
    EXPECT_EQ(rect.bottom, c.shown.bottom);
    EXPECT_EQ(sprite_.GetX(), c.x);
    EXPECT_EQ(sprite_.GetY(), c.y);
    // The far sides' ramps clear towards the edge, which is on their near side.
    if (c.direction == 1) {
      EXPECT_LT(AlphaAt(45, 0), AlphaAt(54, 0));
    } else if (c.direction != 2) {
      EXPECT_LT(AlphaAt(0, 20), AlphaAt(0, 29));
    }
    effect_->Stop();
    ExpectWhole();
    timers_.RemoveAll();
  }
}

TEST_F(SpGfadeTest, ShortDurationsEndAtOnce) {
  ASSERT_EQ(Start(0, 0, 10, &sprite_), CSpGfadeEffect::kEndedAtOnce);
  ExpectWhole();
  ASSERT_EQ(Start(1, 0, 10, &sprite_), CEffect::kRunning);
  EXPECT_FALSE(sprite_.IsEnabled());
  timers_.Dispatch(1001);
  EXPECT_EQ(effect_, nullptr);
  ExpectWhole();
}

TEST_F(SpGfadeTest, APauseHoldsTheEdgeWhereItWas) {
  ASSERT_EQ(Start(1000, 0, 0, &sprite_), CEffect::kRunning);
  timers_.Dispatch(1200);
  EXPECT_EQ(sprite_.GetSourceRect().right, 20) << "a hard edge travels the width alone";
  clock_.SetMilliseconds(1200);
  timers_.PauseAll(kTimedTaskSpriteEffect);
  timers_.Dispatch(1500);
  clock_.SetMilliseconds(1700);
  timers_.ResumeAll(kTimedTaskSpriteEffect);
  timers_.Dispatch(1700);
  EXPECT_EQ(sprite_.GetSourceRect().right, 20);
  timers_.Dispatch(1800);
  EXPECT_EQ(sprite_.GetSourceRect().right, 30);
  timers_.Dispatch(2400);
  EXPECT_NE(effect_, nullptr) << "the paused half second is added to the end";
  timers_.Dispatch(2500);
  EXPECT_EQ(effect_, nullptr);
  ExpectWhole();
}

}  // namespace
