// The frame's effect commands in a real window (run under Xvfb) on a fake clock: a quake with a
// duration on the front page moves the background's marked column and puts it back at its end;
// a sprite's cell animation shows its two cells at their key-frame places. The frames are
// written as PNG pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/game_settings.h"
#include "base/subtractive_random.h"
#include "base/trig_tables.h"
#include "gfx/image_canvas.h"
#include "novel/vov_frame.h"
#include "support/effect_window_test.h"
#include "support/fake_app_services.h"
#include "vov_page_fixture.h"

namespace {

constexpr std::int32_t kWidth = 800;
constexpr std::int32_t kHeight = 600;
constexpr std::int32_t kMarkX = 400;
constexpr std::uint32_t kGrey = 0x404040;
constexpr std::uint32_t kMark = 0xFFFF00;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;

class EffectCommandsGuiTest : public EffectWindowTest<LayerWindowFilesTestBase> {
 protected:
  EffectCommandsGuiTest() : EffectWindowTest("effect commands test", kWidth, kHeight) {}
  void SetUp() override {
    EffectWindowTest::SetUp();
    g_TrigTable = &trig_;
    app_.game_screen = {kWidth, kHeight};
    settings_[kSettingScreenEffectsOn] = 1;
    g_UserConfig = &settings_;
    // Wider than the screen, so that the quake has room to move the picture's offset.
    game_.WriteFile("BG01.ELG", page_test::Picture(kWidth + 200, kHeight, 0xFF000000 | kGrey, kMarkX, 0xFF000000 | kMark));
    host_ = std::make_unique<CScriptHost>();
    novel_ = std::make_unique<CVovFrame>(*host_);
    ASSERT_EQ(novel_->InitPageImage(nullptr), 0u);
    screen_->SetFrameImage(dynamic_cast<CImageCanvasBase*>(novel_->Page().PageImage()));
    ASSERT_EQ(novel_->Page().LoadBg("BG01.ELG", 0), 0);
  }
  void TearDown() override {
    screen_->SetFrameImage(&frame_);
    novel_.reset();
    host_.reset();
    g_TrigTable = nullptr;
    g_UserConfig = nullptr;
    EffectWindowTest::TearDown();
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

  test_support::FakeAppServices app_;
  GameSettingsBlock settings_ = DefaultGameSettings();
  CTrigTables trig_;
  std::unique_ptr<CScriptHost> host_;
  std::unique_ptr<CVovFrame> novel_;
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

}  // namespace
