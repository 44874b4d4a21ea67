// What the demo plays, caught by SDL's disk sound driver while the fixed-step frames wait in real
// time at three points: the title's music; the story's music alone on its first line; Mio's voice
// on her first line, over the story's music lowered while she speaks. The capture's length at the
// start and end of each wait tells which of its bytes the wait heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
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
// Frames heard from the click that shows Mio's line: at least two seconds, longer than her voice
// in real time, and longer than the music's fall, hold and rise in the game's own frames, however
// slowly the frames come.
constexpr int kVoiceFrames = 200;

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

// The voice band's strongest pitch in `count` samples from `first`, averaged over 20 ms blocks.
double VoiceBand(const Heard& heard, size_t first, size_t count) {
  const auto block = static_cast<size_t>(heard.rate / 50);
  double total = 0;
  int blocks = 0;
  for (size_t at = first; at + block <= first + count && at + block <= heard.left.size(); at += block, ++blocks) {
    double strongest = 0;
    for (double hertz = kVoiceLowest; hertz <= kVoiceHighest; hertz += 10) {
      strongest = std::max(strongest, Amplitude(heard, at, block, hertz));
    }
    total += strongest;
  }
  return blocks == 0 ? 0 : total / blocks;
}

// The stretch's tenths of a second: the music's amplitude and the voice band's strength in each.
struct Tenths {
  std::vector<double> music;
  std::vector<double> voice;
};

Tenths TenthsOf(const Heard& heard) {
  Tenths tenths;
  const auto tenth = static_cast<size_t>(heard.rate / 10);
  for (size_t first = 0; first + tenth <= heard.left.size(); first += tenth) {
    tenths.music.push_back(Amplitude(heard, first, tenth, kMusicHertz));
    tenths.voice.push_back(VoiceBand(heard, first, tenth));
  }
  return tenths;
}

// The device's rate: the one of the rates it may run at under which the story's held note is
// strongest in the stretches given. How fast the bytes came cannot tell it: on a loaded machine
// the disk driver writes more slowly than real time.
void SetDeviceRate(std::initializer_list<Heard*> stretches) {
  double best_rate = 0;
  double best_strength = -1;
  for (double rate : {22050.0, 44100.0, 48000.0}) {
    double strength = 0;
    for (Heard* heard : stretches) {
      heard->rate = rate;
      strength += Amplitude(*heard, 0, heard->left.size(), kMusicHertz);
    }
    if (strength > best_strength) {
      best_strength = strength;
      best_rate = rate;
    }
  }
  for (Heard* heard : stretches) heard->rate = best_rate;
}

class DemoSoundGuiTest : public DemoGameCopyTest {
 protected:
  // Waits `frames` frames from `frame` on in real time, noting the capture's length at both ends.
  struct Wait {
    int frame = 0;
    int frames = kWaitFrames;
    int settle = kSettleFrames;
    std::uintmax_t start = 0;
    std::uintmax_t end = 0;
  };

  std::uintmax_t CaptureSize() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(capture_, error);
    return error ? 0 : size;
  }

  void Observe(Wait& wait, int frame) {
    if (frame < wait.frame - wait.settle || frame > wait.frame + wait.frames) return;
    if (frame == wait.frame) wait.start = CaptureSize();
    if (frame == wait.frame + wait.frames) {
      wait.end = CaptureSize();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }

  // The wait's bytes of the capture; their rate is told apart later, by what they hold.
  static Heard HeardDuring(const std::string& capture, const Wait& wait) {
    Heard heard;
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
  Wait title{kMovieSkip + kSettleFrames + 10, reader.Next() - kMovieSkip - kSettleFrames - 20, kSettleFrames};
  const int story = reader.Next();
  reader.Choose(kTitleStartY);
  // The story's first line, unvoiced, read late: its music, which a loaded machine may start late,
  // has had all the frames since the story began, in real time, to be heard and faded in.
  reader.Linger();
  const int music_frame = reader.Next() - kWaitFrames - 10;
  Wait music{music_frame, kWaitFrames, music_frame - story};
  // Mio's first line and her voice, from the click that shows it.
  Wait voice{reader.Next(), kVoiceFrames, 0};
  reader.Read(1);
  run.SetFrameObserver([&](int frame) {
    Observe(title, frame);
    Observe(music, frame);
    Observe(voice, frame);
  });
  run.SetLastFrame(voice.frame + kVoiceFrames + 1);
  run.Run(game_.HostPath());
  EXPECT_TRUE(run.GaveUp()) << "the game ran on to the last frame planned";
  EXPECT_TRUE(run.MessageBoxes().empty());

  const std::string capture = game_.ReadFile("capture.raw");
  ASSERT_GT(voice.end, voice.start) << Joined(log.Lines());
  const Heard at_title = HeardDuring(capture, title);
  Heard alone = HeardDuring(capture, music);
  Heard with_voice = HeardDuring(capture, voice);
  SetDeviceRate({&alone, &with_voice});
  EXPECT_GT(Rms(at_title), 1000) << "the title's music";
  const double music_alone = Amplitude(alone, 0, alone.left.size(), kMusicHertz);
  EXPECT_GT(music_alone, 1000) << "the story's music";
  // Where in real time her voice and the music's lowest level fall depends on how fast the frames
  // came; that both come after the click does not.
  const Tenths after_click = TenthsOf(with_voice);
  ASSERT_FALSE(after_click.music.empty());
  EXPECT_LT(std::ranges::min(after_click.music), music_alone * 0.85) << "the music lowered while Mio speaks";
  EXPECT_GT(std::ranges::max(after_click.voice), 4 * VoiceBand(alone, 0, alone.left.size())) << "Mio's voice";
}

}  // namespace

