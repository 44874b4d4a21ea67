#include "sound/sound_device_list.h"

#include "platform/encoding/text_encoding.h"
#include "platform/sound/audio_backend.h"

std::vector<SoundDeviceInfo> g_SoundDeviceList;

int32_t EnumSoundDevices() {
  FreeSoundDeviceList();
  const auto outputs = plat::CurrentAudioBackend().ListOutputs();
  if (!outputs || outputs->names.empty()) return -1;
  g_SoundDeviceList.push_back(SoundDeviceInfo{std::nullopt, "Primary Sound Driver", ""});
  const std::string module_name = plat::Utf8ToSjis(outputs->driver);
  for (const std::string& name : outputs->names) {
    g_SoundDeviceList.push_back(SoundDeviceInfo{plat::GuidOfAudioOutput(name), plat::Utf8ToSjis(name), module_name});
  }
  return 0;
}

void FreeSoundDeviceList() { g_SoundDeviceList.clear(); }
