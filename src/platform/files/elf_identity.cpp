#include "platform/files/elf_identity.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/files/unique_fd.h"

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
std::optional<ElfIdentity> ReadElfIdentity(int fd) {
  std::array<unsigned char, EI_NIDENT + 4> header{};
  ssize_t got = 0;
  do {
    got = ::pread(fd, header.data(), header.size(), 0);
  } while (got < 0 && errno == EINTR);
  if (got != static_cast<ssize_t>(header.size())) return std::nullopt;
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
  static const std::optional<ElfIdentity> identity = [] {
    const UniqueFd self(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    return self.IsOpen() ? ReadElfIdentity(self.get()) : std::nullopt;
  }();
  return identity;
}

// The ELF type of a file built for this machine; nothing for any other file.
std::optional<std::uint16_t> NativeElfType(int fd) {
  const std::optional<ElfIdentity> file = ReadElfIdentity(fd);
  const std::optional<ElfIdentity>& own = OwnIdentity();
  if (!file || !own || file->word_class != own->word_class || file->byte_order != own->byte_order ||
      file->machine != own->machine) {
    return std::nullopt;
  }
  return file->type;
}

}  // namespace

bool IsNativeSharedObject(int fd) { return NativeElfType(fd) == ET_DYN; }

bool IsNativeProgram(int fd) {
  const std::optional<std::uint16_t> type = NativeElfType(fd);
  return type == ET_EXEC || type == ET_DYN;
}

bool IsNativeSharedObject(const std::string& host_path) {
  const UniqueFd file(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  return file.IsOpen() && IsNativeSharedObject(file.get());
}

}  // namespace plat
