// What a file or folder is, apart from the names that reach it: its device and inode numbers.
// Two names are one file when their identities are equal; a name that leads elsewhere since it
// was looked at is told by an identity that no longer matches.
#pragma once

#include <sys/stat.h>

#include <optional>

namespace plat {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

inline FileIdentity IdentityIn(const struct stat& status) { return FileIdentity{status.st_dev, status.st_ino}; }

// The identity of an open file; nothing when it cannot be told (a descriptor that is not open).
std::optional<FileIdentity> IdentityOf(int fd);

// The identity of the entry `name` of the open folder `folder` (or of a path, with AT_FDCWD),
// a link itself and not where it leads; nothing when there is no such entry.
std::optional<FileIdentity> IdentityOfEntry(int folder, const char* name);

}  // namespace plat
