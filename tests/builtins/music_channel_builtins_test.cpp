// Built-ins 652 to 684: the sound options, the music and its fades, the numbered channels and
// theirs, the handles of a channel's buffer and of the music's stream, voices and ducking.
#include "builtins/music_channel_builtins.h"

#include <gtest/gtest.h>

#include "builtins/script_task.h"
#include "sound/voice_ducking_task.h"
#include "sound_builtins_fixture.h"
#include "support/fake_app_services.h"

namespace {

using sound_builtins_test::kMinusOne;
constexpr std::uint32_t kAbsent = 65535;

class MusicChannelBuiltinsTest : public sound_builtins_test::SoundBuiltinsTest {
 protected:
  void SetUp() override {
    SoundBuiltinsTest::SetUp();
    ASSERT_EQ(Call(668, {8}), 0u);
  }
  std::uint32_t Old() { return Text("BGM\\OLD.PCM"); }
  std::uint32_t New() { return Text("BGM\\NEW.PCM"); }
};

TEST_F(MusicChannelBuiltinsTest, OptionsAreSetAndReadByKindAndWhich) {
  struct Case {
    std::uint32_t kind, which, value;
  };
  for (const Case c : {Case{2, 1, 0}, Case{2, 2, 0}, Case{3, 0, 77}, Case{3, 2, 12}, Case{4, 1, 200}, Case{4, 2, 100},
                       Case{4, 0, 0}}) {
    EXPECT_EQ(Call(652, {c.kind, c.which, c.value, 0, 0}), 0u);
    EXPECT_EQ(Call(653, {c.kind, c.which}), c.value) << c.kind << " " << c.which;
  }
  EXPECT_EQ(Call(652, {0, 0}), 0u);
  EXPECT_EQ(Call(653, {0, 0}), 0u);
  // Kind 1 switches the classes of a mask; its reading is class switch 0.
  EXPECT_EQ(Call(652, {1, 0, 1, 0, 0}), 0u);
  EXPECT_EQ(Call(653, {1, 2}), 0u);
  EXPECT_EQ(Call(652, {1, 1, 1, 0, 0}), 0u);
  EXPECT_EQ(Call(653, {1, 2}), 1u);
  for (const auto& [kind, which] : {std::pair{5u, 0u}, std::pair{2u, 3u}, std::pair{4u, 3u}, std::pair{3u, kMinusOne}}) {
    EXPECT_EQ(Call(653, {kind, which}), 0u) << kind << " " << which;
    EXPECT_EQ(Call(652, {kind, which, 1, 1, 1}), 0u);
  }
  EXPECT_EQ(channels_->default_levels[2], 12);
}

TEST_F(MusicChannelBuiltinsTest, ClassSwitchZeroStopsItsLoopingSoundsAndKeepsItsOneShots) {
  ASSERT_EQ(Call(672, {1, Text("SE\\HIT.PCM")}), 0u);
  ASSERT_EQ(Call(672, {2, Text("SE\\HIT.PCM")}), 0u);
  ASSERT_EQ(Call(675, {1, 1}), 0u);
  ASSERT_EQ(Call(675, {2, 0}), 0u);
  EXPECT_EQ(Call(652, {2, 0, 0}), 0u);
  EXPECT_EQ(Call(653, {2, 0}), 0u);
  EXPECT_EQ(Call(680, {1}), 0u);
  EXPECT_EQ(Call(680, {2}), 1u);
  EXPECT_EQ(Call(675, {1, 0}), kMinusOne);
}

TEST_F(MusicChannelBuiltinsTest, MusicPlaysWithItsLoopFlagOrLoopedWhenTheFlagIsAbsent) {
  EXPECT_EQ(Call(657, {Old(), kAbsent, Text("BGM\\INTRO.PCM")}), 0u);
  EXPECT_EQ(BgmFile(), "BGM\\OLD.PCM");
  EXPECT_TRUE(Bgm().loop);
  EXPECT_FALSE(Bgm().intro.has_value());
  EXPECT_EQ(Call(665, {}), 1u);
  EXPECT_EQ(Call(657, {Old(), kAbsent, 0}), kMinusOne);
  EXPECT_EQ(Call(657, {0, 1, 0}), 1u);

  EXPECT_EQ(Call(657, {New(), 0, Text("BGM\\INTRO.PCM")}), 0u);
  EXPECT_FALSE(Bgm().loop);
  EXPECT_EQ(Bgm().intro.value_or(""), "BGM\\INTRO.PCM");
  EXPECT_EQ(Call(659, {}), 0u);
  EXPECT_EQ(Call(665, {}), 0u);
  EXPECT_EQ(Call(660, {}), 0u);
  EXPECT_EQ(Call(665, {}), 1u);
  EXPECT_EQ(Call(655, {50, kMinusOne}), 0u);
  EXPECT_EQ(Bgm().volume, 50);
  EXPECT_EQ(Call(656, {-300u}), 0u);
  EXPECT_EQ(channels_->GetBgmPan(), -300);
  EXPECT_EQ(Call(658, {}), 0u);
  EXPECT_EQ(Call(665, {}), 0u);
  EXPECT_EQ(Call(652, {0, 0}), 0u);
  EXPECT_EQ(Call(657, {Old(), 1, 0}), static_cast<std::uint32_t>(-2));
}

TEST_F(MusicChannelBuiltinsTest, MusicFadesRunOnTheTimerManager) {
  EXPECT_EQ(Call(663, {500}), kMinusOne);
  EXPECT_EQ(Call(662, {500, Old(), kAbsent, 0}), 0u);
  EXPECT_TRUE(Bgm().loop);
  EXPECT_EQ(Call(666, {}), 2u);
  Tick(0);
  Tick(600);
  EXPECT_EQ(Call(666, {}), 0u);
  EXPECT_EQ(Call(661, {200, 40}), 0u);
  EXPECT_EQ(Call(666, {}), 1u);
  Tick(0);
  Tick(300);
  EXPECT_EQ(Bgm().volume, 40);
  EXPECT_EQ(Call(663, {200}), 0u);
  Tick(0);
  Tick(300);
  EXPECT_EQ(Call(665, {}), 0u);
  EXPECT_EQ(Call(662, {500, 0, kAbsent, 0}), 1u);  // no name: the task is deleted again
  EXPECT_EQ(timer_.GetCount(), 0u);
}

TEST_F(MusicChannelBuiltinsTest, TheCrossFadesOverlapIsTheFadeTimeWhenTheLoopFlagOrOverlapIsAbsent) {
  struct Case {
    std::uint32_t loop, overlap;
    bool running_after_fade;  // the second half runs only without a full overlap
  };
  for (const Case c : {Case{kAbsent, 0, false}, Case{1, kAbsent, false}, Case{1, 0, true}, Case{1, 1000, false}}) {
    ASSERT_EQ(Call(657, {Old(), 1, 0}), 0u);
    EXPECT_EQ(Call(664, {1000, New(), c.loop, 0, c.overlap, 100}), 0u);
    EXPECT_EQ(Call(666, {}), 4u);
    Tick(0);
    Tick(1001);
    EXPECT_EQ(Call(666, {}) != 0, c.running_after_fade) << c.loop << " " << c.overlap;
    Tick(1001);
    EXPECT_EQ(Call(666, {}), 0u);
    EXPECT_EQ(BgmFile(), "BGM\\NEW.PCM");
    EXPECT_TRUE(Bgm().loop);
    Call(658, {});
  }
}

TEST_F(MusicChannelBuiltinsTest, ChannelsLoadPlayFadeAndStop) {
  EXPECT_EQ(Call(672, {9, Text("SE\\HIT.PCM")}), 1u);
  EXPECT_EQ(Call(672, {1, Text("SE\\MISSING.PCM")}), 2u);
  EXPECT_EQ(Call(673, {2, Text("BGM\\OLD.PCM")}), 0u);
  EXPECT_EQ(Call(675, {2, 1}), 0u);
  EXPECT_EQ(Call(680, {2}), 1u);
  EXPECT_EQ(Call(669, {2, 50, 128}), 0u);
  EXPECT_EQ(Call(669, {9, 50, 128}), 1u);
  EXPECT_EQ(Call(670, {2, 500}), 0u);
  EXPECT_EQ(Call(671, {2, 4}), 0u);
  EXPECT_EQ(Call(671, {2, 8}), 2u);
  EXPECT_EQ(Call(654, {100, 0, 4}), 0u);
  EXPECT_EQ(channels_->GetChannel(2)->level, 100);

  EXPECT_EQ(Call(677, {2, 200, 10}), 0u);
  EXPECT_EQ(Call(681, {2}), 1u);
  // A fade that cannot start (no sound on channel 3, no channel 9) answers 0 all the same.
  EXPECT_EQ(Call(677, {3, 200, 10}), 0u);
  EXPECT_EQ(Call(677, {9, 200, 10}), 0u);
  EXPECT_EQ(Call(681, {3}), 0u);
  EXPECT_EQ(timer_.GetCount(), 1u);
  EXPECT_EQ(Call(679, {200, 2}), 0u);
  EXPECT_EQ(Call(681, {2}), 3u);
  Tick(0);
  Tick(300);
  EXPECT_EQ(Call(680, {2}), 0u);
  EXPECT_EQ(Call(679, {200, 2}), kMinusOne);

  EXPECT_EQ(Call(678, {200, Text("SE\\HIT.PCM"), 3, 0, 0}), 0u);
  EXPECT_EQ(Call(681, {3}), 2u);
  EXPECT_EQ(Call(678, {200, 0, 4, 0, 0}), 3u);  // nothing loaded on channel 4
  EXPECT_EQ(Call(676, {3}), 0u);
  EXPECT_EQ(Call(676, {9}), 1u);
  EXPECT_EQ(Call(674, {3}), 0u);
  EXPECT_EQ(channels_->GetChannel(3)->active, nullptr);
  EXPECT_EQ(Call(668, {0}), 1u);
}

TEST_F(MusicChannelBuiltinsTest, AChannelsHandleNamesItsSoundOrItsWholeSoundBuffer) {
  const std::uint32_t empty = Call(682, {1});
  EXPECT_NE(empty, 0u);
  EXPECT_EQ(Call(682, {1}), empty);
  EXPECT_EQ(Call(628, {empty}), 0u);
  EXPECT_EQ(Call(682, {9}), 0u);
  EXPECT_EQ(Call(682, {kMinusOne}), 0u);
  ASSERT_EQ(Call(673, {1, Text("BGM\\OLD.PCM")}), 0u);
  const std::uint32_t stream = Call(682, {1});
  EXPECT_NE(stream, empty);
  EXPECT_EQ(Call(621, {stream}), 1000u);

  ASSERT_EQ(Call(657, {Old(), 1, 0}), 0u);
  const std::uint32_t music = Call(667, {});
  EXPECT_EQ(Call(622, {music, 0, 0}), 1u);
  // The channels' records die with the channels, and their handles with them.
  EXPECT_EQ(Call(668, {1}), 0u);
  EXPECT_EQ(Call(621, {stream}), 0u);
}

TEST_F(MusicChannelBuiltinsTest, VoicesNeedTheVoiceTableAndDuckingLowersTheMusic) {
  EXPECT_EQ(Call(683, {6, Text("A01"), 2, 1, 2}), static_cast<std::uint32_t>(-5));
  ASSERT_EQ(Call(657, {Old(), 1, 0}), 0u);
  ASSERT_EQ(Call(672, {6, Text("VOICE\\A01.PCM")}), 0u);
  ASSERT_EQ(Call(675, {6, 0}), 0u);
  test_support::FakeAppServices app;
  app.ducking = 20;
  const std::uint32_t ducking = Call(684, {6, 0});
  EXPECT_NE(dynamic_cast<CVoiceDuckingTask*>(TaskOfHandle(handles_, ducking)), nullptr) << "the task's handle";
  Tick(0);
  Tick(1000);
  EXPECT_LT(channels_->GetBgmLevel(), 256);
  EXPECT_NE(dynamic_cast<CVoiceDuckingTask*>(TaskOfHandle(handles_, Call(684, {6, Text("0.5")}))), nullptr);
  EXPECT_EQ(Call(684, {6, Text("1")}), 0u);  // a fraction of 1 lowers nothing and is refused
}

TEST_F(MusicChannelBuiltinsTest, NothingHappensWithoutSoundChannels) {
  g_SoundChannels = nullptr;
  for (std::uint32_t id = 652; id <= 684; ++id) EXPECT_EQ(Call(id, {1, 0, 0, 0, 0, 0}), 0u) << id;
}

}  // namespace
