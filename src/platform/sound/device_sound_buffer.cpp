#include "platform/sound/device_sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/sound/sound_mixer.h"

namespace plat {

namespace {

constexpr float kFractionScale = 1.0f / 4294967296.0f;

// Hundredths of a decibel to a linear factor; the minimum is silence, not -100 dB.
float Attenuation(int32_t hundredths_of_db) {
  if (hundredths_of_db <= DSBVOLUME_MIN) return 0.0f;
  return std::pow(10.0f, static_cast<float>(hundredths_of_db) / 2000.0f);
}

template <int kBits>
float ReadSample(const uint8_t* at) {
  if constexpr (kBits == 8) {
    return (static_cast<float>(*at) - 128.0f) * 256.0f;
  } else {
    int16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
  }
}

template <int kBits, int kChannels>
void ReadFrame(const uint8_t* at, float& left, float& right) {
  left = ReadSample<kBits>(at);
  right = kChannels == 2 ? ReadSample<kBits>(at + kBits / 8) : left;
}

}  // namespace

bool IsPlayableFormat(const WaveFormat& format) {
  return format.format_tag == WAVE_FORMAT_PCM && (format.channels == 1 || format.channels == 2) &&
         (format.bits_per_sample == 8 || format.bits_per_sample == 16) &&
         format.block_align == format.channels * format.bits_per_sample / 8 &&
         format.samples_per_sec >= DSBFREQUENCY_MIN && format.samples_per_sec <= DSBFREQUENCY_MAX;
}

SoundBuffer::SoundBuffer(std::shared_ptr<SoundMixer> mixer, uint32_t flags, const WaveFormat& format,
                         std::shared_ptr<SampleData> samples)
    : mixer_(std::move(mixer)), flags_(flags), format_(format), samples_(std::move(samples)) {
  if (IsPrimary()) return;
  bytes_ = static_cast<uint32_t>(samples_->size());
  frame_count_ = bytes_ / format_.block_align;
  std::lock_guard hold(mixer_->mutex_);
  mixer_->Register(this);
}

SoundBuffer::~SoundBuffer() {
  if (IsPrimary()) return;
  std::lock_guard hold(mixer_->mutex_);
  mixer_->Unregister(this);
}

std::shared_ptr<SoundBuffer> SoundBuffer::MakeDuplicate() const {
  std::shared_ptr<SoundBuffer> duplicate(new SoundBuffer(mixer_, flags_, format_, samples_));
  std::lock_guard hold(mixer_->mutex_);
  duplicate->volume_ = volume_;
  duplicate->pan_ = pan_;
  duplicate->frequency_ = frequency_;
  return duplicate;
}

uint32_t SoundBuffer::GetStatus(uint32_t* status) const {
  if (status == nullptr) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  *status = playing_ ? DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0) : 0;
  return DS_OK;
}

uint32_t SoundBuffer::Play(uint32_t flags) {
  if (IsPrimary()) return DS_OK;
  bool wake = false;
  {
    std::lock_guard hold(mixer_->mutex_);
    playing_ = true;
    looping_ = (flags & DSBPLAY_LOOPING) != 0;
    wake = mixer_->TakeWake();
  }
  if (wake) mixer_->Wake();
  return DS_OK;
}

uint32_t SoundBuffer::Stop() {
  if (IsPrimary()) return DS_OK;
  std::lock_guard hold(mixer_->mutex_);
  if (playing_) StopLocked();
  return DS_OK;
}

void SoundBuffer::StopLocked() {
  playing_ = false;
  NotifyStop();
}

uint32_t SoundBuffer::PlayCursorLocked() const {
  return static_cast<uint32_t>(position_ >> 32) * format_.block_align;
}

uint32_t SoundBuffer::FrequencyLocked() const {
  return frequency_ != DSBFREQUENCY_ORIGINAL ? frequency_ : format_.samples_per_sec;
}

uint32_t SoundBuffer::GetCurrentPosition(uint32_t* play_cursor, uint32_t* write_cursor) const {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  std::lock_guard hold(mixer_->mutex_);
  const uint32_t play = PlayCursorLocked();
  if (play_cursor != nullptr) *play_cursor = play;
  if (write_cursor == nullptr) return DS_OK;
  if (!playing_) {
    *write_cursor = play;
    return DS_OK;
  }
  // What the output has already taken from the buffer lies between the two cursors.
  const uint64_t lead_frames =
      (uint64_t{mixer_->period_frames_} * FrequencyLocked() + mixer_->output_rate_ - 1) / mixer_->output_rate_;
  const uint64_t lead = std::min<uint64_t>(lead_frames, frame_count_ - 1) * format_.block_align;
  *write_cursor = static_cast<uint32_t>((play + lead) % (uint64_t{frame_count_} * format_.block_align));
  return DS_OK;
}

uint64_t SoundBuffer::GetPlayedFrames() const {
  std::lock_guard hold(mixer_->mutex_);
  return played_frames_;
}

uint32_t SoundBuffer::SetCurrentPosition(uint32_t offset) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (offset >= bytes_) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  position_ = uint64_t{offset / format_.block_align} << 32;
  return DS_OK;
}

uint32_t SoundBuffer::Lock(uint32_t offset, uint32_t bytes, SoundLockRegions* regions, uint32_t flags) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (regions == nullptr) return DSERR_INVALIDPARAM;
  if ((flags & DSBLOCK_ENTIREBUFFER) != 0) {
    offset = 0;
    bytes = bytes_;
  } else if ((flags & DSBLOCK_FROMWRITECURSOR) != 0) {
    GetCurrentPosition(nullptr, &offset);
  }
  if (offset >= bytes_ || bytes == 0 || bytes > bytes_) return DSERR_INVALIDPARAM;
  uint8_t* data = samples_->data();
  const uint32_t to_end = bytes_ - offset;
  *regions = SoundLockRegions{data + offset, std::min(bytes, to_end), nullptr, 0};
  if (bytes > to_end) {
    regions->second = data;
    regions->second_bytes = bytes - to_end;
  }
  return DS_OK;
}

bool SoundBuffer::OwnsRange(const uint8_t* start, uint32_t bytes) const {
  if (start == nullptr) return bytes == 0;
  const uint8_t* data = samples_->data();
  return start >= data && bytes <= bytes_ && static_cast<uint32_t>(start - data) <= bytes_ - bytes;
}

uint32_t SoundBuffer::Unlock(const SoundLockRegions& regions) {
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (!OwnsRange(regions.first, regions.first_bytes) || !OwnsRange(regions.second, regions.second_bytes)) {
    return DSERR_INVALIDPARAM;
  }
  return DS_OK;
}

uint32_t SoundBuffer::SetControl(uint32_t control, int32_t value, int32_t lowest, int32_t highest, int32_t& setting) {
  if ((flags_ & control) == 0) return DSERR_CONTROLUNAVAIL;
  if (value < lowest || value > highest) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  setting = value;
  return DS_OK;
}

uint32_t SoundBuffer::GetControl(uint32_t control, const int32_t& setting, int32_t* value) const {
  if ((flags_ & control) == 0) return DSERR_CONTROLUNAVAIL;
  if (value == nullptr) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  *value = setting;
  return DS_OK;
}

uint32_t SoundBuffer::SetVolume(int32_t volume) {
  return SetControl(DSBCAPS_CTRLVOLUME, volume, DSBVOLUME_MIN, DSBVOLUME_MAX, volume_);
}

uint32_t SoundBuffer::GetVolume(int32_t* volume) const { return GetControl(DSBCAPS_CTRLVOLUME, volume_, volume); }

uint32_t SoundBuffer::SetPan(int32_t pan) { return SetControl(DSBCAPS_CTRLPAN, pan, DSBPAN_LEFT, DSBPAN_RIGHT, pan_); }

uint32_t SoundBuffer::GetPan(int32_t* pan) const { return GetControl(DSBCAPS_CTRLPAN, pan_, pan); }

uint32_t SoundBuffer::SetFrequency(uint32_t frequency) {
  if ((flags_ & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
  if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)) {
    return DSERR_INVALIDPARAM;
  }
  std::lock_guard hold(mixer_->mutex_);
  frequency_ = frequency;
  return DS_OK;
}

uint32_t SoundBuffer::GetFrequency(uint32_t* frequency) const {
  if ((flags_ & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
  if (frequency == nullptr) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  *frequency = FrequencyLocked();
  return DS_OK;
}

uint32_t SoundBuffer::GetFormat(WaveFormat* format) const {
  if (format == nullptr) return DSERR_INVALIDPARAM;
  std::lock_guard hold(mixer_->mutex_);
  *format = format_;
  return DS_OK;
}

uint32_t SoundBuffer::SetFormat(const WaveFormat& format) {
  if (!IsPrimary()) return DSERR_INVALIDCALL;
  if (mixer_->GetCooperativeLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsPlayableFormat(format) || format.avg_bytes_per_sec != format.block_align * format.samples_per_sec) {
    return DSERR_BADFORMAT;
  }
  std::lock_guard hold(mixer_->mutex_);
  format_ = format;
  return DS_OK;
}

uint32_t SoundBuffer::SetNotificationPositions(std::vector<SoundNotifyPosition> positions) {
  if ((flags_ & DSBCAPS_CTRLPOSITIONNOTIFY) == 0) return DSERR_CONTROLUNAVAIL;
  for (const SoundNotifyPosition& position : positions) {
    if (!position.signal || (position.offset >= bytes_ && position.offset != DSBPN_OFFSETSTOP)) {
      return DSERR_INVALIDPARAM;
    }
  }
  std::lock_guard hold(mixer_->mutex_);
  if (playing_) return DSERR_INVALIDCALL;
  notifications_ = std::move(positions);
  return DS_OK;
}

void SoundBuffer::NotifyPassed(uint32_t from, uint64_t travelled) {
  if (travelled == 0) return;
  for (const SoundNotifyPosition& position : notifications_) {
    if (position.offset == DSBPN_OFFSETSTOP) continue;
    uint64_t ahead = (uint64_t{position.offset} + bytes_ - from) % bytes_;
    if (ahead == 0) ahead = bytes_;
    if (ahead <= travelled) position.signal();
  }
}

void SoundBuffer::NotifyStop() {
  for (const SoundNotifyPosition& position : notifications_) {
    if (position.offset == DSBPN_OFFSETSTOP) position.signal();
  }
}

void SoundBuffer::MixInto(float* accumulator, uint32_t frames, uint32_t output_rate) {
  const uint64_t step = (uint64_t{FrequencyLocked()} << 32) / output_rate;
  const float volume = Attenuation(volume_);
  const float left_gain = volume * (pan_ > 0 ? Attenuation(-pan_) : 1.0f);
  const float right_gain = volume * (pan_ < 0 ? Attenuation(pan_) : 1.0f);
  const uint32_t from = PlayCursorLocked();
  const uint64_t start = position_;
  uint64_t wrapped_frames = 0;
  if (left_gain == 0.0f && right_gain == 0.0f) {
    wrapped_frames = SkipFrames(frames, step);
  } else if (format_.bits_per_sample == 8) {
    wrapped_frames = format_.channels == 1 ? MixFrames<8, 1>(accumulator, frames, step, left_gain, right_gain)
                                           : MixFrames<8, 2>(accumulator, frames, step, left_gain, right_gain);
  } else {
    wrapped_frames = format_.channels == 1 ? MixFrames<16, 1>(accumulator, frames, step, left_gain, right_gain)
                                           : MixFrames<16, 2>(accumulator, frames, step, left_gain, right_gain);
  }
  const uint64_t end_fixed = uint64_t{frame_count_} << 32;
  const bool ended = position_ >= end_fixed;
  const uint64_t reached = ended ? frame_count_ : position_ >> 32;
  const uint64_t passed = wrapped_frames + reached - (start >> 32);
  played_frames_ += passed;
  NotifyPassed(from, passed * format_.block_align);
  if (!ended) return;
  position_ = 0;
  StopLocked();
}

// Returns the frames passed by wrapping round; a buffer played once is left at or past
// its end when it ran out.
template <int kBits, int kChannels>
uint64_t SoundBuffer::MixFrames(float* accumulator, uint32_t frames, uint64_t step, float left_gain,
                                float right_gain) {
  const uint8_t* data = samples_->data();
  const uint32_t align = format_.block_align;
  const uint64_t end_fixed = uint64_t{frame_count_} << 32;
  uint64_t position = position_;
  uint64_t wrapped = 0;
  for (uint32_t frame = 0; frame < frames; ++frame) {
    if (position >= end_fixed) {
      if (!looping_) break;
      wrapped += position / end_fixed * frame_count_;
      position %= end_fixed;
    }
    const uint32_t index = static_cast<uint32_t>(position >> 32);
    const uint32_t next = index + 1 < frame_count_ ? index + 1 : (looping_ ? 0 : index);
    const float fraction = static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
    float left0, right0, left1, right1;
    ReadFrame<kBits, kChannels>(data + std::size_t{index} * align, left0, right0);
    ReadFrame<kBits, kChannels>(data + std::size_t{next} * align, left1, right1);
    accumulator[2 * frame] += (left0 + (left1 - left0) * fraction) * left_gain;
    accumulator[2 * frame + 1] += (right0 + (right1 - right0) * fraction) * right_gain;
    position += step;
  }
  if (looping_ && position >= end_fixed) {
    wrapped += position / end_fixed * frame_count_;
    position %= end_fixed;
  }
  position_ = position;
  return wrapped;
}

uint64_t SoundBuffer::SkipFrames(uint32_t frames, uint64_t step) {
  const uint64_t end_fixed = uint64_t{frame_count_} << 32;
  const uint64_t position = position_ + step * frames;
  if (!looping_) {
    position_ = std::min(position, end_fixed);
    return 0;
  }
  position_ = position % end_fixed;
  return position / end_fixed * frame_count_;
}

}  // namespace plat
