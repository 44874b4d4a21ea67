#include "sound/movie_sound_stream.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/system/diagnostic_log.h"
#include "sound/sound_device.h"

namespace {

// A second of sound: enough for the sound of a movie to run ahead of its pictures as far as
// containers interleave them.
constexpr uint32_t kRingMilliseconds = 1000;
// The first period, written before the sound starts to play.
constexpr uint32_t kStartMilliseconds = 100;

int64_t FramesOf(uint32_t milliseconds, uint32_t rate) { return int64_t{rate} * milliseconds / 1000; }

}  // namespace

std::unique_ptr<CMovieSoundStream> CMovieSoundStream::Open(int32_t rate, int32_t channels) {
  if (g_SoundBufferDevice == nullptr || g_SoundBufferDevice->GetDirectSound() == nullptr) return nullptr;
  if (rate < 1 || channels < 1 || channels > 2) return nullptr;
  const auto block_align = static_cast<uint16_t>(channels * 2);
  const plat::WaveFormat format{plat::WAVE_FORMAT_PCM,
                                static_cast<uint16_t>(channels),
                                static_cast<uint32_t>(rate),
                                static_cast<uint32_t>(rate) * block_align,
                                block_align,
                                16,
                                0};
  const auto ring_frames = static_cast<uint32_t>(FramesOf(kRingMilliseconds, static_cast<uint32_t>(rate)));
  const uint32_t flags = plat::DSBCAPS_CTRLVOLUME | g_SoundBufferDevice->GetBufferOptionFlags();
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (plat::SoundFailed(
          g_SoundBufferDevice->GetDirectSound()->CreateSoundBuffer({flags, ring_frames * block_align, &format}, &buffer))) {
    return nullptr;
  }
  std::unique_ptr<CMovieSoundStream> stream(
      new CMovieSoundStream(std::move(buffer), static_cast<uint32_t>(rate), ring_frames, block_align));
  stream->Flush(0);
  return stream;
}

CMovieSoundStream::CMovieSoundStream(std::shared_ptr<plat::SoundBuffer> buffer, uint32_t rate, uint32_t ring_frames,
                                     uint32_t block_align)
    : buffer_(std::move(buffer)), rate_(rate), ring_frames_(ring_frames), block_align_(block_align) {}

CMovieSoundStream::~CMovieSoundStream() {
  buffer_->Stop();
  if (underruns_ == 0 && dropped_frames_ == 0) return;
  plat::LogDiagnostic("movie sound: " + std::to_string(underruns_) + " underruns, " + std::to_string(dropped_frames_) +
                      " sample frames dropped");
}

int64_t CMovieSoundStream::PlayedLocked() const {
  return start_at_ + static_cast<int64_t>(buffer_->GetPlayedFrames() - played_at_start_);
}

uint32_t CMovieSoundStream::SlotBytes(int64_t at) const {
  return static_cast<uint32_t>((at - start_at_) % ring_frames_) * block_align_;
}

void CMovieSoundStream::UpdateLocked() {
  const int64_t played = PlayedLocked();
  uint32_t play = 0;
  uint32_t write = 0;
  buffer_->GetCurrentPosition(&play, &write);
  const uint32_t ring_bytes = ring_frames_ * block_align_;
  // A playing output has already taken the samples between the two cursors, and the next one,
  // which it reads to blend into the last.
  const int64_t lead = (write + ring_bytes - play) % ring_bytes / block_align_;
  const int64_t writable = played + (lead > 0 ? lead + 1 : 0);
  if (written_end_ < writable) {
    if (started_ && !finished_ && !starving_) {
      starving_ = true;
      ++underruns_;
      plat::LogDiagnostic("movie sound: underrun " + std::to_string(underruns_) + " at sample " +
                          std::to_string(written_end_) + ", the sound goes on from sample " + std::to_string(writable));
    }
    written_end_ = writable;
  }
  // The slots the cursor left behind come round again a ring later: silent, unless written.
  const int64_t silent_to = played + ring_frames_;
  SilenceLocked(std::max({silent_to_, written_end_, silent_to - ring_frames_}), silent_to);
  silent_to_ = std::max(silent_to_, silent_to);
}

void CMovieSoundStream::SilenceLocked(int64_t from, int64_t to) {
  if (to <= from) return;
  plat::SoundLockRegions regions;
  if (plat::SoundFailed(buffer_->Lock(SlotBytes(from), static_cast<uint32_t>(to - from) * block_align_, &regions, 0))) {
    return;
  }
  std::memset(regions.first, 0, regions.first_bytes);
  if (regions.second != nullptr) std::memset(regions.second, 0, regions.second_bytes);
  buffer_->Unlock(regions);
}

void CMovieSoundStream::CopyLocked(int64_t at, const uint8_t* pcm, uint32_t frames) {
  plat::SoundLockRegions regions;
  if (plat::SoundFailed(buffer_->Lock(SlotBytes(at), frames * block_align_, &regions, 0))) return;
  std::memcpy(regions.first, pcm, regions.first_bytes);
  if (regions.second != nullptr) std::memcpy(regions.second, pcm + regions.first_bytes, regions.second_bytes);
  buffer_->Unlock(regions);
}

uint32_t CMovieSoundStream::Write(int64_t at, const uint8_t* pcm, uint32_t bytes) {
  const std::lock_guard lock(mutex_);
  const int64_t frames = bytes / block_align_;
  if (frames == 0) return bytes;
  UpdateLocked();
  // What lies before the written end is trimmed: sound before the start or already written is
  // left out quietly; sound that the cursor has played silence for instead came too late.
  const int64_t trimmed = std::clamp<int64_t>(written_end_ - at, 0, frames);
  const int64_t late_from = std::max({at, sound_end_, start_at_});
  dropped_frames_ += static_cast<uint64_t>(std::clamp<int64_t>(at + trimmed - late_from, 0, trimmed));
  const int64_t from = at + trimmed;
  // The ring holds a lap ahead of the cursor; a gap up to there is silent already.
  const int64_t room_end = PlayedLocked() + ring_frames_ - 1;
  const int64_t copied = std::clamp<int64_t>(room_end - from, 0, frames - trimmed);
  if (copied > 0) {
    CopyLocked(from, pcm + trimmed * block_align_, static_cast<uint32_t>(copied));
    written_end_ = sound_end_ = from + copied;
    finished_ = starving_ = false;
  } else if (from > written_end_) {
    written_end_ = std::min(from, room_end);
  }
  StartWhenReadyLocked();
  return trimmed + copied == frames ? bytes : static_cast<uint32_t>((trimmed + copied) * block_align_);
}

void CMovieSoundStream::StartWhenReadyLocked() {
  if (!playing_ || started_) return;
  if (!finished_ && written_end_ - start_at_ < FramesOf(kStartMilliseconds, rate_)) return;
  started_ = true;
  buffer_->Play(plat::DSBPLAY_LOOPING);
}

void CMovieSoundStream::SetPlaying(bool playing) {
  const std::lock_guard lock(mutex_);
  playing_ = playing;
  if (playing) {
    StartWhenReadyLocked();
    return;
  }
  UpdateLocked();
  started_ = false;
  buffer_->Stop();
}

void CMovieSoundStream::Flush(int64_t at) {
  const std::lock_guard lock(mutex_);
  buffer_->Stop();
  started_ = false;
  finished_ = false;
  starving_ = false;
  plat::SoundLockRegions regions;
  if (!plat::SoundFailed(buffer_->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER))) {
    std::memset(regions.first, 0, regions.first_bytes);
    buffer_->Unlock(regions);
  }
  buffer_->SetCurrentPosition(0);
  played_at_start_ = buffer_->GetPlayedFrames();
  start_at_ = written_end_ = sound_end_ = at;
  silent_to_ = at + ring_frames_;
}

void CMovieSoundStream::Finish() {
  const std::lock_guard lock(mutex_);
  finished_ = true;
  StartWhenReadyLocked();
}

int64_t CMovieSoundStream::Position() {
  const std::lock_guard lock(mutex_);
  UpdateLocked();
  return PlayedLocked();
}

void CMovieSoundStream::SetVolume(int32_t hundredths_db) {
  const std::lock_guard lock(mutex_);
  buffer_->SetVolume(hundredths_db);
}

uint32_t CMovieSoundStream::GetUnderruns() {
  const std::lock_guard lock(mutex_);
  return underruns_;
}

uint64_t CMovieSoundStream::GetDroppedFrames() {
  const std::lock_guard lock(mutex_);
  return dropped_frames_;
}
