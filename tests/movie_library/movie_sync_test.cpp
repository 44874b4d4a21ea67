// Sound and picture in step: flash-and-beep clips in every container and codec pair that the
// installed FFmpeg can write play through the movie sprite, the movie library and the sound layer
// on a sound device mixed by hand. Every beep must start in the mixed output within one picture
// interval of the output position where its flash was first shown, whole and with no sound
// dropped; also after a pause and after a seek.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "movie_clip_writer.h"
#include "movie_sync_probe.h"
#include "support/movie_clip_fixture.h"

namespace {

using kvxtools::MovieClipFormat;

constexpr int kFramesPerSecond = 25;
constexpr double kPictureInterval = 1000.0 / kFramesPerSecond;
constexpr int64_t kMillisecond = 10'000;

struct SyncCase {
  const char* label;
  MovieClipFormat format;
  int seconds;
  kvxtools::MovieSyncPlan plan;
  int flashes;
};

std::string CaseName(const ::testing::TestParamInfo<SyncCase>& info) { return info.param.label; }
void PrintTo(const SyncCase& c, std::ostream* out) { *out << c.label; }

class MovieSyncTest : public test_support::MovieClipTest, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(MovieSyncTest, EveryBeepStartsWithinOnePictureIntervalOfItsFlash) {
  const SyncCase& c = GetParam();
  const std::string name = "SYNC." + kvxtools::MovieClipExtension(c.format);
  const std::string missing = WriteFlashClip(name, c.format, c.seconds * kFramesPerSecond);
  if (!missing.empty()) GTEST_SKIP() << missing;

  kvxtools::MovieSyncProbe probe(sprite_library_, *files_);
  const kvxtools::MovieSyncReport report = probe.Play(name.c_str(), game_.HostPath() + name, c.plan);
  ASSERT_EQ(report.failure, "") << report.flashes << " flashes, " << report.beeps << " beeps, " << report.underruns
                                << " underruns, " << report.dropped_frames << " sample frames dropped";
  EXPECT_EQ(report.flashes, c.flashes);
  EXPECT_EQ(report.beeps, c.flashes);
  for (size_t i = 0; i < report.offsets.size(); ++i) {
    EXPECT_LE(std::abs(report.offsets[i]), kPictureInterval) << "beep " << i << " against its flash";
  }
  EXPECT_NEAR(report.shortest_beep, kvxtools::kMovieClipBeepMilliseconds, 5) << "every beep is whole";
  EXPECT_NEAR(report.longest_beep, kvxtools::kMovieClipBeepMilliseconds, 5);
  EXPECT_EQ(report.broken_beeps, 0) << "no silence inside a beep";
  EXPECT_EQ(report.dropped_frames, 0u);
  EXPECT_EQ(report.underruns, 0u);
  std::printf("%-18s sound after picture (ms) min / median / max: %s\n", c.label,
              kvxtools::SummariseOffsets(report.offsets).c_str());
}

// Flashes at 0.48 s and every second after it. Paused at 2 s, after the second flash; sought
// from 1 s to 2.3 s, between key frames, so that the flashes at 1.48 s is skipped.
INSTANTIATE_TEST_SUITE_P(
    ContainersPauseAndSeek, MovieSyncTest,
    ::testing::Values(SyncCase{"Mp4H264Aac", MovieClipFormat::kMp4H264Aac, 4, {}, 4},
                      SyncCase{"AviMpeg4Mp3", MovieClipFormat::kAviMpeg4Mp3, 4, {}, 4},
                      SyncCase{"WmvWmv2Wma2", MovieClipFormat::kAsfWmv2Wma2, 4, {}, 4},
                      SyncCase{"MpgMpeg1Mp2", MovieClipFormat::kMpegMpeg1Mp2, 4, {}, 4},
                      SyncCase{"AviMpeg4Pcm", MovieClipFormat::kAviMpeg4Pcm, 4, {}, 4},
                      SyncCase{"Mp4PausedOneSecond", MovieClipFormat::kMp4H264Aac, 4, {2000 * kMillisecond, 1000}, 4},
                      SyncCase{"MpgPausedOneSecond", MovieClipFormat::kMpegMpeg1Mp2, 4, {2000 * kMillisecond, 1000}, 4},
                      SyncCase{"Mp4Sought", MovieClipFormat::kMp4H264Aac, 4, {-1, 0, 1000 * kMillisecond, 2300 * kMillisecond}, 3},
                      SyncCase{"WmvSought", MovieClipFormat::kAsfWmv2Wma2, 4, {-1, 0, 1000 * kMillisecond, 2300 * kMillisecond}, 3}),
    CaseName);

}  // namespace
