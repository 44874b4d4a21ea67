// Encodes 16-bit PCM as an Ogg Vorbis file, for test sounds.
#pragma once

#include <cstdint>
#include <vector>

// `samples` interleaved by `channels`; empty on failure.
std::vector<uint8_t> EncodeOggVorbis(const std::vector<int16_t>& samples, int channels, long rate);

// `frames` frames of a sine of `hertz` at amplitude 0.5 in every channel.
std::vector<int16_t> MakeSine(uint32_t frames, int channels, long rate, double hertz);
