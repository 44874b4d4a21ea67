// Music and a ducking voice played through SDL's disk audio driver, run on the real clock the way
// the scripts' sound commands run them: the captured output must show the music lowered to
// about half while the voice speaks and back to full loudness afterwards. Only loudness over
// windows is checked, so that a slow machine shifts the dip without failing the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "resource/sound_decoder_manager.h"
#include "sound/sound_channel_manager.h"
#include "sound/sound_output.h"
#include "support/data_files_fixture.h"
#include "support/disk_audio_loudness.h"
#include "support/fake_pcm_decoder.h"
#include "support/scoped_environment.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kWindow = kRate / 20;  // 50 ms

// Mono 16-bit sine of `amplitude`, 441 Hz.
std::vector<uint8_t> Sine(uint32_t frames, double amplitude) {
  std::vector<uint8_t> pcm(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 441 * i / kRate));
    std::memcpy(&pcm[2 * i], &sample, 2);
  }
  return pcm;
}


class VoiceDuckingDiskOutputTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    g_SoundDecoderManager = &host_;
    test_support::RegisterFakePcmProvider(host_, std::make_shared<test_support::FakePcmCounters>());
  }
  void TearDown() override {
    g_SoundDecoderManager = saved_host_;
    DataFilesTest::TearDown();
  }

  // Runs the tasks on the real clock until none is left (or 10 s passed), then `tail` ms more.
  void RunTasks(uint32_t tail) {
    for (int step = 0; step < 1000 && timer_.GetCount() != 0; ++step) {
      plat::SleepMilliseconds(10);
      timer_.Dispatch(0);
    }
    EXPECT_EQ(timer_.GetCount(), 0u);
    plat::SleepMilliseconds(tail);
  }

  CSoundDecoderManager host_;
  CSoundDecoderManager* saved_host_ = g_SoundDecoderManager;
  CTimerManager timer_;
};

TEST_F(VoiceDuckingDiskOutputTest, TheMusicDipsToHalfWhileTheVoiceSpeaksAndComesBack) {
  const std::string capture = game_.HostPath() + "capture.raw";
  ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
  ScopedEnvironment file("SDL_DISKAUDIOFILE", capture.c_str());
  game_.WriteFile("BGM/BGM01.PCM", test_support::MakeFakePcmFile({16, 1, kRate, Sine(3 * kRate, 8000)}));
  // A faint voice, so that what is heard is the music.
  game_.WriteFile("VOICE/A01.PCM", test_support::MakeFakePcmFile({16, 1, kRate, Sine(kRate / 2, 100)}));
  {
    CSoundDevice* saved_device = g_SoundBufferDevice;
    CSoundOutput output;
    ASSERT_EQ(output.Create(0, false, false, nullptr), CSoundDevice::kCreated);
    ASSERT_TRUE(output.GetDirectSound()->IsAudible());
    g_SoundBufferDevice = &output;
    {
      CSoundChannelManager channels;
      channels.SetTaskManager(&timer_);
      ASSERT_EQ(channels.SetChannelCount(8), 0u);
      ASSERT_EQ(channels.SetChannelClass(6, CSoundChannelManager::kVoiceClass), 0u);
      ASSERT_EQ(channels.PlayBgm("BGM\\BGM01.PCM", nullptr, true), 0);
      plat::SleepMilliseconds(600);
      ASSERT_EQ(channels.LoadChannel(6, "VOICE\\A01.PCM", 0, false), 0u);
      ASSERT_EQ(channels.PlayChannel(6, false), 0);
      ASSERT_NE(channels.StartVoiceDucking(&timer_, 6, 0.5F), nullptr);
      RunTasks(600);
      channels.StopBgm();
    }
    g_SoundBufferDevice = saved_device;
  }

  const std::vector<double> loudness = test_support::WindowLoudness(capture, kWindow);
  test_support::ExpectDuckedToHalfAndBack(loudness, 4000, 8);
}

}  // namespace
