// Shared objects loaded at run time (the engine's plug-in libraries).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>


namespace plat {

class DynamicLibrary {
 public:
  enum class LoadStatus {
    kLoaded,
    kNotLoadable,      // missing, unreadable, or refused by the loader
    kNotSharedObject,  // not an ELF shared object of this machine (a Windows DLL, say)
    kRefused           // the caller's rule refused the file where it lies
  };

  // Answers, from the host path where the library's file really lies (every link followed),
  // whether it may be loaded; the rule logs its refusals.
  using PlaceRule = std::function<bool(const std::string& real_path)>;

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library at an engine path. A file that is not an ELF shared object of this
  // machine is not handed to the loader (that refusal is logged), nor one that `rule` refuses;
  // the loader is handed the file's real path, the one the rule was asked about.
  static LoadStatus Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library,
                         const PlaceRule& rule = {});

  // The address of an exported symbol, null when it is missing.
  void* Symbol(const char* name) const;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace plat
