// The sound device with the primary buffer's format and the list of the buffers that the
// scripts create and own by handle. The application object holds one and publishes it as
// g_SoundDevice and as the device of every buffer.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

#include "sound/sound_buffer.h"
#include "sound/sound_device.h"

class CStaticSoundBuffer;
class CStreamSoundBuffer;

// Sample rate codes: 8, 11, 22 and 44 name 8000, 11025, 22050 and 44100 Hz; any other value
// is the rate itself.
uint32_t SampleRateOfCode(int32_t code);

class CSoundOutput : public CSoundDevice {
 public:
  static constexpr int32_t kBelowPriorityLevel = -1;
  static constexpr int32_t kFormatRefused = -2;
  static constexpr int32_t kPrimaryBufferFailed = 6;
  // What the buffer factories return when the buffer cannot be allocated.
  static constexpr int32_t kStaticNoMemory = 8;
  static constexpr int32_t kDuplicateNoMemory = 3;
  static constexpr int32_t kStreamNoMemory = 7;

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

  // The factories of the buffers that the scripts hold: each sets `out` to null, makes the
  // buffer and appends it to the list, which owns it from then on, and sets `out`. Any other
  // result than 0 (a load with reduced controls too) leaves no buffer behind.
  // 0, the status of CStaticSoundBuffer::Load, or 8 no memory.
  int32_t CreateStaticBuffer(CStaticSoundBuffer** out, const char* name, uint8_t mode);
  // 0, the status of CStaticSoundBuffer::Duplicate, or 3 no memory.
  int32_t DuplicateBuffer(CStaticSoundBuffer** out, const CStaticSoundBuffer* source);
  // 0, the status of CStreamSoundBuffer::Open, or 7 no memory.
  int32_t CreateStreamBuffer(CStreamSoundBuffer** out, const char* first, const char* second);

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
  // Makes a `Buffer`, lets `open` load it and appends it when that returns 0.
  template <class Buffer, class Open>
  int32_t MakeBuffer(Buffer** out, int32_t no_memory, const Open& open);

  std::shared_ptr<plat::SoundBuffer> primary_;
  std::list<std::unique_ptr<CSoundBuffer>> buffers_;
};

extern CSoundOutput* g_SoundDevice;
