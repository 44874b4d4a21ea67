// Where scripts may reach on disk. A path that a script names, for reading (loading, opening,
// listing, searching, copying from) or for writing (creating or opening a file for writing,
// making a folder, moving, copying, exporting or decoding into a file) must, after the engine's
// path rules, name something inside the game folder, the save folder or one of the user folders,
// and still lie inside one of them once the links on its way are followed. The game and save
// folders are those the game started with: a script that moves the base folder or names another
// save path later does not move them.
#pragma once

#include <string_view>

// Set by the application once its set-up has chosen them (engine paths; an empty save folder is
// none), with the name of the game's own folder inside each user folder (see user_folders.h);
// they become the write roots of the file layer (platform/files/write_roots.h), below which a
// write follows no link. A user folder that may hold no game's folder is logged. Until then, and
// after ClearScriptWriteFolders, no folder is open. Either call also forgets where scripts wrote:
// a run of the game starts with no file of its scripts.
void SetScriptWriteFolders(std::string_view game_folder, std::string_view save_folder, std::string_view game_name);
void ClearScriptWriteFolders();

// Whether a script may write at `path`: made absolute against the base folder, it lies below one
// of those folders, the comparison ignoring the case of ASCII letters as the file layer does. A
// path that leaves the folder through "..", names a stream, or lies in a folder whose name only
// begins with the folder's name ("SAVE2" beside "SAVE") is refused, and so is the folder itself.
// The same path as the write will open it must lie below one of the folders too: with no link on
// its way below the folder, nor as its last name. Wherever the folders lie, a write never lands
// at or below the program's own folder, but inside a game or save folder that itself lies there;
// never on a file with an execute bit (what a script writes never becomes a program); and below a
// user folder's game folder never at a dot name nor a launcher (".desktop"). That game folder is
// made when a write first lands in it. A refusal is logged with the path; a path let through is
// remembered as written by a script (see MayScriptHaveWritten).
bool MayScriptWriteAt(const char* path);

// Whether a script may move what lies at `source` to `destination`: both may be written, and a
// folder, whose files were never looked at, is never moved into a user folder.
bool MayScriptMove(const char* source, const char* destination);

// Whether a script may read at `path`: the same rule, where the folders themselves may be read
// (listed, searched) too.
bool MayScriptReadAt(const char* path);

// Whether a script may read the file it opened at `path`, which lies at host path `real_path`
// (the opened file's place, every link followed): the path as named and the file's own place
// both lie in the open folders, so a folder swapped for a link after a check reads nothing.
bool MayScriptReadOpenedFile(const char* path, std::string_view real_path);

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
