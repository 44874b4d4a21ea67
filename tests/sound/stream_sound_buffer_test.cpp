// The streaming buffer over ramp decoders, mixed by hand with the worker's cycles stepped by
// the test after each slice of output.
#include "sound/stream_sound_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "resource/plugins/sound_decoder_manager.h"
#include "sound/sound_output.h"
#include "support/data_files_fixture.h"
#include "support/fake_audio_backend.h"

namespace {

constexpr uint32_t kRate = plat::AudioDevice::kDefaultRate;  // one ring frame per output frame

// Sample i of a ramp: intros count up, looping parts count down, so that a join shows.
int16_t RampSample(char kind, uint32_t i) {
  return static_cast<int16_t>(kind == 'i' ? i % 20000 : -1 - static_cast<int32_t>(i % 20000));
}

// Mono 16-bit PCM of a ramp described by its file: "<kind> <frames> <rate>".
class RampDecoder final : public CSoundDecoder {
 public:
  RampDecoder(char kind, uint32_t frames, uint32_t rate) : kind_(kind), frames_(frames) {
    format_ = {plat::WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
  }
  uint32_t GetLength() const override { return static_cast<uint32_t>(uint64_t{frames_} * 1000 / format_.samples_per_sec); }
  uint32_t GetDataSize() const override { return frames_ * 2; }
  uint32_t Seek(uint32_t ms) override {
    position_ = static_cast<uint32_t>(uint64_t{ms} * format_.samples_per_sec / 1000);
    end_ = false;
    return 0;
  }
  uint32_t GetPosition() const override { return 0; }
  bool IsEnd() const override { return end_; }
  uint32_t Read(void* buffer, uint32_t count) override {
    const uint32_t wanted = count / 2;
    const uint32_t frames = std::min(wanted, frames_ - position_);
    auto* out = static_cast<int16_t*>(buffer);
    for (uint32_t i = 0; i < frames; ++i) out[i] = RampSample(kind_, position_ + i);
    position_ += frames;
    if (frames < wanted) end_ = true;
    return frames * 2;
  }
  const plat::WaveFormat* GetFormat() const override { return &format_; }

 private:
  char kind_;
  uint32_t frames_;
  uint32_t position_ = 0;
  bool end_ = false;
  plat::WaveFormat format_;
};

class RampProvider final : public CSoundDecoderProvider {
 public:
  RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) override {
    std::string text(file.GetSize(), '\0');
    file.Read(text.data(), file.GetSize());
    std::istringstream fields(text);
    char kind = 0;
    uint32_t frames = 0;
    uint32_t rate = 0;
    fields >> kind >> frames >> rate;
    if (error != nullptr) *error = 0;
    return MakeRef<RampDecoder>(kind, frames, rate);
  }
};

// A stream whose worker the test runs by hand.
class SteppedStream : public CStreamSoundBuffer {
 public:
  using CStreamSoundBuffer::CStreamSoundBuffer;
  using CStreamSoundBuffer::BeginCycles;
  using CStreamSoundBuffer::Cycle;
  using CStreamSoundBuffer::RunCycle;

 private:
  uint32_t StartWorker() override { return 0; }
};

class StreamSoundBufferTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(output_.Create(0, false, false, nullptr), CSoundDevice::kCreated);
    saved_host_ = g_SoundDecoderManager;
    g_SoundDecoderManager = &host_;
    host_.RegisterDecoder(DecoderPtr<SllFamily>(new RampProvider), "RMP\0", "ramp", 9, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    stream_.Close();
    g_SoundDecoderManager = saved_host_;
    g_SoundBufferDevice = saved_device_;
    DataFilesTest::TearDown();
  }

  void WriteRamp(const char* name, char kind, uint32_t frames, uint32_t rate = kRate) {
    game_.WriteFile(name, std::string(1, kind) + " " + std::to_string(frames) + " " + std::to_string(rate));
  }

  // Mixes `frames` output frames in slices of 100 ms, running the worker's cycles after each;
  // returns the left channel. `ended` is set once the worker ended by itself.
  std::vector<int16_t> Drive(uint32_t frames) {
    std::vector<int16_t> left;
    std::vector<int16_t> slice(2 * kRate / 10);
    while (left.size() < frames) {
      backend_.last_device->Mix(slice.data(), kRate / 10);
      for (size_t i = 0; i < slice.size(); i += 2) left.push_back(slice[i]);
      while (!ended_) {
        const SteppedStream::Cycle cycle = stream_.RunCycle();
        if (cycle == SteppedStream::Cycle::kEnd) ended_ = true;
        if (cycle != SteppedStream::Cycle::kAgain) break;
      }
    }
    left.resize(frames);
    return left;
  }

  FakeAudioBackend backend_;
  CSoundOutput output_;
  CSoundDecoderManager host_;
  CSoundDecoderManager* saved_host_ = nullptr;
  CSoundDevice* saved_device_ = g_SoundBufferDevice;
  SteppedStream stream_{&output_};
  bool ended_ = false;
};

TEST_F(StreamSoundBufferTest, ASoundShorterThanTheFirstFillPlaysOnceThenSilenceAndStops) {
  WriteRamp("se.rmp", 'i', 30000);
  ASSERT_EQ(stream_.Open("se.rmp", nullptr), 0);
  ASSERT_EQ(stream_.Play(), 0u);
  stream_.BeginCycles();
  const std::vector<int16_t> heard = Drive(kRate * 5);
  for (uint32_t i = 0; i < 30000; ++i) ASSERT_EQ(heard[i], RampSample('i', i)) << i;
  EXPECT_TRUE(std::all_of(heard.begin() + 30000, heard.end(), [](int16_t s) { return s == 0; }));
  EXPECT_TRUE(ended_);
  EXPECT_FALSE(stream_.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(stream_.GetPosition(), 0);
}

TEST_F(StreamSoundBufferTest, AnIntroLeadsIntoALoopingPartWithoutAGap) {
  const uint32_t intro = kRate * 3;
  const uint32_t loop = kRate * 2;
  WriteRamp("intro.rmp", 'i', intro);
  WriteRamp("loop.rmp", 'l', loop);
  ASSERT_EQ(stream_.Open("intro.rmp", "loop.rmp"), 0);
  EXPECT_EQ(stream_.GetLength(), 5000u);
  ASSERT_EQ(stream_.PlayLooped(), 0u);
  stream_.BeginCycles();
  const uint32_t heard_frames = intro + 2 * loop + kRate / 2;
  const std::vector<int16_t> heard = Drive(heard_frames);
  for (uint32_t i = 0; i < heard_frames; ++i) {
    const int16_t expected = i < intro ? RampSample('i', i) : RampSample('l', (i - intro) % loop);
    ASSERT_EQ(heard[i], expected) << i;
  }
  // The position counts from the intro and wraps into the looping part only.
  EXPECT_EQ(stream_.GetPosition(), 3500);
  EXPECT_FALSE(ended_);
}

TEST_F(StreamSoundBufferTest, OpenRefusesPartsOfDifferentByteRates) {
  WriteRamp("intro.rmp", 'i', 1000);
  WriteRamp("slow.rmp", 'l', 1000, 22050);
  EXPECT_EQ(stream_.Open("intro.rmp", "slow.rmp"), 4);
  EXPECT_EQ(stream_.GetInterface(), nullptr);
  EXPECT_EQ(stream_.Open("missing.rmp", nullptr), 2);
  EXPECT_EQ(stream_.Open("intro.rmp", "missing.rmp"), 3);
  EXPECT_EQ(stream_.GetPosition(), -1);
}

TEST_F(StreamSoundBufferTest, PausesNestAndTheLastResumePlaysOn) {
  WriteRamp("bgm.rmp", 'i', kRate * 10);
  ASSERT_EQ(stream_.Open("bgm.rmp", nullptr), 0);
  EXPECT_EQ(stream_.Pause(), 3u);
  ASSERT_EQ(stream_.Play(), 0u);
  stream_.BeginCycles();
  Drive(kRate);
  EXPECT_EQ(stream_.Pause(), 0u);
  EXPECT_EQ(stream_.Pause(), 0u);
  EXPECT_EQ(stream_.Resume(), 0u);
  EXPECT_FALSE(stream_.IsPlaying(nullptr, nullptr));
  Drive(kRate / 2);
  EXPECT_EQ(stream_.GetPosition(), 1000);
  EXPECT_EQ(stream_.Resume(), 0u);
  EXPECT_TRUE(stream_.IsPlaying(nullptr, nullptr));
  const std::vector<int16_t> heard = Drive(kRate / 10);
  EXPECT_EQ(heard[0], RampSample('i', kRate));
  EXPECT_EQ(stream_.Resume(), 2u);
}

TEST_F(StreamSoundBufferTest, ASeekIntoTheLoopingPartPlaysFromThere) {
  WriteRamp("intro.rmp", 'i', kRate);
  WriteRamp("loop.rmp", 'l', kRate * 2);
  ASSERT_EQ(stream_.Open("intro.rmp", "loop.rmp"), 0);
  ASSERT_EQ(stream_.Seek(1500), 0u);
  EXPECT_EQ(stream_.GetPosition(), 1500);
  ASSERT_EQ(stream_.Play(), 0u);
  stream_.BeginCycles();
  const std::vector<int16_t> heard = Drive(kRate / 10);
  EXPECT_EQ(heard[0], RampSample('l', kRate / 2));
  EXPECT_EQ(heard[kRate / 10 - 1], RampSample('l', kRate / 2 + kRate / 10 - 1));
}

TEST_F(StreamSoundBufferTest, StopEndsAWaitingWorkerAndRewinds) {
  WriteRamp("bgm.rmp", 'i', kRate * 10);
  CStreamSoundBuffer stream(&output_);
  ASSERT_EQ(stream.Open("bgm.rmp", nullptr), 0);
  ASSERT_EQ(stream.PlayLooped(), 0u);
  backend_.last_device->Mix(std::vector<int16_t>(2 * kRate).data(), kRate);
  EXPECT_TRUE(stream.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(stream.Stop(), 0u);
  EXPECT_FALSE(stream.IsPlaying(nullptr, nullptr));
  EXPECT_EQ(stream.GetPosition(), 0);
  // Playing again starts over from the first sample.
  ASSERT_EQ(stream.Play(), 0u);
  std::vector<int16_t> slice(2);
  backend_.last_device->Mix(slice.data(), 1);
  EXPECT_EQ(slice[0], RampSample('i', 0));
}

}  // namespace
