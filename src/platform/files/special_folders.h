// The folders the engine asks the system for, as engine paths ending with a backslash.
#pragma once

#include <optional>
#include <string>

namespace plat {

enum class SpecialFolder {
  kApplicationData,  // $XDG_DATA_HOME, else ~/.local/share
  kDocuments,        // the XDG documents folder, else ~/Documents
  kPictures,         // the XDG pictures folder, else ~/Pictures
  kDesktop,          // the XDG desktop folder, else ~/Desktop
};

enum class FolderCreation { kCreate, kNameOnly };

// The folder of the running executable.
std::optional<std::string> ProgramFolder();
// The folder, created when missing unless only its name is asked for; nothing when it cannot
// be had.
std::optional<std::string> GetSpecialFolder(SpecialFolder folder, FolderCreation creation = FolderCreation::kCreate);

}  // namespace plat
