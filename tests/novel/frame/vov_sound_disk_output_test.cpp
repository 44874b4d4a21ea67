// A scenario that starts music by track number and then a voice, played through SDL's disk audio
// driver with each frame's pass waiting for the driver to have played the frame: with the setting
// that lowers the music for voices, the captured output dips while the voice speaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource/plugins/sound_decoder_manager.h"
#include "sound/bgm_track.h"
#include "support/disk_audio_capture.h"
#include "support/disk_audio_loudness.h"
#include "support/fake_pcm_decoder.h"
#include "support/voiced_channels.h"
#include "tob_builder.h"
#include "vov_frame_fixture.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::uint32_t kRate = test_support::kCaptureRate;
constexpr std::uint32_t kWindow = kRate / 20;  // 50 ms

class SoundDiskOutputTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    g_SoundDecoderManager = &decoders_;
    test_support::RegisterFakePcmProvider(decoders_, std::make_shared<test_support::FakePcmCounters>());
  }
  void TearDown() override {
    g_SoundDecoderManager = saved_decoders_;
    FrameTest::TearDown();
  }

  CSoundDecoderManager decoders_;
  CSoundDecoderManager* saved_decoders_ = g_SoundDecoderManager;
};

TEST_F(SoundDiskOutputTest, TheMusicOfTrackOneDipsWhileTheScenariosVoiceSpeaks) {
  const std::string capture = game_.HostPath() + "capture.raw";
  game_.WriteFile("BGM/BGM01.OGG", test_support::MakeFakePcmFile({16, 1, kRate, test_support::SinePcm(4 * kRate, 8000)}));
  // A faint voice, so that what is heard is the music.
  game_.WriteFile("VOICE/V01.PCM", test_support::MakeFakePcmFile({16, 1, kRate, test_support::SinePcm(kRate / 2, 100)}));
  Settings()[kSettingDuckMusicForVoices] = 1;

  TobBuilder builder;
  builder.Command(116, {TobOperand::Value(1), TobOperand::Value(0), TobOperand::Value(1)});
  builder.Command(21, {TobOperand::Value(600)});
  builder.Command(126, {TobOperand::String("V01"), TobOperand::Value(0)});
  builder.Command(125, {TobOperand::Value(static_cast<std::uint32_t>(-CVovFrame::kVoiceChannel)), TobOperand::Value(0),
                        TobOperand::Value(0)});
  // The ducking holds the music low for a second after the voice and raises it over another.
  builder.Command(21, {TobOperand::Value(2600)});
  {
    test_support::DiskAudioCapture output(capture);
    ASSERT_TRUE(output.Audible());
    {
      test_support::VoicedChannels channels;
      channels.SetTaskManager(&World().timers);
      ASSERT_EQ(channels.SetChannelCount(12), 0u);
      ASSERT_EQ(channels.SetChannelClass(CVovFrame::kVoiceChannel, CSoundChannelManager::kVoiceClass), 0u);
      g_SoundChannels = &channels;
      g_CurrentBgm = 0;
      // No frame's clock runs ahead of what the device played, so that the scenario's waits are
      // heard as long as they last.
      World().player = [&output](int) { output.AwaitPlayed(vov_test::WaitWorld::kFrameTime); };
      EXPECT_EQ(Run(builder), 0);
      World().player = nullptr;
      EXPECT_EQ(g_CurrentBgm, 1);
      channels.StopBgm();
      g_CurrentBgm = 0;
      g_SoundChannels = nullptr;
    }
  }

  const std::vector<double> loudness = test_support::WindowLoudness(capture, kWindow);
  // Half a second of voice and a second held after it: thirty windows, less the edges.
  test_support::ExpectDuckedToHalfAndBack(loudness, 4000, 24);
}

}  // namespace
