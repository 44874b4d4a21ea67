// The sound-buffer base: the volume scale and its decibels, pan and frequency adjustments, and
// the volume fades over a fake clock.
#include <gtest/gtest.h>

#include <memory>

#include "base/time/timer_manager.h"
#include "sound/sound_output.h"
#include "support/fake_audio_backend.h"
#include "support/fake_clock.h"
#include "support/test_sound_buffer.h"

namespace {

class SoundBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(created_); }

  // Runs the fades due at `at` ms after the start of the test.
  void DispatchAt(uint32_t at) {
    clock_.SetMilliseconds(start_ + at);
    timers_.Dispatch(start_ + at);
  }

  uint32_t FadeInterval() const {
    const CTimedTask* task = timers_.FindByKind(0);
    return task != nullptr ? task->GetInterval() : 0;
  }

  ScopedFakeClock clock_;
  const uint32_t start_ = clock_.PreciseMilliseconds();
  FakeAudioBackend backend_;
  CSoundOutput output_;
  const bool created_ = output_.Create(0, false, false, nullptr) == CSoundDevice::kCreated;
  CTimerManager timers_;
  CTestSoundBuffer buffer_{output_};
};

TEST_F(SoundBufferTest, TheKeptVolumeIsClampedAndPlaysAtItsDecibels) {
  struct Case {
    int32_t set;
    int32_t kept;
    int32_t hundredths_of_db;
  };
  for (const Case& c : {Case{0, 0, -10000}, Case{-5, 0, -10000}, Case{300, 256, 0}, Case{256, 256, 0},
                        Case{128, 128, -602}, Case{1, 1, -4816}}) {
    EXPECT_EQ(buffer_.SetVolume(c.set), 0) << c.set;
    EXPECT_EQ(buffer_.GetVolume(), c.kept) << c.set;
    EXPECT_EQ(buffer_.PlatformVolume(), c.hundredths_of_db) << c.set;
  }
  buffer_.Release();
  EXPECT_EQ(buffer_.SetVolume(64), -1);
  EXPECT_EQ(buffer_.GetVolume(), 64);
}

TEST_F(SoundBufferTest, AdjustMovesVolumePanAndFrequencyWithinTheirLimits) {
  int32_t volume = 0;
  int32_t pan = 0;
  uint32_t frequency = 0;
  EXPECT_EQ(buffer_.Adjust(-128, 20000, -100000), 0u);
  EXPECT_EQ(buffer_.GetVolumePanFrequency(&volume, &pan, &frequency), 0u);
  EXPECT_EQ(volume, 128);
  EXPECT_EQ(pan, 10000);
  EXPECT_EQ(frequency, 100u);
  EXPECT_EQ(buffer_.Adjust(0, -30000, 500000), 0u);
  EXPECT_EQ(buffer_.GetVolumePanFrequency(nullptr, &pan, &frequency), 0u);
  EXPECT_EQ(pan, -10000);
  EXPECT_EQ(frequency, 100000u);
  EXPECT_EQ(buffer_.SetFrequency(10), 2u);

  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  EXPECT_EQ(buffer_.GetFormat(&channels, &rate, &bits), 0u);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(rate, 22050u);
  EXPECT_EQ(bits, 16);

  buffer_.Release();
  EXPECT_EQ(buffer_.Adjust(1, 1, 1), 1u);
  EXPECT_EQ(buffer_.GetVolumePanFrequency(&volume, nullptr, nullptr), 1u);
  EXPECT_EQ(volume, 128);
  EXPECT_EQ(buffer_.GetFormat(nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(buffer_.SetPan(0), 1u);
}

TEST_F(SoundBufferTest, AFadeInStepsAtLeastEveryTwentyMillisecondsUpToTheKeptVolume) {
  ASSERT_EQ(buffer_.FadeIn(&timers_, 1000, false), 0);
  EXPECT_EQ(FadeInterval(), 20u);  // 1000 / 256 is below the shortest step
  EXPECT_TRUE(buffer_.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(buffer_.PlatformVolume(), -10000);
  EXPECT_EQ(buffer_.GetVolume(), 256);
  DispatchAt(0);
  EXPECT_EQ(buffer_.GetVolume(), 0);
  DispatchAt(500);
  EXPECT_EQ(buffer_.GetVolume(), 128);
  EXPECT_EQ(buffer_.FadeIn(&timers_, 1000, false), 2);
  DispatchAt(1000);
  EXPECT_EQ(buffer_.GetVolume(), 256);
  EXPECT_EQ(buffer_.PlatformVolume(), 0);
  EXPECT_EQ(buffer_.GetFadeState(), CSoundBuffer::kNoFade);
  EXPECT_EQ(timers_.GetCount(), 0u);

  buffer_.Stop();
  buffer_.SetVolume(10);
  ASSERT_EQ(buffer_.FadeIn(&timers_, 1000, true), 0);
  EXPECT_EQ(FadeInterval(), 100u);
}

TEST_F(SoundBufferTest, AFadeOutStartedDuringAFadeInGoesOnFromTheCurrentVolumeAndPauses) {
  ASSERT_EQ(buffer_.FadeIn(&timers_, 1000, true), 0);
  DispatchAt(0);
  DispatchAt(500);
  ASSERT_EQ(buffer_.GetVolume(), 128);
  ASSERT_EQ(buffer_.FadeOut(&timers_, 1000), 0);
  EXPECT_EQ(buffer_.GetVolume(), 128);
  EXPECT_EQ(buffer_.FadeOut(&timers_, 1000), 3);
  DispatchAt(500);
  EXPECT_EQ(buffer_.GetVolume(), 128);
  DispatchAt(1000);
  EXPECT_EQ(buffer_.GetVolume(), 64);
  DispatchAt(1500);
  // Paused, with the volume it faded out from kept for the resume.
  EXPECT_FALSE(buffer_.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(buffer_.GetPauseDepth(), 1);
  EXPECT_EQ(buffer_.GetVolume(), 128);
  EXPECT_EQ(buffer_.GetFadeState(), CSoundBuffer::kNoFade);
  EXPECT_EQ(timers_.GetCount(), 0u);

  // A fade in resumes the paused sound.
  ASSERT_EQ(buffer_.FadeIn(&timers_, 100, false), 0);
  EXPECT_EQ(buffer_.GetPauseDepth(), 0);
  EXPECT_TRUE(buffer_.IsPlaying(nullptr, nullptr));
}

TEST_F(SoundBufferTest, FadesRefuseWhatTheyCannotDoAndSilentSoundsNeedNoFade) {
  EXPECT_EQ(buffer_.FadeIn(nullptr, 1000, false), 1);
  EXPECT_EQ(buffer_.FadeOut(&timers_, 1000), 2);  // not playing
  buffer_.SetVolume(0);
  EXPECT_EQ(buffer_.FadeIn(&timers_, 1000, false), -1);
  EXPECT_TRUE(buffer_.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(buffer_.FadeOut(&timers_, 1000), -1);
  EXPECT_EQ(buffer_.GetPauseDepth(), 1);
  EXPECT_EQ(timers_.GetCount(), 0u);
  // A fade of no duration reaches its end at its first step.
  buffer_.Stop();
  buffer_.SetVolume(90);
  ASSERT_EQ(buffer_.FadeIn(&timers_, 0, false), 0);
  DispatchAt(0);
  EXPECT_EQ(buffer_.GetVolume(), 90);
  EXPECT_EQ(buffer_.PlatformVolume(), -907);  // 2000 × log10(90 / 256)
  EXPECT_EQ(timers_.GetCount(), 0u);

  buffer_.Release();
  EXPECT_EQ(buffer_.FadeIn(&timers_, 1000, false), 1);
  EXPECT_EQ(buffer_.FadeOut(&timers_, 1000), 1);
}

TEST_F(SoundBufferTest, EndingAFadeEarlyRestoresItsVolumeAndAStoppedSoundEndsItsFade) {
  buffer_.SetVolume(200);
  ASSERT_EQ(buffer_.FadeIn(&timers_, 1000, true), 0);
  buffer_.CancelFade();  // before its first step
  EXPECT_EQ(buffer_.GetVolume(), 200);
  EXPECT_EQ(buffer_.PlatformVolume(), -214);  // 2000 × log10(200 / 256)
  EXPECT_EQ(buffer_.GetFadeState(), CSoundBuffer::kNoFade);

  ASSERT_EQ(buffer_.FadeOut(&timers_, 1000), 0);
  DispatchAt(0);
  DispatchAt(250);
  EXPECT_EQ(buffer_.GetVolume(), 150);
  buffer_.GetInterface()->Stop();  // stopped under the fade's feet
  DispatchAt(300);
  EXPECT_EQ(buffer_.GetVolume(), 200);
  EXPECT_EQ(buffer_.GetFadeState(), CSoundBuffer::kNoFade);
  DispatchAt(400);
  EXPECT_EQ(timers_.GetCount(), 0u);

  // A buffer that goes away takes its fade with it.
  auto short_lived = std::make_unique<CTestSoundBuffer>(output_);
  ASSERT_EQ(short_lived->FadeIn(&timers_, 1000, false), 0);
  short_lived.reset();
  DispatchAt(500);
  EXPECT_EQ(timers_.GetCount(), 0u);
}

}  // namespace
