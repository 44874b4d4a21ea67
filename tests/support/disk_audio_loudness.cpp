#include "support/disk_audio_loudness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace test_support {

std::vector<uint8_t> SinePcm(uint32_t frames, double amplitude) {
  std::vector<uint8_t> pcm(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 441 * i / kCaptureRate));
    std::memcpy(&pcm[2 * i], &sample, 2);
  }
  return pcm;
}

std::vector<double> WindowLoudness(const std::string& capture, std::size_t window) {
  std::ifstream in(capture, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<double> loudness;
  const std::size_t frames = bytes.size() / 4;
  for (std::size_t start = 0; start + window <= frames; start += window) {
    double sum = 0;
    for (std::size_t i = start; i < start + window; ++i) {
      int16_t left = 0;
      std::memcpy(&left, bytes.data() + 4 * i, 2);
      sum += static_cast<double>(left) * left;
    }
    loudness.push_back(std::sqrt(sum / static_cast<double>(window)));
  }
  std::vector<double> smoothed;
  for (std::size_t i = 2; i + 2 < loudness.size(); ++i) {
    std::vector<double> five(loudness.begin() + static_cast<std::ptrdiff_t>(i - 2),
                             loudness.begin() + static_cast<std::ptrdiff_t>(i + 3));
    std::nth_element(five.begin(), five.begin() + 2, five.end());
    smoothed.push_back(five[2]);
  }
  return smoothed;
}

void ExpectDuckedToHalfAndBack(const std::vector<double>& loudness, double least_peak, std::ptrdiff_t least_dip) {
  ASSERT_FALSE(loudness.empty());
  const double peak = *std::max_element(loudness.begin(), loudness.end());
  ASSERT_GT(peak, least_peak);
  const auto is_lowered = [&](double l) { return l > peak * 0.35 && l < peak * 0.65; };
  const auto is_full = [&](double l) { return l > peak * 0.9; };
  // The dip is looked for between full windows only: where the music starts or stops next to
  // silence, a window partly filled may measure about half.
  const auto first_full = std::find_if(loudness.begin(), loudness.end(), is_full);
  const auto last_full = std::find_if(loudness.rbegin(), loudness.rend(), is_full).base();
  const auto first_lowered = std::find_if(first_full, last_full, is_lowered);
  const auto last_lowered =
      std::find_if(std::make_reverse_iterator(last_full), std::make_reverse_iterator(first_lowered), is_lowered).base();
  ASSERT_LT(first_lowered, last_lowered);
  EXPECT_GE(std::count_if(first_lowered, last_lowered, is_lowered), least_dip);
  EXPECT_LT(*std::max_element(first_lowered, last_lowered), peak * 0.7);
}

}  // namespace test_support
