#include "platform/files/file_identity.h"

#include <fcntl.h>

namespace plat {

std::optional<FileIdentity> IdentityOf(int fd) {
  struct stat status {};
  if (fd < 0 || ::fstat(fd, &status) != 0) return std::nullopt;
  return IdentityIn(status);
}

std::optional<FileIdentity> IdentityOfEntry(int folder, const char* name) {
  struct stat status {};
  if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return IdentityIn(status);
}

}  // namespace plat
