#include "sound/channel_fade_tasks.h"

#include <algorithm>

bool CChannelFadeTask::Prepare(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel) {
  if (timer == nullptr || manager == nullptr) return false;
  manager_ = manager;
  channel_ = channel;
  manager->CancelChannelFade(channel);
  return true;
}

SoundChannel* CChannelFadeTask::LoadedChannel() const {
  SoundChannel* record = manager_->GetChannel(channel_);
  return record != nullptr && record->active != nullptr ? record : nullptr;
}

bool CChannelFadeTask::Register(CTimerManager& timer, SoundChannel& record, uint8_t fade_state) {
  buffer_ = record.active;
  if (timer.Add(this, 0, 0, 0) != CTimerManager::kAdded) return false;
  record.fade_task = this;
  SetOwnerReference(&record.fade_task);
  record.fade_state = fade_state;
  return true;
}

// ---- Volume fade ----

CChannelVolumeFadeTask::CChannelVolumeFadeTask(uint32_t duration, int32_t target_volume)
    : CChannelFadeTask(duration), target_(std::clamp(target_volume, 0, 100)) {}

int32_t CChannelVolumeFadeTask::Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel) {
  if (!Prepare(timer, manager, channel)) return 1;
  SoundChannel* record = LoadedChannel();
  if (record == nullptr) return 2;
  start_volume_ = record->volume;
  return Register(*timer, *record, 1) ? 0 : 3;
}

void CChannelVolumeFadeTask::Step(uint32_t elapsed) {
  SetVolume(Along(start_volume_, target_, elapsed, duration_));
}

void CChannelVolumeFadeTask::Finish() {
  SetVolume(target_);
  EndFadeState();
}

// ---- Fade in ----

int32_t CChannelFadeInTask::Start(CTimerManager* timer, CSoundChannelManager* manager, const char* file,
                                  int32_t channel, bool loop, bool streamed) {
  if (!Prepare(timer, manager, channel)) return 1;
  if (file != nullptr && manager->LoadChannel(channel, file, CStaticSoundBuffer::kPlain, streamed) != 0) return 2;
  SoundChannel* record = LoadedChannel();
  if (record == nullptr) return 3;
  target_ = record->volume;
  SetVolume(0);
  const int32_t played = manager->PlayChannel(channel, loop);
  if (played == 0) {
    if (Register(*timer, *record, 2)) return 0;
    SetVolume(target_);
    return 5;
  }
  SetVolume(target_);
  return played > 0 ? 4 : played;
}

void CChannelFadeInTask::Step(uint32_t elapsed) {
  SetVolume(Along(0, target_, elapsed, duration_));
}

void CChannelFadeInTask::Finish() {
  SetVolume(target_);
  EndFadeState();
}

// ---- Fade out ----

int32_t CChannelFadeOutTask::Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t channel) {
  if (!Prepare(timer, manager, channel)) return 1;
  SoundChannel* record = LoadedChannel();
  if (record == nullptr) return 2;
  if (!record->active->IsPlaying(nullptr, nullptr)) {
    manager->StopChannel(channel);
    return -1;
  }
  start_volume_ = record->volume;
  return Register(*timer, *record, 3) ? 0 : 3;
}

void CChannelFadeOutTask::Step(uint32_t elapsed) {
  SetVolume(Along(start_volume_, 0, elapsed, duration_));
}

void CChannelFadeOutTask::Finish() {
  manager_->StopChannel(channel_);
  SetVolume(start_volume_);
  EndFadeState();
}
