// Decoding ten seconds of 44.1 kHz stereo Ogg Vorbis to PCM through the engine's decoder (a
// file object loaded by the data-file layer, the decoder host, read in the streaming buffer's
// half-second requests) against the Vorbis library alone reading the same bytes from memory.
// After the runs it prints the engine's ratio to the library.
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/files/path.h"
#include "ogg_writer.h"
#include "platform/files/host_path.h"
#include "resource/archives/file_system.h"
#include "resource/plugins/sound_decoder_manager.h"
#include "seconds_reporter.h"
#include "sound/ogg_vorbis_module.h"

namespace {

constexpr long kRate = 44100;
constexpr uint32_t kHalfSecond = kRate * 4 / 2;

const std::vector<uint8_t>& MusicFile() {
  static const std::vector<uint8_t> ogg = [] {
    std::vector<int16_t> samples = MakeSine(kRate * 10, 2, kRate, 440);
    const std::vector<int16_t> high = MakeSine(kRate * 10, 2, kRate, 1250);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(samples[i] / 2 + high[i] / 2);
    return EncodeOggVorbis(samples, 2, kRate);
  }();
  return ogg;
}

// The engine's path: a data folder with the file, the data-file layer and the decoder host.
class EngineSetting {
 public:
  EngineSetting() {
    folder_ = std::filesystem::temp_directory_path() / ("ogg_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "BGM.OGG", std::ios::binary)
        .write(reinterpret_cast<const char*>(MusicFile().data()), static_cast<std::streamsize>(MusicFile().size()));
    SetBaseFolder(plat::ToEnginePath(folder_.string() + "/").c_str());
    g_DataFiles = &files_;
    RegisterOggVorbisModule(host_);
  }
  ~EngineSetting() {
    g_DataFiles = nullptr;
    std::filesystem::remove_all(folder_);
  }
  CSoundDecoderManager& host() { return host_; }

 private:
  std::filesystem::path folder_;
  CFileSystem files_;
  CSoundDecoderManager host_;
};

void EngineDecoder(benchmark::State& state) {
  EngineSetting setting;
  std::vector<uint8_t> pcm(kHalfSecond);
  for (auto _ : state) {
    RefPtr<CSoundDecoder> decoder = setting.host().OpenSound("BGM.OGG", nullptr, false, nullptr);
    while (decoder->Read(pcm.data(), kHalfSecond) != 0) benchmark::DoNotOptimize(pcm.data());
  }
}

struct MemoryReader {
  const std::vector<uint8_t>* bytes;
  size_t position = 0;
};

size_t ReadMemory(void* out, size_t size, size_t count, void* source) {
  auto& reader = *static_cast<MemoryReader*>(source);
  const size_t bytes = std::min(size * count, reader.bytes->size() - reader.position);
  std::memcpy(out, reader.bytes->data() + reader.position, bytes);
  reader.position += bytes;
  return bytes / size;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto& reader = *static_cast<MemoryReader*>(source);
  const auto base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<ogg_int64_t>(reader.position)
                                                                 : static_cast<ogg_int64_t>(reader.bytes->size());
  reader.position = static_cast<size_t>(base + offset);
  return 0;
}

long TellMemory(void* source) { return static_cast<long>(static_cast<MemoryReader*>(source)->position); }

void LibraryAlone(benchmark::State& state) {
  std::vector<char> pcm(kHalfSecond);
  for (auto _ : state) {
    MemoryReader reader{&MusicFile()};
    OggVorbis_File file;
    ov_open_callbacks(&reader, &file, nullptr, 0, {ReadMemory, SeekMemory, nullptr, TellMemory});
    int section = 0;
    while (ov_read(&file, pcm.data(), static_cast<int>(pcm.size()), 0, 2, 1, &section) > 0) {
      benchmark::DoNotOptimize(pcm.data());
    }
    ov_clear(&file);
  }
}

}  // namespace

BENCHMARK(EngineDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(LibraryAlone)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return RunBenchmarksAndPrint(argc, argv, [](const SecondsReporter& reporter) {
    const double engine = reporter.Seconds("EngineDecoder");
    const double library = reporter.Seconds("LibraryAlone");
    if (engine == 0 || library == 0) return;
    std::printf("\ndecoding 10 s of stereo Ogg Vorbis: %.2f ms, %.3f x the library alone\n", engine * 1e3,
                engine / library);
  });
}
