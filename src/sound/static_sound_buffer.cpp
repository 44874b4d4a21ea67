#include "sound/static_sound_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "base/numbers/little_endian.h"
#include "base/threads/lock_guard.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "sound/sound_device.h"

namespace {

constexpr uint32_t kControlFlags = plat::DSBCAPS_CTRLFREQUENCY | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLVOLUME;
constexpr int32_t kLoudest = 255;

// Reads until `bytes` are in or the decoder gives no more; the bytes read.
uint32_t ReadAll(CSoundDecoder& decoder, uint8_t* out, uint32_t bytes) {
  uint32_t got = 0;
  while (got < bytes) {
    const uint32_t count = decoder.Read(out + got, bytes - got);
    if (count == 0 || count > bytes - got) break;
    got += count;
  }
  return got;
}

int16_t LoadSample16(const uint8_t* bytes) { return static_cast<int16_t>(LoadLe16(bytes)); }

}  // namespace

CStaticSoundBuffer::CStaticSoundBuffer(CSoundDevice* device) {
  if (device != nullptr) g_SoundBufferDevice = device;
}

CStaticSoundBuffer::~CStaticSoundBuffer() { Release(); }

int32_t CStaticSoundBuffer::Load(const char* name, uint8_t mode) {
  if (g_SoundBufferDevice == nullptr || g_SoundBufferDevice->GetDirectSound() == nullptr || name == nullptr) {
    return kNoDevice;
  }
  char path[kMaxPath];
  if (g_DataFiles == nullptr || g_DataFiles->LocateFile(path, name, nullptr) > 0) return kNotFound;
  if (!file_name_.empty() && file_name_ == path) return 0;
  Release();
  try {
    RefPtr<CSoundDecoder> decoder =
        g_SoundDecoderManager != nullptr ? g_SoundDecoderManager->OpenSound(path, nullptr, true, nullptr) : nullptr;
    const plat::WaveFormat* format = decoder != nullptr ? decoder->GetFormat() : nullptr;
    if (format == nullptr) return kNotFound;
    const int32_t result = Fill(*decoder, *format, mode);
    if (result > 0) {
      Release();
      return result;
    }
    file_name_ = path;
    data_size_ = decoder->GetDataSize();
    SetVolume(volume_);
    return result;
  } catch (...) {
    Release();
    return kUnexpected;
  }
}

int32_t CStaticSoundBuffer::Fill(CSoundDecoder& decoder, const plat::WaveFormat& format, uint8_t mode) {
  const uint32_t options = g_SoundBufferDevice->GetBufferOptionFlags();
  plat::AudioDevice& device = *g_SoundBufferDevice->GetDirectSound();
  const uint32_t size = decoder.GetDataSize();
  int32_t result = 0;
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (plat::SoundFailed(device.CreateSoundBuffer({kControlFlags | options, size, &format}, &buffer))) {
    if (plat::SoundFailed(device.CreateSoundBuffer({plat::DSBCAPS_CTRLVOLUME | options, size, &format}, &buffer))) {
      return kBufferFailed;
    }
    result = kVolumeControlOnly;
  }
  plat::SoundLockRegions regions;
  if (plat::SoundFailed(buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER))) return kLockFailed;
  const uint8_t silence = format.bits_per_sample == 8 ? 0x80 : 0;
  uint32_t got = 0;
  if (mode != kPlain) {
    samples_.assign(regions.first_bytes, silence);
    got = ReadAll(decoder, samples_.data(), regions.first_bytes);
    std::memcpy(regions.first, samples_.data(), regions.first_bytes);
    sample_width_ = format.bits_per_sample == 8 ? 1 : 2;
    if (mode == kKeepEnvelope) BuildEnvelope();
  } else {
    got = ReadAll(decoder, regions.first, regions.first_bytes);
    std::memset(regions.first + got, silence, regions.first_bytes - got);
  }
  const bool unlocked = !plat::SoundFailed(buffer->Unlock(regions));
  if (got == 0) return kNothingDecoded;
  if (!unlocked) return kUnlockFailed;
  CLockGuard guard(lock_);
  buffer_ = std::move(buffer);
  return result;
}

void CStaticSoundBuffer::BuildEnvelope() {
  int32_t peak = 0;
  if (sample_width_ == 1) {
    for (std::size_t start = 0; start + kEnvelopeBlock <= samples_.size(); start += kEnvelopeBlock) {
      const auto block = samples_.begin() + static_cast<std::ptrdiff_t>(start);
      int32_t sum = 0;
      std::for_each(block, block + kEnvelopeBlock, [&sum](uint8_t s) { sum += std::abs(s - 0x80); });
      const int32_t mean = sum >> 5;
      peak = std::max(peak, mean);
      // Stored as a sample, so that the envelope reads as loud as the block was.
      std::fill(block, block + kEnvelopeBlock, static_cast<uint8_t>(0x80 + std::min(mean, 0x7F)));
    }
  } else {
    const std::size_t block_bytes = kEnvelopeBlock * 2;
    for (std::size_t start = 0; start + block_bytes <= samples_.size(); start += block_bytes) {
      uint8_t* block = samples_.data() + start;
      int32_t sum = 0;
      for (std::size_t i = 0; i < block_bytes; i += 2) sum += std::abs(int32_t{LoadSample16(block + i)});
      const int32_t mean = sum >> 5;
      peak = std::max(peak, mean);
      for (std::size_t i = 0; i < block_bytes; i += 2) StoreLe16(block + i, static_cast<uint16_t>(std::min(mean, 0x7FFF)));
    }
  }
  amplitude_scale_ = static_cast<uint16_t>(peak >> 2);
}

uint32_t CStaticSoundBuffer::Duplicate(const CStaticSoundBuffer* source) {
  if (g_SoundBufferDevice == nullptr || g_SoundBufferDevice->GetDirectSound() == nullptr || source == nullptr ||
      source->buffer_ == nullptr) {
    return 1;
  }
  Release();
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (plat::SoundFailed(g_SoundBufferDevice->GetDirectSound()->DuplicateSoundBuffer(*source->buffer_, &buffer))) {
    return 2;
  }
  {
    CLockGuard guard(lock_);
    buffer_ = std::move(buffer);
  }
  data_size_ = source->data_size_;
  SetVolume(volume_);
  return 0;
}

int32_t CStaticSoundBuffer::GetSample(uint32_t offset) const {
  if (sample_width_ == 0 || offset >= samples_.size() || samples_.size() - offset < sample_width_) return 0;
  return sample_width_ == 1 ? samples_[offset] : LoadSample16(samples_.data() + offset);
}

int32_t CStaticSoundBuffer::GetAmplitude(uint32_t offset, int32_t scale) const {
  if (sample_width_ == 0 || offset >= samples_.size() || samples_.size() - offset < sample_width_) return 0;
  const int32_t sample = GetSample(offset);
  int32_t loudness = sample_width_ == 1 ? std::abs(sample - 0x80) : std::abs(sample);
  if (scale == 0) {
    loudness = sample_width_ == 1 ? loudness * 2 : loudness >> 7;
    return std::min(loudness, kLoudest);
  }
  if (amplitude_scale_ == 0) return 0;
  const int64_t scaled = int64_t{loudness} * scale / amplitude_scale_;
  return scaled >= scale ? scale - 1 : static_cast<int32_t>(scaled);
}

void CStaticSoundBuffer::Release() {
  Stop();
  CLockGuard guard(lock_);
  buffer_.reset();
  file_name_.clear();
  data_size_ = 0;
  play_mode_ = kStopped;
  pause_depth_ = 0;
  seek_pending_ = false;
  samples_ = {};
  sample_width_ = 0;
  amplitude_scale_ = 0;
}

uint32_t CStaticSoundBuffer::Play() { return StartPlaying(kOnce); }

uint32_t CStaticSoundBuffer::PlayLooped() { return StartPlaying(kLooped); }

uint32_t CStaticSoundBuffer::StartPlaying(PlayMode mode) {
  if (buffer_ == nullptr) return 1;
  if (seek_pending_) {
    seek_pending_ = false;
  } else {
    if (play_mode_ != kStopped) buffer_->Stop();
    buffer_->SetCurrentPosition(0);
  }
  play_mode_ = mode;
  pause_depth_ = 0;
  return plat::SoundFailed(buffer_->Play(mode == kLooped ? plat::DSBPLAY_LOOPING : 0)) ? 2 : 0;
}

uint32_t CStaticSoundBuffer::Pause() {
  if (buffer_ == nullptr) return 1;
  if (play_mode_ == kStopped) return 2;
  if (pause_depth_ == 0) {
    if (!IsPlaying(nullptr, nullptr)) return 3;
    if (g_SoundBufferDevice != nullptr) g_SoundBufferDevice->PlaySilentBuffer(buffer_.get());
    if (plat::SoundFailed(buffer_->Stop())) return 2;
  }
  ++pause_depth_;
  return 0;
}

uint32_t CStaticSoundBuffer::Resume() {
  if (buffer_ == nullptr) return 1;
  if (pause_depth_ == 0) return 2;
  if (--pause_depth_ != 0 || play_mode_ == kStopped) return 0;
  return plat::SoundFailed(buffer_->Play(play_mode_ == kLooped ? plat::DSBPLAY_LOOPING : 0)) ? 3 : 0;
}

uint32_t CStaticSoundBuffer::Stop() {
  if (buffer_ == nullptr) return 1;
  if (g_SoundBufferDevice != nullptr) g_SoundBufferDevice->PlaySilentBuffer(buffer_.get());
  const bool refused = plat::SoundFailed(buffer_->Stop());
  buffer_->SetCurrentPosition(0);
  seek_pending_ = false;
  play_mode_ = kStopped;
  pause_depth_ = 0;
  CancelFade();
  return refused ? 2 : 0;
}

uint32_t CStaticSoundBuffer::BytesPerSecond() const {
  plat::WaveFormat format;
  if (buffer_ == nullptr || plat::SoundFailed(buffer_->GetFormat(&format))) return 0;
  return format.avg_bytes_per_sec;
}

uint32_t CStaticSoundBuffer::GetLength() {
  const uint32_t bytes_per_second = BytesPerSecond();
  if (bytes_per_second == 0) return 0;
  return static_cast<uint32_t>(uint64_t{data_size_} * 1000 / bytes_per_second);
}

uint32_t CStaticSoundBuffer::Seek(uint32_t milliseconds) {
  if (buffer_ == nullptr) return 1;
  const uint32_t bytes_per_second = BytesPerSecond();
  if (bytes_per_second == 0) return 2;
  if (GetFadeState() != kNoFade || !IsPlaying(nullptr, nullptr)) {
    Stop();
    seek_pending_ = true;
  }
  const uint64_t position = uint64_t{bytes_per_second} * milliseconds / 1000;
  if (position >= data_size_) return 3;
  return plat::SoundFailed(buffer_->SetCurrentPosition(static_cast<uint32_t>(position))) ? 3 : 0;
}

int32_t CStaticSoundBuffer::GetPosition() {
  const uint32_t bytes_per_second = BytesPerSecond();
  if (bytes_per_second == 0) return 0;
  uint32_t play = 0;
  buffer_->GetCurrentPosition(&play, nullptr);
  return static_cast<int32_t>(uint64_t{play} * 1000 / bytes_per_second);
}

bool CStaticSoundBuffer::IsPlaying(uint32_t* play_cursor, uint32_t* write_cursor) {
  if (buffer_ == nullptr) return false;
  if (play_cursor != nullptr || write_cursor != nullptr) buffer_->GetCurrentPosition(play_cursor, write_cursor);
  uint32_t status = 0;
  return !plat::SoundFailed(buffer_->GetStatus(&status)) && (status & plat::DSBSTATUS_PLAYING) != 0;
}
