#include "builtins/file_handle_builtins.h"

#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "base/files/file.h"
#include "base/files/script_write_rule.h"
#include "builtins/script_format.h"
#include "scene/animations/resource_list.h"
#include "script/script_text_export.h"

namespace {

constexpr std::uint32_t kDefaultLineSize = 256;

// What scripts hold of one file of the list: its handle, a hold on the file, and the copies of
// its contents and path in script memory.
class ScriptFile : public ScriptVisible<ScriptFile> {
 public:
  ScriptFile(CFile& file, ScriptMemory& memory) : file_(&file), data_(memory), path_(memory) { file.AddRef(); }

  CFile& File() const { return *file_; }
  ScriptTextExport& DataCopy() { return data_; }
  ScriptTextExport& PathCopy() { return path_; }

 private:
  RefPtr<CFile> file_;
  ScriptTextExport data_;
  ScriptTextExport path_;
};

std::map<const CFile*, std::unique_ptr<ScriptFile>>& ScriptFiles() {
  static std::map<const CFile*, std::unique_ptr<ScriptFile>> files;
  return files;
}

// The file behind args[0]; null for 0, a stale handle, or a file that the list no longer holds
// (released by the program, whose entry goes then).
ScriptFile* FileOf(const NativeArgs& args) {
  ScriptFile* entry = args.Handle<ScriptFile>(0);
  if (entry == nullptr) return nullptr;
  if (!g_FileHandles.Contains(&entry->File())) {
    ScriptFiles().erase(&entry->File());
    return nullptr;
  }
  return entry;
}

template <class Operation>
std::uint32_t WithFile(const NativeArgs& args, std::uint32_t no_object, Operation operation) {
  ScriptFile* entry = FileOf(args);
  return entry == nullptr ? no_object : static_cast<std::uint32_t>(operation(*entry, entry->File()));
}

// A script range of `count` bytes at args[index], checked whole before the file touches it.
std::span<std::byte> Buffer(const NativeArgs& args, std::uint32_t index, std::uint32_t count) {
  return args.Memory().Range(args.U32(index), count);
}
std::span<const std::byte> ReadOnlyBuffer(const NativeArgs& args, std::uint32_t index, std::uint32_t count) {
  return std::as_const(args.Memory()).Range(args.U32(index), count);
}

}  // namespace

std::uint32_t NativeCreateFile(const NativeArgs& args) {
  CFile* file = nullptr;
  if (g_FileHandles.Create(&file) != 0 || file == nullptr) return 0;
  auto entry = std::make_unique<ScriptFile>(*file, args.Memory());
  const std::uint32_t handle = entry->ScriptHandle(args.Handles());
  if (handle == 0) {
    g_FileHandles.Release(file);
    return 0;
  }
  ScriptFiles()[file] = std::move(entry);
  return handle;
}

std::uint32_t NativeReleaseFile(const NativeArgs& args) {
  const HandleRefResult<ScriptFile> ref = args.HandleRef<ScriptFile>(0);
  if (ref.status != kHandleRefResolved) return ref.status;
  const CFile* file = &ref.object->File();
  g_FileHandles.Release(file);
  ScriptFiles().erase(file);
  return kHandleRefResolved;
}

std::uint32_t NativeReleaseAllFiles(const NativeArgs& /*args*/) {
  g_FileHandles.ReleaseAll();
  ScriptFiles().clear();
  return 0;
}

std::uint32_t NativeFileLoad(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) { return file.Load(args.Str(1)); });
}

std::uint32_t NativeFileLoadNumbered(const NativeArgs& args) {
  return WithFile(args, kFileNoObject,
                  [&](ScriptFile&, CFile& file) { return file.LoadNumbered(args.I32(1), args.I32(2), args.Str(3)); });
}

std::uint32_t NativeFileOpenStream(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) { return file.OpenStream(args.Str(1)); });
}

std::uint32_t NativeFileCreate(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) {
    const char* path = args.Str(1);
    return MayScriptWriteAt(path) ? file.Create(path, args.Flag(2)) : kFileNoObject;
  });
}

std::uint32_t NativeFileOpenReadWrite(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) {
    const char* path = args.Str(1);
    return MayScriptWriteAt(path) ? file.OpenReadWrite(path) : kFileNoObject;
  });
}

std::uint32_t NativeFileClose(const NativeArgs& args) {
  WithFile(args, 0, [](ScriptFile&, CFile& file) {
    file.Close();
    return 0;
  });
  return 0;
}

std::uint32_t NativeFileGetData(const NativeArgs& args) {
  return WithFile(args, 0, [](ScriptFile& entry, CFile& file) -> std::uint32_t {
    const unsigned char* data = file.GetData();
    if (data == nullptr) return 0;
    return entry.DataCopy().Export(std::string_view(reinterpret_cast<const char*>(data), file.GetSize()));
  });
}

std::uint32_t NativeFileGetSize(const NativeArgs& args) {
  return WithFile(args, 0, [](ScriptFile&, CFile& file) { return file.GetSize(); });
}

std::uint32_t NativeFileGetPath(const NativeArgs& args) {
  return WithFile(args, 0, [](ScriptFile& entry, CFile& file) { return entry.PathCopy().Export(file.GetPath()); });
}

std::uint32_t NativeFileTell(const NativeArgs& args) {
  return WithFile(args, 0xFFFFFFFF, [](ScriptFile&, CFile& file) { return file.Tell(); });
}

std::uint32_t NativeFileSeek(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) { return file.SeekBegin(args.U32(1)); });
}

std::uint32_t NativeFileSeekRelative(const NativeArgs& args) {
  return WithFile(args, kFileNoObject, [&](ScriptFile&, CFile& file) { return file.SeekCurrent(args.I32(1)); });
}

std::uint32_t NativeFileRead(const NativeArgs& args) {
  return WithFile(args, 0, [&](ScriptFile&, CFile& file) {
    const std::span<std::byte> buffer = Buffer(args, 1, args.U32(2));
    return file.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  });
}

std::uint32_t NativeFileReadLine(const NativeArgs& args) {
  return WithFile(args, 0, [&](ScriptFile&, CFile& file) {
    if (args.U32(1) == 0) return file.ReadLine(nullptr, 0);
    const std::uint32_t size = args.U32(2) == 0 ? kDefaultLineSize : args.U32(2);
    const std::span<std::byte> buffer = Buffer(args, 1, size);
    return file.ReadLine(reinterpret_cast<char*>(buffer.data()), size);
  });
}

std::uint32_t NativeFileWrite(const NativeArgs& args) {
  return WithFile(args, 0, [&](ScriptFile&, CFile& file) {
    const std::span<const std::byte> data = ReadOnlyBuffer(args, 1, args.U32(2));
    return file.Write(data.data(), static_cast<std::uint32_t>(data.size()));
  });
}

std::uint32_t NativeFilePrintf(const NativeArgs& args) {
  return WithFile(args, 0, [&](ScriptFile&, CFile& file) -> std::uint32_t {
    const char* format = args.Str(1);
    if (format == nullptr) return 0;
    const std::string text = FormatScriptText(format, args.From(2), kFilePrintfLimit);
    return file.Write(text.data(), static_cast<std::uint32_t>(text.size()));
  });
}
