#include "app/game/game_app.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/input/game_key_bindings.h"
#include "base/numbers/little_endian.h"
#include "base/numbers/trig_tables.h"
#include "base/system/app_hooks.h"
#include "gfx/image_operations/screen_transition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/thread_id.h"
#include "platform/system/thread_priority.h"
#include "platform/window/system_message_box.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "support/game_settings_files.h"
#include "support/log_capture.h"
#include "support/temp_game_folder.h"
#include "ui/fonts/glyph_cache.h"

namespace {

struct PriorityChange {
  uint32_t thread;
  plat::ThreadPriority priority;
};

class SingleThreadGame : public CGameApp {
 public:
  SingleThreadGame() {
    SetThreaded(false);
    test_support::WriteGameSettingsFiles(game_);
    SetCommandLine("/L" + game_.EnginePath());
  }

 private:
  test_support::TempGameFolder game_;
};

class PriorityHookTest : public ::testing::Test {
 protected:
  static bool Record(void* context, uint32_t thread, plat::ThreadPriority priority) {
    static_cast<std::vector<PriorityChange>*>(context)->push_back({thread, priority});
    return true;
  }

  std::vector<PriorityChange> changes_;
  plat::ScopedThreadPrioritySetter setter_{&Record, &changes_};
};

TEST_F(PriorityHookTest, NestedLowersAndRestoresChangeThePriorityExactlyTwice) {
  SingleThreadGame game;
  EXPECT_EQ(game.LowerGameThreadPriority(), 0);
  EXPECT_EQ(game.LowerGameThreadPriority(), 1);
  EXPECT_EQ(game.LowerGameThreadPriority(), 1);
  EXPECT_EQ(game.GetPriorityNesting(), 3);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 3);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 2);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 1);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 0);
  ASSERT_EQ(changes_.size(), 2u);
  EXPECT_EQ(changes_[0].priority, plat::ThreadPriority::kLowest);
  EXPECT_EQ(changes_[1].priority, plat::ThreadPriority::kNormal);
  EXPECT_EQ(changes_[0].thread, plat::CurrentThreadId());
  EXPECT_EQ(changes_[1].thread, plat::CurrentThreadId());
}

// A motion still lowering the priority when the game ends is deleted after the hooks are gone:
// the game's end itself brings the thread back to normal, once.
TEST_F(PriorityHookTest, TheEndOfTheGameRestoresALoweredPriority) {
  {
    SingleThreadGame game;
    EXPECT_EQ(game.LowerGameThreadPriority(), 0);
    EXPECT_EQ(game.LowerGameThreadPriority(), 1);
  }
  ASSERT_EQ(changes_.size(), 2u);
  EXPECT_EQ(changes_[1].priority, plat::ThreadPriority::kNormal);
  EXPECT_EQ(changes_[1].thread, plat::CurrentThreadId());
  { SingleThreadGame untouched; }
  EXPECT_EQ(changes_.size(), 2u);
}

TEST_F(PriorityHookTest, SwitchedOffHooksChangeNothing) {
  SingleThreadGame game;
  game.GetGameSwitches()[kSwitchPriorityHooksOff] = 1;
  EXPECT_EQ(game.LowerGameThreadPriority(), -1);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 0);
  EXPECT_TRUE(changes_.empty());
}

TEST_F(PriorityHookTest, WithoutARunningWorkerTheThreadedHooksOnlyCount) {
  CGameApp game;  // threaded until Initialize reads the setting; no worker runs
  EXPECT_EQ(game.LowerGameThreadPriority(), 2);
  EXPECT_EQ(game.RestoreGameThreadPriority(), 1);
  EXPECT_TRUE(changes_.empty());
}

TEST_F(PriorityHookTest, TheSetUpPublishesTheHooks) {
  LogCapture log;
  SingleThreadGame game;
  EXPECT_EQ(game.SetUp(), 0);
  ASSERT_NE(g_LowerPriorityHook, nullptr);
  EXPECT_EQ(g_LowerPriorityHook(), 0);
  EXPECT_EQ(g_RestorePriorityHook(), 1);
  EXPECT_EQ(changes_.size(), 2u);
  EXPECT_EQ(g_App, &game);
  EXPECT_EQ(g_FrameworkApp, &game);
}

TEST(GameAppTablesTest, TheApplicationPublishesItsTrigonometricTablesWhileItLives) {
  {
    CGameApp game;
    ASSERT_NE(g_TrigTable, nullptr);
    EXPECT_EQ(g_MotionTrigTable, g_TrigTable);
    EXPECT_EQ(g_TrigTable->cosine[256], -65536);
  }
  EXPECT_EQ(g_TrigTable, nullptr);
  EXPECT_EQ(g_MotionTrigTable, nullptr);
}

TEST_F(PriorityHookTest, TheSetUpRegistersTheBitmapDecoderAndPublishesThePluginHosts) {
  LogCapture log;
  SingleThreadGame game;
  EXPECT_EQ(game.SetUp(), 0);
  ASSERT_NE(g_GllHost, nullptr);
  CImageDecoder* bitmap = g_GllHost->FindLoaderByExtension("SHOT.bmp", true);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(g_GllHost->FindLoaderByType(1), bitmap);
  EXPECT_NE(g_SoundDecoderManager, nullptr);
  EXPECT_NE(g_DcpHost, nullptr);
  EXPECT_NE(g_TcpHost, nullptr);
}

TEST_F(PriorityHookTest, TheSetUpInstallsTheSwitchOfPriorityControlBesideTheHooks) {
  LogCapture log;
  {
    SingleThreadGame game;
    EXPECT_EQ(game.SetUp(), 0);
    ASSERT_NE(g_PriorityControlOffHook, nullptr);
    EXPECT_FALSE(g_PriorityControlOffHook());
    game.GetGameSwitches()[kSwitchPriorityHooksOff] = 1;
    EXPECT_TRUE(g_PriorityControlOffHook());
  }
  EXPECT_EQ(g_PriorityControlOffHook, nullptr);
  for (const std::string& line : log.Lines()) {
    EXPECT_EQ(line.find("the built-in transition objects and draw objects"), std::string::npos) << line;
  }
}

TEST(ThreadPriorityTest, TheLowestPriorityOfTheCallingThreadCanBeSetAndReported) {
  LogCapture log;
  // Either the thread is lowered and restored, or the process may not restore it and nothing changes.
  if (plat::SetThreadPriority(plat::CurrentThreadId(), plat::ThreadPriority::kLowest)) {
    EXPECT_TRUE(plat::SetThreadPriority(plat::CurrentThreadId(), plat::ThreadPriority::kNormal));
  } else {
    EXPECT_FALSE(log.Lines().empty());
  }
}

}  // namespace

TEST(GameSettings, TheDefaultsHoldTheNamedValues) {
  const GameSettingsBlock block = DefaultGameSettings();
  EXPECT_EQ(block[0], 1);
  EXPECT_EQ(block[kSettingSnapshotWithoutText], 0);
  EXPECT_EQ(block[kSettingSaveText], 1);
  EXPECT_EQ(LoadLe32(&block[20]), 750u);
  EXPECT_EQ(LoadLe32(&block[32]), 1000u);
  EXPECT_EQ(LoadLe32(&block[92]), 150u);
  EXPECT_EQ(LoadLe32(&block[168]), 256u);
  EXPECT_STREQ(reinterpret_cast<const char*>(&block[36]), "SimSun");
  EXPECT_EQ(block[113], 0x41);
  EXPECT_EQ(block[124], 0xD2);
  EXPECT_EQ(block[129], 0xD1);
  EXPECT_EQ(block[174], 2);
  EXPECT_EQ(block[178], 5);
  EXPECT_EQ(block[191], 0);
  // The frame's own settings keep 0, the value every byte not named has in games' files, for
  // their usual behaviour.
  for (const std::size_t frame_setting : {kSettingQuickLoadUnasked, kSettingScreenEffectsOff, kSettingBackToChoiceUnasked,
                                          kSettingRightClickKeepsAutoOn}) {
    EXPECT_EQ(block[frame_setting], 0) << frame_setting;
  }
  EXPECT_EQ(&CurrentGameSettings(), &CurrentGameSettings());
  EXPECT_EQ(CurrentGameSettings(), block);  // nothing published: the defaults
}

namespace {

TEST(GameInputDevicesTest, TheDevicesArePublishedWithTheGamesBindingsOrTheirAbsenceStopsTheStart) {
  LogCapture log;
  std::vector<std::string> shown;
  plat::ScopedMessageBoxAnswers answers{[&shown](const plat::MessageBoxRequest& request) {
    shown.push_back(plat::SjisToUtf8(request.text));
    return plat::IDOK;
  }};
  {
    SingleThreadGame game;
    EXPECT_EQ(game.InitDevices(), kDevicesInputMissing);
    EXPECT_EQ(shown, std::vector<std::string>{"入力デバイスの初期化に失敗"});
    EXPECT_EQ(g_KeyBindings, nullptr);
  }
  {
    SingleThreadGame game;
    game.GetInputManager().Create(kInputMethodPolledShort, kInputMethodPolledShort);
    ASSERT_EQ(game.InitDevices(), 0);
    EXPECT_EQ(g_Keyboard, game.GetInputManager().GetKeyboard());
    EXPECT_EQ(g_Mouse, game.GetInputManager().GetMouse());
    EXPECT_EQ(g_Joystick, nullptr);
    ASSERT_NE(g_KeyBindings, nullptr);
    EXPECT_EQ(g_KeyBindings->CountBindings(kActionDecide, kSelectKeyboard), 3u);
  }
  EXPECT_EQ(g_Keyboard, nullptr);
  EXPECT_EQ(g_Mouse, nullptr);
  EXPECT_EQ(g_KeyBindings, nullptr);
}

}  // namespace

namespace {

class StartedGame : public CGameApp {
 public:
  explicit StartedGame(const kvxtools::UserConfigFile& user) {
    SetThreaded(false);
    test_support::WriteGameSettingsFiles(game_);
    const std::vector<std::uint8_t> bytes = kvxtools::WriteUserConfigFile(user);
    game_.WriteFile("USER.CFG", std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    SetCommandLine("/L" + game_.EnginePath());
  }

 private:
  test_support::TempGameFolder game_;
};

struct SteeredObjects {
  bool load_whole;
  uint64_t image_cache_bytes;
  uint32_t glyph_cache_limit;
  uint8_t strip_repaint;
};

SteeredObjects StartDevices(const kvxtools::UserConfigFile& user) {
  g_GlyphCacheLimit = 9999;
  g_StripRepaint = 99;
  StartedGame game(user);
  EXPECT_EQ(game.SetUp(), 0);
  game.GetInputManager().Create(kInputMethodPolledShort, kInputMethodPolledShort);
  EXPECT_EQ(game.InitDevices(), 0);
  return {g_SoundDecoderManager->IsLoadWhole(), g_GllHost->GetCache().GetBudget(), g_GlyphCacheLimit, g_StripRepaint};
}

// The user's settings file steers the sound decoders, the picture cache, the glyph caches and the
// repaint in strips from the start on.
TEST(GameDeviceSettingsTest, TheStoredSettingsReachTheObjectsTheySteer) {
  LogCapture log;
  plat::ScopedMessageBoxAnswers answers{[](const plat::MessageBoxRequest&) { return plat::IDOK; }};
  kvxtools::UserConfigFile user;
  const EnvironmentBlock environment = DefaultEnvironmentBlock();
  const WindowBlock window = DefaultWindowBlock();
  const GameSwitches switches = DefaultGameSwitches();
  user.environment.assign(environment.begin(), environment.end());
  user.window.assign(window.begin(), window.end());
  user.run_time.assign(switches.begin(), switches.end());
  const SteeredObjects defaults = StartDevices(user);
  EXPECT_TRUE(defaults.load_whole);
  EXPECT_GT(defaults.image_cache_bytes, 0u) << "chosen by the machine's memory";
  EXPECT_EQ(defaults.glyph_cache_limit, 512u);
  EXPECT_EQ(defaults.strip_repaint, 1);

  user.environment[kEnvLoadSoundsWhole] = 0;
  user.run_time[kSwitchImageCache] = 3;
  StoreLe16(&user.run_time[kSwitchGlyphCacheLimit], 77);
  user.run_time[kSwitchStripRepaint] = 0;
  const SteeredObjects changed = StartDevices(user);
  EXPECT_FALSE(changed.load_whole);
  EXPECT_EQ(changed.image_cache_bytes, 8u << 20);
  EXPECT_EQ(changed.glyph_cache_limit, 77u);
  EXPECT_EQ(changed.strip_repaint, 0);

  user.run_time[kSwitchImageCache] = 1;
  EXPECT_EQ(StartDevices(user).image_cache_bytes, 0u) << "1 turns the cache off";
  g_GlyphCacheLimit = 512;
  g_StripRepaint = 1;
}

}  // namespace
