// The sound device with the primary buffer's format and the list of the buffers that the
// scripts create and own by handle. The application object holds one and publishes it as
// g_SoundDevice and as the device of every buffer.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "sound/sound_buffer.h"
#include "sound/sound_device.h"

// Sample rate codes: 8, 11, 22 and 44 name 8000, 11025, 22050 and 44100 Hz; any other value
// is the rate itself.
uint32_t SampleRateOfCode(int32_t code);

class CSoundOutput : public CSoundDevice {
 public:
  static constexpr int32_t kBelowPriorityLevel = -1;
  static constexpr int32_t kFormatRefused = -2;
  static constexpr int32_t kPrimaryBufferFailed = 6;

  CSoundOutput() = default;
  // Destroys every listed buffer, then releases the primary buffer.
  ~CSoundOutput() override;

  // Sets the output format (creating the device first when there is none): 0, the code of
  // Create, -1 the device holds only the normal level (the format stays as it was), 6 no
  // primary buffer, -2 the format was refused.
  int32_t Initialize(plat::WindowId window, bool global_focus, bool software, const plat::AudioDeviceGuid* device,
                     uint8_t channels, int32_t rate_code, uint16_t bits_per_sample);
  void ReleasePrimary();
  plat::SoundBuffer* GetPrimaryBuffer() const { return primary_.get(); }

  // Appends a buffer that the list owns from then on.
  void AdoptBuffer(std::unique_ptr<CSoundBuffer> buffer);
  // 0 destroyed, 1 null, 2 not in the list.
  uint32_t DestroyBuffer(CSoundBuffer* buffer);
  void DestroyAllBuffers();
  void PauseAll();
  void ResumeAll();
  void StopAll();
  std::size_t GetBufferCount() const { return buffers_.size(); }

 private:
  std::shared_ptr<plat::SoundBuffer> primary_;
  std::list<std::unique_ptr<CSoundBuffer>> buffers_;
};

extern CSoundOutput* g_SoundDevice;
