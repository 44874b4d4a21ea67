// Music by track number: the same track is not restarted, track 0 fades out, a track without its
// single file plays its intro and loop parts, and a track that does not start is not current.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "base/time/timed_task.h"
#include "base/time/timer_manager.h"
#include "sound/bgm_track.h"
#include "support/sound_channels_fixture.h"

namespace {

class BgmTrackTest : public test_support::SoundChannelsTest {
 protected:
  void SetUp() override {
    SoundChannelsTest::SetUp();
    for (const char* name : {"BGM/BGM03.OGG", "BGM/BGM05A.OGG", "BGM/BGM05B.OGG"}) {
      game_.WriteFile(name, test_support::MakeFakePcmFile({16, 1, 22050, std::vector<uint8_t>(44100, 1)}));
    }
    saved_channels_ = std::exchange(g_SoundChannels, channels_.get());
    saved_timers_ = std::exchange(g_TimerManager, &timer_);
    g_CurrentBgm = 0;
  }
  void TearDown() override {
    g_CurrentBgm = 0;
    g_SoundChannels = saved_channels_;
    g_TimerManager = saved_timers_;
    SoundChannelsTest::TearDown();
  }

  CSoundChannelManager* saved_channels_ = nullptr;
  CTimerManager* saved_timers_ = nullptr;
};

TEST_F(BgmTrackTest, TheSameTrackPlaysOnceAndTrackZeroFadesItOut) {
  EXPECT_EQ(PlayBgmTrack(3, 0, true), 0u);
  EXPECT_EQ(BgmFile(), game_.EnginePath("BGM\\BGM03.OGG")) << "the located name";
  ASSERT_TRUE(channels_->IsBgmPlaying());
  // Started again, the track would now be looked for in vain and fail.
  std::filesystem::remove(game_.HostPath() + "BGM/BGM03.OGG");
  EXPECT_EQ(PlayBgmTrack(3, 0, true), 0u);
  EXPECT_EQ(BgmFile(), game_.EnginePath("BGM\\BGM03.OGG")) << "the located name";
  EXPECT_TRUE(channels_->IsBgmPlaying());
  EXPECT_EQ(g_CurrentBgm, 3);

  EXPECT_EQ(PlayBgmTrack(0, 1000, false), 0u);
  EXPECT_EQ(g_CurrentBgm, 0);
  EXPECT_NE(timer_.FindByKind(kTimedTaskMusicFade), nullptr);
  EXPECT_TRUE(channels_->IsBgmPlaying()) << "fading, not yet stopped";
}

TEST_F(BgmTrackTest, AMissingSingleFilePlaysTheIntroAndLoopParts) {
  EXPECT_EQ(PlayBgmTrack(5, 0, true), 0u);
  EXPECT_EQ(BgmFile(), "BGM\\BGM05B.OGG");
  EXPECT_EQ(Bgm().intro.value_or("(none)"), "BGM\\BGM05A.OGG");
}

TEST_F(BgmTrackTest, ATrackThatDoesNotStartIsNotTakenAsCurrent) {
  ASSERT_EQ(PlayBgmTrack(3, 0, true), 0u);
  EXPECT_EQ(PlayBgmTrack(9, 0, true), 1u);
  EXPECT_EQ(g_CurrentBgm, 3);
}

}  // namespace
