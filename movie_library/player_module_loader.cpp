#include "player_module_loader.h"

#include <dlfcn.h>

#include <atomic>
#include <mutex>

namespace kvxmovie {

namespace {

std::atomic<KvxLogFunc> g_sink{nullptr};

// The path of the module next to this library, as the program loaded the library.
std::string ModulePath() {
  Dl_info info{};
  std::string path;
  if (dladdr(reinterpret_cast<void*>(&PlayerModule), &info) != 0 && info.dli_fname != nullptr) path = info.dli_fname;
  path.erase(path.rfind('/') + 1);
  return path + KVX_PLAYER_MODULE_FILE;
}

// Loads the module at its first use only: a module that failed to load fails every movie after
// it, as a missing movie library would.
class ModuleSlot {
 public:
  ~ModuleSlot() {
    if (handle_ != nullptr) dlclose(handle_);
  }

  const KvxPlayerModule* Get() {
    const std::lock_guard hold(lock_);
    if (!tried_) {
      tried_ = true;
      Load();
    }
    return module_;
  }

  // Under the lock, so that a module being loaded gets the newest sink.
  void SetSink(KvxLogFunc sink) {
    const std::lock_guard hold(lock_);
    g_sink.store(sink);
    if (module_ != nullptr) module_->set_log_sink(sink);
  }

 private:
  void Load() {
    const std::string path = ModulePath();
    // Once loaded, the player and FFmpeg's libraries stay until the process ends: some of those
    // libraries keep memory they never free, which unloading them would turn into leaks.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
      LogLine("cannot load the movie player (" + std::string(dlerror()) + "); movies are not played");
      return;
    }
    const auto get = reinterpret_cast<KvxGetPlayerModuleFunc>(dlsym(handle_, KVX_PLAYER_MODULE_ENTRY));
    const KvxPlayerModule* module = get != nullptr ? get() : nullptr;
    if (module == nullptr) {
      LogLine("the movie player " + path + " has no " KVX_PLAYER_MODULE_ENTRY "; movies are not played");
      dlclose(handle_);
      handle_ = nullptr;
      return;
    }
    module->set_log_sink(g_sink.load());
    module_ = module;
  }

  std::mutex lock_;
  bool tried_ = false;
  void* handle_ = nullptr;
  const KvxPlayerModule* module_ = nullptr;
};

ModuleSlot g_module;

}  // namespace

const KvxPlayerModule* PlayerModule() { return g_module.Get(); }

void LogLine(const std::string& line) {
  if (const KvxLogFunc sink = g_sink.load()) sink(line.c_str());
}

}  // namespace kvxmovie

extern "C" __attribute__((visibility("default"))) void SetLogSink(KvxLogFunc sink) {
  kvxmovie::g_module.SetSink(sink);
}
