#include "platform/files/plain_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/encoding/text_encoding.h"
#include "platform/files/descriptor_copy.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/files/unique_fd.h"

namespace plat {
namespace {

std::function<int(std::size_t)>& CarryFault() {
  static std::function<int(std::size_t)> fault;
  return fault;
}

// Whether the test's fault fails the step `step`, with its reason left in errno.
bool FaultAt(std::size_t step) {
  const int fault = CarryFault() ? CarryFault()(step) : 0;
  if (fault != 0) errno = fault;
  return fault != 0;
}

// What failed, with the system's reason that errno holds.
std::string Failed(const std::string& what) { return what + " (" + std::strerror(errno) + ")"; }

std::optional<std::string> HostFolder(std::string_view engine_folder) {
  std::optional<std::string> host = ToHostPath(engine_folder);
  while (host && host->size() > 1 && host->back() == '/') host->pop_back();
  return host;
}

// The folder at an engine path, its last name no link.
UniqueFd OpenFolder(std::string_view engine_folder, int flags) {
  const std::optional<std::string> host = HostFolder(engine_folder);
  if (!host) return UniqueFd();
  return UniqueFd(::open(host->c_str(), flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// A folder on this machine as the folder that holds it and its name there.
struct Place {
  std::string parent;
  std::string leaf;
  std::string Path() const { return parent + '/' + leaf; }
};

std::optional<Place> PlaceOf(std::string_view engine_folder) {
  const std::optional<std::string> host = HostFolder(engine_folder);
  const std::size_t slash = host ? host->rfind('/') : std::string::npos;
  if (slash == std::string::npos || slash + 1 == host->size()) return std::nullopt;
  return Place{slash == 0 ? "/" : host->substr(0, slash), host->substr(slash + 1)};
}

// The names in the open folder, without "." and "..".
std::vector<std::string> NamesIn(int folder) {
  std::vector<std::string> names;
  UniqueFd listing(::dup(folder));
  DIR* entries = listing.IsOpen() ? ::fdopendir(listing.get()) : nullptr;
  if (entries == nullptr) return names;
  listing.Release();
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(entries);
  return names;
}

// The entry `name` of the open folder opened for reading when it is a plain file, with its status.
UniqueFd OpenPlainFile(int folder, const char* name, struct stat& status) {
  // Non-blocking, so that a pipe put there is opened, seen and passed over.
  UniqueFd file(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.IsOpen() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0) {
    return UniqueFd();
  }
  return file;
}

// Calls `visit(name, fd, status)` for each plain file of the open folder while it answers true.
template <typename Visit>
void ForEachPlainFile(const UniqueFd& folder, Visit visit) {
  for (const std::string& name : NamesIn(folder.get())) {
    struct stat status {};
    const UniqueFd file = OpenPlainFile(folder.get(), name.c_str(), status);
    if (file.IsOpen() && !visit(name.c_str(), file.get(), status)) return;
  }
}

// Removes the entry `leaf` of the open folder `parent`, a folder of files as a copy left it: true
// when it is gone, or was never there.
bool RemoveFolderOfFiles(int parent, const std::string& leaf) {
  struct stat status {};
  if (::fstatat(parent, leaf.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent, leaf.c_str(), 0) == 0;
  const UniqueFd folder(::openat(parent, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  // It may have taken the permission bits of a folder the owner may not write.
  if (!folder.IsOpen() || ::fchmod(folder.get(), S_IRWXU) != 0) return false;
  for (const std::string& name : NamesIn(folder.get())) ::unlinkat(folder.get(), name.c_str(), 0);
  return ::unlinkat(parent, leaf.c_str(), AT_REMOVEDIR) == 0;
}

// Copies the open plain file into the folder `to` as the new file `name`, with its permission
// bits and last-write time, and puts it on the disk.
bool CopyPlainFile(int file, const struct stat& status, int to, const char* name) {
  const UniqueFd copy(::openat(to, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
  const timespec times[2] = {status.st_atim, status.st_mtim};
  return copy.IsOpen() && CopyContents(file, copy.get()) && ::fchmod(copy.get(), status.st_mode & 0777) == 0 &&
         ::futimens(copy.get(), times) == 0 && ::fsync(copy.get()) == 0;
}

// Copies the plain files of `from` into the folder `to`: empty, or what failed.
std::string CopyEach(const UniqueFd& from, int to, std::uint64_t largest, CarriedFiles& carried) {
  std::string failure;
  ForEachPlainFile(from, [&](const char* name, int file, const struct stat& status) {
    if (static_cast<std::uint64_t>(status.st_size) > largest) {
      carried.too_large.push_back(Utf8ToSjis(name));
      return true;
    }
    if (FaultAt(carried.copied) || !CopyPlainFile(file, status, to, name)) {
      failure = Failed(std::string(name) + " cannot be copied");
      return false;
    }
    ++carried.copied;
    return true;
  });
  return failure;
}

// Gives the open folder `staged` the permission bits `mode`, puts it on the disk and renames it
// to `placed`: empty, or what failed.
std::string PutInPlace(int parent, int staged_folder, const Place& staged, const Place& placed, mode_t mode,
                       std::size_t copied) {
  if (FaultAt(copied) || ::fchmod(staged_folder, mode & 0777) != 0 || ::fsync(staged_folder) != 0) {
    return Failed("the copies cannot be put on the disk");
  }
  int renamed = ::renameat2(parent, staged.leaf.c_str(), parent, placed.leaf.c_str(), RENAME_NOREPLACE);
  // A file system without the no-replace rename gets the plain one, which replaces at most an
  // empty folder: one with anything in it is never replaced.
  if (renamed != 0 && errno == EINVAL) renamed = ::renameat(parent, staged.leaf.c_str(), parent, placed.leaf.c_str());
  if (renamed != 0) return Failed("the copies cannot be renamed to " + placed.Path());
  // The folder stands whole: a parent not yet on the disk is as any change the system holds back.
  ::fsync(parent);
  return {};
}

}  // namespace

std::vector<std::string> PlainFilesIn(std::string_view engine_folder) {
  std::vector<std::string> names;
  const UniqueFd folder = OpenFolder(engine_folder, O_RDONLY);
  if (!folder.IsOpen()) return names;
  ForEachPlainFile(folder, [&](const char* name, int, const struct stat&) {
    names.push_back(Utf8ToSjis(name));
    return true;
  });
  return names;
}

std::optional<std::vector<std::uint8_t>> ReadPlainFile(std::string_view engine_folder, std::string_view name,
                                                       std::size_t limit) {
  const UniqueFd folder = OpenFolder(engine_folder, O_RDONLY);
  struct stat status {};
  const UniqueFd file = folder.IsOpen() ? OpenPlainFile(folder.get(), SjisToUtf8(name).c_str(), status) : UniqueFd();
  if (!file.IsOpen() || static_cast<std::uint64_t>(status.st_size) > limit) return std::nullopt;
  return ReadContents(file.get(), limit);
}

CarriedFiles CarryPlainFiles(std::string_view engine_folder, std::string_view staging, std::string_view to,
                             std::uint64_t largest) {
  CarriedFiles carried;
  const std::optional<Place> staged = PlaceOf(staging);
  const std::optional<Place> placed = PlaceOf(to);
  const UniqueFd from = OpenFolder(engine_folder, O_RDONLY);
  struct stat from_status {};
  if (!staged || !placed || staged->parent != placed->parent) {
    carried.failure = "the new folder and the one it is made in first do not lie side by side";
    return carried;
  }
  if (!from.IsOpen() || ::fstat(from.get(), &from_status) != 0) {
    carried.failure = Failed("the earlier folder cannot be opened");
    return carried;
  }
  CreateFolders(ToEnginePath(placed->parent + '/'));
  const UniqueFd parent(::open(placed->parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent.IsOpen()) {
    carried.failure = Failed(placed->parent + " cannot be opened");
    return carried;
  }
  if (!RemoveFolderOfFiles(parent.get(), staged->leaf)) {
    carried.failure = Failed(staged->Path() + ", left by a copy cut short, cannot be removed");
    return carried;
  }
  if (::mkdirat(parent.get(), staged->leaf.c_str(), S_IRWXU) != 0) {
    carried.failure = Failed(staged->Path() + " cannot be made");
    return carried;
  }
  const UniqueFd staged_folder(
      ::openat(parent.get(), staged->leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  carried.failure = staged_folder.IsOpen() ? CopyEach(from, staged_folder.get(), largest, carried)
                                           : Failed(staged->Path() + " cannot be opened");
  if (carried.failure.empty()) {
    carried.failure =
        PutInPlace(parent.get(), staged_folder.get(), *staged, *placed, from_status.st_mode, carried.copied);
  }
  if (!carried.failure.empty()) RemoveFolderOfFiles(parent.get(), staged->leaf);
  UpdateListingOf(placed->Path());
  return carried;
}

void SetCarryFaultForTests(std::function<int(std::size_t step)> fault) { CarryFault() = std::move(fault); }

}  // namespace plat
