// Pacing of an idle game: a main script that only yields, run for three seconds at 60 frames per
// second in each run mode, and with the frames paced by the vertical blank on the game thread.
// Each run reports the processor time the process took as a share of one core (cpu_share), the
// frames per second, and how late the frames came against the frame interval (late_mean and
// late_max, in milliseconds). Run it on a display (under Xvfb: xvfb-run -a
// build/frame_pacing_bench).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "base/timed_task.h"
#include "platform/clock.h"
#include "platform/host_path.h"
#include "sob_assembler.h"

namespace {

constexpr int kFrames = 180;

// Notes the counter at every drawn frame (the second timer manager runs once per frame).
class FrameClock : public CTimedTask {
 public:
  explicit FrameClock(std::vector<int64_t>& readings) : readings_(readings) {}
  uint32_t GetTypeId() const override { return 0; }
  uint32_t Update(uint32_t) override {
    readings_.push_back(plat::CounterReading());
    return 0;
  }
  void Stop() override {}

 private:
  std::vector<int64_t>& readings_;
};

class PacedGame : public CGameApp {
 public:
  PacedGame(bool threaded, bool vertical_blank) : threaded_(threaded), vertical_blank_(vertical_blank) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    GetEnvironment()[kEnvThreadedMode] = threaded_ ? 1 : 0;
    if (vertical_blank_) GetGameSwitches()[kSwitchFrameWaitMode] = kFrameWaitNone;
    return result;
  }

 private:
  bool threaded_;
  bool vertical_blank_;
};

std::string GameFolder() {
  static const std::string folder = [] {
    std::string source = ".kind script\n";
    for (int i = 0; i < kFrames; ++i) source += "  Yield\n";
    source += "  Return\n";
    kvxtools::SobAssembly main;
    std::string error;
    kvxtools::AssembleSob(source, nullptr, main, error);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "kestrune-pacing-bench";
    std::filesystem::create_directories(path / "SCRIPT");
    std::ofstream(path / "SCRIPT" / "MAIN.SOB", std::ios::binary)
        .write(reinterpret_cast<const char*>(main.bytes.data()), static_cast<std::streamsize>(main.bytes.size()));
    return path.string() + "/";
  }();
  return folder;
}

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunGame(benchmark::State& state, bool threaded, bool vertical_blank) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  std::vector<int64_t> frames;
  double processor = 0;
  double wall = 0;
  for (auto _ : state) {
    PacedGame game(threaded, vertical_blank);
    game.GetPausableTimerManager().Add(new FrameClock(frames), 0, 0, 0);
    const double processor_before = ProcessorSeconds();
    const int64_t start = plat::CounterReading();
    if (game.Run("/L" + plat::ToEnginePath(GameFolder()), 1) != 0) state.SkipWithError("the game did not run");
    wall = static_cast<double>(plat::CounterReading() - start) / static_cast<double>(plat::CounterFrequency());
    processor = ProcessorSeconds() - processor_before;
  }
  const double interval_ms = 1000.0 / 60;
  std::vector<double> late;
  for (size_t i = 1; i < frames.size(); ++i) {
    const double gap_ms = static_cast<double>(frames[i] - frames[i - 1]) * 1000.0 /
                          static_cast<double>(plat::CounterFrequency());
    late.push_back(std::max(0.0, gap_ms - interval_ms));
  }
  double sum = 0;
  for (const double each : late) sum += each;
  state.counters["cpu_share"] = wall > 0 ? processor / wall : 0;
  state.counters["fps"] = wall > 0 ? static_cast<double>(frames.size()) / wall : 0;
  state.counters["late_mean"] = late.empty() ? 0 : sum / static_cast<double>(late.size());
  state.counters["late_max"] = late.empty() ? 0 : *std::max_element(late.begin(), late.end());
}

void MainThread(benchmark::State& state) { RunGame(state, false, false); }
void GameThread(benchmark::State& state) { RunGame(state, true, false); }
void GameThreadVerticalBlank(benchmark::State& state) { RunGame(state, true, true); }

}  // namespace

BENCHMARK(MainThread)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GameThread)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GameThreadVerticalBlank)->Iterations(1)->Unit(benchmark::kMillisecond);
