// Carrying an earlier version's folder of 10,000 small saves into a new folder, as the first
// start after an update does: every file written, then all put on the disk at once before the
// folder takes its name. The anchor is a plain copy of the same files with no flush at all; a
// table after the runs gives the carry's time (ms) as a ratio to it. The files lie in the
// temporary folder, which must be on a disk (not in memory) for the ratio to mean anything.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/game/earlier_data_folder.h"
#include "platform/files/host_path.h"
#include "platform/files/plain_files.h"

#include "ratio_reporter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFileCount = 10000;

// The earlier folder of small saves and the folder the copies go into.
class CarryBench {
 public:
  CarryBench() {
    std::string pattern = (fs::temp_directory_path() / "kestrune-bench-XXXXXX").string();
    folder_ = fs::path(mkdtemp(pattern.data()));
    fs::create_directories(Earlier());
    for (int i = 0; i < kFileCount; ++i) {
      std::ofstream(Earlier() / ("SAVE" + std::to_string(i) + ".DAT"), std::ios::binary)
          << std::string(200 + i % 1800, static_cast<char>('a' + i % 26));
    }
  }
  ~CarryBench() { fs::remove_all(folder_); }

  fs::path Earlier() const { return folder_ / "earlier"; }
  fs::path Carried() const { return folder_ / "data" / "carried"; }
  // The copies of the run before gone and the disk idle, so that each run starts alike.
  void Clear() const {
    fs::remove_all(folder_ / "data");
    ::sync();
  }

 private:
  fs::path folder_;
};

CarryBench& Bench() {
  static CarryBench bench;
  return bench;
}

void CarryFolder(benchmark::State& state) {
  const std::string earlier = plat::ToEnginePath(Bench().Earlier().string() + "/");
  const std::string carried = plat::ToEnginePath(Bench().Carried().string() + "/");
  const std::string staging = plat::ToEnginePath((Bench().Carried().parent_path() / ":carrying").string() + "/");
  for (auto _ : state) {
    state.PauseTiming();
    Bench().Clear();
    state.ResumeTiming();
    const plat::CarriedFiles result = plat::CarryPlainFiles(earlier, staging, carried, kLargestCarriedFile);
    if (!result.failure.empty() || result.copied != kFileCount) return state.SkipWithError(result.failure.c_str());
  }
}

void PlainCopy(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Bench().Clear();
    state.ResumeTiming();
    fs::create_directories(Bench().Carried());
    for (const fs::directory_entry& file : fs::directory_iterator(Bench().Earlier())) {
      fs::copy_file(file.path(), Bench().Carried() / file.path().filename());
    }
  }
}

}  // namespace

BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CarryFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "10,000 files",
                                 {{"CarryFolder/iterations:5", "PlainCopy/iterations:5"}});
}
