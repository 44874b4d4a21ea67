// The static buffer and the buffer list over sounds whose every byte the test wrote, heard
// through a device mixed by hand.
#include "sound/static_sound_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sound/sound_output.h"
#include "sound/stream_sound_buffer.h"
#include "support/data_files_fixture.h"
#include "support/fake_audio_backend.h"
#include "support/fake_pcm_decoder.h"

namespace {

using test_support::FakePcm;

constexpr uint32_t kRate = plat::AudioDevice::kDefaultRate;  // one sample per output frame

// Mono 16-bit PCM whose sample i is i * 3 - 20000, so that every position shows.
std::vector<uint8_t> Ramp16(uint32_t frames) {
  std::vector<uint8_t> pcm(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<uint16_t>(static_cast<int16_t>(i * 3 % 40000 - 20000));
    pcm[2 * i] = static_cast<uint8_t>(sample);
    pcm[2 * i + 1] = static_cast<uint8_t>(sample >> 8);
  }
  return pcm;
}

int16_t Ramp16At(uint32_t i) { return static_cast<int16_t>(i * 3 % 40000 - 20000); }

class StaticSoundBufferTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(output_.Create(0, false, false, nullptr), CSoundDevice::kCreated);
    g_SoundBufferDevice = &output_;
    g_SoundDecoderManager = &host_;
    test_support::RegisterFakePcmProvider(host_, counters_);
  }
  void TearDown() override {
    output_.DestroyAllBuffers();
    buffer_.Release();
    g_SoundDecoderManager = saved_host_;
    g_SoundBufferDevice = saved_device_;
    DataFilesTest::TearDown();
  }

  void WriteSound(const char* name, const FakePcm& sound) { game_.WriteFile(name, test_support::MakeFakePcmFile(sound)); }

  // The left channel of the next `frames` output frames.
  std::vector<int16_t> Hear(uint32_t frames) {
    std::vector<int16_t> mix(2 * frames);
    backend_.last_device->Mix(mix.data(), frames);
    std::vector<int16_t> left(frames);
    for (uint32_t i = 0; i < frames; ++i) left[i] = mix[2 * i];
    return left;
  }

  FakeAudioBackend backend_;
  CSoundOutput output_;
  CSoundDecoderManager host_;
  std::shared_ptr<test_support::FakePcmCounters> counters_ = std::make_shared<test_support::FakePcmCounters>();
  CSoundDecoderManager* saved_host_ = g_SoundDecoderManager;
  CSoundDevice* saved_device_ = g_SoundBufferDevice;
  CStaticSoundBuffer buffer_;
};

TEST_F(StaticSoundBufferTest, TheBufferPlaysExactlyTheDecodedPcmAndLoadingItAgainDecodesNothing) {
  WriteSound("SE/HIT.PCM", {16, 1, kRate, Ramp16(4410)});
  ASSERT_EQ(buffer_.Load("se\\hit.pcm", CStaticSoundBuffer::kKeepSamples), 0);
  EXPECT_EQ(buffer_.GetDataSize(), 8820u);
  EXPECT_EQ(buffer_.GetLength(), 100u);
  EXPECT_EQ(buffer_.GetSample(2 * 1234), Ramp16At(1234));
  EXPECT_EQ(buffer_.GetSample(8819), 0);  // half a sample before the end

  ASSERT_EQ(buffer_.Play(), 0u);
  const std::vector<int16_t> heard = Hear(4410 + 10);
  for (uint32_t i = 0; i < 4410; ++i) ASSERT_EQ(heard[i], Ramp16At(i)) << i;
  EXPECT_TRUE(std::all_of(heard.begin() + 4410, heard.end(), [](int16_t s) { return s == 0; }));
  EXPECT_FALSE(buffer_.IsPlaying(nullptr, nullptr));

  EXPECT_EQ(buffer_.Load("se\\hit.pcm", CStaticSoundBuffer::kPlain), 0);
  EXPECT_EQ(counters_->decoders_made, 1);
  EXPECT_EQ(buffer_.GetSample(2 * 1234), Ramp16At(1234));
}

TEST_F(StaticSoundBufferTest, FailedLoadsLeaveTheBufferEmpty) {
  WriteSound("SILENT.PCM", {16, 1, kRate, {}, 400});
  WriteSound("DEEP.PCM", {24, 1, kRate, std::vector<uint8_t>(300)});
  EXPECT_EQ(buffer_.Load("MISSING.PCM", 0), CStaticSoundBuffer::kNotFound);
  EXPECT_EQ(buffer_.Load("SILENT.PCM", 0), CStaticSoundBuffer::kNothingDecoded);
  EXPECT_EQ(buffer_.Load("DEEP.PCM", 0), CStaticSoundBuffer::kBufferFailed);
  EXPECT_EQ(buffer_.GetInterface(), nullptr);
  EXPECT_TRUE(buffer_.GetFileName().empty());
  EXPECT_EQ(buffer_.Play(), 1u);
}

TEST_F(StaticSoundBufferTest, TheEnvelopeOf8BitSamplesHoldsEachBlocksMeanLoudness) {
  // Blocks of 32 samples swinging by 0, 10, 100 and 50 round the middle, then a short tail.
  std::vector<uint8_t> pcm;
  for (const int swing : {0, 10, 100, 50}) {
    for (int i = 0; i < 32; ++i) pcm.push_back(static_cast<uint8_t>(128 + (i % 2 == 0 ? swing : -swing)));
  }
  pcm.insert(pcm.end(), {128, 138, 228});
  WriteSound("VOICE.PCM", {8, 1, kRate, pcm});
  ASSERT_EQ(buffer_.Load("VOICE.PCM", CStaticSoundBuffer::kKeepEnvelope), 0);

  const int unscaled[] = {0, 20, 200, 100};
  // The peak is 100, so a swing of a quarter of it already gives the top of the scale.
  const int scaled[] = {0, 1, 3, 3};
  for (uint32_t offset = 0; offset < 128; ++offset) {
    ASSERT_EQ(buffer_.GetAmplitude(offset, 0), unscaled[offset / 32]) << offset;
    ASSERT_EQ(buffer_.GetAmplitude(offset, 4), scaled[offset / 32]) << offset;
    ASSERT_EQ(buffer_.GetAmplitude(offset, 200), std::min(unscaled[offset / 32] / 2 * 200 / 25, 199)) << offset;
  }
  EXPECT_EQ(buffer_.GetAmplitude(129, 0), 20);  // the tail stays as decoded
  EXPECT_EQ(buffer_.GetAmplitude(131, 0), 0);   // past the data

  // 16-bit: the loudest blocks reach the top of the scale and never pass it.
  const std::vector<uint8_t> ramp = Ramp16(3200);
  WriteSound("VOICE16.PCM", {16, 1, kRate, ramp});
  ASSERT_EQ(buffer_.Load("VOICE16.PCM", CStaticSoundBuffer::kKeepEnvelope), 0);
  int highest = -1;
  for (uint32_t offset = 0; offset < ramp.size(); ++offset) highest = std::max(highest, buffer_.GetAmplitude(offset, 4));
  EXPECT_EQ(highest, 3);
}

TEST_F(StaticSoundBufferTest, ASeekBeforePlayStartsThereAndPlayAloneStartsAtZero) {
  WriteSound("BGM.PCM", {16, 1, kRate, Ramp16(kRate)});
  ASSERT_EQ(buffer_.Load("BGM.PCM", 0), 0);
  EXPECT_EQ(buffer_.Pause(), 2u);
  ASSERT_EQ(buffer_.Seek(500), 0u);
  ASSERT_EQ(buffer_.Play(), 0u);
  EXPECT_EQ(Hear(1)[0], Ramp16At(kRate / 2));
  EXPECT_EQ(buffer_.Seek(250), 0u);  // a playing sound jumps at once
  EXPECT_EQ(Hear(1)[0], Ramp16At(kRate / 4));
  EXPECT_EQ(buffer_.GetPosition(), 250);

  EXPECT_EQ(buffer_.Pause(), 0u);
  EXPECT_EQ(buffer_.Pause(), 0u);
  EXPECT_EQ(buffer_.Resume(), 0u);
  EXPECT_FALSE(buffer_.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(buffer_.Resume(), 0u);
  EXPECT_EQ(Hear(1)[0], Ramp16At(kRate / 4 + 1));

  ASSERT_EQ(buffer_.Play(), 0u);
  EXPECT_EQ(Hear(1)[0], Ramp16At(0));
  EXPECT_EQ(buffer_.Seek(1000), 3u);
}

TEST_F(StaticSoundBufferTest, TheListKeepsOnlyBuffersThatLoadedWithEveryControl) {
  WriteSound("SE.PCM", {16, 1, kRate, Ramp16(1000)});
  CStaticSoundBuffer* made = nullptr;
  ASSERT_EQ(output_.CreateStaticBuffer(&made, "SE.PCM", CStaticSoundBuffer::kPlain), 0);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(output_.GetBufferCount(), 1u);

  CStaticSoundBuffer* duplicate = nullptr;
  ASSERT_EQ(output_.DuplicateBuffer(&duplicate, made), 0);
  EXPECT_EQ(duplicate->GetDataSize(), 2000u);
  ASSERT_EQ(duplicate->Play(), 0u);
  EXPECT_EQ(Hear(1)[0], Ramp16At(0));
  EXPECT_EQ(output_.DuplicateBuffer(&duplicate, nullptr), 1);
  EXPECT_EQ(duplicate, nullptr);

  CStreamSoundBuffer* stream = nullptr;
  EXPECT_EQ(output_.CreateStreamBuffer(&stream, "MISSING.PCM", nullptr), 2);
  ASSERT_EQ(output_.CreateStreamBuffer(&stream, "SE.PCM", nullptr), 0);
  EXPECT_TRUE(stream->IsStream());
  EXPECT_EQ(output_.GetBufferCount(), 3u);

  backend_.refused_buffer_flags = plat::DSBCAPS_CTRLPAN;
  EXPECT_EQ(output_.CreateStaticBuffer(&made, "SE.PCM", 0), CStaticSoundBuffer::kVolumeControlOnly);
  EXPECT_EQ(made, nullptr);
  EXPECT_EQ(output_.CreateStreamBuffer(&stream, "SE.PCM", nullptr), -1);
  backend_.refused_buffer_flags = plat::DSBCAPS_CTRLVOLUME;
  EXPECT_EQ(output_.CreateStaticBuffer(&made, "SE.PCM", 0), CStaticSoundBuffer::kBufferFailed);
  EXPECT_EQ(output_.GetBufferCount(), 3u);

  // A buffer loaded outside the list with reduced controls is usable all the same.
  backend_.refused_buffer_flags = plat::DSBCAPS_CTRLPAN;
  EXPECT_EQ(buffer_.Load("SE.PCM", 0), CStaticSoundBuffer::kVolumeControlOnly);
  EXPECT_EQ(buffer_.SetPan(100), 2u);
  EXPECT_EQ(buffer_.SetVolume(128), 0);
}

}  // namespace
