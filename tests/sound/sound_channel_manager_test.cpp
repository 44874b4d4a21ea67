// The channel manager's music, channels, volume chain, switches and saved state.
#include "sound/sound_channel_manager.h"

#include <gtest/gtest.h>

#include "platform/encoding/text_encoding.h"
#include "support/sound_channels_fixture.h"

namespace {

using SoundChannelManagerTest = test_support::SoundChannelsTest;

TEST_F(SoundChannelManagerTest, TheSameMusicGoesOnAndSwitchedOffMusicWaitsForTheSwitch) {
  ASSERT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);
  const int decoders = sound_.counters->decoders_made;
  EXPECT_EQ(channels_->PlayBgm("bgm\\old.pcm", nullptr, true), CSoundChannelManager::kSameMusic);
  EXPECT_EQ(sound_.counters->decoders_made, decoders);  // not opened again
  channels_->CurrentBgm().stream.Stop();
  EXPECT_EQ(channels_->PlayBgm("BGM\\OLD.PCM", nullptr, true), 0);  // stopped: it starts again

  channels_->SetBgmEnabled(false, false);
  EXPECT_FALSE(channels_->IsBgmPlaying());
  const int before_off = sound_.counters->decoders_made;
  EXPECT_EQ(channels_->PlayBgm("BGM\\NEW.PCM", "BGM\\INTRO.PCM", false), CSoundChannelManager::kSwitchedOff);
  EXPECT_EQ(sound_.counters->decoders_made, before_off);
  EXPECT_EQ(channels_->SetBgmEnabled(true, false), 0);
  EXPECT_TRUE(channels_->IsBgmPlaying());
  EXPECT_EQ(sound_.counters->decoders_made, before_off + 2);  // the intro and the file
  EXPECT_EQ(channels_->CurrentBgm().stream.GetLength(), 2000u);
  EXPECT_EQ(channels_->PlayBgm(nullptr, nullptr, true), 1);
}

// A name is the same in another case of its one-byte letters, a letter behind half-width katakana
// too (ﾃｽﾄA is the file ﾃｽﾄa); two-byte characters are compared whole (ア 83 41 is not ヂ 83 61).
TEST_F(SoundChannelManagerTest, TheSameMusicIsTheSameNameWithItsOneByteLettersInAnyCase) {
  const struct {
    const char* playing;
    const char* asked;
    int32_t result;
  } cases[] = {
      {"BGM\\\xC3\xBD\xC4" "A.PCM", "bgm\\\xC3\xBD\xC4" "a.pcm", CSoundChannelManager::kSameMusic},
      {"BGM\\\x83\x41.PCM", "BGM\\\x83\x61.PCM", 0},
  };
  for (const char* name : {"BGM/\xC3\xBD\xC4" "A.PCM", "BGM/\x83\x41.PCM", "BGM/\x83\x61.PCM"}) {
    game_.WriteFile(plat::SjisToUtf8(name),
                    test_support::MakeFakePcmFile({16, 1, 22050, std::vector<uint8_t>(44100, 1)}));
  }
  for (const auto& each : cases) {
    ASSERT_EQ(channels_->PlayBgm(each.playing, nullptr, true), 0) << plat::SjisToUtf8(each.playing);
    EXPECT_EQ(channels_->PlayBgm(each.asked, nullptr, true), each.result) << plat::SjisToUtf8(each.asked);
  }
}

TEST_F(SoundChannelManagerTest, TheVolumeChainScalesVoicesByTheVoiceVolumeOnly) {
  ASSERT_EQ(channels_->SetChannelCount(3), 0u);
  EXPECT_EQ(channels_->SetChannelCount(0), 1u);
  EXPECT_EQ(channels_->GetChannelCount(), 3);
  EXPECT_EQ(channels_->SetChannelCount(CSoundChannelManager::kMaxChannels + 1), 1u);
  EXPECT_EQ(channels_->GetChannelCount(), 3);
  ASSERT_EQ(channels_->SetChannelClass(0, CSoundChannelManager::kVoiceClass), 0u);
  ASSERT_EQ(channels_->SetChannelClass(1, CSoundChannelManager::kVoiceClass | CSoundChannelManager::kSoundEffectClass), 0u);
  EXPECT_EQ(channels_->SetChannelClass(2, 8), 2u);
  EXPECT_EQ(channels_->SetChannelClass(3, 1), 1u);
  channels_->SetVoiceVolume(128);
  for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(channels_->LoadChannel(i, "VOICE\\A01.PCM", 0, i == 2), 0u) << i;
  EXPECT_EQ(channels_->GetChannel(0)->buffer.GetVolume(), 128);  // 100, 256, master 256, voice 128
  EXPECT_EQ(channels_->GetChannel(1)->buffer.GetVolume(), 256);  // not a pure voice channel
  EXPECT_EQ(channels_->GetChannel(2)->stream.GetVolume(), 256);

  channels_->SetMasterVolume(128, false);
  ASSERT_EQ(channels_->SetChannelVolume(0, 50, -1), 0u);
  EXPECT_EQ(channels_->GetChannel(0)->buffer.GetVolume(), 32);
  channels_->SetBgmVolume(50, 200, true);
  EXPECT_EQ(channels_->CurrentBgm().stream.GetVolume(), 50);  // 50 x 200 / 100 x 128 / 256

  // A channel whose class is switched off records its loop and starts with the switch.
  channels_->SetChannelClassEnabled(false, CSoundChannelManager::kVoiceClass, false, false);
  EXPECT_EQ(channels_->PlayChannel(0, true), -1);
  EXPECT_FALSE(channels_->IsChannelPlaying(0));
  channels_->SetChannelClassEnabled(true, CSoundChannelManager::kVoiceClass, false, false);
  EXPECT_TRUE(channels_->IsChannelPlaying(0));
}

TEST_F(SoundChannelManagerTest, TheSavedStateRoundTripsAndADamagedOneChangesNothing) {
  ASSERT_EQ(channels_->SetChannelCount(4), 0u);
  ASSERT_EQ(channels_->PlayBgm("BGM\\NEW.PCM", "BGM\\INTRO.PCM", true), 0);
  channels_->SetBgmPan(-300);
  channels_->SetBgmVolume(70, -1, true);
  ASSERT_EQ(channels_->SetChannelClass(0, CSoundChannelManager::kVoiceClass), 0u);
  ASSERT_EQ(channels_->LoadChannel(0, "VOICE\\A01.PCM", CStaticSoundBuffer::kKeepEnvelope, false), 0u);
  ASSERT_EQ(channels_->PlayChannel(0, true), 0);
  ASSERT_EQ(channels_->SetChannelClass(1, CSoundChannelManager::kSecondClass), 0u);
  ASSERT_EQ(channels_->LoadChannel(1, "SE\\HIT.PCM", 0, true), 0u);
  ASSERT_EQ(channels_->PlayChannel(1, false), 0);
  ASSERT_EQ(channels_->SetChannelPan(2, 500), 0u);
  ASSERT_EQ(channels_->SetChannelVolume(2, 30, -1), 0u);

  ByteWriter out;
  ASSERT_EQ(channels_->SaveState(out), 0u);
  EXPECT_EQ(out.Size(), channels_->GetSaveSize());
  const std::vector<uint8_t> state = out.Take();

  // Every cut of the state is refused before anything changes.
  for (std::size_t size = 0; size < state.size(); ++size) {
    ByteReader cut{std::span<const uint8_t>(state).first(size)};
    ASSERT_EQ(channels_->RestoreState(cut), 1u) << size;
  }
  EXPECT_EQ(channels_->GetChannelCount(), 4);
  EXPECT_TRUE(channels_->IsBgmPlaying());
  EXPECT_TRUE(channels_->IsChannelPlaying(0));

  CSoundChannelManager restored;
  ASSERT_EQ(restored.SetChannelCount(9), 0u);
  ByteReader in(state);
  ASSERT_EQ(restored.RestoreState(in), 0u);
  EXPECT_EQ(in.Left(), 0u);
  EXPECT_EQ(restored.CurrentBgm().file, "BGM\\NEW.PCM");
  EXPECT_EQ(restored.CurrentBgm().intro, "BGM\\INTRO.PCM");
  EXPECT_TRUE(restored.CurrentBgm().loop);
  EXPECT_EQ(restored.CurrentBgm().volume, 70);
  EXPECT_EQ(restored.GetBgmPan(), -300);
  EXPECT_TRUE(restored.IsBgmPlaying());
  ASSERT_EQ(restored.GetChannelCount(), 4);
  const SoundChannel& voice = *restored.GetChannel(0);
  EXPECT_EQ(voice.sound_class, CSoundChannelManager::kVoiceClass);
  EXPECT_EQ(voice.play_state, SoundChannel::kPlayedLooped);
  EXPECT_EQ(voice.buffer.GetSampleWidth(), 2);
  EXPECT_TRUE(restored.IsChannelPlaying(0));
  const SoundChannel& streamed = *restored.GetChannel(1);
  EXPECT_EQ(streamed.sound_class, CSoundChannelManager::kSecondClass);
  EXPECT_TRUE(streamed.IsStreamed());
  EXPECT_EQ(streamed.file, "SE\\HIT.PCM");
  EXPECT_FALSE(restored.IsChannelPlaying(1));  // played once: not started again
  EXPECT_EQ(restored.GetChannel(2)->pan, 500);
  EXPECT_EQ(restored.GetChannel(2)->volume, 30);
  EXPECT_EQ(restored.GetChannel(2)->active, nullptr);
  ByteWriter again;
  restored.SaveState(again);
  EXPECT_EQ(again.Data(), state);
}

}  // namespace
