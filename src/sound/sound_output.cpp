#include "sound/sound_output.h"

#include <algorithm>
#include <new>

#include "sound/static_sound_buffer.h"
#include "sound/stream_sound_buffer.h"

CSoundOutput* g_SoundDevice = nullptr;

uint32_t SampleRateOfCode(int32_t code) {
  switch (code) {
    case 8:
      return 8000;
    case 11:
      return 11025;
    case 22:
      return 22050;
    case 44:
      return 44100;
    default:
      return static_cast<uint32_t>(code);
  }
}

CSoundOutput::~CSoundOutput() {
  DestroyAllBuffers();
  ReleasePrimary();
}

int32_t CSoundOutput::Initialize(plat::WindowId window, bool global_focus, bool software,
                                 const plat::AudioDeviceGuid* device, uint8_t channels, int32_t rate_code,
                                 uint16_t bits_per_sample) {
  if (GetDirectSound() == nullptr) {
    // A device without an output takes the format all the same: it runs on in silence.
    if (const uint32_t created = Create(window, global_focus, software, device);
        created != kCreated && created != kNoOutput) {
      return static_cast<int32_t>(created);
    }
  }
  ReleasePrimary();
  if (GetCooperativeLevel() < plat::DSSCL_PRIORITY) return kBelowPriorityLevel;
  const plat::SoundBufferDesc desc{plat::DSBCAPS_PRIMARYBUFFER, 0, nullptr};
  if (plat::SoundFailed(GetDirectSound()->CreateSoundBuffer(desc, &primary_))) return kPrimaryBufferFailed;
  plat::WaveFormat format;
  format.format_tag = plat::WAVE_FORMAT_PCM;
  format.channels = channels;
  format.samples_per_sec = SampleRateOfCode(rate_code);
  format.bits_per_sample = bits_per_sample;
  format.block_align = static_cast<uint16_t>((bits_per_sample >> 3) * channels);
  format.avg_bytes_per_sec = format.block_align * format.samples_per_sec;
  format.extra_size = 18;
  if (plat::SoundFailed(primary_->SetFormat(format))) return kFormatRefused;
  return 0;
}

void CSoundOutput::ReleasePrimary() { primary_.reset(); }

template <class Buffer, class Open>
int32_t CSoundOutput::MakeBuffer(Buffer** out, int32_t no_memory, const Open& open) {
  if (out != nullptr) *out = nullptr;
  std::unique_ptr<Buffer> buffer;
  try {
    buffer = std::make_unique<Buffer>();
  } catch (const std::bad_alloc&) {
    return no_memory;
  }
  if (const int32_t result = open(*buffer); result != 0) return result;
  Buffer* made = buffer.get();
  try {
    AdoptBuffer(std::move(buffer));
  } catch (const std::bad_alloc&) {
    return no_memory;
  }
  if (out != nullptr) *out = made;
  return 0;
}

int32_t CSoundOutput::CreateStaticBuffer(CStaticSoundBuffer** out, const char* name, uint8_t mode) {
  return MakeBuffer(out, kStaticNoMemory, [&](CStaticSoundBuffer& buffer) { return buffer.Load(name, mode); });
}

int32_t CSoundOutput::DuplicateBuffer(CStaticSoundBuffer** out, const CStaticSoundBuffer* source) {
  return MakeBuffer(out, kDuplicateNoMemory,
                    [&](CStaticSoundBuffer& buffer) { return static_cast<int32_t>(buffer.Duplicate(source)); });
}

int32_t CSoundOutput::CreateStreamBuffer(CStreamSoundBuffer** out, const char* first, const char* second) {
  return MakeBuffer(out, kStreamNoMemory, [&](CStreamSoundBuffer& buffer) { return buffer.Open(first, second); });
}

void CSoundOutput::AdoptBuffer(std::unique_ptr<CSoundBuffer> buffer) { buffers_.push_back(std::move(buffer)); }

uint32_t CSoundOutput::DestroyBuffer(CSoundBuffer* buffer) {
  if (buffer == nullptr) return 1;
  const auto found = std::find_if(buffers_.begin(), buffers_.end(),
                                  [buffer](const std::unique_ptr<CSoundBuffer>& each) { return each.get() == buffer; });
  if (found == buffers_.end()) return 2;
  buffers_.erase(found);
  return 0;
}

void CSoundOutput::DestroyAllBuffers() { buffers_.clear(); }

void CSoundOutput::PauseAll() {
  for (const auto& buffer : buffers_) buffer->Pause();
}

void CSoundOutput::ResumeAll() {
  for (const auto& buffer : buffers_) buffer->Resume();
}

void CSoundOutput::StopAll() {
  for (const auto& buffer : buffers_) buffer->Stop();
}
