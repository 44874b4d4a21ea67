// Where a system sound device's mix goes: the machine's audio output through SDL, pulled by the
// audio thread, or, when no audio output opens, a silent clock that pulls the mix at the same
// pace and drops it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plat {

class SoundMixer;

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  virtual bool IsAudible() const = 0;

  // Opens the named device (the default one for null) at the mixer's rate, telling the mixer
  // the rate and period it got; falls back to the silent clock. The mixer must outlive it.
  static std::unique_ptr<AudioOutput> Open(const std::string* device_name, SoundMixer& mixer);
};

struct AudioOutputList {
  std::string driver;              // the audio system in use
  std::vector<std::string> names;  // its output devices
};

// Empty when there is no audio system at all.
std::optional<AudioOutputList> ListAudioOutputs();

}  // namespace plat
