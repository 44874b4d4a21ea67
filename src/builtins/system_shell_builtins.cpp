#include "builtins/system_shell_builtins.h"

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_services.h"
#include "base/path.h"
#include "base/script_write_rule.h"
#include "base/user_folders.h"
#include "platform/diagnostic_log.h"
#include "platform/process.h"

namespace {

constexpr std::uint32_t kFolderBufferSize = 260;
constexpr std::uint32_t kExportNoDataFile = 1;
constexpr std::uint32_t kExportNoDiskFile = 2;

bool IsWebAddress(std::string_view text) { return text.starts_with("http://") || text.starts_with("https://"); }

std::optional<std::string> FullPath(const char* name) {
  char full[kMaxPath] = {};
  if (MakeFullPath(full, name) == 0) return std::nullopt;
  return std::string(full);
}

// Scripts may ask for these on every frame; the log says once that they change nothing.
std::uint32_t DesktopSettingUnchanged() {
  static std::once_flag logged;
  std::call_once(logged, [] {
    plat::LogDiagnostic("the desktop's wallpaper and screen saver are left to the desktop: not set");
  });
  return 0;
}

}  // namespace

std::uint32_t NativeShellOpen(const NativeArgs& args) {
  const char* target = args.Str(0);
  if (target == nullptr) return 0;
  if (IsWebAddress(target)) {
    plat::OpenWebAddress(target);
  } else if (const std::optional<std::string> path = FullPath(target)) {
    plat::OpenWithDesktop(*path);
  }
  return 0;
}

std::uint32_t NativeGetSystemFolder(const NativeArgs& args) {
  const ScriptOut destination = args.Out(0);
  const std::optional<std::string> folder = UserFolderPath(args.I32(1));
  if (!folder || folder->size() >= kFolderBufferSize) return 0;
  destination.SetBytes(folder->c_str(), static_cast<std::uint32_t>(folder->size() + 1));
  return 1;
}

std::uint32_t NativeOpenFolder(const NativeArgs& args) {
  const char* folder = args.Str(0);
  if (folder == nullptr) return 0;
  const std::optional<std::string> path = FullPath(folder);
  return path && plat::OpenWithDesktop(*path) ? 1 : 0;
}

std::uint32_t NativeExportDataFile(const NativeArgs& args) {
  const char* name = args.Str(0);
  const char* destination = args.Str(1);
  const std::optional<std::vector<std::uint8_t>> data = name != nullptr ? LoadDataFile(name) : std::nullopt;
  if (!data) return kExportNoDataFile;
  if (destination == nullptr || !MayScriptWriteAt(destination)) return kExportNoDiskFile;
  return SaveFileReplacing(destination, *data) == 0 ? 0 : kExportNoDiskFile;
}

std::uint32_t NativeSetWallpaper(const NativeArgs&) { return DesktopSettingUnchanged(); }

std::uint32_t NativeSetScreenSaver(const NativeArgs&) { return DesktopSettingUnchanged(); }

std::uint32_t NativeStartScreenSaver(const NativeArgs&) { return DesktopSettingUnchanged(); }
