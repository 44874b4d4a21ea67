// Once the program's entry announces the end of the process, the video system is left for the
// process's end instead of being quit in order, which waits for the renderer's threads and the
// display; without the announcement (a test's program) it is quit in order at the end.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/files/process_end.h"
#include "platform/window/native_window.h"
#include "support/scoped_environment.h"

namespace {

// Registered before the video starts, so that it runs after the video's own end handler.
void SayWhetherTheVideoIsUp() { std::fprintf(stderr, "video %s\n", SDL_WasInit(SDL_INIT_VIDEO) != 0 ? "up" : "quit"); }

TEST(ProcessEndTest, TheVideoIsLeftToTheProcessEndOnlyOnceTheEndIsAnnounced) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScopedEnvironment video("SDL_VIDEODRIVER", "dummy");
  for (const bool announced : {false, true}) {
    EXPECT_EXIT(
        {
          std::atexit(SayWhetherTheVideoIsUp);
          if (!plat::InitVideo()) std::_Exit(2);
          if (announced) plat::AnnounceProcessEnd();
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), announced ? "video up" : "video quit");
  }
}

}  // namespace
