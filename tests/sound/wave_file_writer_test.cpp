// WAV files written from decoders whose every byte the test knows, read back from the disk.
#include "sound/wave_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/numbers/little_endian.h"
#include "support/data_files_fixture.h"
#include "support/fake_pcm_decoder.h"

namespace {

using test_support::FakePcm;

std::vector<uint8_t> Pattern(std::size_t bytes) {
  std::vector<uint8_t> pcm(bytes);
  for (std::size_t i = 0; i < bytes; ++i) pcm[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return pcm;
}

class WaveFileWriterTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    test_support::RegisterFakePcmProvider(host_, counters_);
  }

  std::vector<uint8_t> ReadBack(const char* name) const {
    const std::string text = game_.ReadFile(name);
    return std::vector<uint8_t>(text.begin(), text.end());
  }

  std::size_t FilesInGameFolder() const {
    const auto entries = std::filesystem::directory_iterator(game_.HostPath());
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
  }

  CSoundDecoderManager host_;
  std::shared_ptr<test_support::FakePcmCounters> counters_ = std::make_shared<test_support::FakePcmCounters>();
};

TEST_F(WaveFileWriterTest, TheFileHoldsTheFormatAndEveryByteTheDecoderGaveUpToASecondPastItsSize) {
  struct Case {
    uint32_t delivered;
    int64_t declared;
    uint32_t expected_data;
  };
  // 16-bit stereo at 8000 Hz: 32000 bytes a second.
  for (const Case& c : {Case{100000, -1, 100000}, Case{0, -1, 0}, Case{0, 5000, 0}, Case{50000, 1000, 33000}}) {
    const std::vector<uint8_t> pcm = Pattern(c.delivered);
    game_.WriteFile("SOUND.PCM", test_support::MakeFakePcmFile({16, 2, 8000, pcm, c.declared}));
    ASSERT_EQ(WriteWaveFile("SOUND.PCM", "OUT.WAV", &host_), 0u) << c.delivered;

    const std::vector<uint8_t> file = ReadBack("OUT.WAV");
    ASSERT_EQ(file.size(), kWaveHeaderSize + c.expected_data);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(LoadLe32(&file[4]), 38 + c.expected_data);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(LoadLe32(&file[16]), 18u);
    EXPECT_EQ(LoadLe16(&file[20]), plat::WAVE_FORMAT_PCM);
    EXPECT_EQ(LoadLe16(&file[22]), 2u);
    EXPECT_EQ(LoadLe32(&file[24]), 8000u);
    EXPECT_EQ(LoadLe32(&file[28]), 32000u);
    EXPECT_EQ(LoadLe16(&file[32]), 4u);
    EXPECT_EQ(LoadLe16(&file[34]), 16u);
    EXPECT_EQ(LoadLe16(&file[36]), 18u);
    EXPECT_EQ(std::string(file.begin() + 38, file.begin() + 42), "data");
    EXPECT_EQ(LoadLe32(&file[42]), c.expected_data);
    EXPECT_TRUE(std::equal(file.begin() + kWaveHeaderSize, file.end(), pcm.begin()));
  }
}

TEST_F(WaveFileWriterTest, AFailedWriteLeavesTheOldFileAndNoNewOne) {
  game_.WriteFile("SOUND.PCM", test_support::MakeFakePcmFile({16, 2, 8000, Pattern(200000)}));
  game_.WriteFile("OUT.WAV", "old");
  const std::size_t files = FilesInGameFolder();

  counters_->throw_after_reads = 2;
  EXPECT_EQ(WriteWaveFile("SOUND.PCM", "OUT.WAV", &host_), 6u);
  EXPECT_EQ(game_.ReadFile("OUT.WAV"), "old");
  EXPECT_EQ(FilesInGameFolder(), files);

  counters_->throw_after_reads = -1;
  EXPECT_EQ(WriteWaveFile("SOUND.PCM", "NO_FOLDER\\OUT.WAV", &host_), 3u);
  EXPECT_FALSE(game_.Exists("NO_FOLDER"));
  EXPECT_EQ(WriteWaveFile("SOUND.XYZ", "OUT.WAV", &host_), 2u);
  EXPECT_EQ(WriteWaveFile(nullptr, "OUT.WAV", &host_), 1u);
  EXPECT_EQ(WriteWaveFile("SOUND.PCM", nullptr, &host_), 1u);
  EXPECT_EQ(game_.ReadFile("OUT.WAV"), "old");
}

}  // namespace
