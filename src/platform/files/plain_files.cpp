#include "platform/files/plain_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/encoding/text_encoding.h"
#include "platform/files/descriptor_copy.h"
#include "platform/files/file_identity.h"
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
  // The copy shares the folder's place in its listing, which an earlier listing left at its end.
  ::rewinddir(entries);
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(entries);
  return names;
}

// Why an entry of the status `status` is not carried, if it is not.
std::optional<LeftBehind> WhyLeft(const struct stat& status, std::uint64_t largest) {
  if (!S_ISREG(status.st_mode)) return LeftBehind::kNotPlain;
  if ((status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0) return LeftBehind::kExecutable;
  if (static_cast<std::uint64_t>(status.st_size) > largest) return LeftBehind::kTooLarge;
  return std::nullopt;
}

// An entry of a folder: opened for reading with its status when it is a plain file of at most
// the largest size asked for, else why it is not.
struct Entry {
  UniqueFd file;
  struct stat status {};
  std::optional<LeftBehind> left;
};

Entry OpenEntry(int folder, const char* name, std::uint64_t largest) {
  Entry entry;
  if (::fstatat(folder, name, &entry.status, AT_SYMLINK_NOFOLLOW) != 0) {
    entry.left = LeftBehind::kUnreadable;
    return entry;
  }
  // A file larger than the bound is not opened, so that nothing of it is read.
  entry.left = WhyLeft(entry.status, largest);
  if (entry.left) return entry;
  // Non-blocking, so that a pipe put there since is opened, seen and passed over.
  UniqueFd file(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.IsOpen() || ::fstat(file.get(), &entry.status) != 0) {
    entry.left = LeftBehind::kUnreadable;
    return entry;
  }
  entry.left = WhyLeft(entry.status, largest);
  if (!entry.left) entry.file = std::move(file);
  return entry;
}

// Calls `visit(name, entry)` for each entry of the open folder while it answers true.
template <typename Visit>
void ForEachEntry(const UniqueFd& folder, std::uint64_t largest, Visit visit) {
  for (const std::string& name : NamesIn(folder.get())) {
    if (!visit(name.c_str(), OpenEntry(folder.get(), name.c_str(), largest))) return;
  }
}

// The folder `name` of the open folder `parent`, reached by no link, made the owner's to empty:
// it may have taken the permission bits of a folder the owner may not write.
UniqueFd OpenToEmpty(int parent, const std::string& name) {
  UniqueFd folder(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (folder.IsOpen() && ::fchmod(folder.get(), S_IRWXU) != 0) return UniqueFd();
  return folder;
}

// Removes every entry of the open folder but its folders; the name of one of those, if any.
std::optional<std::string> RemoveAllButFolders(int folder) {
  std::optional<std::string> within;
  for (const std::string& name : NamesIn(folder)) {
    struct stat status {};
    if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(status.st_mode)) {
      ::unlinkat(folder, name.c_str(), 0);
    } else if (!within) {
      within = name;
    }
  }
  return within;
}

// A folder met on the way down, by its name in the one above it.
struct FolderOnTheWay {
  std::string name;
  FileIdentity identity;
};

// Removes the entry `leaf` of the open folder `parent` with all it holds, following no link:
// true when it is gone, or was never there. It goes down to a folder that holds none, removes
// that one and goes back up a level, holding one folder open at a time whatever the depth; each
// step up is checked against the way down, so that a folder moved meanwhile leads nowhere else.
bool RemoveTree(int parent, const std::string& leaf) {
  struct stat status {};
  if (::fstatat(parent, leaf.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent, leaf.c_str(), 0) == 0;
  UniqueFd folder = OpenToEmpty(parent, leaf);
  const std::optional<FileIdentity> top = IdentityOf(folder.get());
  if (!top) return false;
  std::vector<FolderOnTheWay> way;
  for (;;) {
    if (const std::optional<std::string> within = RemoveAllButFolders(folder.get())) {
      UniqueFd below = OpenToEmpty(folder.get(), *within);
      const std::optional<FileIdentity> identity = IdentityOf(below.get());
      if (!identity) return false;
      way.push_back({*within, *identity});
      folder = std::move(below);
      continue;
    }
    if (way.empty()) break;
    UniqueFd above(::openat(folder.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const FolderOnTheWay& leaving = way.back();
    if (IdentityOf(above.get()) != (way.size() > 1 ? way[way.size() - 2].identity : *top) ||
        IdentityOfEntry(above.get(), leaving.name.c_str()) != leaving.identity) {
      return false;
    }
    folder = std::move(above);
    if (::unlinkat(folder.get(), leaving.name.c_str(), AT_REMOVEDIR) != 0) return false;
    way.pop_back();
  }
  folder.Reset();
  return ::unlinkat(parent, leaf.c_str(), AT_REMOVEDIR) == 0;
}

// Copies the open plain file into the folder `to` as the new file `name`, with its permission
// bits and last-write time, up to `largest` bytes: a file that comes to more is not copied.
CopyEnd CopyPlainFile(int file, const struct stat& status, int to, const char* name, std::uint64_t largest) {
  const UniqueFd copy(::openat(to, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
  if (!copy.IsOpen()) return CopyEnd::kFailed;
  const CopyEnd end = CopyContentsUpTo(file, copy.get(), largest);
  if (end == CopyEnd::kPastLimit) return ::unlinkat(to, name, 0) == 0 ? end : CopyEnd::kFailed;
  const timespec times[2] = {status.st_atim, status.st_mtim};
  const bool kept = ::fchmod(copy.get(), status.st_mode & 0777) == 0 && ::futimens(copy.get(), times) == 0;
  return end == CopyEnd::kWhole && kept ? end : CopyEnd::kFailed;
}

// Copies the plain files of `from` into the folder `to`, naming the entries left behind in
// `carried`: empty, or what failed.
std::string CopyEach(const UniqueFd& from, int to, std::uint64_t largest, CarriedFiles& carried) {
  std::string failure;
  std::size_t copied = 0;
  ForEachEntry(from, largest, [&](const char* name, const Entry& entry) {
    ++carried.found;
    std::optional<LeftBehind> left = entry.left;
    if (!left) {
      const CopyEnd end =
          FaultAt(copied) ? CopyEnd::kFailed : CopyPlainFile(entry.file.get(), entry.status, to, name, largest);
      if (end == CopyEnd::kFailed) {
        failure = Failed(std::string(name) + " cannot be copied");
        return false;
      }
      if (end == CopyEnd::kPastLimit) left = LeftBehind::kTooLarge;
      if (end == CopyEnd::kWhole) ++copied;
    }
    if (left) carried.left.emplace_back(*left, Utf8ToSjis(name));
    return true;
  });
  return failure;
}

// Counts the files of the open folder `staged`, gives it the permission bits `mode`, puts it
// and all it holds on the disk and renames it to `placed`: empty, or what failed.
std::string PutInPlace(int parent, int staged_folder, const Place& staged, const Place& placed, mode_t mode,
                       CarriedFiles& carried) {
  carried.copied = NamesIn(staged_folder).size();
  // One flush of the file system, where a flush of each file as it was copied would wait for
  // the disk once a file.
  if (FaultAt(carried.copied) || ::fchmod(staged_folder, mode & 0777) != 0 || ::syncfs(staged_folder) != 0) {
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
  ForEachEntry(folder, std::numeric_limits<std::uint64_t>::max(), [&](const char* name, const Entry& entry) {
    if (!entry.left) names.push_back(Utf8ToSjis(name));
    return true;
  });
  return names;
}

std::optional<std::vector<std::uint8_t>> ReadPlainFile(std::string_view engine_folder, std::string_view name,
                                                       std::size_t limit) {
  const UniqueFd folder = OpenFolder(engine_folder, O_RDONLY);
  if (!folder.IsOpen()) return std::nullopt;
  const Entry entry = OpenEntry(folder.get(), SjisToUtf8(name).c_str(), limit);
  if (entry.left) return std::nullopt;
  return ReadContents(entry.file.get(), limit);
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
  if (!RemoveTree(parent.get(), staged->leaf)) {
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
        PutInPlace(parent.get(), staged_folder.get(), *staged, *placed, from_status.st_mode, carried);
  }
  if (!carried.failure.empty()) RemoveTree(parent.get(), staged->leaf);
  UpdateListingOf(placed->Path());
  return carried;
}

void SetCarryFaultForTests(std::function<int(std::size_t step)> fault) { CarryFault() = std::move(fault); }

}  // namespace plat
