// A shared object that leaves a mark when it is loaded: its constructor, which runs before any
// export could be looked at, writes "<its own file>.ran". The tests of what a game may load copy
// it into game folders under the names of plug-ins.
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

__attribute__((constructor)) void MarkLoading() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&MarkLoading), &info) == 0 || info.dli_fname == nullptr) return;
  // The engine loads a library through the name of its open file ("/proc/self/fd/N"): the mark
  // goes beside the file itself.
  std::error_code error;
  const std::filesystem::path file = std::filesystem::canonical(info.dli_fname, error);
  std::ofstream((error ? std::string(info.dli_fname) : file.string()) + ".ran") << "loaded";
}

}  // namespace
