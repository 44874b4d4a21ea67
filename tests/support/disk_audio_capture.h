// A sound output over SDL's disk audio driver, published as the sound buffers' device while it
// lives: what it plays is written to a file at the driver's own pace, which a loaded machine
// slows below real time.
#pragma once

#include <cstdint>
#include <string>

#include "sound/sound_output.h"
#include "support/scoped_environment.h"

namespace test_support {

class DiskAudioCapture {
 public:
  explicit DiskAudioCapture(const std::string& file)
      : driver_("SDL_AUDIODRIVER", "disk"), file_("SDL_DISKAUDIOFILE", file.c_str()), path_(file) {
    created_ = output.Create(0, false, false, nullptr) == CSoundDevice::kCreated;
    g_SoundBufferDevice = &output;
  }
  ~DiskAudioCapture() { g_SoundBufferDevice = saved_device_; }
  DiskAudioCapture(const DiskAudioCapture&) = delete;
  DiskAudioCapture& operator=(const DiskAudioCapture&) = delete;

  // Whether the output was made over a device that plays.
  bool Audible() { return created_ && output.GetDirectSound()->IsAudible(); }

  // Waits until the file holds `milliseconds` more sound than every earlier call asked for
  // together, so that a fake clock moved on by as much after each call never runs ahead of what
  // was played, however slowly the driver writes. Nor does the clock race to catch up when the
  // caller was held up while the driver went on: what was played beyond a few of the driver's
  // periods past the calls' sum counts as waited for, so a fade of a second on the fake clock
  // always spans at least a second of the sound, however busy the machine. A wait that reaches
  // a minute fails the test, and every later one then returns at once.
  void AwaitPlayed(uint32_t milliseconds);

 private:
  // Set before the output opens its device.
  ScopedEnvironment driver_;
  ScopedEnvironment file_;
  std::string path_;
  CSoundDevice* saved_device_ = g_SoundBufferDevice;
  bool created_ = false;
  uint64_t awaited_bytes_ = 0;
  bool stalled_ = false;

 public:
  CSoundOutput output;
};

}  // namespace test_support
