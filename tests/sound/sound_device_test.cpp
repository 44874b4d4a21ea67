// The sound device and output on a fake backend: the cooperative levels, the codes of a failed
// creation, the primary format from a rate code, the device list and the buffer list.
#include <gtest/gtest.h>

#include <memory>

#include "platform/encoding/text_encoding.h"
#include "sound/sound_device_list.h"
#include "sound/sound_output.h"
#include "support/fake_audio_backend.h"
#include "support/test_sound_buffer.h"

namespace {

constexpr plat::WindowId kWindow = 7;

TEST(SoundDeviceTest, CreateOpensAtThePriorityLevelWithTheBufferOptions) {
  FakeAudioBackend backend;
  CSoundOutput output;
  ASSERT_EQ(output.Create(kWindow, true, false, nullptr), CSoundDevice::kCreated);
  EXPECT_NE(output.GetDirectSound(), nullptr);
  EXPECT_EQ(output.GetWindow(), kWindow);
  EXPECT_EQ(output.GetCooperativeLevel(), plat::DSSCL_PRIORITY);
  EXPECT_EQ(output.GetBufferOptionFlags(), plat::DSBCAPS_GLOBALFOCUS);
  EXPECT_EQ(output.GetThreadPriorityIndex(), 2);
  output.Release();
  EXPECT_EQ(output.GetDirectSound(), nullptr);
  EXPECT_EQ(output.GetWindow(), 0u);
  EXPECT_EQ(output.GetCooperativeLevel(), 0);
}

TEST(SoundDeviceTest, EveryFailedStepOfCreateHasItsCodeAndLeavesTheDeviceReleased) {
  struct Case {
    bool make_devices;
    bool fail_initialize;
    bool refuse_levels;
    uint32_t code;
  };
  for (const Case& c : {Case{false, false, false, CSoundDevice::kNoDeviceObject},
                        Case{true, true, false, CSoundDevice::kInitializeFailed},
                        Case{true, false, true, CSoundDevice::kNoCooperativeLevel}}) {
    FakeAudioBackend backend;
    backend.make_devices = c.make_devices;
    backend.fail_initialize = c.fail_initialize;
    backend.refuse_priority_level = backend.refuse_normal_level = c.refuse_levels;
    CSoundOutput output;
    EXPECT_EQ(output.Create(kWindow, true, true, nullptr), c.code);
    EXPECT_EQ(output.GetDirectSound(), nullptr);
    EXPECT_EQ(output.GetCooperativeLevel(), 0);
    // Initialize creates the missing device and hands on the same code.
    EXPECT_EQ(output.Initialize(kWindow, true, true, nullptr, 2, 44, 16), static_cast<int32_t>(c.code));
  }
}

TEST(SoundDeviceTest, ADeviceThatRefusesThePriorityLevelOpensAtTheNormalOneWithoutAPrimaryFormat) {
  FakeAudioBackend backend;
  backend.refuse_priority_level = true;
  CSoundOutput output;
  EXPECT_EQ(output.Initialize(kWindow, false, false, nullptr, 2, 22, 16), CSoundOutput::kBelowPriorityLevel);
  EXPECT_NE(output.GetDirectSound(), nullptr);
  EXPECT_EQ(output.GetCooperativeLevel(), plat::DSSCL_NORMAL);
  EXPECT_EQ(output.GetPrimaryBuffer(), nullptr);
}

TEST(SoundDeviceTest, TheRateCodeAndSampleShapeGiveThePrimaryFormat) {
  struct Case {
    uint8_t channels;
    int32_t rate_code;
    uint16_t bits;
    uint32_t rate;
    uint16_t block_align;
    uint32_t bytes_per_second;
  };
  FakeAudioBackend backend;
  CSoundOutput output;
  for (const Case& c : {Case{2, 22, 16, 22050, 4, 88200}, Case{1, 8, 8, 8000, 1, 8000}, Case{2, 11, 8, 11025, 2, 22050},
                        Case{2, 44, 16, 44100, 4, 176400}, Case{1, 32000, 16, 32000, 2, 64000}}) {
    ASSERT_EQ(output.Initialize(kWindow, false, false, nullptr, c.channels, c.rate_code, c.bits), 0) << c.rate_code;
    plat::WaveFormat format;
    ASSERT_EQ(output.GetPrimaryBuffer()->GetFormat(&format), plat::DS_OK);
    EXPECT_EQ(format.channels, c.channels);
    EXPECT_EQ(format.samples_per_sec, c.rate);
    EXPECT_EQ(format.bits_per_sample, c.bits);
    EXPECT_EQ(format.block_align, c.block_align);
    EXPECT_EQ(format.avg_bytes_per_sec, c.bytes_per_second);
  }
  EXPECT_EQ(output.Initialize(kWindow, false, false, nullptr, 2, 44, 24), CSoundOutput::kFormatRefused);
}

TEST(SoundDeviceTest, TheSilentBufferIsPlayedOnlyByAnOpenDeviceForABuffer) {
  FakeAudioBackend backend;
  CSoundOutput output;
  ASSERT_EQ(output.Create(kWindow, false, false, nullptr), 0u);
  CTestSoundBuffer playing(output);
  playing.Play();
  EXPECT_EQ(output.PlaySilentBuffer(nullptr), 1u);
  EXPECT_EQ(output.PlaySilentBuffer(playing.GetInterface()), 0u);
  CSoundOutput unopened;
  EXPECT_EQ(unopened.PlaySilentBuffer(playing.GetInterface()), 1u);
}

TEST(SoundDeviceListTest, TheDefaultDeviceComesFirstThenEveryOutputWithItsGuid) {
  FakeAudioBackend backend;
  backend.outputs = plat::AudioOutputList{"pulseaudio", {"Speakers", "ヘッドホン"}};
  ASSERT_EQ(EnumSoundDevices(), 0);
  ASSERT_EQ(g_SoundDeviceList.size(), 3u);
  EXPECT_FALSE(g_SoundDeviceList[0].guid.has_value());
  EXPECT_EQ(g_SoundDeviceList[1].guid, plat::GuidOfAudioOutput("Speakers"));
  EXPECT_EQ(g_SoundDeviceList[1].description, "Speakers");
  EXPECT_EQ(g_SoundDeviceList[1].module_name, "pulseaudio");
  EXPECT_EQ(g_SoundDeviceList[2].description, plat::Utf8ToSjis("ヘッドホン"));
  { CSoundDevice device; }
  EXPECT_TRUE(g_SoundDeviceList.empty());

  for (const auto& none : {std::optional<plat::AudioOutputList>{}, std::optional(plat::AudioOutputList{"alsa", {}})}) {
    backend.outputs = none;
    EXPECT_EQ(EnumSoundDevices(), -1);
    EXPECT_TRUE(g_SoundDeviceList.empty());
  }
}

TEST(SoundOutputTest, TheListOwnsItsBuffersAndActsOnAllOfThem) {
  FakeAudioBackend backend;
  CSoundOutput output;
  ASSERT_EQ(output.Create(kWindow, false, false, nullptr), 0u);
  auto first = std::make_unique<CTestSoundBuffer>(output);
  auto second = std::make_unique<CTestSoundBuffer>(output);
  CSoundBuffer* first_in_list = first.get();
  CSoundBuffer* second_in_list = second.get();
  output.AdoptBuffer(std::move(first));
  output.AdoptBuffer(std::move(second));
  second_in_list->PlayLooped();
  output.PauseAll();
  EXPECT_EQ(second_in_list->GetPauseDepth(), 1);
  output.ResumeAll();
  EXPECT_TRUE(second_in_list->IsPlaying(nullptr, nullptr));
  output.StopAll();
  EXPECT_FALSE(second_in_list->IsPlaying(nullptr, nullptr));

  CTestSoundBuffer outside(output);
  EXPECT_EQ(output.DestroyBuffer(nullptr), 1u);
  EXPECT_EQ(output.DestroyBuffer(&outside), 2u);
  EXPECT_EQ(output.DestroyBuffer(first_in_list), 0u);
  EXPECT_EQ(output.GetBufferCount(), 1u);
  output.DestroyAllBuffers();
  EXPECT_EQ(output.GetBufferCount(), 0u);
}

}  // namespace
