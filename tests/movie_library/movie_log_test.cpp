// FFmpeg's messages about a damaged clip reach the engine's log, never the standard error
// stream.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "scene/movies/dshow_sprite.h"
#include "scene/movies/movie_open.h"
#include "support/log_capture.h"
#include "support/movie_clip_fixture.h"

namespace {

// The standard error stream goes into a file for the object's life.
class CapturedStandardError {
 public:
  explicit CapturedStandardError(const std::string& path) : path_(path) {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, STDERR_FILENO);
    close(file);
  }
  ~CapturedStandardError() { Restore(); }
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
  }

 private:
  std::string path_;
  int saved_ = -1;
};

class MovieLogTest : public test_support::MovieClipTest {};

TEST_F(MovieLogTest, TheMessagesAboutADamagedClipGoToTheLogAndNotToTheStandardErrorStream) {
  // The clip's header stays; everything after its first kilobyte is garbage.
  std::string clip = game_.ReadFile(kLooseClip);
  ASSERT_GT(clip.size(), 2048u);
  for (std::size_t i = 1024; i < clip.size(); ++i) clip[i] = static_cast<char>((i * 131) ^ 0x5A);
  game_.WriteFile("DAMAGED.AVI", clip);
  LogCapture log;
  {
    CapturedStandardError captured(game_.HostPath() + "stderr.txt");
    for (int attempt = 0; attempt < 2; ++attempt) {
      CDShowSprite sprite;
      if (sprite.Open("DAMAGED.AVI", 0, 0, nullptr) == kMovieOpened) {
        sprite.Control().Play();
        WaitFor([&] { return sprite.Control().IsEnded(); });
      }
    }
    captured.Restore();
  }
  EXPECT_EQ(game_.ReadFile("stderr.txt"), "");
  bool routed = false;
  for (const std::string& line : log.Lines()) routed = routed || line.starts_with("movie library: ");
  EXPECT_TRUE(routed) << "the warnings about the damage are in the log";
}

}  // namespace
