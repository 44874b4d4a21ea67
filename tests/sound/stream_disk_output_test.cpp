// A two-part music file streamed to SDL's disk audio driver: the captured output must hold the
// intro once and then the looping part, each as the decoder gives it. The looping part is long
// enough that the stream's first fill holds it whole and its repeat is written a second before it
// is due, so that a busy machine waking the stream late still hears the chain unbroken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ogg_writer.h"
#include "sound/ogg_vorbis_module.h"
#include "sound/stream_sound_buffer.h"
#include "support/data_files_fixture.h"
#include "support/disk_audio_capture.h"

namespace {

constexpr long kRate = 44100;
constexpr size_t kHalfSecond = kRate / 2;
constexpr size_t kLoopFrames = 4 * kHalfSecond;

// Normalised correlation of two equally long runs.
double Correlation(const int16_t* a, const int16_t* b, size_t count) {
  double ab = 0;
  double aa = 0;
  double bb = 0;
  for (size_t i = 0; i < count; ++i) {
    const auto x = static_cast<double>(a[i]);
    const auto y = static_cast<double>(b[i]);
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa == 0 || bb == 0 ? 0 : ab / std::sqrt(aa * bb);
}

class StreamDiskOutputTest : public test_support::DataFilesTest {
 protected:
  void SetUp() override {
    DataFilesTest::SetUp();
    saved_host_ = g_SoundDecoderManager;
    g_SoundDecoderManager = &host_;
    ASSERT_EQ(RegisterOggVorbisModule(host_), 0u);
  }
  void TearDown() override {
    g_SoundDecoderManager = saved_host_;
    DataFilesTest::TearDown();
  }

  // Encodes a sine as `name` and returns the PCM its decoder gives.
  std::vector<int16_t> WriteSine(const char* name, uint32_t frames, double hertz) {
    const std::vector<uint8_t> ogg = EncodeOggVorbis(MakeSine(frames, 1, kRate, hertz), 1, kRate);
    game_.WriteFile(name, std::string(ogg.begin(), ogg.end()));
    RefPtr<CSoundDecoder> decoder = host_.OpenSound(name, nullptr, false, nullptr);
    if (decoder == nullptr) return {};
    std::vector<int16_t> pcm(decoder->GetDataSize() / 2);
    pcm.resize(decoder->Read(pcm.data(), decoder->GetDataSize()) / 2);
    return pcm;
  }

  CSoundDecoderManager host_;
  CSoundDecoderManager* saved_host_ = nullptr;
};

TEST_F(StreamDiskOutputTest, TheIntroPlaysOnceAndTheLoopingPartFollows) {
  const std::string capture = game_.HostPath() + "capture.raw";
  const std::vector<int16_t> intro = WriteSine("intro.ogg", kHalfSecond, 440);
  const std::vector<int16_t> loop = WriteSine("loop.ogg", kLoopFrames, 660);
  ASSERT_EQ(intro.size(), kHalfSecond);
  ASSERT_EQ(loop.size(), kLoopFrames);
  {
    test_support::DiskAudioCapture capturing(capture);
    ASSERT_TRUE(capturing.Audible());
    ASSERT_EQ(capturing.output.GetDirectSound()->GetOutputRate(), uint32_t{kRate});
    CStreamSoundBuffer stream(&capturing.output);
    ASSERT_EQ(stream.Open("intro.ogg", "loop.ogg"), 0);
    ASSERT_EQ(stream.PlayLooped(), 0u);
    // Three and a half seconds of capture: the intro, the looping part, half a second of its
    // repeat and a lead-in.
    capturing.AwaitPlayed(3500);
    EXPECT_EQ(stream.Stop(), 0u);
    stream.Close();
  }

  std::ifstream in(capture, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> left(bytes.size() / 4);
  for (size_t i = 0; i < left.size(); ++i) std::memcpy(&left[i], bytes.data() + 4 * i, 2);

  // The chain that must be heard: the intro, the looping part, and the start of its repeat.
  std::vector<int16_t> expected = intro;
  expected.insert(expected.end(), loop.begin(), loop.end());
  expected.insert(expected.end(), loop.begin(), loop.begin() + kHalfSecond);
  ASSERT_GT(left.size(), expected.size());

  // Where the intro begins: the best match of its first 50 ms.
  const size_t probe = kRate / 20;
  size_t start = 0;
  double best = 0;
  for (size_t lag = 0; lag + expected.size() <= left.size(); ++lag) {
    const double c = Correlation(left.data() + lag, intro.data(), probe);
    if (c > best) {
      best = c;
      start = lag;
    }
  }
  ASSERT_GT(best, 0.99);
  for (size_t from = 0; from < expected.size(); from += kHalfSecond) {
    EXPECT_GT(Correlation(left.data() + start + from, expected.data() + from, kHalfSecond), 0.99) << from;
  }
  // The part after the first loop is the loop again, not the intro.
  EXPECT_LT(Correlation(left.data() + start + kHalfSecond + kLoopFrames, intro.data(), kHalfSecond), 0.5);
}

}  // namespace
