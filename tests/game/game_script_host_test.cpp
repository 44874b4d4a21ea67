// The game script host: its 809 built-in functions, the seeding of the script random generator,
// the restart of the main script, and the state record with the snapshot.
#include "game/game_script_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "base/numbers/byte_cursor.h"
#include "base/numbers/little_endian.h"
#include "base/numbers/subtractive_random.h"
#include "base/settings/game_settings.h"
#include "base/time/timer_manager.h"
#include "builtins/builtin_table.h"
#include "effects/framework/builtin_effect_services.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "script/script_transfer.h"
#include "script/transfer_builtins.h"
#include "sob_builder.h"
#include "support/fake_sound_system.h"
#include "support/game_host_fixture.h"
#include "support/log_capture.h"
#include "ui/dialogs/game_message_box.h"
#include "ui/gui/cursor_glide_hook.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/fake_ime.h"

namespace {

using game_test::GameScriptHostTest;
using game_test::GameStateRecordTest;

TEST_F(GameScriptHostTest, RegistersAllBuiltInsInTheOrderOfTheirNumbers) {
  EXPECT_EQ(host_.Natives().Count(), kBuiltinCount);
  EXPECT_EQ(Native(2), &NativeScriptEnd);
  EXPECT_EQ(Native(kBuiltinCount), nullptr);
  ASSERT_EQ(GameBuiltins().size(), kBuiltinCount - kFirstGameBuiltin);
  EXPECT_EQ(GameBuiltins().front().id, kFirstGameBuiltin);
  EXPECT_EQ(std::string(GameBuiltins().front().name), "NativeSetWindowOption");
  EXPECT_EQ(Native(3), GameBuiltins().front().function);
  EXPECT_EQ(GameBuiltins().back().id, kBuiltinCount - 1);
  EXPECT_EQ(std::string(GameBuiltins()[791 - kFirstGameBuiltin].name), "NativeVovCreate");
  for (const GameBuiltin& builtin : GameBuiltins()) {
    EXPECT_EQ(Native(builtin.id), builtin.function) << builtin.id;
  }
}

// The application's object hosts, published before the host is made.
struct PublishedObjectHosts {
  PublishedObjectHosts() {
    g_DcpHost = &effects;
    g_TcpHost = &filters;
  }
  ~PublishedObjectHosts() {
    g_DcpHost = nullptr;
    g_TcpHost = nullptr;
  }
  PublishedObjectHosts(const PublishedObjectHosts&) = delete;
  PublishedObjectHosts& operator=(const PublishedObjectHosts&) = delete;

  CDcpPluginManager effects;
  CTcpPluginManager filters;
};

class GameHostEffectsTest : public sob_test::ScriptFilesTest {
 protected:
  PublishedObjectHosts hosts_;
  LogCapture log_;
  CGameScriptHost host_;
};

TEST_F(GameHostEffectsTest, TheHostRegistersItsBuiltInEffectsWithTheApplicationsHosts) {
  EXPECT_NE(hosts_.effects.FindObject("sp_tanime", nullptr), nullptr);
  EXPECT_NE(hosts_.effects.FindObject("sp_fade", nullptr), nullptr);
  EXPECT_NE(hosts_.effects.FindObject("sp_gfade", nullptr), nullptr);
  EXPECT_NE(hosts_.effects.FindObject("sp_change", nullptr), nullptr);
  EXPECT_NE(hosts_.effects.FindObject("staff", nullptr), nullptr);
  for (const char* screen : {"quake", "noise", "paper", "light", "snow", "rain"}) {
    EXPECT_NE(hosts_.effects.FindObject(screen, nullptr), nullptr) << screen;
  }
  EXPECT_EQ(hosts_.effects.GetObjects().GetRecordCount(), 11u) << "the script host's rows that are built";
  EXPECT_EQ(g_BuiltinEffectServices.staff_roll_channels, &host_.SoundChannels());
  EXPECT_EQ(g_BuiltinEffectServices.random_state, &g_ScriptRandomState);
  EXPECT_EQ(g_BuiltinEffectServices.random_index, &g_ScriptRandomIndex);
}

TEST_F(GameHostEffectsTest, TheStaffRollLetsGoOfTheChannelsWhenTheHostEnds) {
  {
    CGameScriptHost other;
    EXPECT_EQ(g_BuiltinEffectServices.staff_roll_channels, &other.SoundChannels());
  }
  EXPECT_EQ(g_BuiltinEffectServices.staff_roll_channels, nullptr);
}

TEST_F(GameScriptHostTest, TheSharedReturnZeroStandsAtItsSixNumbers) {
  const std::uint32_t zero_ids[] = {37, 55, 56, 795, 800, 801};
  for (std::uint32_t id : zero_ids) {
    EXPECT_EQ(std::string(GameBuiltins()[id - kFirstGameBuiltin].name), "NativeReturnZero") << id;
    EXPECT_EQ(Native(id), Native(37)) << id;
    EXPECT_EQ(Native(id)(Args(0, 0)), 0u) << id;
    EXPECT_EQ(Native(id)(Args(8, 0xFFFFFFFF)), 0u) << id;
    EXPECT_EQ(Native(id)(Args(3, 12345)), 0u) << id;
  }
  const auto zero_count = std::count_if(GameBuiltins().begin(), GameBuiltins().end(),
                                        [&](const GameBuiltin& b) { return b.function == Native(37); });
  EXPECT_EQ(zero_count, 6);
  EXPECT_TRUE(log_.Lines().empty());
}

// The link's effect is the one step of a built-in that is logged as not built: a word that names
// no surface object does not reach it.
TEST_F(GameScriptHostTest, TheLinkGivesZeroAndLogsNothingForAWordThatNamesNoObject) {
  EXPECT_EQ(std::string(GameBuiltins()[240 - kFirstGameBuiltin].name), "NativeSetObjectLink");
  EXPECT_EQ(Native(240)(Args(2, 7)), 0u);
  EXPECT_EQ(Native(240)(Args(2, 0)), 0u);
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_NE(Native(241), Native(240));
}

TEST_F(GameScriptHostTest, UnloadingAndResettingHandTheMessagesChoicesToTheHistory) {
  EXPECT_EQ(g_TextPrinter, &host_.TextPrinter());
  CTextPrinter& printer = host_.TextPrinter();
  printer.history_on = 1;
  printer.SetHistorySize(4);
  const std::uint32_t record = host_.Memory().Allocate(8, true);
  host_.Memory().Write(record + 3, "ask", 3);
  const std::uint32_t choices = host_.Memory().Allocate(16, true);
  host_.Memory().Write(choices, "\2\0\0\1\0\5\0no", 9);
  for (const bool unload : {true, false}) {
    ASSERT_EQ(printer.SetMessage(record), 0);
    ASSERT_EQ(printer.AddChoice("yes"), 0);
    EXPECT_EQ(printer.SetChoices(choices), 0) << "the choices are still pending";
    if (unload) {
      host_.UnloadScript();
    } else {
      host_.ResetScripts(1);
    }
    EXPECT_EQ(printer.SetChoices(choices), -2) << "the newest entry holds them now";
  }
}

TEST_F(GameStateRecordTest, TheClassOneVariablesRoundTripAndNothingElseChanges) {
  SetWord(0, 0x11111111);
  const std::vector<std::uint8_t> record = Written(false);
  ASSERT_EQ(record.size(), kVariablesSize + 1);
  EXPECT_EQ(record[0], 0);  // the class-1 selector
  EXPECT_EQ(record[1], 0);  // variable 0's kind
  EXPECT_EQ(LoadLe32(&record[2]), 0x11111111u);
  EXPECT_EQ(record[10], 1);  // variable 1's kind
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[11])), "abc");
  EXPECT_EQ(record[kVariablesSize], 0);  // no text part

  SetEveryWord(0xEEEEEEEE);
  ASSERT_EQ(host_.ReadState(record), 0u);
  EXPECT_EQ(Word(0), 0x11111111u);
  EXPECT_EQ(std::string(host_.Memory().String(Block(1))), "abc");
  EXPECT_EQ(Word(2), 0xEEEEEEEEu);
  EXPECT_EQ(Word(3), 0xEEEEEEEEu);
  EXPECT_EQ(Word(4), 0xEEEEEEEEu);
}

TEST_F(GameStateRecordTest, WithoutTheTextPartTheRecordHoldsNoPrinterStateAndNoSnapshot) {
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  ASSERT_FALSE(host_.HeldSnapshot().empty());
  settings_[kSettingSaveText] = 0;
  for (const bool with_text : {false, true}) {
    const std::vector<std::uint8_t> record = Written(with_text);
    ASSERT_EQ(record.size(), kVariablesSize + 1) << with_text;
    EXPECT_EQ(record[kVariablesSize], 0) << with_text;
  }
  settings_[kSettingSaveText] = 1;
  EXPECT_EQ(Written(false).size(), kVariablesSize + 1);
}

TEST_F(GameStateRecordTest, WithTheTextPartTheHeldSnapshotTravelsInTheRecord) {
  // The text part starts with the text printer's state: an empty history here.
  const std::size_t printer = host_.TextPrinter().SaveSize();
  SetWord(0, 7);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  const std::vector<std::uint8_t> snapshot = Held();
  // A snapshot is taken after the old one is dropped, so its own snapshot is empty.
  ASSERT_EQ(snapshot.size(), kVariablesSize + 1 + printer + 4);
  EXPECT_EQ(snapshot[kVariablesSize], 1);
  EXPECT_EQ(LoadLe32(&snapshot[kVariablesSize + 1 + printer]), 0u);

  SetWord(0, 8);
  const std::vector<std::uint8_t> record = Written(true);
  ASSERT_EQ(record.size(), kVariablesSize + 1 + printer + 4 + snapshot.size());
  EXPECT_EQ(record[kVariablesSize], 1);
  EXPECT_EQ(LoadLe32(&record[kVariablesSize + 1 + printer]), snapshot.size());
  EXPECT_TRUE(std::equal(snapshot.begin(), snapshot.end(), record.begin() + kVariablesSize + 5 + printer));

  host_.DiscardSnapshot();
  EXPECT_TRUE(host_.HeldSnapshot().empty());
  SetWord(0, 9);
  ASSERT_EQ(host_.ReadState(record), 0u);
  EXPECT_EQ(Word(0), 8u);
  EXPECT_EQ(Held(), snapshot);

  // A record whose snapshot is empty leaves none held.
  ASSERT_EQ(host_.ReadState(snapshot), 0u);
  EXPECT_EQ(Word(0), 7u);
  EXPECT_TRUE(host_.HeldSnapshot().empty());
}

TEST_F(GameStateRecordTest, RestoreSnapshotWithoutASnapshotChangesNothing) {
  SetWord(0, 5);
  EXPECT_EQ(host_.RestoreSnapshot(), CGameScriptHost::kNoSnapshot);
  EXPECT_EQ(CGameScriptHost::kNoSnapshot, static_cast<std::uint32_t>(-1));
  EXPECT_EQ(Word(0), 5u);
  EXPECT_TRUE(host_.HeldSnapshot().empty());
  EXPECT_TRUE(log_.Lines().empty());
}

TEST_F(GameStateRecordTest, ASnapshotBringsTheVariablesBackOnceAndIsThenGone) {
  SetWord(0, 100);
  SetWord(2, 200);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  SetWord(0, 101);
  SetWord(2, 201);
  EXPECT_EQ(host_.RestoreSnapshot(), 0u);
  EXPECT_EQ(Word(0), 100u);
  EXPECT_EQ(Word(2), 201u);  // persistent variables are not part of the game state
  EXPECT_TRUE(host_.HeldSnapshot().empty());
  SetWord(0, 102);
  EXPECT_EQ(host_.RestoreSnapshot(), CGameScriptHost::kNoSnapshot);
  EXPECT_EQ(Word(0), 102u);

  // Settings byte 14 leaves the text part out of snapshots; taking one replaces the old one.
  settings_[kSettingSnapshotWithoutText] = 1;
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  SetWord(0, 103);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  ASSERT_EQ(host_.HeldSnapshot().size(), kVariablesSize + 1);
  EXPECT_EQ(host_.HeldSnapshot()[kVariablesSize], 0);
  SetWord(0, 104);
  EXPECT_EQ(host_.RestoreSnapshot(), 0u);
  EXPECT_EQ(Word(0), 103u);
}

TEST_F(GameStateRecordTest, ReadingTheHeldSnapshotsOwnBytesIsSafe) {
  SetWord(0, 55);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  SetWord(0, 56);
  EXPECT_EQ(host_.ReadState(host_.HeldSnapshot()), 0u);
  EXPECT_EQ(Word(0), 55u);
  EXPECT_TRUE(host_.HeldSnapshot().empty());
}

TEST_F(GameStateRecordTest, VariablesThatCannotBeWrittenFailWithOneAndLeaveNoRecord) {
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  host_.Memory().SetWord(host_.Variables().Table()[1].address, 0xFFFFFF00);  // a cell pointing nowhere
  std::vector<std::uint8_t> record(3, 0xAA);
  EXPECT_EQ(host_.WriteState(record, true), 1u);
  EXPECT_TRUE(record.empty());
  EXPECT_EQ(host_.TakeSnapshot(), 1u);
  EXPECT_TRUE(host_.HeldSnapshot().empty());
}

TEST_F(GameStateRecordTest, DamagedVariablesAreRefusedWithNothingChanged) {
  SetWord(0, 1);
  const std::vector<std::uint8_t> record = Written(true);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  const std::vector<std::uint8_t> snapshot = Held();
  SetWord(0, 2);
  SetWord(2, 3);
  const std::vector<std::uint32_t> before = Words();

  EXPECT_EQ(host_.ReadState({}), 1u);
  EXPECT_EQ(host_.ReadState(std::span(record).first(kVariablesSize - 1)), 2u);  // cut inside variable 1

  std::vector<std::uint8_t> wrong_kind = record;
  wrong_kind[10] = 0;
  EXPECT_EQ(host_.ReadState(wrong_kind), 2u);

  // A record of the persistent variables' selector must not reach them.
  const std::vector<std::uint8_t> persistent = {1, 0, 0x77, 0x77, 0x77, 0x77, 0};
  EXPECT_EQ(host_.ReadState(persistent), 2u);

  EXPECT_EQ(Words(), before);
  EXPECT_EQ(Held(), snapshot);
}

// The record is the variables and the text part, nothing after them; records of earlier builds
// that end with the sound channels' state still load, channels and all.
TEST_F(GameStateRecordTest, TheRecordEndsWithItsOwnPartsAndAnEarlierRecordsSoundChannelsStillLoad) {
  test_support::FakeSoundSystem sound;
  game_.WriteFile("SE/HIT.PCM", test_support::MakeFakePcmFile({16, 1, 22050, std::vector<std::uint8_t>(4410, 1)}));
  CSoundChannelManager& channels = host_.SoundChannels();
  EXPECT_EQ(g_SoundChannels, &channels);
  EXPECT_EQ(GuiRootWindow().GetSoundChannels(), &channels);  // the GUI sounds play there
  ASSERT_EQ(channels.SetChannelCount(2), 0u);
  ASSERT_EQ(channels.SetChannelClass(1, CSoundChannelManager::kVoiceClass), 0u);
  ASSERT_EQ(channels.LoadChannel(1, "SE\\HIT.PCM", 0, false), 0u);
  ASSERT_EQ(channels.PlayChannel(1, true), 0);
  ASSERT_EQ(channels.PlayBgm("SE\\HIT.PCM", nullptr, true), 0);
  const std::vector<std::uint8_t> older = Written(false);
  ASSERT_EQ(older.size(), kVariablesSize + 1);
  // The same record as earlier builds wrote it, the channels' state after it.
  ByteWriter tail;
  ASSERT_EQ(channels.SaveState(tail), 0u);
  std::vector<std::uint8_t> record = older;
  record.insert(record.end(), tail.Data().begin(), tail.Data().end());

  channels.StopBgm();
  channels.FreeChannels();
  ASSERT_EQ(channels.SetChannelCount(5), 0u);
  ASSERT_EQ(host_.ReadState(record), 0u);
  ASSERT_EQ(channels.GetChannelCount(), 2);
  EXPECT_EQ(channels.GetChannel(1)->sound_class, CSoundChannelManager::kVoiceClass);
  EXPECT_EQ(channels.GetChannel(1)->file, "SE\\HIT.PCM");
  EXPECT_TRUE(channels.IsChannelPlaying(1));
  EXPECT_EQ(channels.CurrentBgm().file, "SE\\HIT.PCM");
  EXPECT_TRUE(channels.CurrentBgm().loop);

  ASSERT_EQ(channels.SetChannelCount(3), 0u);
  SetWord(0, 77);
  ASSERT_EQ(host_.ReadState(older), 0u);
  EXPECT_EQ(Word(0), 0x04030201u);
  EXPECT_EQ(channels.GetChannelCount(), 3);
  EXPECT_TRUE(channels.IsChannelPlaying(1));

  // A damaged channels' part is refused whole.
  SetWord(0, 77);
  EXPECT_EQ(host_.ReadState(std::span(record).first(record.size() - 1)), 3u);
  EXPECT_EQ(Word(0), 77u);
  EXPECT_EQ(channels.GetChannelCount(), 3);

  channels.StopBgm();
  channels.FreeChannels();
}

TEST_F(GameStateRecordTest, ADamagedTextPartFailsWithThreeAndChangesNothing) {
  SetWord(0, 1);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  const std::vector<std::uint8_t> record = Written(true);
  const std::vector<std::uint8_t> snapshot = Held();
  const std::size_t size_at = kVariablesSize + 1;

  std::vector<std::vector<std::uint8_t>> damaged;
  damaged.emplace_back(record.begin(), record.begin() + kVariablesSize);      // no text flag
  damaged.emplace_back(record.begin(), record.begin() + size_at + 2);         // a cut size word
  damaged.emplace_back(record.begin(), record.end() - 1);                     // one snapshot byte short
  damaged.push_back(record);
  StoreLe32(&damaged.back()[size_at], 0xFFFFFFFF);
  for (const std::vector<std::uint8_t>& bytes : damaged) {
    SetWord(0, 2);
    ASSERT_EQ(host_.TakeSnapshot(), 0u);
    const std::vector<std::uint8_t> held = Held();
    EXPECT_EQ(host_.ReadState(bytes), 3u) << bytes.size();
    // A damaged record changes neither the variables nor the held snapshot.
    EXPECT_EQ(Word(0), 2u) << bytes.size();
    EXPECT_EQ(Held(), held) << bytes.size();
  }

  // An earlier build's record, with the sound channels' state after it, loads; bytes after that
  // are left alone.
  ByteWriter channels;
  ASSERT_EQ(host_.SoundChannels().SaveState(channels), 0u);
  std::vector<std::uint8_t> longer = record;
  longer.insert(longer.end(), channels.Data().begin(), channels.Data().end());
  longer.insert(longer.end(), {0xDE, 0xAD, 0xBE, 0xEF});
  SetWord(0, 2);
  EXPECT_EQ(host_.ReadState(longer), 0u);
  EXPECT_EQ(Word(0), 1u);
  EXPECT_EQ(Held(), snapshot);
}

// The seeding written out step by step: the table is filled in the order 21, 42, 8, ... and
// regenerated three times.
SubtractiveTable ThreePassSeed(std::uint32_t seed) {
  constexpr std::int64_t kModulus = 1000000000;
  std::int64_t words[56] = {};
  std::int64_t mj = seed;
  std::int64_t mk = 1;
  words[55] = mj;
  for (int i = 1; i <= 54; ++i) {
    const int ii = (21 * i) % 55;
    words[ii] = mk;
    mk = ((mj - mk) % kModulus + kModulus) % kModulus;
    mj = words[ii];
  }
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 1; i <= 24; ++i) words[i] = ((words[i] - words[i + 31]) % kModulus + kModulus) % kModulus;
    for (int i = 25; i <= 55; ++i) words[i] = ((words[i] - words[i - 24]) % kModulus + kModulus) % kModulus;
  }
  SubtractiveTable table{};
  for (int i = 1; i <= 55; ++i) table[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(words[i]);
  return table;
}

TEST(GameScriptRandomTest, AFixedClockGivesTheStateOfTheThreePassSeeding) {
  for (std::uint32_t clock : {0u, 1u, 123456789u, 999999999u}) {
    g_ScriptRandomIndex = 3;
    SeedScriptRandom(clock);
    EXPECT_EQ(g_ScriptRandomIndex, 55);
    EXPECT_EQ(g_ScriptRandomState, ThreePassSeed(clock)) << clock;
  }
  // The program-wide state is a different generator and stays as it was.
  const SubtractiveTable program_state = g_SubtractiveState;
  SeedScriptRandom(42);
  EXPECT_EQ(g_SubtractiveState, program_state);
}

TEST_F(GameScriptHostTest, TheHostSetsTheMessageBoxUpAndGivesTheWidgetsTheirGlideWhileItLives) {
  EXPECT_EQ(g_MessageBox.GetOwnerWindow(), &GuiRootWindow());
  EXPECT_EQ(g_MessageBox.GetBoxFont().logical_font().height, -19);
  ASSERT_NE(g_CursorGlideHook, nullptr);
  // Without an application the glide starts nothing.
  CCursorMotion* glide = nullptr;
  EXPECT_EQ(g_CursorGlideHook(10, 10, 140, &glide), 0);
  EXPECT_EQ(glide, nullptr);
  // A host that ends takes the glide with it.
  {
    CGameScriptHost second;
  }
  EXPECT_EQ(g_CursorGlideHook, nullptr);
}

TEST_F(GameScriptHostTest, ConstructionSeedsTheScriptGenerator) {
  g_ScriptRandomIndex = 0;
  CGameScriptHost other;
  EXPECT_EQ(g_ScriptRandomIndex, 55);
}

TEST_F(GameScriptHostTest, RestartMainResetsWithTheBootValueAndLoadsMain) {
  WriteScript("MAIN", ".kind script\n  Return\n");
  EXPECT_EQ(host_.BootValue(), 1u);
  host_.SetBootValue(5);
  g_ScriptCallDepth = 2;
  RequestScriptTransfer(kScriptTransferJump, "ELSEWHERE");  // left by the scripts before the restart
  ASSERT_EQ(host_.RestartMain(false), 0u);
  EXPECT_EQ(host_.ScriptBootFlg(), static_cast<std::uint32_t>(-5));
  EXPECT_EQ(g_ScriptCallDepth, 0u);
  EXPECT_EQ(g_ScriptTransfer, kScriptTransferNone);
  EXPECT_EQ(host_.RunLoop(), CScriptHost::kRunFinished);

  ASSERT_EQ(host_.RestartMain(true), 0u);
  EXPECT_EQ(host_.ScriptBootFlg(), 5u);
}

TEST_F(GameScriptHostTest, RestartMainWithoutAMainScriptFails) {
  host_.SetBootValue(2);
  EXPECT_EQ(host_.RestartMain(true), 1u);
  EXPECT_EQ(host_.ScriptBootFlg(), 2u);
}

TEST(GameScriptHostWidgetTest, TheHostEquipsTheWidgetManagerAndItsEndDeletesTheScriptsWidgets) {
  CTimerManager timers;
  gui_test::FakeIme ime;
  CTimerManager* const old_timers = g_TimerManager;
  CImeContext* const old_ime = g_ImeContext;
  g_TimerManager = &timers;
  g_ImeContext = &ime;
  std::optional<CGameScriptHost> host(std::in_place);
  EXPECT_EQ(g_WidgetManager.timer_manager, &timers);
  EXPECT_EQ(g_WidgetManager.ime_context, &ime);
  EXPECT_EQ(g_WidgetManager.bar_style.page_back_action, 18);
  EXPECT_EQ(g_WidgetManager.bar_style.page_forward_action, 19);

  CGuiElement* area = nullptr;
  ASSERT_EQ(g_WidgetManager.CreateClickArea(&area, 0, 0, 10, 10, -1, -1, true, true), 0);
  ASSERT_EQ(GuiRootWindow().AddChild(area, -1), 0u);
  HandleTable handles;
  const std::uint32_t handle = area->ScriptHandle(handles);
  host.reset();
  EXPECT_EQ(g_WidgetManager.GetCount(), 0u);
  EXPECT_TRUE(GuiRootWindow().GetChildren().empty());
  EXPECT_EQ(handles.Get<CGuiElement>(handle), nullptr);
  g_TimerManager = old_timers;
  g_ImeContext = old_ime;
}

}  // namespace
