#include "builtins/data_file_builtins.h"

#include <algorithm>
#include <ctime>
#include <string>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/files/script_write_rule.h"
#include "builtins/row_text_export.h"
#include "builtins/plugin_words.h"
#include "platform/system/diagnostic_log.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/find_data.h"
#include "resource/archives/file_system.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/pictures/susie_plugin_host.h"

namespace {

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;
constexpr std::int32_t kSearchFolderCount = -2;
constexpr std::int32_t kAllDecoders = -1;
constexpr std::int32_t kLastMounted = -1;
constexpr std::uint32_t kNoArchive = static_cast<std::uint32_t>(-3);

template <class Operation>
std::uint32_t WithLayer(std::uint32_t without, Operation operation) {
  return g_ScriptDataFiles == nullptr ? without : static_cast<std::uint32_t>(operation(*g_ScriptDataFiles));
}

CArchive* ArchiveOf(CFileSystem& files, std::int32_t id) { return files.GetArchive(id, kLastMounted); }

SusieHosts ScriptSusieHosts() { return {g_GllHost, g_ScriptDataFiles}; }

// Whether a file matches the absolute pattern, in a folder scripts may list.
bool Matches(const char* full_pattern) {
  return !plat::FindFiles(full_pattern).empty() && MayScriptListAt(full_pattern);
}

}  // namespace

std::uint32_t PackDosDateTime(std::uint32_t seconds) {
  if (seconds == 0) return 0;
  const std::time_t time = seconds;
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr || local.tm_year < 80) return 0;
  return static_cast<std::uint32_t>(local.tm_year - 80) << 25 | static_cast<std::uint32_t>(local.tm_mon + 1) << 21 |
         static_cast<std::uint32_t>(local.tm_mday) << 16 | static_cast<std::uint32_t>(local.tm_hour) << 11 |
         static_cast<std::uint32_t>(local.tm_min) << 5 | static_cast<std::uint32_t>(local.tm_sec / 2);
}

std::uint32_t NativeSetDataBaseFolder(const NativeArgs& args) {
  const char* folder = args.Str(0);
  if (folder != nullptr && MayScriptReadAt(folder)) SetDataBaseFolder(folder);
  return 0;
}

std::uint32_t NativeGetModuleFolder(const NativeArgs& args) {
  static RowTextExport text;
  return text.Export(args.Memory(), g_ModuleFolder);
}

std::uint32_t NativeAddSearchFolder(const NativeArgs& args) {
  const char* folder = args.Str(0);
  if (folder == nullptr || !MayScriptReadAt(folder)) return 1;
  return WithLayer(1, [&](CFileSystem& files) { return files.AddSearchFolder(folder, args.Flag(1)); });
}

std::uint32_t NativeRemoveSearchFolder(const NativeArgs& args) {
  return WithLayer(kMinusOne, [&](CFileSystem& files) { return files.RemoveSearchFolder(args.Str(0), args.I32(1)); });
}

std::uint32_t NativeGetSearchFolder(const NativeArgs& args) {
  static RowTextExport text;
  const std::int32_t index = args.I32(0);
  return WithLayer(0, [&](CFileSystem& files) -> std::uint32_t {
    if (index <= kSearchFolderCount) return static_cast<std::uint32_t>(files.GetSearchFolderCount());
    const std::optional<std::string> folder = files.GetSearchFolder(index);
    return folder ? text.Export(args.Memory(), *folder) : 0;
  });
}

std::uint32_t NativeClearSearchFolders(const NativeArgs& /*args*/) {
  return WithLayer(0, [](CFileSystem& files) {
    files.ClearSearchFolders();
    return 0;
  });
}

std::uint32_t NativeFindFile(const NativeArgs& args) {
  return WithLayer(1, [&](CFileSystem& files) {
    plat::FindData found;
    const unsigned status = files.FindFile(nullptr, args.Str(0), &found);
    if (status == 0) args.Out(1).SetBytes(&found, sizeof found);
    return status;
  });
}

std::uint32_t NativeGetDataFileSize(const NativeArgs& args) {
  const std::int64_t size = GetDataFileSize(args.Str(0));
  if (size < 0) return 0;
  args.Out(1).Set(static_cast<std::uint32_t>(size));
  return 1;
}

std::uint32_t NativeLoadAdlPlugin(const NativeArgs& args) {
  return WithLayer(1, [&](CFileSystem& files) { return files.LoadArchiveDecoderPlugin(args.Str(0)); });
}

std::uint32_t NativeLoadAdlPlugins(const NativeArgs& args) {
  return WithLayer(kMinusOne, [&](CFileSystem& files) { return files.LoadArchiveDecoderPlugins(args.Str(0)); });
}

std::uint32_t NativeFreeAdlPlugin(const NativeArgs& args) {
  return WithLayer(0, [&](CFileSystem& files) {
    if (files.GetMountCount() != 0) {
      plat::LogDiagnostic("archive decoders stay loaded while archives are mounted");
      return 0;
    }
    const std::int32_t type = args.I32(0);
    if (type == kAllDecoders) {
      files.UnloadArchiveDecoders();
    } else {
      files.UnloadArchiveDecodersOfType(static_cast<std::uint32_t>(type));
    }
    return 0;
  });
}

std::uint32_t NativeCallAdlAssist(const NativeArgs& args) {
  return WithLayer(kArchiveUnsupported, [&](CFileSystem& files) -> std::int32_t {
    const PluginAssistFunc2 assist = files.GetAssistFunc2(args.U32(0));
    if (assist == nullptr) return kArchiveUnsupported;
    return CallWithNumberWords(assist, args, 1);
  });
}

std::uint32_t NativeMountArchive(const NativeArgs& args) {
  return WithLayer(5, [&](CFileSystem& files) {
    return files.MountArchive(args.Str(0), args.I32(1), args.I32(2), args.Flag(3), nullptr);
  });
}

std::uint32_t NativeUnmountArchive(const NativeArgs& args) {
  return WithLayer(0, [&](CFileSystem& files) {
    files.UnmountArchive(nullptr, args.I32(0), args.I32(1));
    return 0;
  });
}

std::uint32_t NativeGetMountCount(const NativeArgs& /*args*/) {
  return WithLayer(0, [](CFileSystem& files) { return files.GetMountCount(); });
}

std::uint32_t NativeUnmountAll(const NativeArgs& /*args*/) {
  return WithLayer(0, [](CFileSystem& files) {
    files.UnmountAll();
    return 0;
  });
}

std::uint32_t NativeGetArchiveEntryCount(const NativeArgs& args) {
  return WithLayer(0, [&](CFileSystem& files) -> std::uint32_t {
    const CArchive* archive = ArchiveOf(files, args.I32(0));
    return archive == nullptr ? 0 : archive->GetEntryCount();
  });
}

std::uint32_t NativeGetArchiveEntryName(const NativeArgs& args) {
  static RowTextExport text;
  return WithLayer(0, [&](CFileSystem& files) -> std::uint32_t {
    const CArchive* archive = ArchiveOf(files, args.I32(0));
    const char* name = nullptr;
    if (archive == nullptr || archive->GetEntryInfo(args.U32(1), &name) == nullptr || name == nullptr) return 0;
    return text.Export(args.Memory(), name);
  });
}

std::uint32_t NativeGetArchiveEntryInfo(const NativeArgs& args) {
  return WithLayer(1, [&](CFileSystem& files) -> std::uint32_t {
    const CArchive* archive = ArchiveOf(files, args.I32(0));
    if (archive == nullptr) return 1;
    const ArchiveEntryInfo* info = archive->GetEntryInfo(args.U32(1), nullptr);
    if (info == nullptr) return 2;
    args.Out(2).Set(info->stored_size);
    args.Out(3).Set(info->size);
    args.Out(4).Set(PackDosDateTime(info->time_stamp));
    args.Out(5).SetBytes(&info->kind, 1);
    args.Out(6).SetBytes(&info->flags, 1);
    return 0;
  });
}

std::uint32_t NativeArchiveControl(const NativeArgs& args) {
  return WithLayer(kNoArchive, [&](CFileSystem& files) {
    return ArchiveOf(files, args.I32(0)) == nullptr ? kNoArchive : static_cast<std::uint32_t>(kArchiveUnsupported);
  });
}

std::uint32_t NativeListFiles(const NativeArgs& args) {
  const char* pattern = args.Str(0);
  return WithLayer(1, [&](CFileSystem& files) -> std::uint32_t {
    char full_pattern[kMaxPath];
    if (pattern == nullptr || MakeFullPath(full_pattern, pattern) == 0) return 1;
    if (Matches(full_pattern)) return 0;
    for (std::size_t i = 0; i < files.GetSearchFolderCount(); ++i) {
      const std::optional<std::string> folder = files.GetSearchFolder(static_cast<int>(i));
      if (folder && MakeFullPath(full_pattern, pattern, folder->c_str()) != 0 && Matches(full_pattern)) return 0;
    }
    return 2;
  });
}

std::uint32_t NativeLoadSusiePlugin(const NativeArgs& args) {
  return static_cast<std::uint32_t>(LoadSusiePlugin(args.Str(0), ScriptSusieHosts()));
}

std::uint32_t NativeLoadSusiePlugins(const NativeArgs& args) {
  return static_cast<std::uint32_t>(LoadSusiePlugins(args.Str(0), ScriptSusieHosts()));
}
