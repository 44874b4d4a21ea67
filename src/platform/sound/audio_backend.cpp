#include "platform/sound/audio_backend.h"

namespace plat {

namespace {

class SystemAudioBackend : public AudioBackend {
 public:
  std::unique_ptr<AudioDevice> CreateDevice() override {
    return std::make_unique<AudioDevice>(AudioDevice::Kind::kSystem);
  }
  std::optional<AudioOutputList> ListOutputs() override { return ListAudioOutputs(); }
  std::unique_ptr<AudioOutputHeadStart> StartOpeningDefaultOutput() override {
    return std::make_unique<AudioOutputHeadStart>(AudioDevice::kDefaultRate);
  }
};

AudioBackend*& Current() {
  static AudioBackend* current = nullptr;
  return current;
}

}  // namespace

AudioBackend& CurrentAudioBackend() {
  static SystemAudioBackend system;
  AudioBackend* current = Current();
  return current != nullptr ? *current : system;
}

ScopedAudioBackend::ScopedAudioBackend(AudioBackend& backend) : previous_(Current()) { Current() = &backend; }

ScopedAudioBackend::~ScopedAudioBackend() { Current() = previous_; }

}  // namespace plat
