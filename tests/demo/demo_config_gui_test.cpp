// The demo's settings screen in a real window (under Xvfb) at a fixed frame step: in the story
// the message window's settings button opens the screen over the page; the reader switches the
// screen effects off, takes the text speed to its fastest and the music and voice volumes to
// nothing (the sound levels change at once), and closes it. The next line then prints at once,
// the system menu opens without its slide (it slid in before) and its settings item opens the
// screen again, with the effects box as the reader left it; the rule transition and the
// cross-fade to the ending still run, "おわる" ends the game, and the settings the reader chose
// are kept in the game's settings file. The key frames are written as demo_config_*.png into the
// build folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "demo_game_copy.h"
#include "demo_reader.h"
#include "sound/sound_channel_manager.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/test_window.h"

namespace {

using namespace demo_test;

// The message window's settings button (the ninth of its row).
constexpr std::int32_t kSettingsButtonX = 738;
constexpr std::int32_t kSettingsButtonY = 588;
// The settings screen: its opaque panel with a light rim, the effects check box (a lit plate
// with a yellow mark while checked), the text-speed slider's fast end and the close button.
constexpr std::int32_t kPanelX = 180;
constexpr std::int32_t kPanelY = 470;
constexpr std::uint32_t kPanelColour = 0xFF141C34;
constexpr std::int32_t kRimX = 160;
constexpr std::int32_t kRimY = 300;
constexpr std::uint32_t kRimColour = kMenuRimColour;  // the demo's panels share their colours
constexpr std::int32_t kCheckPlateX = 373;
constexpr std::int32_t kCheckPlateY = 237;
constexpr std::int32_t kCheckMarkX = 384;
constexpr std::int32_t kCheckMarkY = 248;
constexpr std::uint32_t kCheckedPlate = 0xFF4A6AA8;
constexpr std::uint32_t kCheckMark = 0xFFF0D070;
constexpr std::uint32_t kUncheckedPlate = kMenuPlateColour;
constexpr std::uint32_t kUncheckedHoveredPlate = 0xFF40588A;
constexpr std::int32_t kFastEndX = 585;
constexpr std::int32_t kFastEndY = 182;
// The quiet ends of the music and voice sliders, right of their back arrows.
constexpr std::int32_t kQuietEndX = 390;
constexpr std::int32_t kMusicSliderY = 322;
constexpr std::int32_t kVoiceSliderY = 392;
constexpr std::int32_t kCloseButtonX = 400;
constexpr std::int32_t kCloseButtonY = 468;
// Where the system menu's base is looked at.
constexpr std::int32_t kMenuBaseY = 300;
// The right-hand part of a text line, from its 13th character cell on: empty while a line of
// 20 or more characters is printed at the default speed in its first quarter second.
constexpr std::int32_t kCell = 22;
constexpr std::int32_t kLateCellsLeft = kTextLeft + 12 * kCell;
constexpr std::int32_t kLateCellsRight = kTextLeft + 20 * kCell;

int InkInLateCells(const std::vector<std::uint32_t>& shown) {
  return InkIn(shown, kLateCellsLeft, kTextTop, kLateCellsRight, kFirstLineBottom);
}

// The game settings block the game wrote into its save folder (the game folder's SAVEDATA) when it ended.
std::vector<std::uint8_t> WrittenGameSettings(const std::string& folder) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.path().filename() != "APP_CFG.DAT") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // A 32-bit length, then the block.
    if (bytes.size() < 4 + kGameSettingsSize) return {};
    return std::vector<std::uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + kGameSettingsSize);
  }
  return {};
}

class DemoConfigGuiTest : public DemoGameCopyTest {};

TEST_F(DemoConfigGuiTest, EffectsSwitchedOffAndTheFastestTextApplyAtOnceAndAreKept) {
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  reader.Choose(kTitleStartY);
  // The menu key half a step into the first line: the menu slides in; its close item.
  const int menu_with_effects = reader.Next() - kStep / 2;
  run.PlanKeyPress(menu_with_effects, SDL_SCANCODE_M, SDLK_m);
  reader.Click(kMenuItemX, MenuItemY(kMenuCloseItem));
  reader.Read(1);
  // Mio's line: the settings button opens the screen.
  const int settings = reader.Next();
  reader.Click(kSettingsButtonX, kSettingsButtonY);
  const int screen_open = settings + kStep / 4;
  // The effects box unchecked and the text speed at its fastest, the pointer on each first.
  run.PlanPointer(reader.Next() - 4, kCheckMarkX, kCheckMarkY);
  const int effects_off = reader.Next() + 10;
  reader.Click(kCheckMarkX, kCheckMarkY);
  run.PlanPointer(reader.Next() - 4, kFastEndX, kFastEndY);
  const int fastest = reader.Next() + 10;
  reader.Click(kFastEndX, kFastEndY);
  // Both volumes down to nothing.
  const int music_down = reader.Next();
  run.PlanPointer(music_down - 4, kQuietEndX, kMusicSliderY);
  reader.Click(kQuietEndX, kMusicSliderY);
  const int voice_down = reader.Next();
  run.PlanPointer(voice_down - 4, kQuietEndX, kVoiceSliderY);
  reader.Click(kQuietEndX, kVoiceSliderY);
  const int closing = reader.Next();
  reader.Click(kCloseButtonX, kCloseButtonY);
  const int closed = closing + kStep / 4;
  // The next line, 23 characters, printed at once.
  const int fast_line = reader.Next() + 4;
  reader.Read(1);
  // The menu again: in at once; its settings item opens the screen too, closed as it is.
  const int menu_without_effects = reader.Next() - kStep / 2;
  run.PlanKeyPress(menu_without_effects, SDL_SCANCODE_M, SDLK_m);
  const int from_the_menu = reader.Next() + kStep / 4;
  reader.Click(kMenuItemX, MenuItemY(kMenuSettingsItem));
  reader.Click(kCloseButtonX, kCloseButtonY);
  reader.Read(2);
  reader.Choose(kFirstChoiceY);
  // The rule transition to the hill, and four lines on the cross-fade to the ending, as the
  // story runs with effects on.
  const int night_falls = reader.Next();
  const int rule_half = night_falls + 2 + kTransitionFrames / 2;
  const int rule_done = night_falls + kStep - 20;
  const int fade_half = night_falls + 4 * kStep + 2 + kTransitionFrames / 2;
  const int ending = night_falls + 4 * kStep + kStep / 2;
  reader.Read(kLinesOnTheHill);
  reader.WaitForTheTitle();
  const int end = reader.Next();
  reader.Choose(kTitleEndY);
  run.SetLastFrame(end + kStep);
  run.PlanPicture(menu_with_effects + 1, "demo_config_menu_sliding.png");
  run.PlanPicture(screen_open, "demo_config_screen.png");
  run.PlanPicture(effects_off, "demo_config_effects_off.png");
  run.PlanPicture(fastest, "demo_config_fastest.png");
  run.PlanPicture(closed, "demo_config_closed.png");
  run.PlanPicture(fast_line, "demo_config_fast_line.png");
  run.PlanPicture(menu_without_effects + 1, "demo_config_menu_at_once.png");
  run.PlanPicture(from_the_menu, "demo_config_from_the_menu.png");
  run.PlanPicture(rule_half, "demo_config_rule_half.png");
  run.PlanPicture(rule_done, "demo_config_rule_done.png");
  run.PlanPicture(fade_half, "demo_config_fade_half.png");
  run.PlanPicture(ending, "demo_config_ending.png");

  // The sound levels as the settings screen leaves them, frame by frame.
  struct Levels {
    std::int32_t music = -1;
    std::int32_t voices = -1;
  };
  std::map<int, Levels> levels;
  run.SetFrameObserver([&](int frame) {
    if (g_SoundChannels != nullptr) levels[frame] = {g_SoundChannels->GetBgmLevel(), g_SoundChannels->GetVoiceVolume()};
  });
  EXPECT_EQ(run.Run(game_.HostPath()), 0) << "おわる ends the game";
  EXPECT_FALSE(run.GaveUp()) << Joined(log.Lines());
  EXPECT_GE(run.Frames(), end);
  EXPECT_TRUE(run.AllPicturesWritten());
  EXPECT_TRUE(run.MessageBoxes().empty());

  // At the default speed the first line is still on its first characters when the menu opens.
  const std::vector<std::uint32_t>& sliding = run.PictureAt(menu_with_effects + 1);
  ASSERT_FALSE(sliding.empty());
  EXPECT_GT(InkIn(sliding, kTextLeft, kTextTop, kLateCellsLeft, kFirstLineBottom), 0) << "the line has begun";
  EXPECT_EQ(InkInLateCells(sliding), 0) << "and is printed a character at a time";
  EXPECT_NE(At(sliding, kMenuBaseX, kMenuBaseY), kMenuRimColour) << "with effects on the menu is on its way in";

  const std::vector<std::uint32_t>& screen = run.PictureAt(screen_open);
  ASSERT_FALSE(screen.empty());
  EXPECT_EQ(At(screen, kPanelX, kPanelY), kPanelColour) << "the settings panel";
  EXPECT_EQ(At(screen, kRimX, kRimY), kRimColour) << "its rim";
  EXPECT_EQ(At(screen, kCheckPlateX, kCheckPlateY), kCheckedPlate) << "effects on: the box is checked";
  EXPECT_EQ(At(screen, kCheckMarkX, kCheckMarkY), kCheckMark);
  EXPECT_GT(InkIn(screen, 192, 170, 362, 198), 50) << "the text speed's label";
  const std::vector<std::uint32_t>& unchecked = run.PictureAt(effects_off);
  ASSERT_FALSE(unchecked.empty());
  EXPECT_EQ(At(unchecked, kCheckPlateX, kCheckPlateY), kUncheckedHoveredPlate) << "effects off";
  EXPECT_EQ(At(unchecked, kCheckMarkX, kCheckMarkY), kUncheckedHoveredPlate) << "without the mark";
  // (Lowered by half while Mio's voice had the music ducked: the fixed-step clock runs far ahead of
  // the mixer, which plays the voice in real time, so her voice still plays when the slider moves.)
  EXPECT_GT(levels[music_down - 1].music, 0) << "the music's first level";
  EXPECT_EQ(levels[music_down + 2].music, 0) << "the music's level at once";
  EXPECT_EQ(levels[voice_down - 1].voices, 256) << "the voices' first level";
  EXPECT_EQ(levels[voice_down + 2].voices, 0) << "the voices' level at once";
  const std::vector<std::uint32_t>& after = run.PictureAt(closed);
  ASSERT_FALSE(after.empty());
  EXPECT_NE(At(after, kPanelX, kPanelY), kPanelColour) << "the screen has gone";
  EXPECT_GT(InkOnFirstLine(after), 50) << "Mio's line in the window again";

  const std::vector<std::uint32_t>& fast = run.PictureAt(fast_line);
  ASSERT_FALSE(fast.empty());
  EXPECT_GT(InkInLateCells(fast), 50) << "the next line printed at once at the fastest speed";
  const std::vector<std::uint32_t>& at_once = run.PictureAt(menu_without_effects + 1);
  ASSERT_FALSE(at_once.empty());
  EXPECT_EQ(At(at_once, kMenuBaseX, kMenuBaseY), kMenuRimColour) << "without effects the menu is in at once";

  const std::vector<std::uint32_t>& again = run.PictureAt(from_the_menu);
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(At(again, kPanelX, kPanelY), kPanelColour) << "the menu's settings item opens the screen";
  EXPECT_EQ(At(again, kCheckPlateX, kCheckPlateY), kUncheckedPlate) << "with the effects box unchecked";
  EXPECT_NE(At(again, kMenuBaseX, kMenuBaseY), kMenuRimColour) << "the menu has gone";

  // Effects off leaves the story's transitions as they are.
  const std::vector<std::uint32_t>& half_rule = run.PictureAt(rule_half);
  const std::vector<std::uint32_t>& after_rule = run.PictureAt(rule_done);
  ASSERT_FALSE(half_rule.empty());
  ASSERT_FALSE(after_rule.empty());
  const std::uint32_t night_sky = At(after_rule, kSkyX, kSkyY);
  EXPECT_EQ(At(half_rule, kSkyX, kSkyY), night_sky) << "the night has come down over the top";
  EXPECT_EQ(At(half_rule, kLawnX, kLawnY), kLawnColour) << "the park's lawn still below";
  const std::vector<std::uint32_t>& half_fade = run.PictureAt(fade_half);
  const std::vector<std::uint32_t>& shown_ending = run.PictureAt(ending);
  ASSERT_FALSE(half_fade.empty());
  ASSERT_FALSE(shown_ending.empty());
  EXPECT_EQ(At(shown_ending, kStarX, kStarY), kStarColour) << "the ending picture";
  EXPECT_TRUE(HalfWayBetween(At(half_fade, kSkyX, kSkyY), night_sky, At(shown_ending, kSkyX, kSkyY)))
      << std::hex << At(half_fade, kSkyX, kSkyY) << " between " << night_sky << " and "
      << At(shown_ending, kSkyX, kSkyY);

  const std::vector<std::uint8_t> kept = WrittenGameSettings(game_.HostPath() + "SAVEDATA");
  ASSERT_EQ(kept.size(), kGameSettingsSize) << "the game wrote its settings";
  EXPECT_EQ(kept[kSettingScreenEffectsOff], 1) << "effects off is kept";
  EXPECT_EQ(kept[kSettingUnreadTextInterval], 0) << "the fastest text";
  EXPECT_EQ(kept[kSettingReadTextInterval], 0);
  EXPECT_EQ(LoadLe32(&kept[kSettingMusicLevel]), 0u);
  EXPECT_EQ(LoadLe32(&kept[kSettingVoiceVolume]), 0u);
}

}  // namespace
