#include "support/sound_pump.h"

#include <chrono>
#include <vector>

namespace test_support {

namespace {

constexpr uint32_t kPeriodFrames = plat::AudioDevice::kDefaultPeriodFrames;

}  // namespace

SoundPump::SoundPump(plat::AudioDevice* device) : device_(device), thread_([this] { Run(); }) {}

SoundPump::~SoundPump() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void SoundPump::Run() {
  if (device_ == nullptr) return;
  const auto period = std::chrono::microseconds(uint64_t{kPeriodFrames} * 1'000'000 / device_->GetOutputRate());
  std::vector<int16_t> scratch(2 * size_t{kPeriodFrames});
  auto next = std::chrono::steady_clock::now();
  std::unique_lock lock(mutex_);
  while (!wake_.wait_until(lock, next += period, [this] { return stopping_; })) device_->Mix(scratch.data(), kPeriodFrames);
}

}  // namespace test_support
