// Start-up to exit of an empty game (a main script that returns at once) next to a minimal SDL
// program that opens a window and quits, next to the same program when it also makes a renderer
// and presents one frame, and next to an SDL program that does just what the engine's first
// frame needs (the same window, the same renderer and a streaming texture of the window's size,
// one frame presented), all run as whole programs with the dummy audio driver. Needs a display:
// run it under xvfb-run. Repetitions are interleaved so that the load of the machine falls on
// all of them.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ratio_reporter.h"
#include "settings_writer.h"
#include "sob_assembler.h"

namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A game folder whose main script returns at once and whose settings are read, never written.
class EmptyGame {
 public:
  EmptyGame() : folder_(fs::temp_directory_path() / ("kestrune-startup-bench-" + std::to_string(std::random_device()()))) {
    kvxtools::SobAssembly main;
    std::string error;
    ok_ = kvxtools::AssembleSob(".kind script\n  Return\n", nullptr, main, error);
    WriteBytes(folder_ / "SCRIPT" / "MAIN.SOB", main.bytes);
    kvxtools::AppDefinitionFile definition;
    definition.save_folder_mode = 5;
    WriteBytes(folder_ / "SCRIPT" / "DL_APP.SYS", kvxtools::WriteAppDefinition(definition));
    WriteBytes(folder_ / "SCRIPT" / "DL_APP.INF", kvxtools::WriteAppInformation({}));
    WriteBytes(folder_ / "USER.CFG", kvxtools::WriteUserConfigFile({{}, {}, {}, {}}));
  }
  ~EmptyGame() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  bool Ok() const { return ok_; }
  std::string Argument() const { return "/L" + folder_.string() + "/"; }

 private:
  fs::path folder_;
  bool ok_ = false;
};

// Runs a program with its output discarded; whether it exited with 0.
bool RunProgram(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RunEachIteration(benchmark::State& state, const std::vector<std::string>& words) {
  for (auto _ : state) {
    if (!RunProgram(words)) return state.SkipWithError("the program failed (is there a display?)");
  }
}

void BM_EmptyGame(benchmark::State& state) {
  const EmptyGame game;
  if (!game.Ok()) return state.SkipWithError("no game");
  RunEachIteration(state, {KESTRUNE_BUILD_DIR "/kestrune", game.Argument()});
}
BENCHMARK(BM_EmptyGame)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_MinimalSdlWindow(benchmark::State& state) {
  RunEachIteration(state, {KESTRUNE_BUILD_DIR "/minimal_sdl_window"});
}
BENCHMARK(BM_MinimalSdlWindow)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_MinimalSdlPresent(benchmark::State& state) {
  RunEachIteration(state, {KESTRUNE_BUILD_DIR "/minimal_sdl_window", "--present"});
}
BENCHMARK(BM_MinimalSdlPresent)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SdlFirstFrame(benchmark::State& state) { RunEachIteration(state, {KESTRUNE_BUILD_DIR "/sdl_first_frame"}); }
BENCHMARK(BM_SdlFirstFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Every program measured here opens the same audio driver, so that the figure does not depend on
  // the machine's sound server.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::vector<char*> arguments(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  std::string repetitions = "--benchmark_repetitions=9";
  // Given first, so that the command line can still choose otherwise.
  arguments.insert(arguments.begin() + 1, {interleave.data(), repetitions.data()});
  int count = static_cast<int>(arguments.size());
  return RunBenchmarksWithRatios(count, arguments.data(), "start-up",
                                 {{"BM_EmptyGame/real_time", "BM_MinimalSdlWindow/real_time"},
                                  {"BM_EmptyGame/real_time", "BM_MinimalSdlPresent/real_time"},
                                  {"BM_EmptyGame/real_time", "BM_SdlFirstFrame/real_time"}});
}
