// Reading DPK entries: whole (stored and LZSS-packed, scrambled) and through an entry stream,
// and name lookups in a large name tree.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "base/read_target.h"
#include "dpk_writer.h"
#include "platform/host_path.h"
#include "resource/dpk_decoder.h"

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

}  // namespace
