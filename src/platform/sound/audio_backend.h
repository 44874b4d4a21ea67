// What the machine offers for sound: its output devices and the sound devices opened on them.
// SDL answers by default; tests put a backend of their own in its place to stand for machines
// with other devices or devices that refuse requests.
#pragma once

#include <memory>
#include <optional>

#include "platform/sound/audio_device.h"
#include "platform/sound/audio_output.h"

namespace plat {

class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  // A device not yet initialised; null when none can be made.
  virtual std::unique_ptr<AudioDevice> CreateDevice() = 0;
  // Empty when there is no audio system at all.
  virtual std::optional<AudioOutputList> ListOutputs() = 0;
  // Starts opening the default output ahead of a device's Initialize, where that is slow; the
  // head start ends with the object returned (null when there is nothing to start).
  virtual std::unique_ptr<AudioOutputHeadStart> StartOpeningDefaultOutput() { return nullptr; }
};

AudioBackend& CurrentAudioBackend();

// Puts a backend in place of SDL's while it lives.
class ScopedAudioBackend {
 public:
  explicit ScopedAudioBackend(AudioBackend& backend);
  ~ScopedAudioBackend();
  ScopedAudioBackend(const ScopedAudioBackend&) = delete;
  ScopedAudioBackend& operator=(const ScopedAudioBackend&) = delete;

 private:
  AudioBackend* previous_;
};

}  // namespace plat
