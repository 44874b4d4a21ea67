// A sound output over manual fake devices and a decoder host that reads the fake PCM format,
// published as the sound buffers' device and decoder host while it lives.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "resource/plugins/sound_decoder_manager.h"
#include "sound/sound_output.h"
#include "support/fake_audio_backend.h"
#include "support/fake_pcm_decoder.h"

namespace test_support {

class FakeSoundSystem {
 public:
  FakeSoundSystem() {
    EXPECT_EQ(output.Create(0, false, false, nullptr), CSoundDevice::kCreated);
    g_SoundBufferDevice = &output;
    g_SoundDecoderManager = &host;
    RegisterFakePcmProvider(host, counters);
  }
  ~FakeSoundSystem() {
    g_SoundDecoderManager = saved_host_;
    g_SoundBufferDevice = saved_device_;
  }
  FakeSoundSystem(const FakeSoundSystem&) = delete;
  FakeSoundSystem& operator=(const FakeSoundSystem&) = delete;

  FakeAudioBackend backend;
  CSoundOutput output;
  CSoundDecoderManager host;
  std::shared_ptr<FakePcmCounters> counters = std::make_shared<FakePcmCounters>();

 private:
  CSoundDecoderManager* saved_host_ = g_SoundDecoderManager;
  CSoundDevice* saved_device_ = g_SoundBufferDevice;
};

}  // namespace test_support
