// The folders the engine asks the system for, as engine paths ending with a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plat {

enum class SpecialFolder {
  kApplicationData,  // the engine's own folder "kestrune" in the desktop's data folder
  kDesktopData,      // $XDG_DATA_HOME, else ~/.local/share: the desktop's, where earlier versions kept games' folders
  kDocuments,        // the XDG documents folder, else ~/Documents
  kPictures,         // the XDG pictures folder, else ~/Pictures
  kDesktop,          // the XDG desktop folder, else ~/Desktop
  kPlayerSettings,   // $XDG_CONFIG_HOME, else ~/.config: the player's settings, beyond every game's reach
};

enum class FolderCreation { kCreate, kNameOnly };

// The folder of the running executable.
std::optional<std::string> ProgramFolder();
// The folder, created when missing unless only its name is asked for or it is a hidden folder of
// the home folder (see IsHiddenFolderOfHome), which is only named; nothing when it cannot be had.
std::optional<std::string> GetSpecialFolder(SpecialFolder folder, FolderCreation creation = FolderCreation::kCreate);

// Whether the folder at an engine path, its links followed, is the root, the home folder itself
// or a folder above it, or one of the system's own folders: never a place for a game's files.
// Folders are told by what they are, not by their names, so a bind mount of one is that one; the
// home folder's own folders stay open unless the home folder is the root or holds a system tree.
bool IsRootHomeOrSystemFolder(std::string_view engine_path);

// Whether the folder at an engine path, its links followed, is one of the home folder's hidden
// folders (its names beginning with a dot) or lies below one: by its path, whether the hidden
// folder exists yet or not, and by what the folders are, so a link or mount elsewhere of one
// counts. Where the home folder cannot be listed, every folder but those its path puts in the
// home folder's other folders is taken as hidden. Never the engine's own application-data folder
// or a folder in it.
bool IsHiddenFolderOfHome(std::string_view engine_path);

// The desktop's own folder (its settings, data, state or cache folder, as XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_STATE_HOME and XDG_CACHE_HOME name them, or by default) or the engine's own
// data folder that the folder at an engine path is, lies in or holds, as a host path; nothing
// when it meets none, or when where it lies cannot be told (IsRootHomeOrSystemFolder refuses
// such a folder). Told, links followed, by what the folders are, so a link or mount elsewhere of
// one counts. A game's folder there would be taken for one of the desktop's or another
// program's: a game "git" in the settings folder, "applications" in the data folder, or a game
// named as another game's folder in the engine's.
std::optional<std::string> OverlappingDesktopFolder(std::string_view engine_path);

}  // namespace plat
