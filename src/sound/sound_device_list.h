// The machine's sound devices, listed for the start-up log and the system report: first the
// default device (without a GUID), then every output device with its GUID, its description and
// the audio system that drives it. Texts are Shift-JIS.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound/audio_device.h"

struct SoundDeviceInfo {
  std::optional<plat::AudioDeviceGuid> guid;  // none for the default device
  std::string description;
  std::string module_name;
};

extern std::vector<SoundDeviceInfo> g_SoundDeviceList;

// Lists the devices anew: 0 when at least one was found, -1 when none (the list is empty).
int32_t EnumSoundDevices();
void FreeSoundDeviceList();
