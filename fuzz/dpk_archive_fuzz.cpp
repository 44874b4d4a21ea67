// Opens arbitrary bytes as the DPK archive "FUZZ.DPK" (default key words, tables built) and
// reads every entry whole and as a stream. The index cipher is a running XOR, so mutated bytes
// reach the parser as mutated plain values. The corpus was written by the DPK writer.
//
// The archive lives in memory: "FUZZ.DPK" is a link to a memory file that each input rewrites,
// so the decoder opens it by name as it would any archive, without a file on the disk per input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/files/read_target.h"
#include "platform/files/host_path.h"
#include "resource/archives/dpk_decoder.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process's own with the link, removed at exit.
struct FuzzArchive {
  FuzzArchive() : memory(memfd_create("FUZZ.DPK", 0)) {
    if (memory < 0) std::abort();
    std::random_device random;
    folder = fs::temp_directory_path() / ("kestrune-dpk-fuzz-" + std::to_string(random()));
    fs::create_directories(folder);
    archive = folder / "FUZZ.DPK";
    fs::create_symlink("/proc/self/fd/" + std::to_string(memory), archive);
    const PluginArgList build_tables{kDpkAssistBuildTables, 1u};
    const PluginArgs args = build_tables.View();
    DpkAssistFunc2(&args);
  }
  ~FuzzArchive() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    close(memory);
  }
  void Write(const std::uint8_t* data, std::size_t size) const {
    if (ftruncate(memory, 0) != 0) std::abort();
    for (std::size_t written = 0; written < size;) {
      const ssize_t step = pwrite(memory, data + written, size - written, static_cast<off_t>(written));
      if (step <= 0) std::abort();
      written += static_cast<std::size_t>(step);
    }
  }
  int memory;
  fs::path folder;
  fs::path archive;
};

void ReadEveryEntry(CArchive& archive) {
  const std::uint32_t count = std::min<std::uint32_t>(archive.GetEntryCount(), 64);
  for (std::uint32_t number = 0; number < count; ++number) {
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    if (archive.ReadEntry(number, target, {}) != 0) target.Free();
    const char* name = nullptr;
    if (archive.GetEntryInfo(number, &name) != nullptr && name != nullptr && archive.HasEntry(name)) {
      archive.GetEntryInfoByName(name);
    }
    if (RefPtr<CReadStream> stream = archive.OpenEntryStream(number, nullptr)) {
      char buffer[97];
      while (stream->Read(buffer, sizeof buffer) != 0) {
      }
      if (!stream->IsEof()) std::abort();
    }
  }
  archive.HasEntry("main.sob");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzArchive fuzz_archive;
  static const std::string path = plat::ToEnginePath(fuzz_archive.archive.string());
  fuzz_archive.Write(data, size);
  CDpkDecoder decoder;
  plat::FileHandle closed;
  int error = -1;
  const RefPtr<CArchive> archive = decoder.Open(path.c_str(), closed, &error);
  if ((archive == nullptr) != (error != 0)) std::abort();
  if (archive) ReadEveryEntry(*archive);
  return 0;
}
