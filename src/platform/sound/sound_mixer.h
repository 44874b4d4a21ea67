// The software mixer behind every sound buffer of a device: it sums the playing buffers, each
// resampled from its frequency to the output rate with its volume and pan, into interleaved
// 16-bit stereo. The audio thread pulls from it; tests and benchmarks pull by hand.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace plat {

class SoundBuffer;

class SoundMixer {
 public:
  // `period_frames`: how many frames the output pulls at a time, by which the write cursors
  // keep ahead of the play cursors.
  SoundMixer(uint32_t output_rate, uint32_t period_frames);
  SoundMixer(const SoundMixer&) = delete;
  SoundMixer& operator=(const SoundMixer&) = delete;

  // Writes `frames` stereo frames (2 × frames samples) and moves every playing buffer on.
  // Returns false when no buffer played (the frames are silence): the output may then pause
  // until the wake hook tells it that a buffer plays again.
  bool Mix(int16_t* out, uint32_t frames);
  // Called, without the mixer's lock, when a buffer starts to play after a mix that found none
  // playing. Null for none.
  void SetWakeHook(std::function<void()> hook);

  void SetOutput(uint32_t output_rate, uint32_t period_frames);
  uint32_t GetOutputRate() const;
  uint32_t GetPeriodFrames() const;
  void SetCooperativeLevel(int32_t level) { cooperative_level_.store(level); }
  int32_t GetCooperativeLevel() const { return cooperative_level_.load(); }

 private:
  friend class SoundBuffer;

  // Called with the lock held.
  void Register(SoundBuffer* buffer);
  void Unregister(SoundBuffer* buffer);
  // Called with the lock held as a buffer starts to play: whether the wake hook is due.
  bool TakeWake();
  // Calls the wake hook; never with the lock held.
  void Wake();

  // Guards the buffers' state and the list; mixing holds it throughout.
  mutable std::mutex mutex_;
  std::vector<SoundBuffer*> buffers_;
  std::vector<float> accumulator_;
  uint32_t output_rate_;
  uint32_t period_frames_;
  std::atomic<int32_t> cooperative_level_{0};
  // The last mix found no buffer playing, and none has started since.
  bool idle_ = false;
  std::function<void()> wake_hook_;
};

}  // namespace plat
