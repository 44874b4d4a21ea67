// System sound devices: on SDL's dummy driver the mix is pulled by the audio thread; where no
// audio output opens, the device says so once and a silent clock pulls the mix instead, so
// that buffers still play to their end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sound/audio_device.h"
#include "platform/sound/audio_output.h"
#include "platform/files/process_end.h"
#include "platform/system/clock.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"

namespace {

// Plays a 50 ms sound once and waits (at most ten seconds) for the output to play it out.
bool PlaysToTheEnd(plat::AudioDevice& device) {
  const plat::WaveFormat format{plat::WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
  std::shared_ptr<plat::SoundBuffer> buffer;
  if (device.CreateSoundBuffer({0, 400, &format}, &buffer) != plat::DS_OK) return false;
  buffer->Play(0);
  for (int waited = 0; waited < 1000; ++waited) {
    uint32_t status = 0;
    buffer->GetStatus(&status);
    if (status == 0) return true;
    plat::SleepMilliseconds(10);
  }
  return false;
}

TEST(AudioDeviceTest, TheDummyDriverPlaysTheMix) {
  ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
  LogCapture log;
  plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
  ASSERT_EQ(device.Initialize(nullptr), plat::DS_OK);
  EXPECT_TRUE(device.IsAudible());
  EXPECT_GT(device.GetOutputRate(), 0u);
  EXPECT_TRUE(PlaysToTheEnd(device));
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(device.Initialize(nullptr), plat::DSERR_INVALIDCALL);
}

// A 16-bit stereo buffer at the output's rate holding `samples`, played once.
std::shared_ptr<plat::SoundBuffer> PlayOnce(plat::AudioDevice& device, const std::vector<int16_t>& samples) {
  const uint32_t rate = device.GetOutputRate();
  const plat::WaveFormat format{plat::WAVE_FORMAT_PCM, 2, rate, rate * 4, 4, 16, 0};
  std::shared_ptr<plat::SoundBuffer> buffer;
  const auto bytes = static_cast<uint32_t>(samples.size() * 2);
  if (device.CreateSoundBuffer({0, bytes, &format}, &buffer) != plat::DS_OK) return nullptr;
  plat::SoundLockRegions regions;
  buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER);
  std::memcpy(regions.first, samples.data(), regions.first_bytes);
  buffer->Unlock(regions);
  buffer->Play(0);
  return buffer;
}

void WaitForTheEnd(plat::SoundBuffer& buffer) {
  uint32_t status = plat::DSBSTATUS_PLAYING;
  for (int waited = 0; waited < 1000 && status != 0; ++waited) {
    plat::SleepMilliseconds(10);
    buffer.GetStatus(&status);
  }
}

// Between sounds the device pauses; the next sound resumes it and is heard from its first sample,
// whole, and the silence before it stays silence.
TEST(AudioDeviceTest, ASoundPlayedAfterTheDevicePausedStartsWithItsFirstSample) {
  const std::string capture = ::testing::TempDir() + "kestrune-pause-capture.raw";
  ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
  ScopedEnvironment file("SDL_DISKAUDIOFILE", capture.c_str());
  std::vector<int16_t> first(2000, -1000);
  std::vector<int16_t> second(4000);
  for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<int16_t>(i + 1);
  {
    plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
    ASSERT_EQ(device.Initialize(nullptr), plat::DS_OK);
    ASSERT_TRUE(device.IsAudible());
    auto before = PlayOnce(device, first);
    ASSERT_NE(before, nullptr);
    WaitForTheEnd(*before);
    plat::SleepMilliseconds(200);  // idle pulls: the device pauses
    auto after = PlayOnce(device, second);
    ASSERT_NE(after, nullptr);
    WaitForTheEnd(*after);
    plat::SleepMilliseconds(100);
  }
  std::ifstream in(capture, std::ios::binary);
  std::vector<int16_t> captured;
  for (int16_t sample = 0; in.read(reinterpret_cast<char*>(&sample), 2);) captured.push_back(sample);
  std::remove(capture.c_str());
  const auto end_of_first = std::find(captured.rbegin(), captured.rend(), int16_t{-1000}).base();
  const auto start = std::find_if(end_of_first, captured.end(), [](int16_t sample) { return sample != 0; });
  ASSERT_GE(captured.end() - start, static_cast<std::ptrdiff_t>(second.size()));
  EXPECT_TRUE(std::equal(second.begin(), second.end(), start));
  EXPECT_GT(start - end_of_first, 0);
}

// How many of SDL's audio threads (named "SDLAudioP" and the device's number) run.
int RunningAudioThreads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.starts_with("SDLAudioP")) ++count;
  }
  return count;
}

// SDL's thread names itself once it runs: waits (at most ten seconds) until `count` run.
bool AudioThreadsComeTo(int count) {
  for (int waited = 0; waited < 1000 && RunningAudioThreads() != count; ++waited) plat::SleepMilliseconds(10);
  return RunningAudioThreads() == count;
}

// Closing an output waits for its audio thread, which sleeps a period at a time. Once the process
// is ending, a device that goes leaves its output paused and its thread to the end of the process,
// which then exits in order; the mixer is not pulled again.
TEST(AudioDeviceTest, OnceTheProcessIsEndingAClosedOutputLeavesItsThreadToTheEndUnpulled) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
  EXPECT_EXIT(
      {
        int failures = 0;
        {
          plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
          device.Initialize(nullptr);
          failures += AudioThreadsComeTo(1) ? 0 : 1;
        }
        failures += RunningAudioThreads() == 0 ? 0 : 10;
        plat::AnnounceProcessEnd();
        auto device = std::make_unique<plat::AudioDevice>(plat::AudioDevice::Kind::kSystem);
        device->Initialize(nullptr);
        const auto buffer = PlayOnce(*device, std::vector<int16_t>(device->GetOutputRate() * 20, 1000));
        failures += AudioThreadsComeTo(1) ? 0 : 1;
        device.reset();
        failures += RunningAudioThreads() == 1 ? 0 : 100;
        uint32_t before = 0;
        uint32_t after = 0;
        buffer->GetCurrentPosition(&before, nullptr);
        plat::SleepMilliseconds(100);
        buffer->GetCurrentPosition(&after, nullptr);
        failures += before == after ? 0 : 1000;
        std::fprintf(stderr, "failures %d\n", failures);
        std::exit(failures == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "failures 0");
}

TEST(AudioDeviceTest, WithoutAnAudioOutputTheMixRunsSilentlyAndTheLogSaysSoOnce) {
  ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
  LogCapture log;
  plat::AudioDevice first(plat::AudioDevice::Kind::kSystem);
  ASSERT_EQ(first.Initialize(nullptr), plat::DS_OK);
  EXPECT_FALSE(first.IsAudible());
  EXPECT_TRUE(PlaysToTheEnd(first));
  plat::AudioDevice second(plat::AudioDevice::Kind::kSystem);
  ASSERT_EQ(second.Initialize(nullptr), plat::DS_OK);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Last().find("without sound"), std::string::npos);
}

TEST(AudioDeviceTest, AnUnknownOutputIsRefusedAndGuidsFollowTheNames) {
  ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
  plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
  const plat::AudioDeviceGuid unknown = plat::GuidOfAudioOutput("no such output");
  EXPECT_EQ(device.Initialize(&unknown), plat::DSERR_NODRIVER);
  EXPECT_EQ(plat::GuidOfAudioOutput("a"), plat::GuidOfAudioOutput("a"));
  EXPECT_NE(plat::GuidOfAudioOutput("a"), plat::GuidOfAudioOutput("b"));
  EXPECT_TRUE(plat::ListAudioOutputs().has_value());
}

// A head start opens the default output while other work goes on; the next device opened on
// the default output takes it over, whether it opened or failed, and one never taken is closed.
TEST(AudioDeviceTest, ADeviceTakesOverTheOutputOpenedAhead) {
  const struct {
    const char* driver;
    bool audible;
  } cases[] = {{"dummy", true}, {"no-such-driver", false}};
  for (const auto& each : cases) {
    ScopedEnvironment driver("SDL_AUDIODRIVER", each.driver);
    {
      plat::AudioOutputHeadStart head_start(plat::AudioDevice::kDefaultRate);
      // Listing the outputs meanwhile waits for the head start instead of racing it.
      EXPECT_EQ(plat::ListAudioOutputs().has_value(), each.audible) << each.driver;
      plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
      ASSERT_EQ(device.Initialize(nullptr), plat::DS_OK) << each.driver;
      EXPECT_EQ(device.IsAudible(), each.audible) << each.driver;
      EXPECT_TRUE(PlaysToTheEnd(device)) << each.driver;
    }
    // Ended without being taken: its output closes, and the next device opens its own.
    { plat::AudioOutputHeadStart unused(plat::AudioDevice::kDefaultRate); }
    plat::AudioDevice later(plat::AudioDevice::Kind::kSystem);
    ASSERT_EQ(later.Initialize(nullptr), plat::DS_OK) << each.driver;
    EXPECT_EQ(later.IsAudible(), each.audible) << each.driver;
  }
}

TEST(AudioDeviceTest, AHeadStartAtAnotherRateIsNotTaken) {
  ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
  plat::AudioOutputHeadStart head_start(8000);
  plat::AudioDevice device(plat::AudioDevice::Kind::kSystem);
  ASSERT_EQ(device.Initialize(nullptr), plat::DS_OK);
  EXPECT_TRUE(device.IsAudible());
  EXPECT_TRUE(PlaysToTheEnd(device));
}

}  // namespace
