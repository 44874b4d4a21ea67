// A sound output over SDL's disk audio driver, published as the sound buffers' device while it
// lives: what it plays is written to a file in real time.
#pragma once

#include <string>

#include "sound/sound_output.h"
#include "support/scoped_environment.h"

namespace test_support {

class DiskAudioCapture {
 public:
  explicit DiskAudioCapture(const std::string& file)
      : driver_("SDL_AUDIODRIVER", "disk"), file_("SDL_DISKAUDIOFILE", file.c_str()) {
    created_ = output.Create(0, false, false, nullptr) == CSoundDevice::kCreated;
    g_SoundBufferDevice = &output;
  }
  ~DiskAudioCapture() { g_SoundBufferDevice = saved_device_; }
  DiskAudioCapture(const DiskAudioCapture&) = delete;
  DiskAudioCapture& operator=(const DiskAudioCapture&) = delete;

  // Whether the output was made over a device that plays.
  bool Audible() { return created_ && output.GetDirectSound()->IsAudible(); }

 private:
  // Set before the output opens its device.
  ScopedEnvironment driver_;
  ScopedEnvironment file_;
  CSoundDevice* saved_device_ = g_SoundBufferDevice;
  bool created_ = false;

 public:
  CSoundOutput output;
};

}  // namespace test_support
