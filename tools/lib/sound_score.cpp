#include "sound_score.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "asm_text.h"
#include "ogg_writer.h"

namespace kvxtools {

namespace {

constexpr double kEdgeSeconds = 0.005;
constexpr uint32_t kDefaultLevel = 50;
// A minute of sound per piece is more than any made sound needs and keeps a slip of the pen
// (a length in samples for one in milliseconds) from filling the memory.
constexpr uint32_t kLongestMilliseconds = 60000;

class ScoreReader {
 public:
  explicit ScoreReader(SoundScore& score) : score_(score) {}

  void Line(std::string_view line) {
    const std::vector<std::string_view> words = SplitBlanks(line);
    const std::string_view command = words[0];
    const std::vector<std::string_view> operands(words.begin() + 1, words.end());
    if (command == "rate" || command == "channels") return Setting(command, operands);
    if (command == "part") {
      Expect(operands, 1, 1);
      score_.parts.push_back({std::string(operands[0]), {}});
      elapsed_milliseconds_ = 0;
      return;
    }
    if (command == "rest") {
      Expect(operands, 1, 1);
      return Add(Frames(operands[0]), [](uint32_t, uint32_t) { return 0.0; });
    }
    if (command == "tone" || command == "chord") return Chord(operands);
    if (command == "noise") return Noise(operands);
    if (command == "chirp") return Chirp(operands);
    throw AsmError("unknown sound \"" + std::string(command) + "\"");
  }

  void Finish() {
    if (score_.parts.empty()) throw AsmError("the score holds no sound");
    for (const SoundPart& part : score_.parts) {
      if (part.samples.empty()) throw AsmError("part " + part.name + " holds no sound");
    }
  }

 private:
  static void Expect(const std::vector<std::string_view>& operands, size_t least, size_t most) {
    if (operands.size() < least || operands.size() > most) throw AsmError("wrong number of operands");
  }

  void Setting(std::string_view command, const std::vector<std::string_view>& operands) {
    Expect(operands, 1, 1);
    if (!score_.parts.empty()) throw AsmError(std::string(command) + " must come before the first sound");
    const uint32_t value = Number(operands[0]);
    if (command == "channels") {
      if (value != 1 && value != 2) throw AsmError("channels is 1 or 2");
      score_.channels = static_cast<int>(value);
    } else {
      if (value < 8000 || value > 96000) throw AsmError("rate is 8000..96000");
      score_.rate = static_cast<long>(value);
    }
  }

  // Counted from the part's start, so that lengths that fall between two samples do not lose a
  // sample each and a part lasts exactly the sum of its lengths.
  uint32_t Frames(std::string_view milliseconds) {
    const uint32_t length = Number(milliseconds);
    if (length == 0 || length > kLongestMilliseconds) throw AsmError("a length is 1..60000 ms");
    const auto rate = static_cast<uint64_t>(score_.rate);
    const uint64_t start = elapsed_milliseconds_ * rate / 1000;
    elapsed_milliseconds_ += length;
    return static_cast<uint32_t>(elapsed_milliseconds_ * rate / 1000 - start);
  }

  static double Level(const std::vector<std::string_view>& operands, size_t index) {
    const uint32_t level = operands.size() > index ? Number(operands[index]) : kDefaultLevel;
    if (level > 100) throw AsmError("a level is 0..100");
    return level / 100.0;
  }

  static double Hertz(std::string_view text) {
    const uint32_t hertz = Number(text);
    if (hertz == 0 || hertz > 20000) throw AsmError("a pitch is 1..20000 Hz");
    return hertz;
  }

  void Chord(const std::vector<std::string_view>& operands) {
    Expect(operands, 2, 3);
    std::vector<double> pitches;
    for (std::string_view pitch : SplitCommas(operands[0])) pitches.push_back(Hertz(pitch));
    const double level = Level(operands, 2) / static_cast<double>(pitches.size());
    const double rate = static_cast<double>(score_.rate);
    Add(Frames(operands[1]), [&](uint32_t frame, uint32_t frames) {
      double value = 0;
      for (double pitch : pitches) value += std::sin(2 * std::numbers::pi * pitch * frame / rate);
      return value * level * Edges(frame, frames);
    });
  }

  void Noise(const std::vector<std::string_view>& operands) {
    Expect(operands, 1, 2);
    const double level = Level(operands, 1);
    uint32_t seed = 0x2545F491u;
    Add(Frames(operands[0]), [&](uint32_t frame, uint32_t frames) {
      seed = seed * 1664525u + 1013904223u;
      const double white = static_cast<double>(seed >> 8) / static_cast<double>(1u << 23) - 1.0;
      return white * level * std::exp(-4.0 * frame / frames) * Edges(frame, frames);
    });
  }

  // The pitch glides from one end to the other; the second and third overtones give the hum
  // its vowel, and a raised-sine envelope its swell.
  void Chirp(const std::vector<std::string_view>& operands) {
    Expect(operands, 3, 4);
    const double from = Hertz(operands[0]);
    const double to = Hertz(operands[1]);
    const double level = Level(operands, 3);
    const double rate = static_cast<double>(score_.rate);
    double phase = 0;
    Add(Frames(operands[2]), [&](uint32_t frame, uint32_t frames) {
      const double progress = static_cast<double>(frame) / frames;
      phase += 2 * std::numbers::pi * (from + (to - from) * progress) / rate;
      const double voice = std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.25 * std::sin(3 * phase);
      return voice / 1.75 * level * std::sin(std::numbers::pi * progress);
    });
  }

  double Edges(uint32_t frame, uint32_t frames) const {
    const double edge = kEdgeSeconds * static_cast<double>(score_.rate);
    const double distance = std::min<double>(frame, frames - 1 - frame);
    return distance >= edge ? 1.0 : distance / edge;
  }

  template <typename Sample>
  void Add(uint32_t frames, Sample sample) {
    if (score_.parts.empty()) score_.parts.push_back({});
    std::vector<int16_t>& samples = score_.parts.back().samples;
    samples.reserve(samples.size() + static_cast<size_t>(frames) * score_.channels);
    for (uint32_t frame = 0; frame < frames; ++frame) {
      const double value = std::clamp(sample(frame, frames), -1.0, 1.0);
      const auto pcm = static_cast<int16_t>(std::lround(value * 32767.0));
      for (int channel = 0; channel < score_.channels; ++channel) samples.push_back(pcm);
    }
  }

  SoundScore& score_;
  uint64_t elapsed_milliseconds_ = 0;
};

}  // namespace

bool ParseSoundScore(std::string_view text, SoundScore& score, std::string& error) {
  score = SoundScore{};
  ScoreReader reader(score);
  return AssembleLines(
      text, [&](std::string_view line) { reader.Line(line); }, [&] { reader.Finish(); }, error);
}

std::vector<std::vector<uint8_t>> EncodeSoundScore(const SoundScore& score) {
  std::vector<std::vector<uint8_t>> files;
  for (const SoundPart& part : score.parts) {
    files.push_back(EncodeOggVorbis(part.samples, score.channels, score.rate));
    if (files.back().empty()) return {};
  }
  return files;
}

}  // namespace kvxtools
