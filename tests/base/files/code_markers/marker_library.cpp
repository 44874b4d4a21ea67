// A shared object that leaves a mark when it is loaded: its constructor, which runs before any
// export could be looked at, writes "<its own file>.ran". The tests of what a game may load copy
// it into game folders under the names of plug-ins.
#include <dlfcn.h>

#include <fstream>
#include <string>

namespace {

__attribute__((constructor)) void MarkLoading() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&MarkLoading), &info) == 0 || info.dli_fname == nullptr) return;
  std::ofstream(std::string(info.dli_fname) + ".ran") << "loaded";
}

}  // namespace
