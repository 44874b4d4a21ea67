// The movie sound stream on a manual device: sound goes to the output at the position its stamp
// gives, across gaps and overlaps; playing waits for the first period; a full ring
// takes part of a block; an underrun is counted and the sound after it keeps its place; pause and
// flush move the played position as the movie's clock needs.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sound/movie_sound_stream.h"
#include "support/fake_sound_system.h"
#include "support/log_capture.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int64_t kTenth = kRate / 10;

// Every sample frame of the movie's sound says where it belongs: both samples are its position,
// counted from 1 so that silence is told apart.
int16_t ValueAt(int64_t position) { return static_cast<int16_t>(position % 30000 + 1); }

std::vector<uint8_t> Sound(int64_t from, int64_t frames) {
  std::vector<uint8_t> pcm(static_cast<size_t>(frames) * 4);
  for (int64_t i = 0; i < frames; ++i) {
    const int16_t value = ValueAt(from + i);
    for (int channel = 0; channel < 2; ++channel) {
      pcm[static_cast<size_t>(i) * 4 + 2 * static_cast<size_t>(channel)] = static_cast<uint8_t>(value & 0xFF);
      pcm[static_cast<size_t>(i) * 4 + 2 * static_cast<size_t>(channel) + 1] = static_cast<uint8_t>(value >> 8);
    }
  }
  return pcm;
}

class MovieSoundStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stream_ = CMovieSoundStream::Open(kRate, 2);
    ASSERT_NE(stream_, nullptr);
  }

  uint32_t Write(int64_t at, int64_t frames) {
    const std::vector<uint8_t> pcm = Sound(at, frames);
    return stream_->Write(at, pcm.data(), static_cast<uint32_t>(pcm.size()));
  }

  // The left samples of `frames` more frames of the device's output.
  std::vector<int16_t> Mix(int64_t frames) {
    std::vector<int16_t> out(2 * static_cast<size_t>(frames));
    sound_.backend.last_device->Mix(out.data(), static_cast<uint32_t>(frames));
    std::vector<int16_t> left(static_cast<size_t>(frames));
    for (size_t i = 0; i < left.size(); ++i) left[i] = out[2 * i];
    return left;
  }

  // Frames of `out` that are not the sound of the positions from `from` on.
  static int64_t Misplaced(const std::vector<int16_t>& out, int64_t from) {
    int64_t wrong = 0;
    for (size_t i = 0; i < out.size(); ++i) wrong += out[i] != ValueAt(from + static_cast<int64_t>(i)) ? 1 : 0;
    return wrong;
  }

  static int64_t Loud(const std::vector<int16_t>& out) {
    int64_t loud = 0;
    for (const int16_t sample : out) loud += sample != 0 ? 1 : 0;
    return loud;
  }

  test_support::FakeSoundSystem sound_;
  LogCapture log_;
  std::unique_ptr<CMovieSoundStream> stream_;
};

TEST_F(MovieSoundStreamTest, PlayingWaitsForTheFirstPeriodThenEverySampleSoundsAtItsPosition) {
  stream_->SetPlaying(true);
  EXPECT_EQ(Write(0, kTenth / 2), kTenth / 2 * 4);
  EXPECT_EQ(Loud(Mix(kTenth)), 0) << "half a period is not enough to start";
  EXPECT_EQ(stream_->Position(), 0);
  EXPECT_EQ(Write(kTenth / 2, kTenth + kTenth / 2), (kTenth + kTenth / 2) * 4);
  const std::vector<int16_t> out = Mix(2 * kTenth);
  EXPECT_EQ(Misplaced(out, 0), 0);
  EXPECT_EQ(stream_->Position(), 2 * kTenth);
  // A gap after the written sound is silent; the sound after it keeps its place.
  EXPECT_EQ(Write(3 * kTenth, kTenth), kTenth * 4);
  const std::vector<int16_t> gap = Mix(kTenth);
  EXPECT_EQ(Loud(gap), 0);
  EXPECT_EQ(Misplaced(Mix(kTenth), 3 * kTenth), 0);
  EXPECT_EQ(stream_->GetDroppedFrames(), 0u);
}

TEST_F(MovieSoundStreamTest, AnOverlapIsTrimmedAndAFullRingTakesPartOfABlock) {
  EXPECT_EQ(Write(0, 2 * kTenth), 2 * kTenth * 4);
  // Overlapping sound keeps what was there and counts as taken, not as dropped.
  const std::vector<uint8_t> other(static_cast<size_t>(kTenth) * 4, 0x7F);
  EXPECT_EQ(stream_->Write(kTenth, other.data(), static_cast<uint32_t>(other.size())), other.size());
  // The ring holds a second: of two more seconds it takes less than one.
  const uint32_t taken = Write(2 * kTenth, 20 * kTenth);
  EXPECT_GT(taken, 7 * kTenth * 4);
  EXPECT_LT(taken, 8 * kTenth * 4);
  stream_->SetPlaying(true);
  EXPECT_EQ(Misplaced(Mix(5 * kTenth), 0), 0);
  const int64_t rest = 2 * kTenth + taken / 4;
  EXPECT_EQ(Write(rest, 5 * kTenth), 5 * kTenth * 4) << "room again once played";
  EXPECT_EQ(Misplaced(Mix(10 * kTenth - 1), 5 * kTenth), 0);
  EXPECT_EQ(stream_->GetDroppedFrames(), 0u);
  EXPECT_EQ(stream_->GetUnderruns(), 0u);
}

TEST_F(MovieSoundStreamTest, AnUnderrunIsCountedPlaysSilenceAndTheLateSoundKeepsItsPlace) {
  Write(0, 2 * kTenth);
  stream_->SetPlaying(true);
  // Played past the written sound, and further than a lap of the ring, while the movie looks at
  // the position as it does: the old samples in the ring are never heard again.
  EXPECT_EQ(Misplaced(Mix(2 * kTenth), 0), 0);
  for (int tenth = 0; tenth < 13; ++tenth) {
    EXPECT_EQ(Loud(Mix(kTenth)), 0);
    stream_->Position();
  }
  EXPECT_EQ(stream_->Position(), 15 * kTenth);
  EXPECT_EQ(stream_->GetUnderruns(), 1u);
  // The sound that was due meanwhile comes late: what is past is dropped, the rest is in step.
  Write(2 * kTenth, 16 * kTenth);
  const int64_t writable = 15 * kTenth + plat::AudioDevice::kDefaultPeriodFrames + 1;
  EXPECT_EQ(stream_->GetDroppedFrames(), static_cast<uint64_t>(writable - 2 * kTenth));
  const std::vector<int16_t> out = Mix(3 * kTenth);
  EXPECT_EQ(Misplaced({out.begin() + (writable - 15 * kTenth), out.end()}, writable), 0);
  EXPECT_EQ(stream_->GetUnderruns(), 1u);
  stream_.reset();
  EXPECT_EQ(log_.Last(), "movie sound: 1 underruns, " + std::to_string(writable - 2 * kTenth) +
                             " sample frames dropped");
}

TEST_F(MovieSoundStreamTest, PauseHoldsThePositionAndFlushStartsAgainWhereAsked) {
  Write(0, 3 * kTenth);
  stream_->SetPlaying(true);
  Mix(kTenth);
  stream_->SetPlaying(false);
  EXPECT_EQ(Loud(Mix(kTenth)), 0);
  EXPECT_EQ(stream_->Position(), kTenth);
  stream_->SetPlaying(true);
  EXPECT_EQ(Misplaced(Mix(kTenth), kTenth), 0) << "resumed where it stopped";

  stream_->Flush(50 * kTenth);
  EXPECT_EQ(stream_->Position(), 50 * kTenth);
  EXPECT_EQ(Loud(Mix(kTenth)), 0) << "nothing written since";
  // Sound from before the position asked for is left out, and counts as nothing dropped.
  Write(49 * kTenth, kTenth + kTenth / 2);
  stream_->Finish();
  EXPECT_EQ(Misplaced(Mix(kTenth / 2), 50 * kTenth), 0) << "a short last sound plays once finished";
  EXPECT_EQ(Loud(Mix(kTenth)), 0);
  EXPECT_EQ(stream_->Position(), 51 * kTenth + kTenth / 2);
  EXPECT_EQ(stream_->GetDroppedFrames(), 0u);
  EXPECT_EQ(stream_->GetUnderruns(), 0u) << "the end of finished sound is no underrun";
}

}  // namespace
