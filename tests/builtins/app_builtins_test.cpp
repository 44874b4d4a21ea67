// The application, window and settings built-ins as a game's script calls them: the texts by
// size, the user settings by group and item, the voice records, the text settings, the screen-mode
// switch and its mark, and the frame-rate modes forwarded to the application.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "gfx/display/screen_manager.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/window_messages.h"
#include "platform/window/system_message_box.h"
#include "support/fake_app_services.h"
#include "support/game_host_fixture.h"
#include "support/script_calls.h"
#include "ui/widgets/list_menu.h"

namespace {

using test_support::ScriptCalls;
using test_support::ScriptCallsRun;

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

class AppBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    g_UserConfig = &settings_;
  }
  void TearDown() override {
    g_UserConfig = nullptr;
    GameScriptHostTest::TearDown();
  }
  ScriptCallsRun Run(const ScriptCalls& calls) { return ScriptCallsRun(game_, host_, calls); }
  std::string Text(const ScriptCallsRun& run, const std::string& label) {
    return host_.Memory().String(run.Address(label));
  }

  test_support::FakeAppServices app_;
  GameSettingsBlock settings_ = DefaultGameSettings();
};

TEST_F(AppBuiltinsTest, TheIdentifierIsSizedAndCutToTheBufferWithItsZero) {
  app_.save_folder = "Z:\\saves\\";
  const ScriptCallsRun run = Run({{{7, "0, buffer, 0"},
                                   {7, "0, buffer, 10"},
                                   {7, "2, 0, 0"},
                                   {7, "2, whole, 64"},
                                   {7, "1, 0, 0"},
                                   {7, "3, none, 8"},
                                   {7, "4, buffer, 8"}},
                                  "buffer: .word -1, -1, -1, -1\nwhole: .word 0\n .string \"....................................................................\"\nnone: .word -1\n"});
  EXPECT_EQ(run.Result(0), 39u);
  EXPECT_EQ(run.Result(1), 0u);
  const std::string cut = Text(run, "buffer");
  EXPECT_EQ(cut.size(), 9u);
  EXPECT_EQ(cut.front(), '{');
  EXPECT_EQ(host_.Memory().Word(run.Address("buffer") + 12), kMinusOne);  // nothing past the zero
  EXPECT_EQ(run.Result(2), 10u);                                           // the save folder and its zero
  EXPECT_EQ(Text(run, "whole"), "Z:\\saves\\");
  EXPECT_EQ(run.Result(4), 0u);  // no install source here
  EXPECT_EQ(run.Result(5), 0u);
  EXPECT_EQ(host_.Memory().Word(run.Address("none")) & 0xFF, 0u);  // an empty text
  EXPECT_EQ(run.Result(6), kMinusOne);
}

TEST_F(AppBuiltinsTest, UserSettingsLieInTheirGroupsPlacesAndWidths) {
  const struct {
    std::uint32_t group;
    std::uint32_t item;
    std::size_t offset;
    bool word;
  } cases[] = {{0, 0, 0, false},  {0, 14, 14, false}, {0, 15, 20, true},   {1, 6, 30, false},  {1, 7, 32, true},
               {2, 7, 74, false}, {2, 8, 76, true},   {3, 16, 81, false},  {3, 15, 86, false}, {3, 17, 88, true},
               {3, 8, 104, true}, {3, 14, 113, false}, {4, 2, 114, false}, {4, 17, 129, false}, {4, 1, 131, false},
               {5, 0, 132, false}, {5, 21, 148, false}, {5, 5, 153, false}, {6, 6, 157, false}, {6, 5, 158, false},
               {6, 0, 160, false}, {7, 0, 159, false}, {8, 4, 166, false}};
  ScriptCalls calls;
  for (const auto& c : cases) {
    const std::string where = std::to_string(c.group) + ", " + std::to_string(c.item + 0x300);  // the item's low byte
    calls.calls.push_back({8, where + ", 0x12345678"});
    calls.calls.push_back({9, where});
  }
  const ScriptCallsRun run = Run(calls);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(std::to_string(c.group) + "/" + std::to_string(c.item));
    EXPECT_EQ(run.Result(2 * i), 0u);
    const std::uint32_t stored = c.word ? LoadLe32(&settings_[c.offset]) : settings_[c.offset];
    EXPECT_EQ(stored, c.word ? 0x12345678u : 0x78u);
    EXPECT_EQ(run.Result(2 * i + 1), stored);
  }
}

TEST_F(AppBuiltinsTest, ItemSevenOfGroupZeroAndItemsOutsideTheirGroupsChangeNothing) {
  const GameSettingsBlock before = settings_;
  const ScriptCallsRun run = Run({{{8, "0, 7, 5"},
                                   {9, "0, 7"},
                                   {8, "5, 22, 5"},
                                   {8, "6, 7, 5"},
                                   {8, "9, 0, 5"},
                                   {9, "9, 0"},
                                   {9, "3, 18"}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 0u);
  EXPECT_EQ(run.Result(2), kMinusOne);
  EXPECT_EQ(run.Result(3), 0u);
  EXPECT_EQ(run.Result(4), 0u);
  EXPECT_EQ(run.Result(5), 0u);
  EXPECT_EQ(run.Result(6), 0u);
  EXPECT_EQ(settings_, before);
}

TEST_F(AppBuiltinsTest, TheFaceNameKeepsThirtyOneBytesOfWholeCharactersAndStaysAtItsAddress) {
  // 30 bytes, then a double-byte character that would end at byte 32.
  const std::string long_name = std::string(30, 'a') + plat::Utf8ToSjis("字") + "b";
  const ScriptCallsRun run = Run({{{8, "2, 0, name"}, {9, "2, 0"}, {8, "2, 0, short"}, {9, "2, 0"}},
                                  "name: .string \"" + long_name + "\"\nshort: .string \"Mincho\"\n"});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&settings_[kSettingFaceName])), "Mincho");
  EXPECT_EQ(host_.Memory().String(run.Result(3)), std::string("Mincho"));
  EXPECT_EQ(run.Result(1), run.Result(3));
  for (std::size_t i = 6; i < kSettingFaceNameSize; ++i) EXPECT_EQ(settings_[kSettingFaceName + i], 0) << i;
}

TEST_F(AppBuiltinsTest, TheFaceNameCutsBeforeADoubleByteCharacterThatWouldNotFit) {
  const std::string long_name = std::string(30, 'a') + plat::Utf8ToSjis("字") + "b";
  const ScriptCallsRun run = Run({{{8, "2, 0, name"}}, "name: .string \"" + long_name + "\"\n"});
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&settings_[kSettingFaceName])), std::string(30, 'a'));
  Run({{{8, "2, 0, name"}}, "name: .string \"" + std::string(40, 'b') + "\"\n"});
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&settings_[kSettingFaceName])), std::string(31, 'b'));
}

TEST_F(AppBuiltinsTest, VoiceRecordsGiveTheirFieldsAndAnIndexOutsideGivesTheCount) {
  VoiceTable& table = host_.Voices();
  table.characters = {{"AKI", std::string("SECRET"), 200, 1, 1}, {"BEN", std::nullopt, 256, 1, 1}, {"CAT", std::nullopt, 256, 0, 0}};
  table.names = {{"V_BEN1", 1}, {"V_BEN2", 1}};
  const ScriptCallsRun run = Run({{{11, "-1, 0"},
                                   {11, "3, 0"},
                                   {11, "0, 0"},
                                   {11, "0, 5"},
                                   {10, "0, 0, 77"},
                                   {11, "0, 0"},
                                   {10, "3, 0, 1"},
                                   {10, "0, 3, 1"},
                                   {10, "1, 2, 0"}}});
  EXPECT_EQ(run.Result(0), 3u);
  EXPECT_EQ(run.Result(1), 3u);
  EXPECT_EQ(run.Result(2), 200u);
  EXPECT_EQ(run.Result(5), 77u);
  EXPECT_EQ(run.Result(4), 0u);
  EXPECT_EQ(run.Result(6), kMinusOne);
  EXPECT_EQ(run.Result(7), kMinusOne);
  EXPECT_EQ(table.characters[1].second_name_flag, 0);
  // Texts, each read before the next takes its place.
  const auto text = [&](std::uint32_t record, std::uint32_t field) {
    const ScriptCallsRun one = Run({{{11, std::to_string(record) + ", " + std::to_string(field)}}});
    return one.Result(0) == 0 ? std::string("(none)") : std::string(host_.Memory().String(one.Result(0)));
  };
  EXPECT_EQ(text(0, 5), "SECRET");
  EXPECT_EQ(text(0, 3), "AKI");
  EXPECT_EQ(text(0, 4), "SECRET");
  table.characters[1].second_name_flag = 1;
  EXPECT_EQ(text(1, 5), plat::Utf8ToSjis("？？？"));
  EXPECT_EQ(text(1, 4), "(none)");
  EXPECT_EQ(text(1, 6), "V_BEN1");
  EXPECT_EQ(text(2, 6), "(none)");
  EXPECT_EQ(text(2, 5), "CAT");
}

TEST_F(AppBuiltinsTest, TextSettingsWithMinusOneAsTextBoxBringAGivenListMenuInLineAndReturnTheMark) {
  std::atomic<std::uint8_t> mark{1};
  host_.SetSettingsChangedMark(&mark);
  CListMenu menu;
  settings_[kSettingShowChosenChoices] = 0;
  const std::string menu_handle = std::to_string(menu.ScriptHandle(host_.Handles()));
  const ScriptCallsRun run = Run({{{12, "0, 1, -1, " + menu_handle + ", 0, 0, 0"}, {12, "1, 0, -1, " + menu_handle + ", 0, 0, 0"}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_FALSE(menu.GetShowChosen());
  EXPECT_EQ(run.Result(1), 0u);  // cleared by the first call
  EXPECT_EQ(mark.load(), 0);
}

TEST_F(AppBuiltinsTest, TheScreenModeSwitchIsRefusedUnlessAllowedNowAndForTheWindowInAFullScreenOnlyGame) {
  app_.allowed_screen_modes = kFullScreenOnly;
  app_.behaviour = kBehaviourMaximizeBox;
  const ScriptCallsRun refused = Run({{{13, "3"}, {13, "7"}}});
  EXPECT_EQ(refused.Result(0), 1u);
  EXPECT_EQ(refused.Result(1), 1u);
  EXPECT_TRUE(app_.selected_depths.empty());
  EXPECT_TRUE(app_.requested_modes.empty());

  app_.allowed_screen_modes = 2;
  app_.behaviour = 0;
  EXPECT_EQ(Run({{{13, "0"}}}).Result(0), 1u);
  EXPECT_TRUE(app_.requested_modes.empty());
}

TEST_F(AppBuiltinsTest, TheScreenModeSwitchAsksTheDisplayAndTheWindowAndRestoresTheModeOnFailure) {
  app_.behaviour = kBehaviourMaximizeBox;
  app_.window[kWinScreenMode] = kScreenModeWindow;
  app_.window[kWinColourDepth] = 3;
  const ScriptCallsRun done = Run({{{13, "2"}, {13, "-1"}, {13, "3"}}});
  EXPECT_EQ(done.Result(0), 0u);
  EXPECT_EQ(done.Result(1), 0u);
  EXPECT_EQ(done.Result(2), 0u);
  EXPECT_EQ(app_.selected_depths, (std::vector<std::uint8_t>{32, 0}));
  ASSERT_EQ(app_.requested_modes.size(), 3u);
  EXPECT_EQ(app_.requested_modes[2], (std::pair<std::uint8_t, std::uint8_t>{kScreenModeWindow, 0}));
  EXPECT_EQ(app_.applied_rates, (std::vector<std::int32_t>{-1, -1, -1}));

  std::vector<std::string> boxes;
  plat::ScopedMessageBoxAnswers answers{[&boxes](const plat::MessageBoxRequest& request) {
    boxes.push_back(plat::SjisToUtf8(request.text));
    return plat::IDOK;
  }};
  app_.display_refused = true;
  app_.window[kWinScreenMode] = 9;  // a switch that failed must give this back
  EXPECT_EQ(Run({{{13, "1"}}}).Result(0), 2u);
  EXPECT_EQ(app_.selected_depths.back(), 24);
  EXPECT_EQ(boxes, std::vector<std::string>{"画面モード変更設定に失敗"});
  EXPECT_EQ(app_.window[kWinScreenMode], 9);

  app_.display_refused = false;
  app_.switch_answer = 5;
  EXPECT_EQ(Run({{{13, "3"}}}).Result(0), 3u);
  EXPECT_TRUE(app_.mode_switch_failed);
  EXPECT_EQ(app_.window[kWinScreenMode], 9);
  EXPECT_EQ(app_.applied_rates.size(), 3u);
}

TEST_F(AppBuiltinsTest, TheWindowOptionsAndTheSwitchedMarkReachTheApplication) {
  app_.screen_mode_switched = true;
  const ScriptCallsRun run = Run({{{38, ""}, {38, ""}, {3, "0, 1"}, {3, "1, 6"}, {3, "2, 1"}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 0u);
  EXPECT_TRUE(app_.screen_mode_change_allowed);
  EXPECT_EQ(app_.keyboard_hook_bits, 2);
  EXPECT_TRUE(app_.keyboard_hook);
  EXPECT_EQ(Run({{{3, "1, 4"}}}).Result(0), 0u);
  EXPECT_EQ(app_.keyboard_hook_bits, 0);
  EXPECT_TRUE(app_.keyboard_hook);  // the value, not its bits, decides
  app_.allowed_screen_modes = kWindowModeOnly;
  Run({{{3, "0, 0"}}});
  EXPECT_TRUE(app_.screen_mode_change_allowed);  // a game that never switches keeps it
}

TEST_F(AppBuiltinsTest, TheFrameModesAndPriorityHooksForwardTheApplicationsAnswers) {
  const ScriptCallsRun run = Run({{{15, ""}, {15, ""}, {16, ""}, {17, ""}, {18, ""}, {19, ""}, {20, ""}, {21, "-1"}, {21, "30"}}});
  EXPECT_EQ(run.Result(0), 1u);
  EXPECT_EQ(run.Result(1), 2u);
  EXPECT_EQ(run.Result(2), 1u);
  EXPECT_EQ(run.Result(3), 1u);
  EXPECT_EQ(run.Result(4), 0u);
  EXPECT_EQ(run.Result(5), 1u);
  EXPECT_EQ(run.Result(6), 0u);
  EXPECT_EQ(app_.applied_rates, (std::vector<std::int32_t>{-1, 30}));
}

TEST_F(AppBuiltinsTest, TheStateTableReadsTheApplicationAndWithoutAScreenItsScreenEntriesAreZero) {
  CScreenManager* const screen = g_ScreenManager;
  g_ScreenManager = nullptr;
  app_.window[kWinScreenMode] = kScreenModeWindow;
  app_.window[kWinColourDepth] = 3;
  settings_[kSettingEnlargedDrawing] = 2;
  app_.modal_state = 7;
  const ScriptCallsRun run = Run({{{6, "1"}, {6, "16"}, {6, "4"}, {6, "7"}, {6, "9"}, {6, "10"}, {6, "11"}, {6, "21"}, {6, "23"}, {25, ""},
                                   {24, "0x101, 0"}}});
  g_ScreenManager = screen;
  EXPECT_EQ(run.Result(0), 0u);
  EXPECT_EQ(run.Result(1), 0u);
  EXPECT_EQ(run.Result(2), 1u);
  EXPECT_EQ(run.Result(3), g_CpuHasMmx);
  EXPECT_EQ(run.Result(4), 1u);
  EXPECT_EQ(run.Result(5), 3u);
  EXPECT_EQ(run.Result(6), 2u);
  EXPECT_EQ(run.Result(7), 1u);
  EXPECT_EQ(run.Result(8), 0u);
  EXPECT_EQ(run.Result(9), 7u);
  // Index 0x101 is 1 in its low byte: the save command, which the game has not permitted.
  EXPECT_EQ(run.Result(10), 0u);
  app_.menu_groups[1] = true;
  EXPECT_EQ(Run({{{24, "0x101, 0"}}}).Result(0), 1u);
  ASSERT_EQ(app_.messages.size(), 1u);
  EXPECT_EQ(app_.messages[0].message, plat::WM_COMMAND);
}

}  // namespace
