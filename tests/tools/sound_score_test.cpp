// The Ogg maker's scores: their sounds reach the engine's decoder with the length and channels
// the score gives, music splits into its parts, and mistakes name their line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "built_tool.h"
#include "sound/ogg_vorbis_decoder.h"
#include "sound/ogg_vorbis_module.h"
#include "sound_score.h"
#include "support/data_files_fixture.h"

namespace {

class SoundScoreTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterOggVorbisModule(host_), 0u);
  }

  // Parses and encodes `text`, writing its parts as "PART<n>.OGG".
  void Make(std::string_view text) {
    std::string error;
    ASSERT_TRUE(kvxtools::ParseSoundScore(text, score_, error)) << error;
    const std::vector<std::vector<uint8_t>> files = kvxtools::EncodeSoundScore(score_);
    ASSERT_EQ(files.size(), score_.parts.size());
    for (size_t i = 0; i < files.size(); ++i) {
      game_.WriteFile("PART" + std::to_string(i) + ".OGG", std::string(files[i].begin(), files[i].end()));
    }
  }

  RefPtr<CSoundDecoder> Open(int part) {
    int error = -1;
    return host_.OpenSound(("PART" + std::to_string(part) + ".OGG").c_str(), nullptr, true, &error);
  }

  kvxtools::SoundScore score_;
  CSoundDecoderManager host_;
};

// The root mean square of 16-bit samples `from`..`to` (bytes of the decoded sound).
double Rms(const std::vector<uint8_t>& pcm, size_t from, size_t to) {
  double sum = 0;
  size_t count = 0;
  for (size_t i = from; i + 1 < to && i + 1 < pcm.size(); i += 2, ++count) {
    const auto sample = static_cast<int16_t>(pcm[i] | (pcm[i + 1] << 8));
    sum += static_cast<double>(sample) * sample;
  }
  return count == 0 ? 0 : std::sqrt(sum / static_cast<double>(count));
}

TEST_F(SoundScoreTest, EverySoundLastsItsLengthInTheChannelsTheScoreGives) {
  Make(R"(rate 22050
channels 1   ; a voice line
tone 440 100
chord 262,330,392 200 60
noise 50 80
chirp 220 330 150
rest 500
)");
  RefPtr<CSoundDecoder> decoder = Open(0);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->GetLength(), 1000u);
  EXPECT_EQ(decoder->GetFormat()->channels, 1);
  EXPECT_EQ(decoder->GetFormat()->samples_per_sec, 22050u);
  EXPECT_EQ(decoder->GetDataSize(), 22050u * 2);

  std::vector<uint8_t> pcm(decoder->GetDataSize());
  ASSERT_EQ(decoder->Read(pcm.data(), static_cast<uint32_t>(pcm.size())), pcm.size());
  const size_t per_ms = 22050 * 2 / 1000;
  EXPECT_GT(Rms(pcm, 10 * per_ms, 90 * per_ms), 8000) << "the tone at half scale";
  EXPECT_GT(Rms(pcm, 120 * per_ms, 280 * per_ms), 3000) << "the chord";
  EXPECT_GT(Rms(pcm, 310 * per_ms, 330 * per_ms), 3000) << "the noise burst";
  EXPECT_GT(Rms(pcm, 390 * per_ms, 430 * per_ms), 5000) << "the chirp at its swell";
  EXPECT_LT(Rms(pcm, 520 * per_ms, 1000 * per_ms), 300) << "the rest";
}

TEST_F(SoundScoreTest, MusicSplitsIntoItsIntroAndLoopInStereo) {
  Make(R"(part intro
chord 220,277,330 300
part loop
tone 330 250 40
tone 392 250 40
)");
  ASSERT_EQ(score_.parts.size(), 2u);
  EXPECT_EQ(score_.parts[0].name, "intro");
  EXPECT_EQ(score_.parts[1].name, "loop");
  for (const auto& [part, length] : {std::pair{0, 300u}, std::pair{1, 500u}}) {
    RefPtr<CSoundDecoder> decoder = Open(part);
    ASSERT_NE(decoder, nullptr) << part;
    EXPECT_EQ(decoder->GetLength(), length) << part;
    EXPECT_EQ(decoder->GetFormat()->channels, 2) << part;
  }
}

TEST(SoundScoreMistakesTest, MistakesNameTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  for (const Case& mistake : {Case{"tone 440 100\nrate 44100\n", "line 2: rate must come before the first sound"},
                              Case{"channels 3\n", "line 1: channels is 1 or 2"},
                              Case{"tone 0 100\n", "line 1: a pitch is 1..20000 Hz"},
                              Case{"tone 440 0\n", "line 1: a length is 1..60000 ms"},
                              Case{"tone 440 60001\n", "line 1: a length is 1..60000 ms"},
                              Case{"noise 10 101\n", "line 1: a level is 0..100"},
                              Case{"chirp 200 100\n", "line 1: wrong number of operands"},
                              Case{"hum 200\n", "line 1: unknown sound \"hum\""},
                              Case{"; nothing\n", "line 2: the score holds no sound"},
                              Case{"part a\ntone 440 10\npart b\n", "line 4: part b holds no sound"}}) {
    kvxtools::SoundScore score;
    std::string error;
    EXPECT_FALSE(kvxtools::ParseSoundScore(mistake.text, score, error)) << mistake.text;
    EXPECT_EQ(error, mistake.error) << mistake.text;
  }
}

class OggMakeTest : public BuiltToolTest {};

TEST_F(OggMakeTest, WritesOneFilePerPartAndRefusesAnotherCount) {
  folder_.WriteFile("music.txt", "part intro\ntone 440 100\npart loop\ntone 330 100\n");
  std::string output;
  ASSERT_EQ(Run("ogg_make", Path("music.txt") + " " + Path("A.OGG") + " " + Path("B.OGG"), output), 0) << output;
  EXPECT_EQ(folder_.ReadFile("A.OGG").substr(0, 4), "OggS");
  EXPECT_EQ(folder_.ReadFile("B.OGG").substr(0, 4), "OggS");
  EXPECT_EQ(Run("ogg_make", Path("music.txt") + " " + Path("C.OGG"), output), 1);
  EXPECT_NE(output.find("has 2 parts for 1 output files"), std::string::npos) << output;
  EXPECT_FALSE(folder_.Exists("C.OGG"));
  EXPECT_EQ(Run("ogg_make", Path("music.txt"), output), 2);
}

}  // namespace
