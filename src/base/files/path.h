// Engine paths: Shift-JIS byte strings of at most 259 bytes, kept in buffers of kMaxPath bytes,
// absolute (a drive colon or a UNC name) or relative to the base folder. Every scan steps over
// two-byte characters whole, so that a second byte equal to '\', '/', '.' or ':' is never taken
// for one. Results that would not fit in a kMaxPath buffer are refused, never cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/files/optical_drives.h"

inline constexpr std::size_t kMaxPath = 260;

// The base folder: an absolute path ending with a backslash; the program's folder unless the
// set-up or the command line chose another.
extern char g_ModuleFolder[kMaxPath];

// Fills g_ModuleFolder with the program's folder. 0 done, 1 when it cannot be had.
unsigned InitModuleFolder();

// Resolves `path` against the current base folder into g_ModuleFolder and adds a backslash when
// it has none. 0 done, 1 when the path cannot be made absolute (g_ModuleFolder unchanged).
unsigned SetBaseFolder(const char* path);
// The name the game's set-up and the scripts use for SetBaseFolder.
inline unsigned SetDataBaseFolder(const char* path) { return SetBaseFolder(path); }

// Writes the absolute form of `name` (slashes turned into backslashes) to `destination`
// (kMaxPath bytes), relative names against `base_folder` or, when null, g_ModuleFolder.
// 0 failure (also a result longer than 259 bytes), 1 the name was absolute, 2 it was resolved.
unsigned MakeFullPath(char* destination, const char* name, const char* base_folder = nullptr);

// Whether the path's last character is a separator ('\' or '/'; the second byte of a two-byte
// character is none).
bool EndsWithSeparator(const char* path);

// Cuts the file name, or the last folder of a path ending with a separator, in place; the
// separator before it stays. 0 done (also "nothing to cut" at a drive root or UNC server),
// 1 when the path is too short or has no separator.
unsigned StripLastFolder(char* path);

// The last component of `path` into `destination` (kMaxPath bytes). For a path ending with a
// separator: the last folder's name when `folder` is set, else an empty string.
void GetPathLeaf(const char* path, char* destination, bool folder);

// The folder part of `path` (up to and including its last separator) into `destination`
// (kMaxPath bytes); empty when the path has no separator.
void GetPathFolder(const char* path, char* destination);

// The folder part of `path` (up to and including its last separator) as the host's file system
// has it, for a path handed on to it: read by the characters of code page 932, as the conversion
// to the host's names reads them, so that the separator after a folder named in half-width kana
// (ﾃｽﾄ) ends that folder, where GetPathFolder's reading would take it into a character. Empty
// when the path has no separator.
std::string_view FolderOnDisk(std::string_view path);

// The text after the last '.' of `name` into `destination` (kMaxPath bytes), or empty.
void GetFileExtension(const char* name, char* destination);

// Ends `name` at its last '.', first copying the extension to `extension` (kMaxPath bytes)
// when one is given. Without a dot the name stays and `extension` becomes empty.
void CutFileExtension(char* name, char* extension);

// Whether `path`, taken relative to a folder, names something inside that folder: not empty, no
// drive or stream colon, no leading separator, and no ".." component however its two-byte
// characters are read (the engine's own scans and the host's conversion read a lead byte before
// '/' differently). Names that scripts choose pass this before they are joined to a folder.
bool StaysInsideFolder(std::string_view path);

// `name` as one plain folder name, for a folder the engine names after a game's settings: a
// separator, a drive or stream colon, a control character or a lead byte without its second byte
// (or last, where the separator after the name would join it) becomes '_', and a name
// of dots alone (".", "..") or an empty one becomes underscores. The folder is then always one
// name inside the folder it is put in.
std::string PlainFolderName(std::string_view name);

// Finds a CD or DVD drive (a folder where such a disc is mounted): the first one, or with a
// file name the first that holds the file. Its root goes to `destination` (kMaxPath bytes)
// when given. 0 found, 1 no optical drive qualifies, 2 drives were searched but none holds it.
unsigned FindCdromDrive(const char* file_name, char* destination, const std::string& mount_table = plat::kMountTable);

// Whether the engine path lies on a CD or DVD (under the root of a mounted disc).
bool IsOnCdromDrive(std::string_view path, const std::string& mount_table = plat::kMountTable);
