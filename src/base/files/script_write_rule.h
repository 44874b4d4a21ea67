// Where scripts may reach on disk. A path that a script names, for reading (loading, opening,
// listing, searching, copying from) or for writing (creating or opening a file for writing,
// making a folder, moving, copying, exporting or decoding into a file) must, after the engine's
// path rules, name something inside the game folder, the save folder or the game's own folder in
// a user folder (user_folders.h), and still lie inside one of them once the links on its way are
// followed. The game and save folders are those the game started with: a script that moves the
// base folder or names another save path later does not move them.
#pragma once

#include <string_view>

// Set by the application once its set-up has chosen them (engine paths; an empty save folder is
// none) and named the game's user folders (SetUserFolderGameName), with those as they are then,
// a user folder that gives none logged; they become the write roots of the file layer, below which
// no read or write follows a link. Until then, and after ClearScriptWriteFolders (which forgets
// the game's name too), nothing is open. Both forget where scripts wrote: a run starts afresh.
void SetScriptWriteFolders(std::string_view game_folder, std::string_view save_folder);
void ClearScriptWriteFolders();

// Whether a script may write at `path`: made absolute against the base folder, it lies below one
// of those folders (ASCII letters without case), not through "..", a stream or a look-alike name
// ("SAVE2" beside "SAVE"), and so does the path as the write opens it: no link below the folder,
// nor as its last name. Never at or below the program's own folder (but inside a game or save
// folder kept there), over a file with an execute bit, nor at a dot name or a launcher (".desktop")
// below a user folder, whose game folder the first write makes. A refusal is logged with the path;
// a path let through is remembered as written by a script (see MayScriptHaveWritten).
bool MayScriptWriteAt(const char* path);

// Whether a script may read at `path`: the same rule, where the folders themselves may be read
// (listed, searched) too.
bool MayScriptReadAt(const char* path);

// A file the engine reads or writes for a script under a name the script chose (the variable
// file, the text logs): the rule of MayScriptReadAt or of MayScriptWriteAt.
enum class ScriptFileUse { kRead, kWrite };
bool MayScriptUseFileAt(const char* path, ScriptFileUse use);

// Whether a script may start the program file at `path`: the same rule with the game folder
// alone, the place of the programs that come with the game.
bool MayScriptRunAt(const char* path);

// Whether a script may list the files that `pattern` matches: the folder they lie in, the
// pattern's path without its last name, must be one it may read.
bool MayScriptListAt(const char* pattern);

// Whether host path `real_path` (links followed) lies in the game folder or the save folder.
bool LiesInGameOrSaveFolder(std::string_view real_path);

// Whether scripts were let write, create, copy over or move at `real_path` (links followed) or at
// a folder that holds it, since the folders were set: a file that may hold what a script put
// there, or sit where a script moved it.
bool MayScriptHaveWritten(std::string_view real_path);
