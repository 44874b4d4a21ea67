#include "sound/buffer_fade_task.h"

#include "base/threads/lock_guard.h"
#include "sound/sound_buffer.h"

CBufferFadeTask::CBufferFadeTask(CSoundBuffer& buffer, uint32_t duration)
    : buffer_(buffer), duration_(duration), volume_reference_(buffer.GetVolume()) {}

void CBufferFadeTask::Stop() {
  CLockGuard guard(buffer_.lock_);
  // Applied even when the kept volume already equals it: a fade in ended before its first step
  // has kept its target while the buffer still plays silent.
  buffer_.SetVolume(volume_reference_);
  buffer_.fade_state_ = CSoundBuffer::kNoFade;
}

void CBufferFadeTask::BeginOnce(uint32_t now) {
  if (!first_call_) return;
  start_time_ = now;
  volume_reference_ = buffer_.GetVolume();
  first_call_ = false;
}

int32_t CBufferFadeTask::ElapsedShare(uint32_t now) const {
  if (duration_ == 0) return volume_reference_;
  return static_cast<int32_t>(int64_t{now - start_time_} * volume_reference_ / duration_);
}

uint8_t CBufferFadeTask::BufferFadeState() const { return buffer_.fade_state_; }

bool CBufferFadeTask::IsBufferPlaying() const { return buffer_.IsBufferPlaying(); }

uint32_t CBufferFadeInTask::Update(uint32_t now) {
  CLockGuard guard(buffer_.GetLock());
  if (BufferFadeState() != CSoundBuffer::kFadingIn) return 1;
  if (!IsBufferPlaying()) {
    Stop();
    return 1;
  }
  BeginOnce(now);
  const int32_t volume = ElapsedShare(now);
  // The end is tested first: a fade of no duration reaches its target, which is also the kept
  // volume, at its first step, and would otherwise stay silent for ever.
  if (volume >= volume_reference_) {
    Stop();
    return 1;
  }
  if (volume == buffer_.GetVolume()) return 0;
  buffer_.SetVolume(volume);
  return 0;
}

uint32_t CBufferFadeOutTask::Update(uint32_t now) {
  CLockGuard guard(buffer_.GetLock());
  if (BufferFadeState() != CSoundBuffer::kFadingOut) return 1;
  if (!IsBufferPlaying()) return End();
  BeginOnce(now);
  const int32_t volume = volume_reference_ - ElapsedShare(now);
  if (volume == buffer_.GetVolume()) return 0;
  if (volume <= 0) return End();
  buffer_.SetVolume(volume);
  return 0;
}

uint32_t CBufferFadeOutTask::End() {
  buffer_.SetVolume(0);
  buffer_.Pause();
  Stop();
  return 1;
}
