// Pacing of an idle game: a main script that only yields, run for three seconds at 60 frames per
// second in each run mode, and with the frames paced by the vertical blank (with and without a
// display canvas).
// Each run reports the processor time the process took as a share of one core (cpu_share), the
// frames per second, and how late the frames came against the frame interval (late_mean and
// late_max, in milliseconds), and after the runs a table of the median processor shares as
// ratios to a sleeping SDL frame loop's. QuitQuestion reports the share of a core taken while the
// quit question stands open over the idle game. Run it on a display (under Xvfb: xvfb-run -a
// build/frame_pacing_bench).
#include <benchmark/benchmark.h>
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/game/game_app.h"
#include "base/time/timed_task.h"
#include "platform/events/window_messages.h"
#include "platform/files/host_path.h"
#include "platform/system/clock.h"
#include "settings_writer.h"
#include "sob_assembler.h"
#include "support/input_events.h"

namespace {

constexpr int kFrames = 180;

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct FrameNote {
  int64_t counter = 0;
  double processor = 0;
};

// Notes the counter and the processor time at every drawn frame (the second timer manager runs
// once per frame).
class FrameClock : public CTimedTask {
 public:
  explicit FrameClock(std::vector<FrameNote>& notes) : notes_(notes) {}
  uint32_t GetTypeId() const override { return 0; }
  uint32_t Update(uint32_t) override {
    notes_.push_back({plat::CounterReading(), ProcessorSeconds()});
    return 0;
  }
  void Stop() override {}

 private:
  std::vector<FrameNote>& notes_;
};

class PacedGame : public CGameApp {
 public:
  PacedGame(bool threaded, bool vertical_blank, bool canvas)
      : threaded_(threaded), vertical_blank_(vertical_blank), canvas_(canvas) {}
  int SetUp() override {
    const int result = CGameApp::SetUp();
    GetEnvironment()[kEnvThreadedMode] = threaded_ ? 1 : 0;
    GetEnvironment()[kEnvDisplayCanvas] = canvas_ ? 1 : 0;
    if (vertical_blank_) GetGameSwitches()[kSwitchFrameWaitMode] = kFrameWaitNone;
    return result;
  }

 private:
  bool threaded_;
  bool vertical_blank_;
  bool canvas_;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A game folder with the settings every game has and a main script that yields once a frame.
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
    WriteBytes(path / "SCRIPT" / "MAIN.SOB", main.bytes);
    kvxtools::AppDefinitionFile definition;
    definition.save_folder_mode = 5;
    WriteBytes(path / "SCRIPT" / "DL_APP.SYS", kvxtools::WriteAppDefinition(definition));
    WriteBytes(path / "SCRIPT" / "DL_APP.INF", kvxtools::WriteAppInformation({}));
    WriteBytes(path / "USER.CFG", kvxtools::WriteUserConfigFile({{}, {}, {}, {}}));
    return path.string() + "/";
  }();
  return folder;
}

// The first frames (the window's renderer is made at the first one) are left out.
constexpr size_t kSettlingFrames = 10;

// The share of one core each run took, by benchmark, for the table after the runs.
std::map<std::string, std::vector<double>>& CpuShares() {
  static std::map<std::string, std::vector<double>> shares;
  return shares;
}

void ReportFrames(benchmark::State& state, const char* name, const std::vector<FrameNote>& frames) {
  if (frames.size() < kSettlingFrames + 2) return;
  const double frequency = static_cast<double>(plat::CounterFrequency());
  const FrameNote& first = frames[kSettlingFrames];
  const FrameNote& last = frames.back();
  const double wall = static_cast<double>(last.counter - first.counter) / frequency;
  const double interval_ms = 1000.0 / 60;
  double late_sum = 0;
  double late_max = 0;
  for (size_t i = kSettlingFrames + 1; i < frames.size(); ++i) {
    const double gap_ms = static_cast<double>(frames[i].counter - frames[i - 1].counter) * 1000.0 / frequency;
    const double late = std::max(0.0, gap_ms - interval_ms);
    late_sum += late;
    late_max = std::max(late_max, late);
  }
  const double gaps = static_cast<double>(frames.size() - kSettlingFrames - 1);
  const double cpu_share = (last.processor - first.processor) / wall;
  CpuShares()[name].push_back(cpu_share);
  state.counters["cpu_share"] = cpu_share;
  state.counters["fps"] = gaps / wall;
  state.counters["late_mean"] = late_sum / gaps;
  state.counters["late_max"] = late_max;
}

void RunGame(benchmark::State& state, const char* name, bool threaded, bool vertical_blank, bool canvas) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  std::vector<FrameNote> frames;
  for (auto _ : state) {
    PacedGame game(threaded, vertical_blank, canvas);
    game.GetPausableTimerManager().Add(new FrameClock(frames), 0, 0, 0);
    if (game.Run("/L" + plat::ToEnginePath(GameFolder()), 1) != 0) state.SkipWithError("the game did not run");
  }
  ReportFrames(state, name, frames);
}

// The anchor: an SDL program's frame loop with a window that reads its events and sleeps out the
// rest of each 60th of a second.
void SdlFrameLoop(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  std::vector<FrameNote> frames;
  for (auto _ : state) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return state.SkipWithError("no display");
    SDL_Window* window = SDL_CreateWindow("loop", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 640, 480, 0);
    if (window == nullptr) return state.SkipWithError("no window");
    const double frequency = static_cast<double>(plat::CounterFrequency());
    const int64_t start = plat::CounterReading();
    for (int frame = 1; frame <= kFrames; ++frame) {
      SDL_Event event;
      while (SDL_PollEvent(&event) != 0) {
      }
      frames.push_back({plat::CounterReading(), ProcessorSeconds()});
      const double due_ms = frame * 1000.0 / 60 - static_cast<double>(plat::CounterReading() - start) * 1000.0 / frequency;
      if (due_ms > 0) SDL_Delay(static_cast<uint32_t>(due_ms));
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
  }
  ReportFrames(state, __func__, frames);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Presses the close box once the game has drawn a few frames.
class CloseBoxPress : public CTimedTask {
 public:
  explicit CloseBoxPress(CGameApp& game) : game_(game) {}
  uint32_t GetTypeId() const override { return 0; }
  uint32_t Update(uint32_t) override {
    if (++frames_ == kSettlingFrames) game_.GetMainWindow().PostMessage(plat::WM_CLOSE, 0, 0);
    return 0;
  }
  void Stop() override {}

 private:
  CGameApp& game_;
  size_t frames_ = 0;
};

// The main-thread game whose quit question, once open, is left alone for a second (its font
// is made meanwhile), watched for three and then answered with Escape.
class AskedGame : public PacedGame {
 public:
  AskedGame() : PacedGame(false, false, true) {}
  ~AskedGame() override {
    if (answerer_.joinable()) answerer_.join();
  }
  void OnEnterModal() override {
    PacedGame::OnEnterModal();
    answerer_ = std::thread([this, window = GetMainWindow().GetHandle()] {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      watched_from = {plat::CounterReading(), ProcessorSeconds()};
      std::this_thread::sleep_for(std::chrono::seconds(3));
      watched_to = {plat::CounterReading(), ProcessorSeconds()};
      test_support::PushKeyPress(window, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    });
  }

  FrameNote watched_from;
  FrameNote watched_to;

 private:
  std::thread answerer_;
};

void QuitQuestion(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "x11", 0);
  for (auto _ : state) {
    AskedGame game;
    game.GetPausableTimerManager().Add(new CloseBoxPress(game), 0, 0, 0);
    if (game.Run("/L" + plat::ToEnginePath(GameFolder()), 1) != 0) state.SkipWithError("the game did not run");
    const double wall = static_cast<double>(game.watched_to.counter - game.watched_from.counter) /
                        static_cast<double>(plat::CounterFrequency());
    if (wall <= 0) {
      state.SkipWithError("the question was never asked");
      return;
    }
    state.counters["cpu_share"] = (game.watched_to.processor - game.watched_from.processor) / wall;
  }
}

void MainThread(benchmark::State& state) { RunGame(state, __func__, false, false, true); }
void GameThread(benchmark::State& state) { RunGame(state, __func__, true, false, true); }
void MainThreadVerticalBlank(benchmark::State& state) { RunGame(state, __func__, false, true, false); }
void GameThreadVerticalBlank(benchmark::State& state) { RunGame(state, __func__, true, true, false); }
void GameThreadVerticalBlankCanvas(benchmark::State& state) { RunGame(state, __func__, true, true, true); }

}  // namespace

BENCHMARK(MainThread)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GameThread)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MainThreadVerticalBlank)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GameThreadVerticalBlank)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GameThreadVerticalBlankCanvas)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(QuitQuestion)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlFrameLoop)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // The audio driver every machine has, so that the figures do not depend on the sound server.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const auto anchor = CpuShares().find("SdlFrameLoop");
  if (anchor == CpuShares().end()) return 0;
  std::printf("\n%-44s %10s %14s\n", "idle at 60 fps", "cpu share", "/ SDL loop");
  for (const auto& [name, shares] : CpuShares()) {
    std::printf("%-44s %10.4f %14.2f\n", name.c_str(), Median(shares), Median(shares) / Median(anchor->second));
  }
  return 0;
}
