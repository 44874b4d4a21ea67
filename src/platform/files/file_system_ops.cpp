#include "platform/files/file_system_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "platform/encoding/sjis_text.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/descriptor_copy.h"
#include "platform/files/file_handle.h"
#include "platform/files/host_path.h"
#include "platform/files/unique_fd.h"
#include "platform/files/write_roots.h"

namespace plat {
namespace {

// A listing splits its pattern, matches names and converts its folder to the host's names by
// one reading of the text, the conversion's: a half-width kana is a character of its own there,
// so a folder named ﾃｽﾄ (C3 BD C4) ends at the separator after it and ｱ.TXT (B1 2E ...) has a dot.
constexpr SjisReading kListingReading = SjisReading::kCodePage;

bool HasWildcards(std::string_view pattern) {
  return FindFirstCharacterOf(pattern, "*?", kListingReading) != kNoCharacter;
}

// The entry `name` of the open folder `folder` (a whole host path with AT_FDCWD).
std::optional<FindData> DescribeEntry(int folder, const char* name, std::string_view sjis_name) {
  if (sjis_name.size() >= sizeof FindData{}.file_name) return std::nullopt;
  struct stat status {};
  if (fstatat(folder, name, &status, 0) != 0) return std::nullopt;
  FindData data;
  if (S_ISDIR(status.st_mode)) data.attributes |= kFileAttributeDirectory;
  if ((status.st_mode & S_IWUSR) == 0) data.attributes |= kFileAttributeReadOnly;
  struct stat link {};
  if (fstatat(folder, name, &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode)) {
    data.attributes |= kFileAttributeReparsePoint;
  }
  if (sjis_name.size() > 1 && sjis_name[0] == '.' && sjis_name != "..") data.attributes |= kFileAttributeHidden;
  if (data.attributes == 0) data.attributes = kFileAttributeNormal;
  // The file system keeps no creation time that stat reports; the last write stands in for it.
  data.creation_time = FileTime::FromUnix(status.st_mtim);
  data.last_access_time = FileTime::FromUnix(status.st_atim);
  data.last_write_time = FileTime::FromUnix(status.st_mtim);
  if (!S_ISDIR(status.st_mode)) {
    const auto size = static_cast<std::uint64_t>(status.st_size);
    data.size_high = static_cast<std::uint32_t>(size >> 32);
    data.size_low = static_cast<std::uint32_t>(size);
  }
  std::memcpy(data.file_name, sjis_name.data(), sjis_name.size());
  return data;
}

std::string_view LeafOf(const std::string& host_path) {
  std::string_view path = host_path;
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool MatchesPattern(std::string_view sjis_name, std::string_view pattern) {
  if (pattern == "*.*") pattern = "*";
  const std::vector<std::string_view> name = SplitCharacters(sjis_name, kListingReading);
  const std::vector<std::string_view> wild = SplitCharacters(pattern, kListingReading);
  std::size_t n = 0, w = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (w < wild.size() && (wild[w] == "?" || EqualIgnoringAsciiCase(wild[w], name[n]))) {
      ++n;
      ++w;
    } else if (w < wild.size() && wild[w] == "*") {
      star = w++;
      resume = n;
    } else if (star != std::string_view::npos) {
      w = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (w < wild.size() && wild[w] == "*") ++w;
  return w == wild.size();
}

std::vector<FindData> FindFiles(std::string_view engine_pattern) {
  std::vector<FindData> found;
  const std::size_t leaf_start = LastComponentStart(engine_pattern, kListingReading);
  const std::string_view pattern = engine_pattern.substr(leaf_start);
  if (pattern.empty()) return found;

  if (!HasWildcards(pattern)) {
    const std::optional<std::string> host = ToHostPath(engine_pattern);
    if (!host) return found;
    if (auto name = ToEngineName(LeafOf(*host))) {
      if (auto data = DescribeEntry(AT_FDCWD, host->c_str(), *name)) found.push_back(*data);
    }
    return found;
  }

  std::optional<std::string> folder = ToHostPath(engine_pattern.substr(0, leaf_start));
  if (!folder) return found;
  if (folder->back() != '/') *folder += '/';
  // Below the script folders the folder is reached as reads reach a file, no link on the way.
  UniqueFd opened = OpenForListing(engine_pattern.substr(0, leaf_start));
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opened.IsOpen() ? fdopendir(opened.get()) : nullptr, closedir);
  if (!dir) return found;
  opened.Release();
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if ((name == "." || name == "..") && *folder == "/") continue;
    const std::optional<std::string> sjis = ToEngineName(name);
    if (!sjis || !MatchesPattern(*sjis, pattern)) continue;
    if (auto data = DescribeEntry(dirfd(dir.get()), entry->d_name, *sjis)) found.push_back(*data);
  }
  return found;
}

std::optional<FindData> FindFirstFile(std::string_view engine_pattern) {
  std::vector<FindData> found = FindFiles(engine_pattern);
  if (found.empty()) return std::nullopt;
  return found.front();
}

std::optional<std::uint32_t> GetFileAttributes(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return std::nullopt;
  auto data = DescribeEntry(AT_FDCWD, host->c_str(), "");
  if (!data) return std::nullopt;
  return data->attributes;
}

bool DeleteFile(std::string_view engine_path) {
  const std::optional<WriteFolder> folder = OpenWriteFolder(engine_path);
  if (!folder) return false;
  struct stat status {};
  if (fstatat(folder->folder.get(), folder->leaf.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      S_ISDIR(status.st_mode)) {
    return false;
  }
  const bool deleted = ::unlinkat(folder->folder.get(), folder->leaf.c_str(), 0) == 0;
  UpdateListingOf(folder->named_path);
  return deleted;
}

bool CreateFolder(std::string_view engine_path) {
  const std::optional<WriteFolder> folder = OpenWriteFolder(engine_path);
  if (!folder) return false;
  const bool created = ::mkdirat(folder->folder.get(), folder->leaf.c_str(), 0777) == 0;
  UpdateListingOf(folder->named_path);
  return created;
}

bool CreateFolders(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return false;
  std::string path;
  std::size_t start = 1;
  while (start <= host->size()) {
    std::size_t slash = host->find('/', start);
    if (slash == std::string::npos) slash = host->size();
    path = host->substr(0, slash);
    if (!path.empty() && ::mkdir(path.c_str(), 0777) == 0) UpdateListingOf(path);
    start = slash + 1;
  }
  struct stat status {};
  return stat(host->c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool CopyFile(std::string_view source, std::string_view destination, bool overwrite) {
  const std::optional<WriteFolder> to = OpenWriteFolder(destination);
  if (!to) return false;
  const UniqueFd in = OpenForReading(source);
  struct stat status {};
  if (!in.IsOpen() || fstat(in.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  const int create = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (overwrite ? O_TRUNC : O_EXCL);
  const UniqueFd out(::openat(to->folder.get(), to->leaf.c_str(), create, 0666));
  UpdateListingOf(to->named_path);
  if (!out.IsOpen() || !CopyContents(in.get(), out.get())) return false;
  const timespec times[2] = {status.st_atim, status.st_mtim};
  return futimens(out.get(), times) == 0;
}

bool ReplaceFile(std::string_view source, std::string_view destination) {
  const std::optional<WriteFolder> from = OpenWriteFolder(source);
  const std::optional<WriteFolder> to = OpenWriteFolder(destination);
  if (!from || !to) return false;
  const bool moved = ::renameat(from->folder.get(), from->leaf.c_str(), to->folder.get(), to->leaf.c_str()) == 0;
  UpdateListingOf(from->named_path);
  UpdateListingOf(to->named_path);
  return moved;
}

bool MakeWritable(std::string_view engine_path) {
  const std::optional<WriteFolder> folder = OpenWriteFolder(engine_path);
  if (!folder) return false;
  // A link is left alone: changing it would change whatever it leads to.
  const UniqueFd file(
      ::openat(folder->folder.get(), folder->leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat status {};
  if (!file.IsOpen() || fstat(file.get(), &status) != 0) return false;
  return fchmod(file.get(), (status.st_mode & 07777) | S_IWUSR) == 0;
}

std::string TempFolder() {
  const char* configured = std::getenv("TMPDIR");
  std::string folder = configured != nullptr && configured[0] == '/' ? configured : "/tmp";
  if (folder.back() != '/') folder += '/';
  return ToEnginePath(folder);
}

std::optional<std::string> CreateTempFile(std::string_view folder, std::string_view prefix) {
  std::random_device seed;
  std::minstd_rand numbers(seed());
  for (int attempt = 0; attempt < 0x10000; ++attempt) {
    char number[8];
    std::snprintf(number, sizeof number, "%04X", static_cast<unsigned>(numbers() & 0xFFFF));
    std::string path = std::string(folder) + std::string(prefix) + number + ".TMP";
    if (FileHandle::Open(path, FileOpenMode::kCreateNew).IsOpen()) return path;
    // Not a name clash: the folder is unusable, for the reason the create gave.
    const int reason = errno;
    if (!GetFileAttributes(path)) {
      errno = reason;
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void LetFileSizeLimitFailWrites() { signal(SIGXFSZ, SIG_IGN); }

}  // namespace plat
