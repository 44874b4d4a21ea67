// The frame's sound commands over channels of fake sound devices: which channel a command takes,
// what loops and is remembered, the waits and how the reader cuts them short, voices, music by
// track number, the looping sounds and the music that a loaded game starts again, and the music
// lowered under a voice, which comes back up while the settings screen is open.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "sound/bgm_track.h"
#include "support/fake_pcm_decoder.h"
#include "support/fake_sound_system.h"
#include "support/voiced_channels.h"
#include "tob_builder.h"
#include "vov_frame_fixture.h"

namespace {

using kvxtools::TobBuilder;
using kvxtools::TobOperand;

constexpr std::int32_t kVoice = CVovFrame::kVoiceChannel;

class SoundCommandsTest : public vov_test::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    const std::vector<std::uint8_t> second(44100, 1);
    for (const char* name : {"SE/1.PCM", "SE/2.PCM", "SE/3.PCM", "SE/4.PCM", "SE/5.PCM", "VOICE/V01.PCM",
                             "BGM/BGM03.OGG"}) {
      game_.WriteFile(name, test_support::MakeFakePcmFile({16, 1, 22050, second}));
    }
    channels_.SetTaskManager(&World().timers);
    ASSERT_EQ(channels_.SetChannelCount(12), 0u);
    ASSERT_EQ(channels_.SetChannelClass(kVoice, CSoundChannelManager::kVoiceClass), 0u);
    g_SoundChannels = &channels_;
    g_CurrentBgm = 0;
  }
  void TearDown() override {
    g_CurrentBgm = 0;
    g_SoundChannels = nullptr;
    // The channels' tasks end while their timer manager, which goes with the wait world, lives.
    channels_.CancelBgmTasks();
    channels_.FreeChannels();
    channels_.SetTaskManager(nullptr);
    FrameTest::TearDown();
  }

  std::string File(std::int32_t channel) { return channels_.GetChannel(channel)->file.value_or("(none)"); }
  bool Playing(std::int32_t channel) { return channels_.IsChannelPlaying(channel); }
  // A scenario that shows a background, so that a load fades the page in, and lets a save be
  // taken.
  void LoadShownPage() {
    game_.WriteFile("BG1.ELG", page_test::Picture(800, 600, 0xFF336699));
    TobBuilder builder;
    builder.Line();
    builder.Command(35, {TobOperand::String("BG1.ELG"), TobOperand::Value(0)});
    Run(builder);
  }

  test_support::FakeSoundSystem sound_;
  test_support::VoicedChannels channels_;
};

TEST_F(SoundCommandsTest, PlayCommandsTakeTheFourSoundEffectChannelsInTurnAndOperandsNameTheRest) {
  for (const char* name : {"SE\\1.PCM", "SE\\2.PCM", "SE\\3.PCM", "SE\\4.PCM", "SE\\5.PCM"}) {
    EXPECT_EQ(frame_->PlaySound(name, -1, 0, false), 0) << name;
  }
  EXPECT_EQ(File(8), "SE\\5.PCM") << "the fifth call takes channel 8 again";
  EXPECT_EQ(File(9), "SE\\2.PCM");
  EXPECT_EQ(File(10), "SE\\3.PCM");
  EXPECT_EQ(File(11), "SE\\4.PCM");
  EXPECT_EQ(frame_->StateWord(kStateNextSeChannel), 1);

  // Operand 2 is channel 10; the rotation does not move.
  EXPECT_EQ(frame_->PlaySound("SE\\1.PCM", 2, 0, false), 0);
  EXPECT_EQ(File(10), "SE\\1.PCM");
  EXPECT_EQ(frame_->StateWord(kStateNextSeChannel), 1);
  // Operands past the channel numbers reach no channel and nothing overflows.
  EXPECT_EQ(frame_->PlaySound("SE\\1.PCM", std::numeric_limits<std::int32_t>::max(), 0, true), 1);
  for (const std::int32_t beyond : {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
    EXPECT_EQ(frame_->StopSound(beyond), 0);
    EXPECT_EQ(frame_->WaitSound(beyond, false, false), CVovFrame::kWaitDone);
  }
  // A loaded rotation word that is out of range still picks one of the four.
  frame_->SetStateWord(kStateNextSeChannel, -3);
  EXPECT_EQ(frame_->PlaySound("SE\\2.PCM", -7, 0, false), 0);
  EXPECT_EQ(File(9), "SE\\2.PCM");

  EXPECT_EQ(frame_->UnloadSoundEffects(), 0);
  for (const std::int32_t channel : {8, 9, 10, 11}) EXPECT_EQ(File(channel), "(none)");
  EXPECT_EQ(frame_->StateWord(kStateNextSeChannel), 0);
}

TEST_F(SoundCommandsTest, StopSoundWithMinusSixStopsTheVoiceAndVoicesAnswerTheirLookups) {
  EXPECT_EQ(frame_->PlayVoice("V01", false), 0);
  EXPECT_TRUE(Playing(kVoice));
  EXPECT_EQ(frame_->StopSound(-kVoice), 0);
  EXPECT_FALSE(Playing(kVoice));
  EXPECT_FALSE(frame_->ChannelLooping(kVoice));

  EXPECT_EQ(frame_->PlayVoice("X01", false), 3) << "no character's voice";
  channels_.SetClassSwitch(CSoundChannelManager::kVoiceClass, false);
  EXPECT_EQ(frame_->PlayVoice("V01", false), 2) << "the voice class switched off";
  channels_.SetClassSwitch(CSoundChannelManager::kVoiceClass, true);
  Settings()[kSettingVoicesOn] = 0;
  EXPECT_EQ(frame_->PlayVoice("V01", false), 1);
  EXPECT_FALSE(Playing(kVoice));
}

TEST_F(SoundCommandsTest, WaitSoundStopsALoopingChannelAtOnceAndWaitsForAnother) {
  ASSERT_EQ(frame_->PlaySound("SE\\1.PCM", 1, 0, true), 0);
  EXPECT_TRUE(frame_->ChannelLooping(9));
  EXPECT_EQ(frame_->WaitSound(1, false, false), CVovFrame::kLoopingStopped);
  EXPECT_FALSE(Playing(9));
  EXPECT_FALSE(frame_->ChannelLooping(9));
  EXPECT_EQ(World().frames, 0);

  // A sound played once is waited for until it ends.
  ASSERT_EQ(frame_->PlaySound("SE\\1.PCM", 1, 0, false), 0);
  World().player = [&](int frame) {
    if (frame == 5) channels_.StopChannel(9);
  };
  EXPECT_EQ(frame_->WaitSound(1, false, false), CVovFrame::kWaitDone);
  EXPECT_EQ(World().frames, 5);
}

TEST_F(SoundCommandsTest, WithSoundEffectsOffOnlyALoopedSoundIsRememberedAndALoadStartsIt) {
  LoadShownPage();
  Settings()[kSettingSoundEffectsOn] = 0;
  EXPECT_EQ(frame_->PlaySound("SE\\1.PCM", -1, 0, false), 0);
  EXPECT_EQ(File(8), "(none)");
  EXPECT_FALSE(frame_->ChannelLooping(8));
  EXPECT_EQ(frame_->StateWord(kStateNextSeChannel), 1) << "the channel was chosen all the same";
  EXPECT_EQ(frame_->PlaySound("SE\\2.PCM", -1, 1, true), 0);
  EXPECT_EQ(File(9), "(none)");
  EXPECT_EQ(frame_->LoopingSounds()[1], (VovLoopingSound{true, "SE\\2.PCM", 1}));

  ByteWriter out;
  ASSERT_EQ(frame_->Save(out, false), 0u);
  const std::vector<std::uint8_t> saved = out.Take();
  Settings()[kSettingSoundEffectsOn] = 1;
  ByteReader in(saved);
  ASSERT_EQ(frame_->Load(in, true), 0u);
  ASSERT_EQ(frame_->RestoreState(), 0);
  EXPECT_EQ(File(9), "SE\\2.PCM");
  EXPECT_TRUE(Playing(9));
  EXPECT_TRUE(channels_.GetChannel(9)->IsStreamed()) << "its stream flag came back";
  EXPECT_EQ(channels_.GetChannel(9)->play_state, SoundChannel::kPlayedLooped);
}

TEST_F(SoundCommandsTest, ALoadStartsTheLoopingSoundsOfChannelsEightAndTenAndTheMusicWithItsFade) {
  struct Case {
    bool no_fade_setting;
    std::uint8_t fade_kind;
  };
  for (const Case c : {Case{false, CSoundChannelManager::kBgmFadeIn}, Case{true, 0}}) {
    SCOPED_TRACE(c.no_fade_setting);
    LoadShownPage();
    ASSERT_EQ(frame_->PlaySound("SE\\1.PCM", 0, 0, true), 0);
    ASSERT_EQ(frame_->FadeInSound("SE\\3.PCM", 100, 2, 0), 0);
    frame_->PlayMusicTrack(3, 0, false);
    ByteWriter out;
    ASSERT_EQ(frame_->Save(out, false), 0u);
    const std::vector<std::uint8_t> saved = out.Take();

    frame_->UnloadSoundEffects();
    frame_->StopMusicTrack();
    ASSERT_FALSE(channels_.IsBgmPlaying());
    Settings()[kSettingNoFadeAfterLoad] = c.no_fade_setting ? 1 : 0;
    ByteReader in(saved);
    ASSERT_EQ(frame_->Load(in, true), 0u);
    ASSERT_EQ(frame_->RestoreState(), 0);
    EXPECT_EQ(File(8), "SE\\1.PCM");
    EXPECT_EQ(File(10), "SE\\3.PCM");
    for (const std::int32_t channel : {8, 10}) {
      EXPECT_TRUE(Playing(channel)) << channel;
      EXPECT_TRUE(frame_->ChannelLooping(channel)) << channel;
      EXPECT_EQ(channels_.GetChannel(channel)->play_state, SoundChannel::kPlayedLooped) << channel;
    }
    EXPECT_FALSE(Playing(9));
    EXPECT_EQ(g_CurrentBgm, 3);
    EXPECT_TRUE(channels_.IsBgmPlaying());
    EXPECT_TRUE(channels_.CurrentBgm().loop) << "the music comes back looped";
    EXPECT_EQ(channels_.bgm_fade_kind, c.fade_kind);
    if (!c.no_fade_setting) {
      for (int frame = 0; frame < 45; ++frame) World().Step();
      EXPECT_EQ(channels_.bgm_fade_kind, CSoundChannelManager::kBgmFadeIn) << "still fading after 900 ms";
      for (int frame = 0; frame < 10; ++frame) World().Step();
      EXPECT_EQ(channels_.bgm_fade_kind, 0) << "faded in after 1100 ms";
    }
  }
}

TEST_F(SoundCommandsTest, AFadeInThatCannotStartLoopsNothingAndFadesAreWaitedFor) {
  EXPECT_EQ(frame_->FadeInSound("SE\\MISSING.PCM", 0, 0, 0), 1);
  EXPECT_FALSE(frame_->ChannelLooping(8));

  ASSERT_EQ(frame_->FadeInSound("SE\\1.PCM", 0, 0, 0), 0);
  EXPECT_TRUE(frame_->ChannelLooping(8));
  EXPECT_EQ(channels_.GetChannelFadeState(8), 2);
  // A duration of 0 is a second.
  EXPECT_EQ(frame_->WaitSoundFade(0, false, false, false), CVovFrame::kWaitDone);
  EXPECT_GE(World().frames, 50);
  EXPECT_LE(World().frames, 52);
  EXPECT_TRUE(Playing(8));

  // A fade-out forgets the loop; cut short with the stop operand, the channel stops.
  EXPECT_EQ(frame_->FadeOutSound(500, 0), 0);
  EXPECT_FALSE(frame_->ChannelLooping(8));
  EXPECT_EQ(channels_.GetChannelFadeState(8), 3);
  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 3); };
  EXPECT_EQ(frame_->WaitSoundFade(0, true, true, false), CVovFrame::kWaitCutShort);
  EXPECT_EQ(World().frames, 3);
  EXPECT_FALSE(Playing(8));
  EXPECT_EQ(frame_->FadeOutSound(0, 0), 0) << "a channel that does not play stops at once";
}

TEST_F(SoundCommandsTest, TrackThreePlaysItsFileAndIsForgottenWhenTheMusicStops) {
  TobBuilder builder;
  builder.Command(116, {TobOperand::Value(3), TobOperand::Value(0), TobOperand::Value(1)});
  EXPECT_EQ(Run(builder), 0);
  EXPECT_EQ(channels_.CurrentBgm().file.value_or("(none)"), game_.EnginePath("BGM\\BGM03.OGG"));
  EXPECT_TRUE(channels_.IsBgmPlaying());
  EXPECT_EQ(g_CurrentBgm, 3);
  EXPECT_EQ(frame_->StateWord(kStateBgm), 3);
  EXPECT_EQ(frame_->StateWord(kStateNoMusic), 0);

  TobBuilder stop;
  stop.Command(118, {TobOperand::Value(0)});
  EXPECT_EQ(Run(stop), 0);
  EXPECT_FALSE(channels_.IsBgmPlaying());
  EXPECT_EQ(g_CurrentBgm, 0);
  EXPECT_EQ(frame_->StateWord(kStateNoMusic), 1);
}

TEST_F(SoundCommandsTest, WaitSoundEndsAsSkippedAndStopsTheChannel) {
  struct Case {
    const char* what;
    std::uint32_t voice_wait;
    std::uint32_t skippable;
    std::uint8_t setting;
    int click_at;
    int frames;
  };
  const Case cases[] = {
      {"a voice wait under the setting, skippable: at once", 1, 1, 1, 0, 0},
      {"a click on a skippable wait", 0, 1, 0, 3, 3},
      {"an unskippable wait runs on past the click", 1, 0, 1, 3, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings()[kSettingNoFadeAfterLoad] = c.setting;
    TobBuilder builder;
    builder.Command(119, {TobOperand::String("SE\\1.PCM"), TobOperand::Value(0), TobOperand::Value(0),
                          TobOperand::Value(0)});
    builder.Command(125, {TobOperand::Value(0), TobOperand::Value(c.voice_wait), TobOperand::Value(c.skippable)});
    Load(builder);
    World().player = [&](int frame) {
      World().ClickAt(frame, c.click_at);
      if (frame == 8) channels_.StopChannel(8);
    };
    EXPECT_EQ(frame_->RunScript(), 0);
    EXPECT_EQ(World().frames, c.frames);
    EXPECT_FALSE(Playing(8));
    // The last wait of the run leaves its counter: 1 when the reader cut it short.
    EXPECT_EQ(frame_->RepeatCounter(), c.skippable != 0 ? 1u : 0u);
  }
}

TEST_F(SoundCommandsTest, AfterACutShortWaitTheSoundAndMusicWaitsFinishAtOnce) {
  frame_->PlayMusicTrack(3, 0, true);
  g_CurrentBgm = 0;  // the music plays, but no track number is current
  TobBuilder builder;
  builder.Command(119, {TobOperand::String("SE\\1.PCM"), TobOperand::Value(0), TobOperand::Value(0),
                        TobOperand::Value(1)});
  builder.Command(119, {TobOperand::String("SE\\2.PCM"), TobOperand::Value(1), TobOperand::Value(0),
                        TobOperand::Value(0)});
  builder.Command(20, {TobOperand::Value(1000)});
  builder.Command(124, {TobOperand::Value(0), TobOperand::Value(1), TobOperand::Value(0), TobOperand::Value(1)});
  builder.Command(125, {TobOperand::Value(1), TobOperand::Value(0), TobOperand::Value(1)});
  builder.Command(117, {TobOperand::Value(1)});
  Load(builder);
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  EXPECT_EQ(frame_->RunScript(), 0);
  EXPECT_EQ(World().frames, 2);
  EXPECT_EQ(frame_->RepeatCounter(), 4u);
  EXPECT_FALSE(Playing(8)) << "124 with its stop operand";
  EXPECT_FALSE(frame_->ChannelLooping(8)) << "a stopped loop is not started again by a load";
  EXPECT_FALSE(Playing(9)) << "125";
  EXPECT_FALSE(channels_.IsBgmPlaying()) << "117 without a current track";
}

TEST_F(SoundCommandsTest, AMusicFadeIsWaitedForAndACutShortWaitStopsOnlyMusicWithoutATrack) {
  frame_->PlayMusicTrack(3, 1000, true);
  ASSERT_EQ(channels_.bgm_fade_kind, CSoundChannelManager::kBgmFadeIn);
  EXPECT_EQ(frame_->WaitBgmFade(false), CVovFrame::kWaitDone);
  EXPECT_GE(World().frames, 50);
  EXPECT_TRUE(channels_.IsBgmPlaying());

  // A fade-in cut short leaves the current track playing.
  ASSERT_EQ(PlayBgmTrack(0, 0, false), 0u);
  frame_->PlayMusicTrack(3, 1000, true);
  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 2); };
  EXPECT_EQ(frame_->WaitBgmFade(true), CVovFrame::kWaitCutShort);
  EXPECT_TRUE(channels_.IsBgmPlaying());
  // A fade-out to no track, cut short, stops the music at once.
  frame_->PlayMusicTrack(0, 1000, false);
  EXPECT_TRUE(channels_.IsBgmPlaying());
  World().Mouse(false);
  World().frames = 0;
  World().player = [&](int frame) { World().ClickAt(frame, 4); };
  EXPECT_EQ(frame_->WaitBgmFade(true), CVovFrame::kWaitCutShort);
  EXPECT_FALSE(channels_.IsBgmPlaying());
}

TEST_F(SoundCommandsTest, TheVoiceOpcodeStopsThePlayingVoiceFirstWhenGoingOnStopsVoices) {
  for (const std::uint8_t setting : {std::uint8_t{1}, std::uint8_t{0}}) {
    SCOPED_TRACE(setting);
    Settings()[kSettingClickStopsVoice] = setting;
    Settings()[kSettingVoicesOn] = 1;
    ASSERT_EQ(frame_->PlayVoice("V01", false), 0);
    Settings()[kSettingVoicesOn] = 0;  // the new voice does not play: what is left is the old one
    TobBuilder builder;
    builder.Command(126, {TobOperand::String("V01"), TobOperand::Value(0)});
    EXPECT_EQ(Run(builder), 0) << "a voice that does not play lets the scenario go on";
    EXPECT_EQ(Playing(kVoice), setting == 0);
  }
}

}  // namespace

// The settings screen runs the frame's passes, so the music lowered under a voice holds while the
// voice plays there and comes back up once it has ended, as it does on the page.
TEST_F(SoundCommandsTest, MusicLoweredUnderAVoiceComesBackUpWhileTheSettingsScreenIsOpen) {
  constexpr std::int32_t kSettingsButton = 8;
  constexpr int kScreenPasses = 200;
  // A second into the screen, the lowering long done; then a second's wait and a second's rise.
  constexpr int kVoiceEnds = 50;
  ASSERT_EQ(frame_->PreparePage(false), 0);
  std::string script = ".kind script\n";
  for (int pass = 0; pass < kScreenPasses; ++pass) script += "  Yield\n";
  game_.WriteFile("SCRIPT/Config1.SOB", sob_test::AsText(sob_test::Assemble(script + "  Return\n").bytes));
  frame_->PlayMusicTrack(3, 0, true);
  channels_.SetBgmVolume(-1, 150, true);
  Settings()[kSettingVoicesOn] = 1;
  Settings()[kSettingDuckMusicForVoices] = 1;
  ASSERT_EQ(frame_->PlayVoice("V01", false), 0);

  const int opened = World().frames;
  std::int32_t under_the_voice = -1;
  World().player = [&](int frame) {
    if (frame != opened + kVoiceEnds) return;
    under_the_voice = channels_.GetBgmLevel();
    channels_.StopChannel(kVoice);
  };
  EXPECT_EQ(frame_->HandleSystemButton(kSettingsButton), CVovFrame::kCommandDone);
  World().player = nullptr;
  EXPECT_GE(World().frames, opened + kScreenPasses) << "the screen ran its passes";
  EXPECT_EQ(under_the_voice, 75) << "lowered by half while the voice plays";
  EXPECT_EQ(channels_.GetBgmLevel(), 150) << "back up before the screen closed";
}
