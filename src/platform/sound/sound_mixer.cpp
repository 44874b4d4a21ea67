#include "platform/sound/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/sound/device_sound_buffer.h"

namespace plat {

namespace {

// Frames mixed in one pass over the buffers, so that the accumulator stays small.
constexpr uint32_t kMixChunkFrames = 1024;

int16_t ClampToSample(float value) {
  return static_cast<int16_t>(std::lrint(std::clamp(value, -32768.0f, 32767.0f)));
}

}  // namespace

SoundMixer::SoundMixer(uint32_t output_rate, uint32_t period_frames)
    : accumulator_(2 * kMixChunkFrames), output_rate_(output_rate), period_frames_(period_frames) {}

bool SoundMixer::Mix(int16_t* out, uint32_t frames) {
  std::lock_guard hold(mutex_);
  // A buffer that ends stays registered; only playing buffers add to the mix.
  idle_ = std::none_of(buffers_.begin(), buffers_.end(), [](const SoundBuffer* buffer) { return buffer->playing_; });
  if (idle_) {
    std::fill_n(out, 2 * std::size_t{frames}, int16_t{0});
    return false;
  }
  while (frames > 0) {
    const uint32_t chunk = std::min(frames, kMixChunkFrames);
    std::fill_n(accumulator_.begin(), 2 * chunk, 0.0f);
    for (SoundBuffer* buffer : buffers_) {
      if (buffer->playing_) buffer->MixInto(accumulator_.data(), chunk, output_rate_);
    }
    for (uint32_t i = 0; i < 2 * chunk; ++i) out[i] = ClampToSample(accumulator_[i]);
    out += 2 * chunk;
    frames -= chunk;
  }
  return true;
}

void SoundMixer::SetWakeHook(std::function<void()> hook) {
  std::lock_guard hold(mutex_);
  wake_hook_ = std::move(hook);
}

bool SoundMixer::TakeWake() { return std::exchange(idle_, false); }

void SoundMixer::Wake() {
  std::function<void()> hook;
  {
    std::lock_guard hold(mutex_);
    hook = wake_hook_;
  }
  if (hook) hook();
}

void SoundMixer::SetOutput(uint32_t output_rate, uint32_t period_frames) {
  std::lock_guard hold(mutex_);
  output_rate_ = output_rate;
  period_frames_ = period_frames;
}

uint32_t SoundMixer::GetOutputRate() const {
  std::lock_guard hold(mutex_);
  return output_rate_;
}

uint32_t SoundMixer::GetPeriodFrames() const {
  std::lock_guard hold(mutex_);
  return period_frames_;
}

void SoundMixer::Register(SoundBuffer* buffer) { buffers_.push_back(buffer); }

void SoundMixer::Unregister(SoundBuffer* buffer) { std::erase(buffers_, buffer); }

}  // namespace plat
