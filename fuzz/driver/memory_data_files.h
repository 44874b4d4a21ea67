// A data-file layer over files held in memory, published as the program's layer while it lives:
// fuzz targets read their input through the engine's own file services without a file per
// input. Only whole reads are served; streams, find records and numbered entries are not there.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/path.h"

class MemoryDataFiles final : public IDataFileLayer {
 public:
  MemoryDataFiles() : previous_(g_DataFiles) { g_DataFiles = this; }
  ~MemoryDataFiles() override { g_DataFiles = previous_; }
  MemoryDataFiles(const MemoryDataFiles&) = delete;
  MemoryDataFiles& operator=(const MemoryDataFiles&) = delete;

  void Set(const std::string& name, std::span<const std::uint8_t> bytes) { files_[name].assign(bytes.begin(), bytes.end()); }
  void Remove(const std::string& name) { files_.erase(name); }

  RefPtr<CReadStream> OpenStream(const char* /*name*/, char* /*out_path*/, int* out_error, bool /*allow_memory*/) override {
    if (out_error != nullptr) *out_error = kNotFound;
    return nullptr;
  }
  unsigned ReadFile(const char* name, CReadTarget& target, char* out_path) override {
    const auto file = name != nullptr ? files_.find(name) : files_.end();
    if (file == files_.end()) return kNotFound;
    unsigned char* buffer = target.Allocate(static_cast<std::uint32_t>(file->second.size()));
    if (buffer == nullptr) return kNoMemory;
    if (!file->second.empty()) std::memcpy(buffer, file->second.data(), file->second.size());
    if (out_path != nullptr) CopyName(out_path, file->first);
    return 0;
  }
  unsigned FindFile(char* /*out_path*/, const char* /*name*/, plat::FindData* /*find_data*/) const override {
    return kNotFound;
  }
  // Every file counts as an archive entry; its path is its name.
  int LocateFile(char* path, const char* name, plat::FindData* /*find_data*/) const override {
    if (name == nullptr || files_.count(name) == 0) return 2;
    CopyName(path, name);
    return -1;
  }
  unsigned ReadArchiveEntry(std::int32_t /*id*/, std::int32_t /*number*/, const char* /*name*/, CReadTarget& /*target*/,
                            char* /*out_path*/) override {
    return kNotFound;
  }

 private:
  static constexpr unsigned kNotFound = 3;
  static constexpr unsigned kNoMemory = 8;

  static void CopyName(char* destination, const std::string& name) {
    const std::size_t length = std::min(name.size(), kMaxPath - 1);
    std::memcpy(destination, name.data(), length);
    destination[length] = '\0';
  }

  IDataFileLayer* previous_;
  std::map<std::string, std::vector<std::uint8_t>> files_;
};
