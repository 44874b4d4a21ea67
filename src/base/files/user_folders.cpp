#include "base/files/user_folders.h"

#include <array>

#include "platform/files/special_folders.h"

namespace {

constexpr std::array<plat::SpecialFolder, kLastUserFolder> kUserFolders = {
    plat::SpecialFolder::kDocuments, plat::SpecialFolder::kPictures, plat::SpecialFolder::kApplicationData,
    plat::SpecialFolder::kDesktop};

}  // namespace

std::optional<std::string> UserFolderPath(int which) {
  if (which < kFirstUserFolder || which > kLastUserFolder) return std::nullopt;
  return plat::GetSpecialFolder(kUserFolders[static_cast<std::size_t>(which - kFirstUserFolder)],
                                plat::FolderCreation::kNameOnly);
}

std::vector<std::string> UserFolderPaths() {
  std::vector<std::string> folders;
  for (int which = kFirstUserFolder; which <= kLastUserFolder; ++which) {
    if (std::optional<std::string> folder = UserFolderPath(which)) folders.push_back(std::move(*folder));
  }
  return folders;
}
