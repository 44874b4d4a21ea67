// The music fades, the cross-fade and the voice ducking, driven by a fake clock.
#include <gtest/gtest.h>

#include "sound/bgm_fade_tasks.h"
#include "sound/channel_fade_tasks.h"
#include "sound/voice_ducking_task.h"
#include "support/sound_channels_fixture.h"

namespace {

using SoundControlTasksTest = test_support::SoundChannelsTest;

TEST_F(SoundControlTasksTest, ACrossFadeEndsWithTheNewMusicPlayingInTheCurrentSlot) {
  struct Case {
    uint32_t overlap;
    uint32_t new_start;  // when the new music starts
  };
  for (const Case c : {Case{0, 2000}, Case{500, 1500}, Case{2000, 0}}) {
    channels_->SetBgmVolume(100, -1, true);
    ASSERT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);
    auto task = std::make_unique<CBgmCrossFadeTask>(2000, c.overlap);
    ASSERT_EQ(task->Start(&timer_, channels_.get(), "BGM\\NEW.PCM", nullptr, true, 80), 0) << c.overlap;
    CBgmCrossFadeTask* running = task.release();
    EXPECT_EQ(channels_->bgm_fade_kind, CSoundChannelManager::kBgmCrossFade);
    Tick(0);
    BgmSlot& old_slot = Bgm();
    channels_->SwapBgmSlot();
    BgmSlot& new_slot = Bgm();
    channels_->SwapBgmSlot();
    for (uint32_t t = 0; t < 4000; t += 100) {
      if (t == 1000) {
        EXPECT_EQ(old_slot.volume, 50) << c.overlap;
      }
      EXPECT_EQ(new_slot.stream.IsPlaying(nullptr, nullptr), t >= c.new_start) << c.overlap << " at " << t;
      Tick(100);
    }
    EXPECT_FALSE(timer_.Contains(running));
    EXPECT_EQ(&Bgm(), &new_slot) << c.overlap;
    EXPECT_EQ(BgmFile(), "BGM\\NEW.PCM") << c.overlap;
    EXPECT_TRUE(Bgm().stream.IsPlaying(nullptr, nullptr)) << c.overlap;
    EXPECT_EQ(Bgm().volume, 80) << c.overlap;
    EXPECT_FALSE(old_slot.stream.IsPlaying(nullptr, nullptr)) << c.overlap;
    EXPECT_EQ(channels_->bgm_fade_kind, 0) << c.overlap;
    channels_->StopBgm();
  }
}

TEST_F(SoundControlTasksTest, AFadeOutHalvesTheVolumeHalfWayThenStopsAndKeepsTheVolumeForTheNextMusic) {
  ASSERT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);
  auto task = std::make_unique<CBgmFadeOutTask>(1000);
  ASSERT_EQ(task->Start(&timer_, channels_.get(), &Bgm()), 0);
  task.release();
  Tick(0);
  Tick(500);
  EXPECT_EQ(Bgm().volume, 50);
  EXPECT_EQ(Bgm().stream.GetVolume(), 128);
  Tick(500);
  EXPECT_FALSE(channels_->IsBgmPlaying());
  EXPECT_FALSE(Bgm().file);
  EXPECT_EQ(Bgm().volume, 100);
  EXPECT_EQ(timer_.GetCount(), 0u);

  // Nothing playing: stopped at once, and a fade in starts from silence.
  CBgmFadeOutTask idle(1000);
  EXPECT_EQ(idle.Start(&timer_, channels_.get(), &Bgm()), -1);
  auto fade_in = std::make_unique<CBgmFadeInTask>(1000);
  ASSERT_EQ(fade_in->Start(&timer_, channels_.get(), &Bgm(), "BGM\\OLD.PCM", nullptr, false), 0);
  fade_in.release();
  Tick(0);
  Tick(250);
  EXPECT_EQ(Bgm().volume, 25);
  // A new music fade ends the running one first, which leaves its target.
  auto to_forty = std::make_unique<CBgmVolumeFadeTask>(1000, 40);
  ASSERT_EQ(to_forty->Start(&timer_, channels_.get(), &Bgm()), 0);
  to_forty.release();
  EXPECT_EQ(Bgm().volume, 100);
  Tick(0);
  Tick(500);
  EXPECT_EQ(Bgm().volume, 70);
}

TEST_F(SoundControlTasksTest, DuckingLowersHoldsWaitsAndRaisesAndASecondVoiceMakesNoNewDip) {
  ASSERT_EQ(channels_->SetChannelCount(2), 0u);
  ASSERT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);
  ASSERT_EQ(channels_->LoadChannel(1, "VOICE\\A01.PCM", 0, false), 0u);
  EXPECT_EQ(channels_->StartVoiceDucking(&timer_, 1, 0.5F), nullptr);  // the voice is not playing yet
  ASSERT_EQ(channels_->PlayChannel(1, true), 0);
  ASSERT_NE(channels_->StartVoiceDucking(&timer_, 1, 0.5F), nullptr);

  Tick(0);
  EXPECT_EQ(channels_->GetBgmLevel(), 256);
  Tick(250);
  EXPECT_EQ(channels_->GetBgmLevel(), 192);
  Tick(250);
  EXPECT_EQ(channels_->GetBgmLevel(), 128);
  Tick(2000);
  EXPECT_EQ(channels_->GetBgmLevel(), 128);  // held while the voice plays

  ASSERT_NE(channels_->StartVoiceDucking(&timer_, 1, 0.5F), nullptr);
  for (int i = 0; i < 5; ++i) {
    Tick(100);
    EXPECT_EQ(channels_->GetBgmLevel(), 128) << i;
  }
  channels_->StopChannel(1);
  Tick(0);     // the voice has stopped: the wait begins
  Tick(1000);  // not more than 1000 ms yet
  Tick(1);     // the rise begins
  EXPECT_EQ(channels_->GetBgmLevel(), 128);
  Tick(500);
  EXPECT_EQ(channels_->GetBgmLevel(), 192);
  Tick(500);
  EXPECT_EQ(channels_->GetBgmLevel(), 256);
  EXPECT_EQ(timer_.GetCount(), 0u);

  // A new master volume ends a ducking with the music's own level, not the lowered one.
  ASSERT_EQ(channels_->PlayChannel(1, false), 0);
  ASSERT_NE(channels_->StartVoiceDucking(&timer_, 1, -1.0F), nullptr);
  Tick(0);
  Tick(500);
  EXPECT_EQ(channels_->GetBgmLevel(), 128);
  channels_->SetMasterVolume(256, false);
  EXPECT_EQ(channels_->GetBgmLevel(), 256);
  Tick(0);
  EXPECT_EQ(timer_.GetCount(), 0u);
}

TEST_F(SoundControlTasksTest, ChannelFadesNameThemselvesInTheFadeStateAndEndAtTheirEndVolume) {
  ASSERT_EQ(channels_->SetChannelCount(1), 0u);
  auto fade_in = std::make_unique<CChannelFadeInTask>(1000);
  ASSERT_EQ(fade_in->Start(&timer_, channels_.get(), "SE\\HIT.PCM", 0, true, false), 0);
  fade_in.release();
  EXPECT_EQ(channels_->GetChannelFadeState(0), 2);
  Tick(0);
  Tick(300);
  EXPECT_EQ(channels_->GetChannel(0)->volume, 30);

  // A new fade ends the channel's running one (its finish sets its target) first.
  auto fade_out = std::make_unique<CChannelFadeOutTask>(1000);
  ASSERT_EQ(fade_out->Start(&timer_, channels_.get(), 0), 0);
  fade_out.release();
  EXPECT_EQ(channels_->GetChannelFadeState(0), 3);
  Tick(0);
  Tick(600);
  EXPECT_EQ(channels_->GetChannel(0)->volume, 40);
  Tick(400);
  EXPECT_FALSE(channels_->IsChannelPlaying(0));
  EXPECT_EQ(channels_->GetChannel(0)->volume, 100);
  EXPECT_EQ(channels_->GetChannelFadeState(0), 0);
  EXPECT_EQ(channels_->GetChannel(0)->fade_task, nullptr);

  // A channel that goes away ends its fade first.
  ASSERT_EQ(channels_->PlayChannel(0, true), 0);
  auto to_ten = std::make_unique<CChannelVolumeFadeTask>(1000, 10);
  ASSERT_EQ(to_ten->Start(&timer_, channels_.get(), 0), 0);
  to_ten.release();
  channels_->FreeChannels();
  Tick(100);
  EXPECT_EQ(timer_.GetCount(), 0u);
}

}  // namespace
