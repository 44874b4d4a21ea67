#include "sound/sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "base/threads/lock_guard.h"
#include "sound/buffer_fade_task.h"

namespace {

constexpr uint32_t kLowestAdjustedFrequency = 100;
constexpr uint32_t kHighestAdjustedFrequency = 100000;

// Hands a new fade task to the manager, which owns it from then on: false without memory.
template <class Task>
bool StartFadeTask(CSoundBuffer& buffer, uint32_t duration, CTimerManager& manager, uint32_t interval,
                   CTimedTask*& running) {
  std::unique_ptr<Task> task;
  try {
    task = std::make_unique<Task>(buffer, duration);
  } catch (const std::bad_alloc&) {
    return false;
  }
  task->SetOwnerReference(&running);
  running = task.get();
  manager.Add(task.release(), 0, interval, 0);
  return true;
}

}  // namespace

CSoundBuffer::~CSoundBuffer() {
  CancelFade();
  buffer_.reset();
}

int32_t CSoundBuffer::ToHundredthsOfDecibel(int32_t volume) {
  if (volume <= 0) return plat::DSBVOLUME_MIN;
  return static_cast<int32_t>(2000.0 * std::log10(std::min(volume, kFullVolume) / double{kFullVolume}));
}

int32_t CSoundBuffer::SetVolume(int32_t volume) {
  CLockGuard guard(lock_);
  volume_ = std::clamp(volume, 0, kFullVolume);
  if (buffer_ == nullptr) return -1;
  return plat::SoundFailed(buffer_->SetVolume(ToHundredthsOfDecibel(volume_))) ? 1 : 0;
}

uint32_t CSoundBuffer::SetPan(int32_t pan) {
  if (buffer_ == nullptr) return 1;
  return plat::SoundFailed(buffer_->SetPan(pan)) ? 2 : 0;
}

uint32_t CSoundBuffer::SetFrequency(uint32_t frequency) {
  if (buffer_ == nullptr) return 1;
  return plat::SoundFailed(buffer_->SetFrequency(frequency)) ? 2 : 0;
}

uint32_t CSoundBuffer::Adjust(int32_t volume_delta, int32_t pan_delta, int32_t frequency_delta) {
  if (buffer_ == nullptr) return 1;
  if (volume_delta != 0 && SetVolume(volume_ + volume_delta) != 0) return 2;
  if (pan_delta != 0) {
    int32_t pan = 0;
    if (plat::SoundFailed(buffer_->GetPan(&pan))) return 3;
    const int64_t moved = std::clamp<int64_t>(int64_t{pan} + pan_delta, plat::DSBPAN_LEFT, plat::DSBPAN_RIGHT);
    if (plat::SoundFailed(buffer_->SetPan(static_cast<int32_t>(moved)))) return 3;
  }
  if (frequency_delta != 0) {
    uint32_t frequency = 0;
    if (plat::SoundFailed(buffer_->GetFrequency(&frequency))) return 4;
    const int64_t moved =
        std::clamp<int64_t>(int64_t{frequency} + frequency_delta, kLowestAdjustedFrequency, kHighestAdjustedFrequency);
    if (plat::SoundFailed(buffer_->SetFrequency(static_cast<uint32_t>(moved)))) return 4;
  }
  return 0;
}

uint32_t CSoundBuffer::GetVolumePanFrequency(int32_t* volume, int32_t* pan, uint32_t* frequency) {
  if (volume != nullptr) *volume = volume_;
  if (buffer_ == nullptr) return 1;
  if (pan != nullptr && plat::SoundFailed(buffer_->GetPan(pan))) return 2;
  if (frequency != nullptr && plat::SoundFailed(buffer_->GetFrequency(frequency))) return 3;
  return 0;
}

uint32_t CSoundBuffer::GetFormat(uint16_t* channels, uint32_t* samples_per_second, uint16_t* bits_per_sample) {
  if (buffer_ == nullptr) return 1;
  plat::WaveFormat format;
  if (plat::SoundFailed(buffer_->GetFormat(&format))) return 2;
  if (channels != nullptr) *channels = format.channels;
  if (samples_per_second != nullptr) *samples_per_second = format.samples_per_sec;
  if (bits_per_sample != nullptr) *bits_per_sample = format.bits_per_sample;
  return 0;
}

uint32_t CSoundBuffer::FadeInterval(uint32_t duration) const {
  return std::max(duration / static_cast<uint32_t>(volume_), kShortestFadeStep);
}

bool CSoundBuffer::IsBufferPlaying() const {
  uint32_t status = 0;
  return buffer_ != nullptr && !plat::SoundFailed(buffer_->GetStatus(&status)) &&
         (status & plat::DSBSTATUS_PLAYING) != 0;
}

void CSoundBuffer::RemoveFadeTask() {
  if (fade_task_ != nullptr && fade_manager_ != nullptr) fade_manager_->Remove(fade_task_);
  fade_task_ = nullptr;
  fade_state_ = kNoFade;
}

int32_t CSoundBuffer::FadeIn(CTimerManager* manager, uint32_t duration, bool loop) {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr || manager == nullptr) return 1;
  if (fade_state_ == kFadingIn) return 2;
  if (fade_state_ == kFadingOut) RemoveFadeTask();
  // The kept volume stays: it is the fade's target.
  buffer_->SetVolume(plat::DSBVOLUME_MIN);
  if (pause_depth_ != 0) {
    pause_depth_ = 1;
    if (Resume() != 0) {
      SetVolume(volume_);
      return 3;
    }
  } else if ((loop ? PlayLooped() : Play()) != 0) {
    SetVolume(volume_);
    return 4;
  }
  if (volume_ == 0) return -1;
  if (!StartFadeTask<CBufferFadeInTask>(*this, duration, *manager, FadeInterval(duration), fade_task_)) return 5;
  fade_state_ = kFadingIn;
  fade_manager_ = manager;
  return 0;
}

int32_t CSoundBuffer::FadeOut(CTimerManager* manager, uint32_t duration) {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr || manager == nullptr) return 1;
  if (!IsPlaying(nullptr, nullptr)) return 2;
  if (fade_state_ == kFadingOut) return 3;
  if (fade_state_ == kFadingIn) {
    // Ending the fade in would put its target back; the fade out starts where the sound is.
    const int32_t current = volume_;
    RemoveFadeTask();
    SetVolume(current);
  }
  if (volume_ == 0) {
    Pause();
    return -1;
  }
  if (!StartFadeTask<CBufferFadeOutTask>(*this, duration, *manager, FadeInterval(duration), fade_task_)) return 4;
  fade_state_ = kFadingOut;
  fade_manager_ = manager;
  return 0;
}

void CSoundBuffer::CancelFade() {
  CLockGuard guard(lock_);
  if (fade_state_ != kNoFade) RemoveFadeTask();
}
