// Mixes a manual sound device on a thread of its own at the pace of a real output, for tests in
// which sound must play by itself: a movie with sound keeps to the position its sound has played.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sound/audio_device.h"

namespace test_support {

class SoundPump {
 public:
  explicit SoundPump(plat::AudioDevice* device);
  ~SoundPump();
  SoundPump(const SoundPump&) = delete;
  SoundPump& operator=(const SoundPump&) = delete;

 private:
  void Run();

  plat::AudioDevice* device_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace test_support
