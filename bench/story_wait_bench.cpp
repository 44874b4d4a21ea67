// What waiting costs a player's machine: a copy of the built demo run at a fixed frame step, the
// processor time of its frames idle at the title, and of as many frames waiting in the story for
// a click after Mio's first line, with the waiting mark blinking. The title's frames are the
// anchor: after the run, the story's time per frame as a ratio to the title's. Run it on a display
// (under Xvfb: xvfb-run -a build/story_wait_bench).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/demo_game_copy.h"
#include "demo/demo_reader.h"
#include "support/fixed_step_game.h"
#include "support/temp_game_folder.h"

namespace {

// The movie is skipped at demo_test::kMovieSkip; the title then waits for its pick, which starts
// the story; the first line has printed well before the story's frames are counted.
constexpr int kCountedFrames = 300;
constexpr int kTitleFirst = demo_test::kMovieSkip + 60;
constexpr int kStoryPick = kTitleFirst + kCountedFrames + 10;
constexpr int kStoryFirst = kStoryPick + 2 * demo_test::kStep;
constexpr int kLastFrame = kStoryFirst + kCountedFrames;

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_TitleAndStoryWait(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  double title_seconds = 0;
  double story_seconds = 0;
  for (auto _ : state) {
    test_support::TempGameFolder game;
    CopyBuiltDemo(KESTRUNE_BUILD_DIR, game);
    test_support::FixedStepGame run;
    run.PlanClick(demo_test::kMovieSkip, demo_test::kReadX, demo_test::kReadY);
    run.PlanClick(kStoryPick, demo_test::kChoiceX, demo_test::kTitleStartY);
    run.PlanPicture(kLastFrame - 1, "story_wait.png");
    run.SetLastFrame(kLastFrame);
    std::vector<double> at(kLastFrame + 1, 0.0);
    run.SetFrameObserver([&](int frame) {
      if (frame <= kLastFrame) at[static_cast<size_t>(frame)] = ProcessorSeconds();
    });
    run.Run(game);
    const std::vector<uint32_t>& story = run.PictureAt(kLastFrame - 1);
    if (story.empty() || demo_test::InkOnFirstLine(story) < 50) return state.SkipWithError("the story did not show");
    title_seconds += at[kTitleFirst + kCountedFrames - 1] - at[kTitleFirst - 1];
    story_seconds += at[kStoryFirst + kCountedFrames - 1] - at[kStoryFirst - 1];
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["title_us_per_frame"] = title_seconds / runs / kCountedFrames * 1e6;
  state.counters["story_us_per_frame"] = story_seconds / runs / kCountedFrames * 1e6;
  std::printf("\nstory waiting / title idle, processor time per frame: %.2f\n", story_seconds / title_seconds);
}

}  // namespace

BENCHMARK(BM_TitleAndStoryWait)->Iterations(3)->Unit(benchmark::kMillisecond);
