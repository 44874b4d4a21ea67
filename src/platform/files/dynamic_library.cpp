#include "platform/files/dynamic_library.h"

#include <dlfcn.h>
#include <elf.h>

#include <array>
#include <cstring>
#include <fstream>
#include <optional>

#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"

namespace plat {
namespace {

struct ElfIdentity {
  unsigned char word_class = 0;
  unsigned char byte_order = 0;
  std::uint16_t type = 0;
  std::uint16_t machine = 0;
};

// The identifying fields of an ELF header; e_type and e_machine follow the 16-byte e_ident in
// both word sizes.
std::optional<ElfIdentity> ReadElfIdentity(const std::string& host_path) {
  std::array<unsigned char, EI_NIDENT + 4> header{};
  std::ifstream file(host_path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) return std::nullopt;
  if (std::memcmp(header.data(), ELFMAG, SELFMAG) != 0) return std::nullopt;
  ElfIdentity identity;
  identity.word_class = header[EI_CLASS];
  identity.byte_order = header[EI_DATA];
  const bool little = identity.byte_order == ELFDATA2LSB;
  auto half = [&](std::size_t at) {
    return static_cast<std::uint16_t>(little ? header[at] | header[at + 1] << 8 : header[at] << 8 | header[at + 1]);
  };
  identity.type = half(EI_NIDENT);
  identity.machine = half(EI_NIDENT + 2);
  return identity;
}

const std::optional<ElfIdentity>& OwnIdentity() {
  static const std::optional<ElfIdentity> identity = ReadElfIdentity("/proc/self/exe");
  return identity;
}

}  // namespace

bool IsNativeSharedObject(const std::string& host_path) {
  const std::optional<ElfIdentity> file = ReadElfIdentity(host_path);
  const std::optional<ElfIdentity>& own = OwnIdentity();
  return file && own && file->type == ET_DYN && file->word_class == own->word_class &&
         file->byte_order == own->byte_order && file->machine == own->machine;
}

DynamicLibrary::~DynamicLibrary() { dlclose(handle_); }

DynamicLibrary::LoadStatus DynamicLibrary::Load(std::string_view engine_path, std::unique_ptr<DynamicLibrary>& library) {
  library.reset();
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return LoadStatus::kNotLoadable;
  if (!std::ifstream(*host).good()) return LoadStatus::kNotLoadable;
  if (!IsNativeSharedObject(*host)) {
    LogDiagnostic("skipped " + *host + ": not a shared object of this machine");
    return LoadStatus::kNotSharedObject;
  }
  void* handle = dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL);
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
