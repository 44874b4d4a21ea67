// The game's sound output: opened for the main window at start-up, its format set by the
// sound-device menu command that the scripts send from the game thread.
#include <algorithm>
#include <string>

#include "app/game/game_app.h"
#include "platform/events/window_messages.h"
#include "platform/system/diagnostic_log.h"
#include "platform/encoding/text_encoding.h"

namespace {

constexpr uint8_t kDefaultChannels = 2;
constexpr int32_t kDefaultRateCode = 44;
constexpr uint16_t kDefaultBitsPerSample = 16;

std::string SoundCardMessage() {
  return plat::Utf8ToSjis("サウンドカードが正常に接続されていないか\n対応していないため、DirectSoundを利用できません。\n"
                          "サウンドを再生できません。");
}

}  // namespace

// The original opens the device here only on its oldest systems and elsewhere leaves it to the
// first sound-device command; opening it at once means sounds play even when a game's scripts
// never send that command, and the command then only sets the format.
void CGameApp::StartSoundDevice() {
  g_SoundDevice = &sound_output_;
  g_SoundBufferDevice = &sound_output_;
  const uint32_t status = sound_output_.Create(GetMainWindow().GetHandle(), environment_[kEnvSoundGlobalFocus] != 0,
                                               environment_[kEnvSoftwareSoundBuffers] != 0, nullptr);
  if (status == CSoundDevice::kCreated) return;
  // A machine without a sound output is told by the sound layer's own line.
  if (status != CSoundDevice::kNoOutput) {
    plat::LogDiagnostic("sound: the sound device cannot be opened (status " + std::to_string(status) +
                        "); the game runs without sound");
  }
  if (game_switches_[kSwitchSoundWarning] != 0) {
    uint8_t switched_off = 0;
    ShowMessageDialog(SoundCardMessage(), kDialogOkWithSwitchOff, &switched_off, nullptr, false);
    game_switches_[kSwitchSoundWarning] = switched_off != 0 ? 0 : 1;
  }
}

int CGameApp::OnSoundDeviceCommand(MessageBlock& block) {
  if (auto* request = dynamic_cast<SoundDeviceRequestBlock*>(block.payload)) {
    request->words[0] = static_cast<uint32_t>(SetUpSoundOutput(*request));
  } else {
    SetUpSoundOutput(SoundDeviceRequestBlock{});
  }
  return 0;
}

int32_t CGameApp::SetUpSoundOutput(const SoundDeviceRequestBlock& request) {
  const bool defaults = request.words[0] == 0;
  const auto channels = defaults ? kDefaultChannels : static_cast<uint8_t>(request.words[0]);
  const int32_t rate_code = defaults ? kDefaultRateCode : static_cast<int32_t>(request.words[1]);
  const auto bits = defaults ? kDefaultBitsPerSample : static_cast<uint16_t>(request.words[2]);
  return sound_output_.Initialize(GetMainWindow().GetHandle(), environment_[kEnvSoundGlobalFocus] != 0,
                                  environment_[kEnvSoftwareSoundBuffers] != 0, nullptr, channels, rate_code, bits);
}

int32_t CGameApp::RequestSoundDeviceSetUp(std::array<uint32_t, 3>& words) {
  SoundDeviceRequestBlock request;
  std::copy(words.begin(), words.end(), request.words);
  SendFromGameThread(plat::WM_COMMAND, kCmdSoundDevice, 0, &request);
  words[0] = request.words[0];
  return static_cast<int32_t>(request.words[0]);
}

void CGameApp::ShowSoundCardMessage(uint8_t* switch_off) {
  RequestMessageDialog(SoundCardMessage(), kDialogOkWithSwitchOff, switch_off, nullptr, false);
}
