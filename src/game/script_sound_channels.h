// The channel manager that the game's script host owns: character voices are looked up in the
// host's voice-information table.
#pragma once

#include "script/script_host.h"
#include "sound/sound_channel_manager.h"

class CScriptSoundChannels final : public CSoundChannelManager {
 public:
  void SetOwner(CScriptHost* owner) { owner_ = owner; }

 protected:
  VoiceTable* GetVoiceTable() override { return owner_ != nullptr ? &owner_->Voices() : nullptr; }

 private:
  CScriptHost* owner_ = nullptr;
};
