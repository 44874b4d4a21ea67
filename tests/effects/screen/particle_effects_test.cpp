// "paper", "light", "snow" and "rain": pieces that appear gradually or all at once, fall or rise
// at least a pixel a step, finish their way after a stop request, hide by their show flags, and
// the rain drops' sizes and colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "effects/screen/particle_effects.h"
#include "scene/drawables/draw_list.h"
#include "scene/sprites/color_box.h"
#include "scene/sprites/sprite.h"
#include "screen_effect_fixture.h"

namespace {

using screen_test::Text;

constexpr std::uint32_t kPicture = 0xFFF0F4FF;

class ParticleEffectsTest : public screen_test::ScreenEffectTest {
 protected:
  void SetUp() override {
    ScreenEffectTest::SetUp();
    WritePictures("SYS/PAPER_%d.ELG", 8, 24 * 3, 4);
    WritePictures("SYS/GR_LT%d.ELG", 3, 5 * 4, 4);
    WritePictures("SYS/SNOW_%d.ELG", 5, 4, 4);
  }
  void WritePictures(const char* format, std::int32_t count, std::int32_t width, std::int32_t height) {
    for (std::int32_t k = 0; k < count; ++k) {
      char name[32];
      std::snprintf(name, sizeof name, format, k);
      WritePicture(name, width, height, kPicture);
    }
  }
  // The effect set up on the front page, owned by the manager.
  template <class Effect>
  Effect& Start(const PluginArgList& args) {
    auto* effect = new Effect;
    effect_ = effect;
    effect_->SetOwnerReference(&effect_);
    EXPECT_EQ(SetUpOnFront(*effect, args), CEffect::kRunning);
    return *effect;
  }
  // The pieces whose first-page drawable is shown.
  static int Shown(const CParticleEffect& effect) {
    int shown = 0;
    for (const auto& piece : effect.Pieces()) shown += piece.first->IsEnabled() ? 1 : 0;
    return shown;
  }
  // The manager's steps, 80 ms each, from `first` on.
  void RunSteps(std::uint32_t first, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) RunAt((first + i) * CParticleEffect::kStep);
  }

  CEffect* effect_ = nullptr;
};

TEST_F(ParticleEffectsTest, WithoutScatterOnePieceShowsFirstAndTheOthersAppearGradually) {
  auto& paper = Start<CPaperEffect>({20, 100, 70, 0, 0, 1, 1});
  EXPECT_EQ(paper.GetTypeId(), kTimedTaskScreenEffect);
  EXPECT_EQ(Shown(paper), 1);
  EXPECT_TRUE(paper.Pieces().front().active);
  EXPECT_EQ(paper.Pieces().front().first->GetY(), -4) << "just above the top edge";
  RunSteps(1, 3);
  const int early = Shown(paper);
  RunSteps(4, 30);
  EXPECT_LT(early, 10) << "about one idle piece in ten starts a step";
  EXPECT_GT(Shown(paper), early);
  EXPECT_EQ(paper.Pieces().front().frame_width, 3) << "24 frames side by side";

  // Snow starts an idle piece once in five hundred steps.
  timers_.RemoveAll();
  auto& snow = Start<CSnowEffect>({20, 100, 70, 0, 0, 1, 1});
  RunSteps(40, 30);
  EXPECT_LE(Shown(snow), 4);
}

TEST_F(ParticleEffectsTest, WithScatterEveryPieceStartsAtOnceAnywhereOnTheScreen) {
  auto& light = Start<CLightEffect>({30, 0, 0, 1, 0, 1, 0});
  EXPECT_EQ(Shown(light), 30);
  for (const auto& piece : light.Pieces()) {
    EXPECT_FALSE(piece.second->IsEnabled()) << "not shown on the second page";
    EXPECT_GE(piece.y, 0.0);
    EXPECT_LE(piece.y, kHeight);
    EXPECT_LT(piece.phase, 510);
  }
  RunAt(CParticleEffect::kStep);
  for (const auto& piece : light.Pieces()) {
    // The opacity keeps the low 8 bits of 510 - phase.
    EXPECT_EQ(piece.first->GetOpacity(), static_cast<std::uint8_t>((510 - piece.phase) & 0xFF));
  }
}

TEST_F(ParticleEffectsTest, AStopRequestLetsEveryPieceFinishItsWayAndTheEffectThenEnds) {
  auto& snow = Start<CSnowEffect>({25, 0, 0, 1, 0, 1, 1});
  RunSteps(1, 5);
  EXPECT_EQ(snow.SetParam(PluginArgList{0}.View()), 0);
  std::vector<bool> was_active;
  for (const auto& piece : snow.Pieces()) was_active.push_back(piece.active);
  std::uint32_t step = 6;
  while (effect_ != nullptr && step < 200) {
    const auto& pieces = snow.Pieces();
    RunAt(step++ * CParticleEffect::kStep);
    if (effect_ == nullptr) break;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (!pieces[i].active) {
        EXPECT_FALSE(pieces[i].first->IsEnabled()) << i;
        if (was_active[i]) {
          EXPECT_GE(pieces[i].y, kHeight) << "piece " << i << " left by the bottom edge";
        }
      }
      EXPECT_FALSE(pieces[i].active && !was_active[i]) << "no piece starts after the request";
      was_active[i] = pieces[i].active;
    }
  }
  EXPECT_EQ(effect_, nullptr) << "ended by itself";
  EXPECT_LT(step, 40u);
  EXPECT_TRUE(First().GetOwnList().IsEmpty());
}

TEST_F(ParticleEffectsTest, ASlowSpeedScaleStillMovesEveryPieceAPixelAStep) {
  auto& light = Start<CLightEffect>({12, 0, 0, 1, Text("0.25"), 1, 1});
  EXPECT_EQ(light.SpeedScale(), 0.25);
  std::vector<double> before;
  for (const auto& piece : light.Pieces()) before.push_back(piece.y);
  RunAt(CParticleEffect::kStep);
  int slow = 0;
  for (std::size_t i = 0; i < light.Pieces().size(); ++i) {
    const auto& piece = light.Pieces()[i];
    if (piece.y > before[i]) continue;  // re-entered at the bottom
    const double expected = std::max(0.25 * piece.speed, 1.0);
    EXPECT_NEAR(before[i] - piece.y, expected, 1e-9) << i;
    slow += 0.25 * piece.speed < 1.0 ? 1 : 0;
  }
  EXPECT_GT(slow, 0) << "some pieces would have moved less than a pixel";
}

TEST_F(ParticleEffectsTest, ShowFlagsOfZeroHideEveryPieceWithoutStoppingTheEffect) {
  auto& rain = Start<CRainEffect>({10, 0, 0, 1, 0, 1, 1});
  EXPECT_EQ(rain.SetParam(PluginArgList{1, 0, 0}.View()), 0);
  for (const auto& piece : rain.Pieces()) {
    EXPECT_FALSE(piece.first->IsEnabled());
    EXPECT_FALSE(piece.second->IsEnabled());
  }
  RunSteps(1, 20);
  EXPECT_NE(effect_, nullptr);
  EXPECT_EQ(Shown(rain), 0) << "re-entering pieces stay hidden";
  // After a page swap the second page's flag reaches the drawables now in the front's layer.
  front_.SwapLayers(back_);
  EXPECT_EQ(rain.SetParam(PluginArgList{1, 0, 1}.View()), 0);
  for (const auto& piece : rain.Pieces()) {
    EXPECT_EQ(piece.first->IsEnabled(), piece.active);
    EXPECT_FALSE(piece.second->IsEnabled());
  }
}

TEST_F(ParticleEffectsTest, RainDropsAreThinBoxesWhoseLengthAndAlphaFallWithTheirKind) {
  auto& rain = Start<CRainEffect>({60, 1000, 500, 1, 0, 1, 1});
  std::vector<bool> seen(6, false);
  for (const auto& piece : rain.Pieces()) {
    const auto& drop = static_cast<const CColorBox&>(*piece.first);
    const std::int32_t k = piece.kind;
    seen[static_cast<std::size_t>(k)] = true;
    EXPECT_EQ(drop.GetWidth(), 1);
    EXPECT_EQ(drop.GetHeight(), static_cast<std::int32_t>((1.0 - 0.1 * k) * 200.0));
    EXPECT_EQ(drop.GetColor(), 0xA0AAEBu);
    EXPECT_EQ(drop.GetOpacity(), 0x82 - 0x14 * k);
    EXPECT_GE(piece.speed, 225.0 - 30 * k);
    EXPECT_LT(piece.speed, 240.0 - 30 * k);
  }
  for (const auto& node : First().GetOwnList().Nodes()) {
    const auto& drop = static_cast<const CColorBox&>(*node.drawable);
    const std::int32_t k = (0x82 - drop.GetOpacity()) / 0x14;
    EXPECT_EQ(node.priority, static_cast<std::uint32_t>(1000 + k * 500 / 5));
  }
  EXPECT_TRUE(seen[0]);
  EXPECT_TRUE(seen[5]);
  const std::pair<std::int32_t, std::pair<std::int32_t, std::uint32_t>> ends[] = {{0, {200, 0x82A0AAEBu}},
                                                                                 {5, {100, 0x1EA0AAEBu}}};
  for (const auto& [k, drop] : ends) {
    for (const auto& piece : rain.Pieces()) {
      if (piece.kind != k) continue;
      const auto& box = static_cast<const CColorBox&>(*piece.second);
      EXPECT_EQ(box.GetHeight(), drop.first);
      EXPECT_EQ(static_cast<std::uint32_t>(box.GetOpacity()) << 24 | box.GetColor(), drop.second);
    }
  }
}

TEST_F(ParticleEffectsTest, NoPiecesTooManyAMissingPictureOrAMissingPartnerAreRefused) {
  const PluginArgList args{5, 0, 0, 0, 0, 1, 1};
  CSnowEffect snow;
  EXPECT_EQ(snow.Setup(&timers_, static_cast<CImagePart*>(&front_), PluginArgList{0, 0, 0, 0, 0, 1, 1}.View()),
            CParticleEffect::kSetupBadArguments);
  const PluginArgList too_many{CParticleEffect::kMaxPieces + 1, 0, 0, 0, 0, 1, 1};
  EXPECT_EQ(snow.Setup(&timers_, static_cast<CImagePart*>(&front_), too_many.View()),
            CParticleEffect::kSetupBadArguments);
  EXPECT_EQ(snow.Setup(&timers_, static_cast<CImagePart*>(&back_), args.View()), CParticleEffect::kSetupNoPages);
  g_BuiltinEffectServices.random_state = nullptr;
  EXPECT_EQ(snow.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()), CParticleEffect::kSetupBadArguments);
  g_BuiltinEffectServices.random_state = &random_state_;
  game_.WriteFile("SYS/SNOW_4.ELG", "");
  game_.WriteFile("SYS/PAPER_7.ELG", "");
  CPaperEffect paperless;
  EXPECT_EQ(paperless.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()),
            CParticleEffect::kSetupNoPicture);
  CSnowEffect snowless;
  EXPECT_EQ(snowless.Setup(&timers_, static_cast<CImagePart*>(&front_), args.View()),
            CParticleEffect::kSetupNoPicture);
  EXPECT_EQ(timers_.GetCount(), 0u);
  EXPECT_TRUE(First().GetOwnList().IsEmpty());
}

}  // namespace
