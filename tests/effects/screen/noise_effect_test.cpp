// "noise": the texture tiled into the work image from a random pixel on, wrapping, a new start
// every 100 ms, the two sprites on the two pages and their show flags across a page swap.
#include <gtest/gtest.h>

#include <cstdint>

#include "effects/screen/noise_effect.h"
#include "scene/drawables/draw_list.h"
#include "screen_effect_fixture.h"

namespace {

using screen_test::PixelAt;

constexpr std::int32_t kNoiseWidth = 7;
constexpr std::int32_t kNoiseHeight = 5;
constexpr std::int32_t kNoisePixels = kNoiseWidth * kNoiseHeight;

// Each texture pixel holds its index in the texture.
std::uint32_t Numbered(std::int32_t x, std::int32_t y) {
  return 0xFF000000u | static_cast<std::uint32_t>(y * kNoiseWidth + x);
}

class NoiseEffectTest : public screen_test::ScreenEffectTest {
 protected:
  void SetUp() override {
    ScreenEffectTest::SetUp();
    WritePicture("SYS/NOISE.ELG", kNoiseWidth, kNoiseHeight, 0, &Numbered);
  }
  CNoiseEffect& Start(const PluginArgList& args) {
    noise_ = new CNoiseEffect;
    noise_->SetOwnerReference(&noise_);
    EXPECT_EQ(SetUpOnFront(*noise_, args), CEffect::kRunning);
    return *noise_;
  }
  // Where the work image starts reading the texture, after checking that every pixel follows
  // the one before it in the texture, wrapping after the last.
  static std::int32_t ExpectTiled(const CImage& work) {
    const std::int32_t start = static_cast<std::int32_t>(PixelAt(work, 0, 0) & 0xFFFFFF);
    int mismatches = 0;
    for (std::int32_t y = 0; y < work.GetHeight(); ++y) {
      for (std::int32_t x = 0; x < work.GetWidth(); ++x) {
        const std::int32_t index = (start + y * work.GetWidth() + x) % kNoisePixels;
        mismatches += PixelAt(work, x, y) != (0xFF000000u | static_cast<std::uint32_t>(index)) ? 1 : 0;
      }
    }
    EXPECT_EQ(mismatches, 0);
    return start;
  }

  CNoiseEffect* noise_ = nullptr;
};

TEST_F(NoiseEffectTest, ASmallTextureWrapsAcrossTheScreenFromARandomPixelAndMovesEvery100Ms) {
  const CNoiseEffect& noise = Start({128, 700, 1, 1});
  EXPECT_EQ(noise.WorkImage().GetWidth(), kWidth);
  EXPECT_EQ(noise.WorkImage().GetHeight(), kHeight);
  std::int32_t starts_seen = 0;
  std::int32_t last = ExpectTiled(noise.WorkImage());
  for (std::uint32_t at = 100; at <= 1000; at += 100) {
    RunAt(at);
    const std::int32_t start = ExpectTiled(noise.WorkImage());
    starts_seen += start != last ? 1 : 0;
    last = start;
  }
  EXPECT_GE(starts_seen, 7) << "a new random start nearly every step";
  ASSERT_NE(noise_, nullptr) << "it runs until stopped";
  for (std::size_t page = 0; page < 2; ++page) {
    EXPECT_EQ(noise.SpriteMadeFor(page).GetOpacity(), 128);
    EXPECT_TRUE(noise.SpriteMadeFor(page).IsEnabled());
  }
  EXPECT_EQ(noise.SpriteMadeFor(0).GetOwnerList(), &First().GetOwnList());
  EXPECT_EQ(noise.SpriteMadeFor(1).GetOwnerList(), &Second().GetOwnList());
  EXPECT_EQ(First().GetOwnList().Nodes().front().priority, 700u);
  timers_.Remove(noise_);
}

TEST_F(NoiseEffectTest, TheShowFlagsFollowThePagesAcrossASwapAndStopHidesBoth) {
  CNoiseEffect& noise = Start({255, 0, 1, 0});
  EXPECT_TRUE(noise.SpriteMadeFor(0).IsEnabled());
  EXPECT_FALSE(noise.SpriteMadeFor(1).IsEnabled());
  front_.SwapLayers(back_);
  // The sprite made for the second page now lies in the front part's layer.
  EXPECT_EQ(noise.SetParam(PluginArgList{1, 0}.View()), 0);
  EXPECT_TRUE(noise.SpriteMadeFor(1).IsEnabled());
  EXPECT_FALSE(noise.SpriteMadeFor(0).IsEnabled());
  noise.Stop();
  EXPECT_FALSE(noise.SpriteMadeFor(1).IsEnabled());
  timers_.Remove(noise_);
  EXPECT_EQ(noise_, nullptr);
}

TEST_F(NoiseEffectTest, AMissingPictureGeneratorOrPartnerIsRefusedWithItsCode) {
  CNoiseEffect noise;
  const PluginArgList args{255, 0, 1, 1};
  EXPECT_EQ(noise.Setup(&timers_, static_cast<CImagePart*>(&back_), args.View()), CNoiseEffect::kSetupNoPages);
  EXPECT_EQ(noise.Setup(nullptr, static_cast<CImagePart*>(&front_), args.View()), CNoiseEffect::kSetupBadArguments);
  g_BuiltinEffectServices.random_index = nullptr;
  EXPECT_EQ(noise.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()), CNoiseEffect::kSetupBadArguments);
  g_BuiltinEffectServices.random_index = &random_index_;
  game_.WriteFile("SYS/NOISE.ELG", "not a picture");
  EXPECT_EQ(noise.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()), CNoiseEffect::kSetupNoPicture);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_TRUE(First().GetOwnList().IsEmpty());
}

}  // namespace
