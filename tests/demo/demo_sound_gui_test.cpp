// What the demo plays, caught by SDL's disk sound driver while the fixed-step frames wait in real
// time at three points: the title's music; the story's music alone on its first line; Mio's voice
// on her first line, over the story's music lowered while she speaks. The capture's length at the
// start and end of each wait tells which of its bytes the wait heard.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "demo_game_copy.h"
#include "demo_reader.h"
#include "support/fixed_step_game.h"
#include "support/log_capture.h"
#include "support/scoped_environment.h"

namespace {

using namespace demo_test;

// The story music's held note, and the band of Mio's voice (her pitch glides within it).
constexpr double kMusicHertz = 1760;
constexpr double kVoiceLowest = 250;
constexpr double kVoiceHighest = 500;
// Frames of a wait, each 10 ms of real time, and the frames before it that also take 10 ms each,
// so that the sound output, which runs ahead of the fixed-step frames, has played up to the wait
// and the music's fades have settled.
constexpr int kWaitFrames = 50;
constexpr int kSettleFrames = 60;

// A stretch of the capture: the left channel of its 16-bit stereo frames.
struct Heard {
  std::vector<double> left;
  double rate = 0;
};

// The amplitude (0..32768) of `hertz` in `count` samples from `first`.
double Amplitude(const Heard& heard, size_t first, size_t count, double hertz) {
  const double step = 2 * std::numbers::pi * hertz / heard.rate;
  double real = 0;
  double imaginary = 0;
  for (size_t i = 0; i < count && first + i < heard.left.size(); ++i) {
    real += heard.left[first + i] * std::cos(step * static_cast<double>(i));
    imaginary += heard.left[first + i] * std::sin(step * static_cast<double>(i));
  }
  return 2 * std::hypot(real, imaginary) / static_cast<double>(count);
}

double Rms(const Heard& heard) {
  double sum = 0;
  for (double sample : heard.left) sum += sample * sample;
  return heard.left.empty() ? 0 : std::sqrt(sum / static_cast<double>(heard.left.size()));
}

// The voice band's strongest pitch, averaged over 20 ms blocks.
double VoiceBand(const Heard& heard) {
  const auto block = static_cast<size_t>(heard.rate / 50);
  double total = 0;
  int blocks = 0;
  for (size_t first = 0; first + block <= heard.left.size(); first += block, ++blocks) {
    double strongest = 0;
    for (double hertz = kVoiceLowest; hertz <= kVoiceHighest; hertz += 10) {
      strongest = std::max(strongest, Amplitude(heard, first, block, hertz));
    }
    total += strongest;
  }
  return blocks == 0 ? 0 : total / blocks;
}

class DemoSoundGuiTest : public DemoGameCopyTest {
 protected:
  // Waits `frames` frames from `frame` on in real time, noting the capture's length and the
  // clock at both ends.
  struct Wait {
    int frame = 0;
    int frames = kWaitFrames;
    int settle = kSettleFrames;
    std::uintmax_t start = 0;
    std::uintmax_t end = 0;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point ended;
  };

  std::uintmax_t CaptureSize() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(capture_, error);
    return error ? 0 : size;
  }

  void Observe(Wait& wait, int frame) {
    if (frame < wait.frame - wait.settle || frame > wait.frame + wait.frames) return;
    if (frame == wait.frame) {
      wait.start = CaptureSize();
      wait.started = std::chrono::steady_clock::now();
    }
    if (frame == wait.frame + wait.frames) {
      wait.end = CaptureSize();
      wait.ended = std::chrono::steady_clock::now();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  // The wait's bytes of the capture, the device's rate told by how fast they came.
  Heard HeardDuring(const std::string& capture, const Wait& wait) const {
    Heard heard;
    const double seconds = std::chrono::duration<double>(wait.ended - wait.started).count();
    const double measured = static_cast<double>(wait.end - wait.start) / 4 / seconds;
    heard.rate = 44100;
    for (double rate : {22050.0, 48000.0}) {
      if (std::abs(measured - rate) < std::abs(measured - heard.rate)) heard.rate = rate;
    }
    for (std::uintmax_t at = wait.start & ~std::uintmax_t{3}; at + 3 < wait.end && at + 3 < capture.size(); at += 4) {
      const auto low = static_cast<uint8_t>(capture[at]);
      const auto high = static_cast<uint8_t>(capture[at + 1]);
      heard.left.push_back(static_cast<int16_t>(low | (high << 8)));
    }
    return heard;
  }

  std::string capture_ = game_.HostPath() + "capture.raw";
};

TEST_F(DemoSoundGuiTest, TheTitleMusicTheStoryMusicAndMiosVoiceOverItLowered) {
  ScopedEnvironment driver("SDL_AUDIODRIVER", "disk");
  ScopedEnvironment file("SDL_DISKAUDIOFILE", capture_.c_str());
  LogCapture log;
  test_support::FixedStepGame run;
  Reader reader(run);
  // The whole title after the movie, which a click skips.
  Wait title{kMovieSkip + kSettleFrames + 10, reader.Next() - kMovieSkip - kSettleFrames - 20, kSettleFrames, 0, 0, {}, {}};
  const int story = reader.Next();
  reader.Choose(kTitleStartY);
  // The story's first line, unvoiced, read late: its music, which a loaded machine may start late,
  // has had all the frames since the story began, in real time, to be heard and faded in.
  reader.Linger();
  const int music_frame = reader.Next() - kWaitFrames - 10;
  Wait music{music_frame, kWaitFrames, music_frame - story, 0, 0, {}, {}};
  // Mio's first line and its voice, a little after the click that shows it.
  Wait voice{reader.Next() + kSettleFrames, kWaitFrames, kSettleFrames, 0, 0, {}, {}};
  reader.Read(1);
  run.SetFrameObserver([&](int frame) {
    Observe(title, frame);
    Observe(music, frame);
    Observe(voice, frame);
  });
  run.SetLastFrame(voice.frame + kWaitFrames + 1);
  run.Run(game_.HostPath());
  EXPECT_TRUE(run.GaveUp()) << "the game ran on to the last frame planned";
  EXPECT_TRUE(run.MessageBoxes().empty());

  const std::string capture = game_.ReadFile("capture.raw");
  ASSERT_GT(voice.end, voice.start) << Joined(log.Lines());
  const Heard at_title = HeardDuring(capture, title);
  const Heard alone = HeardDuring(capture, music);
  const Heard with_voice = HeardDuring(capture, voice);
  EXPECT_GT(Rms(at_title), 1000) << "the title's music";
  const double music_alone = Amplitude(alone, 0, alone.left.size(), kMusicHertz);
  const double music_under_voice = Amplitude(with_voice, 0, with_voice.left.size(), kMusicHertz);
  EXPECT_GT(music_alone, 1000) << "the story's music";
  EXPECT_LT(music_under_voice, music_alone * 0.85) << "the music lowered while Mio speaks";
  EXPECT_GT(VoiceBand(with_voice), 4 * VoiceBand(alone)) << "Mio's voice";
}

}  // namespace

