#include "platform/system/machine_code_map.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace plat {
namespace {

// Read at every piece of code made, which is rare, so that the variable can be set at any time.
bool MapAsked() {
  const char* value = std::getenv("KESTRUNE_PERF_MAP");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

std::string MachineCodeMapPath() { return "/tmp/perf-" + std::to_string(getpid()) + ".map"; }

void NoteMachineCode(const void* start, std::size_t size, std::string_view name) {
  if (!MapAsked()) return;
  static std::mutex writing;
  const std::lock_guard<std::mutex> lock(writing);
  std::FILE* file = std::fopen(MachineCodeMapPath().c_str(), "a");
  if (file == nullptr) return;
  std::fprintf(file, "%jx %zx %.*s\n", static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(start)), size,
               static_cast<int>(name.size()), name.data());
  std::fclose(file);
}

}  // namespace plat
