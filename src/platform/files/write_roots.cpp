#include "platform/files/write_roots.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <mutex>

#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"

namespace plat {
namespace {

struct WriteRoot {
  std::string named;  // the host path as the engine names the folder
  std::string place;  // the folder with its links followed when the roots were set
};

std::mutex g_roots_lock;
std::vector<WriteRoot> g_roots;

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Whether host path `path` is `folder` or lies below it, ASCII letters compared without case as
// the engine's names are.
bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  if (folder == "/") return true;
  return path.size() >= folder.size() && NamesMatchIgnoringCase(path.substr(0, folder.size()), folder) &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

struct Placed {
  std::string path;  // where the write lands
  std::string named;
  bool confined = false;
};

// The innermost root that holds the path decides where it lands.
std::optional<Placed> Place(std::string_view engine_path) {
  const std::optional<std::string> host = ToHostPath(engine_path);
  if (!host) return std::nullopt;
  Placed placed{{}, WithoutTrailingSlash(*host), false};
  std::lock_guard guard(g_roots_lock);
  const WriteRoot* inner = nullptr;
  for (const WriteRoot& root : g_roots) {
    if (IsAtOrBelow(placed.named, root.named) && (inner == nullptr || root.named.size() > inner->named.size())) {
      inner = &root;
    }
  }
  if (inner == nullptr) {
    placed.path = placed.named;
    return placed;
  }
  const std::string rest = placed.named.substr(inner->named == "/" ? 0 : inner->named.size());
  placed.path = (inner->place == "/" ? std::string() : inner->place) + rest;
  if (placed.path.empty()) placed.path.push_back('/');
  placed.confined = true;
  return placed;
}

std::vector<std::string> Components(std::string_view path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    if (slash > start) names.emplace_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return names;
}

// The folder at host path `folder`, every step from the root opened without following a link.
UniqueFd OpenWithoutLinks(std::string_view folder) {
  UniqueFd at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  for (const std::string& name : Components(folder)) {
    if (!at.IsOpen()) break;
    // A link as the name fails here (not a folder), whatever it leads to.
    UniqueFd next(::openat(at.get(), name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (next.IsOpen() && (fstat(next.get(), &status) != 0 || !S_ISDIR(status.st_mode))) next.Reset();
    at = std::move(next);
  }
  return at;
}

// Whether a link stands anywhere along `path` as far as it exists.
bool HasLinkOnTheWay(std::string_view path) {
  std::string prefix;
  for (const std::string& name : Components(path)) {
    prefix += '/' + name;
    struct stat status {};
    if (::lstat(prefix.c_str(), &status) != 0) return errno != ENOENT && errno != ENOTDIR;
    if (S_ISLNK(status.st_mode)) return true;
  }
  return false;
}

}  // namespace

void SetWriteRoots(const std::vector<std::string>& engine_folders) {
  std::vector<WriteRoot> roots;
  for (const std::string& folder : engine_folders) {
    const std::optional<std::string> named = ToHostPath(folder);
    const std::optional<std::string> place = ResolveLinks(folder);
    if (named && place) roots.push_back({WithoutTrailingSlash(*named), WithoutTrailingSlash(*place)});
  }
  std::lock_guard guard(g_roots_lock);
  g_roots = std::move(roots);
}

std::optional<std::string> WriteTarget(std::string_view engine_path) {
  const std::optional<Placed> placed = Place(engine_path);
  if (!placed) return std::nullopt;
  if (!placed->confined) return ResolveLinks(engine_path);
  if (HasLinkOnTheWay(placed->path)) return std::nullopt;
  return placed->path;
}

std::optional<WriteFolder> OpenWriteFolder(std::string_view engine_path) {
  const std::optional<Placed> placed = Place(engine_path);
  if (!placed || placed->path == "/") return std::nullopt;
  const std::size_t slash = placed->path.rfind('/');
  const std::string parent = slash == 0 ? "/" : placed->path.substr(0, slash);
  WriteFolder opened{UniqueFd(), placed->path.substr(slash + 1), placed->named};
  opened.folder = placed->confined ? OpenWithoutLinks(parent)
                                   : UniqueFd(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!opened.folder.IsOpen()) return std::nullopt;
  return opened;
}

namespace {

// What is at an engine path opened with `flags` as OpenForReading says.
UniqueFd OpenAsReadsDo(std::string_view engine_path, int flags) {
  const std::optional<Placed> placed = Place(engine_path);
  if (!placed) return UniqueFd();
  std::optional<WriteFolder> folder;
  if (placed->confined && !(folder = OpenWriteFolder(engine_path))) return UniqueFd();
  int fd;
  do {
    fd = folder ? ::openat(folder->folder.get(), folder->leaf.c_str(), flags | O_NOFOLLOW | O_CLOEXEC)
                : ::open(placed->named.c_str(), flags | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return UniqueFd(fd);
}

}  // namespace

UniqueFd OpenForReading(std::string_view engine_path) { return OpenAsReadsDo(engine_path, O_RDONLY); }

UniqueFd OpenForListing(std::string_view engine_folder) { return OpenAsReadsDo(engine_folder, O_RDONLY | O_DIRECTORY); }

}  // namespace plat
