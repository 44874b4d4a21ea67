// The software mixer with eight buffers playing at once (music, voices and effects of the
// usual shapes, with volumes, pans and frequencies of their own), one second of 44.1 kHz
// stereo output per iteration, against memcpy of the same output bytes. After the runs it
// prints the mixer's share of one core per second of audio and its ratio to memcpy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/audio_device.h"
#include "platform/sound/device_sound_buffer.h"
#include "seconds_reporter.h"

namespace {

constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kControls = plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY;

struct BufferShape {
  uint16_t channels;
  uint16_t bits;
  uint32_t rate;
  int32_t volume;
  int32_t pan;
  uint32_t frequency;  // 0: the format's own
};

// Two seconds of a changing signal, so that every sample is read.
std::shared_ptr<plat::SoundBuffer> MakePlaying(plat::AudioDevice& device, const BufferShape& shape) {
  const auto align = static_cast<uint16_t>(shape.channels * shape.bits / 8);
  const plat::WaveFormat format{plat::WAVE_FORMAT_PCM, shape.channels, shape.rate, shape.rate * align, align,
                                shape.bits, 0};
  std::shared_ptr<plat::SoundBuffer> buffer;
  device.CreateSoundBuffer({kControls, 2 * shape.rate * align, &format}, &buffer);
  plat::SoundLockRegions regions;
  buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER);
  for (uint32_t i = 0; i < regions.first_bytes; ++i) regions.first[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
  buffer->Unlock(regions);
  buffer->SetVolume(shape.volume);
  buffer->SetPan(shape.pan);
  buffer->SetFrequency(shape.frequency);
  buffer->Play(plat::DSBPLAY_LOOPING);
  return buffer;
}

void MixEightBuffers(benchmark::State& state) {
  plat::AudioDevice device(plat::AudioDevice::Kind::kManual, kOutputRate);
  device.Initialize(nullptr);
  const BufferShape shapes[] = {
      {2, 16, 44100, 0, 0, 0},          {2, 16, 44100, -602, 0, 0},      {1, 16, 22050, -300, -2000, 0},
      {1, 16, 22050, -1000, 3000, 0},   {2, 16, 48000, -200, 0, 0},      {1, 8, 11025, -500, 0, 0},
      {2, 8, 22050, -800, 1000, 30000}, {1, 16, 44100, -100, -500, 52000}};
  std::vector<std::shared_ptr<plat::SoundBuffer>> buffers;
  for (const BufferShape& shape : shapes) buffers.push_back(MakePlaying(device, shape));
  std::vector<int16_t> out(2 * kOutputRate);
  for (auto _ : state) {
    device.Mix(out.data(), kOutputRate);
    benchmark::DoNotOptimize(out.data());
  }
}

void Memcpy(benchmark::State& state) {
  const std::vector<int16_t> source(2 * kOutputRate, 1);
  std::vector<int16_t> out(2 * kOutputRate);
  for (auto _ : state) {
    std::memcpy(out.data(), source.data(), out.size() * sizeof(int16_t));
    benchmark::DoNotOptimize(out.data());
  }
}

}  // namespace

BENCHMARK(MixEightBuffers)->Unit(benchmark::kMicrosecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return RunBenchmarksAndPrint(argc, argv, [](const SecondsReporter& reporter) {
    const double mix = reporter.Seconds("MixEightBuffers");
    const double copy = reporter.Seconds("Memcpy");
    if (mix == 0 || copy == 0) return;
    std::printf("\nmixing 8 buffers: %.3f ms of one core per second of 44.1 kHz stereo (%.3f %%), %.1f x memcpy\n",
                mix * 1e3, mix * 100.0, mix / copy);
  });
}
