// Shared objects loaded at run time (the engine's plug-in libraries).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace plat {

class DynamicLibrary {
 public:
  enum class LoadStatus {
    kLoaded,
    kNotLoadable,     // missing, unreadable, or refused by the loader
    kNotSharedObject  // not an ELF shared object of this machine (a Windows DLL, say)
  };

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library at an engine path. A file that is not an ELF shared object of this
  // machine is not handed to the loader; that refusal is logged.
  static LoadStatus Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library);

  // The address of an exported symbol, null when it is missing.
  void* Symbol(const char* name) const;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

// Whether the file is an ELF shared object for the machine and word size of this program.
bool IsNativeSharedObject(const std::string& host_path);

}  // namespace plat
