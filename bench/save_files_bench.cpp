// Saving and loading the game state of a mid-size game: 1 MB of script variables, mostly zeros
// with scattered flags and counters, packed into a save file and read back. The anchor is a
// memcpy of the same record; a table after the runs gives each time (ms) as a ratio to it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"
#include "base/settings/game_settings.h"
#include "game/game_script_host.h"
#include "gfx/images/image.h"
#include "platform/files/host_path.h"
#include "resource/archives/file_system.h"
#include "sob_builder.h"

#include "ratio_reporter.h"

namespace {

constexpr std::uint32_t kVariableCount = 256;
constexpr std::uint32_t kVariableSize = 4096;  // 256 x 4 KB = 1 MB

// A game folder with the user variables, a save folder and a host that loaded them.
class SaveBench {
 public:
  SaveBench() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrune-bench-XXXXXX").string();
    folder_ = std::string(mkdtemp(pattern.data())) + "/";
    std::filesystem::create_directories(folder_ + "SCRIPT");
    std::filesystem::create_directories(folder_ + "SAVE");
    std::mt19937 random(7);
    kvxtools::UserVarBuilder builder;
    for (std::uint32_t i = 0; i < kVariableCount; ++i) {
      std::vector<std::uint8_t> block(kVariableSize);
      for (std::uint32_t at = 0; at < kVariableSize; at += 16 + static_cast<std::uint32_t>(random() % 64)) block[at] = static_cast<std::uint8_t>(random());
      builder.AddVariable(0, 1, kVariableSize, block);
    }
    const std::vector<std::uint8_t> object = builder.Build();
    std::ofstream(folder_ + "SCRIPT/USER_VAR.SOB", std::ios::binary)
        .write(reinterpret_cast<const char*>(object.data()), static_cast<std::streamsize>(object.size()));

    SetBaseFolder(plat::ToEnginePath(folder_).c_str());
    g_DataFiles = files_.get();
    g_UserConfig = &settings_;
    host_ = std::make_unique<CGameScriptHost>();
    ok_ = host_->LoadLibraries(nullptr, "SCRIPT\\USER_VAR.SOB", nullptr, true, true) == 0;
    host_->SetSaveFolder((plat::ToEnginePath(folder_) + "SAVE\\").c_str());
    ok_ = ok_ && thumbnail_.Create(640, 480, 32, 0) == 0;
    host_->SetThumbnailSource(&thumbnail_, nullptr);
  }
  ~SaveBench() {
    host_.reset();
    g_UserConfig = nullptr;
    g_DataFiles = nullptr;
    std::filesystem::remove_all(folder_);
  }

  bool Ok() const { return ok_; }
  CGameScriptHost& Host() { return *host_; }

 private:
  std::string folder_;
  std::unique_ptr<CFileSystem> files_ = std::make_unique<CFileSystem>();
  GameSettingsBlock settings_ = DefaultGameSettings();
  std::unique_ptr<CGameScriptHost> host_;
  CImage thumbnail_;
  bool ok_ = false;
};

SaveBench& Bench() {
  static SaveBench bench;
  return bench;
}

void SaveGame(benchmark::State& state) {
  if (!Bench().Ok()) return state.SkipWithError("the game could not be set up");
  for (auto _ : state) {
    if (Bench().Host().SaveGame(1, 0) != 0) return state.SkipWithError("the save failed");
  }
}

void LoadGame(benchmark::State& state) {
  if (!Bench().Ok() || Bench().Host().SaveGame(1, 0) != 0) return state.SkipWithError("the game could not be saved");
  for (auto _ : state) {
    if (Bench().Host().LoadGame(1, 0) != 0) return state.SkipWithError("the load failed");
  }
}

void MemcpyRecord(benchmark::State& state) {
  std::vector<std::uint8_t> record;
  if (!Bench().Ok() || Bench().Host().WriteState(record, false) != 0) return state.SkipWithError("no record");
  std::vector<std::uint8_t> copy(record.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), record.data(), record.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(MemcpyRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveGame)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadGame)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "state of 1 MB",
                                 {{"SaveGame", "MemcpyRecord"}, {"LoadGame", "MemcpyRecord"}});
}
