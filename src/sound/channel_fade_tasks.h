// Timed volume changes of one numbered channel: a fade to a target volume, a fade in that plays
// the channel from silence, and a fade out that stops it. Each start first ends the channel's
// own fade task; a started task becomes the channel's fade task and sets its fade state (1
// volume fade, 2 fade in, 3 fade out) until it finishes.
#pragma once

#include <cstdint>

#include "sound/sound_channel_manager.h"
#include "sound/sound_fade_task.h"

class CChannelFadeTask : public CSoundFadeTask {
 public:
  using CSoundFadeTask::CSoundFadeTask;
  uint32_t GetTypeId() const override { return kTimedTaskChannelFade; }

 protected:
  // Remembers the manager and channel and ends the channel's fade task: false for a null one.
  bool Prepare(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel);
  // The channel's record when it holds a sound, else null.
  SoundChannel* LoadedChannel() const;
  // Registers the task as the channel's fade task: false when the timer manager refused it.
  bool Register(CTimerManager& timer, SoundChannel& record, uint8_t fade_state);
  bool IsSoundPlaying() override { return buffer_ != nullptr && buffer_->IsPlaying(nullptr, nullptr); }
  void SetVolume(int32_t volume) { manager_->SetChannelVolume(channel_, volume, -1); }
  // Clears the channel's fade state.
  void EndFadeState() { manager_->SetChannelFadeState(channel_, 0); }

  int32_t channel_ = -1;
  CSoundBuffer* buffer_ = nullptr;
};

class CChannelVolumeFadeTask final : public CChannelFadeTask {
 public:
  // The target is kept within 0..100.
  CChannelVolumeFadeTask(uint32_t duration, int32_t target_volume);
  // 0; 1 a null argument; 2 no such channel or no sound in it; 3 refused.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t target_;
  int32_t start_volume_ = 0;
};

class CChannelFadeInTask final : public CChannelFadeTask {
 public:
  using CChannelFadeTask::CChannelFadeTask;
  // Loads `file` (null: the loaded sound) and plays it from silence up to the channel's volume.
  // 0; -1 its class is switched off; 1 a null argument; 2 the load failed; 3 no such channel
  // or no sound; 4 play failed; 5 refused.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, const char* file, int32_t channel, bool loop,
                bool streamed);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t target_ = 0;
};

class CChannelFadeOutTask final : public CChannelFadeTask {
 public:
  using CChannelFadeTask::CChannelFadeTask;
  // 0; -1 not playing (stopped at once); 1 a null argument; 2 no such channel or no sound; 3
  // refused. The finished fade stops the channel and puts its volume back.
  int32_t Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel);

 private:
  void Step(uint32_t elapsed) override;
  void Finish() override;

  int32_t start_volume_ = 0;
};
