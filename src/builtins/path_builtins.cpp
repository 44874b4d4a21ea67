#include "builtins/path_builtins.h"

#include <cstring>
#include <string_view>

#include "base/files/path.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/find_data.h"

namespace {

// A script text copied into an engine path buffer; false when it does not fit.
bool ReadPath(const char* text, char (&buffer)[kMaxPath]) {
  if (text == nullptr) return false;
  const std::size_t length = std::strlen(text);
  if (length >= kMaxPath) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}

void WriteText(const NativeArgs& args, std::uint32_t index, const char* text) {
  const std::uint32_t address = args.U32(index);
  if (address != 0) args.Memory().Write(address, text, static_cast<std::uint32_t>(std::strlen(text) + 1));
}

// Runs a path operation from args[0] into a result buffer written to args[1].
template <class Operation>
std::uint32_t CopyOut(const NativeArgs& args, Operation operation) {
  char path[kMaxPath];
  if (!ReadPath(args.Str(0), path)) return 0;
  char result[kMaxPath] = {};
  operation(path, result);
  WriteText(args, 1, result);
  return 0;
}

}  // namespace

std::uint32_t NativeFindCdRomDrive(const NativeArgs& args) {
  char root[kMaxPath] = {};
  if (FindCdromDrive(args.Str(0), root) != 0) return 0;
  WriteText(args, 1, root);
  return 1;
}

std::uint32_t NativeStripLastFolder(const NativeArgs& args) {
  char path[kMaxPath];
  if (!ReadPath(args.Str(0), path)) return 0;
  if (StripLastFolder(path) != 0) return 0;
  WriteText(args, 0, path);
  return 1;
}

std::uint32_t NativeGetPathLeaf(const NativeArgs& args) {
  return CopyOut(args, [](const char* path, char* result) { GetPathLeaf(path, result, true); });
}

std::uint32_t NativeGetPathFolder(const NativeArgs& args) { return CopyOut(args, GetPathFolder); }

std::uint32_t NativeGetFileExtension(const NativeArgs& args) { return CopyOut(args, GetFileExtension); }

std::uint32_t NativeCutFileExtension(const NativeArgs& args) {
  char name[kMaxPath];
  if (!ReadPath(args.Str(0), name)) return 0;
  char extension[kMaxPath] = {};
  CutFileExtension(name, extension);
  WriteText(args, 0, name);
  WriteText(args, 1, extension);
  return 0;
}

std::uint32_t NativeSetCurrentDirectory(const NativeArgs& args) {
  char full_path[kMaxPath];
  const char* folder = args.Str(0);
  if (folder == nullptr || MakeFullPath(full_path, folder) == 0) return 0;
  const auto attributes = plat::GetFileAttributes(full_path);
  return attributes && (*attributes & plat::kFileAttributeDirectory) != 0 ? 1 : 0;
}
