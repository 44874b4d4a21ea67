// The fraction of the music's level kept during a voice: from text, or from the ducking setting.
#include "builtins/voice_ducking.h"

#include <gtest/gtest.h>

#include <utility>

#include "base/time/timer_manager.h"
#include "support/fake_app_services.h"
#include "support/sound_channels_fixture.h"

namespace {

TEST(VoiceDuckingTest, TheFractionComesFromTheTextOrTheSetting) {
  struct Case {
    const char* text;
    uint8_t setting;
    float fraction;
  };
  const Case cases[] = {
      {nullptr, 0x32, -1.0F},  // the default setting leaves the level to the ducking
      {nullptr, 30, 0.30F},    {nullptr, 0, 0.0F},     {nullptr, 100, 1.0F},
      {"0.25", 0x32, 0.25F},   {" 0.7x", 30, 0.7F},    {"abc", 30, 0.0F},
      {"-0.5", 30, -1.0F},     {"nan", 30, 1.0F},      {"1e300", 30, 1.0F},
      {"-1e300", 30, -1.0F},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(VoiceDuckingFraction(c.text, c.setting), c.fraction)
        << (c.text != nullptr ? c.text : "(none)") << " " << int{c.setting};
  }
}

TEST(VoiceDuckingTest, NoDuckingStartsWithoutSoundChannels) {
  test_support::FakeAppServices app;
  app.ducking = 20;
  EXPECT_EQ(StartVoiceDuckingPercent(6, nullptr), nullptr);
  EXPECT_EQ(StartVoiceDuckingPercent(6, "0.5"), nullptr);
}

class VoiceDuckingStartTest : public test_support::SoundChannelsTest {
 protected:
  void SetUp() override {
    SoundChannelsTest::SetUp();
    saved_channels_ = std::exchange(g_SoundChannels, channels_.get());
    saved_timers_ = std::exchange(g_TimerManager, &timer_);
    ASSERT_EQ(channels_->SetChannelCount(2), 0u);
    ASSERT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);
    ASSERT_EQ(channels_->LoadChannel(1, "VOICE\\A01.PCM", 0, false), 0u);
    ASSERT_EQ(channels_->PlayChannel(1, true), 0);
  }
  void TearDown() override {
    g_SoundChannels = saved_channels_;
    g_TimerManager = saved_timers_;
    SoundChannelsTest::TearDown();
  }
  // The music's level once the ducking has lowered it.
  int32_t LoweredLevel() {
    Tick(0);
    Tick(1000);
    return channels_->GetBgmLevel();
  }

  test_support::FakeAppServices app_;
  CSoundChannelManager* saved_channels_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
};

TEST_F(VoiceDuckingStartTest, TheTextOrTheApplicationsSettingLowersTheMusic) {
  app_.ducking = 25;
  ASSERT_NE(StartVoiceDuckingPercent(1, nullptr), nullptr);
  EXPECT_EQ(LoweredLevel(), 64);
  channels_->CancelVoiceDucking();

  ASSERT_NE(StartVoiceDuckingPercent(1, "0.75"), nullptr);
  EXPECT_EQ(LoweredLevel(), 192);
  EXPECT_EQ(StartVoiceDuckingPercent(0, nullptr), nullptr) << "channel 0 plays no voice";
}

}  // namespace
