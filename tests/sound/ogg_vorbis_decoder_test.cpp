// The built-in Ogg Vorbis decoder over files encoded by the test itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ogg_writer.h"
#include "sound/ogg_vorbis_decoder.h"
#include "sound/ogg_vorbis_module.h"
#include "support/data_files_fixture.h"

namespace {

class OggVorbisDecoderTest : public test_support::DataFilesTest {
 protected:
  // Writes an encoded sine of `frames` frames as `name`.
  void WriteSine(const char* name, uint32_t frames, int channels, long rate) {
    const std::vector<uint8_t> ogg = EncodeOggVorbis(MakeSine(frames, channels, rate, 440), channels, rate);
    ASSERT_FALSE(ogg.empty());
    game_.WriteFile(name, std::string(ogg.begin(), ogg.end()));
  }

  RefPtr<CSoundDecoder> Open(const char* name, int* error) {
    return host_.OpenSound(name, nullptr, true, error);
  }

  static std::vector<uint8_t> ReadAll(CSoundDecoder& decoder) {
    std::vector<uint8_t> pcm(decoder.GetDataSize() + 4096);
    const uint32_t got = decoder.Read(pcm.data(), static_cast<uint32_t>(pcm.size()));
    pcm.resize(got);
    return pcm;
  }

  void SetUp() override {
    DataFilesTest::SetUp();
    ASSERT_EQ(RegisterOggVorbisModule(host_), 0u);
  }

  CSoundDecoderManager host_;
};

TEST_F(OggVorbisDecoderTest, LengthSizeAndFormatMatchTheEncodedSound) {
  WriteSine("BGM.OGG", 22050, 2, 22050);
  int error = -1;
  RefPtr<CSoundDecoder> decoder = Open("BGM.OGG", &error);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(decoder->GetLength(), 1000u);
  EXPECT_EQ(decoder->GetDataSize(), 22050u * 4);
  const plat::WaveFormat& format = *decoder->GetFormat();
  EXPECT_EQ(format.format_tag, plat::WAVE_FORMAT_PCM);
  EXPECT_EQ(format.channels, 2);
  EXPECT_EQ(format.samples_per_sec, 22050u);
  EXPECT_EQ(format.bits_per_sample, 16);
  EXPECT_EQ(format.block_align, 4);
  EXPECT_EQ(format.avg_bytes_per_sec, 88200u);

  EXPECT_EQ(ReadAll(*decoder).size(), 22050u * 4);
  EXPECT_TRUE(decoder->IsEnd());
}

TEST_F(OggVorbisDecoderTest, AOnePageSoundRestartsAtItsFirstSample) {
  WriteSine("se.ogg", 600, 1, 8000);
  RefPtr<CSoundDecoder> decoder = Open("se.ogg", nullptr);
  ASSERT_NE(decoder, nullptr);
  const std::vector<uint8_t> first = ReadAll(*decoder);
  ASSERT_EQ(first.size(), 1200u);
  EXPECT_EQ(ReadAll(*decoder).size(), 0u);

  EXPECT_EQ(decoder->Seek(0), 0u);
  EXPECT_FALSE(decoder->IsEnd());
  EXPECT_EQ(ReadAll(*decoder), first);
}

TEST_F(OggVorbisDecoderTest, SeeksWithinTheLengthOnly) {
  WriteSine("BGM.OGG", 8000, 1, 8000);
  RefPtr<CSoundDecoder> decoder = Open("BGM.OGG", nullptr);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Seek(decoder->GetLength()), COggVorbisDecoder::kSeekPastEnd);
  EXPECT_EQ(decoder->Seek(500), 0u);
  EXPECT_EQ(decoder->GetPosition(), 500u);
  EXPECT_EQ(ReadAll(*decoder).size(), 8000u);
}

TEST_F(OggVorbisDecoderTest, ReadsWholeFramesAndAShortRequestIsNotTheEnd) {
  WriteSine("BGM.OGG", 4000, 2, 8000);
  RefPtr<CSoundDecoder> decoder = Open("BGM.OGG", nullptr);
  ASSERT_NE(decoder, nullptr);
  std::vector<uint8_t> pcm(1024);
  EXPECT_EQ(decoder->Read(pcm.data(), 3), 0u);
  EXPECT_FALSE(decoder->IsEnd());
  EXPECT_EQ(decoder->Read(pcm.data(), 1023), 1020u);
  EXPECT_EQ(decoder->Read(nullptr, 64), 0u);
  EXPECT_FALSE(decoder->IsEnd());
}

TEST_F(OggVorbisDecoderTest, AFileThatIsNotVorbisIsRefusedAndRewound) {
  game_.WriteFile("fake.ogg", std::string(4096, 'x'));
  RefPtr<CFile> file = MakeRef<CFile>();
  ASSERT_EQ(file->OpenStream("fake.ogg"), 0u);
  COggVorbisModule module;
  int error = -1;
  EXPECT_EQ(module.CreateDecoder(*file, &error), nullptr);
  EXPECT_EQ(error, COggVorbisDecoder::kNotVorbis);
  EXPECT_EQ(file->Tell(), 0);
  EXPECT_EQ(file->GetRefCount(), 0u);
}

}  // namespace
