// Reading DPK entries: whole (stored and LZSS-packed, scrambled) and through an entry stream,
// name lookups in a large name tree, and an entry read by name through the data-file layer from
// game folders of 0 and 2000 other files, next to a POSIX read of the same bytes from a loose
// file, also in the moments after a save into the game folder (a table after the runs gives the
// ratios).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "base/files/path.h"
#include "base/files/read_target.h"
#include "dpk_writer.h"
#include "platform/files/file_handle.h"
#include "platform/files/host_path.h"
#include "ratio_reporter.h"
#include "resource/archives/dpk_decoder.h"
#include "resource/archives/file_system.h"

namespace {

namespace fs = std::filesystem;

std::string TextLike(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {"scenario ", "sprite ", "voice ", "message ", "\r\n"};
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) text += kWords[random() % 5];
  return text.substr(0, size);
}

// An archive of 2000 entries of 64 KiB (names "dir\fileN.sob"), written once per run.
class BenchArchive {
 public:
  explicit BenchArchive(bool pack) {
    folder_ = fs::temp_directory_path() / ("kestrune-dpk-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(folder_);
    kvxtools::DpkWriterOptions options;
    options.long_records = options.pack = pack;
    options.scramble = true;
    kvxtools::DpkWriter writer(options);
    for (int i = 0; i < 2000; ++i)
      writer.Add("dir\\file" + std::to_string(i) + ".sob", i < 16 ? TextLike(65536, i) : "x");
    std::string error;
    const std::string path = (folder_ / "BENCH.DPK").string();
    if (!writer.WriteFile(path, error)) return;
    CDpkDecoder decoder;
    plat::FileHandle closed;
    archive_ = decoder.Open(plat::ToEnginePath(path).c_str(), closed, nullptr);
  }
  ~BenchArchive() {
    archive_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  CArchive* Get() const { return archive_.get(); }

 private:
  fs::path folder_;
  RefPtr<CArchive> archive_;
};

void BM_DpkReadEntry(benchmark::State& state) {
  const BenchArchive archive(state.range(0) != 0);
  if (archive.Get() == nullptr) return state.SkipWithError("no archive");
  for (auto _ : state) {
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    if (archive.Get()->ReadEntry(3, target, {}) != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(target.Detach());
  }
  state.SetBytesProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_DpkReadEntry)->Arg(0)->Arg(1);

void BM_DpkStreamEntry(benchmark::State& state) {
  const BenchArchive archive(false);
  if (archive.Get() == nullptr) return state.SkipWithError("no archive");
  std::vector<char> buffer(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const RefPtr<CReadStream> stream = archive.Get()->OpenEntryStream(3, nullptr);
    while (stream->Read(buffer.data(), static_cast<std::uint32_t>(buffer.size())) != 0) {
    }
  }
  state.SetBytesProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_DpkStreamEntry)->Arg(512)->Arg(16384);

void BM_DpkHasEntry(benchmark::State& state) {
  const BenchArchive archive(false);
  if (archive.Get() == nullptr) return state.SkipWithError("no archive");
  int i = 0;
  for (auto _ : state) {
    const std::string name = "DIR\\FILE" + std::to_string(i++ % 2000) + ".SOB";
    benchmark::DoNotOptimize(archive.Get()->HasEntry(name.c_str()));
  }
}
BENCHMARK(BM_DpkHasEntry);

constexpr std::size_t kEntrySize = 65536;

// A game folder holding SCRIPT.DPK (16 stored entries of 64 KiB, mounted as SCRIPT\) and
// `other_files` loose files, and elsewhere a loose copy of the entry that is read.
class BenchGameFolder {
 public:
  // `saved`: the engine has just written a save into the game folder.
  explicit BenchGameFolder(int other_files, bool saved = false) {
    folder_ = fs::temp_directory_path() / ("kestrune-game-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(folder_ / "game");
    kvxtools::DpkWriter writer(kvxtools::DpkWriterOptions{});
    for (int i = 0; i < 16; ++i) writer.Add("FILE" + std::to_string(i) + ".SOB", TextLike(kEntrySize, i));
    std::string error;
    if (!writer.WriteFile((folder_ / "game" / "SCRIPT.DPK").string(), error)) return;
    for (int i = 0; i < other_files; ++i) std::ofstream(folder_ / "game" / ("other" + std::to_string(i) + ".txt")) << i;
    std::ofstream(folder_ / "FILE3.SOB", std::ios::binary) << TextLike(kEntrySize, 3);
    SetBaseFolder(plat::ToEnginePath((folder_ / "game").string() + "/").c_str());
    RegisterDpkDecoder(*files_);
    ok_ = files_->MountArchive("SCRIPT.DPK", -2, 1, true, nullptr) == 0;
    if (saved) ok_ = ok_ && plat::FileHandle::Open(plat::ToEnginePath((folder_ / "game" / "SAVE01.DAT").string()),
                                                    plat::FileOpenMode::kCreateAlways).IsOpen();
  }
  ~BenchGameFolder() {
    files_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  bool Ok() const { return ok_; }
  CFileSystem& Files() { return *files_; }
  std::string LoosePath() const { return (folder_ / "FILE3.SOB").string(); }

 private:
  fs::path folder_;
  std::unique_ptr<CFileSystem> files_ = std::make_unique<CFileSystem>();
  bool ok_ = false;
};

void ReadByName(benchmark::State& state, bool saved) {
  BenchGameFolder game(static_cast<int>(state.range(0)), saved);
  if (!game.Ok()) return state.SkipWithError("no game folder");
  for (auto _ : state) {
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    if (game.Files().ReadFile("SCRIPT\\FILE3.SOB", target, nullptr) != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(target.Detach());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kEntrySize));
}
void BM_ReadByName(benchmark::State& state) { ReadByName(state, false); }
BENCHMARK(BM_ReadByName)->Arg(0)->Arg(2000);

// Within the moments after a save into the game folder.
void BM_ReadByNameAfterSave(benchmark::State& state) { ReadByName(state, true); }
BENCHMARK(BM_ReadByNameAfterSave)->Arg(2000);

void BM_PosixRead(benchmark::State& state) {
  BenchGameFolder game(0);
  const std::string path = game.LoosePath();
  for (auto _ : state) {
    const int file = ::open(path.c_str(), O_RDONLY);
    struct stat status {};
    if (file < 0 || ::fstat(file, &status) != 0) return state.SkipWithError("open failed");
    const auto data = std::make_unique<char[]>(static_cast<std::size_t>(status.st_size));
    if (::read(file, data.get(), static_cast<std::size_t>(status.st_size)) != status.st_size) state.SkipWithError("read failed");
    ::close(file);
    benchmark::DoNotOptimize(data.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kEntrySize));
}
BENCHMARK(BM_PosixRead);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "read by name",
                                 {{"BM_ReadByName/0", "BM_PosixRead"},
                                  {"BM_ReadByName/2000", "BM_PosixRead"},
                                  {"BM_ReadByNameAfterSave/2000", "BM_PosixRead"}});
}
