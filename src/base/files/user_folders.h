// The user's own folders that scripts may name, read and write into, numbered as the scripts
// number them: 1 documents, 2 pictures, 3 application data, 4 desktop (the XDG folders of this
// system). A script never gets the user folder itself, only the game's own folder inside it, so
// that a game touches none of the player's other files nor the desktop's own data.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kFirstUserFolder = 1;
inline constexpr int kLastUserFolder = 4;

// The name of the game's own folder inside each user folder (made one plain name); an empty
// name gives scripts no user folder at all.
void SetUserFolderGameName(std::string_view name);

// The game's own folder inside user folder `which`, as an engine path ending with a backslash;
// nothing for another number, before a game's name is set, for a user folder the system cannot
// name, or for one that is the root, the home folder, a folder above it, one of the system's or
// one of the home folder's hidden folders, or one that is, lies in or holds one of the desktop's
// own folders (see UnusableUserFolder). Naming a folder never creates it.
std::optional<std::string> UserFolderPath(int which);
// Every such folder the system can name, in their order.
std::vector<std::string> UserFolderPaths();

// Whether an absolute engine path lies in one of the game's user folders, names compared as the
// file layer compares them.
bool LiesInUserFolder(std::string_view full_path);

// The user folder `which` itself when it may not hold a game's folder (the root, the home
// folder, a folder above it, one of the system's, a hidden folder of the home folder or a folder
// in one, the engine's own application-data folder aside; or a folder that is, lies in or holds
// the desktop's config, data, state or cache folder or the engine's data folder, the
// application-data folder, which is that one, aside): what a user-dirs file may name, such as
// XDG_DESKTOP_DIR="$HOME/", XDG_DOCUMENTS_DIR="$HOME/.config", or the documents folder where
// XDG_CONFIG_HOME names it. Nothing when it may, or when the system cannot name it.
std::optional<std::string> UnusableUserFolder(int which);
