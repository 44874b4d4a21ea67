#include "support/disk_audio_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace test_support {

namespace {

constexpr uint64_t kCapturedFrameBytes = 4;  // 16-bit stereo
constexpr auto kLongestWait = std::chrono::seconds(60);

uint64_t CapturedBytes(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace

void DiskAudioCapture::AwaitPlayed(uint32_t milliseconds) {
  awaited_milliseconds_ += milliseconds;
  if (stalled_ || !created_) return;
  const uint64_t rate = output.GetDirectSound()->GetOutputRate();
  const uint64_t wanted = awaited_milliseconds_ * rate / 1000 * kCapturedFrameBytes;
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
