#include "base/files/user_folders.h"

#include <algorithm>
#include <array>

#include "base/files/path.h"
#include "platform/encoding/sjis_text.h"
#include "platform/files/special_folders.h"

namespace {

constexpr std::array<plat::SpecialFolder, kLastUserFolder> kUserFolders = {
    plat::SpecialFolder::kDocuments, plat::SpecialFolder::kPictures, plat::SpecialFolder::kApplicationData,
    plat::SpecialFolder::kDesktop};

std::string g_game_name;

std::optional<std::string> SystemUserFolder(int which) {
  if (which < kFirstUserFolder || which > kLastUserFolder) return std::nullopt;
  return plat::GetSpecialFolder(kUserFolders[static_cast<std::size_t>(which - kFirstUserFolder)],
                                plat::FolderCreation::kNameOnly);
}

constexpr int kApplicationDataUserFolder = 3;

// The root, the home folder, a folder above it, one of the system's, and the home folder's hidden
// folders, where other programs keep their settings and data: a game's folder named after one of
// those programs would be taken for its own. So would one in a folder that is, lies in or holds
// the desktop's own folders wherever XDG_*_HOME puts them, or the engine's data folder, which
// holds the games' folders. The application-data user folder is that folder itself, in the
// desktop's data folder, where each game's folder has a name of its own.
bool IsUnusable(int which, const std::string& folder) {
  return plat::IsRootHomeOrSystemFolder(folder) || plat::IsHiddenFolderOfHome(folder) ||
         (which != kApplicationDataUserFolder && plat::OverlappingDesktopFolder(folder));
}

}  // namespace

void SetUserFolderGameName(std::string_view name) { g_game_name = name.empty() ? std::string() : PlainFolderName(name); }

std::optional<std::string> UserFolderPath(int which) {
  if (g_game_name.empty()) return std::nullopt;
  const std::optional<std::string> folder = SystemUserFolder(which);
  if (!folder || IsUnusable(which, *folder)) return std::nullopt;
  return *folder + g_game_name + '\\';
}

std::vector<std::string> UserFolderPaths() {
  std::vector<std::string> folders;
  for (int which = kFirstUserFolder; which <= kLastUserFolder; ++which) {
    if (std::optional<std::string> folder = UserFolderPath(which)) folders.push_back(std::move(*folder));
  }
  return folders;
}

bool LiesInUserFolder(std::string_view full_path) {
  const std::vector<std::string> folders = UserFolderPaths();
  return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
    // The folder ends with a separator, so a start that matches it ends at a character's end.
    return full_path.size() > folder.size() && plat::EqualIgnoringAsciiCase(full_path.substr(0, folder.size()), folder);
  });
}

std::optional<std::string> UnusableUserFolder(int which) {
  std::optional<std::string> folder = SystemUserFolder(which);
  if (!folder || !IsUnusable(which, *folder)) return std::nullopt;
  return folder;
}
