#include "sound/sound_device.h"

#include <algorithm>

#include "base/threads/thread_com.h"
#include "platform/sound/audio_backend.h"
#include "sound/sound_device_list.h"

CSoundDevice* g_SoundBufferDevice = nullptr;

namespace {

// A tenth of a second of 8-bit mono silence at 8 kHz.
constexpr plat::WaveFormat kSilentFormat{plat::WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
constexpr uint32_t kSilentBytes = 800;
constexpr uint8_t kSilence8Bit = 0x80;

}  // namespace

CSoundDevice::CSoundDevice() : com_ready_(CoInitializeForThread() == 0) {}

CSoundDevice::~CSoundDevice() {
  Release();
  if (com_ready_) CoUninitializeForThread();
  FreeSoundDeviceList();
}

uint32_t CSoundDevice::Create(plat::WindowId window, bool global_focus, bool software,
                              const plat::AudioDeviceGuid* device) {
  if (!com_ready_) return kNotReady;
  Release();
  direct_sound_ = plat::CurrentAudioBackend().CreateDevice();
  if (direct_sound_ == nullptr) return kNoDeviceObject;
  if (plat::SoundFailed(direct_sound_->Initialize(device))) {
    Release();
    return kInitializeFailed;
  }
  window_ = window;
  if (SetCooperativeLevel(plat::DSSCL_PRIORITY) != 0 && SetCooperativeLevel(plat::DSSCL_NORMAL) != 0) {
    Release();
    return kNoCooperativeLevel;
  }
  software_ = software;
  global_focus_ = global_focus;
  if (MakeSilentBuffer() != 0) {
    Release();
    return kSilentBufferFailed;
  }
  return direct_sound_->LacksOutput() ? kNoOutput : kCreated;
}

void CSoundDevice::Release() {
  silent_buffer_.reset();
  direct_sound_.reset();
  window_ = 0;
  cooperative_level_ = 0;
}

uint32_t CSoundDevice::SetCooperativeLevel(int32_t level) {
  if (direct_sound_ == nullptr) return 1;
  if (plat::SoundFailed(direct_sound_->SetCooperativeLevel(window_, level))) return 2;
  cooperative_level_ = level;
  return 0;
}

uint32_t CSoundDevice::GetBufferOptionFlags() const {
  return (global_focus_ ? plat::DSBCAPS_GLOBALFOCUS : 0) | (software_ ? plat::DSBCAPS_LOCSOFTWARE : 0);
}

uint32_t CSoundDevice::MakeSilentBuffer() {
  const plat::SoundBufferDesc desc{GetBufferOptionFlags(), kSilentBytes, &kSilentFormat};
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (plat::SoundFailed(direct_sound_->CreateSoundBuffer(desc, &buffer))) return 3;
  plat::SoundLockRegions regions;
  uint32_t locked = buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER);
  if (locked == plat::DSERR_BUFFERLOST) {
    buffer->Restore();
    locked = buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER);
  }
  if (plat::SoundFailed(locked)) return 3;
  std::fill_n(regions.first, regions.first_bytes, kSilence8Bit);
  if (plat::SoundFailed(buffer->Unlock(regions))) return 4;
  silent_buffer_ = std::move(buffer);
  return 0;
}

uint32_t CSoundDevice::PlaySilentBuffer(plat::SoundBuffer* buffer) {
  if (silent_buffer_ == nullptr || buffer == nullptr) return 1;
  uint32_t status = 0;
  buffer->GetStatus(&status);
  if ((status & plat::DSBSTATUS_PLAYING) != 0) silent_buffer_->Play(0);
  return 0;
}
