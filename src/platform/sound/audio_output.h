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

// Opens the default output at `rate` on a thread of its own, so that the slow part of opening it
// (starting the audio system, trying its back-ends, and on a machine without sound stopping them
// again) overlaps other work. The next Open of the default output at that rate waits for it and
// takes what it opened, or its failure (any other Open closes it first); other uses of the audio
// system wait for it first. Ending the head start waits for it too, and closes an output nobody
// took.
class AudioOutputHeadStart {
 public:
  explicit AudioOutputHeadStart(uint32_t rate);
  ~AudioOutputHeadStart();
  AudioOutputHeadStart(const AudioOutputHeadStart&) = delete;
  AudioOutputHeadStart& operator=(const AudioOutputHeadStart&) = delete;
};

struct AudioOutputList {
  std::string driver;              // the audio system in use
  std::vector<std::string> names;  // its output devices
};

// Empty when there is no audio system at all.
std::optional<AudioOutputList> ListAudioOutputs();

}  // namespace plat
