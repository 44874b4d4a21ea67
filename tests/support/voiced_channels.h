// Sound channels whose voice table holds one character, "Aki", whose voices start with "V" and
// are played from files of the fake PCM format.
#pragma once

#include <optional>

#include "sound/sound_channel_manager.h"
#include "sound/voice_table.h"

namespace test_support {

class VoicedChannels : public CSoundChannelManager {
 public:
  VoicedChannels() {
    table.characters.push_back(VoiceCharacter{"Aki", std::nullopt, 256, 1, 0});
    table.names.push_back(VoiceName{"V", 0});
    table.extension = "PCM";
  }
  VoiceTable* GetVoiceTable() override { return &table; }
  VoiceTable table;
};

}  // namespace test_support
