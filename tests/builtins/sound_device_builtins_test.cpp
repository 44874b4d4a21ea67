// Built-ins 596 to 601 and 631: the sound device's format and the sound-card message, the
// decoder host's switch and plug-ins, decoding into a WAV file where scripts may write; and no
// sound built-in left unbuilt.
#include "builtins/sound_device_builtins.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/files/script_write_rule.h"
#include "base/numbers/little_endian.h"
#include "base/settings/game_switches.h"
#include "platform/window/system_message_box.h"
#include "sound/wave_file_writer.h"
#include "sound_builtins_fixture.h"
#include "support/fake_app_services.h"
#include "support/log_capture.h"
#include "support/native_code_folder.h"
#include "support/temp_game_folder.h"

namespace {

using sound_builtins_test::kMinusOne;
using sound_builtins_test::kMinusTwo;
using Words = std::array<std::uint32_t, 3>;

class SoundDeviceBuiltinsTest : public sound_builtins_test::SoundBuiltinsTest {
 protected:
  void TearDown() override {
    ClearScriptWriteFolders();
    SoundBuiltinsTest::TearDown();
  }
  std::uint8_t& Warning() { return app_.switches[kSwitchSoundWarning]; }

  test_support::FakeAppServices app_;
  std::vector<plat::MessageBoxRequest> shown_;
  plat::ScopedMessageBoxAnswers answers_{[this](const plat::MessageBoxRequest& request) {
    shown_.push_back(request);
    return plat::IDOK;
  }};
};

TEST_F(SoundDeviceBuiltinsTest, TheDeviceSetUpGetsTheWordsAndAnswersInTheFirst) {
  EXPECT_EQ(Call(596, {0, 8, 8}), 0u);
  EXPECT_EQ(Call(596, {0x101, 22, 0x10008}), 0u);
  // The application takes channels 0 as its defaults; the words go as the script wrote them.
  EXPECT_EQ(app_.sound_device_requests, (std::vector<Words>{{0, 8, 8}, {0x101, 22, 0x10008}}));
  EXPECT_EQ(Arg(0), 0u);
  app_.sound_device_status = -1;
  EXPECT_EQ(Call(596, {2, 44, 16}), kMinusOne);
  EXPECT_EQ(Arg(0), kMinusOne);
  EXPECT_TRUE(shown_.empty());
}

TEST_F(SoundDeviceBuiltinsTest, AFailedSetUpWarnsOnceWhileTheSwitchIsOnAndInvertsWhatTheDialogLeft) {
  app_.sound_device_status = 2;
  struct Case {
    std::uint8_t before;
    std::uint8_t ticked;  // what the dialog's check box leaves
    std::size_t shown;
    std::uint8_t after;
  };
  for (const Case c : {Case{1, 0, 1, 1}, Case{1, 1, 1, 0}, Case{0, 1, 0, 0}, Case{0xFF, 0, 1, 1}}) {
    shown_.clear();
    Warning() = c.before;
    app_.sound_card_switch_off = c.ticked;
    EXPECT_EQ(Call(596, {0, 0, 0}), 2u);
    EXPECT_EQ(Arg(0), 2u);
    EXPECT_EQ(shown_.size(), c.shown) << int{c.before} << " " << int{c.ticked};
    EXPECT_EQ(Warning(), c.after);
  }
}

TEST_F(SoundDeviceBuiltinsTest, TheDecoderSwitchTakesTheByteOrTheConfiguredSetting) {
  app_.load_sounds_whole = true;
  struct Case {
    std::uint32_t word;
    bool whole;
  };
  for (const Case c : {Case{1, true}, Case{0, false}, Case{5, true}, Case{0x100, false}, Case{2, true}}) {
    EXPECT_EQ(Call(597, {c.word}), 0u);
    EXPECT_EQ(sound_.host.IsLoadWhole(), c.whole) << c.word;
    sound_.host.SetLoadWhole(!c.whole);
  }
  app_.load_sounds_whole = false;
  EXPECT_EQ(Call(597, {5}), 0u);
  EXPECT_FALSE(sound_.host.IsLoadWhole());
}

// The plug-ins lie in the player's plug-in folder, where scripts name them by their paths.
TEST_F(SoundDeviceBuiltinsTest, PluginsLoadAnswerTheirAssistAndAreFreed) {
  const test_support::TempGameFolder player;
  const test_support::ScopedNativeCodeFolder native_code(player.EnginePath());
  player.MakeFolder("plugin");
  std::filesystem::copy_file(std::string(KESTRUNE_TEST_PLUGIN_DIR) + "/full.SLL", player.HostPath() + "plugin/full.SLL");
  player.WriteFile("plugin/WINDOWS.SLL", std::string("MZ\x90\0", 4) + std::string(124, '\0'));
  EXPECT_EQ(Call(601, {0x61, 41}), kMinusTwo);
  EXPECT_EQ(Call(599, {Text(player.EnginePath("plugin"))}), 1u);
  EXPECT_EQ(Call(601, {0x61, 41}), 42u);
  EXPECT_EQ(Call(600, {0x62}), 0u);
  EXPECT_EQ(Call(601, {0x61, 41}), 42u);
  EXPECT_EQ(Call(600, {kMinusOne}), 0u);
  EXPECT_EQ(Call(601, {0x61, 41}), kMinusTwo);
  EXPECT_EQ(Call(598, {Text(player.EnginePath("plugin\\full.SLL"))}), 0u);
  EXPECT_NE(Call(598, {Text(player.EnginePath("plugin\\WINDOWS.SLL"))}), 0u);
  EXPECT_EQ(Call(601, {0x61, 1}), 2u);
  EXPECT_EQ(Call(600, {0x61}), 0u);
  EXPECT_EQ(Call(601, {0x61, 1}), kMinusTwo);
}

TEST_F(SoundDeviceBuiltinsTest, ASoundIsDecodedIntoAWaveFileOnlyWhereScriptsMayWrite) {
  game_.MakeFolder("SAVE");
  SetScriptWriteFolders(game_.EnginePath(), game_.EnginePath("SAVE\\"));
  const std::string target = game_.EnginePath("SAVE\\HIT.WAV");
  ASSERT_EQ(Call(631, {Text("SE\\HIT.PCM"), Text(target)}), 0u);
  const std::string wave = game_.ReadFile("SAVE/HIT.WAV");
  ASSERT_GE(wave.size(), kWaveHeaderSize);
  const auto* header = reinterpret_cast<const std::uint8_t*>(wave.data());
  const std::uint32_t data_bytes = LoadLe32(header + 42);
  const std::uint32_t bytes_per_second = LoadLe32(header + 28);
  const std::uint32_t source = Call(603, {Text("SE\\HIT.PCM"), 0});
  EXPECT_EQ(data_bytes, Call(628, {source}));
  EXPECT_EQ(data_bytes * 1000ULL / bytes_per_second, Call(621, {source}));

  EXPECT_EQ(Call(631, {Text("SE\\HIT.PCM"), Text("Z:\\tmp\\x.wav")}), 3u);
  EXPECT_FALSE(std::filesystem::exists("/tmp/x.wav"));
  EXPECT_EQ(Call(631, {Text("SE\\HIT.PCM"), Text(game_.EnginePath("SAVE\\..\\..\\x.wav"))}), 3u);
  EXPECT_EQ(Call(631, {0, Text(target)}), 1u);
  EXPECT_EQ(Call(631, {Text("SE\\HIT.PCM"), 0}), 1u);
  EXPECT_EQ(Call(631, {Text("SE\\MISSING.PCM"), Text(game_.EnginePath("SAVE\\NONE.WAV"))}), 2u);
  EXPECT_FALSE(game_.Exists("SAVE/NONE.WAV"));
}

TEST_F(SoundDeviceBuiltinsTest, NoSoundBuiltInIsLeftUnbuilt) {
  LogCapture log;
  g_SoundChannels = nullptr;
  for (std::uint32_t id = 596; id <= 684; ++id) {
    if (id >= 632 && id <= 651) continue;  // the movie built-ins
    Call(id, {0, 0, 0, 0, 0, 0, 0});
  }
  for (const std::string& line : log.Lines()) EXPECT_EQ(line.find("not built yet"), std::string::npos) << line;
}

}  // namespace
