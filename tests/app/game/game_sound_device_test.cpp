// The game's sound output: opened and published at start-up with the settings' options, set to
// a format by the sound-device menu command, emptied when the game thread ends, and the sound
// devices listed for the start-up log.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/framework/private_messages.h"
#include "app/game/game_app.h"
#include "base/files/path.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/window/dialog_host.h"
#include "platform/window/message_queue.h"
#include "platform/window/system_message_box.h"
#include "sound/sound_device_list.h"
#include "support/fake_audio_backend.h"
#include "support/game_main_window.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"
#include "support/single_thread_game.h"
#include "support/temp_game_folder.h"
#include "support/test_sound_buffer.h"

namespace {

using test_support::SingleThreadGame;

bool Logged(const LogCapture& log, const std::string& part) {
  for (const std::string& line : log.Lines()) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

plat::WaveFormat PrimaryFormat(CGameApp& game) {
  plat::WaveFormat format;
  if (plat::SoundBuffer* primary = game.GetSoundOutput().GetPrimaryBuffer()) primary->GetFormat(&format);
  return format;
}

TEST(GameSoundDeviceTest, TheDeviceOpensAtStartUpWithTheSettingsOptionsAndIsPublished) {
  LogCapture log;
  FakeAudioBackend backend;
  {
    SingleThreadGame game;
    game.GetEnvironment()[kEnvSoundGlobalFocus] = 0;
    game.GetEnvironment()[kEnvSoftwareSoundBuffers] = 1;
    ASSERT_EQ(game.InitDevices(), 0);
    CSoundOutput& output = game.GetSoundOutput();
    EXPECT_EQ(g_SoundDevice, &output);
    EXPECT_EQ(g_SoundBufferDevice, &output);
    EXPECT_NE(output.GetDirectSound(), nullptr);
    EXPECT_EQ(output.GetCooperativeLevel(), plat::DSSCL_PRIORITY);
    EXPECT_EQ(output.GetBufferOptionFlags(), plat::DSBCAPS_LOCSOFTWARE);
  }
  EXPECT_EQ(g_SoundDevice, nullptr);
  EXPECT_EQ(g_SoundBufferDevice, nullptr);
  EXPECT_FALSE(Logged(log, "sound"));
}

TEST(GameSoundDeviceTest, ADeviceThatCannotOpenLeavesTheGameRunningWithoutSoundAfterItsWarning) {
  LogCapture log;
  FakeAudioBackend backend;
  backend.make_devices = false;
  std::vector<plat::MessageBoxRequest> warned;
  const plat::ScopedMessageBoxAnswers answers([&warned](const plat::MessageBoxRequest& request) {
    warned.push_back(request);
    return plat::IDOK;
  });
  SingleThreadGame game;
  EXPECT_EQ(game.InitDevices(), 0);
  EXPECT_EQ(game.GetSoundOutput().GetDirectSound(), nullptr);
  EXPECT_TRUE(Logged(log, "the sound device cannot be opened (status 2)"));
  ASSERT_EQ(warned.size(), 1u);
  EXPECT_EQ(warned[0].text.rfind(plat::Utf8ToSjis("サウンドカード"), 0), 0u);
  // The check box was not ticked: the warning stays on.
  EXPECT_EQ(game.GetGameSwitches()[6], 1);
}

// A machine without any sound output, through the system's own devices: the warning shows once,
// and the device runs on in silence, so that the scripts' sounds keep their time; the scripts'
// sound-device command then sets the format without a second warning.
TEST(GameSoundDeviceTest, WithoutASoundOutputTheWarningShowsAndTheGameRunsSilently) {
  const ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
  std::vector<plat::MessageBoxRequest> warned;
  const plat::ScopedMessageBoxAnswers answers([&warned](const plat::MessageBoxRequest& request) {
    warned.push_back(request);
    return plat::IDOK;
  });
  SingleThreadGame game;
  ASSERT_EQ(game.InitDevices(), 0);
  ASSERT_EQ(warned.size(), 1u);
  EXPECT_EQ(warned[0].text.rfind(plat::Utf8ToSjis("サウンドカード"), 0), 0u);
  plat::AudioDevice* device = game.GetSoundOutput().GetDirectSound();
  ASSERT_NE(device, nullptr) << "the game runs on without sound";
  EXPECT_TRUE(device->LacksOutput());
  SoundDeviceRequestBlock request;
  MessageBlock block{nullptr, plat::WM_COMMAND, kCmdSoundDevice, 0, &request, 0};
  game.OnMenuCommand(block);
  EXPECT_EQ(request.words[0], 0u) << "a result the scripts would warn of again";
  EXPECT_EQ(PrimaryFormat(game), (plat::WaveFormat{plat::WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 18}));
  EXPECT_EQ(warned.size(), 1u);
}

TEST(GameSoundDeviceTest, TheSoundDeviceCommandSetsTheFormatAndAnswersInTheFirstWord) {
  LogCapture log;
  FakeAudioBackend backend;
  SingleThreadGame game;
  EXPECT_EQ(game.PrepareWindow(), 0);
  EXPECT_TRUE(game.GetMainWindow().HasHandler(plat::WM_COMMAND));
  ASSERT_EQ(game.InitDevices(), 0);
  struct Case {
    uint32_t words[3];
    plat::WaveFormat format;
  };
  for (const Case& c : {Case{{0, 8, 8}, {plat::WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 18}},
                        Case{{0x101, 22, 0x10008}, {plat::WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 18}}}) {
    SoundDeviceRequestBlock request;
    std::copy(std::begin(c.words), std::end(c.words), request.words);
    MessageBlock block{nullptr, plat::WM_COMMAND, kCmdSoundDevice, 0, &request, 0};
    EXPECT_EQ(game.OnMenuCommand(block), 0);
    EXPECT_EQ(request.words[0], 0u);
    EXPECT_EQ(PrimaryFormat(game), c.format);
  }

  // A device that holds only the normal level answers -1 and keeps its format.
  backend.refuse_priority_level = true;
  game.GetSoundOutput().Release();
  SoundDeviceRequestBlock request;
  MessageBlock block{nullptr, plat::WM_COMMAND, kCmdSoundDevice, 0, &request, 0};
  game.OnMenuCommand(block);
  EXPECT_EQ(static_cast<int32_t>(request.words[0]), CSoundOutput::kBelowPriorityLevel);

  // Other commands go to their own handlers: the version dialog opens (and is closed at once).
  std::vector<std::string> shown;
  const plat::ScopedDialogWatcher watcher([&shown](const plat::DialogShot& shot) {
    shown.push_back(shot.title);
    return true;
  });
  MessageBlock other{nullptr, plat::WM_COMMAND, 40004, 0, nullptr, 0};
  game.OnMenuCommand(other);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "バージョン情報");
}

TEST(GameSoundDeviceTest, TheBuiltInsReachTheSoundDeviceCommandTheSoundCardMessageAndTheDecoderSetting) {
  LogCapture log;
  FakeAudioBackend backend;
  SingleThreadGame game;
  ASSERT_EQ(test_support::OpenGameMainWindow(game, "sound", false), CWindow::kCreated);
  ASSERT_EQ(game.InitDevices(), 0);
  IAppServices& services = game;
  std::array<uint32_t, 3> words{0, 8, 8};
  EXPECT_EQ(services.RequestSoundDeviceSetUp(words), 0);
  EXPECT_EQ(words[0], 0u);
  EXPECT_EQ(PrimaryFormat(game), (plat::WaveFormat{plat::WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 18}));

  std::vector<std::string> shown;
  const plat::ScopedMessageBoxAnswers answers([&shown](const plat::MessageBoxRequest& request) {
    shown.push_back(request.text);
    return plat::IDOK;
  });
  uint8_t switch_off = 1;
  services.ShowSoundCardMessage(&switch_off);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], plat::Utf8ToSjis("サウンドカードが正常に接続されていないか\n対応していないため、DirectSoundを利用できま"
                                       "せん。\nサウンドを再生できません。"));
  EXPECT_EQ(switch_off, 0);  // the box is not ticked

  game.GetEnvironment()[kEnvLoadSoundsWhole] = 1;
  EXPECT_TRUE(services.LoadSoundsWholeSetting());
  game.GetEnvironment()[kEnvLoadSoundsWhole] = 0;
  EXPECT_FALSE(services.LoadSoundsWholeSetting());
  game.GetMainWindow().Destroy();
  plat::Message left;
  while (plat::PeekMessage(left, true)) {
  }
}

TEST(GameSoundDeviceTest, TheEndOfTheGameThreadDestroysTheListedBuffers) {
  FakeAudioBackend backend;
  SingleThreadGame game;
  ASSERT_EQ(game.InitDevices(), 0);
  game.GetSoundOutput().AdoptBuffer(std::make_unique<CTestSoundBuffer>(game.GetSoundOutput()));
  ASSERT_EQ(game.GetSoundOutput().GetBufferCount(), 1u);
  game.OnThreadEnd();
  EXPECT_EQ(game.GetSoundOutput().GetBufferCount(), 0u);
}

TEST(GameSoundDeviceTest, WithTheStartUpLogOnTheSoundDevicesAreListedUntilExit) {
  LogCapture log;
  FakeAudioBackend backend;
  backend.outputs = plat::AudioOutputList{"pulseaudio", {"Speakers"}};
  test_support::TempGameFolder folder;
  const std::string saved_base = g_ModuleFolder;
  ASSERT_EQ(SetBaseFolder(plat::ToEnginePath(folder.HostPath()).c_str()), 0u);
  CFrameworkApp app;
  app.GetEnvironment()[kEnvStartUpLog] = 1;
  ASSERT_EQ(app.Initialize(), 0);
  EXPECT_EQ(g_SoundDeviceList.size(), 2u);
  const std::string text = folder.ReadFile("SYS_LOG.TXT");
  EXPECT_NE(text.find("[ DirectSound ]\r\n<Device 1>\r\nDriver Name: Speakers\r\nDriver File: pulseaudio"),
            std::string::npos)
      << text;
  app.Exit(0);
  SetBaseFolder(saved_base.c_str());
  EXPECT_TRUE(g_SoundDeviceList.empty());

  CFrameworkApp quiet;
  ASSERT_EQ(quiet.Initialize(), 0);
  EXPECT_TRUE(g_SoundDeviceList.empty());
  quiet.Exit(0);
}

}  // namespace
