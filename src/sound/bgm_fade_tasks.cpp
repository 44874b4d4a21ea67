#include "sound/bgm_fade_tasks.h"

#include <algorithm>

bool CBgmFadeTask::Prepare(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot) {
  if (timer == nullptr || manager == nullptr || slot == nullptr) return false;
  timer->RemoveByKind(kTimedTaskMusicFade);
  timer->RemoveByKind(kTimedTaskMusicCrossFade);
  manager_ = manager;
  slot_ = slot;
  return true;
}

bool CBgmFadeTask::Register(CTimerManager& timer, uint8_t kind) {
  if (timer.Add(this, 0, 0, 0) != CTimerManager::kAdded) return false;
  manager_->bgm_fade_kind = kind;
  return true;
}

// ---- Volume fade ----

CBgmVolumeFadeTask::CBgmVolumeFadeTask(uint32_t duration, int32_t target_volume)
    : CBgmFadeTask(duration), target_(std::clamp(target_volume, 0, 100)) {}

int32_t CBgmVolumeFadeTask::Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot) {
  if (!Prepare(timer, manager, slot)) return kFadeNullArgument;
  start_volume_ = slot->volume;
  return Register(*timer, CSoundChannelManager::kBgmVolumeFade) ? 0 : 2;
}

void CBgmVolumeFadeTask::Step(uint32_t elapsed) {
  SetVolume(Along(start_volume_, target_, elapsed, duration_));
}

void CBgmVolumeFadeTask::Finish() {
  SetVolume(target_);
  manager_->bgm_fade_kind = 0;
}

// ---- Fade in ----

int32_t CBgmFadeInTask::Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot, const char* file,
                              const char* intro, bool loop) {
  if (file == nullptr || !Prepare(timer, manager, slot)) return kFadeNullArgument;
  if (CSoundChannelManager::PlaysMusic(*slot, file, intro)) return CSoundChannelManager::kSameMusic;
  target_ = slot->volume;
  SetVolume(0);
  const int32_t played = manager->PlayBgm(file, intro, loop);
  if (played == 0) return Register(*timer, CSoundChannelManager::kBgmFadeIn) ? 0 : 3;
  SetVolume(target_);
  return played > 0 ? 2 : played;
}

void CBgmFadeInTask::Step(uint32_t elapsed) {
  SetVolume(Along(0, target_, elapsed, duration_));
}

void CBgmFadeInTask::Finish() {
  SetVolume(target_);
  manager_->bgm_fade_kind = 0;
}

// ---- Fade out ----

int32_t CBgmFadeOutTask::Start(CTimerManager* timer, CSoundChannelManager* manager, BgmSlot* slot) {
  if (!Prepare(timer, manager, slot)) return kFadeNullArgument;
  if (!IsSoundPlaying()) {
    manager->StopBgm();
    return -1;
  }
  start_volume_ = slot->volume;
  return Register(*timer, CSoundChannelManager::kBgmFadeOut) ? 0 : 2;
}

void CBgmFadeOutTask::Step(uint32_t elapsed) {
  SetVolume(Along(start_volume_, 0, elapsed, duration_));
}

void CBgmFadeOutTask::Finish() {
  manager_->StopBgm();
  SetVolume(start_volume_);
  manager_->bgm_fade_kind = 0;
}

// ---- Cross-fade ----

CBgmCrossFadeTask::CBgmCrossFadeTask(uint32_t fade, uint32_t overlap)
    : CBgmFadeTask(fade), fade_(fade), delay_(fade - std::min(fade, overlap)), total_(2 * fade - std::min(fade, overlap)) {}

template <class Action>
void CBgmCrossFadeTask::OnNewSlot(Action action) {
  manager_->SwapBgmSlot();
  action();
  manager_->SwapBgmSlot();
}

int32_t CBgmCrossFadeTask::Start(CTimerManager* timer, CSoundChannelManager* manager, const char* file,
                                 const char* intro, bool loop, int32_t new_volume) {
  if (file == nullptr || manager == nullptr || !Prepare(timer, manager, &manager->CurrentBgm())) {
    return kFadeNullArgument;
  }
  if (CSoundChannelManager::PlaysMusic(*slot_, file, intro)) return CSoundChannelManager::kSameMusic;
  old_volume_ = slot_->volume;
  new_volume_ = new_volume < 0 ? old_volume_ : std::min(new_volume, 100);

  manager->SwapBgmSlot();
  SetVolume(0);
  BgmSlot& fresh = manager->CurrentBgm();
  fresh.stream.Close();
  fresh.pause_depth = 0;
  fresh.file = file;
  fresh.intro.reset();
  if (intro != nullptr && *intro != '\0') fresh.intro = intro;
  fresh.loop = loop;
  if (!(manager->IsBgmEnabled() && manager->IsSoundEnabled())) {
    // The new music waits in the current slot until music is switched on.
    SetVolume(new_volume_);
    return CSoundChannelManager::kSwitchedOff;
  }
  const int32_t opened = manager->OpenCurrentBgm();
  if (opened <= 0) fresh.stream.SetPan(manager->GetBgmPan());
  manager->SwapBgmSlot();
  if (opened > 0) {
    fresh.file.reset();
    fresh.intro.reset();
    return 2;
  }
  old_fading_ = true;
  if (Register(*timer, CSoundChannelManager::kBgmCrossFade)) return 0;
  fresh.stream.Close();
  return 3;
}

uint32_t CBgmCrossFadeTask::Update(uint32_t now) {
  const uint32_t elapsed = Elapsed(now);
  if (new_started_) {
    if (elapsed - new_start_ < fade_) {
      OnNewSlot([&] { SetVolume(Along(0, new_volume_, elapsed - new_start_, fade_)); });
    }
  } else if (elapsed >= delay_ || !IsSoundPlaying()) {
    // Old music that ended before the new music was due hands over at once.
    OnNewSlot([&] {
      manager_->StartCurrentBgm();
      slot_ = &manager_->CurrentBgm();
    });
    new_started_ = true;
    new_start_ = elapsed;
    total_ = std::max(total_, elapsed + fade_);
  }
  if (!IsSoundPlaying() || elapsed >= total_) {
    FinishOnce();
    return 1;
  }
  if (old_fading_) {
    if (elapsed < fade_) {
      SetVolume(Along(old_volume_, 0, elapsed, fade_));
      return 0;
    }
    // Only the old music ends here: stopping it through the manager would end this task, whose
    // finish makes the new music's slot current and would stop the new music with it.
    manager_->CloseCurrentBgm();
    SetVolume(old_volume_);
    old_fading_ = false;
  }
  return 0;
}

void CBgmCrossFadeTask::Finish() {
  manager_->StopBgm();
  SetVolume(old_volume_);
  manager_->SwapBgmSlot();
  SetVolume(new_volume_);
  manager_->bgm_fade_kind = 0;
}
