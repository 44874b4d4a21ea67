#include "support/disk_audio_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace test_support {

namespace {

constexpr uint64_t kCapturedFrameBytes = 4;  // 16-bit stereo
constexpr auto kLongestWait = std::chrono::seconds(60);
// How far the sound played may run ahead of the calls' sum before the rest counts as waited for:
// a few of the driver's periods (1024 frames each), so that the clock keeps pace with a driver
// that writes a period at a time.
constexpr uint64_t kMostPlayedAheadMs = 50;

uint64_t CapturedBytes(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

void DiskAudioCapture::AwaitPlayed(uint32_t milliseconds) {
  if (stalled_ || !created_) return;
  const uint64_t rate = output.GetDirectSound()->GetOutputRate();
  const auto bytes_of = [rate](uint64_t ms) { return ms * rate / 1000 * kCapturedFrameBytes; };
  const uint64_t played = CapturedBytes(path_);
  const uint64_t most_ahead = bytes_of(kMostPlayedAheadMs);
  if (played > awaited_bytes_ + most_ahead) awaited_bytes_ = played - most_ahead;
  awaited_bytes_ += bytes_of(milliseconds);
  const uint64_t wanted = awaited_bytes_;
  // The engine's clock may be a fake one whose sleeps do not sleep, so real time is asked of the
  // standard library.
  const auto give_up = std::chrono::steady_clock::now() + kLongestWait;
  while (CapturedBytes(path_) < wanted) {
    if (std::chrono::steady_clock::now() >= give_up) {
      stalled_ = true;
      ADD_FAILURE() << "the disk audio driver wrote " << CapturedBytes(path_) << " bytes to " << path_ << " in a minute, not "
                    << wanted;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace test_support
