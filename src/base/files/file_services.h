// Small program-wide file services around the data-file layer and the disk.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/files/find_data.h"

class CFile;

// Special-folder ids the engine asks for.
inline constexpr int kFolderDocuments = 0x05;
inline constexpr int kFolderApplicationData = 0x1A;

// The size of a loose data file, -1 without the layer or when it is not found.
std::int64_t GetDataFileSize(const char* name);

// The local last-write time of a loose data file; every field given is written. 0 done, 3
// without the layer, else the layer's find status.
struct LocalFileTime {
  std::uint32_t* year = nullptr;
  std::uint32_t* month = nullptr;
  std::uint32_t* day = nullptr;
  std::uint32_t* hour = nullptr;
  std::uint32_t* minute = nullptr;
  std::uint32_t* second = nullptr;
  std::uint32_t* day_of_week = nullptr;  // 0 Sunday
};
unsigned GetFileLocalTime(const char* name, const LocalFileTime& out);

// A file time in the local time zone; nothing when the system cannot convert it.
std::optional<std::tm> ToLocalTime(const plat::FileTime& time);

// A data file read whole through the data-file layer; nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> LoadDataFile(const char* name);

// Writes bytes into an open file; false when not all of them were written.
using FileBytesWriter = std::function<bool(CFile& file, std::span<const std::uint8_t> data)>;

// Writes the whole contents of a new file; false when it could not.
using FileContentWriter = std::function<bool(CFile& file)>;

// Lets `content` write a new temporary file beside `path`, puts it on the disk and renames it
// over `path`, so that a failed or interrupted write leaves the old file whole and no new one.
// 0 done, 1 the path cannot be made absolute, 2 the temporary file cannot be created or
// written, 3 it cannot replace the old file (errno then holds the system's reason). An exception
// from `content` passes on, after the temporary file was deleted.
unsigned WriteFileReplacing(const char* path, const FileContentWriter& content);

// Deletes the temporary files that WriteFileReplacing left in `folder` (an engine path ending
// with a separator) when the program ended while it wrote: the old files are whole, so these are
// only litter. The number deleted.
int RemoveStaleReplacingFiles(const std::string& folder);

// The name of a file in the program log: its path on this machine (a relative name where the
// data files find it loose), or the engine's name (in UTF-8) when it has none there.
std::string LoggedPath(const std::string& engine_path);
// Logs that the settings file `what` at `engine_path` ends before the parts it announces: the
// settings it lacks keep their defaults.
void LogCutShort(const char* what, const std::string& engine_path);
// Logs that `what` (the settings file, a save) could not be written to `engine_path`, with the
// system's reason that errno holds on entry (a full disk, a size limit, no permission).
void LogUnwrittenFile(const char* what, const std::string& engine_path);

// WriteFileReplacing with the bytes as the contents; `writer` writes them (null:
// CFile::Write).
unsigned SaveFileReplacing(const char* path, std::span<const std::uint8_t> data, const FileBytesWriter& writer = nullptr);

// Whether the layer finds the name as a loose data file.
bool DataFileExists(const char* name);

// -1 when A is missing, 1 when B is missing, else 1 when A was written later than B, 0
// otherwise. Each file is given by its find record or, without one, by its path.
int IsFileNewer(const char* path_a, const plat::FindData* data_a, const char* path_b, const plat::FindData* data_b);

// Copies `source` over `destination`: mode 1 always; with an existing destination, mode 2
// refuses and any other mode copies only a newer source. 0 copied, 1 skipped, 2 refused or a
// path that cannot be made absolute, -1 the copy failed.
int CopyFileIfNewer(const char* destination, const char* source, int mode);

// Starts the program of a script's command line (at most 255 characters are taken): its first
// word is the program file, which only a program of this machine that came with the game may be
// (MayScriptRunAt, MayStartProgram), started by its path with the other words as its arguments.
// Wait mode 1 waits until it ends; any other mode returns once it started (this system has no
// input-idle state to wait for, so mode 2 does not wait either). 0 started, 1 refused or failed.
unsigned RunProcess(const char* command_line, int wait_mode);

// Shows a folder in the desktop's file manager. 0, 1 bad path, 2 it cannot be started.
unsigned OpenInExplorer(const char* path);

// The special folder (created when missing) into `buffer` (kMaxPath bytes). False for an id
// this system has no folder for.
bool GetSpecialFolderPath(char* buffer, int folder_id);
