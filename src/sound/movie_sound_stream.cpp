#include "sound/movie_sound_stream.h"

#include <algorithm>
#include <cstring>

#include "sound/sound_device.h"

namespace {

// Half a second of sound: the decoding thread runs no further ahead than the next picture.
constexpr uint32_t kRingMilliseconds = 500;

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
  const uint32_t ring_bytes = static_cast<uint32_t>(rate) * kRingMilliseconds / 1000 * block_align;
  const uint32_t flags = plat::DSBCAPS_CTRLVOLUME | g_SoundBufferDevice->GetBufferOptionFlags();
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (plat::SoundFailed(g_SoundBufferDevice->GetDirectSound()->CreateSoundBuffer({flags, ring_bytes, &format}, &buffer))) {
    return nullptr;
  }
  return std::unique_ptr<CMovieSoundStream>(new CMovieSoundStream(std::move(buffer), ring_bytes, block_align));
}

uint32_t CMovieSoundStream::FreeBytesLocked() const {
  uint32_t play = 0;
  uint32_t write = 0;
  if (plat::SoundFailed(buffer_->GetCurrentPosition(&play, &write))) return 0;
  // One block stays unwritten, so that a full ring is told apart from an empty one.
  const uint32_t free = (play + ring_bytes_ - write_offset_ - block_align_) % ring_bytes_;
  return free - free % block_align_;
}

uint32_t CMovieSoundStream::Write(const uint8_t* pcm, uint32_t bytes) {
  const std::lock_guard lock(mutex_);
  const uint32_t taken = std::min(bytes - bytes % block_align_, FreeBytesLocked());
  if (taken == 0) return 0;
  plat::SoundLockRegions regions;
  if (plat::SoundFailed(buffer_->Lock(write_offset_, taken, &regions, 0))) return 0;
  std::memcpy(regions.first, pcm, regions.first_bytes);
  if (regions.second != nullptr) std::memcpy(regions.second, pcm + regions.first_bytes, regions.second_bytes);
  buffer_->Unlock(regions);
  write_offset_ = (write_offset_ + taken) % ring_bytes_;
  return taken;
}

void CMovieSoundStream::SetPlaying(bool playing) {
  const std::lock_guard lock(mutex_);
  playing_ = playing;
  if (playing) {
    buffer_->Play(plat::DSBPLAY_LOOPING);
  } else {
    buffer_->Stop();
  }
}

void CMovieSoundStream::Flush() {
  const std::lock_guard lock(mutex_);
  buffer_->Stop();
  plat::SoundLockRegions regions;
  if (!plat::SoundFailed(buffer_->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER))) {
    std::memset(regions.first, 0, regions.first_bytes);
    buffer_->Unlock(regions);
  }
  buffer_->SetCurrentPosition(0);
  write_offset_ = 0;
  if (playing_) buffer_->Play(plat::DSBPLAY_LOOPING);
}

void CMovieSoundStream::SetVolume(int32_t hundredths_db) {
  const std::lock_guard lock(mutex_);
  buffer_->SetVolume(hundredths_db);
}
