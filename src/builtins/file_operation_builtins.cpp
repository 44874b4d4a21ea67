#include "builtins/file_operation_builtins.h"

#include <array>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/files/script_write_rule.h"
#include "base/files/user_folders.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/system/diagnostic_log.h"

namespace {

// The absolute form of a script path that scripts may write at; false otherwise.
bool WritablePath(const char* path, char (&full_path)[kMaxPath]) {
  return path != nullptr && MakeFullPath(full_path, path) != 0 && MayScriptWriteAt(full_path);
}

// A folder's files were never looked at: it is never moved into the player's folders, where no
// hidden file, launcher or program of a game may land.
bool IsFolderMovedIntoUserFolder(const char* source, const char* destination) {
  const std::optional<std::uint32_t> attributes = plat::GetFileAttributes(source);
  if (!attributes || (*attributes & plat::kFileAttributeDirectory) == 0 || !LiesInUserFolder(destination)) return false;
  plat::LogDiagnostic("a script may not move the folder " + plat::SjisToUtf8(source) + " into the user's folders");
  return true;
}

}  // namespace

std::uint32_t NativeRunProgram(const NativeArgs& args) { return RunProcess(args.Str(0), args.U8(1)); }

std::uint32_t NativeCreateDirectory(const NativeArgs& args) {
  char full_path[kMaxPath];
  if (!WritablePath(args.Str(0), full_path)) return 1;
  return plat::CreateFolder(full_path) ? 0 : 2;
}

std::uint32_t NativeMoveFile(const NativeArgs& args) {
  char source[kMaxPath];
  char destination[kMaxPath];
  if (!WritablePath(args.Str(0), source)) return 1;
  if (!WritablePath(args.Str(1), destination) || IsFolderMovedIntoUserFolder(source, destination)) return 2;
  // A move never replaces a file that exists.
  if (!plat::GetFileAttributes(source) || plat::GetFileAttributes(destination)) return 3;
  return plat::ReplaceFile(source, destination) ? 0 : 3;
}

std::uint32_t NativeCopyFile(const NativeArgs& args) {
  char destination[kMaxPath];
  const char* source = args.Str(1);
  if (!WritablePath(args.Str(0), destination) || !MayScriptReadAt(source)) return 2;
  return static_cast<std::uint32_t>(CopyFileIfNewer(destination, source, args.I32(2)));
}

std::uint32_t NativeGetFileTime(const NativeArgs& args) {
  std::array<std::uint32_t, 7> fields{};
  const unsigned status =
      GetFileLocalTime(args.Str(0), {&fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5], &fields[6]});
  if (status != 0) return status;
  for (std::uint32_t i = 0; i < fields.size(); ++i) args.Out(1 + i).Set(fields[i]);
  return 0;
}
