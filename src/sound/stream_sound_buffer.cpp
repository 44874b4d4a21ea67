#include "sound/stream_sound_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/threads/lock_guard.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "sound/sound_device.h"

namespace {

constexpr uint32_t kControlFlags = plat::DSBCAPS_CTRLFREQUENCY | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLVOLUME;

RefPtr<CSoundDecoder> OpenDecoder(const char* name) {
  if (g_SoundDecoderManager == nullptr) return nullptr;
  return g_SoundDecoderManager->OpenSound(name, nullptr, true, nullptr);
}

// Locks `bytes` from `offset`, restoring a lost buffer once.
uint32_t LockRing(plat::SoundBuffer& buffer, uint32_t offset, uint32_t bytes, plat::SoundLockRegions& regions) {
  uint32_t result = buffer.Lock(offset, bytes, &regions, 0);
  if (result == plat::DSERR_BUFFERLOST) {
    buffer.Restore();
    result = buffer.Lock(offset, bytes, &regions, 0);
  }
  return result;
}

}  // namespace

CStreamSoundBuffer::CStreamSoundBuffer(CSoundDevice* device) {
  if (device != nullptr) g_SoundBufferDevice = device;
  worker_.SetBody(MakeThreadDelegate([this] { Run(); }));
}

CStreamSoundBuffer::~CStreamSoundBuffer() { Close(); }

uint32_t CStreamSoundBuffer::StartWorker() { return worker_.Start(); }

int32_t CStreamSoundBuffer::Open(const char* first, const char* second) {
  if (g_SoundBufferDevice == nullptr || first == nullptr || g_SoundBufferDevice->GetDirectSound() == nullptr) {
    return static_cast<int32_t>(kNoDevice);
  }
  Close();
  try {
    first_ = OpenDecoder(first);
    const plat::WaveFormat* format = first_ != nullptr ? first_->GetFormat() : nullptr;
    if (format == nullptr || format->avg_bytes_per_sec == 0) {
      Close();
      return static_cast<int32_t>(kFirstFileFailed);
    }
    bytes_per_second_ = format->avg_bytes_per_sec;
    ring_size_ = bytes_per_second_ * 4;
    if (second != nullptr) {
      second_ = OpenDecoder(second);
      if (second_ == nullptr || second_->GetFormat() == nullptr) {
        Close();
        return static_cast<int32_t>(kSecondFileFailed);
      }
      if (second_->GetFormat()->avg_bytes_per_sec != bytes_per_second_) {
        Close();
        return static_cast<int32_t>(kByteRateMismatch);
      }
    }
    int32_t result = 0;
    const uint32_t options = g_SoundBufferDevice->GetBufferOptionFlags();
    plat::AudioDevice& device = *g_SoundBufferDevice->GetDirectSound();
    std::shared_ptr<plat::SoundBuffer> buffer;
    if (plat::SoundFailed(device.CreateSoundBuffer({kControlFlags | options, ring_size_, format}, &buffer))) {
      if (plat::SoundFailed(device.CreateSoundBuffer({plat::DSBCAPS_CTRLVOLUME | options, ring_size_, format}, &buffer))) {
        Close();
        return static_cast<int32_t>(kBufferFailed);
      }
      result = -1;
    }
    {
      CLockGuard guard(lock_);
      buffer_ = std::move(buffer);
    }
    CSoundBuffer::SetVolume(volume_);
    return result;
  } catch (...) {
    Close();
    return static_cast<int32_t>(kUnexpected);
  }
}

void CStreamSoundBuffer::Close() {
  Stop();
  CLockGuard guard(lock_);
  first_.reset();
  second_.reset();
  buffer_.reset();
  played_bytes_ = 0;
}

uint32_t CStreamSoundBuffer::Play() { return Start(false); }

uint32_t CStreamSoundBuffer::PlayLooped() { return Start(true); }

uint32_t CStreamSoundBuffer::Start(bool loop) {
  if (buffer_ == nullptr) return 1;
  uint32_t status = 0;
  buffer_->GetStatus(&status);
  if (pause_depth_ != 0 || (status & plat::DSBSTATUS_PLAYING) != 0) Stop();

  CLockGuard guard(lock_);
  // Set only while no worker runs, which reads it without the lock.
  loop_ = loop;
  last_write_cursor_ = write_offset_ = deficit_ = last_play_cursor_ = 0;
  buffer_->SetCurrentPosition(0);
  CSoundDecoder* source =
      second_ != nullptr && played_bytes_ >= first_->GetDataSize() ? second_.get() : first_.get();

  const uint32_t first_fill = (ring_size_ * 7) >> 3;
  plat::SoundLockRegions regions;
  if (plat::SoundFailed(LockRing(*buffer_, 0, first_fill, regions))) return 2;
  const uint32_t written = FillFirst(regions.first, regions.first_bytes, source);
  if (plat::SoundFailed(buffer_->Unlock(regions))) return 4;
  if (written > regions.first_bytes) return 3;
  write_offset_ = written % ring_size_;
  if (written < first_fill) deficit_ = first_fill - written;

  if (plat::SoundFailed(buffer_->Play(plat::DSBPLAY_LOOPING))) {
    StopPlayback(true);
    return 5;
  }
  if (StartWorker() != 0) {
    StopPlayback(true);
    return 6;
  }
  return 0;
}

uint32_t CStreamSoundBuffer::FillFirst(uint8_t* out, uint32_t bytes, CSoundDecoder*& source) {
  uint32_t written = source->Read(out, bytes);
  if (written > bytes) return written;
  if (written == bytes || !source->IsEnd()) return written;
  if (source == first_.get() && second_ != nullptr) {
    source = second_.get();
    written += source->Read(out + written, bytes - written);
  } else if (loop_) {
    source->Seek(0);
    written += source->Read(out + written, bytes - written);
  } else {
    FillSilence(out + written, bytes - written);
    written = bytes;
  }
  return std::min(written, bytes);
}

void CStreamSoundBuffer::FillSilence(uint8_t* out, uint32_t bytes) const {
  const plat::WaveFormat* format = first_->GetFormat();
  std::memset(out, format->bits_per_sample == 8 ? 0x80 : 0, bytes);
}

int32_t CStreamSoundBuffer::Refill(CSoundDecoder& decoder, RefillMode mode) {
  uint32_t play = 0;
  uint32_t write = 0;
  buffer_->GetCurrentPosition(&play, &write);
  if (write == last_write_cursor_ && mode != RefillMode::kSwitchOver) return kCursorUnmoved;

  uint32_t request = ((ring_size_ - last_write_cursor_ + write) % ring_size_) + deficit_;
  if (request < (bytes_per_second_ >> 1)) return kFilled;
  // Never write over what is still to be played.
  if (write_offset_ < play && play < write_offset_ + request) request = play - write_offset_;
  last_write_cursor_ = write;
  if (write_offset_ + request > ring_size_ && write_offset_ + request - ring_size_ > play) {
    request = ring_size_ - write_offset_ + play;
  }

  plat::SoundLockRegions regions;
  if (plat::SoundFailed(LockRing(*buffer_, write_offset_, request, regions))) return 2;
  uint32_t count = 0;
  int32_t failure = 0;
  if (regions.second == nullptr) {
    request = std::min(request, regions.first_bytes);
    count = decoder.Read(regions.first, request);
  } else {
    request = std::min(request, regions.first_bytes + regions.second_bytes);
    std::vector<uint8_t> block;
    try {
      block.resize(request);
      count = decoder.Read(block.data(), request);
      const uint32_t to_first = std::min(count, regions.first_bytes);
      std::memcpy(regions.first, block.data(), to_first);
      std::memcpy(regions.second, block.data() + to_first, std::min(count, request) - to_first);
    } catch (const std::bad_alloc&) {
      failure = 3;
    }
  }
  if (count > request) count = 0;
  if (plat::SoundFailed(buffer_->Unlock(regions))) return 4;
  if (failure != 0) return failure;
  write_offset_ = (write_offset_ + count) % ring_size_;
  // The deficit was part of the request: a complete read has made it up.
  deficit_ = request - count;

  if (!decoder.IsEnd()) return kFilled;
  if (loop_ || mode != RefillMode::kOrdinary) return kSourceEnded;
  // The end of a sound played once: silence behind it, so that the ring never replays it.
  if (deficit_ != 0 && !plat::SoundFailed(LockRing(*buffer_, write_offset_, deficit_, regions))) {
    FillSilence(regions.first, regions.first_bytes);
    if (regions.second != nullptr) FillSilence(regions.second, regions.second_bytes);
    const uint32_t filled = regions.first_bytes + regions.second_bytes;
    write_offset_ = (write_offset_ + filled) % ring_size_;
    deficit_ -= std::min(deficit_, filled);
    buffer_->Unlock(regions);
  }
  return kSourceEnded;
}

void CStreamSoundBuffer::UpdatePosition() {
  uint32_t play = 0;
  buffer_->GetCurrentPosition(&play, nullptr);
  played_bytes_ += play >= last_play_cursor_ ? play - last_play_cursor_ : ring_size_ - last_play_cursor_ + play;
  last_play_cursor_ = play;
}

void CStreamSoundBuffer::EnterPhase(Phase phase) {
  phase_ = phase;
  CSoundDecoder& decoder = phase == Phase::kSecond ? *second_ : *first_;
  ended_ = !loop_ && decoder.IsEnd();
}

void CStreamSoundBuffer::BeginCycles() {
  CLockGuard guard(lock_);
  if (second_ == nullptr) {
    EnterPhase(Phase::kSingle);
  } else {
    EnterPhase(played_bytes_ < first_->GetDataSize() ? Phase::kIntro : Phase::kSecond);
  }
}

CStreamSoundBuffer::Cycle CStreamSoundBuffer::RunCycle() {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr) return Cycle::kEnd;
  UpdatePosition();
  if (phase_ == Phase::kIntro) {
    const int32_t result = Refill(*first_, RefillMode::kIntro);
    if (result == kSourceEnded) {
      const int32_t switched = Refill(*second_, RefillMode::kSwitchOver);
      EnterPhase(Phase::kSecond);
      if (switched <= kSourceEnded) return Cycle::kAgain;
    } else if (result <= kFilled) {
      return Cycle::kWait;
    }
    StopPlayback(false);
    return Cycle::kEnd;
  }

  CSoundDecoder& decoder = phase_ == Phase::kSecond ? *second_ : *first_;
  const uint32_t intro = phase_ == Phase::kSecond ? first_->GetDataSize() : 0;
  const uint32_t total = intro + decoder.GetDataSize();
  // A looped sound's position wraps into the looping part, never back into the intro.
  if (!ended_ && total != 0 && played_bytes_ >= total) played_bytes_ = played_bytes_ % total + intro;
  const int32_t result = Refill(decoder, RefillMode::kOrdinary);
  if (result == kSourceEnded) {
    if (loop_) {
      decoder.Seek(0);
      return Cycle::kAgain;
    }
    ended_ = true;
    if (played_bytes_ < total) return Cycle::kWait;
  } else if (result <= kFilled) {
    return Cycle::kWait;
  }
  StopPlayback(false);
  return Cycle::kEnd;
}

void CStreamSoundBuffer::Run() {
  BeginCycles();
  while (worker_.ShouldContinue()) {
    const Cycle cycle = RunCycle();
    if (cycle == Cycle::kEnd) return;
    if (cycle == Cycle::kWait) WaitForNextEighth();
  }
}

void CStreamSoundBuffer::WaitForNextEighth() {
  uint32_t play = 0;
  {
    CLockGuard guard(lock_);
    if (buffer_ == nullptr) return;
    buffer_->GetCurrentPosition(&play, nullptr);
  }
  const uint32_t unit = ring_size_ / 8;
  const uint32_t bytes_per_ms = std::max(ring_size_ / 4000, 1u);
  wake_.Wait((unit - play % unit) / bytes_per_ms + 1);
}

uint32_t CStreamSoundBuffer::StopPlayback(bool cancel_fade) {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr) return 1;
  if (g_SoundBufferDevice != nullptr) g_SoundBufferDevice->PlaySilentBuffer(buffer_.get());
  const bool refused = plat::SoundFailed(buffer_->Stop());
  buffer_->SetCurrentPosition(0);
  if (first_ != nullptr) first_->Seek(0);
  if (second_ != nullptr) second_->Seek(0);
  played_bytes_ = last_play_cursor_ = last_write_cursor_ = 0;
  pause_depth_ = 0;
  if (cancel_fade) CancelFade();
  return refused ? 2 : 0;
}

uint32_t CStreamSoundBuffer::Stop() {
  worker_.RequestStop();
  wake_.Set();
  // A caller that holds the buffer lock (a fade starting the sound) must not keep the worker
  // from its last cycle while the join waits for it.
  const int32_t depth = lock_.UnlockAll();
  worker_.Stop();
  lock_.RelockAll(depth);
  wake_.Reset();
  return StopPlayback(true);
}

uint32_t CStreamSoundBuffer::Pause() {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr) return 1;
  if (pause_depth_ == 0) {
    uint32_t status = 0;
    buffer_->GetStatus(&status);
    if ((status & plat::DSBSTATUS_PLAYING) == 0) return 3;
    if (g_SoundBufferDevice != nullptr) g_SoundBufferDevice->PlaySilentBuffer(buffer_.get());
    if (plat::SoundFailed(buffer_->Stop())) return 2;
  }
  ++pause_depth_;
  return 0;
}

uint32_t CStreamSoundBuffer::Resume() {
  CLockGuard guard(lock_);
  if (buffer_ == nullptr) return 1;
  if (pause_depth_ == 0) return 2;
  if (--pause_depth_ != 0) return 0;
  uint32_t result = buffer_->Play(plat::DSBPLAY_LOOPING);
  if (result == plat::DSERR_BUFFERLOST) {
    buffer_->Restore();
    result = buffer_->Play(plat::DSBPLAY_LOOPING);
  }
  return plat::SoundFailed(result) ? 3 : 0;
}

uint32_t CStreamSoundBuffer::GetDataSize() {
  if (first_ == nullptr) return 0;
  return first_->GetDataSize() + (second_ != nullptr ? second_->GetDataSize() : 0);
}

uint32_t CStreamSoundBuffer::GetLength() {
  if (first_ == nullptr) return 0;
  return first_->GetLength() + (second_ != nullptr ? second_->GetLength() : 0);
}

uint32_t CStreamSoundBuffer::Seek(uint32_t milliseconds) {
  if (first_ == nullptr) return 1;
  const bool was_playing = IsPlaying(nullptr, nullptr);
  Stop();
  const uint32_t intro_length = first_->GetLength();
  const bool into_second = second_ != nullptr && milliseconds >= intro_length;
  const uint32_t result =
      into_second ? second_->Seek(milliseconds - intro_length) : first_->Seek(milliseconds);
  if (result != 0) return 3;
  played_bytes_ = static_cast<uint32_t>(uint64_t{bytes_per_second_} * milliseconds / 1000);
  if (was_playing && Start(loop_) != 0) return 4;
  return 0;
}

int32_t CStreamSoundBuffer::GetPosition() {
  CLockGuard guard(lock_);
  if (first_ == nullptr) return -1;
  return static_cast<int32_t>(uint64_t{played_bytes_} * 1000 / bytes_per_second_);
}

bool CStreamSoundBuffer::IsPlaying(uint32_t* play_cursor, uint32_t* write_cursor) {
  CLockGuard guard(lock_);
  if (play_cursor != nullptr) *play_cursor = last_play_cursor_;
  if (write_cursor != nullptr) *write_cursor = last_write_cursor_;
  uint32_t status = 0;
  return buffer_ != nullptr && !plat::SoundFailed(buffer_->GetStatus(&status)) &&
         (status & plat::DSBSTATUS_PLAYING) != 0;
}

int32_t CStreamSoundBuffer::SetVolume(int32_t volume) {
  CLockGuard guard(lock_);
  return CSoundBuffer::SetVolume(volume);
}
