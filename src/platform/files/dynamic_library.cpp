#include "platform/files/dynamic_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/files/elf_identity.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/files/unique_fd.h"
#include "platform/system/diagnostic_log.h"

namespace plat {

DynamicLibrary::~DynamicLibrary() { dlclose(handle_); }

DynamicLibrary::LoadStatus DynamicLibrary::Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library,
                                                const PlaceRule& rule) {
  library.reset();
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return LoadStatus::kNotLoadable;
  const UniqueFd file(::open(host->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.IsOpen() || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return LoadStatus::kNotLoadable;
  if (!IsNativeSharedObject(file.get())) {
    LogDiagnostic("skipped " + *host + ": not a shared object of this machine");
    return LoadStatus::kNotSharedObject;
  }
  const std::optional<std::string> real = RealPathOfOpenFile(file.get());
  if (!real) return LoadStatus::kNotLoadable;
  if (rule && !rule(*real)) return LoadStatus::kRefused;
  void* handle = dlopen(real->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    LogDiagnostic("cannot load " + *host + ": " + (reason != nullptr ? reason : "unknown reason"));
    return LoadStatus::kNotLoadable;
  }
  library.reset(new DynamicLibrary(handle));
  return LoadStatus::kLoaded;
}

void* DynamicLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace plat
