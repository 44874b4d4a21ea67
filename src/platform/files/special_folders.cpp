#include "platform/files/special_folders.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/files/disk_place.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/files/resolved_path.h"

namespace plat {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::optional<std::string> HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return std::nullopt;
  return WithSlash(home);
}

// One of the desktop's own folders: the XDG variable `variable` when it names an absolute path,
// else its place `fallback` in the home folder `home`.
std::string DesktopFolder(const char* variable, const std::string& home, std::string_view fallback) {
  const char* set = std::getenv(variable);
  return set != nullptr && set[0] == '/' ? WithSlash(set) : home + std::string(fallback);
}

// $XDG_CONFIG_HOME, else the .config folder of the home folder.
std::string ConfigFolder(const std::string& home) { return DesktopFolder("XDG_CONFIG_HOME", home, ".config/"); }

// The folder of an XDG_<NAME>_DIR="$HOME/..." line of the user-dirs file, with $HOME expanded.
std::optional<std::string> UserDirsEntry(const std::string& home, std::string_view name) {
  std::ifstream file(ConfigFolder(home) + "user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_" + std::string(name) + "_DIR=\"";
  while (std::getline(file, line)) {
    if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME/", 0) == 0) value = home + value.substr(6);
    if (!value.empty() && value[0] == '/') return WithSlash(value);
  }
  return std::nullopt;
}

// The user-dirs name of a folder that the file may move, and its place under the home folder
// when it does not.
struct UserDir {
  std::string_view name;
  std::string_view fallback;
};

UserDir UserDirOf(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::kPictures:
      return {"PICTURES", "Pictures/"};
    case SpecialFolder::kDesktop:
      return {"DESKTOP", "Desktop/"};
    default:
      return {"DOCUMENTS", "Documents/"};
  }
}

std::optional<std::string> HostFolder(SpecialFolder folder) {
  const std::optional<std::string> home = HomeFolder();
  if (folder == SpecialFolder::kPlayerSettings) {
    std::string config = ConfigFolder(home.value_or(""));
    if (config.front() != '/') return std::nullopt;
    return config;
  }
  if (folder == SpecialFolder::kDesktopData || folder == SpecialFolder::kApplicationData) {
    // The desktop reads what lies in its data folder (services, launchers, autostart): a game's
    // folder named as one of those would be taken for it, so the games' folders lie in one of
    // the engine's own.
    const std::string_view own = folder == SpecialFolder::kApplicationData ? "kestrune/" : "";
    const std::string data = DesktopFolder("XDG_DATA_HOME", home.value_or(""), ".local/share/");
    if (data.front() != '/') return std::nullopt;
    return data + std::string(own);
  }
  if (!home) return std::nullopt;
  const UserDir dir = UserDirOf(folder);
  if (auto moved = UserDirsEntry(*home, dir.name)) return moved;
  return *home + std::string(dir.fallback);
}

// The first name below the home folder on the path to a folder, both with their links followed;
// nothing for the home folder itself and for a folder not below it.
std::optional<std::string> FirstNameBelow(const std::string& real, const std::optional<std::string>& real_home) {
  if (!real_home || real == *real_home || !IsSameOrBelow(real, *real_home)) return std::nullopt;
  std::string_view below = std::string_view(real).substr(real_home->size());
  if (below.starts_with('/')) below.remove_prefix(1);
  return std::string(below.substr(0, below.find('/')));
}

// Whether the folder is, or lies below, one of the hidden folders that the home folder holds now,
// told by what they are, so that a link or mount elsewhere of one is that one; nothing when the
// home folder cannot be listed.
std::optional<bool> LiesInHiddenFolderOfHome(const DiskPlace& folder, const std::string& home) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(home.c_str()), ::closedir);
  // A home folder not made yet holds none.
  if (listing == nullptr) return errno == ENOENT ? std::optional(false) : std::nullopt;
  const std::optional<DiskPlace> home_place = DiskPlace::Of(home);
  if (!home_place) return std::nullopt;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with('.') || name == "." || name == "..") continue;
    const std::string hidden = home + std::string(name);
    // A link among them to the home folder or above it is no hidden folder of its own.
    if (home_place->In(hidden).value_or(Placement::kApart) != Placement::kApart) continue;
    if (folder.In(hidden) != Placement::kApart) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> ProgramFolder() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
  std::string path(buffer.data(), static_cast<std::size_t>(length));
  path.erase(path.rfind('/') + 1);
  return ToEnginePath(path);
}

bool IsRootHomeOrSystemFolder(std::string_view engine_path) {
  // The system's trees, where nothing of a game belongs, and folders that only hold other
  // folders (mount points, homes), which are refused themselves.
  static constexpr std::string_view kSystemTrees[] = {"/bin",  "/boot",   "/dev",  "/etc", "/lib", "/lib32",
                                                      "/lib64", "/libx32", "/proc", "/sbin", "/sys", "/usr"};
  static constexpr std::string_view kHoldingFolders[] = {"/home", "/media", "/mnt", "/opt", "/root",
                                                         "/run",  "/srv",   "/tmp", "/var"};
  // Folders are judged by what they are, so that a bind mount of one is that one; a place that
  // cannot be told is taken as lying there.
  const std::optional<std::string> real = ResolveLinks(engine_path);
  const std::optional<DiskPlace> folder = real ? DiskPlace::Of(*real) : std::nullopt;
  if (!folder || folder->In("/") == Placement::kSame) return true;
  const std::optional<std::string> home = HomeFolder();
  const std::optional<DiskPlace> home_place = home ? DiskPlace::Of(*home) : std::nullopt;
  if (home_place && home_place->In(*folder) != Placement::kApart) return true;
  // The home folder's own folders are the player's, also where a system user's home lies in a
  // system tree; but a home that is the root or holds a system tree opens none of its folders.
  const auto holds_system_tree = [&](std::string_view tree) {
    const std::optional<DiskPlace> tree_place = DiskPlace::Of(tree);
    return !tree_place || tree_place->In(*home_place) != Placement::kApart;
  };
  if (home_place && home_place->In("/") != Placement::kSame &&
      std::none_of(std::begin(kSystemTrees), std::end(kSystemTrees), holds_system_tree) &&
      folder->In(*home_place) == Placement::kBelow) {
    return false;
  }
  return std::any_of(std::begin(kSystemTrees), std::end(kSystemTrees),
                     [&](std::string_view tree) { return folder->In(tree) != Placement::kApart; }) ||
         std::any_of(std::begin(kHoldingFolders), std::end(kHoldingFolders),
                     [&](std::string_view holding) { return folder->In(holding) == Placement::kSame; });
}

bool IsHiddenFolderOfHome(std::string_view engine_path) {
  const std::optional<std::string> home = HomeFolder();
  const std::optional<std::string> real = ResolveLinks(engine_path);
  const std::optional<DiskPlace> folder = real ? DiskPlace::Of(*real) : std::nullopt;
  if (!home || !folder) return false;
  // The line: the engine's own folder in the desktop's data folder stays a place for games'
  // folders. The engine names it, not the user-dirs file, and puts each game's folder in it as
  // one plain name of its own, where no game's name can pick another program's folder; in the
  // home folder's other hidden folders a game named as a program would write its settings
  // (a game "git" in ~/.config).
  const std::optional<std::string> own = HostFolder(SpecialFolder::kApplicationData);
  if (own && folder->In(*own).value_or(Placement::kApart) != Placement::kApart) return false;
  // By its path a hidden folder is one made yet or not: a program makes its folder when it first
  // needs it, and a game's folder made there first would be taken for it (a game "plugin" in a
  // ~/.vim to come).
  const std::optional<std::string> first = FirstNameBelow(*real, ResolveLinks(ToEnginePath(*home)));
  if (first && first->starts_with('.')) return true;
  // Where the home folder cannot be listed, any folder may be a hidden one reached by a link or
  // mount: only a folder that its path puts in another of the home folder's folders is cleared.
  return LiesInHiddenFolderOfHome(*folder, *home).value_or(!first);
}

std::optional<std::string> OverlappingDesktopFolder(std::string_view engine_path) {
  const std::optional<std::string> real = ResolveLinks(engine_path);
  const std::optional<DiskPlace> folder = real ? DiskPlace::Of(*real) : std::nullopt;
  if (!folder) return std::nullopt;
  const std::string home = HomeFolder().value_or("");
  std::vector<std::string> desktop_folders = {
      DesktopFolder("XDG_CONFIG_HOME", home, ".config/"), DesktopFolder("XDG_DATA_HOME", home, ".local/share/"),
      DesktopFolder("XDG_STATE_HOME", home, ".local/state/"), DesktopFolder("XDG_CACHE_HOME", home, ".cache/")};
  if (const std::optional<std::string> own = HostFolder(SpecialFolder::kApplicationData)) {
    desktop_folders.push_back(*own);
  }
  for (const std::string& desktop_folder : desktop_folders) {
    // A folder that cannot be reached holds no game's folder either.
    const std::optional<DiskPlace> place = DiskPlace::Of(desktop_folder);
    if (!place) continue;
    const bool holds = place->In(*folder).value_or(Placement::kApart) != Placement::kApart;
    // Where the way up from the folder cannot be told, it may lie anywhere.
    const bool lies_in = folder->In(*place) != Placement::kApart;
    if (holds || lies_in) return desktop_folder;
  }
  return std::nullopt;
}

std::optional<std::string> GetSpecialFolder(SpecialFolder folder, FolderCreation creation) {
  const std::optional<std::string> host = HostFolder(folder);
  if (!host) return std::nullopt;
  std::string engine = ToEnginePath(*host);
  // A hidden folder of the home folder is another program's to make, with the mode it wants.
  if (creation == FolderCreation::kCreate && !IsHiddenFolderOfHome(engine) && !CreateFolders(engine)) {
    return std::nullopt;
  }
  return engine;
}

}  // namespace plat
