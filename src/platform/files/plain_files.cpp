#include "platform/files/plain_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <optional>

#include "platform/encoding/text_encoding.h"
#include "platform/files/descriptor_copy.h"
#include "platform/files/host_path.h"
#include "platform/files/unique_fd.h"

namespace plat {
namespace {

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

// Calls `visit(name, fd, status)` for each plain file of the open folder, opened for reading.
template <typename Visit>
void ForEachPlainFile(const UniqueFd& folder, Visit visit) {
  UniqueFd listing(::dup(folder.get()));
  DIR* entries = listing.IsOpen() ? ::fdopendir(listing.get()) : nullptr;
  if (entries == nullptr) return;
  listing.Release();
  while (const dirent* entry = ::readdir(entries)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    // Non-blocking, so that a pipe put there is opened, seen and passed over.
    const UniqueFd file(::openat(folder.get(), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.IsOpen() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0) {
      continue;
    }
    visit(entry->d_name, file.get(), status);
  }
  ::closedir(entries);
}

}  // namespace

std::vector<std::string> PlainFilesIn(std::string_view engine_folder) {
  std::vector<std::string> names;
  const UniqueFd folder = OpenFolder(engine_folder, O_RDONLY);
  if (!folder.IsOpen()) return names;
  ForEachPlainFile(folder, [&](const char* name, int, const struct stat&) { names.push_back(Utf8ToSjis(name)); });
  return names;
}

std::size_t CopyPlainFiles(std::string_view engine_folder, std::string_view to) {
  const UniqueFd from_folder = OpenFolder(engine_folder, O_RDONLY);
  const UniqueFd to_folder = OpenFolder(to, O_PATH);
  const std::optional<std::string> to_host = HostFolder(to);
  if (!from_folder.IsOpen() || !to_folder.IsOpen() || !to_host) return 0;
  std::size_t copied = 0;
  ForEachPlainFile(from_folder, [&](const char* name, int file, const struct stat& status) {
    const UniqueFd copy(::openat(to_folder.get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    const timespec times[2] = {status.st_atim, status.st_mtim};
    UpdateListingOf(*to_host + '/' + name);
    if (copy.IsOpen() && CopyContents(file, copy.get()) && ::futimens(copy.get(), times) == 0) ++copied;
  });
  return copied;
}

}  // namespace plat
