// Listing, copying, deleting and creating files and folders, by engine path (see host_path.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/find_data.h"

namespace plat {

// The entries of a folder that match the last component of `engine_pattern` ('*' and '?'
// wildcards, ASCII letters without case; "*.*" matches every name), as FindFirstFile and
// FindNextFile list them, "." and ".." included for a folder other than the root. A pattern
// without wildcards finds at most the one entry it names. Names that Shift-JIS cannot hold,
// or that are longer than 259 bytes in it, are not listed: the engine could not open them.
std::vector<FindData> FindFiles(std::string_view engine_pattern);
// Whether a Shift-JIS name matches a pattern as the listings match them.
bool MatchesPattern(std::string_view sjis_name, std::string_view pattern);
std::optional<FindData> FindFirstFile(std::string_view engine_pattern);

// The attributes of a file or folder, nothing when it does not exist.
std::optional<std::uint32_t> GetFileAttributes(std::string_view engine_path);

bool DeleteFile(std::string_view engine_path);
// Creates one folder; its parent must exist.
bool CreateFolder(std::string_view engine_path);
// Creates a folder and every missing folder above it.
bool CreateFolders(std::string_view engine_path);
// Copies contents and last-write time; with `overwrite` false an existing target fails.
bool CopyFile(std::string_view source, std::string_view destination, bool overwrite);
// Moves `source` over `destination` in one step (both in the same folder tree): a reader sees the
// old file or the new one, never a part of either.
bool ReplaceFile(std::string_view source, std::string_view destination);
// Clears the read-only attribute (the owner may write the file again).
bool MakeWritable(std::string_view engine_path);

// The folder for temporary files ($TMPDIR, else /tmp), ending with a backslash.
std::string TempFolder();
// Creates a new empty file "<prefix>XXXX.TMP" (four hexadecimal digits) in `folder` (an engine
// path ending with a backslash) and returns its engine path.
std::optional<std::string> CreateTempFile(std::string_view folder, std::string_view prefix);

// A write beyond the process's file-size limit fails as a full disk makes it fail (errno EFBIG)
// instead of ending the program in the middle of a save. Called once at start.
void LetFileSizeLimitFailWrites();

}  // namespace plat
