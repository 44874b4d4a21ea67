// SOB scripts that drive the sound built-ins, heard through SDL's disk audio driver on a clock
// that follows what the driver played: a two-part Ogg stream that a script plays looped and
// fades out over a second, and music that a script's ducking voice lowers to half.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/time/timer_manager.h"
#include "ogg_writer.h"
#include "sound/ogg_vorbis_module.h"
#include "sound/sound_output.h"
#include "support/disk_audio_capture.h"
#include "support/disk_audio_loudness.h"
#include "support/fake_clock.h"
#include "support/game_host_fixture.h"

namespace {

constexpr long kRate = 44100;
constexpr std::size_t kWindow = kRate / 20;  // 50 ms


class SoundScriptDiskOutputTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    saved_host_ = std::exchange(g_SoundDecoderManager, &decoders_);
    saved_timers_ = std::exchange(g_TimerManager, &timer_);
    ASSERT_EQ(RegisterOggVorbisModule(decoders_), 0u);
  }
  void TearDown() override {
    g_SoundDecoderManager = saved_host_;
    g_TimerManager = saved_timers_;
    GameScriptHostTest::TearDown();
  }

  void WriteSine(const char* name, uint32_t frames, double hertz, int divisor) {
    std::vector<int16_t> samples = MakeSine(frames, 1, kRate, hertz);
    for (int16_t& sample : samples) sample = static_cast<int16_t>(sample / divisor);
    const std::vector<uint8_t> ogg = EncodeOggVorbis(samples, 1, kRate);
    game_.WriteFile(name, std::string(ogg.begin(), ogg.end()));
  }

  // Lets `milliseconds` play, running the tasks as the clock follows the output.
  void RunTasksFor(test_support::DiskAudioCapture& output, uint32_t milliseconds) {
    for (uint32_t waited = 0; waited < milliseconds; waited += 10) {
      output.AwaitPlayed(10);
      clock_.Advance(10);
      timer_.Dispatch(0);
    }
  }

  // Runs MAIN through the disk driver, letting `plays[pass]` ms play after each pass of the
  // script that yields.
  std::vector<double> Hear(const std::string& source, const std::vector<uint32_t>& plays) {
    const std::string capture = game_.HostPath() + "capture.raw";
    {
      CSoundOutput* saved_output = g_SoundDevice;
      test_support::DiskAudioCapture output(capture);
      EXPECT_TRUE(output.Audible());
      g_SoundDevice = &output.output;
      WriteScript("MAIN", source);
      EXPECT_EQ(host_.RestartMain(false), 0u);
      for (std::size_t pass = 0; host_.RunLoop() == CScriptHost::kRunSuspended; ++pass) {
        RunTasksFor(output, pass < plays.size() ? plays[pass] : 0);
      }
      g_SoundChannels->StopBgm();
      g_SoundChannels->FreeChannels();
      output.output.DestroyAllBuffers();
      g_SoundDevice = saved_output;
    }
    return test_support::WindowLoudness(capture, kWindow);
  }

  CSoundDecoderManager decoders_;
  ScopedFakeClock clock_;
  CTimerManager timer_;

 private:
  CSoundDecoderManager* saved_host_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
};

TEST_F(SoundScriptDiskOutputTest, AScriptsLoopedStreamFadesToSilenceOverItsSecond) {
  WriteSine("INTRO.OGG", kRate / 2, 441, 1);
  WriteSine("LOOP.OGG", kRate / 2, 441, 1);
  const std::vector<double> loudness = Hear(
      ".kind script\n"
      "  CallNative native(606), names, handle\n"
      "  CallNative native(609), handle, result\n"
      "  Yield\n"
      "  CallNative native(614), handle, result\n"
      "  Yield\n"
      "  Return\n"
      "names: .word intro, loop\n"
      "handle: .word 0\n"
      "duration: .word 1000\n"
      "result: .word 0\n"
      "intro: .string \"INTRO.OGG\"\n"
      "loop: .string \"LOOP.OGG\"\n",
      {3000, 1600});

  ASSERT_FALSE(loudness.empty());
  const double peak = *std::max_element(loudness.begin(), loudness.end());
  ASSERT_GT(peak, 8000);
  // Full loudness for the three seconds before the fade (the looped part follows the half-second
  // intro), then a fall through the levels in between to silence, which holds to the end.
  const auto is_full = [&](double l) { return l > peak * 0.9; };
  const auto is_silent = [&](double l) { return l < peak * 0.02; };
  const auto first_full = std::find_if(loudness.begin(), loudness.end(), is_full);
  const auto last_full = std::find_if(loudness.rbegin(), loudness.rend(), is_full).base();
  EXPECT_GE(std::count_if(first_full, last_full, is_full), 55);
  const auto first_silent = std::find_if(last_full, loudness.end(), is_silent);
  ASSERT_NE(first_silent, loudness.end());
  EXPECT_TRUE(std::all_of(first_silent, loudness.end(), is_silent));
  // A second of fading is twenty windows, most of them between the two levels; a stop would
  // leave one at most.
  const auto falling = std::count_if(last_full, first_silent, [&](double l) { return l > peak * 0.05 && l < peak * 0.8; });
  EXPECT_GE(falling, 12);
  for (auto it = last_full; it + 2 < first_silent; ++it) EXPECT_LE(*(it + 2), *it * 1.05);
}

TEST_F(SoundScriptDiskOutputTest, AScriptsDuckingVoiceHalvesItsMusic) {
  // Music long enough to be heard back at full after the voice, the wait and the rise.
  WriteSine("MUSIC.OGG", 6 * kRate, 441, 1);
  // A faint voice, so that what is heard is the music.
  WriteSine("VOICE.OGG", kRate / 2, 441, 100);
  const std::vector<double> loudness = Hear(
      ".kind script\n"
      "  CallNative native(668), count, result\n"
      "  CallNative native(657), music, result\n"
      "  Yield\n"
      "  CallNative native(672), voice, result\n"
      "  CallNative native(675), play, result\n"
      "  CallNative native(684), duck, result\n"
      "  Yield\n"
      "  Return\n"
      "count: .word 8\n"
      "music: .word music_name, 1, 0\n"
      "voice: .word 6, voice_name\n"
      "play: .word 6, 0\n"
      "duck: .word 6, half\n"
      "result: .word 0\n"
      "music_name: .string \"MUSIC.OGG\"\n"
      "voice_name: .string \"VOICE.OGG\"\n"
      "half: .string \"0.5\"\n",
      {600, 4500});

  // Half a second of voice and a second held after it: thirty windows, less the edges.
  test_support::ExpectDuckedToHalfAndBack(loudness, 8000, 24);
}

}  // namespace
