// Damaged movies: clips cut short or with bytes overwritten in their middle, in each container,
// either are refused at open or play to a reported end with their sound, without a crash and
// without waiting for sound or pictures that never come.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "movie_clip_writer.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/fake_sound_system.h"
#include "support/movie_clip_fixture.h"
#include "support/sound_pump.h"

namespace {

using kvxtools::MovieClipFormat;

enum class Damage { kCutInHalf, kScrambledMiddle };

struct DamageCase {
  const char* label;
  MovieClipFormat format;
  Damage damage;
};

std::string CaseName(const ::testing::TestParamInfo<DamageCase>& info) { return info.param.label; }
void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.label; }

std::string Damaged(std::string clip, Damage damage) {
  if (damage == Damage::kCutInHalf) return clip.substr(0, clip.size() / 2);
  for (size_t i = clip.size() / 4; i < clip.size() * 3 / 4; i += 37) clip[i] = static_cast<char>(clip[i] ^ 0x5A);
  return clip;
}

class MovieDamagedTest : public test_support::MovieClipTest, public ::testing::WithParamInterface<DamageCase> {
 protected:
  test_support::FakeSoundSystem sound_;
  test_support::SoundPump pump_{sound_.backend.last_device};
};

TEST_P(MovieDamagedTest, IsRefusedOrPlaysToAReportedEnd) {
  const DamageCase& c = GetParam();
  const std::string name = "DAMAGED." + kvxtools::MovieClipExtension(c.format);
  const std::string missing = WriteFlashClip(name, c.format, 50);
  if (!missing.empty()) GTEST_SKIP() << missing;
  game_.WriteFile(name, Damaged(game_.ReadFile(name), c.damage));

  CDShowSprite sprite(&sprite_library_);
  const uint32_t opened = sprite.Open(name.c_str(), 0, 0, files_.get());
  if (opened != kMovieOpened) {
    EXPECT_EQ(opened, kMovieRefused) << "a movie that does not open is refused by the library";
    return;
  }
  CMovieControl& control = sprite.Control();
  ASSERT_EQ(control.Play(), 0);
  EXPECT_TRUE(WaitFor([&] { return control.IsEnded(); })) << "the end is reported";
  int64_t position = 0;
  ASSERT_EQ(control.GetPosition(&position), 0);
  int64_t duration = 0;
  ASSERT_EQ(control.GetDuration(&duration), 0);
  EXPECT_GT(position, 0);
  EXPECT_GE(position, duration) << "the position stays at the end, where it is known";
}

INSTANTIATE_TEST_SUITE_P(
    CutAndScrambled, MovieDamagedTest,
    ::testing::Values(DamageCase{"Mp4Cut", MovieClipFormat::kMp4H264Aac, Damage::kCutInHalf},
                      DamageCase{"Mp4Scrambled", MovieClipFormat::kMp4H264Aac, Damage::kScrambledMiddle},
                      DamageCase{"AviMp3Cut", MovieClipFormat::kAviMpeg4Mp3, Damage::kCutInHalf},
                      DamageCase{"AviMp3Scrambled", MovieClipFormat::kAviMpeg4Mp3, Damage::kScrambledMiddle},
                      DamageCase{"WmvCut", MovieClipFormat::kAsfWmv2Wma2, Damage::kCutInHalf},
                      DamageCase{"WmvScrambled", MovieClipFormat::kAsfWmv2Wma2, Damage::kScrambledMiddle},
                      DamageCase{"MpgCut", MovieClipFormat::kMpegMpeg1Mp2, Damage::kCutInHalf},
                      DamageCase{"MpgScrambled", MovieClipFormat::kMpegMpeg1Mp2, Damage::kScrambledMiddle}),
    CaseName);

}  // namespace
