// The sound device that the engine opens in place of DirectSound: it makes sound buffers, keeps
// the cooperative level, and plays the software mix of its buffers on one output stream.
//
// A system device plays on the machine's audio output. Where none opens (no sound server, a
// machine without sound), it says so once in the program log and runs its mixer against the
// clock in silence, so that cursors, ends and notifications go on exactly as when playing. A
// manual device has no output at all: its mix advances only when `Mix` is called, as tests and
// benchmarks do.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/events/window_messages.h"
#include "platform/sound/device_sound_buffer.h"
#include "platform/sound/sound_results.h"

namespace plat {

class AudioOutput;
class SoundMixer;

// Names one output device; derived from the device's name, so it stays the same between runs.
struct AudioDeviceGuid {
  std::array<uint8_t, 16> bytes{};
  bool operator==(const AudioDeviceGuid&) const = default;
};

AudioDeviceGuid GuidOfAudioOutput(const std::string& name);

class AudioDevice {
 public:
  enum class Kind { kSystem, kManual };
  static constexpr uint32_t kDefaultRate = 44100;
  // The frames a manual or silent output pulls at a time (10 ms at the default rate).
  static constexpr uint32_t kDefaultPeriodFrames = 441;

  explicit AudioDevice(Kind kind, uint32_t manual_rate = kDefaultRate);
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;
  // Stops the output; buffers still held elsewhere stay usable but are no longer heard.
  virtual ~AudioDevice();

  // Opens the output (the given device, or the default one for null). DSERR_NODRIVER for a
  // device that is not there; DSERR_INVALIDCALL when already initialised.
  virtual uint32_t Initialize(const AudioDeviceGuid* device);
  // DSSCL_NORMAL to DSSCL_WRITEPRIMARY.
  virtual uint32_t SetCooperativeLevel(WindowId window, int32_t level);
  virtual uint32_t CreateSoundBuffer(const SoundBufferDesc& desc, std::shared_ptr<SoundBuffer>* buffer);
  uint32_t DuplicateSoundBuffer(const SoundBuffer& source, std::shared_ptr<SoundBuffer>* duplicate);

  // Manual devices: mixes `frames` stereo frames of 16-bit samples into `out`.
  void Mix(int16_t* out, uint32_t frames);
  uint32_t GetOutputRate() const;
  // True when the mix is heard: a system device whose audio output opened.
  bool IsAudible() const;
  // True when a system device found no audio output to open: it runs on, its mix paced by the
  // clock, and nothing is heard.
  bool LacksOutput() const;

 private:
  Kind kind_;
  bool initialised_ = false;
  std::shared_ptr<SoundMixer> mixer_;
  std::unique_ptr<AudioOutput> output_;
};

}  // namespace plat
