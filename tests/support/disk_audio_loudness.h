// The loudness of what SDL's disk audio driver captured, for tests that hear sounds play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// The rate of the sounds made below and of the captured output's windows.
inline constexpr uint32_t kCaptureRate = 44100;

// Mono 16-bit PCM at that rate: a 441 Hz sine of `amplitude`.
std::vector<uint8_t> SinePcm(uint32_t frames, double amplitude);

// The RMS of the left channel of the captured 16-bit stereo output over consecutive windows of
// `window` frames, each the median of five, so that a window a busy machine left short does not
// count.
std::vector<double> WindowLoudness(const std::string& capture, std::size_t window);

// Expects music whose loudest window passes `least_peak` to play at full loudness, then to dip
// to about half for at least `least_dip` windows with nothing louder between the first and the
// last of them, and to come back to full.
void ExpectDuckedToHalfAndBack(const std::vector<double>& loudness, double least_peak, std::ptrdiff_t least_dip);

}  // namespace test_support
