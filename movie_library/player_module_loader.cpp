#include "player_module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace kvxmovie {

namespace {

std::atomic<KvxLogFunc> g_sink{nullptr};

// Loads the module the program handed over at its first use only: a module that failed to load
// fails every movie after it, as a missing movie library would.
class ModuleSlot {
 public:
  ~ModuleSlot() {
    if (handle_ != nullptr) dlclose(handle_);
    // A loaded module stays until the process ends, and its file with it: the loader knows the
    // module by the descriptor's name, which must not come to name another file.
    if (handle_ == nullptr && descriptor_ >= 0) close(descriptor_);
  }

  void Give(int32_t descriptor, const char* path, const char* problem) {
    const std::lock_guard hold(lock_);
    if (tried_ || given_) {
      if (descriptor >= 0) close(descriptor);
      return;
    }
    given_ = true;
    descriptor_ = descriptor;
    path_ = path != nullptr ? path : KVX_PLAYER_MODULE_FILE;
    problem_ = problem != nullptr ? problem : "no reason given";
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
    if (!given_) {
      LogLine("cannot load the movie player (the program handed the movie library none); movies are not played");
      return;
    }
    if (descriptor_ < 0) {
      LogLine("cannot load the movie player " + path_ + " (" + problem_ + "); movies are not played");
      return;
    }
    // Once loaded, the player and FFmpeg's libraries stay until the process ends: some of those
    // libraries keep memory they never free, which unloading them would turn into leaks.
    const std::string name = "/proc/self/fd/" + std::to_string(descriptor_);
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
      LogLine("cannot load the movie player " + path_ + " (" + std::string(dlerror()) + "); movies are not played");
      return;
    }
    const auto get = reinterpret_cast<KvxGetPlayerModuleFunc>(dlsym(handle_, KVX_PLAYER_MODULE_ENTRY));
    const KvxPlayerModule* module = get != nullptr ? get() : nullptr;
    if (module == nullptr) {
      LogLine("the movie player " + path_ + " has no " KVX_PLAYER_MODULE_ENTRY "; movies are not played");
      return;
    }
    module->set_log_sink(g_sink.load());
    module_ = module;
  }

  std::mutex lock_;
  bool given_ = false;
  bool tried_ = false;
  int descriptor_ = -1;
  std::string path_;
  std::string problem_;
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

extern "C" __attribute__((visibility("default"))) void SetPlayerModule(int32_t descriptor, const char* path,
                                                                       const char* problem) {
  kvxmovie::g_module.Give(descriptor, path, problem);
}
