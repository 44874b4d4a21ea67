#include "platform/files/on_demand_library.h"

#include <dlfcn.h>

#include <string>

#include "platform/system/diagnostic_log.h"

namespace plat {

std::optional<std::vector<void*>> OpenLibraryEntries(std::string_view file_name,
                                                     std::span<const char* const> names,
                                                     std::string_view consequence) {
  const std::string file(file_name);
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    LogDiagnostic("cannot load " + file + " (" + (reason != nullptr ? reason : "unknown reason") + "); " +
                  std::string(consequence));
    return std::nullopt;
  }
  std::vector<void*> addresses;
  std::string missing;
  for (const char* name : names) {
    addresses.push_back(dlsym(handle, name));
    if (addresses.back() == nullptr) missing += (missing.empty() ? "" : ", ") + std::string(name);
  }
  if (!missing.empty()) {
    LogDiagnostic(file + " lacks " + missing + "; " + std::string(consequence));
    dlclose(handle);
    return std::nullopt;
  }
  return addresses;
}

}  // namespace plat
