// The layer's sound buffers, mixed by hand on a manual device: gains, pan, resampling, the
// ring's locks and cursors, the end of a buffer played once, and position notifications.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/sound/audio_device.h"
#include "platform/sound/device_sound_buffer.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kAllControls =
    plat::DSBCAPS_CTRLVOLUME | plat::DSBCAPS_CTRLPAN | plat::DSBCAPS_CTRLFREQUENCY | plat::DSBCAPS_CTRLPOSITIONNOTIFY;

plat::WaveFormat Pcm(uint16_t channels, uint16_t bits, uint32_t rate) {
  const auto align = static_cast<uint16_t>(channels * bits / 8);
  return plat::WaveFormat{plat::WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class SoundMixerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(device_.Initialize(nullptr), plat::DS_OK); }

  // A 16-bit stereo buffer of `frames` frames whose every sample is `value`.
  std::shared_ptr<plat::SoundBuffer> Constant(uint32_t frames, int16_t value, uint32_t rate = kRate) {
    const plat::WaveFormat format = Pcm(2, 16, rate);
    std::shared_ptr<plat::SoundBuffer> buffer;
    EXPECT_EQ(device_.CreateSoundBuffer({kAllControls, frames * 4, &format}, &buffer), plat::DS_OK);
    plat::SoundLockRegions regions;
    EXPECT_EQ(buffer->Lock(0, 0, &regions, plat::DSBLOCK_ENTIREBUFFER), plat::DS_OK);
    for (uint32_t i = 0; i < regions.first_bytes / 2; ++i) std::memcpy(regions.first + 2 * i, &value, 2);
    EXPECT_EQ(buffer->Unlock(regions), plat::DS_OK);
    return buffer;
  }

  std::vector<int16_t> Mix(uint32_t frames) {
    std::vector<int16_t> out(2 * frames);
    device_.Mix(out.data(), frames);
    return out;
  }

  uint32_t PlayCursor(plat::SoundBuffer& buffer) {
    uint32_t play = 0;
    EXPECT_EQ(buffer.GetCurrentPosition(&play, nullptr), plat::DS_OK);
    return play;
  }

  plat::AudioDevice device_{plat::AudioDevice::Kind::kManual, kRate};
};

TEST_F(SoundMixerTest, VolumeAndPanScaleEachChannel) {
  struct Case {
    int32_t volume;
    int32_t pan;
    double left;
    double right;
  };
  for (const Case& c : {Case{0, 0, 1.0, 1.0}, Case{-602, 0, 0.5, 0.5}, Case{-10000, 0, 0.0, 0.0},
                        Case{0, -10000, 1.0, 0.0}, Case{0, 10000, 0.0, 1.0}, Case{0, -602, 1.0, 0.5}}) {
    auto buffer = Constant(1000, 16000);
    ASSERT_EQ(buffer->SetVolume(c.volume), plat::DS_OK);
    ASSERT_EQ(buffer->SetPan(c.pan), plat::DS_OK);
    ASSERT_EQ(buffer->Play(plat::DSBPLAY_LOOPING), plat::DS_OK);
    const std::vector<int16_t> out = Mix(100);
    EXPECT_NEAR(out[100] / 16000.0, c.left, 0.01) << c.volume << " " << c.pan;
    EXPECT_NEAR(out[101] / 16000.0, c.right, 0.01) << c.volume << " " << c.pan;
  }
}

TEST_F(SoundMixerTest, EightBitMonoIsCentredScaledAndSentToBothChannels) {
  const plat::WaveFormat format = Pcm(1, 8, kRate);
  std::shared_ptr<plat::SoundBuffer> buffer;
  ASSERT_EQ(device_.CreateSoundBuffer({0, 100, &format}, &buffer), plat::DS_OK);
  plat::SoundLockRegions regions;
  ASSERT_EQ(buffer->Lock(0, 100, &regions, 0), plat::DS_OK);
  std::memset(regions.first, 0x80 + 64, regions.first_bytes);
  buffer->Unlock(regions);
  buffer->Play(plat::DSBPLAY_LOOPING);
  const std::vector<int16_t> out = Mix(10);
  EXPECT_EQ(out[0], 64 * 256);
  EXPECT_EQ(out[1], 64 * 256);
}

TEST_F(SoundMixerTest, BuffersAddUpAndTheSumIsClipped) {
  auto first = Constant(100, 30000);
  auto second = Constant(100, 10000);
  first->Play(plat::DSBPLAY_LOOPING);
  second->Play(plat::DSBPLAY_LOOPING);
  EXPECT_EQ(Mix(4)[0], 32767);
  second->SetVolume(-10000);
  first->SetVolume(-602);
  EXPECT_NEAR(Mix(4)[0], 15000, 150);
}

TEST_F(SoundMixerTest, TheFrequencySetsHowFastTheCursorMovesAndTheSamplesAreInterpolated) {
  auto doubled = Constant(10000, 1000);
  ASSERT_EQ(doubled->SetFrequency(2 * kRate), plat::DS_OK);
  auto halved = Constant(10000, 1000, kRate / 2);
  doubled->Play(plat::DSBPLAY_LOOPING);
  halved->Play(plat::DSBPLAY_LOOPING);
  Mix(1000);
  EXPECT_EQ(PlayCursor(*doubled), 2000u * 4);
  EXPECT_EQ(PlayCursor(*halved), 500u * 4);
  uint32_t frequency = 0;
  ASSERT_EQ(halved->GetFrequency(&frequency), plat::DS_OK);
  EXPECT_EQ(frequency, kRate / 2);
  EXPECT_EQ(doubled->SetFrequency(50), plat::DSERR_INVALIDPARAM);

  // A ramp at half the output rate: every second output sample lies half-way between two.
  doubled->Stop();
  halved->Stop();
  halved->SetCurrentPosition(0);
  plat::SoundLockRegions regions;
  ASSERT_EQ(halved->Lock(0, 16, &regions, 0), plat::DS_OK);
  const int16_t ramp[8] = {0, 0, 1000, 1000, 2000, 2000, 3000, 3000};
  std::memcpy(regions.first, ramp, sizeof ramp);
  halved->Unlock(regions);
  halved->Play(0);
  const std::vector<int16_t> out = Mix(4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 500);
  EXPECT_EQ(out[4], 1000);
  EXPECT_EQ(out[6], 1500);
}

TEST_F(SoundMixerTest, ALockAcrossTheEndReturnsTwoRegionsAndBadLocksAreRefused) {
  auto buffer = Constant(250, 0);  // 1000 bytes
  plat::SoundLockRegions regions;
  ASSERT_EQ(buffer->Lock(800, 400, &regions, 0), plat::DS_OK);
  EXPECT_EQ(regions.first_bytes, 200u);
  EXPECT_EQ(regions.second_bytes, 200u);
  EXPECT_EQ(regions.second + 800, regions.first);
  EXPECT_EQ(buffer->Unlock(regions), plat::DS_OK);
  ASSERT_EQ(buffer->Lock(0, 1000, &regions, 0), plat::DS_OK);
  EXPECT_EQ(regions.second, nullptr);
  EXPECT_EQ(buffer->Lock(1000, 4, &regions, 0), plat::DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 1001, &regions, 0), plat::DSERR_INVALIDPARAM);
  uint8_t elsewhere[4];
  EXPECT_EQ(buffer->Unlock({elsewhere, 4, nullptr, 0}), plat::DSERR_INVALIDPARAM);
}

TEST_F(SoundMixerTest, TheWriteCursorLeadsThePlayCursorRoundTheRing) {
  auto buffer = Constant(1000, 0);
  uint32_t play = 0;
  uint32_t write = 0;
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(write, play);
  buffer->Play(plat::DSBPLAY_LOOPING);
  Mix(900);
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 900u * 4);
  // One output period (441 frames at this rate) ahead, wrapped round the end.
  EXPECT_EQ(write, (900u + plat::AudioDevice::kDefaultPeriodFrames - 1000u) * 4);
  Mix(200);
  EXPECT_EQ(PlayCursor(*buffer), 100u * 4);
}

// The played-frame clock counts every lap of a ring, stands still while stopped or while the
// position is set, and follows the buffer's own rate (half the output rate: half the frames);
// a buffer played once counts up to its end, not past it.
TEST_F(SoundMixerTest, ThePlayedFrameClockCountsLapsAndStandsStillWhileStopped) {
  auto ring = Constant(1000, 0);
  auto halved = Constant(1000, 0, kRate / 2);
  auto once = Constant(100, 0);
  ring->Play(plat::DSBPLAY_LOOPING);
  halved->Play(plat::DSBPLAY_LOOPING);
  once->Play(0);
  Mix(2500);
  EXPECT_EQ(ring->GetPlayedFrames(), 2500u);
  EXPECT_EQ(PlayCursor(*ring), 500u * 4);
  EXPECT_EQ(halved->GetPlayedFrames(), 1250u);
  EXPECT_EQ(once->GetPlayedFrames(), 100u);
  ring->Stop();
  Mix(300);
  EXPECT_EQ(ring->GetPlayedFrames(), 2500u);
  ASSERT_EQ(ring->SetCurrentPosition(0), plat::DS_OK);
  ring->Play(plat::DSBPLAY_LOOPING);
  Mix(1);
  EXPECT_EQ(ring->GetPlayedFrames(), 2501u);
}

TEST_F(SoundMixerTest, ABufferPlayedOnceStopsAtItsEndAndRewinds) {
  auto buffer = Constant(100, 8000);
  buffer->Play(0);
  const std::vector<int16_t> out = Mix(150);
  EXPECT_EQ(out[2 * 99], 8000);
  EXPECT_EQ(out[2 * 100], 0);
  uint32_t status = 0;
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(PlayCursor(*buffer), 0u);
}

TEST_F(SoundMixerTest, NotificationsFireWhenTheCursorPassesTheirOffsetsAndOnStop) {
  auto buffer = Constant(1000, 0);  // a ring of 4000 bytes
  int quarter = 0;
  int end = 0;
  int stopped = 0;
  ASSERT_EQ(buffer->SetNotificationPositions({{1000, [&] { ++quarter; }},
                                              {3999, [&] { ++end; }},
                                              {plat::DSBPN_OFFSETSTOP, [&] { ++stopped; }}}),
            plat::DS_OK);
  buffer->Play(plat::DSBPLAY_LOOPING);
  EXPECT_EQ(buffer->SetNotificationPositions({}), plat::DSERR_INVALIDCALL);
  Mix(200);
  EXPECT_EQ(quarter, 0);
  Mix(100);
  EXPECT_EQ(quarter, 1);
  Mix(1000);  // once round the ring
  EXPECT_EQ(quarter, 2);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(stopped, 0);
  buffer->Stop();
  EXPECT_EQ(stopped, 1);
  buffer->Stop();
  EXPECT_EQ(stopped, 1);
}

TEST_F(SoundMixerTest, DuplicatesShareTheSamplesButNotTheCursors) {
  auto original = Constant(100, 5000);
  original->SetVolume(-602);
  std::shared_ptr<plat::SoundBuffer> duplicate;
  ASSERT_EQ(device_.DuplicateSoundBuffer(*original, &duplicate), plat::DS_OK);
  int32_t volume = 0;
  duplicate->GetVolume(&volume);
  EXPECT_EQ(volume, -602);
  duplicate->Play(plat::DSBPLAY_LOOPING);
  EXPECT_NEAR(Mix(10)[0], 2500, 30);
  EXPECT_EQ(PlayCursor(*original), 0u);
  original.reset();
  EXPECT_NEAR(Mix(10)[0], 2500, 30);
}

TEST_F(SoundMixerTest, ThePrimaryFormatNeedsThePriorityLevelAndAPlayableFormat) {
  std::shared_ptr<plat::SoundBuffer> primary;
  ASSERT_EQ(device_.CreateSoundBuffer({plat::DSBCAPS_PRIMARYBUFFER, 0, nullptr}, &primary), plat::DS_OK);
  const plat::WaveFormat format = Pcm(2, 16, 48000);
  ASSERT_EQ(device_.SetCooperativeLevel(0, plat::DSSCL_NORMAL), plat::DS_OK);
  EXPECT_EQ(primary->SetFormat(format), plat::DSERR_PRIOLEVELNEEDED);
  ASSERT_EQ(device_.SetCooperativeLevel(0, plat::DSSCL_PRIORITY), plat::DS_OK);
  EXPECT_EQ(primary->SetFormat(Pcm(2, 24, 48000)), plat::DSERR_BADFORMAT);
  EXPECT_EQ(primary->SetFormat(format), plat::DS_OK);
  plat::WaveFormat got;
  primary->GetFormat(&got);
  EXPECT_EQ(got, format);
  plat::SoundLockRegions regions;
  EXPECT_EQ(primary->Lock(0, 4, &regions, 0), plat::DSERR_INVALIDCALL);
}

TEST_F(SoundMixerTest, BuffersRefuseBadDescriptionsAndControlsTheyWereNotMadeWith) {
  const plat::WaveFormat good = Pcm(2, 16, kRate);
  const plat::WaveFormat odd_align{plat::WAVE_FORMAT_PCM, 2, kRate, kRate * 3, 3, 16, 0};
  std::shared_ptr<plat::SoundBuffer> buffer;
  EXPECT_EQ(device_.CreateSoundBuffer({0, 400, nullptr}, &buffer), plat::DSERR_INVALIDPARAM);
  EXPECT_EQ(device_.CreateSoundBuffer({0, 400, &odd_align}, &buffer), plat::DSERR_BADFORMAT);
  EXPECT_EQ(device_.CreateSoundBuffer({0, 2, &good}, &buffer), plat::DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer, nullptr);
  ASSERT_EQ(device_.CreateSoundBuffer({0, 400, &good}, &buffer), plat::DS_OK);
  EXPECT_EQ(buffer->SetVolume(-100), plat::DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(buffer->SetPan(100), plat::DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(buffer->SetFrequency(22050), plat::DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(buffer->SetNotificationPositions({}), plat::DSERR_CONTROLUNAVAIL);
  plat::AudioDevice uninitialised(plat::AudioDevice::Kind::kManual);
  EXPECT_EQ(uninitialised.CreateSoundBuffer({0, 400, &good}, &buffer), plat::DSERR_UNINITIALIZED);
}

}  // namespace
