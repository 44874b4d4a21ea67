#include "platform/files/special_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

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

// $XDG_CONFIG_HOME, else the .config folder of the home folder.
std::string ConfigFolder(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  return config != nullptr && config[0] == '/' ? WithSlash(config) : home + ".config/";
}

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
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return WithSlash(data) + std::string(own);
    if (!home) return std::nullopt;
    return *home + ".local/share/" + std::string(own);
  }
  if (!home) return std::nullopt;
  const UserDir dir = UserDirOf(folder);
  if (auto moved = UserDirsEntry(*home, dir.name)) return moved;
  return *home + std::string(dir.fallback);
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
  std::optional<std::string> home = HomeFolder();
  if (home) home = ResolveLinks(ToEnginePath(*home)).value_or(*home);
  const auto refused = [&](std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path == "/" || (home && IsSameOrBelow(*home, path))) return true;
    if (home && IsSameOrBelow(path, *home)) return false;
    for (std::string_view tree : kSystemTrees) {
      if (IsSameOrBelow(path, tree)) return true;
    }
    for (std::string_view folder : kHoldingFolders) {
      if (path == folder) return true;
    }
    return false;
  };
  const std::optional<std::string> named = ToHostPath(engine_path);
  const std::optional<std::string> real = ResolveLinks(engine_path);
  return !named || !real || refused(*named) || refused(*real);
}

std::optional<std::string> GetSpecialFolder(SpecialFolder folder, FolderCreation creation) {
  const std::optional<std::string> host = HostFolder(folder);
  if (!host) return std::nullopt;
  std::string engine = ToEnginePath(*host);
  if (creation == FolderCreation::kCreate && !CreateFolders(engine)) return std::nullopt;
  return engine;
}

}  // namespace plat
