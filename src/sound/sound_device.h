// The engine's sound device: the platform's sound device opened on an output with a
// cooperative level, and a short silent buffer that is played whenever a buffer is stopped, so
// that the output never falls quiet with a click. Every sound buffer is made on the device
// published as g_SoundBufferDevice, with the device's global-focus and software options.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/events/window_messages.h"
#include "platform/sound/audio_device.h"
#include "platform/sound/device_sound_buffer.h"

class CSoundDevice {
 public:
  static constexpr uint32_t kCreated = 0;
  static constexpr uint32_t kNotReady = 1;
  static constexpr uint32_t kNoDeviceObject = 2;
  static constexpr uint32_t kInitializeFailed = 3;
  static constexpr uint32_t kNoCooperativeLevel = 4;
  static constexpr uint32_t kSilentBufferFailed = 5;
  // Made, but the machine has no sound output: the device runs silently against the clock, so
  // that sounds keep their time, and nothing is heard.
  static constexpr uint32_t kNoOutput = 6;

  CSoundDevice();
  CSoundDevice(const CSoundDevice&) = delete;
  CSoundDevice& operator=(const CSoundDevice&) = delete;
  // Releases the device and frees the list of enumerated sound devices.
  virtual ~CSoundDevice();

  // Opens the device (null: the default output) for `window`, at the priority level or, when
  // that is refused, the normal one. Every failure but kNoOutput leaves the device released.
  uint32_t Create(plat::WindowId window, bool global_focus, bool software, const plat::AudioDeviceGuid* device);
  // Releases the silent buffer and the device; window and level become 0.
  void Release();
  // 0 set, 1 no device, 2 refused.
  uint32_t SetCooperativeLevel(int32_t level);
  // Plays the silent buffer once when `buffer` plays: 0, or 1 without either buffer.
  uint32_t PlaySilentBuffer(plat::SoundBuffer* buffer);

  plat::AudioDevice* GetDirectSound() const { return direct_sound_.get(); }
  plat::WindowId GetWindow() const { return window_; }
  int32_t GetCooperativeLevel() const { return cooperative_level_; }
  bool IsGlobalFocus() const { return global_focus_; }
  bool IsSoftware() const { return software_; }
  // Index into the stream threads' priority table; 2 is normal.
  uint8_t GetThreadPriorityIndex() const { return thread_priority_index_; }
  // The capability flags that the device's options add to every buffer it makes.
  uint32_t GetBufferOptionFlags() const;

 private:
  // 0, 3 when the buffer cannot be made or locked, 4 when it cannot be unlocked.
  uint32_t MakeSilentBuffer();

  bool com_ready_ = false;
  bool global_focus_ = false;
  bool software_ = false;
  uint8_t thread_priority_index_ = 2;
  std::unique_ptr<plat::AudioDevice> direct_sound_;
  plat::WindowId window_ = 0;
  int32_t cooperative_level_ = 0;
  std::shared_ptr<plat::SoundBuffer> silent_buffer_;
};

// The device that every sound buffer is made on.
extern CSoundDevice* g_SoundBufferDevice;
