// The frame's effect commands in a real window (run under Xvfb) on a fake clock: a quake with a
// duration on the front page moves the background's marked column and puts it back at its end;
// a sprite's cell animation shows its two cells at their key-frame places; a sprite change
// cross-fades from the old picture to the new one; a gradient fade made for a sprite of the page
// reveals it behind its soft edge. The frames are written as PNG pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/subtractive_random.h"
#include "base/numbers/trig_tables.h"
#include "base/settings/game_settings.h"
#include "gfx/display/image_canvas.h"
#include "gfx/image_operations/color_ramp.h"
#include "novel/frame/vov_frame.h"
#include "novel/frame/vov_window_fixture.h"
#include "novel/page/vov_page_fixture.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::int32_t kMarkX = 400;
constexpr std::uint32_t kGrey = 0x404040;
constexpr std::uint32_t kMark = 0xFFFF00;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;

class EffectCommandsGuiTest : public NovelWindowTest {
 protected:
  EffectCommandsGuiTest() : NovelWindowTest("effect commands test") {}
  void SetUp() override {
    g_TrigTable = &trig_;
    settings_[kSettingScreenEffectsOff] = 0;
    g_UserConfig = &settings_;
    NovelWindowTest::SetUp();
    // Wider than the screen, so that the quake has room to move the picture's offset.
    game_.WriteFile("BG01.ELG", page_test::Picture(kWidth + 200, kHeight, 0xFF000000 | kGrey, kMarkX, 0xFF000000 | kMark));
    ASSERT_EQ(novel_->Page().LoadBg("BG01.ELG", 0), 0);
  }
  void TearDown() override {
    NovelWindowTest::TearDown();
    g_TrigTable = nullptr;
    g_UserConfig = nullptr;
  }
  static std::uint32_t At(const std::vector<std::uint32_t>& shown, std::int32_t x, std::int32_t y) {
    return shown[static_cast<std::size_t>(y * kWidth + x)] & 0xFFFFFF;
  }
  // Where the marked column shows on the middle row; -1 when nowhere.
  static std::int32_t MarkAt(const std::vector<std::uint32_t>& shown) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      if (At(shown, x, kHeight / 2) == kMark) return x;
    }
    return -1;
  }

  // Whether the shown colour lies within 2 of `expected` in each channel.
  static bool Near(std::uint32_t shown, std::uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
      if (std::abs(static_cast<int>(shown >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > 2) return false;
    }
    return true;
  }
  // Red drawn with `alpha` over the grey background.
  static std::uint32_t RedOverGrey(std::uint32_t alpha) {
    const std::uint32_t grey = kGrey & 0xFF;
    const std::uint32_t red = (grey * (255 - alpha) + 255 * alpha + 127) / 255;
    const std::uint32_t rest = (grey * (255 - alpha) + 127) / 255;
    return red << 16 | rest << 8 | rest;
  }

  GameSettingsBlock settings_ = DefaultGameSettings();
  CTrigTables trig_;
};

TEST_F(EffectCommandsGuiTest, AQuakeWithADurationShakesTheFrontPageAndPutsItBack) {
  EXPECT_EQ(MarkAt(FrameAt(0, "effect_quake_before.png")), kMarkX);
  SeedSubtractive(g_ScriptRandomIndex, g_ScriptRandomState, 12345);  // the jumps are random
  // Amplitudes 40 and 0 over 400 ms, no decay text, the picture's offset moved, both pages.
  const std::vector<VovOperand> operands = {{1, 40, {}}, {1, 0, {}}, {1, 400, {}}, {1, 0, {}},
                                            {1, 0, {}},  {1, 1, {}}, {1, 1, {}}, {1, 0, {}}};
  ASSERT_EQ(novel_->CallOpcode(108, operands), 0);
  ASSERT_NE(novel_->Page().Bg(0).quake_effect, nullptr);
  EXPECT_EQ(novel_->Page().Bg(0).persist_kind, 0) << "a quake with a duration is not recorded";
  bool moved = false;
  for (const std::uint32_t now : {60u, 120u, 180u}) {
    const std::string picture = "effect_quake_" + std::to_string(now) + "ms.png";
    const std::int32_t x = MarkAt(FrameAt(now, picture.c_str()));
    EXPECT_NE(x, -1) << "the column shows somewhere at " << now;
    EXPECT_LE(std::abs(x - kMarkX), 40) << "within the amplitude at " << now;
    moved = moved || x != kMarkX;
  }
  EXPECT_TRUE(moved) << "the column moved during the quake";
  // The quake latches its start at its first update.
  EXPECT_EQ(MarkAt(FrameAt(480, "effect_quake_after.png")), kMarkX) << "at its place after the quake";
  EXPECT_EQ(novel_->Page().Bg(0).quake_effect, nullptr);
}

TEST_F(EffectCommandsGuiTest, ACellAnimationShowsBothCellsAtTheirKeyFramePlaces) {
  game_.WriteFile("AAA01S.ELG", page_test::Picture(40, 60, 0xFF0000FF));
  game_.WriteFile("SYS/RED.ELG", page_test::Picture(20, 20, 0xFF000000 | kRed));
  game_.WriteFile("SYS/GREEN.ELG", page_test::Picture(20, 20, 0xFF000000 | kGreen));
  game_.WriteFile("SYS/CA021.TXT",
                  "*RED.ELG\r\n100,50\r\nt 5000\r\n100,50\r\n*GREEN.ELG\r\n300,80\r\nt 5000\r\n300,80\r\n");
  CVovPage& page = novel_->Page();
  page.SetCharacters({"AAA"});
  ASSERT_EQ(page.LoadSprite(0, "AAA01S.ELG", false, 0), 0);
  ASSERT_EQ(page.PlaceSprite(0, 0, false, false, 0), 0);
  const std::vector<VovOperand> operands = {{1, 0, {}}, {1, 1, {}}, {1, 0, {}}, {1, 0, {}}, {1, 0, {}}};
  ASSERT_EQ(novel_->CallOpcode(84, operands), 0) << "SYS/CA021.TXT: the size letter S and number 1";
  ASSERT_NE(page.Sprite(0, false, 0)->effect, nullptr);
  const std::vector<std::uint32_t> shown = FrameAt(100, "effect_cells.png");
  EXPECT_EQ(At(shown, 110, 60), kRed) << "the first cell at (100, 50)";
  EXPECT_EQ(At(shown, 310, 90), kGreen) << "the second cell at (300, 80)";
  EXPECT_EQ(At(shown, 90, 60), kGrey) << "left of the first cell the background";
  EXPECT_EQ(At(shown, 20, 30), 0x0000FFu) << "the sprite itself at (0, 0)";
}

TEST_F(EffectCommandsGuiTest, ASpriteChangeCrossFadesFromTheOldPictureToTheNewOne) {
  constexpr std::int32_t kLeft = 450;
  constexpr std::int32_t kTop = 250;
  game_.WriteFile("AAA01S.ELG", page_test::Picture(100, 100, 0xFF000000 | kRed, -1, 0, kLeft, kTop));
  game_.WriteFile("AAA02S.ELG", page_test::Picture(100, 100, 0xFF000000 | kBlue, -1, 0, kLeft, kTop));
  CVovPage& page = novel_->Page();
  ASSERT_EQ(page.LoadSprite(0, "AAA01S.ELG", false, 0), 0);
  ASSERT_EQ(page.PlaceSprite(0, 0, false, false, 0), 0);
  // Index 0, the new name, a path that stays at the start, the front page, 1000 ms, mode 2
  // (cross-fade), no size letters, group 0.
  const std::vector<VovOperand> operands = {{1, 0, {}}, {kVovStringFlag, 1, "AAA02S.ELG"}, {kVovStringFlag, 1, "i"},
                                            {1, 0, {}}, {1, 1000, {}}, {1, 2, {}}, {1, 0, {}}, {1, 0, {}}};
  ASSERT_EQ(novel_->CallOpcode(83, operands), 0);
  const SpriteRecord& record = *page.Sprite(0, false, 0);
  ASSERT_NE(record.effect, nullptr);
  EXPECT_EQ(At(FrameAt(0, "effect_change_0ms.png"), kLeft + 50, kTop + 50), kRed) << "the old picture first";
  const std::vector<std::uint32_t> half = FrameAt(500, "effect_change_500ms.png");
  for (const auto& [x, y] : {std::pair{kLeft, kTop}, std::pair{kLeft + 50, kTop + 50}, std::pair{kLeft + 99, kTop + 99}}) {
    const std::uint32_t mixed = At(half, x, y);
    EXPECT_NEAR(static_cast<int>(mixed >> 16), 0x80, 8) << std::hex << mixed;
    EXPECT_EQ(mixed >> 8 & 0xFF, 0u) << std::hex << mixed;
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 0x80, 8) << std::hex << mixed;
  }
  EXPECT_EQ(At(half, kLeft - 1, kTop + 50), kGrey);
  EXPECT_EQ(At(half, kLeft + 100, kTop + 50), kGrey);
  const std::vector<std::uint32_t> end = FrameAt(1000, "effect_change_end.png");
  EXPECT_EQ(record.effect, nullptr) << "ended";
  EXPECT_EQ(At(end, kLeft, kTop), kBlue);
  EXPECT_EQ(At(end, kLeft + 99, kTop + 99), kBlue);
  EXPECT_EQ(At(end, kLeft + 100, kTop + 50), kGrey);
}

// The frame has no opcode of its own for "sp_gfade": it is made by name for a page sprite, as a
// script would make it. From the left, 1000 ms, a gradient 20 columns wide.
TEST_F(EffectCommandsGuiTest, AGradientFadeRevealsASpriteBehindItsSoftEdgeAndShowsItWholeAtTheEnd) {
  constexpr std::int32_t kLeft = 450;
  constexpr std::int32_t kTop = 250;
  constexpr std::int32_t kSpriteWidth = 200;
  constexpr std::int32_t kSpriteHeight = 100;
  constexpr std::uint32_t kGradient = 20;
  game_.WriteFile("AAA01S.ELG", page_test::Picture(kSpriteWidth, kSpriteHeight, 0xFF000000 | kRed, -1, 0, kLeft, kTop));
  CVovPage& page = novel_->Page();
  ASSERT_EQ(page.LoadSprite(0, "AAA01S.ELG", false, 0), 0);
  ASSERT_EQ(page.PlaceSprite(0, 0, false, false, 0), 0);
  SpriteRecord& record = *page.Sprite(0, false, 0);
  ASSERT_EQ(record.sprite->GetX(), kLeft);
  ASSERT_EQ(record.sprite->GetY(), kTop);
  const PluginArgList args{reinterpret_cast<std::uintptr_t>(record.sprite.get()), 1000, 0, kGradient, 0};
  ASSERT_EQ(novel_->CreateEffect(record.effect, "sp_gfade", nullptr, args.View()), 0u);

  // The first update latches the start; nothing shows before the first step.
  std::vector<std::uint32_t> shown = FrameAt(0, "effect_gfade_0ms.png");
  EXPECT_EQ(At(shown, kLeft + 10, kTop + 50), kGrey);

  // Half the travel (the width and the gradient, 220 columns) is 110: columns 0-89 whole, 90-109
  // behind the ramp, which clears towards the edge, the rest not shown yet.
  shown = FrameAt(500, "effect_gfade_500ms.png");
  CColorRamp ramp;
  ASSERT_EQ(ramp.Build(kGradient, 255, 0, 8), 0u);
  for (const std::int32_t y : {kTop, kTop + kSpriteHeight / 2, kTop + kSpriteHeight - 1}) {
    for (std::int32_t column = 0; column < kSpriteWidth; ++column) {
      std::uint32_t expected = kGrey;
      if (column < 90) expected = kRed;
      if (column >= 90 && column < 110) expected = RedOverGrey(ramp.GetEntry(static_cast<std::uint32_t>(column - 90)));
      ASSERT_TRUE(Near(At(shown, kLeft + column, y), expected))
          << "column " << column << " row " << y << ": " << std::hex << At(shown, kLeft + column, y) << " for "
          << expected;
    }
    EXPECT_EQ(At(shown, kLeft - 1, y), kGrey);
  }
  EXPECT_EQ(At(shown, kLeft + 50, kTop - 1), kGrey);
  EXPECT_EQ(At(shown, kLeft + 50, kTop + kSpriteHeight), kGrey);
  EXPECT_GT(At(shown, kLeft + 91, kTop) >> 16, At(shown, kLeft + 108, kTop) >> 16) << "redder inside the edge";

  // The end shows the sprite whole at its place, its picture's alphas put back.
  shown = FrameAt(1000, "effect_gfade_end.png");
  EXPECT_EQ(record.effect, nullptr) << "ended";
  for (const std::int32_t y : {kTop, kTop + kSpriteHeight - 1}) {
    for (std::int32_t column = 0; column < kSpriteWidth; ++column) {
      ASSERT_EQ(At(shown, kLeft + column, y), kRed) << "column " << column << " row " << y;
    }
    EXPECT_EQ(At(shown, kLeft + kSpriteWidth, y), kGrey);
  }
  EXPECT_EQ(record.sprite->GetX(), kLeft);
}

}  // namespace
