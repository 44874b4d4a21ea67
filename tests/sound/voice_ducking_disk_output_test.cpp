// Music and a ducking voice played through SDL's disk audio driver, run the way the scripts'
// sound commands run them on a clock that follows what the driver played: the captured output
// must show the music lowered to about half while the voice speaks and back to full loudness
// afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource/plugins/sound_decoder_manager.h"
#include "sound/sound_channel_manager.h"
#include "support/data_files_fixture.h"
#include "support/disk_audio_capture.h"
#include "support/disk_audio_loudness.h"
#include "support/fake_clock.h"
#include "support/fake_pcm_decoder.h"

namespace {

constexpr uint32_t kRate = test_support::kCaptureRate;
constexpr uint32_t kWindow = kRate / 20;  // 50 ms

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

  // Runs the tasks until none is left (or 10 s passed), then lets `tail` ms more play.
  void RunTasks(test_support::DiskAudioCapture& output, uint32_t tail) {
    for (int step = 0; step < 1000 && timer_.GetCount() != 0; ++step) {
      output.AwaitPlayed(10);
      clock_.Advance(10);
      timer_.Dispatch(0);
    }
    EXPECT_EQ(timer_.GetCount(), 0u);
    output.AwaitPlayed(tail);
  }

  CSoundDecoderManager host_;
  CSoundDecoderManager* saved_host_ = g_SoundDecoderManager;
  ScopedFakeClock clock_;
  CTimerManager timer_;
};

TEST_F(VoiceDuckingDiskOutputTest, TheMusicDipsToHalfWhileTheVoiceSpeaksAndComesBack) {
  const std::string capture = game_.HostPath() + "capture.raw";
  game_.WriteFile("BGM/BGM01.PCM", test_support::MakeFakePcmFile({16, 1, kRate, test_support::SinePcm(3 * kRate, 8000)}));
  // A faint voice, so that what is heard is the music.
  game_.WriteFile("VOICE/A01.PCM", test_support::MakeFakePcmFile({16, 1, kRate, test_support::SinePcm(kRate / 2, 100)}));
  {
    test_support::DiskAudioCapture output(capture);
    ASSERT_TRUE(output.Audible());
    {
      CSoundChannelManager channels;
      channels.SetTaskManager(&timer_);
      ASSERT_EQ(channels.SetChannelCount(8), 0u);
      ASSERT_EQ(channels.SetChannelClass(6, CSoundChannelManager::kVoiceClass), 0u);
      ASSERT_EQ(channels.PlayBgm("BGM\\BGM01.PCM", nullptr, true), 0);
      output.AwaitPlayed(600);
      clock_.Advance(600);
      ASSERT_EQ(channels.LoadChannel(6, "VOICE\\A01.PCM", 0, false), 0u);
      ASSERT_EQ(channels.PlayChannel(6, false), 0);
      ASSERT_NE(channels.StartVoiceDucking(&timer_, 6, 0.5F), nullptr);
      RunTasks(output, 600);
      channels.StopBgm();
    }
  }

  const std::vector<double> loudness = test_support::WindowLoudness(capture, kWindow);
  // Half a second of voice and a second held after it: thirty windows, less the edges.
  test_support::ExpectDuckedToHalfAndBack(loudness, 4000, 24);
}

}  // namespace
