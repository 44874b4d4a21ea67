#include "platform/files/special_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"

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

// The folder of an XDG_<NAME>_DIR="$HOME/..." line of the user-dirs file, with $HOME expanded.
std::optional<std::string> UserDirsEntry(const std::string& home, std::string_view name) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string config_folder = config != nullptr && config[0] == '/' ? WithSlash(config) : home + ".config/";
  std::ifstream file(config_folder + "user-dirs.dirs");
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
  if (folder == SpecialFolder::kApplicationData) {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return WithSlash(data);
    if (!home) return std::nullopt;
    return *home + ".local/share/";
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

std::optional<std::string> GetSpecialFolder(SpecialFolder folder, FolderCreation creation) {
  const std::optional<std::string> host = HostFolder(folder);
  if (!host) return std::nullopt;
  std::string engine = ToEnginePath(*host);
  if (creation == FolderCreation::kCreate && !CreateFolders(engine)) return std::nullopt;
  return engine;
}

}  // namespace plat
