// A sound backend of manual devices (mixed only when a test calls Mix) that can stand for a
// machine whose device refuses requests, and for any list of output devices.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/sound/audio_backend.h"

class FakeAudioBackend : public plat::AudioBackend {
 public:
  FakeAudioBackend() = default;
  FakeAudioBackend(const FakeAudioBackend&) = delete;
  FakeAudioBackend& operator=(const FakeAudioBackend&) = delete;

  std::unique_ptr<plat::AudioDevice> CreateDevice() override;
  std::optional<plat::AudioOutputList> ListOutputs() override { return outputs; }

  // What the next devices do.
  bool make_devices = true;
  bool fail_initialize = false;
  bool refuse_priority_level = false;
  bool refuse_normal_level = false;
  // Buffers asked for with any of these capability flags are refused, from then on.
  uint32_t refused_buffer_flags = 0;
  std::optional<plat::AudioOutputList> outputs;
  // The device made last, for mixing by hand while its owner keeps it.
  plat::AudioDevice* last_device = nullptr;

 private:
  plat::ScopedAudioBackend scope_{*this};
};
