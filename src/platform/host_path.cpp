#include "platform/host_path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/sjis.h"
#include "platform/text_encoding.h"

namespace plat {
namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

bool IsEngineSeparator(char c) { return c == '\\' || c == '/'; }

// The components of an engine path after its drive, split at separators that are not the
// second byte of a two-byte character as the conversion to UTF-8 reads them.
std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < path.size()) {
    if (IsEngineSeparator(path[i])) {
      components.push_back(path.substr(start, i - start));
      start = ++i;
      continue;
    }
    i += SjisCodeLengthAt(path, i);
  }
  components.push_back(path.substr(start));
  return components;
}

// The names of one folder, keyed by their folded form.
using Listing = std::unordered_map<std::string, std::vector<std::string>>;

// A folder's listing with the modification time the folder had when it was read.
struct CachedListing {
  Listing names;
  timespec modified{};
  // False while the folder changed so shortly before the reading that a further change could
  // still carry the same time: such a listing is read again on every miss.
  bool settled = false;
};

// File systems stamp times in steps of up to two seconds.
constexpr std::int64_t kTimeStepNanoseconds = 2'000'000'000;

std::int64_t Nanoseconds(const timespec& time) { return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec; }

std::optional<timespec> ModificationTime(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) return std::nullopt;
  return status.st_mtim;
}

// What a folder's listing says of a name: the name on disk that matches it, if any, and
// whether the folder could be listed at all (a folder that can be searched but not read still
// opens the files in it).
struct NameMatch {
  std::optional<std::string> name;
  bool listed = false;
};

class ListingCache {
 public:
  // The name on disk in `folder` that matches `name`. When the cached listing has none, the
  // folder is read again only if its modification time moved since (the engine's own changes
  // drop the listing through Forget), so that probing for missing names in a large folder costs
  // a stat, not a listing. An exact match wins over one that differs in case.
  NameMatch Match(const std::string& folder, const std::string& name) {
    std::lock_guard guard(lock_);
    auto cached = listings_.find(folder);
    if (cached != listings_.end()) {
      if (auto found = MatchIn(cached->second.names, name)) return {std::move(found), true};
      if (cached->second.settled && Unchanged(folder, cached->second.modified)) return {std::nullopt, true};
    }
    auto fresh = ReadListing(folder);
    if (!fresh) {
      listings_.erase(folder);
      return {};
    }
    auto found = MatchIn(fresh->names, name);
    listings_[folder] = std::move(*fresh);
    return {std::move(found), true};
  }

  void Forget(const std::string& folder) {
    std::lock_guard guard(lock_);
    listings_.erase(folder);
  }

 private:
  static std::optional<std::string> MatchIn(const Listing& listing, const std::string& name) {
    auto entry = listing.find(FoldName(name));
    if (entry == listing.end()) return std::nullopt;
    for (const std::string& candidate : entry->second) {
      if (candidate == name) return candidate;
    }
    return entry->second.front();
  }

  static bool Unchanged(const std::string& folder, const timespec& modified) {
    const std::optional<timespec> now = ModificationTime(folder);
    return now && now->tv_sec == modified.tv_sec && now->tv_nsec == modified.tv_nsec;
  }

  // The time is taken before the names, so that a change during the reading moves it past
  // what the listing records.
  static std::optional<CachedListing> ReadListing(const std::string& folder) {
    CachedListing listing;
    const std::optional<timespec> modified = ModificationTime(folder);
    if (!modified) return std::nullopt;
    listing.modified = *modified;
    timespec reading{};
    clock_gettime(CLOCK_REALTIME, &reading);
    listing.settled = Nanoseconds(reading) - Nanoseconds(*modified) > kTimeStepNanoseconds;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    while (const dirent* entry = readdir(dir.get())) {
      std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      listing.names[FoldName(name)].emplace_back(name);
    }
    return listing;
  }

  std::mutex lock_;
  std::unordered_map<std::string, CachedListing> listings_;
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
  if (!rest.empty() && !IsEngineSeparator(rest[0])) return std::nullopt;

  std::vector<std::string> resolved;
  bool on_disk = true;  // every component so far exists, so the next one may be matched
  bool listed_missing = false;
  const std::vector<std::string_view> components = SplitComponents(rest);
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

void ForgetListingOf(const std::string& host_path) {
  std::string folder = ParentFolder(host_path);
  if (folder.back() != '/') folder += '/';
  Cache().Forget(folder);
}

bool NamesMatchIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace plat
