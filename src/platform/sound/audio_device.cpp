#include "platform/sound/audio_device.h"

#include <algorithm>
#include <new>

#include "platform/sound/audio_backend.h"
#include "platform/sound/audio_output.h"
#include "platform/sound/sound_mixer.h"

namespace plat {

namespace {

// The format a primary buffer reports until the engine sets one.
constexpr WaveFormat kDefaultPrimaryFormat{WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};

}  // namespace

AudioDeviceGuid GuidOfAudioOutput(const std::string& name) {
  // Two FNV-1a hashes with different seeds fill the 16 bytes.
  AudioDeviceGuid guid;
  uint64_t hashes[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
  for (uint64_t& hash : hashes) {
    for (const char c : name) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
  }
  for (std::size_t i = 0; i < 16; ++i) guid.bytes[i] = static_cast<uint8_t>(hashes[i / 8] >> (8 * (i % 8)));
  return guid;
}

AudioDevice::AudioDevice(Kind kind, uint32_t manual_rate)
    : kind_(kind), mixer_(std::make_shared<SoundMixer>(manual_rate, kDefaultPeriodFrames)) {}

AudioDevice::~AudioDevice() = default;

uint32_t AudioDevice::Initialize(const AudioDeviceGuid* device) {
  if (initialised_) return DSERR_INVALIDCALL;
  if (kind_ == Kind::kManual) {
    if (device != nullptr) return DSERR_NODRIVER;
    initialised_ = true;
    return DS_OK;
  }
  std::string name;
  if (device != nullptr) {
    const auto outputs = CurrentAudioBackend().ListOutputs();
    if (!outputs) return DSERR_NODRIVER;
    auto found = std::find_if(outputs->names.begin(), outputs->names.end(),
                              [device](const std::string& each) { return GuidOfAudioOutput(each) == *device; });
    if (found == outputs->names.end()) return DSERR_NODRIVER;
    name = *found;
  }
  output_ = AudioOutput::Open(device != nullptr ? &name : nullptr, *mixer_);
  initialised_ = true;
  return DS_OK;
}

uint32_t AudioDevice::SetCooperativeLevel(WindowId /*window*/, int32_t level) {
  if (!initialised_) return DSERR_UNINITIALIZED;
  if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  mixer_->SetCooperativeLevel(level);
  return DS_OK;
}

uint32_t AudioDevice::CreateSoundBuffer(const SoundBufferDesc& desc, std::shared_ptr<SoundBuffer>* buffer) {
  if (buffer == nullptr) return DSERR_INVALIDPARAM;
  buffer->reset();
  if (!initialised_) return DSERR_UNINITIALIZED;
  try {
    if ((desc.flags & DSBCAPS_PRIMARYBUFFER) != 0) {
      if (desc.buffer_bytes != 0 || desc.format != nullptr) return DSERR_INVALIDPARAM;
      buffer->reset(new SoundBuffer(mixer_, desc.flags, kDefaultPrimaryFormat, nullptr));
      return DS_OK;
    }
    if (desc.format == nullptr) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(*desc.format)) return DSERR_BADFORMAT;
    if (desc.buffer_bytes < DSBSIZE_MIN || desc.buffer_bytes > DSBSIZE_MAX ||
        desc.buffer_bytes < desc.format->block_align) {
      return DSERR_INVALIDPARAM;
    }
    const uint8_t silence = desc.format->bits_per_sample == 8 ? 0x80 : 0;
    auto samples = std::make_shared<std::vector<uint8_t>>(desc.buffer_bytes, silence);
    buffer->reset(new SoundBuffer(mixer_, desc.flags, *desc.format, std::move(samples)));
    return DS_OK;
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
}

uint32_t AudioDevice::DuplicateSoundBuffer(const SoundBuffer& source, std::shared_ptr<SoundBuffer>* duplicate) {
  if (duplicate == nullptr) return DSERR_INVALIDPARAM;
  duplicate->reset();
  if (!initialised_) return DSERR_UNINITIALIZED;
  if (source.IsPrimary()) return DSERR_INVALIDCALL;
  if (source.mixer_ != mixer_) return DSERR_INVALIDPARAM;
  try {
    *duplicate = source.MakeDuplicate();
    return DS_OK;
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
}

void AudioDevice::Mix(int16_t* out, uint32_t frames) { mixer_->Mix(out, frames); }

uint32_t AudioDevice::GetOutputRate() const { return mixer_->GetOutputRate(); }

bool AudioDevice::IsAudible() const { return output_ != nullptr && output_->IsAudible(); }

bool AudioDevice::LacksOutput() const { return kind_ == Kind::kSystem && initialised_ && !IsAudible(); }

}  // namespace plat
