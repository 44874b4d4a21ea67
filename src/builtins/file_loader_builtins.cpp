#include "builtins/file_loader_builtins.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/async_file_loader.h"
#include "base/files/file_list.h"
#include "base/files/path.h"
#include "base/files/script_write_rule.h"
#include "builtins/row_text_export.h"

namespace {

// The script copies of loaded contents, by loader entry.
std::map<std::uint16_t, RowTextExport>& LoadedCopies() {
  static std::map<std::uint16_t, RowTextExport> copies;
  return copies;
}

void ForgetCopies(std::uint32_t first, std::uint32_t count) {
  std::erase_if(LoadedCopies(), [&](const auto& copy) { return copy.first >= first && copy.first - first < count; });
}

template <class Read>
std::uint32_t WithListEntry(const NativeArgs& args, Read read) {
  const FileListEntry* entry = g_FileList.GetEntry(args.U32(0));
  return entry == nullptr ? 0 : read(*entry);
}

std::uint32_t ExportPath(const NativeArgs& args, RowTextExport& text) {
  return WithListEntry(args, [&](const FileListEntry& entry) { return text.Export(args.Memory(), entry.path); });
}

}  // namespace

std::uint32_t NativeLoaderAllocate(const NativeArgs& args) {
  LoadedCopies().clear();
  return g_AsyncFileLoader.Allocate(args.U16(0));
}

std::uint32_t NativeLoaderRequest(const NativeArgs& args) {
  const std::uint16_t first = args.U16(0);
  const std::uint16_t count = args.U16(1);
  // A range the loader refuses reads no names.
  if (count == 0 || std::uint32_t{first} + count > g_AsyncFileLoader.GetCount()) return CAsyncFileLoader::kBadRange;
  std::vector<const char*> names(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    const char* name = args.Str(2u + i);
    names[i] = name == nullptr ? "" : name;
  }
  ForgetCopies(first, count);
  return g_AsyncFileLoader.Request(first, count, names);
}

std::uint32_t NativeLoaderWaitIdle(const NativeArgs& /*args*/) { return g_AsyncFileLoader.WaitIdle(); }

std::uint32_t NativeLoaderClose(const NativeArgs& args) {
  const std::uint16_t first = args.U16(0);
  const std::uint16_t count = args.U16(1);
  if (count == 0) {
    g_AsyncFileLoader.Clear();
    LoadedCopies().clear();
    return 0;
  }
  const std::int32_t busy = g_AsyncFileLoader.CloseRange(first, count);
  ForgetCopies(first, count);
  return static_cast<std::uint32_t>(busy);
}

std::uint32_t NativeLoaderGetData(const NativeArgs& args) {
  const std::uint16_t index = args.U16(0);
  const unsigned char* data = g_AsyncFileLoader.GetData(index);
  if (data == nullptr) return 0;
  const std::string_view contents(reinterpret_cast<const char*>(data), g_AsyncFileLoader.GetSize(index));
  return LoadedCopies()[index].Export(args.Memory(), contents);
}

std::uint32_t NativeLoaderGetSize(const NativeArgs& args) { return g_AsyncFileLoader.GetSize(args.U16(0)); }

std::uint32_t NativeScanFiles(const NativeArgs& args) {
  const char* folder = args.Str(0);
  const char* pattern = args.Str(1);
  char base[kMaxPath];
  if (folder != nullptr && MakeFullPath(base, folder) == 0) return 0;
  std::string scanned = folder != nullptr ? base : g_ModuleFolder;
  if (!EndsWithSeparator(scanned.c_str())) scanned += '\\';
  if (!MayScriptListAt((scanned + (pattern != nullptr ? pattern : "*.*")).c_str())) {
    g_FileList.Clear();
    return 0;
  }
  return g_FileList.Scan(folder, pattern, args.Flag(2), args.Flag(3));
}

std::uint32_t NativeGetFileListWord(const NativeArgs& args) {
  static RowTextExport text;
  return ExportPath(args, text);
}

std::uint32_t NativeGetFileListName(const NativeArgs& args) {
  static RowTextExport text;
  return ExportPath(args, text);
}

std::uint32_t NativeGetFileListFlag(const NativeArgs& args) {
  return WithListEntry(args, [](const FileListEntry& entry) { return entry.attributes; });
}

std::uint32_t NativeGetFileListTime(const NativeArgs& args) {
  return WithListEntry(args, [&](const FileListEntry& entry) {
    const std::uint32_t fields[] = {entry.year, entry.month, entry.day, entry.hour, entry.minute, entry.second, entry.day_of_week};
    for (std::uint32_t i = 0; i < std::size(fields); ++i) args.Out(1 + i).Set(fields[i]);
    return 1u;
  });
}

std::uint32_t NativeClearFileList(const NativeArgs& /*args*/) {
  g_FileList.Clear();
  return 0;
}
