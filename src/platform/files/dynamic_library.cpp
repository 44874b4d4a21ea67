#include "platform/files/dynamic_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "platform/files/elf_identity.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"
#include "platform/system/diagnostic_log.h"

namespace plat {

DynamicLibrary::~DynamicLibrary() {
  const std::string name = LoaderName(file_.get());
  dlclose(handle_);
  // A library that stays loaded (marked not to be unloaded, or held by another handle) keeps its
  // name: the descriptor stays open, so that its number never names another file to the loader.
  if (void* still = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
    dlclose(still);
    file_.Release();
  }
}

DynamicLibrary::LoadStatus DynamicLibrary::Open(std::string_view engine_path, UniqueFd& file, const PlaceRule& rule) {
  file.Reset();
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return LoadStatus::kNotLoadable;
  UniqueFd opened(::open(host->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!opened.IsOpen() && errno == ELOOP) {
    LogDiagnostic("not loading the library " + *host + ": it is a link");
    return LoadStatus::kNotLoadable;
  }
  struct stat status {};
  if (!opened.IsOpen() || fstat(opened.get(), &status) != 0 || !S_ISREG(status.st_mode)) return LoadStatus::kNotLoadable;
  if (!IsNativeSharedObject(opened.get())) {
    LogDiagnostic("skipped " + *host + ": not a shared object of this machine");
    return LoadStatus::kNotSharedObject;
  }
  const std::optional<std::string> real = RealPathOfOpenFile(opened.get());
  if (!real) return LoadStatus::kNotLoadable;
  if (rule && !rule(*real)) return LoadStatus::kRefused;
  file = std::move(opened);
  return LoadStatus::kLoaded;
}

DynamicLibrary::LoadStatus DynamicLibrary::Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library,
                                                const PlaceRule& rule) {
  library.reset();
  UniqueFd file;
  if (const LoadStatus status = Open(engine_path, file, rule); status != LoadStatus::kLoaded) return status;
  void* handle = dlopen(LoaderName(file.get()).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    LogDiagnostic("cannot load " + ToHostPath(engine_path).value_or(std::string(engine_path)) + ": " +
                  (reason != nullptr ? reason : "unknown reason"));
    return LoadStatus::kNotLoadable;
  }
  library.reset(new DynamicLibrary(handle, std::move(file)));
  return LoadStatus::kLoaded;
}

std::string DynamicLibrary::LoaderName(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

void* DynamicLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace plat
