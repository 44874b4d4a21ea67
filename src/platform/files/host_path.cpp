#include "platform/files/host_path.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/encoding/sjis.h"
#include "platform/encoding/sjis_text.h"
#include "platform/encoding/text_encoding.h"

namespace plat {
namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

// The names of one folder, keyed by their folded form.
using Listing = std::unordered_map<std::string, std::vector<std::string>>;

void AddName(Listing& listing, const std::string& name) {
  std::vector<std::string>& names = listing[FoldName(name)];
  if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

void RemoveName(Listing& listing, const std::string& name) {
  const auto entry = listing.find(FoldName(name));
  if (entry == listing.end()) return;
  std::erase(entry->second, name);
  if (entry->second.empty()) listing.erase(entry);
}

// A folder's listing, kept up to date by the file-change notifications of its watch. A folder
// that could not be watched (the system's limit of watches reached) is read again on every miss.
struct CachedListing {
  Listing names;
  int watch = -1;
};

// What a folder's listing says of a name: the name on disk that matches it, if any, and
// whether the folder could be listed at all (a folder that can be searched but not read still
// opens the files in it).
struct NameMatch {
  std::optional<std::string> name;
  bool listed = false;
};

class ListingCache {
 public:
  ListingCache() : notifications_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
  ~ListingCache() {
    if (notifications_ >= 0) ::close(notifications_);
  }
  ListingCache(const ListingCache&) = delete;
  ListingCache& operator=(const ListingCache&) = delete;

  // Brings the watched listings up to date with what other programs changed since the last call
  // (one read of the notifications, which the kernel queues as the change is made).
  void TakeOutsideChanges() {
    std::lock_guard guard(lock_);
    OwnNotifications();
    if (notifications_ < 0) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t bytes = ::read(notifications_, buffer, sizeof buffer);
      if (bytes <= 0) return;
      for (ssize_t offset = 0; offset < bytes;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
        Apply(*event);
        offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  // The name on disk in `folder` that matches `name`. A watched listing is trusted; an unwatched
  // one is read again when it lacks the name. An exact match wins over one that differs in case.
  NameMatch Match(const std::string& folder, const std::string& name) {
    std::lock_guard guard(lock_);
    OwnNotifications();
    auto cached = listings_.find(folder);
    if (cached != listings_.end()) {
      if (auto found = MatchIn(cached->second.names, name)) return {std::move(found), true};
      if (cached->second.watch >= 0) return {std::nullopt, true};
      Drop(folder);
    }
    // The watch is set before the names are read, so that a change during the reading is seen.
    const int watch = Watch(folder);
    std::optional<Listing> names = ReadListing(folder);
    const bool read = names.has_value();
    listings_[folder] = CachedListing{read ? std::move(*names) : Listing{}, watch};
    if (!read) {
      Drop(folder);
      return {};
    }
    return {MatchIn(listings_[folder].names, name), true};
  }

  // Drops every listing and its watch; the folders are read again when next looked at.
  void Forget() {
    std::lock_guard guard(lock_);
    OwnNotifications();
    DropAll();
  }

  // The engine's own change to `name` in `folder`: the listing follows what is on disk now.
  void Update(const std::string& folder, const std::string& name) {
    std::lock_guard guard(lock_);
    OwnNotifications();
    const auto cached = listings_.find(folder);
    if (cached == listings_.end()) return;
    struct stat status {};
    if (::lstat((folder + name).c_str(), &status) == 0) {
      AddName(cached->second.names, name);
    } else {
      RemoveName(cached->second.names, name);
    }
  }

 private:
  // A process forked from the one that made the notifications shares them: its reads would take
  // that one's changes, and its removals end that one's watches. It starts over with its own.
  void OwnNotifications() {
    if (owner_ == ::getpid()) return;
    owner_ = ::getpid();
    if (notifications_ >= 0) ::close(notifications_);
    notifications_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    listings_.clear();
    folders_of_watch_.clear();
  }

  static std::optional<std::string> MatchIn(const Listing& listing, const std::string& name) {
    auto entry = listing.find(FoldName(name));
    if (entry == listing.end()) return std::nullopt;
    for (const std::string& candidate : entry->second) {
      if (candidate == name) return candidate;
    }
    return entry->second.front();
  }

  static std::optional<Listing> ReadListing(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    Listing listing;
    while (const dirent* entry = readdir(dir.get())) {
      std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      listing[FoldName(name)].emplace_back(name);
    }
    return listing;
  }

  int Watch(const std::string& folder) {
    if (notifications_ < 0) return -1;
    constexpr uint32_t kChanges =
        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    const int watch = inotify_add_watch(notifications_, folder.c_str(), kChanges);
    if (watch >= 0) folders_of_watch_[watch].push_back(folder);
    return watch;
  }

  // Drops a folder's listing and, when no other spelling of the folder shares it, its watch.
  void Drop(const std::string& folder) {
    const auto cached = listings_.find(folder);
    if (cached == listings_.end()) return;
    const int watch = cached->second.watch;
    listings_.erase(cached);
    if (watch < 0) return;
    std::vector<std::string>& folders = folders_of_watch_[watch];
    std::erase(folders, folder);
    if (!folders.empty()) return;
    folders_of_watch_.erase(watch);
    inotify_rm_watch(notifications_, watch);
  }

  void DropAll() {
    while (!listings_.empty()) {
      // A copy: Drop erases the entry whose key names the folder.
      const std::string folder = listings_.begin()->first;
      Drop(folder);
    }
  }

  void Apply(const inotify_event& event) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
      DropAll();
      return;
    }
    const auto watched = folders_of_watch_.find(event.wd);
    if (watched == folders_of_watch_.end()) return;
    const std::vector<std::string> folders = watched->second;
    if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
      for (const std::string& folder : folders) Drop(folder);
      return;
    }
    if (event.len == 0) return;
    const std::string name(event.name);
    for (const std::string& folder : folders) {
      const auto cached = listings_.find(folder);
      if (cached == listings_.end()) continue;
      if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) AddName(cached->second.names, name);
      if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) RemoveName(cached->second.names, name);
    }
  }

  std::mutex lock_;
  int notifications_;
  pid_t owner_ = ::getpid();
  std::unordered_map<std::string, CachedListing> listings_;
  std::unordered_map<int, std::vector<std::string>> folders_of_watch_;
};

ListingCache& Cache() {
  static ListingCache cache;
  return cache;
}

std::string ParentFolder(const std::string& host_path) {
  std::string path = host_path;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Converted first, so that every '/' left is a separator and never part of a character.
std::string OnDriveZ(const std::string& sjis_path) {
  std::string engine = "Z:" + sjis_path;
  for (char& c : engine) {
    if (c == '/') c = '\\';
  }
  return engine;
}

}  // namespace

std::optional<HostPath> LookUpHostPath(std::string_view engine_path) {
  if (engine_path.size() < 2 || (engine_path[0] != 'Z' && engine_path[0] != 'z') || engine_path[1] != ':') {
    return std::nullopt;
  }
  const std::string_view rest = engine_path.substr(2);
  if (!rest.empty() && !IsPathSeparator(rest[0])) return std::nullopt;

  Cache().TakeOutsideChanges();
  std::vector<std::string> resolved;
  bool on_disk = true;  // every component so far exists, so the next one may be matched
  bool listed_missing = false;
  const std::vector<std::string_view> components = SplitComponents(rest, SjisReading::kCodePage);
  for (std::string_view component : components) {
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!resolved.empty()) resolved.pop_back();
      continue;
    }
    std::string name = SjisToUtf8(component);
    // A component must stay one host component that names itself.
    if (name == "." || name == ".." || name.find('/') != std::string::npos) return std::nullopt;
    if (on_disk) {
      std::string folder = "/";
      for (const std::string& part : resolved) folder += part + "/";
      NameMatch match = Cache().Match(folder, name);
      if (match.name) {
        name = std::move(*match.name);
      } else {
        on_disk = false;
        listed_missing = match.listed;
      }
    }
    resolved.push_back(std::move(name));
  }

  std::string host = "/";
  for (std::size_t i = 0; i < resolved.size(); ++i) {
    if (i > 0) host += '/';
    host += resolved[i];
  }
  // A path that ends with a separator (not a second byte) ends with an empty component.
  if (components.size() > 1 && components.back().empty() && !resolved.empty()) host += '/';
  return HostPath{std::move(host), listed_missing};
}

std::optional<std::string> ToHostPath(std::string_view engine_path) {
  std::optional<HostPath> host = LookUpHostPath(engine_path);
  if (!host) return std::nullopt;
  return std::move(host->path);
}

std::string ToEnginePath(std::string_view host_path) { return OnDriveZ(Utf8ToSjis(host_path)); }

std::optional<std::string> ToExactEnginePath(std::string_view host_path) {
  const std::optional<std::string> sjis = ToEngineName(host_path);
  if (!sjis) return std::nullopt;
  return OnDriveZ(*sjis);
}

std::optional<std::string> ToEngineName(std::string_view utf8_name) {
  std::string sjis = Utf8ToSjis(utf8_name);
  if (SjisToUtf8(sjis) != utf8_name) return std::nullopt;
  return sjis;
}

void UpdateListingOf(const std::string& host_path) {
  std::string folder = ParentFolder(host_path);
  if (folder.back() != '/') folder += '/';
  std::string path = host_path;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  Cache().Update(folder, path.substr(path.rfind('/') + 1));
}

void ForgetFolderListings() { Cache().Forget(); }

bool NamesMatchIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace plat
