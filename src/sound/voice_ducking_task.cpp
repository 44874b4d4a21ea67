#include "sound/voice_ducking_task.h"

#include "sound/sound_channel_manager.h"

int32_t CVoiceDuckingTask::Start(CTimerManager* timer, CSoundChannelManager* manager, int32_t voice_channel,
                                 float fraction) {
  if (timer == nullptr || manager == nullptr || !(fraction < 1.0F)) return 1;
  if (!manager->IsChannelPlaying(voice_channel)) return -1;
  if (!manager->IsBgmPlaying()) return -2;
  auto* running = dynamic_cast<CVoiceDuckingTask*>(timer->FindByKind(kTimedTaskVoiceDucking));
  saved_level_ = running != nullptr ? running->saved_level_ : manager->GetBgmLevel();
  start_level_ = saved_level_;
  target_level_ = fraction < 0 ? saved_level_ >> 1 : static_cast<int32_t>(static_cast<float>(saved_level_) * fraction);
  if (running == nullptr) {
    drop_ = saved_level_ - target_level_;
  } else {
    if (running->phase_ == kHolding || running->phase_ == kWaitingAfterVoice) {
      // The music is lowered already: hold it there.
      phase_ = kHolding;
    } else {
      start_level_ = manager->GetBgmLevel();
      drop_ = start_level_ - target_level_;
    }
    running->restored_ = true;
    timer->Remove(running);
  }
  manager_ = manager;
  voice_channel_ = voice_channel;
  if (timer->Add(this, 0, 0, 0) != CTimerManager::kAdded) {
    Restore();
    return 2;
  }
  return 0;
}

void CVoiceDuckingTask::SetLevel(int32_t level) { manager_->SetBgmVolume(-1, level, false); }

void CVoiceDuckingTask::Restore() {
  if (restored_ || manager_ == nullptr) return;
  restored_ = true;
  SetLevel(saved_level_);
}

uint32_t CVoiceDuckingTask::Update(uint32_t now) {
  if (!manager_->IsBgmPlaying()) {
    Restore();
    return 1;
  }
  if (phase_ == kStarting) {
    phase_start_ = now;
    phase_ = kFalling;
  }
  switch (phase_) {
    case kFalling: {
      const uint32_t elapsed = now - phase_start_;
      if (elapsed < kLowering) {
        SetLevel(start_level_ - static_cast<int32_t>(int64_t{drop_} * elapsed / kLowering));
      } else {
        SetLevel(start_level_ - drop_);
        phase_ = kHolding;
      }
      break;
    }
    case kHolding:
      if (!manager_->IsChannelPlaying(voice_channel_)) {
        phase_start_ = now;
        phase_ = kWaitingAfterVoice;
      }
      break;
    case kWaitingAfterVoice:
      if (now - phase_start_ > kWaiting) {
        phase_start_ = now;
        drop_ = saved_level_ - target_level_;
        phase_ = kRising;
      }
      break;
    case kRising: {
      const uint32_t elapsed = now - phase_start_;
      if (elapsed >= kRaising) {
        Restore();
        return 1;
      }
      SetLevel(target_level_ + static_cast<int32_t>(int64_t{drop_} * elapsed / kRaising));
      break;
    }
    default:
      break;
  }
  return 0;
}
