// The save folders that the player chose on this machine (save-folder kind 2), kept in the
// player's own settings folder, where no game's scripts may write. A game's USER.CFG names its
// save folder too, but that file comes from the game's template and lies where scripts may write
// it: a folder counts as chosen only when this record names it for that settings file.
#pragma once

#include <string>

// Whether the player chose `folder` (an engine path) for the game whose settings file is
// `user_config_path`.
bool IsChosenSaveFolder(const std::string& user_config_path, const std::string& folder);

// Records the player's choice for that game, in place of an earlier one. False when the record
// cannot be written (the choice then holds for this run only).
bool RememberChosenSaveFolder(const std::string& user_config_path, const std::string& folder);

// Moves the choice recorded for the settings file `from` to the settings file `to`, when none is
// recorded for `to`: the game's settings file moved to `to`.
void MoveChosenSaveFolder(const std::string& from, const std::string& to);
