#include "platform/files/disk_place.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/files/host_path.h"
#include "platform/files/unique_fd.h"

namespace plat {
namespace {

// A bound on the folders above a place, against a file system whose ".." never reaches the root.
constexpr std::size_t kMaxDepth = 4096;

}  // namespace

std::optional<DiskPlace> DiskPlace::Of(std::string_view host_path) { return Open(host_path, true); }

std::optional<DiskPlace> DiskPlace::Open(std::string_view host_path, bool walk_up) {
  if (host_path.empty() || host_path.front() != '/') return std::nullopt;
  DiskPlace place;
  std::string existing(host_path);
  while (existing.size() > 1 && existing.back() == '/') existing.pop_back();
  UniqueFd opened(::open(existing.c_str(), O_PATH | O_CLOEXEC));
  while (!opened.IsOpen()) {
    if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
    const std::size_t slash = existing.rfind('/');
    if (slash + 1 < existing.size()) place.missing_.insert(place.missing_.begin(), existing.substr(slash + 1));
    existing.resize(slash == 0 ? 1 : slash);
    opened = UniqueFd(::open(existing.c_str(), O_PATH | O_CLOEXEC));
  }
  struct stat status {};
  if (::fstat(opened.get(), &status) != 0) return std::nullopt;
  place.way_up_.push_back(IdentityIn(status));
  if (!walk_up) return place;
  if (!S_ISDIR(status.st_mode)) {
    const std::size_t slash = existing.rfind('/');
    opened = UniqueFd(::open(existing.substr(0, slash == 0 ? 1 : slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const std::optional<FileIdentity> folder = IdentityOf(opened.get());
    if (!folder) return place;
    place.way_up_.push_back(*folder);
  }
  const std::optional<FileIdentity> root = IdentityOf(UniqueFd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)).get());
  while (root && place.way_up_.size() < kMaxDepth) {
    UniqueFd up(::openat(opened.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    const std::optional<FileIdentity> above = IdentityOf(up.get());
    if (!above) break;
    // The root is its own "..". A folder bind-mounted inside itself meets itself one step up
    // too, so only the root's own identity ends the walk.
    if (*above == place.way_up_.back() && *above == *root) {
      place.reached_root_ = true;
      break;
    }
    place.way_up_.push_back(*above);
    opened = std::move(up);
  }
  return place;
}

std::optional<Placement> DiskPlace::In(const DiskPlace& folder) const {
  if (!folder.missing_.empty()) {
    // Nothing lies in a folder that does not exist yet but what is named below it from the same
    // folder that does; names are matched as the file layer matches them.
    if (way_up_.front() != folder.way_up_.front() || missing_.size() < folder.missing_.size()) return Placement::kApart;
    if (!std::equal(folder.missing_.begin(), folder.missing_.end(), missing_.begin(), NamesMatchIgnoringCase)) {
      return Placement::kApart;
    }
    return missing_.size() == folder.missing_.size() ? Placement::kSame : Placement::kBelow;
  }
  const auto at = std::find(way_up_.begin(), way_up_.end(), folder.way_up_.front());
  if (at == way_up_.end()) return reached_root_ ? std::optional(Placement::kApart) : std::nullopt;
  return at == way_up_.begin() && missing_.empty() ? Placement::kSame : Placement::kBelow;
}

std::optional<Placement> DiskPlace::In(std::string_view folder) const {
  // Only the folder itself is compared: the folders above it are never looked at.
  const std::optional<DiskPlace> folder_place = Open(folder, false);
  if (!folder_place) return std::nullopt;
  return In(*folder_place);
}

std::optional<Placement> PlacementOnDisk(std::string_view path, std::string_view folder) {
  const std::optional<DiskPlace> place = DiskPlace::Of(path);
  if (!place) return std::nullopt;
  return place->In(folder);
}

}  // namespace plat
