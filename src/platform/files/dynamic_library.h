// Shared objects loaded at run time (the engine's plug-in libraries and movie libraries).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/unique_fd.h"

namespace plat {

class DynamicLibrary {
 public:
  enum class LoadStatus {
    kLoaded,
    kNotLoadable,      // missing, unreadable, a link, or refused by the loader
    kNotSharedObject,  // not an ELF shared object of this machine (a Windows DLL, say)
    kRefused           // the caller's rule refused the file where it lies
  };

  // Answers, from the host path where the library's file really lies (every link followed),
  // whether it may be loaded; the rule logs its refusals.
  using PlaceRule = std::function<bool(const std::string& real_path)>;

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Opens the library file at an engine path for loading: a regular file reached without a link
  // as its last name, an ELF shared object of this machine (a refusal of another file is
  // logged), which `rule` lets load where it lies. `file` is then that open file, whatever has
  // been put at the path since.
  static LoadStatus Open(std::string_view engine_path, UniqueFd& file, const PlaceRule& rule = {});

  // Opens the library as Open does and hands the loader the file that was opened and checked,
  // never the path again.
  static LoadStatus Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library,
                         const PlaceRule& rule = {});

  // The name under which the loader opens the file open at `fd`: the file itself, never a path.
  // The loader takes a name it knows for the library it loaded under it, so a name must not come
  // back for another file while a library loaded under it stays (see ~DynamicLibrary).
  static std::string LoaderName(int fd);

  // The address of an exported symbol, null when it is missing.
  void* Symbol(const char* name) const;

 private:
  DynamicLibrary(void* handle, UniqueFd file) : handle_(handle), file_(std::move(file)) {}
  void* handle_;
  // The file the library was loaded from, open while its name may still name the library.
  UniqueFd file_;
};

}  // namespace plat
