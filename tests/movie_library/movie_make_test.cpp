// The movie maker's colour-bar clips through the engine's movie library: the size and the number
// of pictures asked for, and the bars' known colours where the last picture puts them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/built_tool.h"
#include "gfx/images/image.h"
#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/fake_sound_system.h"
#include "support/movie_clip_fixture.h"
#include "support/sound_pump.h"

namespace {

class ColourBarClipTest : public test_support::MovieClipTest {
 protected:
  void SetUp() override {
    clip_.width = 96;
    clip_.height = 32;
    clip_.frames = 12;
    clip_.frames_per_second = 24;
    clip_.colour_bars = true;
    MovieClipTest::SetUp();
  }

  test_support::FakeSoundSystem sound_;
  test_support::SoundPump pump_{sound_.backend.last_device};
};

// Whether two 0xRRGGBB colours differ by at most `tolerance` in every component.
bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
  }
  return true;
}

TEST_F(ColourBarClipTest, TheClipHasItsSizeAndLengthAndItsBarsMoved) {
  CDShowSprite sprite;
  ASSERT_EQ(sprite.Open(kLooseClip, 0, 0, nullptr), kMovieOpened);
  EXPECT_EQ(sprite.GetMovieWidth(), 96);
  EXPECT_EQ(sprite.GetMovieHeight(), 32);
  int64_t duration = 0;
  ASSERT_EQ(sprite.Control().GetDuration(&duration), 0);
  EXPECT_EQ(duration * clip_.frames_per_second / 10'000'000, 12) << "twelve pictures";

  ASSERT_EQ(sprite.Control().Play(), 0);
  ASSERT_TRUE(WaitFor([&] { return sprite.Control().IsEnded(); }));
  CImage target;
  ASSERT_EQ(target.Create(96, 32, 32, 0), 0u);
  ASSERT_EQ(sprite.Draw(&target, nullptr, nullptr), 0u);
  const int last = clip_.frames - 1;
  const int bar = 96 / kvxtools::kMovieClipBars;
  for (int index = 0; index < kvxtools::kMovieClipBars; ++index) {
    // The middle of a bar of the last picture, where neither the encoder nor the colour
    // sub-sampling blurs its edges.
    const int x = (index * bar + bar / 2 + last * kvxtools::kMovieClipBarStep) % 96;
    const uint32_t expected = kvxtools::MovieClipBarColour(x, last, 96);
    const uint32_t pixel = target.GetPixel(x, 16) & 0xFFFFFF;
    EXPECT_TRUE(Near(pixel, expected, 24)) << std::hex << pixel << " for " << expected << " at " << std::dec << x;
  }
  EXPECT_NE(kvxtools::MovieClipBarColour(0, 0, 96), kvxtools::MovieClipBarColour(0, 6, 96)) << "the bars move";
}

class MovieMakeTest : public BuiltToolTest {};

TEST_F(MovieMakeTest, WritesTheClipAndRefusesBadOptions) {
  std::string output;
  ASSERT_EQ(Run("movie_make", Path("OPEN.AVI") + " --width=64 --height=48 --frames=5 --bars --silent", output), 0)
      << output;
  EXPECT_EQ(folder_.ReadFile("OPEN.AVI").substr(0, 4), "RIFF");
  for (const char* options : {" --width=0", " --height=63", " --frames=x", " --fps=121", " --colour"}) {
    EXPECT_EQ(Run("movie_make", Path("BAD.AVI") + options, output), 1) << options;
    EXPECT_NE(output.find("error"), std::string::npos) << output;
  }
  EXPECT_FALSE(folder_.Exists("BAD.AVI"));
  EXPECT_EQ(Run("movie_make", "", output), 2);
  // Asked for help, it says how to call it instead of writing a movie of that name.
  EXPECT_EQ(Run("movie_make", "--help", output), 0);
  EXPECT_EQ(output.rfind("usage: movie_make", 0), 0u) << output;
  EXPECT_EQ(Run("movie_make", "--width=64", output), 2);
  EXPECT_EQ(output.rfind("usage: movie_make", 0), 0u) << output;
}

}  // namespace
