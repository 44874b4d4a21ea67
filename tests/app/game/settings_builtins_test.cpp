// The application values that scripts read and set by index, and the screen settings, through
// their built-in functions.
#include <gtest/gtest.h>

#include "app/game/game_app.h"
#include "gfx/display/screen_manager.h"
#include "support/game_host_fixture.h"
#include "ui/fonts/glyph_cache.h"

namespace {

class SettingsBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  std::uint32_t Call(std::uint32_t id, std::uint32_t first, std::uint32_t second = 0) {
    const NativeArgs args = Args(2, 0);
    host_.Memory().SetWord(args.Address(), first);
    host_.Memory().SetWord(args.Address() + 4, second);
    return Native(id)(args);
  }
  std::uint32_t Get(std::uint32_t index) { return Call(5, index); }
  void Set(std::uint32_t index, std::uint32_t value) { EXPECT_EQ(Call(4, index, value), 0u); }

  CGameApp game_app_;
};

TEST_F(SettingsBuiltinsTest, EachValueIsItsFieldOfTheSettingsBlocks) {
  const std::uint32_t glyph_limit = g_GlyphCacheLimit;
  WindowBlock& window = game_app_.GetWindowSettings();
  GameSwitches& switches = game_app_.GetGameSwitches();
  const struct {
    std::uint32_t index;
    std::uint32_t value;
    std::uint8_t* low;
    std::uint8_t* high;  // null for a byte
  } cases[] = {
      {0, 0x100, &window[10], nullptr},  // a byte: 0x100 keeps only 0
      {2, 7, &window[13], nullptr},
      {3, 0x1234, &window[11], &window[12]},
      {4, 9, &switches[7], nullptr},
      {5, 3, &switches[9], nullptr},
      {6, 0x10300, &switches[11], &switches[12]},  // u16
  };
  for (const auto& test : cases) {
    Set(test.index, test.value);
    const std::uint32_t stored = test.high == nullptr ? 0xFFu : 0xFFFFu;
    EXPECT_EQ(Get(test.index), test.value & stored) << test.index;
    EXPECT_EQ(*test.low, static_cast<std::uint8_t>(test.value)) << test.index;
    if (test.high != nullptr) {
      EXPECT_EQ(*test.high, static_cast<std::uint8_t>(test.value >> 8)) << test.index;
    }
  }
  EXPECT_EQ(g_GlyphCacheLimit, 0x300u);
  g_GlyphCacheLimit = glyph_limit;

  switches[14] = 5;
  EXPECT_EQ(Get(13), 5u);
  Set(13, 1);  // read only
  EXPECT_EQ(switches[14], 5);
  EXPECT_EQ(Get(12), game_app_.GetInstallInformation());
  EXPECT_EQ(Get(14), 0u);
}

TEST_F(SettingsBuiltinsTest, FrameSkippingSetsTheSwitchAndThePacerAndTheRunningCopyOnlyThePacer) {
  Set(1, 0x200);
  EXPECT_EQ(game_app_.GetGameSwitches()[kSwitchFrameSkip], 1);
  EXPECT_TRUE(game_app_.GetFramePacer().IsSkipEnabled());
  EXPECT_EQ(Call(23, 2), 0u);  // bit 0 only: off
  EXPECT_FALSE(game_app_.GetFramePacer().IsSkipEnabled());
  EXPECT_EQ(Get(1), 1u);
}

TEST_F(SettingsBuiltinsTest, ValuesSevenToElevenAreTheMenuGroups) {
  Set(8, 0x100);  // the low byte decides: withdrawn
  EXPECT_FALSE(game_app_.IsMenuPermitted(CGameApp::kMenuSave));
  Set(8, 1);
  EXPECT_TRUE(game_app_.IsMenuPermitted(CGameApp::kMenuSave));
  EXPECT_EQ(Get(8), 1u);
  EXPECT_EQ(Get(7), 1u);  // settings: permitted from the start
  EXPECT_EQ(Get(10), 0u);
  EXPECT_EQ(Get(11), 1u);
  game_app_.GetAppInfo().allowed_screen_modes = kWindowModeOnly;
  EXPECT_EQ(Get(11), 0u);
}

TEST_F(SettingsBuiltinsTest, TheFrameProcedureSwitchesAndTheScreenSettingsTakeTheirBits) {
  EXPECT_EQ(Call(14, 3), 0u);
  EXPECT_TRUE(game_app_.GetBackFormatRefresh());
  EXPECT_FALSE(game_app_.GetZeroSleep());
  EXPECT_EQ(Call(199, 1), 0u);
  EXPECT_EQ(Call(14, 2), 0u);  // bit 0 only
  EXPECT_FALSE(game_app_.GetBackFormatRefresh());
  EXPECT_TRUE(game_app_.GetZeroSleep());

  CScreenManager screen;
  CScreenManager* const installed = g_ScreenManager;
  g_ScreenManager = nullptr;
  EXPECT_EQ(Call(197, 0), 0u);  // no screen: nothing to read
  g_ScreenManager = &screen;
  EXPECT_EQ(Call(196, 0x102), 0u);
  EXPECT_EQ(Call(197, 0), 2u);
  const NativeArgs colour = Args(3, 0);
  host_.Memory().SetWord(colour.Address(), 0x1FF);
  host_.Memory().SetWord(colour.Address() + 4, 0x80);
  host_.Memory().SetWord(colour.Address() + 8, 7);
  EXPECT_EQ(Native(198)(colour), 0u);
  EXPECT_EQ(screen.GetBackgroundColour(), (std::array<std::uint8_t, 3>{0xFF, 0x80, 7}));
  g_ScreenManager = installed;
}

TEST_F(SettingsBuiltinsTest, TheWindowOptionsSetTheApplicationsBehaviourBitsAndTheSwitchedMarkIsTakenOnce) {
  game_app_.GetAppInfo().allowed_screen_modes = kWindowAndFullScreen;
  game_app_.SetWindowBehaviour(kBehaviourSwitched | 1);
  EXPECT_EQ(Call(3, 0, 0), 0u);
  EXPECT_EQ(game_app_.GetWindowBehaviour() & kBehaviourMaximizeBox, 0);
  EXPECT_FALSE(game_app_.IsMenuPermitted(CGameApp::kMenuScreenModeToggle));
  EXPECT_EQ(Call(13, 3), 1u);  // not allowed now
  EXPECT_EQ(Call(3, 0, 5), 0u);
  EXPECT_NE(game_app_.GetWindowBehaviour() & kBehaviourMaximizeBox, 0);
  EXPECT_TRUE(game_app_.IsMenuPermitted(CGameApp::kMenuScreenModeToggle));
  EXPECT_EQ(Call(3, 1, 2), 0u);
  EXPECT_EQ(game_app_.GetWindowBehaviour() & kBehaviourSystemKeys, 2);
  EXPECT_FALSE(game_app_.HasKeyboardHook());  // a window takes no keyboard grab
  EXPECT_EQ(Call(38, 0), 1u);
  EXPECT_EQ(Call(38, 0), 0u);
  EXPECT_EQ(game_app_.GetWindowBehaviour(), kBehaviourMaximizeBox | 2);

  game_app_.GetAppInfo().allowed_screen_modes = kFullScreenOnly;
  EXPECT_EQ(Call(13, 3), 1u);  // the window, in a game that runs full screen only
  EXPECT_EQ(Call(13, 2), 2u);  // no display to select without a window
}

}  // namespace
